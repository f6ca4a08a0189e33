// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/FloatErrors.h"

EInvalidOp::EInvalidOp()
    : ECalcError("Ungültige Gleitkommaoperation")
{
}

EZeroDivide::EZeroDivide()
    : ECalcError("Gleitkommadivision durch Null")
{
}

EOverflow::EOverflow()
    : ECalcError("Gleitkommaüberlauf")
{
}

EConvertError::EConvertError(const QString& text)
    : ECalcError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text).toStdString())
{
}
