// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// `tiraso --calc`: what a script gets, in-process and as the real program
// started without a display.

#include "cli/CommandLine.h"

#include "tests/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void wanted_data();
    void wanted();
    void results_data();
    void results();
    void badArguments_data();
    void badArguments();
    void json();
    void programRunsWithoutDisplay_data();
    void programRunsWithoutDisplay();
    void fileSizeLimitFailsTheWrite();
};

void tst_CommandLine::wanted_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("no arguments: the window") << QByteArrayList{} << false;
    QTest::newRow("window position: the window") << QByteArrayList{"10|20"} << false;
    QTest::newRow("--calc") << QByteArrayList{"--calc", "x1=0"} << true;
    QTest::newRow("--calc after a value") << QByteArrayList{"x1=0", "--calc"} << true;
    QTest::newRow("--help") << QByteArrayList{"--help"} << true;
    QTest::newRow("--version") << QByteArrayList{"--version"} << true;
    QTest::newRow("a value alone is no command") << QByteArrayList{"x1=0"} << false;
}

void tst_CommandLine::wanted()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(bool, wanted);
    QList<const char*> argv{"tiraso"};
    for (const QByteArray& argument : std::as_const(arguments))
        argv << argument.constData();
    QCOMPARE(CommandLine::Wanted(int(argv.size()), argv.constData()), wanted);
}

void tst_CommandLine::results_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines");
    const QStringList start{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"};
    QTest::newRow("start values") << start
                                  << QStringList{"Wert bei X\t0,330", "Höhe bei X\t0,330", "Gesamthöhe\t1,000",
                                                 "Gesamtlänge\t1,000", "Teillänge links\t0,330",
                                                 "Teillänge rechts\t0,670", "Neigung\t100,000%"};
    QTest::newRow("degrees, two decimals, any order")
        << QStringList{"x=0,33", "--degrees", "y2=1", "--calc", "x2=1", "--decimals", "2", "y1=0", "x1=0"}
        << QStringList{"Wert bei X\t0,33", "Höhe bei X\t0,33", "Gesamthöhe\t1,00", "Gesamtlänge\t1,00",
                       "Teillänge links\t0,33", "Teillänge rechts\t0,67", "Neigung\t45,00°"};
    QTest::newRow("formulas, either decimal point")
        << QStringList{"--calc", "x1=0", "y1=1000", "x2=2*2", "y2=1000.5+1000", "X=1,0", "--decimals=1"}
        << QStringList{"Wert bei X\t1.250,1", "Höhe bei X\t250,1", "Gesamthöhe\t1.000,5", "Gesamtlänge\t4,0",
                       "Teillänge links\t1,0", "Teillänge rechts\t3,0", "Neigung\t25.012,5%"};
    QTest::newRow("names in upper case; X at x2 gives y2")
        << QStringList{"--calc", "X1=0", "Y1=0", "X2=2.125", "Y2=1", "X=2.125"}
        << QStringList{"Wert bei X\t1,000", "Höhe bei X\t1,000", "Gesamthöhe\t1,000", "Gesamtlänge\t2,125",
                       "Teillänge links\t2,125", "Teillänge rechts\t0,000", "Neigung\t47,059%"};
    QTest::newRow("decimals out of range give two, as in the window")
        << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33", "--decimals", "-1"}
        << QStringList{"Wert bei X\t0,33", "Höhe bei X\t0,33", "Gesamthöhe\t1,00", "Gesamtlänge\t1,00",
                       "Teillänge links\t0,33", "Teillänge rechts\t0,67", "Neigung\t100,00%"};
}

void tst_CommandLine::results()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    const CommandLine::Outcome outcome = CommandLine::Run(arguments);
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(QString::fromUtf8(outcome.out), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void tst_CommandLine::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // the first line on standard error
    const QStringList four{"--calc", "y1=0", "x2=1", "y2=1", "x=0.33"};
    QTest::newRow("not a number") << (four + QStringList{"x1=abc"})
                                  << "tiraso: x1: „abc“ ist keine gültige Zahl oder Rechenformel";
    QTest::newRow("empty value") << (four + QStringList{"x1="})
                                 << "tiraso: x1: „“ ist keine gültige Zahl oder Rechenformel";
    QTest::newRow("overflow") << (four + QStringList{"x1=10^5000"})
                              << "tiraso: x1: „10^5000“ ist keine gültige Zahl oder Rechenformel";
    QTest::newRow("below the editors' minimum")
        << (four + QStringList{"x1=-2000000"})
        << "tiraso: x1: „-2000000“ ist kleiner als -1.000.000, der kleinste Wert des Programms";
    QTest::newRow("missing value") << four << "tiraso: es fehlt x1=…";
    QTest::newRow("given twice") << (four + QStringList{"x1=0", "x1=1"}) << "tiraso: x1 ist mehrfach angegeben";
    QTest::newRow("unknown") << (four + QStringList{"x1=0", "z=1"}) << "tiraso: unbekanntes Argument „z=1“";
    QTest::newRow("decimals not a number") << (four + QStringList{"x1=0", "--decimals", "drei"})
                                           << "tiraso: --decimals erwartet eine ganze Zahl, nicht „drei“";
    QTest::newRow("decimals without a number") << (four + QStringList{"x1=0", "--decimals"})
                                               << "tiraso: --decimals erwartet eine ganze Zahl";
    QTest::newRow("decimals given twice") << (four + QStringList{"x1=0", "--decimals", "2", "--decimals=3"})
                                          << "tiraso: --decimals ist mehrfach angegeben";
    QTest::newRow("no thousands separators") << (four + QStringList{"x1=1.234,5"})
                                             << "tiraso: x1: „1.234,5“ ist keine gültige Zahl oder Rechenformel";
    QTest::newRow("control characters escaped") << (four + QStringList{"x1=0", "\x1b]0;\a\x7f\u009b=1"})
                                                << "tiraso: unbekanntes Argument „\\x1b]0;\\x07\\x7f\\x9b=1“";
}

