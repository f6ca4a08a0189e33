// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The interpolation without a window: layout, results and their texts, and
// what each result-field entry does to the inputs.

#include "model/Interpolation.h"

#include "tests/ModelSupport.h"
#include "tests/TestSupport.h"

#include <QRandomGenerator>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

using Interpolation::Entry;
using Interpolation::Inputs;

namespace {

const Inputs Start{0, 1, 0.33, 0, 1};
constexpr double Max = std::numeric_limits<double>::max();

// The typed value as the calculator hands it over, wider than a double.
long double typedValue(const QString& text)
{
    return std::strtold(text.toLatin1().constData(), nullptr);
}

QStringList shown(const Interpolation::Captions& c)
{
    return {c.YErg, c.xH, c.Hges, c.LGes, c.LLi, c.LRe, c.Neig};
}

} // namespace

Q_DECLARE_METATYPE(Inputs)
Q_DECLARE_METATYPE(TLayoutState)
Q_DECLARE_METATYPE(Entry::Outcome)

class tst_Interpolation : public QObject
{
    Q_OBJECT

private slots:
    void recompute_data();
    void recompute();
    void overflowingSlopeShowsInfinity();
    void valueAtXBeyondTheWrittenOrder_data();
    void valueAtXBeyondTheWrittenOrder();
    void fallingFormIsTheSameNumber();
    void resultTextsAreNumbers();
    void entry_data();
    void entry();
    void backCalculation_data();
    void backCalculation();
    void backCalculationLandsOnTheLine();
};

void tst_Interpolation::recompute_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<TLayoutState>("layout");
    QTest::addColumn<QStringList>("texts"); // Y, H at X, total H, LGes, LLi, LRe, slope

    const auto row = [](const char* name, Inputs in, int decimals, bool percent, TLayoutState layout,
                        QStringList texts) { QTest::newRow(name) << in << decimals << percent << layout << texts; };
    row("rising, percent", Start, 3, true, lsRising,
        {"0,330", "H=0,330", "H=1,000", "1,000", "0,330", "0,670", "100,000%"});
    row("rising, degrees", Start, 3, false, lsRising,
        {"0,330", "H=0,330", "H=1,000", "1,000", "0,330", "0,670", "45,000°"});
    row("falling", {0, 1, 0.33, 1, 0}, 3, true, lsFalling,
        {"0,670", "H=-0,330", "H=-1,000", "1,000", "0,330", "0,670", "-100,000%"});
    row("level line", {0, 1, 0.33, 2, 2}, 3, false, lsLevel,
        {"2,000", "H=0,000", "H=0,000", "1,000", "0,330", "0,670", "0,000°"});
    row("X at x1", {0, 1, 0, 0, 1}, 3, true, lsLevel,
        {"0,000", "H=0,000", "H=1,000", "1,000", "0,000", "1,000", "100,000%"});
    row("X at x2 gives y2", {0, 1, 1, 0, 1}, 3, true, lsLevel,
        {"1,000", "H=1,000", "H=1,000", "1,000", "1,000", "0,000", "100,000%"});
    row("X left of the interval", {0, 1, -2, 0, 1}, 3, true, lsLevel,
        {"0,000", "H=0,000", "H=1,000", "1,000", "-2,000", "3,000", "100,000%"});
    row("reversed interval", {1, 0, 0.5, 0, 1}, 3, true, lsLevel,
        {"0,000", "H=0,000", "H=1,000", "-1,000", "-0,500", "-0,500", "-100,000%"});
    row("x1 = x2: no division", {1, 1, 1, 0, 1}, 3, true, lsLevel,
        {"0,000", "H=0,000", "H=1,000", "0,000", "0,000", "0,000", "0,000%"});
    row("interval within tolerance", {0, 5e-8, 2.5e-8, 0, 1}, 3, false, lsLevel,
        {"0,000", "H=0,000", "H=1,000", "0,000", "0,000", "0,000", "0,000°"});
    // 1e-7 itself is near zero as a double, though not once narrowed to float.
    row("interval of exactly 1e-7", {0, 1e-7, 5e-8, 0, 1}, 9, true, lsLevel,
        {"0,000000000", "H=0,000000000", "H=1,000000000", "0,000000100", "0,000000050", "0,000000050", "0,000000000%"});
    row("height within tolerance still rises", {0, 1, 0.33, 0, 5e-8}, 3, true, lsRising,
        {"0,000", "H=0,000", "H=0,000", "1,000", "0,330", "0,670", "0,000%"});
    row("grouped thousands", {0, 2000000, 1000000, 0, 1000}, 3, true, lsRising,
        {"500,000", "H=500,000", "H=1.000,000", "2.000.000,000", "1.000.000,000", "1.000.000,000", "0,050%"});
    row("no decimals", Start, 0, true, lsRising, {"0", "H=0", "H=1", "1", "0", "1", "100%"});
    row("decimals beyond 18 give two", Start, 19, true, lsRising,
        {"0,33", "H=0,33", "H=1,00", "1,00", "0,33", "0,67", "100,00%"});
    row("steep slope in degrees", {0, 1, 0.5, 0, -1000}, 3, false, lsFalling,
        {"-500,000", "H=-500,000", "H=-1.000,000", "1,000", "0,500", "0,500", "-89,943°"});
}

