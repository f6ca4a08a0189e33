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

    const LastValuesRead again = ReadLastValues(WriteLastValues(read.values));
    Check(again.count == 7);
    const auto& in = read.values.inputs;
    const auto& out = again.values.inputs;
    Check(SameValue(out.x1, in.x1) && SameValue(out.x2, in.x2) && SameValue(out.X, in.X) && SameValue(out.y1, in.y1)
          && SameValue(out.y2, in.y2));
    Check(again.values.Decimals == read.values.Decimals && again.values.Percent == read.values.Percent);

    for (size_t i = 0; i + 10 <= size; ++i) {
        const double d = DecodeExtended(data + i);
        Check(SameValue(DecodeExtended(EncodeExtended(d).data()), d));
        if (kHardwareOracle && HardwareAccepts(data + i))
            Check(SameValue(d, HardwareNarrow(data + i)));
    }
    return 0;
}
