// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Tolerance comparisons of the graphics helpers.

// centre - tolerance <= value <= centre + tolerance, both bounds included.
// A value that is not a number is never within tolerance.
bool WithinTolerance(double tolerance, double centre, double value);

// |value| <= 1e-7.
bool IsNearZero(double value);
// The 32-bit form widens its argument exactly, so a difference narrowed to
// float is judged as the float it became: 1e-7 narrowed is 1.0000000117e-7
// and is not near zero.
bool IsNearZero(float value);
