// The program as started: the command line maps none of the window's
// libraries, the window comes from its module, and a missing or broken
// module ends the start with a message instead of a crash.

#include "tests/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

// The libraries the dynamic loader reports mapping into the process. The
// window's own start-up writes nothing there, so the window-system plugin is
// the sign that the module was loaded and its entry ran.
QProcessEnvironment loaderTracing(const QString& dataHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return environment;
}

} // namespace

class tst_WindowModule : public QObject
{
    Q_OBJECT

private slots:
    void librariesLoaded_data();
    void librariesLoaded();
    void moduleUnusable_data();
    void moduleUnusable();
};

void tst_WindowModule::librariesLoaded_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("loaded");
    QTest::addColumn<QByteArrayList>("notLoaded");
    const QByteArrayList window{"libQt6Gui.so", "libQt6Widgets.so", "libQt6Svg.so", "tiraso-window.so"};
    QTest::newRow("--calc") << QStringList{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"}
                            << QByteArrayList{"libQt6Core.so"} << window;
    QTest::newRow("the window") << QStringList{}
                                << QByteArrayList{"tiraso-window.so", "libQt6Widgets.so", "libqoffscreen.so"}
                                << QByteArrayList{};
}

void tst_WindowModule::librariesLoaded()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, loaded);
    QFETCH(QByteArrayList, notLoaded);
    QTemporaryDir dataHome;
    QVERIFY(dataHome.isValid());
    QProcess program;
    program.setProcessEnvironment(loaderTracing(dataHome.path()));
    program.setStandardOutputFile(QProcess::nullDevice());
    QByteArray trace;
    connect(&program, &QProcess::readyReadStandardError, this,
            [&] { trace += program.readAllStandardError(); });
    program.start(QStringLiteral(TIRASO_BINARY), arguments);
    QVERIFY(program.waitForStarted());
    const auto mapped = [&trace](const QByteArray& name) {
        return trace.contains("file=" + name) || trace.contains("/" + name);
    };
    if (arguments.isEmpty()) {
        // The window stays open: wait for the last library to show, then end it.
        QTRY_VERIFY_WITH_TIMEOUT(mapped(loaded.constLast()), 20000);
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

TIRASO_TEST_MAIN(tst_WindowModule)
#include "tst_WindowModule.moc"