void tst_Interpolation::recompute()
{
    QFETCH(Inputs, in);
    QFETCH(int, decimals);
    QFETCH(bool, percent);
    QFETCH(TLayoutState, layout);
    QFETCH(QStringList, texts);
    const Interpolation::Recomputation r = Interpolation::Recompute(in, decimals, percent);
    QCOMPARE(r.results.Layout, layout);
    QCOMPARE(Interpolation::ChooseLayout(in), layout);
    QCOMPARE(shown(r.captions), texts);
}

void tst_Interpolation::overflowingSlopeShowsInfinity()
{
    // (y2 - y1) / (x2 - x1) beyond the double range: the slope becomes
    // infinite and is shown as such, nothing fails; the value at X does not.
    const Inputs in{0, 1e-6, 5e-7, 0, 1e303};
    const Interpolation::Recomputation percent = Interpolation::Recompute(in, 3, true);
    QCOMPARE(percent.results.Layout, lsRising);
    QCOMPARE(percent.results.Y, 5e302);
    QCOMPARE(percent.captions.Neig, QStringLiteral("∞%"));
    QCOMPARE(Interpolation::Recompute(in, 3, false).captions.Neig, QStringLiteral("90,000°"));
    const Inputs falling{0, 1e-6, 5e-7, 0, -1e303};
    QCOMPARE(Interpolation::Recompute(falling, 3, true).results.Y, -5e302);
}

void tst_Interpolation::valueAtXBeyondTheWrittenOrder_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<double>("Y");
    QTest::addColumn<double>("percent");
    constexpr double Inf = std::numeric_limits<double>::infinity();
    // clang-format off
    QTest::newRow("quotient overflows")       << Inputs{0, 1e-6, 5e-7, 0, 1e308}     << 5e307     << Inf;
    QTest::newRow("quotient underflows")      << Inputs{0, 1e300, 5e299, 0, 3e-300} << 1.5e-300  << 0.0;
    QTest::newRow("both quotients underflow") << Inputs{0, 1e308, 2, 0, 2}          << 4 / 1e308 << 200 / 1e308;
    QTest::newRow("height overflows")         << Inputs{0, 2, 1, -Max, Max}         << 0.0       << Inf;
    QTest::newRow("length overflows")         << Inputs{-Max, Max, 0, 0, 2}         << 1.0       << 0.0;
    // clang-format on
}

void tst_Interpolation::valueAtXBeyondTheWrittenOrder()
{
    // The value at X lies between y1 and y2, so it is a double even where
    // (y2 - y1) / (x2 - x1) is none; ordinary inputs keep the written order
    // bit for bit (fallingFormIsTheSameNumber).
    QFETCH(Inputs, in);
    QFETCH(double, Y);
    QFETCH(double, percent);
    const Interpolation::Results r = Interpolation::Compute(in);
    QVERIFY(r.Layout != lsLevel);
    QCOMPARE(r.Y, Y);
    QCOMPARE(r.SlopePercent, percent);
}

void tst_Interpolation::fallingFormIsTheSameNumber()
{
    // The falling line is computed with the rising form; it must be the very
    // number y1 - (y1 - y2) / (x2 - x1) * (X - x1) gives.
    QRandomGenerator random(17);
    for (int i = 0; i < 10000; ++i) {
        const double x1 = random.bounded(2000.0) - 1000;
        const double x2 = x1 + random.bounded(1000.0) + 1;
        const double X = x1 + random.bounded(x2 - x1);
        const double y1 = random.bounded(1e6) - 5e5;
        const double y2 = y1 - random.bounded(1e3) - 1e-3;
        const Interpolation::Results r = Interpolation::Compute({x1, x2, X, y1, y2});
        if (r.Layout != lsFalling)
            continue;
        const double expected = y1 - (y1 - y2) / (x2 - x1) * (X - x1);
        QVERIFY2(std::bit_cast<quint64>(r.Y) == std::bit_cast<quint64>(expected), qPrintable(QString::number(i)));
    }
}

