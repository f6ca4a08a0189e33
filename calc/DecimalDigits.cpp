// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/DecimalDigits.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace NumberFormat::detail {

namespace {

// Powers of ten that a long double holds exactly (5^27 still fits in the
// 64-bit mantissa), so that a short mantissa times or divided by one of them
// is rounded only once and the result is the correctly rounded value.
constexpr int kExactPowers = 28;
constexpr std::array<long double, kExactPowers> kPowersOfTen = [] {
    std::array<long double, kExactPowers> p{};
    p[0] = 1.0L;
    for (int i = 1; i < kExactPowers; ++i)
        p[i] = p[i - 1] * 10.0L;
    return p;
}();

void dropTrailingZeros(DecimalDigits& d)
{
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
}

} // namespace

DecimalDigits Digits18(long double value)
{
    DecimalDigits d;
    d.negative = value < 0;
    // to_chars is locale independent and correctly rounded; the scientific
    // form always reads "d.ddddddddddddddddde±x".
    char buf[48];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    d.digits[0] = buf[0];
    for (int i = 1; i < 18; ++i)
        d.digits[i] = buf[i + 1];
    const char* exp = buf + 20; // past "d." + 17 digits + "e"
    const bool negativeExponent = *exp == '-';
    int e = 0;
    std::from_chars(exp + 1, res.ptr, e);
    d.exponent = negativeExponent ? -e : e;
    d.count = 18;
    dropTrailingZeros(d);
    if (d.count == 0)
        d.exponent = 0;
    return d;
}

void RoundAtExponent(DecimalDigits& d, int lowestExponent)
{
    const int keep = d.exponent - lowestExponent + 1;
    if (keep >= d.count)
        return;
    if (keep < 0) {
        d.count = 0;
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            // All kept digits were nines (or none was kept): the carry makes
            // a new leading 1 one place higher.
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
        }
    }
    dropTrailingZeros(d);
    if (d.count == 0)
        d.exponent = 0;
}

void RoundToSignificant(DecimalDigits& d, int significant)
{
    if (d.count > 0)
        RoundAtExponent(d, d.exponent - significant + 1);
}

long double DecimalToValue(const char* digits, int count, int scale, bool negative)
{
    while (count > 0 && *digits == '0') {
        ++digits;
        --count;
    }
    while (count > 0 && digits[count - 1] == '0') {
        --count;
        ++scale;
    }
    long double value = 0.0L;
    if (count == 0) {
        // keep the zero's sign, like any other reading of "-0"
    } else if (count <= 19 && scale > -kExactPowers && scale < kExactPowers) {
        std::uint64_t mantissa = 0;
        for (int i = 0; i < count; ++i)
            mantissa = mantissa * 10 + std::uint64_t(digits[i] - '0');
        value = scale >= 0 ? static_cast<long double>(mantissa) * kPowersOfTen[scale]
                           : static_cast<long double>(mantissa) / kPowersOfTen[-scale];
    } else {
        std::string text(digits, std::size_t(count));
        text += 'e';
        text += std::to_string(scale);
        const char* first = text.data();
        const char* last = first + text.size();
        if (std::from_chars(first, last, value, std::chars_format::scientific).ec != std::errc()) {
            // from_chars leaves the value alone when the result is out of
            // range, subnormal included. strtold gives the rounded value
            // (infinity, a subnormal or zero); the text has no radix
            // character, so the C locale's setting does not matter.
            const int savedErrno = errno;
            value = std::strtold(first, nullptr);
            errno = savedErrno;
        }
    }
    return negative ? -value : value;
}

long double ToValue(const DecimalDigits& d)
{
    return DecimalToValue(d.digits.data(), d.count, d.exponent - d.count + 1, d.negative);
}

} // namespace NumberFormat::detail
