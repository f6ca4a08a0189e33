// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target: the value-set line reader, the number parsing of a set
// and the text-to-number conversion on arbitrary bytes. Besides the
// sanitizers it checks the line limits, that an over-long line is never read
// as a number, that a read error is reported, that a real file reads as the
// same bytes in memory do, that nothing but a regular file is ever opened,
// and compares every accepted or refused number with the C library's strtod
// (the fuzzer runs in the "C" locale).
//
// The first byte chooses how the rest is read:
//   0: from memory;
//   1: from memory, each 0x7F standing for 700 zeros (over-long lines);
//   2: from a regular file holding the bytes;
//   3: from memory, failing after as many bytes as the second byte says;
//   4: a FIFO, folder, socket, device or dangling link under the file's name,
//      chosen by the second byte, which must be refused at once.

#include "calc/NumberFormat.h"
#include "storage/ValueFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// Plain ASCII with '.' as separator, or empty when the text holds characters
// outside a number's alphabet (or a '.' that the separator would not allow).
std::string ForStrtod(QStringView text, QChar separator)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    std::string s;
    for (const QChar c : text.sliced(begin, end - begin)) {
        const char16_t u = c.unicode();
        if (c == separator)
            s.push_back('.');
        else if ((u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'e' || u == u'E')
            s.push_back(char(u));
        else
            return {};
    }
    return s;
}

void CheckNumber(QStringView text, QChar separator)
{
    double value = 12345;
    const bool ok = NumberFormat::TextToFloat(text, separator, value);
    if (ok)
        Check(std::isfinite(value));
    else
        Check(value == 12345);

    const std::string s = ForStrtod(text, separator);
    if (s.empty())
        return;
    errno = 0;
    char* end = nullptr;
    const double expected = std::strtod(s.c_str(), &end);
    const bool whole = end == s.c_str() + s.size();
    if (!whole || std::isinf(expected)) {
        Check(!ok);
        return;
    }
    Check(ok);
    Check(std::bit_cast<quint64>(value) == std::bit_cast<quint64>(expected));
}

class FailingDevice : public QIODevice
{
public:
    FailingDevice(const QByteArray& data, qint64 failAt)
        : m_data(data)
        , m_failAt(failAt)
    {
    }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        if (m_read >= m_failAt)
            return -1;
        const qint64 n = qMin(max, qMin<qint64>(m_failAt, m_data.size()) - m_read);
        std::memcpy(out, m_data.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& m_data;
    qint64 m_failAt;
    qint64 m_read = 0;
};

ValueFiles::ValueSetLines ReadFromMemory(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ValueFiles::ReadValueSetLines(buffer);
}

void CheckLines(const ValueFiles::ValueSetLines& text)
{
    using namespace ValueFiles;
    Check(text.lines.size() <= kValueSetLineCount);
    for (const QString& line : text.lines) {
        Check(line.size() <= kMaxValueSetLineLength);
        Check(!line.contains(u'\r') && !line.contains(u'\n'));
    }
    qsizetype previous = -1;
    for (const qsizetype index : text.overLong) {
        Check(index > previous && index < text.lines.size());
        Check(text.lines[index].size() == kMaxValueSetLineLength);
        previous = index;
    }

    const ValueSetRead set = ParseValueSet(text);
    Check(set.count >= 0 && set.count <= 5);
    if (set.stop == ValueSetRead::Complete) {
        Check(set.count == 5 && set.stopLine == -1);
    } else {
        Check(set.stopLine == 2 + set.count);
        Check((set.stop == ValueSetRead::Missing) == (set.stopLine >= text.lines.size()));
        if (text.overLong.contains(set.stopLine))
            Check(set.stop == ValueSetRead::NotANumber);
    }
    // The lines' numbers as the inputs hold them: y1, y2, x1, x2, X.
    const double read[5] = {set.values.y1, set.values.y2, set.values.x1, set.values.x2, set.values.X};
    for (int n = 0; n < set.count; ++n) {
        // Never the beginning of a longer line.
        Check(!text.overLong.contains(2 + n));
        // A "," decimal separator, or the "." of a set saved before numbers
        // were German everywhere.
        double value = 0;
        Check(NumberFormat::TextToFloat(text.lines[2 + n], u',', value)
              || NumberFormat::TextToFloat(text.lines[2 + n], u'.', value));
        Check(std::bit_cast<quint64>(value) == std::bit_cast<quint64>(read[n]));
    }
}

QTemporaryDir& Folder()
{
    static QTemporaryDir folder;
    return folder;
}

// Something that is no regular file, under the name `path`.
bool MakeIrregular(const QString& path, int kind)
{
    const QByteArray native = QFile::encodeName(path);
    switch (kind % 5) {
    case 0:
        return ::mkfifo(native.constData(), 0600) == 0;
    case 1:
        return QDir().mkdir(path);
    case 2: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || size_t(native.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    case 3:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    default:
        return QFile::link(Folder().filePath(QStringLiteral("gone")), path);
    }
}

void RemoveAny(const QString& path)
{
    if (!QFile::remove(path))
        QDir().rmdir(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ValueFiles;
    if (size == 0)
        return 0;
    const int mode = data[0] % 5;
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    switch (mode) {
    case 0:
    case 1: {
        if (mode == 1)
            bytes.replace('\x7f', QByteArray(700, '0'));
        const ValueSetLines text = ReadFromMemory(bytes);
        Check(!text.readError);
        CheckLines(text);
        for (const QString& line : text.lines) {
            CheckNumber(line, u',');
            CheckNumber(line, u'.');
        }
        if (bytes.size() <= 4096)
            CheckNumber(QString::fromLatin1(bytes), u',');
        break;
    }
    case 2: {
        const QString path = Folder().filePath(QStringLiteral("set.dat"));
        {
            QFile out(path);
            Check(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size());
        }
        QFile file(path);
        Check(OpenRegularFile(file));
        const ValueSetLines fromFile = ReadValueSetLines(file);
        const ValueSetLines fromMemory = ReadFromMemory(bytes);
        Check(!fromFile.readError);
        Check(fromFile.lines == fromMemory.lines && fromFile.overLong == fromMemory.overLong);
        const std::optional<QByteArray> head = ReadRegularFile(path, 64);
        Check(head && *head == bytes.left(64));
        break;
    }
    case 3: {
        if (bytes.isEmpty())
            return 0;
        const qint64 failAt = quint8(bytes[0]) * 8;
        bytes.remove(0, 1);
        FailingDevice device(bytes, failAt);
        device.open(QIODevice::ReadOnly);
        const ValueSetLines text = ReadValueSetLines(device);
        const ValueSetLines whole = ReadFromMemory(bytes);
        CheckLines(text);
        // Failing means failing: either the device ran into its fault, or
        // the reader stopped before it, and then nothing differs.
        if (text.readError) {
            Check(text.lines.size() <= whole.lines.size());
            for (qsizetype i = 0; i < text.lines.size(); ++i)
                Check(text.lines[i] == whole.lines[i]);
        } else {
            Check(text.lines == whole.lines && text.overLong == whole.overLong);
        }
        break;
    }
    default: {
        const QString path = Folder().filePath(QStringLiteral("odd.dat"));
        RemoveAny(path);
        if (!MakeIrregular(path, bytes.isEmpty() ? 0 : quint8(bytes[0])))
            return 0;
        QFile file(path);
        Check(!OpenRegularFile(file));
        Check(!file.isOpen());
        Check(!ReadRegularFile(path, 64));
        RemoveAny(path);
        break;
    }
    }
    return 0;
}