void tst_CommandLine::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CommandLine::Outcome outcome = CommandLine::Run(arguments);
    QCOMPARE(outcome.exitCode, 2);
    QCOMPARE(outcome.out, QByteArray());
    const QStringList err = QString::fromUtf8(outcome.err).split(QLatin1Char('\n'));
    QCOMPARE(err.value(0), message);
    QVERIFY(err.value(1).startsWith(QLatin1String("Aufruf: tiraso --calc")));
}

void tst_CommandLine::json()
{
    const CommandLine::Outcome outcome
        = CommandLine::Run({"--calc", "x1=2", "y1=10", "x2=6", "y2=2", "x=3", "--json", "--degrees"});
    QCOMPARE(outcome.exitCode, 0);
    // Full precision whatever the decimals; both slopes, whatever the mode.
    QCOMPARE(outcome.out, QByteArray("{\"inputs\":{\"x1\":2,\"y1\":10,\"x2\":6,\"y2\":2,\"x\":3},"
                                     "\"decimals\":3,\"percent\":false,\"layout\":\"falling\","
                                     "\"results\":{\"valueAtX\":8,\"heightAtX\":-2,\"totalHeight\":-8,"
                                     "\"totalLength\":4,\"leftLength\":1,\"rightLength\":3,\"slopePercent\":-200,"
                                     "\"slopeDegrees\":-63.43494882292201}}\n"));
}

void tst_CommandLine::programRunsWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out"); // contained in standard output
    QTest::addColumn<QByteArray>("err"); // contained in standard error
    QTest::newRow("results") << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"} << 0
                             << QByteArray("Teillänge rechts\t0,670\nNeigung\t100,000%\n") << QByteArray();
    QTest::newRow("json") << QStringList{"--calc", "x1=2", "y1=10", "x2=6", "y2=2", "x=3", "--json"} << 0
                          << QByteArray("\"valueAtX\":8,") << QByteArray();
    QTest::newRow("json: the decimals the texts have")
        << QStringList{"--calc", "x1=2", "y1=10", "x2=6", "y2=2", "x=3", "--json", "--decimals", "25"} << 0
        << QByteArray("\"decimals\":2,") << QByteArray();
    // The quotient 10^308 / 10^-6 is beyond the double range, the value is not.
    QTest::newRow("json: value at X beyond the quotient")
        << QStringList{"--calc", "x1=0", "y1=0", "x2=0,000001", "y2=10^308", "x=0,0000005", "--json"} << 0
        << QByteArray("\"valueAtX\":5e+307,") << QByteArray();
    QTest::newRow("bad value") << QStringList{"--calc", "x1=abc", "y1=0", "x2=1", "y2=1", "x=0.33"} << 2
                               << QByteArray() << QByteArray("x1: „abc“");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("Aufruf: tiraso --calc") << QByteArray();
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("tiraso 3.0\n") << QByteArray();
}

void tst_CommandLine::programRunsWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // A window-system plugin would fail here without a display, and any
    // plugin loaded at all would be reported on standard error.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TIRASO_BINARY), arguments);
    QVERIFY(program.waitForFinished(10000));
    const QByteArray stdOut = program.readAllStandardOutput();
    const QByteArray stdErr = program.readAllStandardError();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2(stdOut.contains(out), stdOut.constData());
    if (err.isEmpty())
        QCOMPARE(stdErr, QByteArray());
    else
        QVERIFY2(stdErr.contains(err), stdErr.constData());
}

void tst_CommandLine::fileSizeLimitFailsTheWrite()
{
#ifdef Q_OS_UNIX
    // Regression: under "ulimit -f 0" the program ended with SIGXFSZ.
    QTemporaryDir folder;
    QProcess program;
    program.setStandardOutputFile(folder.filePath(QStringLiteral("out")));
    program.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit none{0, 0};
        setrlimit(RLIMIT_FSIZE, &none);
    });
    program.start(QStringLiteral(TIRASO_BINARY), {"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1); // the output could not be written
#endif
}

TIRASO_TEST_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
