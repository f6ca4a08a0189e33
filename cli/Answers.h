// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What one value given to the command line yields, and its texts: shared by
// a value from the arguments and the lines of standard input.

#include "model/Interpolation.h"

#include <QString>

#include <optional>
#include <string>

class TRUVTaRe;

namespace CommandLine {

struct Settings {
    Interpolation::Inputs in; // X only for a single x=V
    bool inverse = false;     // y=: the X at which the line reaches a height
    bool fromInput = false;   // x=- or y=-: one value a line of standard input
    double height = 0;        // a single y=V
    int decimals = Interpolation::StartDecimals;
    bool percent = true;
    bool json = false;
    bool plain = false;
    bool extrapolate = false;
};

// A number as the program reads it from a script: plain to the last bit, or
// a formula. Empty for text that is neither, and beyond the double range.
std::optional<double> Evaluate(TRUVTaRe& calculator, const QString& text);

// In „…“, control characters as \x1b: written raw, text from a script could
// move the cursor, recolour or retitle the terminal that shows the message.
QString Quoted(const QString& text);

// Where X lies. Both support points are inside: the window's value there is
// the line's. With x2 < x1 the window interpolates nowhere, so every other X
// is outside.
enum class Place : quint8 {
    Inside,
    Outside,      // the window's value y1 stands in for the line's
    Extrapolated, // outside, the line's value (--extrapolate)
};
Place Locate(const Interpolation::Inputs& in, bool extrapolate);

double ValueAt(const Interpolation::Inputs& in, Place place);
Interpolation::Results ResultsAt(const Interpolation::Inputs& in, Place place);

// The note for Place::Outside, without a line end.
const char* OutsideNote(const Interpolation::Inputs& in);

// Why no height has an X on this line (level, no interval, reversed), or null.
const char* LineRefusal(const Interpolation::Inputs& in);

// The X at which the line reaches `height`: the window's back-calculation,
// strictly between y1 and y2, and with `extrapolate` the line's X beyond.
struct Solution {
    std::optional<double> x;
    const char* refusal = nullptr; // when there is no x
};
Solution Solve(const Interpolation::Inputs& in, double height, bool extrapolate);

// The shortest text that reads back as the same double, with ".".
void AppendPlain(std::string& out, double value);
// As a result field shows it, or with --plain as AppendPlain.
void AppendNumber(std::string& out, long double value, const Settings& settings);
// The seven result lines "name<TAB>value".
void AppendResultLines(std::string& out, const Interpolation::Results& results, const Settings& settings);
// One JSON object, without a line end: the inputs at in.X (or `height` for
// y=), the layout, whether X is outside and every result at full precision.
// `line`: the input line it answers, 0 for none.
void AppendJson(std::string& out, const Interpolation::Inputs& in, double height, qint64 line,
                const Settings& settings);

} // namespace CommandLine
