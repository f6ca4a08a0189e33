// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVButton.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Loading.h"
#include "platform/Pictures.h"

#include "tests/TestSupport.h"

#include <QDesktopServices>
#include <QMenu>
#include <QMetaEnum>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

class TestButton : public TRUVButton
{
public:
    using TRUVButton::DisabledGlyph;
    using TRUVButton::GreyGlyph;
    using TRUVButton::MouseIn;
    using TRUVButton::Pressed;
    using TRUVButton::TRUVButton;
};

constexpr QRgb Background = 0xFF0A141E;
constexpr QRgb Key = 0xFFFF00FF;

QImage renderWidget(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Background);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QRgb rgb(TColor color)
{
    return ToQColor(color).rgb();
}

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(widget, &enter);
}

void unhover(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

// A glyph of the given size filled with one colour, its bottom-left pixel the key.
QImage solidGlyph(QSize size, QRgb color)
{
    QImage glyph(size, QImage::Format_RGB32);
    glyph.fill(color);
    glyph.setPixel(0, size.height() - 1, Key);
    return glyph;
}

// Receives the links a launcher button hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class tst_RUVButton : public QObject
{
    Q_OBJECT

    // A fresh window per test function; buttons are its children.
    std::unique_ptr<QWidget> m_window;

    TestButton* makeButton(QWidget* parent = nullptr, QSize size = QSize(40, 24))
    {
        auto* button = new TestButton(parent ? parent : m_window.get());
        button->resize(size);
        button->show();
        return button;
    }

    // Logs every click event by name.
    static void logClicks(TRUVButton* button, QStringList& log)
    {
        button->OnClick = [&log](QObject*) { log << QStringLiteral("click"); };
        button->OnSTRGClick = [&log](QObject*) { log << QStringLiteral("strg"); };
        button->OnSHIFTClick = [&log](QObject*) { log << QStringLiteral("shift"); };
    }

private slots:
    void initTestCase()
    {
        TRUVButton::ModuleStartup();
        QVERIFY(TRUVButton::DownPattern());
    }

    void cleanupTestCase()
    {
        TRUVButton::ModuleShutdown();
        QVERIFY(!TRUVButton::DownPattern());
        QVERIFY(!TRUVButton::DownPatternTile());
    }

    void init()
    {
        // Far from the window, so no button gets a real enter event.
        QCursor::setPos(QPoint(790, 590));
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 200);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // ------------------------------------------------------------ clicks

    void clickDispatch_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("pressModifiers");
        QTest::addColumn<Qt::KeyboardModifiers>("releaseModifiers");
        QTest::addColumn<QStringList>("unassigned");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<QStringList>("expected");

        const Qt::KeyboardModifiers none;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
        const QStringList all;
        QTest::newRow("plain click") << Qt::LeftButton << none << none << all << true << QStringList{"click"};
        QTest::newRow("Ctrl click") << Qt::LeftButton << ctrl << ctrl << all << true << QStringList{"strg"};
        QTest::newRow("Shift click") << Qt::LeftButton << shift << shift << all << true << QStringList{"shift"};
        QTest::newRow("Ctrl wins over Shift") << Qt::LeftButton << both << both << all << true << QStringList{"strg"};
        QTest::newRow("modifiers of the press count, not of the release")
            << Qt::LeftButton << ctrl << none << all << true << QStringList{"strg"};
        QTest::newRow("Ctrl click without its handler falls back to nothing")
            << Qt::LeftButton << ctrl << ctrl << QStringList{"strg"} << true << QStringList();
        QTest::newRow("Shift click without its handler falls back to nothing")
            << Qt::LeftButton << shift << shift << QStringList{"shift"} << true << QStringList();
        QTest::newRow("Ctrl+Shift without Ctrl handler does not try Shift")
            << Qt::LeftButton << both << both << QStringList{"strg"} << true << QStringList();
        QTest::newRow("unassigned OnClick")
            << Qt::LeftButton << none << none << QStringList{"click"} << true << QStringList();
        QTest::newRow("release outside") << Qt::LeftButton << none << none << all << false << QStringList();
        QTest::newRow("right button") << Qt::RightButton << none << none << all << true << QStringList();
    }

    void clickDispatch()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, pressModifiers);
        QFETCH(Qt::KeyboardModifiers, releaseModifiers);
        QFETCH(QStringList, unassigned);
        QFETCH(bool, releaseInside);
        QFETCH(QStringList, expected);

        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        if (unassigned.contains("click"))
            b->OnClick = nullptr;
        if (unassigned.contains("strg"))
            b->OnSTRGClick = nullptr;
        if (unassigned.contains("shift"))
            b->OnSHIFTClick = nullptr;

        QTest::mousePress(b, button, pressModifiers, QPoint(5, 5));
        QVERIFY(b->Pressed());
        QTest::mouseRelease(b, button, releaseModifiers, releaseInside ? QPoint(39, 23) : QPoint(40, 5));
        QCOMPARE(log, expected);
        QVERIFY(!b->Pressed());
    }

    void executeOpensTheTargetInsteadOfClicking()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("tirasotest"), &catcher, "open");
        const auto unregister = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("tirasotest")); });

        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        b->setButtontyp(TRUVButton::typ_execute);
        b->setButton_Execute(QStringLiteral("tirasotest://hilfe/seite"));
        QTest::mouseClick(b, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("tirasotest://hilfe/seite"))});
        QCOMPARE(log, QStringList());

        // An empty target has nothing to open and reports nothing.
        b->setButton_Execute(QString());
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(catcher.opened.size(), 1);
        QCOMPARE(log, QStringList());
    }

    // Buttons a, b (group 1), c (flat, group 1), d (group 2) and t (group 0)
    // share one parent; x (group 1) sits on another. All but c are not flat.
    void groups_data()
    {
        // clang-format off
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expectedDown"); // a b c d t x
        QTest::addColumn<int>("expectedClicks");

        QTest::newRow("toggle goes down") << "click t" << "000010" << 1;
        QTest::newRow("toggle comes up again") << "click t; click t" << "000000" << 2;
        QTest::newRow("click puts a member down") << "click a" << "100000" << 1;
        QTest::newRow("click releases the other member") << "click a; click b" << "010000" << 2;
        QTest::newRow("click on the down member keeps it down") << "click a; click a" << "100000" << 2;
        QTest::newRow("another group is left alone") << "down d 1; click a" << "100100" << 1;
        QTest::newRow("another parent is left alone") << "down x 1; click a" << "100001" << 1;
        QTest::newRow("flat member releases the others and stays up") << "click a; click c" << "000000" << 2;
        QTest::newRow("flat button may be put down from code") << "down c 1" << "001000" << 0;
        QTest::newRow("flat button comes up on a click") << "down c 1; click c" << "000000" << 1;
        QTest::newRow("writing false keeps a grouped button down") << "click a; down a 0" << "100000" << 1;
        QTest::newRow("writing true releases the others") << "click a; down b 1" << "010000" << 1;
        QTest::newRow("release outside puts it down without a click") << "outside a" << "100000" << 0;
        QTest::newRow("release outside releases the others") << "click a; outside b" << "010000" << 1;
        QTest::newRow("no group update while loading") << "click a; loading b 1" << "110000" << 1;
        // clang-format on
    }

    void groups()
    {
        QFETCH(QString, script);
        QFETCH(QString, expectedDown);
        QFETCH(int, expectedClicks);

        auto* other = new QWidget(m_window.get());
        other->setGeometry(0, 150, 300, 50);
        other->show();
        std::map<QString, TestButton*> buttons;
        const QString names = QStringLiteral("abcdtx");
        const int groupOf[] = {1, 1, 1, 2, 0, 1};
        int clicks = 0;
        for (int i = 0; i < names.size(); ++i) {
            TestButton* b = makeButton(names[i] == 'x' ? other : m_window.get());
            b->move(i * 45, 0);
            b->setNormalFlat(names[i] == 'c');
            b->setGroupIndex(groupOf[i]);
            b->OnClick = [&clicks](QObject*) { ++clicks; };
            buttons[names[i]] = b;
        }

        for (const QString& step : script.split(';')) {
            const QStringList words = step.simplified().split(' ');
            TestButton* b = buttons.at(words[1]);
            if (words[0] == "click") {
                QTest::mouseClick(b, Qt::LeftButton);
            } else if (words[0] == "outside") {
                QTest::mousePress(b, Qt::LeftButton);
                QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-3, 5));
            } else if (words[0] == "down") {
                b->setDown(words[2] == "1");
            } else if (words[0] == "loading") {
                LoadingScope loading;
                b->setDown(words[2] == "1");
            }
        }

        QString down;
        for (const QChar name : names)
            down += buttons.at(name)->Down() ? '1' : '0';
        QCOMPARE(down, expectedDown);
        QCOMPARE(clicks, expectedClicks);
    }

    void popupMenuShowsInsteadOfClicking_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("plain") << Qt::KeyboardModifiers();
        QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    }

    void popupMenuShowsInsteadOfClicking()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        QMenu menu;
        menu.addAction(QStringLiteral("Eintrag"));
        b->setPopupMenu(&menu);
        const QPoint cursor(120, 90);
        QCursor::setPos(cursor);

        std::optional<QPoint> shownAt;
        std::function<void()> closeWhenShown = [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shownAt = popup->pos();
                popup->close();
            } else {
                QTimer::singleShot(10, closeWhenShown);
            }
        };
        QTimer::singleShot(0, closeWhenShown);
        QTest::mouseClick(b, Qt::LeftButton, modifiers);

        QVERIFY(shownAt.has_value());
        QCOMPARE(*shownAt, cursor);
        QCOMPARE(menu.property("PopupComponent").value<QObject*>(), static_cast<QObject*>(b));
        QCOMPARE(log, QStringList());
        QVERIFY(!b->Down());
    }

    void holdRepeat_data()
    {
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("released over the button") << true << QStringList{"click", "hold"};
        QTest::newRow("released outside") << false << QStringList{"hold"};
    }

    void holdRepeat()
    {
        QFETCH(bool, releaseInside);
        QFETCH(QStringList, tail);
        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        b->OnMouseHold = [&log](QObject*) { log << QStringLiteral("hold"); };
        auto* timer = b->findChild<QTimer*>(QStringLiteral("HoldTimer"));
        QVERIFY(timer);
        // A click handler may open a dialog; the repeat must not run under it.
        bool repeatingDuringClick = false;
        b->OnClick = [&](QObject*) {
            log << QStringLiteral("click");
            repeatingDuringClick = timer->isActive();
        };

        QTest::mousePress(b, Qt::LeftButton);
        // The first repeat waits until the events already queued are handled.
        QCOMPARE(log, QStringList());
        QTRY_VERIFY(!log.isEmpty());
        QCOMPARE(log.first(), QStringLiteral("hold"));
        QCOMPARE(timer->interval(), 80);
        QTRY_VERIFY(log.size() >= 3);

        const int held = int(log.size());
        QTest::mouseRelease(b, Qt::LeftButton, {}, releaseInside ? QPoint(5, 5) : QPoint(-5, 5));
        QCOMPARE(log.mid(0, held), QStringList(held, QStringLiteral("hold")));
        QCOMPARE(log.mid(held), tail);
        QVERIFY(!timer->isActive());
        QVERIFY(!repeatingDuringClick);
    }

    // Regression: a button disabled while held would repeat forever, as the
    // release never reaches it.
    void disablingWhileHeldEndsTheRepeat()
    {
        TestButton* b = makeButton();
        int holds = 0;
        b->OnMouseHold = [&holds](QObject*) { ++holds; };
        QTest::mousePress(b, Qt::LeftButton);
        QTRY_VERIFY(holds >= 1);
        b->setEnabled(false);
        QVERIFY(!b->Pressed());
        QVERIFY(!b->findChild<QTimer*>(QStringLiteral("HoldTimer"))->isActive());
    }

    void doubleClick_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("firstPress");
        QTest::addColumn<Qt::KeyboardModifiers>("firstRelease");
        QTest::addColumn<Qt::KeyboardModifiers>("secondPress");
        QTest::addColumn<QStringList>("expected");
        const Qt::KeyboardModifiers none;
        QTest::newRow("plain double-click clicks twice") << none << none << none << QStringList{"click", "click"};
        QTest::newRow("second click takes the modifiers of the first release")
            << none << Qt::KeyboardModifiers(Qt::ShiftModifier) << none << QStringList{"click", "shift"};
        QTest::newRow("second press's own modifiers come too late")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << none << Qt::KeyboardModifiers(Qt::ControlModifier)
            << QStringList{"strg", "click"};
    }

    void doubleClick()
    {
        QFETCH(Qt::KeyboardModifiers, firstPress);
        QFETCH(Qt::KeyboardModifiers, firstRelease);
        QFETCH(Qt::KeyboardModifiers, secondPress);
        QFETCH(QStringList, expected);
        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);

        // Qt delivers a double-click to a widget as press, release,
        // double-click, release.
        QTest::mousePress(b, Qt::LeftButton, firstPress);
        QTest::mouseRelease(b, Qt::LeftButton, firstRelease);
        QTest::mouseDClick(b, Qt::LeftButton, secondPress);
        QVERIFY(b->Pressed());
        QTest::mouseRelease(b, Qt::LeftButton, secondPress);
        QCOMPARE(log, expected);
    }

    // ------------------------------------------------------------ pointer

    void hoverEvents_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("enabled") << true;
        QTest::newRow("disabled still reports the pointer") << false;
    }

    void hoverEvents()
    {
        QFETCH(bool, enabled);
        TestButton* b = makeButton();
        b->setEnabled(enabled);
        QStringList log;
        b->OnMouseIn = [&log](QObject*) { log << QStringLiteral("in"); };
        b->OnMouseOut = [&log](QObject*) { log << QStringLiteral("out"); };
        hover(b);
        QVERIFY(b->MouseIn());
        unhover(b);
        QVERIFY(!b->MouseIn());
        QCOMPARE(log, (QStringList{"in", "out"}));
    }

    void disabledIgnoresPresses()
    {
        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        b->setEnabled(false);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!b->Pressed());
        QCOMPARE(log, QStringList());
    }

    void dragOffAndBack()
    {
        TestButton* b = makeButton();
        QStringList log;
        logClicks(b, log);
        b->OnMouseIn = [&log](QObject*) { log << QStringLiteral("in"); };
        b->OnMouseOut = [&log](QObject*) { log << QStringLiteral("out"); };
        hover(b);
        QTest::mousePress(b, Qt::LeftButton);
        QTest::mouseMove(b, QPoint(60, 5));
        QVERIFY(!b->MouseIn());
        QVERIFY(b->Pressed());
        QTest::mouseMove(b, QPoint(5, 5));
        QVERIFY(b->MouseIn());
        QTest::mouseRelease(b, Qt::LeftButton);
        QCOMPARE(log, (QStringList{"in", "out", "in", "click"}));
    }

    // ------------------------------------------------------------ painting

    void downPattern_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("level");
        QTest::newRow("corner, even") << QPoint(0, 0) << 227;
        QTest::newRow("corner, odd") << QPoint(1, 0) << 211;
        QTest::newRow("corner, odd below") << QPoint(0, 1) << 211;
        QTest::newRow("corner, even diagonal") << QPoint(1, 1) << 227;
        QTest::newRow("column band, even") << QPoint(0, 6) << 236;
        QTest::newRow("column band, odd") << QPoint(1, 6) << 205;
        QTest::newRow("row band, even") << QPoint(6, 0) << 236;
        QTest::newRow("row band, odd") << QPoint(7, 1) << 236;
        QTest::newRow("row band, far end") << QPoint(639, 0) << 205;
        QTest::newRow("checker, white") << QPoint(2, 2) << 255;
        QTest::newRow("checker, silver") << QPoint(3, 2) << 192;
        QTest::newRow("checker, last pixel") << QPoint(639, 63) << 255;
    }

    void downPattern()
    {
        QFETCH(QPoint, pixel);
        QFETCH(int, level);
        const QImage* pattern = TRUVButton::DownPattern();
        QVERIFY(pattern);
        QCOMPARE(pattern->size(), QSize(640, 64));
        QCOMPARE(pattern->depth(), 24);
        QCOMPARE(pattern->pixel(pixel), qRgb(level, level, level));
        const QImage* tile = TRUVButton::DownPatternTile();
        QVERIFY(tile);
        QCOMPARE(*tile, pattern->copy(0, 0, 8, 8));
    }

    void pressedFills_data()
    {
        QTest::addColumn<int>("state"); // 0 hovered and pressed, 1 down, 2 disabled and down
        QTest::addColumn<TColor>("downColor");
        QTest::addColumn<bool>("patternBuilt");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QRgb>("expected");

        const QRgb white = qRgb(255, 255, 255);
        const QRgb silver = qRgb(192, 192, 192);
        const QRgb yellow = qRgb(255, 255, 0);
        QTest::newRow("pressed shows the checker") << 0 << clNone << true << QPoint(6, 6) << white;
        QTest::newRow("pressed checker is aligned") << 0 << clNone << true << QPoint(6, 7) << silver;
        QTest::newRow("pressed in a colour") << 0 << clYellow << true << QPoint(6, 7) << yellow;
        QTest::newRow("pressed without pattern skips the fill") << 0 << clNone << false << QPoint(6, 7) << Background;
        QTest::newRow("down shows the checker") << 1 << clNone << true << QPoint(6, 7) << silver;
        QTest::newRow("down in a colour") << 1 << clYellow << true << QPoint(6, 7) << yellow;
        QTest::newRow("disabled down draws the whole pattern at the corner")
            << 2 << clNone << true << QPoint(0, 0) << qRgb(227, 227, 227);
        QTest::newRow("disabled down band") << 2 << clNone << true << QPoint(1, 6) << qRgb(205, 205, 205);
        QTest::newRow("disabled down in a colour") << 2 << clYellow << true << QPoint(0, 0) << yellow;
        QTest::newRow("disabled down without pattern") << 2 << clNone << false << QPoint(0, 0) << Background;
    }

    void pressedFills()
    {
        QFETCH(int, state);
        QFETCH(TColor, downColor);
        QFETCH(bool, patternBuilt);
        QFETCH(QPoint, pixel);
        QFETCH(QRgb, expected);

        if (!patternBuilt)
            TRUVButton::ModuleShutdown();
        const auto rebuild = qScopeGuard([] { TRUVButton::ModuleStartup(); });

        TestButton* b = makeButton();
        b->setEdgestyle(TRUVButton::bs_none); // no frame over the pixels looked at
        b->setColorDownBackGround(downColor);
        b->setNormalFlat(false);
        if (state == 0) {
            hover(b);
            QTest::mousePress(b, Qt::LeftButton);
        } else {
            b->setDown(true);
            b->setEnabled(state != 2);
        }
        QCOMPARE(renderWidget(b).pixel(pixel), expected);
    }

    void circlePressedUsesTheTile()
    {
        TestButton* b = makeButton(nullptr, QSize(24, 24));
        b->setEdgestyle(TRUVButton::bs_circle);
        hover(b);
        QTest::mousePress(b, Qt::LeftButton);
        const QImage image = renderWidget(b);
        QCOMPARE(image.pixel(12, 12), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(12, 13), qRgb(192, 192, 192));
        QCOMPARE(image.pixel(0, 0), Background);
    }

    void glyphCopies_data()
    {
        QTest::addColumn<QRgb>("color");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("pale");
        QTest::newRow("white") << qRgb(255, 255, 255) << 255 << 223;
        QTest::newRow("black") << qRgb(0, 0, 0) << 0 << 160;
        QTest::newRow("red weighs 0.11") << qRgb(255, 0, 0) << 28 << 167;
        QTest::newRow("green weighs 0.59") << qRgb(0, 255, 0) << 150 << 197;
        QTest::newRow("blue weighs 0.30") << qRgb(0, 0, 255) << 76 << 179;
        QTest::newRow("grey 120 truncates to 119 in extended precision") << qRgb(120, 120, 120) << 119 << 189;
        QTest::newRow("grey 200 stays") << qRgb(200, 200, 200) << 200 << 210;
    }

    void glyphCopies()
    {
        QFETCH(QRgb, color);
        QFETCH(int, grey);
        QFETCH(int, pale);

        TestButton* b = makeButton(nullptr, QSize(20, 20));
        b->setCaptionPosition(TRUVButton::tp_none);
        QImage glyph = solidGlyph(QSize(4, 4), Key);
        glyph.setPixel(1, 1, color);
        b->setGlyph(glyph);
        QCOMPARE(b->GreyGlyph().depth(), 24);
        QCOMPARE(b->GreyGlyph().pixel(1, 1), qRgb(grey, grey, grey));
        QCOMPARE(b->DisabledGlyph().pixel(1, 1), qRgb(pale, pale, pale));

        // Glyph at (8, 8); its key pixels stay transparent in every version.
        const QImage resting = renderWidget(b);
        QCOMPARE(resting.pixel(9, 9), qRgb(grey, grey, grey));
        QCOMPARE(resting.pixel(8, 11), Background);
        hover(b);
        const QImage hovered = renderWidget(b);
        QCOMPARE(hovered.pixel(9, 10), color | 0xFF000000u); // one pixel lower while hovered
        QCOMPARE(hovered.pixel(8, 12), rgb(clWhite));        // the highlight shows through the key
        unhover(b);
        b->setEnabled(false);
        const QImage disabled = renderWidget(b);
        QCOMPARE(disabled.pixel(9, 9), qRgb(pale, pale, pale));
        QCOMPARE(disabled.pixel(8, 11), Background);
    }

    void showAllwaysColorShowsTheColouredGlyphAtRest()
    {
        TestButton* b = makeButton(nullptr, QSize(20, 20));
        b->setCaptionPosition(TRUVButton::tp_none);
        b->setGlyph(solidGlyph(QSize(4, 4), qRgb(255, 0, 0)));
        b->setShowAllwaysColor(true);
        QCOMPARE(renderWidget(b).pixel(9, 9), qRgb(255, 0, 0));
    }

    void layout_data()
    {
        // clang-format off
        QTest::addColumn<TRUVButton::TBSTextPos>("position");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("glyph");
        QTest::addColumn<QPoint>("glyphAt");
        QTest::addColumn<QPoint>("captionAt");
        QTest::addColumn<bool>("leftAligned");

        // Caption 20 x 13 (21 x 13 where noted), margin 4.
        const QSize client(64, 24);
        const QSize glyph(16, 16);
        const QSize none(1, 1);
        QTest::newRow("none") << TRUVButton::tp_none << client << glyph << QPoint(24, 4) << QPoint(0, 0) << false;
        QTest::newRow("left") << TRUVButton::tp_left << client << glyph << QPoint(36, 4) << QPoint(22, 5) << false;
        QTest::newRow("left, no glyph") << TRUVButton::tp_left << client << none << QPoint(0, 0) << QPoint(14, 5) << false;
        QTest::newRow("right") << TRUVButton::tp_right << client << glyph << QPoint(12, 4) << QPoint(42, 5) << false;
        QTest::newRow("right, no glyph") << TRUVButton::tp_right << client << none << QPoint(0, 0) << QPoint(50, 5) << false;
        QTest::newRow("bottom") << TRUVButton::tp_bottom << QSize(64, 41) << glyph << QPoint(24, 4) << QPoint(32, 24) << false;
        QTest::newRow("bottom, halves truncate toward zero")
            << TRUVButton::tp_bottom << client << glyph << QPoint(24, -5) << QPoint(32, 15) << false;
        QTest::newRow("top") << TRUVButton::tp_top << QSize(64, 41) << glyph << QPoint(24, 21) << QPoint(32, 4) << false;
        QTest::newRow("top, halves truncate toward zero")
            << TRUVButton::tp_top << client << glyph << QPoint(24, 13) << QPoint(32, -4) << false;
        QTest::newRow("center") << TRUVButton::tp_center << client << glyph << QPoint(24, 4) << QPoint(32, 5) << false;
        QTest::newRow("strict left") << TRUVButton::tp_Strikt_L << client << glyph << QPoint(4, 4) << QPoint(24, 5) << true;
        QTest::newRow("strict right") << TRUVButton::tp_Strikt_R << client << glyph << QPoint(44, 4) << QPoint(20, 5) << true;
        // clang-format on
    }

    void layout()
    {
        QFETCH(TRUVButton::TBSTextPos, position);
        QFETCH(QSize, client);
        QFETCH(QSize, glyph);
        QFETCH(QPoint, glyphAt);
        QFETCH(QPoint, captionAt);
        QFETCH(bool, leftAligned);
        const auto l = TRUVButton::ComputeLayout(position, client, QSize(20, 13), glyph, 4);
        QCOMPARE(l.glyph, glyphAt);
        QCOMPARE(l.caption, captionAt);
        QCOMPARE(l.textAlign == 0u, leftAligned);
    }

    // The painted glyph and caption sit where the layout puts them.
    void paintedPositions_data()
    {
        QTest::addColumn<TRUVButton::TBSTextPos>("position");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("simpleAnimation");
        QTest::addColumn<int>("shift"); // how far glyph and caption move down
        const auto meta = QMetaEnum::fromType<TRUVButton::TBSTextPos>();
        for (int i = 0; i < meta.keyCount(); ++i) {
            const auto position = TRUVButton::TBSTextPos(meta.value(i));
            QTest::addRow("%s", meta.key(i)) << position << false << false << true << 0;
            QTest::addRow("%s, hovered", meta.key(i)) << position << true << false << true << 1;
        }
        // The one-pixel shift is the whole animation; a button held down
        // already looks pressed and does not move.
        QTest::newRow("hovered without SimpleAnimation") << TRUVButton::tp_top << true << false << false << 0;
        QTest::newRow("hovered while down") << TRUVButton::tp_top << true << true << true << 0;
        QTest::newRow("down, pointer away") << TRUVButton::tp_bottom << false << true << true << 0;
    }

    void paintedPositions()
    {
        QFETCH(TRUVButton::TBSTextPos, position);
        QFETCH(bool, hovered);
        QFETCH(bool, down);
        QFETCH(bool, simpleAnimation);
        QFETCH(int, shift);
        const QRgb red = qRgb(255, 0, 0);
        TestButton* b = makeButton(nullptr, QSize(80, 48));
        b->setEdgestyle(TRUVButton::bs_none);
        b->setColorHighlight(clNone);
        b->setShowAllwaysColor(true);
        b->setCaptionPosition(position);
        b->setCaption(QStringLiteral("Mi"));
        b->Font()->setColor(clBlue);
        b->setColorHighlightText(clBlue);
        b->setColorButtonDownText(clBlue);
        b->setColorDownBackGround(Background);
        b->setGlyph(solidGlyph(QSize(6, 6), red));
        b->setSimpleAnimation(simpleAnimation);
        if (down) {
            b->setNormalFlat(false);
            b->setDown(true);
        }
        if (hovered)
            hover(b);

        const QFontMetrics metrics(b->Font()->toQFont());
        const QSize text(metrics.horizontalAdvance(b->Caption()), metrics.height());
        const auto l = TRUVButton::ComputeLayout(position, b->size(), text, QSize(6, 6), b->Margin());
        const int s = shift;
        const QImage image = renderWidget(b);

        QRect glyphInk;
        QRect textInk;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == red)
                    glyphInk |= QRect(x, y, 1, 1);
                else if (image.pixel(x, y) == rgb(clBlue))
                    textInk |= QRect(x, y, 1, 1);
            }
        }
        // Only the glyph's bottom-left pixel is its key, so its ink fills the
        // whole square; a centred caption may cover part of it.
        const QRect glyphAt(l.glyph + QPoint(0, s), QSize(6, 6));
        if (position == TRUVButton::tp_center)
            QVERIFY(glyphAt.contains(glyphInk));
        else
            QCOMPARE(glyphInk, glyphAt);
        if (position == TRUVButton::tp_none) {
            QVERIFY(textInk.isNull());
            return;
        }
        const int left = l.textAlign == 0u ? l.caption.x() : l.caption.x() - text.width() / 2;
        const QRect cell(QPoint(left, l.caption.y() + s), text);
        QVERIFY2(!textInk.isNull(), "caption not drawn");
        QVERIFY2(cell.contains(textInk),
                 qPrintable(QStringLiteral("ink %1 outside the cell %2")
                                .arg(TestSupport::rectText(textInk), TestSupport::rectText(cell))));
    }

    void disabledCaptionIsEngraved()
    {
        // White one pixel down and right, clGrayText over it; nothing else,
        // as the button has no glyph and is not down.
        TestButton* b = makeButton(nullptr, QSize(80, 30));
        b->setCaptionPosition(TRUVButton::tp_center);
        b->setCaption(QStringLiteral("Wert"));
        b->setEnabled(false);
        const QFont font = b->Font()->toQFont();
        const QFontMetrics metrics(font);
        const QSize text(metrics.horizontalAdvance(b->Caption()), metrics.height());
        const auto l = TRUVButton::ComputeLayout(TRUVButton::tp_center, b->size(), text, QSize(1, 1), b->Margin());

        QImage expected(b->size(), QImage::Format_RGB32);
        expected.fill(Background);
        {
            QPainter painter(&expected);
            TCanvas canvas(painter);
            canvas.SetFont(font);
            canvas.SetBrushStyle(TBrushStyle::bsClear);
            canvas.SetTextAlign(l.textAlign);
            canvas.SetFontColor(clWhite);
            canvas.TextOut(l.caption.x() + 1, l.caption.y() + 1, b->Caption());
            canvas.SetFontColor(clGrayText);
            canvas.TextOut(l.caption.x(), l.caption.y(), b->Caption());
        }
        QCOMPARE(renderWidget(b), expected);
    }

    void setterRepaints_data()
    {
        TestSupport::addSetterPaintColumns();
        const auto colour = [](TColor c) { return QVariant::fromValue(c); };
        QTest::newRow("Caption, if changed") << QByteArray("Caption") << QVariant(QStringLiteral("OK")) << 1 << 0;
        QTest::newRow("ColorDownBackGround, at once if changed")
            << QByteArray("ColorDownBackGround") << colour(clYellow) << 1 << 0;
        QTest::newRow("Edgestyle, if changed")
            << QByteArray("Edgestyle") << QVariant::fromValue(TRUVButton::bs_circle) << 1 << 0;
        QTest::newRow("Down, if changed") << QByteArray("Down") << QVariant(true) << 1 << 0;
        // Stored for the next paint or click; nothing is redrawn for them.
        QTest::newRow("ColorBorderMouseIn, stored") << QByteArray("ColorBorderMouseIn") << colour(clRed) << 0 << 0;
        QTest::newRow("GroupIndex, stored") << QByteArray("GroupIndex") << QVariant(1) << 0 << 0;
        QTest::newRow("NormalFlat, stored") << QByteArray("NormalFlat") << QVariant(false) << 0 << 0;
        QTest::newRow("SimpleAnimation, stored") << QByteArray("SimpleAnimation") << QVariant(false) << 0 << 0;
        QTest::newRow("Buttontyp, stored")
            << QByteArray("Buttontyp") << QVariant::fromValue(TRUVButton::typ_execute) << 0 << 0;
        QTest::newRow("Button_Execute, stored")
            << QByteArray("Button_Execute") << QVariant(QStringLiteral("x")) << 0 << 0;
        QTest::newRow("ShowAllwaysColor, always") << QByteArray("ShowAllwaysColor") << QVariant(true) << 1 << 1;
    }

    void setterRepaints()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        QFETCH(int, paintsWhenChanged);
        QFETCH(int, paintsWhenSame);
        TestButton* b = makeButton();
        QCOMPARE(TestSupport::setterPaints(b, property.constData(), value),
                 std::make_pair(paintsWhenChanged, paintsWhenSame));
    }

    void edges_data()
    {
        // clang-format off
        QTest::addColumn<TRUVButton::TBStil>("style");
        QTest::addColumn<QString>("state"); // raised (hovered), sunken (down), disabled (down)
        QTest::addColumn<QString>("checks");
        // Button 40 x 24. light red, shadow blue, inner frame green, border
        // teal, border under the pointer purple, down fill yellow.
        using T = TRUVButton;
        QTest::newRow("rectangle raised") << T::bs_rectangle << "raised"
                                          << "0,0=light 0,12=light 20,0=light 0,23=light 39,0=dark 39,12=dark 20,23=dark "
                                             "1,1=frame 38,22=frame 20,1=frame 20,12=bg";
        QTest::newRow("rectangle sunken") << T::bs_rectangle << "sunken"
                                          << "0,12=dark 20,0=dark 39,12=light 20,23=light 1,1=frame 20,12=fill";
        QTest::newRow("rectangle disabled") << T::bs_rectangle << "disabled"
                                            << "0,12=3dlight 39,12=3dlight 1,1=frame";
        QTest::newRow("broken corners raised") << T::bs_breakedrect << "raised"
                                               << "2,23=light 1,22=light 0,12=light 1,1=light 20,0=light 36,0=light "
                                                  "37,0=dark 38,1=dark 39,12=dark 38,22=dark 20,23=dark "
                                                  "0,0=bg 39,0=bg 39,23=bg 0,23=bg 2,2=bg";
        QTest::newRow("broken corners sunken") << T::bs_breakedrect << "sunken"
                                               << "0,12=dark 39,12=light 0,0=fill 2,2=fill";
        QTest::newRow("construction lines raised") << T::bs_architectural << "raised"
                                                   << "4,22=shadow1 10,22=shadow1 38,10=shadow1 38,5=shadow1 38,4=bg "
                                                      "10,23=shadow2 39,10=shadow2 4,23=bg "
                                                      "2,10=light 10,2=light 0,2=light 39,2=light 2,0=light 2,23=light "
                                                      "37,10=dark 10,21=dark 37,2=dark 2,21=dark 0,21=dark 37,23=dark "
                                                      "10,3=frame 36,10=frame 3,20=frame 20,12=bg 1,1=bg";
        QTest::newRow("construction lines sunken") << T::bs_architectural << "sunken"
                                                   << "10,22=bg 10,23=bg 39,10=bg 2,10=dark 37,10=light 10,3=frame "
                                                      "20,12=fill 1,1=bg";
        QTest::newRow("construction lines disabled") << T::bs_architectural << "disabled"
                                                     << "10,22=fill 2,10=3dlight 37,10=3dlight";
        QTest::newRow("circle raised") << T::bs_circle << "raised" << "20,0=border 0,0=bg 39,12=border";
        QTest::newRow("circle sunken") << T::bs_circle << "sunken" << "20,0=3dlight 0,0=fill";
        QTest::newRow("no edge raised") << T::bs_none << "raised" << "0,12=bg 20,0=bg 1,1=bg";
        QTest::newRow("no edge sunken") << T::bs_none << "sunken" << "0,12=fill 1,1=fill";
        QTest::newRow("hollow raised") << T::bs_rectHollow << "raised"
                                       << "0,12=mousein 39,12=mousein 20,0=mousein 20,23=mousein 1,1=frame 20,12=bg";
        QTest::newRow("hollow sunken") << T::bs_rectHollow << "sunken"
                                       << "0,12=border 39,12=border 1,1=frame 20,12=fill";
        QTest::newRow("hollow disabled") << T::bs_rectHollow << "disabled" << "0,12=3dlight 1,1=frame";
        // clang-format on
    }

    void edges()
    {
        QFETCH(TRUVButton::TBStil, style);
        QFETCH(QString, state);
        QFETCH(QString, checks);

        const std::map<QString, QRgb> colours = {
            {"light", qRgb(255, 0, 0)},       {"dark", qRgb(0, 0, 255)},
            {"frame", qRgb(0, 255, 0)},       {"border", qRgb(0, 128, 128)},
            {"mousein", qRgb(128, 0, 128)},   {"fill", qRgb(255, 255, 0)},
            {"shadow1", qRgb(128, 128, 128)}, {"shadow2", qRgb(188, 188, 188)},
            {"3dlight", rgb(cl3DLight)},      {"bg", Background},
        };
        TestButton* b = makeButton();
        b->setEdgestyle(style);
        b->setColorEdgeLight(RGBColor(255, 0, 0));
        b->setColorEdgeShadow(RGBColor(0, 0, 255));
        b->setColorSpezialFrame(RGBColor(0, 255, 0));
        b->setColorAllwaysBorder(RGBColor(0, 128, 128));
        b->setColorBorderMouseIn(RGBColor(128, 0, 128));
        b->setColorDownBackGround(RGBColor(255, 255, 0));
        b->setColorHighlight(clNone);
        if (state == "raised") {
            hover(b);
        } else {
            b->setNormalFlat(false);
            b->setDown(true);
            b->setEnabled(state != "disabled");
        }
        const QImage image = renderWidget(b);
        for (const QString& check : checks.split(' ', Qt::SkipEmptyParts)) {
            const QStringList parts = check.split('=');
            const QStringList xy = parts[0].split(',');
            const QPoint p(xy[0].toInt(), xy[1].toInt());
            const QRgb actual = image.pixel(p);
            QVERIFY2(actual == colours.at(parts[1]),
                     qPrintable(QStringLiteral("%1: found #%2").arg(check).arg(actual & RGB_MASK, 6, 16, QChar('0'))));
        }
    }

    void simpleBorderAtRest_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("resting") << true << false << qRgb(0, 128, 128);
        QTest::newRow("disabled") << false << false << rgb(cl3DLight);
        QTest::newRow("not while down") << true << true << qRgb(255, 0, 0);
    }

    void simpleBorderAtRest()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, down);
        QFETCH(QRgb, expected);
        TestButton* b = makeButton();
        b->setColorEdgeLight(RGBColor(255, 0, 0));
        b->setColorEdgeShadow(RGBColor(255, 0, 0));
        b->setColorAllwaysBorder(RGBColor(0, 128, 128));
        b->setShowAllwaysSimpleBorder(true);
        b->setNormalFlat(false);
        b->setDown(down);
        b->setEnabled(enabled);
        QCOMPARE(renderWidget(b).pixel(0, 12), expected);
    }

    // After the solid down fill the caption's character cells are filled
    // too; over the highlight they are not.
    void captionCellsAfterSolidFill_data()
    {
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("cellsFilled");
        QTest::newRow("down, not hovered") << false << true;
        QTest::newRow("hovered") << true << false;
    }

    void captionCellsAfterSolidFill()
    {
        QFETCH(bool, hovered);
        QFETCH(bool, cellsFilled);
        TestButton* b = makeButton();
        // The fill area stops 3 pixels short of the sides; a wide caption's
        // cells reach beyond it.
        b->setEdgestyle(TRUVButton::bs_architectural);
        b->setCaptionPosition(TRUVButton::tp_center);
        b->setCaption(QStringLiteral("WWWWWWWWWWWW"));
        b->setColorDownBackGround(RGBColor(255, 255, 0));
        b->setColorHighlight(RGBColor(255, 255, 0));
        b->setNormalFlat(false);
        b->setDown(true);
        if (hovered)
            hover(b);
        const QImage image = renderWidget(b);
        const int th = QFontMetrics(b->Font()->toQFont()).height();
        const int ty = (b->height() - th) / 2;
        int yellow = 0;
        for (int y = ty; y < ty + th; ++y)
            yellow += image.pixel(1, y) == qRgb(255, 255, 0) ? 1 : 0;
        QCOMPARE(yellow > 0, cellsFilled);
    }

    void paintsNothingWhileLoading()
    {
        TestButton* b = makeButton();
        b->setNormalFlat(false);
        b->setDown(true);
        LoadingScope loading;
        const QImage image = renderWidget(b);
        QCOMPARE(image.pixel(20, 12), Background);
    }

    // ------------------------------------------------------------ pictures

    void glyphFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("save") << "glyph_save.xpm" << QSize(20, 20);
        QTest::newRow("open") << "glyph_open.xpm" << QSize(20, 20);
        QTest::newRow("copy") << "glyph_copy.xpm" << QSize(16, 16);
        QTest::newRow("info") << "glyph_info.xpm" << QSize(16, 16);
    }

    void glyphFiles()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        const QString path = QFINDTESTDATA(QStringLiteral("../../resources/") + file);
        QVERIFY2(!path.isEmpty(), qPrintable(file));
        const QImage image(path);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), size);
        QCOMPARE(image.pixel(0, size.height() - 1), Key);

        // Drawn on a button, no pixel of the key colour is left.
        TestButton* b = makeButton(nullptr, QSize(24, 24));
        b->setCaptionPosition(TRUVButton::tp_none);
        b->setShowAllwaysColor(true);
        b->setGlyph(image);
        const QImage painted = renderWidget(b);
        QSet<QRgb> colours;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                colours.insert(painted.pixel(x, y));
        QVERIFY(!colours.contains(Key));
        QVERIFY(colours.contains(Background));
        QVERIFY2(colours.size() >= 5, "a glyph in a few colours");
    }

    void glyphAndCaptionAtPixelRatios_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.5, 2.0})
            for (const char* state : {"colour", "grey", "pale"})
                QTest::addRow("%s at %g", state, ratio) << QString::fromLatin1(state) << ratio;
    }

    // On a dense screen the glyph and its grey and pale copies come from the
    // glyph's drawing, by the same tone rule as the bitmap's copies.
    void glyphAndCaptionAtPixelRatios()
    {
        QFETCH(QString, state);
        QFETCH(qreal, ratio);
        QTemporaryDir dir;
        const QString drawing = dir.filePath(QStringLiteral("disc.svg"));
        {
            QFile file(drawing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\" viewBox=\"0 0 20 20\">"
                       "<circle cx=\"10\" cy=\"10\" r=\"8\" fill=\"#0000C8\"/></svg>");
        }
        QImage bitmap(20, 20, QImage::Format_RGB32);
        bitmap.fill(Key);
        {
            QPainter painter(&bitmap);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 200));
            painter.drawEllipse(2, 2, 16, 16);
        }
        TestButton* b = makeButton(nullptr, QSize(64, 44));
        b->setCaption(QStringLiteral("Öffnen"));
        b->setCaptionPosition(TRUVButton::tp_bottom);
        b->setGlyph(PictureWithVector(bitmap, drawing));
        b->setShowAllwaysColor(state == QLatin1String("colour"));
        b->setEnabled(state != QLatin1String("pale"));

        const QImage plain = TestSupport::renderAt(b, 1, Background);
        const QImage dense = TestSupport::renderAt(b, ratio, Background);
        const QFontMetrics metrics(b->Font()->toQFont());
        const QSize text(metrics.horizontalAdvance(b->Caption()), metrics.height());
        const TRUVButton::TGlyphLayout layout
            = TRUVButton::ComputeLayout(TRUVButton::tp_bottom, b->size(), text, QSize(20, 20), 4);
        const QRect glyphArea = TestSupport::deviceRect(QRect(layout.glyph, QSize(20, 20)), ratio);
        if (ratio == 2)
            QVERIFY(!TestSupport::pixelDoubled(dense, glyphArea));
        // Blue 200 is grey 60 (0.30 of blue) and pale 175 (60 / 4 + 160).
        const int level = state == QLatin1String("colour") ? -1 : state == QLatin1String("grey") ? 60 : 175;
        const QRgb inside = level < 0 ? qRgb(0, 0, 200) : qRgb(level, level, level);
        QCOMPARE(dense.pixel(glyphArea.center()), inside);
        QSet<QRgb> colours;
        for (int y = glyphArea.top(); y <= glyphArea.bottom(); ++y)
            for (int x = glyphArea.left(); x <= glyphArea.right(); ++x)
                colours.insert(dense.pixel(x, y));
        QVERIFY(!colours.contains(Key));
        QCOMPARE(colours.contains(qRgb(0, 0, 200)), level < 0);

        const QRect caption(0, layout.caption.y(), b->width(), text.height());
        const QString fault = TestSupport::compareTextInk(
            TestSupport::textInk(plain, caption, Background),
            TestSupport::textInk(dense, TestSupport::deviceRect(caption, ratio), Background), ratio,
            int(b->Caption().size()), TA_CENTER);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

TIRASO_TEST_MAIN(tst_RUVButton)
#include "tst_RUVButton.moc"
