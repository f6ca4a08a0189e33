// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The model's inputs printed in full when a comparison of them fails.

#include "model/Interpolation.h"

#include <QtTest/QtTest>

namespace Interpolation {

inline char* toString(const Inputs& in)
{
    QString text;
    for (double v : {in.x1, in.x2, in.X, in.y1, in.y2})
        text += QString::number(v, 'g', 17) + QLatin1Char(' ');
    return QTest::toString(text);
}

} // namespace Interpolation
