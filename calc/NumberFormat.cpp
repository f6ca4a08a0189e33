// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/NumberFormat.h"

#include "calc/DecimalDigits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace NumberFormat {

namespace {

using detail::DecimalDigits;

constexpr int kMaxDecimals = 18;
constexpr int kFallbackDecimals = 2;
constexpr int kGeneralDigits = 15;

// Non-finite values have no digits; they get fixed texts in every format.
bool specialText(long double value, QString& text)
{
    if (std::isnan(value)) {
        text = QStringLiteral("NaN");
        return true;
    }
    if (std::isinf(value)) {
        text = value < 0 ? QStringLiteral("-∞") : QStringLiteral("∞");
        return true;
    }
    return false;
}

char digitAt(const DecimalDigits& d, int power)
{
    const int index = d.exponent - power;
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

QString fixedText(int decimals, long double value, bool grouped)
{
    QString text;
    if (specialText(value, text))
        return text;
    decimals = EffectiveDecimals(decimals);

    DecimalDigits d = detail::Digits18(value);
    detail::RoundAtExponent(d, -decimals);

    // Large values are written out in full; past the 18th digit they are zeros.
    const int top = d.count > 0 ? std::max(d.exponent, 0) : 0;
    text.reserve(top + top / 3 + decimals + 3);
    // A value that rounds to zero loses its sign: "-0,00" would only confuse.
    if (d.negative && d.count > 0)
        text += QLatin1Char('-');
    for (int power = top; power >= 0; --power) {
        text += QLatin1Char(digitAt(d, power));
        if (grouped && power > 0 && power % 3 == 0)
            text += kGroupSeparator;
    }
    if (decimals > 0) {
        text += kDecimalSeparator;
        for (int power = -1; power >= -decimals; --power)
            text += QLatin1Char(digitAt(d, power));
    }
    return text;
}

} // namespace

int EffectiveDecimals(int decimals)
{
    return decimals < 0 || decimals > kMaxDecimals ? kFallbackDecimals : decimals;
}

QString FormatN(int decimals, long double value)
{
    return fixedText(decimals, value, true);
}

QString FormatF(int decimals, long double value)
{
    return fixedText(decimals, value, false);
}

QString RemoveGroupingDots(QStringView text)
{
    const auto isDigit = [&](qsizetype i) { return i >= 0 && i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
    // A grouped number never begins with 0, so a "." in a number that does
    // ("0.001", "-0.250") is a decimal point however many digits follow.
    const auto startsWithZero = [&](qsizetype i) {
        while (i > 0 && (isDigit(i - 1) || text[i - 1] == kGroupSeparator))
            --i;
        return text[i] == u'0';
    };
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool groups = text[i] == kGroupSeparator && isDigit(i - 1) && isDigit(i + 1) && isDigit(i + 2)
            && isDigit(i + 3) && !isDigit(i + 4) && !startsWithZero(i);
        if (!groups)
            result += text[i];
    }
    return result;
}

QString FormatGeneral(long double value, QChar decimalSeparator)
{
    QString text;
    if (specialText(value, text))
        return text;

    DecimalDigits d = detail::Digits18(value);
    detail::RoundToSignificant(d, kGeneralDigits);
    if (d.count == 0)
        return QStringLiteral("0");

    if (d.negative)
        text += QLatin1Char('-');
    // Fixed point for 0,0001 <= |value| < 10^15 (after rounding).
    if (d.exponent >= -4 && d.exponent < kGeneralDigits) {
        for (int power = std::max(d.exponent, 0); power >= 0; --power)
            text += QLatin1Char(digitAt(d, power));
        const int lowest = d.exponent - d.count + 1;
        if (lowest < 0) {
            text += decimalSeparator;
            for (int power = -1; power >= lowest; --power)
                text += QLatin1Char(digitAt(d, power));
        }
        return text;
    }
    text += QLatin1Char(d.digits[0]);
    if (d.count > 1) {
        text += decimalSeparator;
        for (int i = 1; i < d.count; ++i)
            text += QLatin1Char(d.digits[i]);
    }
    text += QLatin1Char('E');
    char exponent[8];
    const auto end = std::to_chars(exponent, exponent + sizeof exponent, d.exponent).ptr;
    text += QLatin1StringView(exponent, end - exponent);
    return text;
}

namespace {

// One reader for 16-bit and 8-bit text. The number is checked and copied
// into plain ASCII with '.', the only form std::from_chars reads; it does not
// look at the process locale. A number that fits the stack buffer, as nearly
// every one does, costs no allocation: batches read millions of them.
template<typename Char>
bool textToFloat(const Char* text, qsizetype size, Char decimalSeparator, double& value)
{
    qsizetype begin = 0;
    qsizetype end = size;
    const auto isBlank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    char small[64];
    std::string large;
    char* ascii = small;
    if (end - begin > qsizetype(sizeof small)) {
        large.resize(std::size_t(end - begin));
        ascii = large.data();
    }
    qsizetype length = 0;
    qsizetype i = begin;
    bool negative = false;
    if (i < end && (text[i] == Char('+') || text[i] == Char('-'))) {
        negative = text[i] == Char('-');
        if (negative)
            ascii[length++] = '-';
        ++i;
    }
    const auto isDigit = [](Char c) { return c >= Char('0') && c <= Char('9'); };
    int digits = 0;
    int integerDigits = 0;
    int leadingZeros = 0;
    bool separatorSeen = false;
    bool nonZeroSeen = false;
    for (; i < end; ++i) {
        const Char c = text[i];
        if (isDigit(c)) {
            ++digits;
            if (!separatorSeen)
                ++integerDigits;
            if (c != Char('0'))
                nonZeroSeen = true;
            else if (!nonZeroSeen)
                ++leadingZeros;
            ascii[length++] = char(c);
        } else if (c == decimalSeparator && !separatorSeen) {
            separatorSeen = true;
            ascii[length++] = '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;

    // Decimal exponent, saturated: only its sign and rough size matter beyond
    // what from_chars itself reads.
    long long exponent = 0;
    if (i < end && (text[i] == Char('e') || text[i] == Char('E'))) {
        ascii[length++] = 'e';
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == Char('+') || text[i] == Char('-'))) {
            negativeExponent = text[i] == Char('-');
            ascii[length++] = char(text[i]);
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i) {
            ++exponentDigits;
            exponent = qMin<long long>(exponent * 10 + (text[i] - Char('0')), 1'000'000'000);
            ascii[length++] = char(text[i]);
        }
        if (exponentDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != end)
        return false;

    double parsed = 0;
    const char* last = ascii + length;
    const auto [ptr, ec] = std::from_chars(ascii, last, parsed);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports both ends of the range. Tell them apart by the
        // position of the first significant digit: too small rounds to zero,
        // too large is no number we can hold.
        const long long magnitude = (integerDigits - leadingZeros) + exponent;
        if (!nonZeroSeen || magnitude <= 0) {
            value = negative ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (ec != std::errc() || ptr != last)
        return false;
    value = parsed;
    return true;
}

} // namespace

bool TextToFloat(QStringView text, QChar decimalSeparator, double& value)
{
    return textToFloat(text.utf16(), text.size(), decimalSeparator.unicode(), value);
}

bool TextToFloat(std::string_view text, char decimalSeparator, double& value)
{
    return textToFloat(text.data(), qsizetype(text.size()), decimalSeparator, value);
}

QString RoundTrip(double value)
{
    // to_chars without a format is the shortest round trip, choosing between
    // fixed and exponent form by length, independent of every locale.
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (written.ec != std::errc())
        return {};
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

int TextToIntDef(const QString& text, int fallback)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    int base = 10;
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text.at(i) == QLatin1Char('0') && text.at(i + 1).toLower() == QLatin1Char('x')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return fallback;
    constexpr qint64 Limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return fallback;
        magnitude = magnitude * base + digit;
        if (magnitude > Limit)
            return fallback;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<qint32>::max())
        return fallback;
    return int(result);
}

} // namespace NumberFormat
