// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The program as started: the command line maps none of the window's
// libraries, the window comes from its module and maps QtSvg only on a dense
// screen, and a missing or broken module ends the start with a message
// instead of a crash.

#include "tests/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The libraries the dynamic loader reports mapping into the process, and
// Qt's report of the window's first flush to the screen, written after its
// paint to the same stream.
QProcessEnvironment loaderTracing(const QString& dataHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting.info=true"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return environment;
}

const QByteArray FirstFlush = "qt.widgets.painting: Flushing";

} // namespace

class tst_WindowModule : public QObject
{
    Q_OBJECT

private slots:
    void librariesLoaded_data();
    void librariesLoaded();
    void moduleUnusable_data();
    void moduleUnusable();
    void noDisplay_data();
    void noDisplay();
};

void tst_WindowModule::librariesLoaded_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("scale"); // QT_SCALE_FACTOR
    QTest::addColumn<QByteArrayList>("loaded");
    QTest::addColumn<QByteArrayList>("notLoaded");
    const QByteArrayList window{"libQt6Gui.so", "libQt6Widgets.so", "tiraso-window.so"};
    const QByteArrayList svg{"tiraso-svg.so", "libQt6Svg.so"};
    QTest::newRow("--calc") << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"} << QByteArray("1")
                            << QByteArrayList{"libQt6Core.so"} << window + svg;
    // A plain screen shows the pictures stored for it.
    QTest::newRow("the window") << QStringList{} << QByteArray("1") << window + QByteArrayList{"libqoffscreen.so"}
                                << svg;
    QTest::newRow("the window at 200 %") << QStringList{} << QByteArray("2") << window + svg << QByteArrayList{};
}

void tst_WindowModule::librariesLoaded()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, scale);
    QFETCH(QByteArrayList, loaded);
    QFETCH(QByteArrayList, notLoaded);
    QTemporaryDir dataHome;
    QVERIFY(dataHome.isValid());
    QProcess program;
    QProcessEnvironment environment = loaderTracing(dataHome.path());
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
    program.setProcessEnvironment(environment);
    program.setStandardOutputFile(QProcess::nullDevice());
    QByteArray trace;
    connect(&program, &QProcess::readyReadStandardError, this, [&] { trace += program.readAllStandardError(); });
    program.start(QStringLiteral(TIRASO_BINARY), arguments);
    QVERIFY(program.waitForStarted());
    const auto mapped
        = [&trace](const QByteArray& name) { return trace.contains("file=" + name) || trace.contains("/" + name); };
    if (arguments.isEmpty()) {
        // The window stays open: wait for its first paint, then end it.
        QTRY_VERIFY_WITH_TIMEOUT(trace.contains(FirstFlush), 20000);
        program.kill();
    }
    QVERIFY(program.waitForFinished(20000));
    trace += program.readAllStandardError();
    for (const QByteArray& name : std::as_const(loaded))
        QVERIFY2(mapped(name), name.constData());
    for (const QByteArray& name : std::as_const(notLoaded))
        QVERIFY2(!mapped(name), name.constData());
}

void tst_WindowModule::moduleUnusable_data()
{
    QTest::addColumn<QByteArray>("moduleContent"); // empty: no module at all
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("missing") << QByteArray() << QByteArray("tiraso-window.so: cannot open shared object file");
    QTest::newRow("not a library") << QByteArray("kein ELF\n") << QByteArray("tiraso-window.so: file too short");
}

void tst_WindowModule::moduleUnusable()
{
    QFETCH(QByteArray, moduleContent);
    QFETCH(QByteArray, reason);
    // A copy of the program in a folder of its own, where the module is not.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString copy = folder.filePath(QStringLiteral("tiraso"));
    QVERIFY(QFile::copy(QStringLiteral(TIRASO_BINARY), copy));
    if (!moduleContent.isEmpty()) {
        QFile module(folder.filePath(QStringLiteral("tiraso-window.so")));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write(moduleContent);
    }
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C")); // the loader's reasons untranslated
    program.setProcessEnvironment(environment);
    program.start(copy, QStringList{});
    QVERIFY(program.waitForFinished(20000));
    const QByteArray err = program.readAllStandardError();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(err.startsWith("tiraso: Das Fenster kann nicht geladen werden: "), err.constData());
    QVERIFY2(err.contains(reason), err.constData());
}

