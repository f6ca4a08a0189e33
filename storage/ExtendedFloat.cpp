// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storage/ExtendedFloat.h"

#include <bit>

namespace ValueFiles {

namespace {

constexpr quint64 kDoubleFractionMask = (quint64(1) << 52) - 1;
constexpr quint64 kDoubleQuietBit = quint64(1) << 51;
constexpr quint64 kIntegerBit = quint64(1) << 63;
constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;

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
    quint64 significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | tenBytes[i];
    const quint16 top = quint16(tenBytes[8] | (tenBytes[9] << 8));
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

} // namespace ValueFiles