void tst_Interpolation::resultTextsAreNumbers()
{
    // The heights lose their "H=" and nothing else: a minus sign stays.
    const QList<Interpolation::NamedText> rows
        = Interpolation::ResultTexts(Interpolation::Recompute({0, 1, 0.33, 1, 0}, 3, false).captions);
    QStringList names;
    QStringList texts;
    for (const Interpolation::NamedText& row : rows) {
        names << row.name;
        texts << row.text;
    }
    QCOMPARE(names,
             (QStringList{"Wert bei X", "Höhe bei X", "Gesamthöhe", "Gesamtlänge", "Teillänge links",
                          "Teillänge rechts", "Neigung"}));
    QCOMPARE(texts, (QStringList{"0,670", "-0,330", "-1,000", "1,000", "0,330", "0,670", "-45,000°"}));
}

void tst_Interpolation::entry_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Entry::Outcome>("outcome");
    QTest::addColumn<Inputs>("expected");

    const auto row = [](const char* name, const char* field, Inputs in, const char* typed, Entry::Outcome outcome,
                        Inputs expected = {}) {
        QTest::newRow(name) << QString::fromLatin1(field) << in << QString::fromLatin1(typed) << outcome << expected;
    };
    row("total length 2", "LGes", Start, "2", Entry::Changed, {0, 2, 0.33, 0, 1});
    row("total length 0.2 pulls X", "LGes", Start, "0.2", Entry::Changed, {0, 0.2, 0.2, 0, 1});
    // The editors raise what is written below their minimum; X then follows
    // the raised x2, not the value that was computed.
    row("total length below the minimum", "LGes", Start, "-2000000", Entry::Changed, {0, -1e6, -1e6, 0, 1});
    row("total length within 1e-7 is ignored", "LGes", Start, "1e-7", Entry::NearZero);
    row("total length just beyond 1e-7", "LGes", Start, "1.0000001e-7", Entry::Changed,
        {0, 1.0000001e-7, 1.0000001e-7, 0, 1});
    row("total length overflows", "LGes", {Max, Max, 0.33, 0, 1}, "1e308", Entry::Failure);
    row("typed beyond the double range", "LGes", Start, "1e309", Entry::Failure);
    row("total height 3", "Hges", Start, "3", Entry::Changed, {0, 1, 0.33, 0, 3});
    row("total height 0 is ignored", "Hges", Start, "0", Entry::NearZero);
    row("total height from y1", "Hges", {0, 1, 0.33, 2, 5}, "-1", Entry::Changed, {0, 1, 0.33, 2, 1});
    row("total height below the minimum", "Hges", Start, "-3000000", Entry::Changed, {0, 1, 0.33, 0, -1e6});
    row("left part 5 stops at x2", "LLi", Start, "5", Entry::Changed, {0, 1, 1, 0, 1});
    row("left part -1 leaves the interval", "LLi", Start, "-1", Entry::Changed, {0, 1, -1, 0, 1});
    row("left part below the minimum", "LLi", Start, "-5000000", Entry::Changed, {0, 1, -1e6, 0, 1});
    row("right length 0.25", "LRe", Start, "0.25", Entry::Changed, {0, 1, 0.75, 0, 1});
    row("right part -1 stops at x2", "LRe", Start, "-1", Entry::Changed, {0, 1, 1, 0, 1});
    row("right part overflows", "LRe", {0, -Max, -Max, 0, 1}, "1e308", Entry::Failure);
    row("slope 50 %", "Neig%", Start, "50", Entry::Changed, {0, 1, 0.33, 0, 0.5});
    row("slope 12.5 % on a longer line", "Neig%", {2, 6, 3, 1, 2}, "12.5", Entry::Changed, {2, 6, 3, 1, 1.5});
    // The tangent in extended precision: in double precision 45 degrees gave
    // y2 = 0.9999999999999999 and 89 degrees missed by dozens of units.
    row("slope 45 degrees", "Neig°", Start, "45", Entry::Changed, {0, 1, 0.33, 0, 1});
    row("slope 60 degrees", "Neig°", Start, "60", Entry::Changed, {0, 1, 0.33, 0, 1.7320508075688772});
    row("slope 89 degrees", "Neig°", Start, "89", Entry::Changed, {0, 1, 0.33, 0, 57.28996163075942});
    row("slope on no interval keeps y2 at y1", "Neig%", {1, 1, 1, 0, 1}, "50", Entry::Changed, {1, 1, 1, 0, 0});
    row("slope 0 is ignored", "Neig°", Start, "0", Entry::NearZero);
    row("slope overflows", "Neig%", {-1e6, Max, 0.33, 0, 1}, "1e300", Entry::Failure);
    row("slope in degrees overflows", "Neig°", {-1e6, Max, 0.33, 0, 1}, "60", Entry::Failure);
}

