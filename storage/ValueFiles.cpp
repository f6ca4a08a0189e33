// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storage/ValueFiles.h"

#include "calc/NumberFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#ifndef Q_OS_UNIX
#include <QSaveFile>
#endif

#include <bit>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ValueFiles {

namespace {

constexpr quint64 kDoubleFractionMask = (quint64(1) << 52) - 1;
constexpr quint64 kDoubleQuietBit = quint64(1) << 51;
constexpr quint64 kIntegerBit = quint64(1) << 63;
constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;

quint64 ReadLE(const quint8* p, int size)
{
    quint64 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void AppendLE(QByteArray& out, quint64 v, int size)
{
    for (int i = 0; i < size; ++i)
        out.append(char(quint8(v >> (8 * i))));
}

} // namespace

std::array<quint8, 10> EncodeExtended(double value)
{
    const auto bits = std::bit_cast<quint64>(value);
    const quint16 sign = (bits >> 63) ? 0x8000 : 0;
    const int exponent = int((bits >> 52) & 0x7FF);
    const quint64 fraction = bits & kDoubleFractionMask;

    quint64 significand = 0;
    int extExponent = 0;
    if (exponent == 0x7FF) {
        // The double's fraction lands right below the integer bit, so its quiet
        // bit becomes the extended quiet bit and the payload is kept.
        significand = kIntegerBit | (fraction << 11);
        extExponent = 0x7FFF;
    } else if (exponent != 0) {
        significand = kIntegerBit | (fraction << 11);
        extExponent = exponent - kDoubleBias + kExtendedBias;
    } else if (fraction != 0) {
        // A double denormal is fraction * 2^-1074; the extended range is wide
        // enough to hold it normalised.
        const int shift = std::countl_zero(fraction);
        significand = fraction << shift;
        extExponent = kExtendedBias + 63 - 1074 - shift;
    }

    std::array<quint8, 10> out{};
    for (int i = 0; i < 8; ++i)
        out[i] = quint8(significand >> (8 * i));
    const quint16 top = quint16(sign | quint16(extExponent));
    out[8] = quint8(top);
    out[9] = quint8(top >> 8);
    return out;
}

double DecodeExtended(const quint8* tenBytes)
{
    quint64 significand = ReadLE(tenBytes, 8);
    const quint16 top = quint16(ReadLE(tenBytes + 8, 2));
    const quint64 sign = quint64(top >> 15) << 63;
    const int exponent = top & 0x7FFF;

    if (exponent == 0x7FFF) {
        const quint64 fraction = significand & ~kIntegerBit;
        if ((significand & kIntegerBit) && fraction == 0)
            return std::bit_cast<double>(sign | (quint64(0x7FF) << 52));
        // NaN, or the pseudo-infinity / pseudo-NaN patterns without an integer
        // bit: all of them are "not a number" here.
        return std::bit_cast<double>(sign | (quint64(0x7FF) << 52) | kDoubleQuietBit
                                     | ((fraction >> 11) & kDoubleFractionMask));
    }
    if (significand == 0)
        return std::bit_cast<double>(sign);

    // Read by value: significand * 2^(e - bias - 63), with exponent 0 meaning
    // e = 1 as for denormals. Normalising here also covers unnormals and
    // pseudo-denormals.
    const int leadingZeros = std::countl_zero(significand);
    significand <<= leadingZeros;
    // The value is now 1.f * 2^unbiased, f being the 63 bits below the top.
    const int unbiased = (exponent == 0 ? 1 : exponent) - kExtendedBias - leadingZeros;

    // Number of low significand bits that do not fit: 11 for a normal double,
    // more as the result sinks into the denormals.
    int dropped = 11;
    if (unbiased < 1 - kDoubleBias)
        dropped = 11 + (1 - kDoubleBias - unbiased);
    if (dropped > 64) // below half the smallest denormal
        return std::bit_cast<double>(sign);

    quint64 kept = dropped == 64 ? 0 : significand >> dropped;
    const quint64 rest = dropped == 64 ? significand : significand & ((quint64(1) << dropped) - 1);
    const quint64 half = quint64(1) << (dropped - 1);
    if (rest > half || (rest == half && (kept & 1)))
        ++kept;

    if (dropped > 11) {
        // Denormal result; rounding up to 2^52 gives the smallest normal, whose
        // bit pattern is exactly that.
        return std::bit_cast<double>(sign | kept);
    }
    int biased = unbiased + kDoubleBias;
    if (kept >> 53) { // rounded up to the next power of two
        kept >>= 1;
        ++biased;
    }
    if (biased >= 0x7FF)
        return std::bit_cast<double>(sign | (quint64(0x7FF) << 52));
    return std::bit_cast<double>(sign | (quint64(biased) << 52) | (kept & kDoubleFractionMask));
}

QByteArray WriteLastValues(const LastValues& values)
{
    QByteArray out;
    out.reserve(60);
    for (const double v : {values.x1, values.X, values.x2, values.y1, values.y2}) {
        out.append(char(TagExtended));
        const auto bytes = EncodeExtended(v);
        out.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    const qint32 d = values.Decimals;
    if (d >= -128 && d <= 127) {
        out.append(char(TagInt8));
        AppendLE(out, quint32(d), 1);
    } else if (d >= -32768 && d <= 32767) {
        out.append(char(TagInt16));
        AppendLE(out, quint32(d), 2);
    } else {
        out.append(char(TagInt32));
        AppendLE(out, quint32(d), 4);
    }
    out.append(char(values.Percent ? TagTrue : TagFalse));
    return out;
}

namespace {

// Cursor over the bytes of "lastV.def"; each reader returns false at a wrong
// tag or a value cut short, without moving past the end.
class TaggedReader
{
public:
    explicit TaggedReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos >= m_data.size(); }

    bool readInteger(qint32& value)
    {
        if (atEnd())
            return false;
        int size = 0;
        switch (quint8(m_data[m_pos])) {
        case TagInt8:
            size = 1;
            break;
        case TagInt16:
            size = 2;
            break;
        case TagInt32:
            size = 4;
            break;
        default:
            return false;
        }
        if (m_data.size() - m_pos - 1 < size)
            return false;
        const quint64 raw = ReadLE(bytesAt(m_pos + 1), size);
        // Sign-extend from the payload's width.
        const int unused = 64 - 8 * size;
        value = qint32(qint64(raw << unused) >> unused);
        m_pos += 1 + size;
        return true;
    }

    bool readFloat(double& value)
    {
        if (atEnd())
            return false;
        if (quint8(m_data[m_pos]) != TagExtended) {
            qint32 i = 0;
            if (!readInteger(i))
                return false;
            value = i;
            return true;
        }
        if (m_data.size() - m_pos - 1 < 10)
            return false;
        value = DecodeExtended(bytesAt(m_pos + 1));
        m_pos += 11;
        return true;
    }

    bool readBoolean(bool& value)
    {
        if (atEnd())
            return false;
        value = quint8(m_data[m_pos]) == TagTrue;
        ++m_pos;
        return true;
    }

private:
    const quint8* bytesAt(qsizetype pos) const { return reinterpret_cast<const quint8*>(m_data.data()) + pos; }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace

LastValuesRead ReadLastValues(QByteArrayView data)
{
    LastValuesRead result;
    TaggedReader reader(data);
    for (double& f : result.floats) {
        double v = 0;
        if (!reader.readFloat(v))
            return result;
        f = v;
        ++result.count;
    }
    qint32 decimals = 0;
    if (!reader.readInteger(decimals))
        return result;
    result.Decimals = decimals;
    ++result.count;
    bool percent = false;
    if (!reader.readBoolean(percent))
        return result;
    result.Percent = percent;
    ++result.count;
    return result;
}

QString TimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd-MM-yyyy HH-mm-ss"));
}

QByteArray WriteValueSet(const QString& stamp, double y1, double y2, double x1, double x2, double X,
                         const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator)
{
    const QString lines[kValueSetLineCount] = {
        stamp,
        QString::fromLatin1(kValueSetMarker),
        NumberFormat::FormatGeneral(y1, decimalSeparator),
        NumberFormat::FormatGeneral(y2, decimalSeparator),
        NumberFormat::FormatGeneral(x1, decimalSeparator),
        NumberFormat::FormatGeneral(x2, decimalSeparator),
        NumberFormat::FormatGeneral(X, decimalSeparator),
        lengthCaption,
        leftCaption,
    };
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
    for (int n = 0; n < 5; ++n) {
        const int line = 2 + n;
        if (line >= text.lines.size()) {
            result.stop = ValueSetRead::Missing;
            result.stopLine = line;
            break;
        }
        if (text.overLong.contains(line) || !toFloat(text.lines[line], result.values[n])) {
            result.stop = ValueSetRead::NotANumber;
            result.stopLine = line;
            break;
        }
        ++result.count;
    }
    return result;
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

bool OpenRegularFile(QFile& file)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(file.fileName());
    if (native.isEmpty())
        return false;
    // Looked at before opening: opening a device can do something of its own
    // (a tape rewinds, a serial line rises), and opening a FIFO waits for a
    // writer.
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // Non-blocking and checked again on what was opened: something else can
    // be put under the name between the two steps.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // Plain blocking reads from here: a file system with mandatory locks
    // could otherwise answer EAGAIN, which would read as a failure.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(file.fileName()).isFile())
        return false;
    return file.open(QIODevice::ReadOnly);
#endif
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!OpenRegularFile(file))
        return std::nullopt;
    QByteArray data(qsizetype(qMax<qint64>(0, maxBytes)), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < data.size()) {
        const qint64 n = file.read(data.data() + got, data.size() - got);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += qsizetype(n);
    }
    data.truncate(got);
    return data;
}

#ifdef Q_OS_UNIX

namespace {

// Links followed before a chain counts as a loop, as many as the kernel follows.
constexpr int kMaxLinks = 40;
// Random characters at the end of a temporary file's name.
constexpr int kTemporaryRandom = 6;

// The file that a write to `path` replaces: `path` itself, or the regular
// file at the end of its chain of links. Empty where nothing may be written:
// a folder, a device, a FIFO or a socket, wherever a link points, a dangling
// link (which would create its target wherever it points) or a loop.
// `existing` receives the regular file's status, zeroed for a new file.
QByteArray WriteTarget(const QByteArray& path, struct stat& existing, QString& error)
{
    QByteArray current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (::lstat(current.constData(), &existing) != 0) {
            const int code = errno;
            existing = {};
            if (code == ENOENT && links == 0)
                return current;
            error = qt_error_string(code);
            return {};
        }
        if (S_ISREG(existing.st_mode))
            return current;
        if (!S_ISLNK(existing.st_mode)) {
            error = QStringLiteral("%1 ist keine gewöhnliche Datei").arg(QFile::decodeName(current));
            return {};
        }
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size()) {
            error = qt_error_string(length < 0 ? errno : ENAMETOOLONG);
            return {};
        }
        target.truncate(length);
        // Joined, not cleaned up: ".." after a linked folder means the parent
        // of where that link points, which only the kernel resolves right.
        current = target.startsWith('/') ? target : current.left(current.lastIndexOf('/') + 1) + target;
    }
    error = qt_error_string(ELOOP);
    return {};
}

