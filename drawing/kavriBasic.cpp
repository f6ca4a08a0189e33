// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/kavriBasic.h"

namespace {
constexpr double NearZeroTolerance = 1e-7;
}

bool WithinTolerance(double tolerance, double centre, double value)
{
    // Written as two tests in this order so that a NaN fails both.
    if (centre - tolerance > value)
        return false;
    return centre + tolerance >= value;
}

bool IsNearZero(double value)
{
    return WithinTolerance(NearZeroTolerance, 0.0, value);
}

bool IsNearZero(float value)
{
    return WithinTolerance(NearZeroTolerance, 0.0, static_cast<double>(value));
}
