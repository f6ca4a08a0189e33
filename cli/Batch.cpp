// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/Batch.h"

#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace CommandLine {

namespace {

// What is read and written at once.
constexpr qsizetype kBlock = 64 * 1024;
// A longer line is no number. It is passed over without being kept, so that
// memory stays the same for any input, a file without line ends included.
constexpr qsizetype kLongestLine = 4096;
// What a message shows of such a line.
constexpr qsizetype kShownStart = 40;

std::string_view trimmed(std::string_view line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

class Batch
{
public:
    Batch(const Settings& settings, Channel& channel)
        : m_settings(settings)
        , m_channel(channel)
        , m_in(settings.in)
        , m_interactive(channel.Interactive())
    {
        m_out.reserve(std::size_t(kBlock) + 1024);
    }

    int Run();

private:
    void take(std::string_view line);
    void passOver(std::string_view start);
    void answer(std::string_view text, double value);
    void complain(const QString& message);
    void flush();

    const Settings& m_settings;
    Channel& m_channel;
    Interpolation::Inputs m_in;
    const bool m_interactive;
    TRUVTaRe m_calculator;
    std::string m_out;
    qint64 m_line = 0;
    bool m_noNumber = false;
    bool m_noAnswer = false; // outside, or no X for a height
    bool m_failed = false;   // input or output
};

int Batch::Run()
{
    std::vector<char> buffer(std::size_t(kLongestLine + kBlock));
    char* const data = buffer.data();
    qsizetype end = 0;    // bytes in the buffer, from a line's start
    std::string overlong; // the start of a line past kLongestLine, being passed over

    while (!m_failed) {
        qsizetype begin = 0;
        while (const void* found = std::memchr(data + begin, '\n', std::size_t(end - begin))) {
            const qsizetype stop = static_cast<const char*>(found) - data;
            if (overlong.empty())
                take({data + begin, std::size_t(stop - begin)});
            else
                passOver(std::exchange(overlong, {}));
            begin = stop + 1;
        }
        if (overlong.empty() && end - begin > kLongestLine)
            overlong.assign(data + begin, std::size_t(kShownStart));
        if (!overlong.empty())
            begin = end;
        std::memmove(data, data + begin, std::size_t(end - begin));
        end -= begin;

        if (!m_channel.InputReady())
            flush();
        const qsizetype count = m_channel.Read(data + end, qsizetype(buffer.size()) - end);
        if (count < 0) {
            m_channel.WriteErr("tiraso: Die Standardeingabe kann nicht gelesen werden\n");
            m_failed = true;
        }
        if (count <= 0)
            break;
        end += count;
    }
    // The last line may have no line end.
    if (!m_failed && !overlong.empty())
        passOver(overlong);
    else if (!m_failed && end > 0)
        take({data, std::size_t(end)});
    flush();
    if (m_failed)
        return 1;
    if (m_noNumber)
        return 2;
    return m_noAnswer ? 3 : 0;
}

void Batch::passOver(std::string_view start)
{
    ++m_line;
    complain(Quoted(fromUtf8(start.substr(0, kShownStart)) + QStringLiteral("…"))
             + QStringLiteral(" ist keine gültige Zahl oder Rechenformel"));
    m_noNumber = true;
}

void Batch::take(std::string_view line)
{
    if (qsizetype(line.size()) > kLongestLine) {
        passOver(line);
        return;
    }
    ++m_line;
    const std::string_view text = trimmed(line);
    if (text.empty())
        return;
    double value = 0;
    if (!TypedNumber::ReadPlainNumber(text, value)) {
        const std::optional<double> formula = Evaluate(m_calculator, fromUtf8(text));
        if (!formula) {
            complain(Quoted(fromUtf8(text)) + QStringLiteral(" ist keine gültige Zahl oder Rechenformel"));
            m_noNumber = true;
            return;
        }
        value = *formula;
    }
    // The window's editors would raise such an X without a word.
    if (!m_settings.inverse && value < Interpolation::InputMinimum) {
        complain(Quoted(fromUtf8(text))
                 + QStringLiteral(" ist kleiner als -1.000.000, der kleinste Wert des Programms"));
        m_noNumber = true;
        return;
    }
    answer(text, value);
    if (m_interactive || qsizetype(m_out.size()) >= kBlock)
        flush();
}

void Batch::answer(std::string_view text, double value)
{
    double height = 0;
    if (m_settings.inverse) {
        const Solution solution = Solve(m_in, value, m_settings.extrapolate);
        if (!solution.x) {
            complain(QString::fromUtf8(solution.refusal));
            m_noAnswer = true;
            return;
        }
        height = value;
        m_in.X = *solution.x;
    } else {
        m_in.X = value;
    }
    const Place place = Locate(m_in, m_settings.extrapolate);

    if (m_settings.json) {
        AppendJson(m_out, m_in, height, m_line, m_settings);
    } else {
        if (m_settings.plain)
            AppendPlain(m_out, value);
        else
            m_out.append(text);
        m_out += '\t';
        AppendNumber(m_out, m_settings.inverse ? m_in.X : ValueAt(m_in, place), m_settings);
    }
    m_out += '\n';
    // The X found for a height lies inside unless extrapolated, where the
    // value at it is the line's.
    if (!m_settings.inverse && place == Place::Outside) {
        complain(QString::fromUtf8(OutsideNote(m_in)));
        m_noAnswer = true;
    }
}

void Batch::complain(const QString& message)
{
    const QByteArray text = QStringLiteral("tiraso: Zeile %1: %2\n").arg(m_line).arg(message).toUtf8();
    m_channel.WriteErr({text.constData(), std::size_t(text.size())});
}

void Batch::flush()
{
    if (!m_out.empty() && !m_failed && !m_channel.WriteOut(m_out))
        m_failed = true;
    m_out.clear();
}

} // namespace

MemoryChannel::MemoryChannel(QByteArray input)
    : m_input(std::move(input))
{
}

qsizetype MemoryChannel::Read(char* buffer, qsizetype size)
{
    const qsizetype count = std::min({size, m_input.size() - m_read, qsizetype(1021)});
    std::memcpy(buffer, m_input.constData() + m_read, std::size_t(count));
    m_read += count;
    return count;
}

bool MemoryChannel::WriteOut(std::string_view data)
{
    out.append(data.data(), qsizetype(data.size()));
    return true;
}

void MemoryChannel::WriteErr(std::string_view data)
{
    err.append(data.data(), qsizetype(data.size()));
}

int RunBatch(const Settings& settings, Channel& channel)
{
    return Batch(settings, channel).Run();
}

} // namespace CommandLine
