// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <string_view>

// Number texts shown to the user and written to value files.
//
// The rules are our own and do not follow QString::number or QLocale::toString:
// the value is first written with 18 significant digits (15 for the general
// format), and that digit string is then rounded to the wanted places with
// halves away from zero.
//
// The separators are the German ones on every machine, whatever the desktop's
// language or the process locale says. Texts travel: a value set saved on one
// desktop is loaded on another, a shown result is confirmed in a prompt or
// typed back into an editor. With the locale's separators an English "0.330"
// would come back as 330, and a Persian "٫" does not even fit the Latin-1
// value files. Nothing here may look at QLocale or the C locale.

namespace NumberFormat {

inline constexpr QChar kDecimalSeparator = u',';
inline constexpr QChar kGroupSeparator = u'.';

// "%.*n": fixed point, `decimals` places (2 when outside 0..18), the integer
// part grouped by threes with ".", "," before the decimals, "-" for negatives.
QString FormatN(int decimals, long double value);

// "%.*f": as FormatN, without grouping.
QString FormatF(int decimals, long double value);

// The places FormatN and FormatF write for `decimals`.
int EffectiveDecimals(int decimals);

// The "." that group thousands the way FormatN writes them, removed: a "."
// that follows a digit and is followed by exactly three digits and then by
// anything but a digit (or the end), in a number that does not begin with 0
// (the window never writes "0.001"). Every other "." stays, so that typed
// text such as "2.5" keeps its decimal point for the calculator, which reads
// "." and "," alike; "1.234,5" becomes "1234,5", "1.234.567" becomes
// "1234567", and "1.5.3" stays as it is (and is no number).
QString RemoveGroupingDots(QStringView text);

// General format: at most 15 significant digits, no grouping, no trailing
// zeros, exponent form ("1E15", "1,5E-7") below 0.0001 and from 10^15 on.
QString FormatGeneral(long double value, QChar decimalSeparator);

// For other programs rather than for reading: the shortest text that reads
// back as the same double, with "." as the decimal point, no grouping, and
// the exponent form only where it is the shorter one ("0.33", "1234.5",
// "-2.5e-08"). Not finite: "inf", "-inf", "nan".
QString RoundTrip(double value);

// Text to number, independent of the process locale: surrounding blanks, an
// optional sign, digits with at most one `decimalSeparator` (at least one
// digit in all), an optional exponent E/e with optional sign and at least one
// digit. No thousands separators, no other decimal separator, no "inf"/"nan".
// A value beyond the double range gives false (value untouched); one too
// small for it rounds to zero.
bool TextToFloat(QStringView text, QChar decimalSeparator, double& value);
// The same on 8-bit text (ASCII or UTF-8), where no byte beyond ASCII is part
// of a number.
bool TextToFloat(std::string_view text, char decimalSeparator, double& value);

// The integer a text holds, or `fallback` when it holds none: leading blanks,
// an optional sign, then decimal digits or "$" / "0x" and hex digits, within
// 32 bits. Anything else, trailing blanks included, is no integer.
int TextToIntDef(const QString& text, int fallback);

} // namespace NumberFormat
