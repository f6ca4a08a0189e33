#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringView>

// Number texts shown to the user and written to value files.
//
// The rules are our own and do not follow QString::number or QLocale::toString:
// the value is first written with 18 significant digits (15 for the general
// format), and that digit string is then rounded to the wanted places with
// halves away from zero. Only the separators come from the locale.

namespace NumberFormat {

// "%.*n": fixed point, `decimals` places (2 when outside 0..18), the integer
// part grouped by threes with the locale's group separator.
QString FormatN(int decimals, long double value, const QLocale& locale = QLocale());

// "%.*f": as FormatN, without grouping.
QString FormatF(int decimals, long double value, const QLocale& locale = QLocale());

// General format: at most 15 significant digits, no grouping, no trailing
// zeros, exponent form ("1E15", "1,5E-7") below 0.0001 and from 10^15 on.
QString FormatGeneral(long double value, QChar decimalSeparator);

// Text to number, independent of the process locale: surrounding blanks, an
// optional sign, digits with at most one `decimalSeparator` (at least one
// digit in all), an optional exponent E/e with optional sign and at least one
// digit. No thousands separators, no other decimal separator, no "inf"/"nan".
// A value beyond the double range gives false (value untouched); one too
// small for it rounds to zero.
bool TextToFloat(QStringView text, QChar decimalSeparator, double& value);

} // namespace NumberFormat