QByteArray RandomCharacters(int count)
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray text(count, Qt::Uninitialized);
    for (char& c : text)
        c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)];
    return text;
}

// Removes the temporary files of one target that no writer holds: a writer
// keeps its temporary locked until the rename, so an unlocked one was left
// by a process killed before it got there.
void RemoveLeftoverTemporaries(const QByteArray& folder, const QByteArray& prefix)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != prefix.size() + kTemporaryRandom || !name.startsWith(prefix))
            continue;
        const QByteArray path = folder + QByteArray(entry->d_name);
        // Looked at before opening, so that nothing but a regular file is
        // opened; checked again on what was opened.
        struct stat info {
        };
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

bool WriteReplacing(const QByteArray& path, const QByteArray& data, QString& error)
{
    const auto failed = [&error](int code) {
        error = qt_error_string(code);
        return false;
    };
    if (path.isEmpty())
        return failed(ENOENT);
    struct stat existing {
    };
    const QByteArray target = WriteTarget(path, existing, error);
    if (target.isEmpty())
        return false;
    const bool replacing = existing.st_mode != 0;
    // A file made read-only stays as it is, as it would if written in place.
    if (replacing && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return failed(errno);

    // Beside the target, so that the rename stays within one file system.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray prefix = '.' + target.mid(slash + 1) + ".tiraso-";
    RemoveLeftoverTemporaries(folder, prefix);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = folder + prefix + RandomCharacters(kTemporaryRandom);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failed(errno);
    }
    if (fd < 0)
        return failed(EEXIST);
    ::flock(fd, LOCK_EX | LOCK_NB);

    int code = 0;
    for (qsizetype done = 0; code == 0 && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            code = n == 0 ? ENOSPC : errno;
    }
    if (code == 0 && replacing && ::fchmod(fd, existing.st_mode & 0777) != 0)
        code = errno;
    // Space that the file system only allots later (a quota, a network file
    // system) runs out here rather than at write().
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        code = errno;
    if (code != 0)
        ::unlink(temporary.constData());
    // Closed only now: the lock keeps other writers' clean-up away until the
    // temporary has its final name.
    ::close(fd);
    if (code != 0)
        return failed(code);

    // The new name lives in the folder: until the folder reaches the disk
    // too, a power cut can bring back the old file or none. A failure here
    // is not reported: the file is written and in place.
    const int folderFd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText)
{
    QString error;
    const bool written = WriteReplacing(QFile::encodeName(path), data, error);
    if (errorText)
        *errorText = written ? QString() : error;
    return written;
}

