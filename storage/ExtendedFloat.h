// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// 80-bit extended floats, as "lastV.def" holds them.
//
// Layout: 8 bytes significand with an explicit integer bit (bit 63), little
// endian, then 2 bytes holding the sign (bit 15) and a 15-bit exponent with
// bias 16383. Encoded and decoded bit by bit: `long double` is not this type on
// every compiler, so it is never used.

#include <QtGlobal>

#include <array>

namespace ValueFiles {

// Exact widening: every double has exactly one extended twin. Denormal doubles
// come out normalised; infinities stay infinities; a NaN keeps its sign and
// payload (shifted up to the extended fraction), so a quiet NaN stays quiet.
std::array<quint8, 10> EncodeExtended(double value);

// Narrowing with round-to-nearest-even, defined for every one of the 2^80
// patterns:
//  - results too large become +-inf, results too small become a double
//    denormal or +-0, as rounding dictates;
//  - the integer bit is not trusted: a pattern is read by its value,
//    significand * 2^(e - 16383 - 63) with e = max(exponent, 1), so
//    unnormals and pseudo-denormals give the number they stand for;
//  - exponent 0x7FFF: infinity when the fraction is zero and the integer bit
//    set, otherwise (NaNs, pseudo-infinity, pseudo-NaN) a quiet NaN with the
//    sign and the top payload bits.
double DecodeExtended(const quint8* tenBytes);

} // namespace ValueFiles