void tst_Interpolation::entry()
{
    QFETCH(QString, field);
    QFETCH(Inputs, in);
    QFETCH(QString, typed);
    QFETCH(Entry::Outcome, outcome);
    QFETCH(Inputs, expected);
    const long double v = typedValue(typed);
    Entry entry;
    if (field == u"LGes")
        entry = Interpolation::EnterTotalLength(in, v);
    else if (field == u"Hges")
        entry = Interpolation::EnterTotalHeight(in, v);
    else if (field == u"LLi")
        entry = Interpolation::EnterLeftLength(in, v);
    else if (field == u"LRe")
        entry = Interpolation::EnterRightLength(in, v);
    else
        entry = Interpolation::EnterSlope(in, v, field == u"Neig%");
    QCOMPARE(entry.outcome, outcome);
    if (outcome == Entry::Changed)
        QVERIFY2(Interpolation::SameInputs(entry.inputs, expected), QTest::toString(entry.inputs));
}

void tst_Interpolation::backCalculation_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Entry::Outcome>("outcome");
    QTest::addColumn<double>("X");

    QTest::newRow("0.25 on the rising line") << Start << "0.25" << Entry::Changed << 0.25;
    QTest::newRow("y2 itself is extrapolation") << Start << "1" << Entry::Extrapolation << 0.0;
    QTest::newRow("y1 itself is extrapolation") << Start << "0" << Entry::Extrapolation << 0.0;
    QTest::newRow("falling line") << Inputs{0, 1, 0.33, 2, 0} << "1" << Entry::Changed << 0.5;
    QTest::newRow("falling, above y1") << Inputs{0, 1, 0.33, 2, 0} << "3" << Entry::Extrapolation << 0.0;
    QTest::newRow("wider interval, rising") << Inputs{2, 6, 3, 10, 20} << "15" << Entry::Changed << 4.0;
    QTest::newRow("wider interval, falling") << Inputs{2, 6, 3, 20, 10} << "12" << Entry::Changed << 5.2;
    QTest::newRow("level line does nothing") << Inputs{0, 1, 0.33, 1, 1} << "1" << Entry::LevelLine << 0.0;
    QTest::newRow("level line: no extrapolation message") << Inputs{0, 1, 0.33, 1, 1} << "5" << Entry::LevelLine << 0.0;
    QTest::newRow("x1 = x2 fails inside") << Inputs{1, 1, 1, 0, 1} << "0.5" << Entry::Failure << 0.0;
    QTest::newRow("x1 = x2 still refuses outside") << Inputs{1, 1, 1, 0, 1} << "2" << Entry::Extrapolation << 0.0;
    // The distance is walked from x1 whatever side x2 lies on.
    QTest::newRow("reversed interval") << Inputs{1, 0, 0.5, 0, 1} << "0.25" << Entry::Changed << 1.25;
    QTest::newRow("beyond the double range") << Start << "1e309" << Entry::Failure << 0.0;
    // H / L underflows to 0: the division by the slope fails.
    QTest::newRow("slope too small for a double")
        << Inputs{0, 1e300, 1, 0, 1e-300} << "5e-301" << Entry::Failure << 0.0;
    QTest::newRow("height overflows") << Inputs{0, 1, 0.33, -Max, Max} << "0" << Entry::Failure << 0.0;
}

void tst_Interpolation::backCalculation()
{
    QFETCH(Inputs, in);
    QFETCH(QString, typed);
    QFETCH(Entry::Outcome, outcome);
    QFETCH(double, X);
    const Entry entry = Interpolation::BackCalculate(in, typedValue(typed));
    QCOMPARE(entry.outcome, outcome);
    if (outcome != Entry::Changed)
        return;
    Inputs expected = in;
    expected.X = X;
    QCOMPARE(entry.inputs, expected);
}

void tst_Interpolation::backCalculationLandsOnTheLine()
{
    // For x1 < x2 the position found is where the line has the typed height,
    // in both directions: the recomputed value at X gives the height back.
    QRandomGenerator random(18);
    for (int i = 0; i < 10000; ++i) {
        const double x1 = random.bounded(2000.0) - 1000;
        const double x2 = x1 + random.bounded(1000.0) + 0.5;
        const double y1 = random.bounded(2000.0) - 1000;
        const double y2 = y1 + (random.bounded(2) ? 1 : -1) * (random.bounded(1000.0) + 0.5);
        const double target = y1 + (y2 - y1) * (0.01 + random.bounded(0.98));
        const Inputs in{x1, x2, x1, y1, y2};
        const Entry entry = Interpolation::BackCalculate(in, target);
        QCOMPARE(entry.outcome, Entry::Changed);
        const double Y = Interpolation::Compute(entry.inputs).Y;
        QVERIFY2(std::abs(Y - target) <= 1e-9 * std::abs(y2 - y1),
                 qPrintable(QStringLiteral("%1: %2 instead of %3").arg(i).arg(Y, 0, 'g', 17).arg(target, 0, 'g', 17)));
    }
}

TIRASO_TEST_MAIN(tst_Interpolation)
#include "tst_Interpolation.moc"
