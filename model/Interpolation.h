// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The interpolation itself, without any widget: five inputs describe a
// straight line through (x1, y1) and (x2, y2) and a position X on it; from
// them come the layout the window shows, the results and their texts, and
// the inputs that give a result a value typed for it.
//
// Every function takes the inputs it needs and returns what it computed;
// nothing here keeps state, reads an editor or shows a message, so a command
// line can print exactly what the window shows.

#include <QList>
#include <QString>
#include <QtGlobal>

// The arrangement of the window for a line: by its direction, or level also
// when X is not strictly inside the interval. The values are stored in one
// byte and index the window's tables.
enum TLayoutState : quint8 { lsFalling, lsRising, lsLevel };

namespace Interpolation {

struct Inputs {
    double x1 = 0;
    double x2 = 0;
    double X = 0;
    double y1 = 0;
    double y2 = 0;
    bool operator==(const Inputs&) const = default;
};

// Bit for bit, so that -0 and 0 differ and a changed input is never missed.
bool SameBits(double a, double b);
// SameBits for each of the five.
bool SameInputs(const Inputs& a, const Inputs& b);

// What the window shows at its first start, and what its reset command
// restores (decimals excepted).
inline constexpr Inputs StartInputs{0, 1, 0.33, 0, 1};
inline constexpr int StartDecimals = 3;
inline constexpr bool StartPercent = true;
inline constexpr Inputs ResetInputs{0, 1, 0.5, 0, 1};

// No input goes below this; there is no upper limit. The window's editors
// hold the same bound, so a value computed here is the value they keep.
inline constexpr double InputMinimum = -1000000;
double Bounded(double value);

// rising or falling only for x1 < X < x2 and y1 != y2; level otherwise.
TLayoutState ChooseLayout(const Inputs& in);

struct Results {
    TLayoutState Layout = lsLevel;
    double LGes = 0; // total length x2 - x1
    double LLi = 0;  // left partial length X - x1
    double LRe = 0;  // right partial length LGes - LLi
    double Hges = 0; // total height y2 - y1
    double Y = 0;    // value at X; where the layout is level y1, or y2 at x2
    double HX = 0;   // height at X, Y - y1
    // Both are 0 when the length or the height is within 1e-7 of zero.
    double SlopePercent = 0;
    long double SlopeDegrees = 0;
};
Results Compute(const Inputs& in);

// Compute's value at X alone, for callers that need nothing else.
double ValueAtX(const Inputs& in);

// The straight line's value at X wherever X lies, for x1 != x2: inside the
// interval in Compute's order of operations, extrapolated outside it.
double LineValue(const Inputs& in);

// The seven texts of the result fields. Decimals outside 0..18 give two
// places; the heights carry "H=", the slope "%" or "°".
struct Captions {
    QString LLi;
    QString LRe;
    QString LGes;
    QString xH;
    QString Hges;
    QString YErg;
    QString Neig;
};
Captions Format(const Results& results, int decimals, bool percent);

// The number of a height's caption, without its "H=".
QString HeightNumber(const QString& caption);
// The number of the slope's caption, without its "%" or "°".
QString SlopeNumber(const QString& caption);

// A value with the name a user reads it by.
struct NamedText {
    QString name;
    QString text;
};

// The seven results by name, as the window shows them, for copying and
// printing: the value at X, the height at X, the total height, the total
// length, the left and right partial lengths, the slope with its unit. The
// heights lose the "H=" of their labels, so every text is a number a
// spreadsheet can take.
QList<NamedText> ResultTexts(const Captions& captions);

// One recomputation: the layout and numbers, and the texts as the window
// shows them.
struct Recomputation {
    Results results;
    Captions captions;
};
Recomputation Recompute(const Inputs& in, int decimals, bool percent);

// The answer to a value typed into a result field.
struct Entry {
    enum Outcome : quint8 {
        Changed,       // `inputs` holds the new inputs
        NearZero,      // a length, height or slope within 1e-7 of zero is ignored
        Extrapolation, // the value at X lies outside the open range y1..y2
        LevelLine,     // y1 = y2: there is no position for a value at X
        Failure,       // an intermediate result is not finite, or x1 = x2
    };
    Outcome outcome = Failure;
    Inputs inputs;
};

// `typed` is what the calculator made of the text, in extended precision. A
// value beyond the double range is a failure, like any other step that
// leaves it. Every written input is bounded, and the length entries then keep
// X from lying right of x2 (nothing keeps it right of x1).
Entry EnterTotalLength(const Inputs& in, long double typed); // x2 := x1 + v
Entry EnterTotalHeight(const Inputs& in, long double typed); // y2 := y1 + v
Entry EnterLeftLength(const Inputs& in, long double typed);  // X := x1 + v
Entry EnterRightLength(const Inputs& in, long double typed); // X := x2 - v
// y2 := y1 + (x2 - x1) * v / 100, or * tan(v degrees).
Entry EnterSlope(const Inputs& in, long double typed, bool percent);
// The X at which the line reaches the typed height, strictly between y1 and
// y2; a zero is a height like any other here.
Entry BackCalculate(const Inputs& in, long double typed);

} // namespace Interpolation
