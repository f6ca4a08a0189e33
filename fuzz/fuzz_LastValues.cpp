// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target: the "lastV.def" reader and the 80-bit decoder on
// arbitrary bytes. Besides the sanitizers it checks that what was read writes
// and reads back unchanged, and, where long double is the x87 type, that the
// decoder rounds exactly as the hardware does for every pattern the hardware
// accepts.

#include "storage/ValueFiles.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

bool SameValue(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b) || (std::isnan(a) && std::isnan(b));
}

#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64
constexpr bool kHardwareOracle = true;
double HardwareNarrow(const quint8* p)
{
    long double ld;
    std::memcpy(&ld, p, 10);
    return double(ld);
}
#else
constexpr bool kHardwareOracle = false;
double HardwareNarrow(const quint8*)
{
    return 0;
}
#endif

// Patterns the x87 unit loads as numbers; unnormals and the pseudo forms it
// rejects, so the decoder's reading of those cannot be compared.
bool HardwareAccepts(const quint8* p)
{
    const bool integerBit = p[7] & 0x80;
    const int exponent = (p[8] | (p[9] << 8)) & 0x7FFF;
    return exponent == 0 || integerBit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ValueFiles;

    const LastValuesRead read = ReadLastValues(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    Check(read.count >= 0 && read.count <= 7);
    // Seven values need at least five two-byte floats, a two-byte integer and the Boolean.
    Check(read.count < 7 || size >= 13);

    LastValues values;
    values.x1 = read.floats[0];
    values.X = read.floats[1];
    values.x2 = read.floats[2];
    values.y1 = read.floats[3];
    values.y2 = read.floats[4];
    values.Decimals = read.Decimals;
    values.Percent = read.Percent;
    const QByteArray written = WriteLastValues(values);
    const LastValuesRead again = ReadLastValues(written);
    Check(again.count == 7);
    for (int i = 0; i < 5; ++i)
        Check(SameValue(again.floats[i], read.floats[i]));
    Check(again.Decimals == read.Decimals && again.Percent == read.Percent);

    for (size_t i = 0; i + 10 <= size; ++i) {
        const double d = DecodeExtended(data + i);
        Check(SameValue(DecodeExtended(EncodeExtended(d).data()), d));
        if (kHardwareOracle && HardwareAccepts(data + i))
            Check(SameValue(d, HardwareNarrow(data + i)));
    }
    return 0;
}
