// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The window under a real window manager: where its frame goes and that it
// stays above other windows. The offscreen platform has neither frames nor
// stacking, so these run on the X server and window manager that
// scripts/desktop-session starts (TIRASO_TEST_DISPLAY) and skip without them.

#include "TestSupport.h"

#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/tirasomain.h"

#include <QInputDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

#include <memory>

using namespace TestSupport;

namespace {

// A plain window of one colour, as another program's window would be.
std::unique_ptr<QWidget> colouredWindow(const QRect& frame, Qt::GlobalColor colour)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("other"));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->resize(frame.size());
    window->move(frame.topLeft());
    return window;
}

// What the screen shows at a point, whoever's window it is.
QRgb screenPixel(const QPoint& at)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixel(0, 0);
}

// The windows an X property names, as xprop shows it.
QList<WId> windowIds(const QStringList& xpropArguments)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), xpropArguments);
    xprop.waitForFinished();
    QList<WId> ids;
    const QString shown = QString::fromLatin1(xprop.readAllStandardOutput());
    for (const QRegularExpressionMatch& id : QRegularExpression(QStringLiteral("0x[0-9a-f]+")).globalMatch(shown))
        ids << id.captured().toULongLong(nullptr, 16);
    return ids;
}

} // namespace

class tst_WindowManager : public QObject
{
    Q_OBJECT

public:
    explicit tst_WindowManager(bool desktop)
        : m_desktop(desktop)
    {
    }

private:
    std::unique_ptr<TForm1> showForm(const QStringList& parameters)
    {
        auto form = std::make_unique<TForm1>(parameters);
        form->show();
        return form;
    }
    static bool framed(const TForm1& form) { return form.frameGeometry().size() != form.size(); }

    bool m_desktop;

private slots:
    void initTestCase()
    {
        if (!m_desktop)
            QSKIP("no X server with a window manager (scripts/desktop-session starts Xvfb and openbox)");
        TRUVButton::ModuleStartup();
        TSpezialSpin::ModuleStartup();
    }

    void cleanupTestCase()
    {
        TSpezialSpin::ModuleShutdown();
        TRUVButton::ModuleShutdown();
    }

    void frameGoesToTheParameter_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QPoint>("frame");
        QTest::newRow("200|300") << "200|300" << QPoint(200, 300);
        QTest::newRow("no bar: the design position") << "500" << QPoint(657, 403);
    }

    // Regression: the client area went to 200,300 and the frame with its
    // title bar above it, to 199,280.
    void frameGoesToTheParameter()
    {
        QFETCH(QString, parameter);
        QFETCH(QPoint, frame);
        auto form = showForm({parameter});
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_VERIFY(framed(*form));
        QTRY_COMPARE(form->frameGeometry().topLeft(), frame);
        QCOMPARE(form->size(), QSize(TForm1::ClientWidth, TForm1::ClientHeight));
    }

    void centredByTheOuterSize()
    {
        auto form = showForm({});
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_VERIFY(framed(*form));
        const QSize monitor = QGuiApplication::screens().constFirst()->geometry().size();
        QTRY_COMPARE(form->frameGeometry().topLeft(), TForm1::CentredPosition(monitor, form->frameGeometry().size()));
    }

    void staysAboveAWindowActivatedLater()
    {
        // The other window comes first; a second one covers part of it, and
        // Tiraso another part.
        auto other = colouredWindow(QRect(300, 200, 400, 300), Qt::red);
        other->show();
        QVERIFY(QTest::qWaitForWindowExposed(other.get()));
        auto cover = colouredWindow(QRect(600, 400, 300, 200), Qt::green);
        cover->show();
        QVERIFY(QTest::qWaitForWindowExposed(cover.get()));
        auto form = showForm({QStringLiteral("100|100")});
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_COMPARE(form->frameGeometry().topLeft(), QPoint(100, 100));

        const QPoint underCover(650, 450);  // other and cover overlap here
        const QPoint underTiraso(400, 300); // other and Tiraso overlap here
        QTRY_COMPARE(screenPixel(underCover), qRgb(0, 255, 0));
        QVERIFY(screenPixel(underTiraso) != qRgb(255, 0, 0));

        other->raise();
        other->activateWindow();
        // Raised above the window that covered it: the window manager has
        // restacked.
        QTRY_COMPARE(screenPixel(underCover), qRgb(255, 0, 0));
        QVERIFY2(screenPixel(underTiraso) != qRgb(255, 0, 0), "the window activated later covers Tiraso");
    }

    void failedSaveBoxStandsAboveTheWindowInItsMiddle()
    {
        // Regression: the general error box belonged to no window, and the
        // window manager put it below the window, in the screen's middle.
        QVERIFY(QDir().mkpath(TForm1::StorageFolder() + QStringLiteral("Ordner.dat"))); // saving fails
        auto form = showForm({QStringLiteral("100|100")});
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_VERIFY(framed(*form));
        WId box = 0;
        QList<WId> transientFor, stacking; // stacking from the bottom up
        QPoint offCentre;
        whenModalOpens([&](QWidget* prompt) {
            // As for a person: the prompt has the focus, the window gets it
            // back only after the prompt has gone.
            (void)QTest::qWaitForWindowActive(prompt);
            qobject_cast<QInputDialog*>(prompt)->setTextValue(QStringLiteral("Ordner"));
            pressButton(prompt, QStringLiteral("OK"));
            whenModalOpens([&](QWidget* dialog) {
                box = dialog->winId();
                // Until the window manager has framed and placed it, which
                // Qt learns in several steps.
                (void)QTest::qWaitFor([&] {
                    stacking = windowIds({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
                    offCentre = dialog->frameGeometry().center() - form->frameGeometry().center();
                    return stacking.contains(box) && qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2;
                });
                const QString id = QString::number(box);
                transientFor = windowIds({QStringLiteral("-id"), id, QStringLiteral("WM_TRANSIENT_FOR")});
                pressButton(dialog, QStringLiteral("OK"));
            });
        });
        QTest::mouseClick(form->btn_Save, Qt::LeftButton);
        QVERIFY(box);
        QCOMPARE(transientFor, QList<WId>{form->winId()});
        QCOMPARE(stacking.mid(stacking.indexOf(form->winId())), (QList<WId>{form->winId(), box}));
        QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2,
                 qPrintable(QStringLiteral("%1,%2 off").arg(offCentre.x()).arg(offCentre.y())));
    }
};

int main(int argc, char* argv[])
{
    TestSupport::prepareProcess();
    // Chosen before the application object exists, which connects to it.
    const QByteArray display = qgetenv("TIRASO_TEST_DISPLAY");
    if (!display.isEmpty()) {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    TApplication app(argc, argv);
    tst_WindowManager tc(!display.isEmpty());
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_WindowManager.moc"
