// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// `tiraso --calc`: what a script gets, in-process and as the real program
// started without a display.

#include "cli/CommandLine.h"

#include "tests/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>

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
    void singleValues_data();
    void singleValues();
    void batch_data();
    void batch();
    void printedValuesSolveBackToX();
    void programRunsWithoutDisplay_data();
    void programRunsWithoutDisplay();
    void fileSizeLimitFailsTheWrite();
    void programAnswersStandardInput();
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
    QTest::newRow("start values") << start << QStringList{"Wert bei X\t0,330",      "Höhe bei X\t0,330",
                                                          "Gesamthöhe\t1,000",      "Gesamtlänge\t1,000",
                                                          "Teillänge links\t0,330", "Teillänge rechts\t0,670",
                                                          "Neigung\t100,000%"};
    QTest::newRow("degrees, two decimals, any order")
        << QStringList{"x=0,33", "--degrees", "y2=1", "--calc", "x2=1", "--decimals", "2", "y1=0", "x1=0"}
        << QStringList{"Wert bei X\t0,33",      "Höhe bei X\t0,33",       "Gesamthöhe\t1,00", "Gesamtlänge\t1,00",
                       "Teillänge links\t0,33", "Teillänge rechts\t0,67", "Neigung\t45,00°"};
    QTest::newRow("formulas, either decimal point")
        << QStringList{"--calc", "x1=0", "y1=1000", "x2=2*2", "y2=1000.5+1000", "X=1,0", "--decimals=1"}
        << QStringList{"Wert bei X\t1.250,1",  "Höhe bei X\t250,1",     "Gesamthöhe\t1.000,5", "Gesamtlänge\t4,0",
                       "Teillänge links\t1,0", "Teillänge rechts\t3,0", "Neigung\t25.012,5%"};
    QTest::newRow("names in upper case; X at x2 gives y2")
        << QStringList{"--calc", "X1=0", "Y1=0", "X2=2.125", "Y2=1", "X=2.125"}
        << QStringList{"Wert bei X\t1,000",      "Höhe bei X\t1,000",       "Gesamthöhe\t1,000", "Gesamtlänge\t2,125",
                       "Teillänge links\t2,125", "Teillänge rechts\t0,000", "Neigung\t47,059%"};
    QTest::newRow("decimals out of range give two, as in the window")
        << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33", "--decimals", "-1"}
        << QStringList{"Wert bei X\t0,33",      "Höhe bei X\t0,33",       "Gesamthöhe\t1,00", "Gesamtlänge\t1,00",
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
    QTest::newRow("decimals without a number")
        << (four + QStringList{"x1=0", "--decimals"}) << "tiraso: --decimals erwartet eine ganze Zahl";
    QTest::newRow("decimals given twice") << (four + QStringList{"x1=0", "--decimals", "2", "--decimals=3"})
                                          << "tiraso: --decimals ist mehrfach angegeben";
    QTest::newRow("no thousands separators")
        << (four + QStringList{"x1=1.234,5"}) << "tiraso: x1: „1.234,5“ ist keine gültige Zahl oder Rechenformel";
    QTest::newRow("x and y together") << (four + QStringList{"x1=0", "y=1"})
                                      << "tiraso: x= und y= schließen einander aus";
    QTest::newRow("neither x nor y") << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1"}
                                     << "tiraso: es fehlt x=… oder y=…";
    QTest::newRow("only x and y read standard input")
        << (four + QStringList{"x1=-"}) << "tiraso: x1: „-“ ist keine gültige Zahl oder Rechenformel";
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
    QCOMPARE(outcome.out,
             QByteArray("{\"inputs\":{\"x1\":2,\"y1\":10,\"x2\":6,\"y2\":2,\"x\":3},"
                        "\"decimals\":3,\"percent\":false,\"layout\":\"falling\",\"outside\":false,"
                        "\"results\":{\"valueAtX\":8,\"heightAtX\":-2,\"totalHeight\":-8,"
                        "\"totalLength\":4,\"leftLength\":1,\"rightLength\":3,\"slopePercent\":-200,"
                        "\"slopeDegrees\":-63.43494882292201}}\n"));
}

