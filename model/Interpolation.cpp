// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "model/Interpolation.h"

#include "calc/NumberFormat.h"
#include "drawing/kavriBasic.h"

#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace Interpolation {

namespace {

// An intermediate result that is not finite fails the entry instead of
// reaching an input; every step below is checked this way.
std::optional<double> finite(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> quotient(double dividend, double divisor)
{
    if (divisor == 0.0)
        return std::nullopt;
    return finite(dividend / divisor);
}

// The calculator's range is far wider than a double's; a typed value beyond
// it is a failure, not an infinity.
std::optional<double> narrowed(long double value)
{
    if (!(std::fabs(value) <= static_cast<long double>(std::numeric_limits<double>::max())))
        return std::nullopt;
    return static_cast<double>(value);
}

Entry failed(Entry::Outcome outcome = Entry::Failure)
{
    return {outcome, {}};
}

// One input takes a computed value, bounded as the editors bound it; an
// intermediate result that was not finite fails the entry instead.
Entry withInput(const Inputs& in, double Inputs::*input, std::optional<double> value)
{
    if (!value)
        return failed();
    Inputs out = in;
    out.*input = Bounded(*value);
    return {Entry::Changed, out};
}

// The length entries move X or x2, then X never ends up right of x2 (as the
// inputs are held after the first change).
Entry keepingXLeftOfX2(Entry entry)
{
    if (entry.outcome == Entry::Changed && entry.inputs.x2 < entry.inputs.X)
        entry.inputs.X = entry.inputs.x2;
    return entry;
}

// The five entries other than the back-calculation share these steps: the
// typed value, refused near zero (a zero length, height or slope cannot be
// entered), then the one input it changes.
template<typename Apply>
Entry enter(long double typed, Apply apply)
{
    const std::optional<double> v = narrowed(typed);
    if (!v)
        return failed();
    if (IsNearZero(*v))
        return failed(Entry::NearZero);
    return apply(*v);
}

// The steps of one order of operations, noting whether any of them left the
// range of normal doubles: an overflow, or a product or quotient of non-zero
// operands that lost digits below it (sums and differences stay exact there).
class Steps
{
public:
    bool clean() const { return m_clean; }
    double minus(double a, double b) { return checked(a - b, false); }
    double plus(double a, double b) { return checked(a + b, false); }
    double times(double a, double b) { return checked(a * b, a != 0 && b != 0); }
    double over(double a, double b) { return checked(a / b, a != 0); }

private:
    double checked(double result, bool mayUnderflow)
    {
        if (!std::isfinite(result) || (mayUnderflow && std::fabs(result) < std::numeric_limits<double>::min()))
            m_clean = false;
        return result;
    }
    bool m_clean = true;
};

// y1 + (y2 - y1) / (x2 - x1) * (X - x1) for x1 < X < x2, in that order to the
// last bit wherever that order stays in range. Where its quotient overflows
// (a great height over a tiny length) or underflows, the value lies between
// y1 and y2 all the same: it is then taken from the first other order that
// stays in range. Where none does, the written order's result stands. The
// same orders extrapolate beyond the interval (LineValue).
double valueInside(const Inputs& in)
{
    using Order = double (*)(const Inputs&, Steps&);
    const Order written = [](const Inputs& in, Steps& s) {
        return s.plus(in.y1, s.times(s.over(s.minus(in.y2, in.y1), s.minus(in.x2, in.x1)), s.minus(in.X, in.x1)));
    };
    const Order others[] = {
        [](const Inputs& in, Steps& s) {
            return s.plus(in.y1, s.times(s.minus(in.y2, in.y1), s.over(s.minus(in.X, in.x1), s.minus(in.x2, in.x1))));
        },
        [](const Inputs& in, Steps& s) {
            return s.plus(in.y1, s.over(s.times(s.minus(in.y2, in.y1), s.minus(in.X, in.x1)), s.minus(in.x2, in.x1)));
        },
        // Differences beyond the range (ends near -max and +max): all halved,
        // which is exact at that size.
        [](const Inputs& in, Steps& s) {
            const auto half = [&s](double v) { return s.times(v, 0.5); };
            const double fraction = s.over(s.minus(half(in.X), half(in.x1)), s.minus(half(in.x2), half(in.x1)));
            return s.times(2, s.plus(half(in.y1), s.times(s.minus(half(in.y2), half(in.y1)), fraction)));
        },
    };

    Steps steps;
    const double asWritten = written(in, steps);
    if (steps.clean())
        return asWritten;
    for (const Order order : others) {
        steps = {};
        const double value = order(in, steps);
        if (steps.clean())
            return value;
    }
    return asWritten;
}

// No extrapolation: outside the open interval, on a level line and on a
// degenerate interval the value at X is y1; at x2, the second support point,
// it is y2 (unless x2 is x1 too). For a falling line this is
// y1 - (y1 - y2) / (x2 - x1) * (X - x1) to the last bit: each step of that
// form is the exact negation of the same step here.
double valueAt(const Inputs& in, TLayoutState layout)
{
    if (layout != lsLevel)
        return valueInside(in);
    if (in.X == in.x2 && in.X != in.x1)
        return in.y2;
    return in.y1;
}

// What the heights' captions begin with.
constexpr char HeightPrefix[] = "H=";
// What the slope's captions end with, by mode.
constexpr QChar PercentSign = u'%';
constexpr QChar DegreeSign = u'\u00B0';

QString numberText(int decimals, long double value)
{
    return NumberFormat::FormatN(decimals, value);
}

} // namespace

bool SameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

bool SameInputs(const Inputs& a, const Inputs& b)
{
    return SameBits(a.x1, b.x1) && SameBits(a.x2, b.x2) && SameBits(a.X, b.X) && SameBits(a.y1, b.y1)
        && SameBits(a.y2, b.y2);
}

double Bounded(double value)
{
    // Written this way round so that not-a-number falls to the minimum too.
    return value >= InputMinimum ? value : InputMinimum;
}

TLayoutState ChooseLayout(const Inputs& in)
{
    TLayoutState direction = lsLevel;
    if (in.y2 > in.y1)
        direction = lsRising;
    if (in.y2 < in.y1)
        direction = lsFalling;

    double width = 0;
    if (in.x2 > in.x1)
        width = in.x2 - in.x1;
    else if (in.x2 < in.x1)
        width = in.x1 - in.x2;
    // An interval too narrow for single precision counts as none.
    if (IsNearZero(static_cast<float>(in.x2 - in.x1)))
        width = 0;
    if (IsNearZero(width))
        return lsLevel;
    if (in.x1 >= in.X)
        return lsLevel;
    return in.x2 > in.X ? direction : lsLevel;
}

Results Compute(const Inputs& in)
{
    Results r;
    r.Layout = ChooseLayout(in);
    r.LGes = in.x2 - in.x1;
    r.LLi = in.X - in.x1;
    r.LRe = r.LGes - r.LLi;
    r.Hges = in.y2 - in.y1;

    r.Y = valueAt(in, r.Layout);
    r.HX = r.Y - in.y1;

    // The slope of the whole line, whatever the layout; no division when
    // either difference is within the tolerance.
    if (!IsNearZero(r.LGes) && !IsNearZero(r.Hges)) {
        const double ratio = r.Hges / r.LGes;
        // A ratio below the normal range has lost digits the percentage keeps.
        r.SlopePercent = std::fabs(ratio) < std::numeric_limits<double>::min() ? r.Hges * 100 / r.LGes : ratio * 100;
        r.SlopeDegrees = std::atan(static_cast<long double>(ratio)) * (180.0L / std::numbers::pi_v<long double>);
    }
    return r;
}

double ValueAtX(const Inputs& in)
{
    return valueAt(in, ChooseLayout(in));
}

double LineValue(const Inputs& in)
{
    return valueInside(in);
}

Captions Format(const Results& results, int decimals, bool percent)
{
    const QString height = QLatin1String(HeightPrefix);
    Captions c;
    c.LLi = numberText(decimals, results.LLi);
    c.LRe = numberText(decimals, results.LRe);
    c.LGes = numberText(decimals, results.LGes);
    c.xH = height + numberText(decimals, results.HX);
    c.Hges = height + numberText(decimals, results.Hges);
    c.YErg = numberText(decimals, results.Y);
    c.Neig = percent ? numberText(decimals, results.SlopePercent) + PercentSign
                     : numberText(decimals, results.SlopeDegrees) + DegreeSign;
    return c;
}

QString HeightNumber(const QString& caption)
{
    const QLatin1String prefix(HeightPrefix);
    return caption.startsWith(prefix) ? caption.mid(prefix.size()) : caption;
}

QString SlopeNumber(const QString& caption)
{
    return caption.endsWith(PercentSign) || caption.endsWith(DegreeSign) ? caption.chopped(1) : caption;
}

QList<NamedText> ResultTexts(const Captions& captions)
{
    return {
        {QStringLiteral("Wert bei X"), captions.YErg},
        {QStringLiteral("Höhe bei X"), HeightNumber(captions.xH)},
        {QStringLiteral("Gesamthöhe"), HeightNumber(captions.Hges)},
        {QStringLiteral("Gesamtlänge"), captions.LGes},
        {QStringLiteral("Teillänge links"), captions.LLi},
        {QStringLiteral("Teillänge rechts"), captions.LRe},
        {QStringLiteral("Neigung"), captions.Neig},
    };
}

Recomputation Recompute(const Inputs& in, int decimals, bool percent)
{
    Recomputation r;
    r.results = Compute(in);
    r.captions = Format(r.results, decimals, percent);
    return r;
}

Entry EnterTotalLength(const Inputs& in, long double typed)
{
    return enter(typed, [&](double v) { return keepingXLeftOfX2(withInput(in, &Inputs::x2, finite(in.x1 + v))); });
}

Entry EnterTotalHeight(const Inputs& in, long double typed)
{
    return enter(typed, [&](double v) { return withInput(in, &Inputs::y2, finite(in.y1 + v)); });
}

Entry EnterLeftLength(const Inputs& in, long double typed)
{
    return enter(typed, [&](double v) { return keepingXLeftOfX2(withInput(in, &Inputs::X, finite(in.x1 + v))); });
}

Entry EnterRightLength(const Inputs& in, long double typed)
{
    return enter(typed, [&](double v) { return keepingXLeftOfX2(withInput(in, &Inputs::X, finite(in.x2 - v))); });
}

Entry EnterSlope(const Inputs& in, long double typed, bool percent)
{
    return enter(typed, [&](double v) {
        const std::optional<double> length = finite(in.x2 - in.x1);
        if (!length)
            return failed();
        std::optional<double> y2;
        if (percent) {
            if (const std::optional<double> rise = finite(*length * (v / 100)))
                y2 = finite(in.y1 + *rise);
        } else {
            // In extended precision, so that 45 degrees rise by exactly the
            // length: the double tangent of the double pi/4 is 0.9999999999999999.
            const long double rise = std::tan(static_cast<long double>(v) * (std::numbers::pi_v<long double> / 180));
            y2 = narrowed(static_cast<long double>(in.y1) + static_cast<long double>(*length) * rise);
        }
        return withInput(in, &Inputs::y2, y2);
    });
}

Entry BackCalculate(const Inputs& in, long double typed)
{
    const std::optional<double> target = narrowed(typed);
    const std::optional<double> length = finite(in.x2 - in.x1);
    const std::optional<double> height = finite(in.y2 - in.y1);
    if (!target || !length || !height)
        return failed();
    if (in.y1 == in.y2)
        return failed(Entry::LevelLine);

    // One rule for both directions: the distance from the lower end of the
    // line, walked from that end's x towards the higher end. The ends
    // themselves are refused: the window does not extrapolate.
    const bool rising = in.y2 > in.y1;
    const double lowY = rising ? in.y1 : in.y2;
    const double highY = rising ? in.y2 : in.y1;
    if (*target <= lowY || *target >= highY)
        return failed(Entry::Extrapolation);

    const double L = std::abs(*length);
    const std::optional<double> slope = quotient(std::abs(*height), L);
    if (!slope)
        return failed();
    const std::optional<double> rise = finite(*target - lowY);
    const std::optional<double> distance = rise ? quotient(*rise, *slope) : std::nullopt;
    if (!distance)
        return failed();
    const std::optional<double> lowX = rising ? std::optional<double>(in.x1) : finite(in.x1 + L);
    if (!lowX)
        return failed();
    return withInput(in, &Inputs::X, finite(rising ? *lowX + std::abs(*distance) : *lowX - std::abs(*distance)));
}

} // namespace Interpolation
