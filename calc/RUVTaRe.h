// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "calc/FloatErrors.h"

#include <QObject>
#include <QString>

// The outcome of one evaluation, filled in by TRUVTaRe::Berechnen.
//
// Fehler: 0 success, 1 empty formula, 2 longer than 255 characters,
// 3 division by zero, 4 a character outside the formula language,
// 5 a misplaced operator, 6 a "-" not followed by a number or parenthesis,
// 7 a misplaced or unbalanced parenthesis, 8 an operand that is not a number,
// 10 the formula ends with "^", 12 it begins with "^".
// FehlerPosition: the index in the formula of the offending character for
// codes 4 to 7 and 10; for unbalanced parentheses the index of the first "("
// (-1 if there is none); 0 otherwise.
// Wert: the value on success, 0 otherwise.
struct TRechenErgebnis {
    quint8 Fehler;
    qint32 FehlerPosition;
    long double Wert;
};

// Turns one line typed by the user, a number or a small formula, into a
// value. Reads "." and "," alike as the decimal separator whatever the
// locale. Errors in the text come back in the result; arithmetic faults and
// parentheses in the wrong order throw one of the exceptions of
// FloatErrors.h. Every call stands alone.
class TRUVTaRe : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(TRUVTaRe)

public:
    explicit TRUVTaRe(QObject* owner = nullptr);

    void Berechnen(const QString& Formel, TRechenErgebnis& Ergebnis);
};
