// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Tolerance comparisons and the start-up of the graphics helpers.

#include "TestSupport.h"

#include "drawing/kavriBasic.h"
#include "drawing/kavriGraphics.h"

#include <limits>

class tst_kavri : public QObject
{
    Q_OBJECT

private slots:
    void withinTolerance_data();
    void withinTolerance();
    void isNearZero_data();
    void isNearZero();
    void isNearZeroFloatWidensExactly();
    void startupKeepsTokenAndFormat();
};

void tst_kavri::withinTolerance_data()
{
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<double>("centre");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("expected");
    QTest::newRow("lower bound included") << 0.5 << 2.0 << 1.5 << true;
    QTest::newRow("upper bound included") << 0.5 << 2.0 << 2.5 << true;
    QTest::newRow("above") << 0.5 << 2.0 << 2.6 << false;
    QTest::newRow("below") << 0.5 << 2.0 << 1.4 << false;
    QTest::newRow("not a number") << 0.5 << 2.0 << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("infinite value") << 0.5 << 2.0 << std::numeric_limits<double>::infinity() << false;
}

void tst_kavri::withinTolerance()
{
    QFETCH(double, tolerance);
    QFETCH(double, centre);
    QFETCH(double, value);
    QFETCH(bool, expected);
    QCOMPARE(WithinTolerance(tolerance, centre, value), expected);
}

void tst_kavri::isNearZero_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("expected");
    QTest::newRow("zero") << 0.0 << true;
    QTest::newRow("negative zero") << -0.0 << true;
    QTest::newRow("1e-7") << 1e-7 << true;
    QTest::newRow("-1e-7") << -1e-7 << true;
    QTest::newRow("1.0000001e-7") << 1.0000001e-7 << false;
    QTest::newRow("-1.0000001e-7") << -1.0000001e-7 << false;
    QTest::newRow("5e-8") << 5e-8 << true;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false;
}

void tst_kavri::isNearZero()
{
    QFETCH(double, value);
    QFETCH(bool, expected);
    QCOMPARE(IsNearZero(value), expected);
}

void tst_kavri::isNearZeroFloatWidensExactly()
{
    // 1e-7 narrowed to float is a little above 1e-7 and so not near zero,
    // although the double 1e-7 is.
    QVERIFY(!IsNearZero(static_cast<float>(1e-7)));
    QVERIFY(IsNearZero(0.0f));
    QVERIFY(IsNearZero(static_cast<float>(9e-8)));
}

void tst_kavri::startupKeepsTokenAndFormat()
{
    QCOMPARE(kavriGraphicsToken(), 0u);
    kavriGraphicsStartup();
    QVERIFY(kavriGraphicsToken() != 0);
    const quint16 format = kavriClipboardFormat();
    QVERIFY(format >= 0xC000);
    kavriGraphicsStartup(); // a second start changes nothing
    QCOMPARE(kavriClipboardFormat(), format);
    kavriGraphicsShutdown();
    QCOMPARE(kavriGraphicsToken(), 0u);
}

TIRASO_TEST_MAIN(tst_kavri)
#include "tst_kavri.moc"