namespace {
const QStringList rising{"--calc", "x1=0", "y1=0", "x2=2", "y2=4"};
const char* const outsideNote
    = "tiraso: Hinweis: X liegt außerhalb von x1 … x2; Wert bei X ist y1 (keine Extrapolation)\n";
const char* const extrapolationRefused = "tiraso: Eine extrapolation ist nicht vorgesehen!\n";
} // namespace

void tst_CommandLine::singleValues_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines"); // the first lines of standard output
    QTest::addColumn<QString>("err");
    const QStringList noLines;

    QTest::newRow("y=: X, then the results at X")
        << (rising + QStringList{"y=3"}) << 0 << QStringList{"X\t1,500", "Wert bei X\t3,000", "Höhe bei X\t3,000"}
        << "";
    QTest::newRow("y= at y1 is refused") << (rising + QStringList{"y=0"}) << 3 << noLines << extrapolationRefused;
    QTest::newRow("y= beyond y2 is refused") << (rising + QStringList{"y=4,5"}) << 3 << noLines << extrapolationRefused;
    QTest::newRow("y= on a level line") << QStringList{"--calc", "x1=0", "y1=1", "x2=2", "y2=1", "y=1"} << 3 << noLines
                                        << "tiraso: y1 = y2: Auf einer waagerechten Linie gibt es zu einer Höhe keine "
                                           "Stelle X\n";
    QTest::newRow("y= without an interval")
        << QStringList{"--calc", "x1=1", "y1=0", "x2=1", "y2=4", "y=2"} << 3 << noLines
        << "tiraso: x1 = x2: Ohne Intervall gibt es zu einer Höhe keine Stelle X\n";
    // The back-calculation would walk away from x2 and give an X off the line.
    QTest::newRow("y= with x2 left of x1") << QStringList{"--calc", "x1=2", "y1=0", "x2=0", "y2=4", "y=1"} << 3
                                           << noLines << "tiraso: x2 < x1: Die Rückrechnung setzt x1 < x2 voraus\n";

    QTest::newRow("outside: y1, a note, status 3")
        << (rising + QStringList{"x=5"}) << 3 << QStringList{"Wert bei X\t0,000", "Höhe bei X\t0,000"} << outsideNote;
    QTest::newRow("x1 is inside") << (rising + QStringList{"x=0"}) << 0 << QStringList{"Wert bei X\t0,000"} << "";
    QTest::newRow("extrapolated right") << (rising + QStringList{"x=5", "--extrapolate"}) << 0
                                        << QStringList{"Wert bei X\t10,000", "Höhe bei X\t10,000"} << "";
    QTest::newRow("x2 < x1: between the points is outside")
        << QStringList{"--calc", "x1=2", "y1=0", "x2=0", "y2=4", "x=1"} << 3 << QStringList{"Wert bei X\t0,000"}
        << "tiraso: Hinweis: x2 ist kleiner als x1; Wert bei X ist y1 (keine Interpolation)\n";
    QTest::newRow("x2 < x1, extrapolated: the line")
        << QStringList{"--calc", "x1=2", "y1=0", "x2=0", "y2=4", "x=1", "--extrapolate"} << 0
        << QStringList{"Wert bei X\t2,000"} << "";
    QTest::newRow("x1 = x2: no line to extrapolate")
        << QStringList{"--calc", "x1=1", "y1=0", "x2=1", "y2=4", "x=5", "--extrapolate"} << 3
        << QStringList{"Wert bei X\t0,000"} << outsideNote;

    QTest::newRow("--plain: all digits, \".\", no unit") << (rising + QStringList{"x=0.6666666666666666", "--plain"})
                                                         << 0 << QStringList{"Wert bei X\t1.3333333333333333",
                                                                             "Höhe bei X\t1.3333333333333333",
                                                                             "Gesamthöhe\t4",
                                                                             "Gesamtlänge\t2",
                                                                             "Teillänge links\t0.6666666666666666",
                                                                             "Teillänge rechts\t1.3333333333333335",
                                                                             "Neigung\t200"}
                                                         << "";
}

void tst_CommandLine::singleValues()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QString, err);
    const CommandLine::Outcome outcome = CommandLine::Run(arguments);
    QCOMPARE(QString::fromUtf8(outcome.err), err);
    QCOMPARE(outcome.exitCode, exitCode);
    const QStringList out = QString::fromUtf8(outcome.out).split(QLatin1Char('\n'));
    QCOMPARE(out.mid(0, lines.size()), lines);
}

