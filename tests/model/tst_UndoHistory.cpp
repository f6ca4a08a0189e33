// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's undo history without the window: steps, runs that merge,
// and how far back it reaches.

#include "model/UndoHistory.h"

#include "tests/TestSupport.h"

using Interpolation::UndoHistory;
using Interpolation::WindowState;

namespace {

// A state told apart by x2 alone.
WindowState at(double x2)
{
    WindowState state;
    state.inputs = Interpolation::StartInputs;
    state.inputs.x2 = x2;
    return state;
}

double x2Of(const std::optional<WindowState>& state)
{
    return state ? state->inputs.x2 : -1;
}

} // namespace

class tst_UndoHistory : public QObject
{
    Q_OBJECT

private slots:
    void walksBackAndForth();
    void aChangeDropsTheRedo();
    void runsMerge_data();
    void runsMerge();
    void aRunBackToItsStartIsNoStep();
    void noChangeIsNoStep_data();
    void noChangeIsNoStep();
    void keepsTheNewestSteps();
};

void tst_UndoHistory::walksBackAndForth()
{
    UndoHistory history;
    QVERIFY(!history.CanUndo());
    QCOMPARE(x2Of(history.Undo(at(1))), -1.0);
    history.Record(at(1), at(2), 0, 0);
    history.Record(at(2), at(3), 0, 10);
    QCOMPARE(x2Of(history.Undo(at(3))), 2.0);
    QCOMPARE(x2Of(history.Undo(at(2))), 1.0);
    QVERIFY(!history.CanUndo());
    QCOMPARE(history.RedoSteps(), 2);
    QCOMPARE(x2Of(history.Redo(at(1))), 2.0);
    QCOMPARE(x2Of(history.Redo(at(2))), 3.0);
    QVERIFY(!history.CanRedo());
    QCOMPARE(history.UndoSteps(), 2);
}

void tst_UndoHistory::aChangeDropsTheRedo()
{
    UndoHistory history;
    history.Record(at(1), at(2), 0, 0);
    (void)history.Undo(at(2));
    history.Record(at(1), at(5), 0, 10);
    QVERIFY(!history.CanRedo());
    QCOMPARE(x2Of(history.Undo(at(5))), 1.0);
}

void tst_UndoHistory::runsMerge_data()
{
    QTest::addColumn<quintptr>("first");
    QTest::addColumn<quintptr>("second");
    QTest::addColumn<qint64>("pauseMs");
    QTest::addColumn<bool>("undoBetween");
    QTest::addColumn<int>("steps");
    QTest::newRow("one run") << quintptr(7) << quintptr(7) << qint64(100) << false << 1;
    QTest::newRow("at the end of the pause") << quintptr(7) << quintptr(7) << UndoHistory::MergeMs << false << 1;
    QTest::newRow("after the pause") << quintptr(7) << quintptr(7) << UndoHistory::MergeMs + 1 << false << 2;
    QTest::newRow("another run") << quintptr(7) << quintptr(8) << qint64(0) << false << 2;
    QTest::newRow("no run at all") << quintptr(0) << quintptr(0) << qint64(0) << false << 2;
    QTest::newRow("an undo ends the run") << quintptr(7) << quintptr(7) << qint64(0) << true << 2;
}

void tst_UndoHistory::runsMerge()
{
    QFETCH(quintptr, first);
    QFETCH(quintptr, second);
    QFETCH(qint64, pauseMs);
    QFETCH(bool, undoBetween);
    QFETCH(int, steps);
    UndoHistory history;
    history.Record(at(0), at(1), 0, 0); // an earlier step the run must not swallow
    history.Record(at(1), at(2), first, 1000);
    if (undoBetween) {
        (void)history.Undo(at(2));
        (void)history.Redo(at(1));
    }
    history.Record(at(2), at(3), second, 1000 + pauseMs);
    QCOMPARE(history.UndoSteps(), 1 + steps);
    // However it merged, undo walks back through the states before each step.
    QCOMPARE(x2Of(history.Undo(at(3))), steps == 1 ? 1.0 : 2.0);
}

void tst_UndoHistory::aRunBackToItsStartIsNoStep()
{
    UndoHistory history;
    history.Record(at(1), at(2), 7, 0);
    history.Record(at(2), at(1), 7, 50);
    QVERIFY(!history.CanUndo());
    // The next notch starts a new step.
    history.Record(at(1), at(3), 7, 100);
    QCOMPARE(x2Of(history.Undo(at(3))), 1.0);
}

void tst_UndoHistory::noChangeIsNoStep_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("after");
    QTest::addColumn<bool>("step");
    QTest::newRow("same value") << 1.0 << 1.0 << false;
    QTest::newRow("below the shown decimals") << 1.0 << 1.0000001 << true;
    QTest::newRow("zero and minus zero differ") << 0.0 << -0.0 << true;
}

void tst_UndoHistory::noChangeIsNoStep()
{
    QFETCH(double, before);
    QFETCH(double, after);
    QFETCH(bool, step);
    UndoHistory history;
    history.Record(at(before), at(after), 0, 0);
    QCOMPARE(history.CanUndo(), step);

    WindowState decimals = at(before);
    decimals.Decimals = 5;
    history.Record(at(before), decimals, 0, 0);
    QCOMPARE(history.UndoSteps(), step ? 2 : 1);
}

void tst_UndoHistory::keepsTheNewestSteps()
{
    UndoHistory history;
    const int changes = UndoHistory::Capacity + 50;
    for (int i = 0; i < changes; ++i)
        history.Record(at(i), at(i + 1), 0, i * 1000);
    QCOMPARE(history.UndoSteps(), UndoHistory::Capacity);
    QVERIFY(UndoHistory::Capacity >= 100);
    double x2 = changes;
    while (const std::optional<WindowState> back = history.Undo(at(x2)))
        x2 = back->inputs.x2;
    QCOMPARE(x2, double(changes - UndoHistory::Capacity));
}

TIRASO_TEST_MAIN(tst_UndoHistory)
#include "tst_UndoHistory.moc"