void tst_WindowModule::noDisplay_data()
{
    QTest::addColumn<QStringList>("environment"); // NAME=value; <runtime>/socket holds "wayland-0"
    QTest::addColumn<QString>("cause");
    // An X11 display number nobody serves here.
    int free = 4711;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(free)))
        ++free;
    QTest::newRow("nothing set")
        << QStringList{} << "Es ist keine Anzeige eingestellt (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).";
    QTest::newRow("X11 display without a server")
        << QStringList{QStringLiteral("DISPLAY=:%1").arg(free)}
        << QStringLiteral("Die Anzeige „:%1“ (DISPLAY) kann nicht geöffnet werden.").arg(free);
    QTest::newRow("Wayland without its socket")
        << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=wayland-9", "XDG_RUNTIME_DIR=<runtime>"}
        << "Die Wayland-Anzeige „wayland-9“ (WAYLAND_DISPLAY) gibt es nicht.";
    // Rows whose cause shows which choices the check left to Qt.
    QTest::newRow("xcb with options, no DISPLAY")
        << QStringList{"QT_QPA_PLATFORM=xcb:x=1", "WAYLAND_DISPLAY=wayland-0"} << "DISPLAY ist nicht gesetzt.";
    QTest::newRow("wayland-0 is tried without WAYLAND_DISPLAY")
        << QStringList{"QT_QPA_PLATFORM=wayland-egl", "XDG_RUNTIME_DIR=<runtime>/socket"}
        << "Die Wayland-Anzeige „wayland-0“ kann nicht geöffnet werden.";
    QTest::newRow("a list: what can start is named")
        << QStringList{"QT_QPA_PLATFORM=wayland;xcb", QStringLiteral("DISPLAY=:%1").arg(free)}
        << QStringLiteral("Die Anzeige „:%1“ (DISPLAY) kann nicht geöffnet werden.").arg(free);
    QTest::newRow("unknown window system")
        << QStringList{"QT_QPA_PLATFORM=kein-solches"}
        << "Das Fenstersystem „kein-solches“ (QT_QPA_PLATFORM) ist nicht vorhanden oder kann nicht starten.";
}

void tst_WindowModule::noDisplay()
{
    // Qt alone aborts (and may dump core) with advice to reinstall.
    QFETCH(QStringList, environment);
    QFETCH(QString, cause);
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QVERIFY(QDir(runtime.path()).mkdir(QStringLiteral("socket")));
    QFile wayland0(runtime.filePath(QStringLiteral("socket/wayland-0")));
    QVERIFY(wayland0.open(QIODevice::WriteOnly)); // in place of a socket: there, but nobody answers
    QProcessEnvironment emptied;
    emptied.insert(QStringLiteral("XDG_DATA_HOME"), runtime.path());
    for (const QString& entry : std::as_const(environment))
        emptied.insert(entry.section(QLatin1Char('='), 0, 0),
                       entry.section(QLatin1Char('='), 1).replace(QStringLiteral("<runtime>"), runtime.path()));
    QProcess program;
    program.setProcessEnvironment(emptied);
    program.start(QStringLiteral(TIRASO_BINARY), QStringList{});
    QVERIFY(program.waitForFinished(20000));
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(err.startsWith(QStringLiteral("tiraso: Das Fenster kann nicht angezeigt werden. ") + cause),
             qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("Ohne Fenster rechnet tiraso --calc")), qPrintable(err));
}

TIRASO_TEST_MAIN(tst_WindowModule)
#include "tst_WindowModule.moc"