void tst_CommandLine::batch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QStringList x = rising + QStringList{"x=-"};
    const QStringList y = rising + QStringList{"y=-"};

    QTest::newRow("either decimal point, CR LF, blanks, no last line end")
        << x << QByteArray("0,25\r\n\n 0.5\t\n  \r\n1.5") << 0 << QByteArray("0,25\t0,500\n0.5\t1,000\n1.5\t3,000\n")
        << QByteArray();
    QTest::newRow("bad lines named, the others answered")
        << x << QByteArray("1\nabc\n\n\x1b[2J\n-2000000\n0.5\n") << 2 << QByteArray("1\t2,000\n0.5\t1,000\n")
        << QByteArray("tiraso: Zeile 2: „abc“ ist keine gültige Zahl oder Rechenformel\n"
                      "tiraso: Zeile 4: „\\x1b[2J“ ist keine gültige Zahl oder Rechenformel\n"
                      "tiraso: Zeile 5: „-2000000“ ist kleiner als -1.000.000, der kleinste Wert des Programms\n");
    QTest::newRow("a line too long to keep")
        << x << (QByteArray(5000, 'x') + "\n1\n") << 2 << QByteArray("1\t2,000\n")
        << "tiraso: Zeile 1: „" + QByteArray(40, 'x') + "…“ ist keine gültige Zahl oder Rechenformel\n";
    QTest::newRow("outside: status 3, a note a line")
        << x << QByteArray("3\n1\n") << 3 << QByteArray("3\t0,000\n1\t2,000\n")
        << QByteArray("tiraso: Zeile 1: Hinweis: X liegt außerhalb von x1 … x2; Wert bei X ist y1 (keine "
                      "Extrapolation)\n");
    QTest::newRow("a bad line outweighs one outside")
        << x << QByteArray("3\nabc\n") << 2 << QByteArray("3\t0,000\n")
        << QByteArray("tiraso: Zeile 1: Hinweis: X liegt außerhalb von x1 … x2; Wert bei X ist y1 (keine "
                      "Extrapolation)\n"
                      "tiraso: Zeile 2: „abc“ ist keine gültige Zahl oder Rechenformel\n");
    QTest::newRow("--plain: the value read, exactly")
        << (x + QStringList{"--plain"}) << QByteArray("1e-1\n0,50\n2*0,5\n") << 0
        << QByteArray("0.1\t0.2\n0.5\t1\n1\t2\n") << QByteArray();
    QTest::newRow("heights") << y << QByteArray("1\n3\n4\n") << 3 << QByteArray("1\t0,500\n3\t1,500\n")
                             << QByteArray("tiraso: Zeile 3: Eine extrapolation ist nicht vorgesehen!\n");
    QTest::newRow("heights extrapolated") << (y + QStringList{"--extrapolate", "--plain"}) << QByteArray("4\n6\n-2\n")
                                          << 0 << QByteArray("4\t2\n6\t3\n-2\t-1\n") << QByteArray();
    QTest::newRow("heights on a level line: refused before any input")
        << QStringList{"--calc", "x1=0", "y1=1", "x2=2", "y2=1", "y=-"} << QByteArray("1\n") << 3 << QByteArray()
        << QByteArray("tiraso: y1 = y2: Auf einer waagerechten Linie gibt es zu einer Höhe keine Stelle X\n");
    QTest::newRow("no input") << x << QByteArray() << 0 << QByteArray() << QByteArray();
    QTest::newRow("JSON lines") << (x + QStringList{"--json"}) << QByteArray("x\n3\n") << 2
                                << QByteArray("{\"line\":2,\"inputs\":{\"x1\":0,\"y1\":0,\"x2\":2,\"y2\":4,\"x\":3},"
                                              "\"decimals\":3,\"percent\":true,\"layout\":\"level\",\"outside\":true,"
                                              "\"results\":{\"valueAtX\":0,\"heightAtX\":0,\"totalHeight\":4,"
                                              "\"totalLength\":2,\"leftLength\":3,\"rightLength\":-1,"
                                              "\"slopePercent\":200,\"slopeDegrees\":63.43494882292201}}\n")
                                << QByteArray("tiraso: Zeile 1: „x“ ist keine gültige Zahl oder Rechenformel\n"
                                              "tiraso: Zeile 2: Hinweis: X liegt außerhalb von x1 … x2; Wert bei X "
                                              "ist y1 (keine Extrapolation)\n");
}

