// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window without a mouse and through assistive technology: the Tab
// chain, the keys, what a screen reader finds and hears.

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/tirasomain.h"
#include "tests/AccessibilitySupport.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include <memory>

using namespace TestSupport;

namespace {

// The control that has the focus; an editor's inner edit counts as the editor.
QWidget* focusedControl()
{
    QWidget* focus = QApplication::focusWidget();
    return focus && qobject_cast<TSpezialSpin*>(focus->parentWidget()) ? focus->parentWidget() : focus;
}

// A key pressed and released where the focus is, as a keyboard delivers it.
void press(int key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyPress(QApplication::focusWidget(), Qt::Key(key), modifiers);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

using Request = std::function<void()>;

} // namespace

Q_DECLARE_METATYPE(Request)

class tst_WindowAccess : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> makeForm()
    {
        auto form = std::make_unique<TForm1>();
        form->show();
        // A loaded window manager can take seconds to activate a new window.
        if (!QTest::qWaitForWindowActive(form.get(), 20000))
            qWarning("the window did not become active");
        return form;
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void tabChain_data();
    void tabChain();
    void keysOpen_data();
    void keysOpen();
    void clickTakesNoFocus();
    void screenReader_data();
    void screenReader();

private:
    bool m_bridge = false;
};

void tst_WindowAccess::initTestCase()
{
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
    ControlsAccessibilityStartup();
    TForm1::ModuleStartup();
    m_bridge = accessibilityBridgeActive();
    QVERIFY2(m_bridge || !accessibilityBridgeExpected(), "the desktop's accessibility bridge never came up");
}

void tst_WindowAccess::cleanupTestCase()
{
    TForm1::ModuleShutdown();
    ControlsAccessibilityShutdown();
    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
}

void tst_WindowAccess::init()
{
    // Every test starts without stored last values.
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tiraso"))
        .removeRecursively();
}

void tst_WindowAccess::cleanup()
{
    cancelDialogWatchers();
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void tst_WindowAccess::tabChain_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::newRow("Tab") << false;
    QTest::newRow("Shift+Tab") << true;
}

void tst_WindowAccess::tabChain()
{
    QFETCH(bool, backwards);
    auto form = makeForm();
    const QList<QWidget*> chain = form->TabChain();
    // The editors first, in their tab order 0-4, where the window opens.
    QCOMPARE(
        chain.mid(0, 6),
        (QList<QWidget*>{form->spin__X, form->spin_x1, form->spin_x2, form->spin_y1, form->spin_y2, form->lbl_YErg}));
    QCOMPARE(chain.size(), 16);
    QList<QWidget*> visited{focusedControl()};
    for (int i = 1; i <= chain.size(); ++i) {
        press(backwards ? Qt::Key_Backtab : Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        visited << focusedControl();
    }
    if (backwards)
        std::reverse(visited.begin(), visited.end());
    QCOMPARE(visited, chain + QList<QWidget*>{chain.first()}); // and round again
}

void tst_WindowAccess::keysOpen_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("opens"); // a prompt's label, or "menu"

    const Request menuKey = [] { press(Qt::Key_Menu); };
    // What X11 and Windows make of the menu keys before the key arrives.
    const Request desktop = [] {
        QWidget* focus = QApplication::focusWidget();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), focus->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(focus, &event);
    };
    QTest::newRow("Return on the value at X")
        << "lbl_YErg" << Request([] { press(Qt::Key_Return); }) << "Neue Höhe zwischen y1 und y2:";
    QTest::newRow("Space on the total height")
        << "lbl_Hges" << Request([] { press(Qt::Key_Space); }) << "Neue Gesamthöhe:";
    QTest::newRow("Menu key in an editor") << "spin_x2" << menuKey << "menu";
    QTest::newRow("desktop's request in an editor: not the edit's own menu") << "spin_x2" << desktop << "menu";
    QTest::newRow("Shift+F10 on the switch")
        << "cb_PRZT" << Request([] { press(Qt::Key_F10, Qt::ShiftModifier); }) << "menu";
    QTest::newRow("Return on the info line: below it, not at the pointer")
        << "lbl_info" << Request([] { press(Qt::Key_Return); }) << "menu";
}

