// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <stdexcept>

// The failures that escape the formula calculator. C++ does not trap on
// floating-point faults, so the calculator detects each condition and throws
// one of these. Callers catch std::exception; what() is the German message
// in UTF-8 that the application's error handler shows.

class ECalcError : public std::runtime_error
{
protected:
    using std::runtime_error::runtime_error;
};

// A negative base raised to a fractional power.
class EInvalidOp : public ECalcError
{
public:
    EInvalidOp();
};

// Zero raised to a negative power.
class EZeroDivide : public ECalcError
{
public:
    EZeroDivide();
};

// A result beyond the range of long double.
class EOverflow : public ECalcError
{
public:
    EOverflow();
};

// A text that should have been a number and is not.
class EConvertError : public ECalcError
{
public:
    explicit EConvertError(const QString& text);
};
