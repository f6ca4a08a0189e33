// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "calc/RUVTaRe.h"

#include <QString>

#include <string_view>

// Text typed by a user or a script, turned into a value. Every caller reads
// the formula language of TRUVTaRe; they differ in what a "." means, because
// each meets different text: an editor shows grouped numbers and gets them
// back, a prompt is pre-filled with a grouped result but otherwise gets
// decimal points, and a script passes numbers as programs print them.
namespace TypedNumber {

enum class Rule : quint8 {
    // The calculator alone: "." and "," are decimal points.
    Formula,
    // An editor that shows thousands separators: a "." after a digit and
    // before exactly three digits groups them ("1.234,5", "12.345"), except
    // in a number that begins with 0 ("0.001"); every other "." is a
    // decimal point.
    GroupingEditor,
    // A result field's prompt: "." and "," are decimal points ("2.125" is
    // 2,125), except in the pre-filled text confirmed unchanged and in the
    // full German form, dot groups of exactly three digits followed by a ","
    // part ("1.500,25").
    Prompt,
    // The command line: no grouping at all. A plain number, with "." or ","
    // and an optional exponent, is read exactly (correctly rounded to the
    // nearest double); anything else is a formula. "1.234,5" is neither.
    CommandLine,
};

// Fehler and Wert as TRUVTaRe::Berechnen fills them, and its exceptions.
// `shown`: for Rule::Prompt, the text the prompt was pre-filled with.
TRechenErgebnis Read(TRUVTaRe& calculator, const QString& text, Rule rule, const QString& shown = QString());

// The plain numbers Rule::CommandLine reads without the calculator, from
// 8-bit text (a line of a script's input): true and the exact value, or false
// for anything else, formulas included.
bool ReadPlainNumber(std::string_view text, double& value);

// The text as the calculator is to see it under `rule`, grouping dots gone.
// For readers of plain numbers that must agree with Read.
QString Ungrouped(const QString& text, Rule rule, const QString& shown = QString());

} // namespace TypedNumber