void tst_WindowAccess::keysOpen()
{
    QFETCH(QString, focus);
    QFETCH(Request, request);
    QFETCH(QString, opens);
    auto form = makeForm();
    QCursor::setPos(form->mapToGlobal(QPoint(400, 20)));
    QWidget* control = form->findChild<QWidget*>(focus);
    for (int i = 0; i < 20 && focusedControl() != control; ++i) // the way a keyboard gets there
        press(Qt::Key_Tab);
    // A focused plain label draws its own text: QLabel's rich-text document
    // for a text cursor would only slow the start.
    for (const QObject* child : control->children())
        QVERIFY(!child->inherits("QWidgetTextControl"));
    QWidget* origin = QApplication::focusWidget();
    if (opens != QLatin1String("menu")) {
        auto seen = std::make_shared<DialogSeen>();
        answerNextPrompt(seen, QString(), false);
        request();
        QTRY_VERIFY(seen->opened);
        QVERIFY2(seen->labels.contains(opens), qPrintable(seen->labels.join(QLatin1Char('|'))));
        // The keyboard goes back there when the window is active again.
        QCOMPARE(form->focusWidget(), control);
        return;
    }
    request();
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(form->PM_1));
    // Below the focused control, where the user is looking; moved left only
    // as far as the screen's edge demands.
    const QRect menu = form->PM_1->geometry();
    const QPoint below = origin->mapToGlobal(QPoint(0, origin->height()));
    QCOMPARE(menu.top(), below.y());
    if (menu.left() != below.x())
        QCOMPARE(menu.right(), form->screen()->geometry().right());
    request(); // while it is open: nothing more
    QCOMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(form->PM_1));
}

// Regression guard: the mouse works as it always did.
void tst_WindowAccess::clickTakesNoFocus()
{
    auto form = makeForm();
    const QImage before = form->lbl_LGes->grab().toImage();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString(), false);
    QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    QTRY_VERIFY(seen->opened);
    QTest::mouseClick(form->cb_PRZT, Qt::LeftButton);
    QCOMPARE(form->focusWidget(), form->spin__X->InnerEdit());
    QCOMPARE(form->lbl_LGes->grab().toImage(), before);
}

void tst_WindowAccess::screenReader_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nameAfter"); // x2 := 2; unchanged names must stay silent

    QTest::newRow("value at X") << "lbl_YErg" << int(QAccessible::Button) << "Wert bei X 0,330"
                                << "Wert bei X 0,165";
    QTest::newRow("total height") << "lbl_Hges" << int(QAccessible::Button) << "Gesamthöhe H=1,000"
                                  << "Gesamthöhe H=1,000";
    QTest::newRow("height at X, text only") << "lbl_xH" << int(QAccessible::StaticText) << "Höhe bei X H=0,330"
                                            << "Höhe bei X H=0,165";
    QTest::newRow("left length") << "lbl_LLi" << int(QAccessible::Button) << "Teillänge links 0,330"
                                 << "Teillänge links 0,330";
    QTest::newRow("menu line") << "lbl_info" << int(QAccessible::Button) << "Menü © Tiraso 05/2024"
                               << "Menü © Tiraso 05/2024";
}

void tst_WindowAccess::screenReader()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, nameAfter);
    auto form = makeForm();
    QAccessibleInterface* window = face(form.get());
    QWidget* widget = form->findChild<QWidget*>(control);
    QAccessibleInterface* iface = face(widget);
    QCOMPARE(iface->parent(), window);
    QTEST(int(iface->role()), "role");
    QCOMPARE(iface->text(QAccessible::Name), name);
    // Everything but the background picture, which is decoration.
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->childCount(), 18);
    for (int i = 0; i < window->childCount(); ++i)
        QVERIFY(window->child(i)->object() != form->PaintBox1 && window->indexOfChild(window->child(i)) == i);

    AccessibleEventLog log;
    form->spin_x2->setValueReal(2.0);
    form->Aktualisieren();
    QCOMPARE(iface->text(QAccessible::Name), nameAfter);
    // Qt passes notices on only to a desktop's bridge.
    if (m_bridge)
        QCOMPARE(log.count(widget, QAccessible::NameChanged), int(nameAfter != name));
}

TIRASO_TEST_MAIN(tst_WindowAccess)
#include "tst_WindowAccess.moc"
