// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storage/ValueSetFile.h"

#include "calc/NumberFormat.h"
#include "storage/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QStringView>

#include <iterator>

namespace ValueFiles {

namespace {

// The five numbers in the order of their lines, with the names the load
// notes give them.
struct Number {
    double Interpolation::Inputs::*input;
    const char* name;
};
constexpr Number kNumbers[] = {
    {&Interpolation::Inputs::y1, "Y1"}, {&Interpolation::Inputs::y2, "Y2"}, {&Interpolation::Inputs::x1, "X1"},
    {&Interpolation::Inputs::x2, "X2"}, {&Interpolation::Inputs::X, "X"},
};
constexpr int kNumberCount = int(std::size(kNumbers));
// Lines counted from 0: the stamp and the marker come first, the captions last.
constexpr int kFirstNumberLine = 2;
constexpr int kLengthCaptionLine = kFirstNumberLine + kNumberCount;
constexpr int kLeftCaptionLine = kLengthCaptionLine + 1;

} // namespace

QString TimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd-MM-yyyy HH-mm-ss"));
}

bool FileNameIsValid(const QString& name)
{
    const QStringView forbidden = u"\\:*?\"<>|/";
    for (const QChar c : name) {
        if (c.unicode() < 32 || forbidden.contains(c))
            return false;
    }
    return true;
}

QByteArray WriteValueSet(const QString& stamp, const Interpolation::Inputs& in, const QString& lengthCaption,
                         const QString& leftCaption, QChar decimalSeparator)
{
    QStringList lines = {stamp, QString::fromLatin1(kValueSetMarker)};
    for (const Number& number : kNumbers)
        lines << NumberFormat::FormatGeneral(in.*number.input, decimalSeparator);
    lines << lengthCaption << leftCaption;
    QByteArray out;
    for (const QString& line : lines) {
        for (const QChar c : line) {
            const char16_t u = c.unicode();
            if (u == u'\r' || u == u'\n')
                out.append(' ');
            else if (u > 0xFF)
                out.append('?');
            else
                out.append(char(u));
        }
        out.append("\r\n");
    }
    return out;
}

ValueSetLines ReadValueSetLines(QIODevice& device, int maxLines)
{
    ValueSetLines result;
    if (maxLines <= 0)
        return result;

    QString current;
    bool inLine = false;  // something (even an over-long rest) since the last line end
    bool cut = false;     // the current line has lost its end
    bool afterCR = false; // the previous byte ended a line with CR; a LF now belongs to it
    const auto endLine = [&] {
        if (cut)
            result.overLong.append(result.lines.size());
        result.lines.append(current);
        current.clear();
        inLine = false;
        cut = false;
    };
    qint64 scanned = 0;
    char buffer[4096];
    while (scanned < kMaxValueSetScanBytes) {
        const qint64 want = qMin<qint64>(sizeof buffer, kMaxValueSetScanBytes - scanned);
        const qint64 got = device.read(buffer, want);
        if (got < 0) {
            result.readError = true;
            return result;
        }
        if (got == 0)
            break;
        scanned += got;
        for (qint64 i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (afterCR) {
                afterCR = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r' || c == '\n') {
                endLine();
                if (result.lines.size() >= maxLines)
                    return result;
                afterCR = c == '\r';
                continue;
            }
            inLine = true;
            if (current.size() < kMaxValueSetLineLength)
                current.append(QChar(char16_t(quint8(c))));
            else
                cut = true;
        }
    }
    if (inLine)
        endLine();
    return result;
}

ValueSetRead ParseValueSet(const ValueSetLines& text)
{
    // Sets written before numbers were German everywhere hold the decimal
    // point of the desktop they were saved on; the lines carry no grouping,
    // so a "." there can only be that point.
    const auto toFloat = [](const QString& line, double& value) {
        return NumberFormat::TextToFloat(line, u',', value) || NumberFormat::TextToFloat(line, u'.', value);
    };
    ValueSetRead result;
    for (int n = 0; n < kNumberCount; ++n) {
        const int line = kFirstNumberLine + n;
        if (line >= text.lines.size()) {
            result.stop = ValueSetRead::Missing;
            result.stopLine = line;
            return result;
        }
        double value = 0;
        if (text.overLong.contains(line) || !toFloat(text.lines[line], value)) {
            result.stop = ValueSetRead::NotANumber;
            result.stopLine = line;
            return result;
        }
        result.values.*kNumbers[n].input = value;
        ++result.count;
    }
    if (text.lines.size() > kLengthCaptionLine)
        result.lengthCaption = text.lines[kLengthCaptionLine];
    if (text.lines.size() > kLeftCaptionLine)
        result.leftCaption = text.lines[kLeftCaptionLine];
    return result;
}

Interpolation::Inputs ValueSetRead::AppliedTo(const Interpolation::Inputs& current) const
{
    Interpolation::Inputs applied = current;
    for (int n = 0; n < count && n < kNumberCount; ++n)
        applied.*kNumbers[n].input = values.*kNumbers[n].input;
    return applied;
}

ValueSetLoad LoadValueSet(const QString& path)
{
    ValueSetLoad load;
    QFile file(path);
    if (!OpenRegularFile(file)) {
        load.failed = true;
        return load;
    }
    load.text = ReadValueSetLines(file);
    load.failed = load.text.readError;
    load.read = ParseValueSet(load.text);
    return load;
}

QString LoadNotes(const QString& path, const ValueSetRead& read)
{
    QStringList notes;
    for (int n = 0; n < read.count && n < kNumberCount; ++n) {
        const double value = read.values.*kNumbers[n].input;
        if (!(value < Interpolation::InputMinimum))
            continue;
        // The file's digits, grouped as the editors group them.
        QString digits = NumberFormat::FormatGeneral(value, NumberFormat::kDecimalSeparator);
        if (!digits.contains(u'E')) {
            const qsizetype point = digits.indexOf(NumberFormat::kDecimalSeparator);
            for (qsizetype at = (point < 0 ? digits.size() : point) - 3; at > 1; at -= 3)
                digits.insert(at, NumberFormat::kGroupSeparator);
        }
        notes << QStringLiteral("Zeile %1 (%2): %3 ist kleiner als -1.000.000 und wurde auf -1.000.000 gesetzt.")
                     .arg(kFirstNumberLine + n + 1)
                     .arg(QLatin1String(kNumbers[n].name), digits);
    }
    if (read.stop != ValueSetRead::Complete) {
        const QString reason = read.stop == ValueSetRead::Missing
            ? QStringLiteral("Zeile %1 (%2) fehlt.")
            : QStringLiteral("Zeile %1 (%2) ist keine gültige Zahl.");
        notes << reason.arg(read.stopLine + 1).arg(QLatin1String(kNumbers[read.stopLine - kFirstNumberLine].name));
    }
    if (notes.isEmpty())
        return {};
    const QString what = read.stop == ValueSetRead::Complete
        ? QStringLiteral("Datei %1 wurde mit Änderungen geladen:\r\n")
        : read.count > 0 ? QStringLiteral("Datei %1 wurde nur teilweise geladen:\r\n")
                         : QStringLiteral("Datei %1 wurde nicht geladen:\r\n");
    return what.arg(QDir::toNativeSeparators(path)) + notes.join(QStringLiteral("\r\n"));
}

bool SaveValueSet(const QString& path, const QString& stamp, const Interpolation::Inputs& in,
                  const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator)
{
    return WriteFileAtomically(path, WriteValueSet(stamp, in, lengthCaption, leftCaption, decimalSeparator));
}

} // namespace ValueFiles