void tst_CommandLine::batch()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const CommandLine::Outcome outcome = CommandLine::Run(arguments, input);
    QCOMPARE(QString::fromUtf8(outcome.err), QString::fromUtf8(err));
    QCOMPARE(QString::fromUtf8(outcome.out), QString::fromUtf8(out));
    QCOMPARE(outcome.exitCode, exitCode);
}

void tst_CommandLine::printedValuesSolveBackToX()
{
    // Random lines, each with many X inside: the value at X printed with
    // --plain, solved back with y=, gives X again. One batch a direction, so
    // the lines cross the pieces the input comes in and the blocks the
    // output goes out in.
    QRandomGenerator random(25);
    const auto power = [&random](double low, double high) { return std::pow(10.0, low + random.bounded(high - low)); };
    const auto sign = [&random] { return random.bounded(2) ? 1.0 : -1.0; };
    const auto plain = [](double value) {
        char buffer[32];
        return QByteArray(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
    };
    for (int line = 0; line < 20; ++line) {
        const double x1 = sign() * power(-3, 5);
        const double x2 = x1 + power(-3, 5);
        const double y1 = sign() * power(-3, 5);
        // At least 1 % of the larger |y|: on a flatter line the printed value
        // keeps too few digits of X.
        const double y2 = y1 + sign() * std::fabs(y1) * power(-2, 2);
        const QStringList points{"--calc",
                                 "x1=" + QString::fromLatin1(plain(x1)),
                                 "y1=" + QString::fromLatin1(plain(y1)),
                                 "x2=" + QString::fromLatin1(plain(x2)),
                                 "y2=" + QString::fromLatin1(plain(y2)),
                                 "--plain"};
        std::vector<double> xs;
        QByteArray input;
        for (int n = 0; n < 2000; ++n) {
            xs.push_back(x1 + (x2 - x1) * (0.001 + random.bounded(0.998)));
            input += plain(xs.back()) + '\n';
        }
        const CommandLine::Outcome forward = CommandLine::Run(points + QStringList{"x=-"}, input);
        QCOMPARE(forward.err, QByteArray());
        QByteArray heights;
        const QList<QByteArray> rows = forward.out.split('\n');
        QCOMPARE(rows.size(), qsizetype(xs.size() + 1));
        for (size_t n = 0; n < xs.size(); ++n) {
            const QList<QByteArray> columns = rows[qsizetype(n)].split('\t');
            QCOMPARE(columns.value(0), plain(xs[n]));
            heights += columns.value(1) + '\n';
        }
        const CommandLine::Outcome back = CommandLine::Run(points + QStringList{"y=-"}, heights);
        QCOMPARE(back.err, QByteArray());
        const QList<QByteArray> solved = back.out.split('\n');
        QCOMPARE(solved.size(), qsizetype(xs.size() + 1));
        const double scale = std::max(std::fabs(x1), std::fabs(x2));
        for (size_t n = 0; n < xs.size(); ++n) {
            const QByteArray text = solved[qsizetype(n)].split('\t').value(1);
            double x = 0;
            std::from_chars(text.constData(), text.constData() + text.size(), x);
            QVERIFY2(std::fabs(x - xs[n]) <= 1e-12 * scale,
                     qPrintable(points.join(' ') + " x=" + plain(xs[n]) + " back " + text));
        }
    }
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
    QTest::newRow("bad value") << QStringList{"--calc", "x1=abc", "y1=0", "x2=1", "y2=1", "x=0.33"} << 2 << QByteArray()
                               << QByteArray("x1: „abc“");
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

void tst_CommandLine::programAnswersStandardInput()
{
    QProcess program;
    program.start(QStringLiteral(TIRASO_BINARY), rising + QStringList{"x=-"});
    QVERIFY(program.waitForStarted(10000));
    program.write("0,25\n0.5\n1.5\n");
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.readAllStandardError(), QByteArray());
    QCOMPARE(program.readAllStandardOutput(), QByteArray("0,25\t0,500\n0.5\t1,000\n1.5\t3,000\n"));
    QCOMPARE(program.exitCode(), 0);
}

TIRASO_TEST_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
