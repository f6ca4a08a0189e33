// libFuzzer target: the value-set line reader and the text-to-number
// conversion on arbitrary bytes. Besides the sanitizers it checks the line
// limits and compares every accepted or refused number with the C library's
// strtod (the fuzzer runs in the "C" locale).

#include "calc/NumberFormat.h"
#include "main/ValueFiles.h"

#include <QBuffer>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ValueFiles;

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QStringList lines = ReadValueSetLines(buffer);
    Check(lines.size() <= kValueSetLineCount);
    for (const QString& line : lines) {
        Check(line.size() <= kMaxValueSetLineLength);
        Check(!line.contains(u'\r') && !line.contains(u'\n'));
        CheckNumber(line, u',');
        CheckNumber(line, u'.');
    }
    const ValueSetRead set = ParseValueSet(lines, u',');
    Check(set.count >= 0 && set.count <= 5);

    if (size <= 4096)
        CheckNumber(QString::fromLatin1(bytes), u',');
    return 0;
}
