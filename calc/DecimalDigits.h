// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

// The digit core shared by the number texts and the formula calculator.
//
// Every number text starts from the value's 18 significant decimal digits,
// correctly rounded, and rounds that digit string further with halves away
// from zero. Rounding the digit string (rather than the binary value) is what
// makes 0,125 show as 0,13 while the double 1,005 (1,00499999999999989...)
// shows as 1,00.

namespace NumberFormat::detail {

struct DecimalDigits {
    std::array<char, 18> digits{}; // ASCII digits, digits[0] is the leading one
    int count = 0;                 // digits in use; 0 means the value is zero
    int exponent = 0;              // power of ten of digits[0]
    bool negative = false;
};

// The first 18 significant digits of a finite value, without trailing zeros.
DecimalDigits Digits18(long double value);

// Keeps the digits down to the power of ten `lowestExponent`, rounding the
// rest away with halves away from zero (only the first dropped digit counts),
// and drops trailing zeros. A result of zero has count 0.
void RoundAtExponent(DecimalDigits& d, int lowestExponent);

// Keeps at most `significant` leading digits, rounded as above.
void RoundToSignificant(DecimalDigits& d, int significant);

// The value nearest to ±digits × 10^scale. `digits` holds `count` ASCII
// digits; the result is correctly rounded and may be infinite or subnormal.
long double DecimalToValue(const char* digits, int count, int scale, bool negative);

// The value of a digit string as produced above.
long double ToValue(const DecimalDigits& d);

} // namespace NumberFormat::detail