#else

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText)
{
    QSaveFile file(path);
    // Writing in place would defeat the point: a folder that refuses the
    // temporary file must make the whole write fail.
    file.setDirectWriteFallback(false);
    const auto fail = [&] {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered, so that every write reaches the file system here and its
    // failure is seen here. Buffered bytes would be written only inside
    // commit(), which (Qt 6.4) ignores that this last write failed and renames
    // the short file over the target.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    for (qsizetype done = 0; done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return fail();
        done += qsizetype(n);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail();
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    if (errorText)
        errorText->clear();
    return true;
}

#endif

bool EnoughRoomForLastValues(qint64 freeBytes)
{
    return freeBytes < 0 || freeBytes > kLastValuesMinimumFree;
}

LastValuesRead LoadLastValues(const QString& folder)
{
    const std::optional<QByteArray> data = ReadRegularFile(folder + QLatin1String(kLastValuesFileName), 64);
    if (!data)
        return {};
    LastValuesRead read = ReadLastValues(*data);
    for (int i = 0; i < read.count && i < 5; ++i) {
        if (!std::isfinite(read.floats[i])) {
            read.count = i;
            break;
        }
    }
    return read;
}

bool SaveLastValues(const QString& folder, const LastValues& values, qint64 freeBytes)
{
    if (!EnoughRoomForLastValues(freeBytes))
        return false;
    return WriteFileAtomically(folder + QLatin1String(kLastValuesFileName), WriteLastValues(values));
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

bool SaveValueSet(const QString& path, const QString& stamp, const Interpolation::Inputs& in,
                  const QString& lengthCaption, const QString& leftCaption, QChar decimalSeparator)
{
    return WriteFileAtomically(
        path, WriteValueSet(stamp, in.y1, in.y2, in.x1, in.x2, in.X, lengthCaption, leftCaption, decimalSeparator));
}

} // namespace ValueFiles
