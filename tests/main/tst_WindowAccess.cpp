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
        if (!QTest::qWaitForWindowActive(form.get()))
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
    void keysOpenResultPrompts_data();
    void keysOpenResultPrompts();
    void menuKeys_data();
    void menuKeys();
    void clickTakesNoFocus();
    void screenReaderFindsTheControls_data();
    void screenReaderFindsTheControls();
    void newResultsAreAnnounced_data();
    void newResultsAreAnnounced();

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
    QCOMPARE(chain.mid(0, 6), (QList<QWidget*>{form->spin__X, form->spin_x1, form->spin_x2, form->spin_y1,
                                               form->spin_y2, form->lbl_YErg}));
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

void tst_WindowAccess::keysOpenResultPrompts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("value at X, Return") << "lbl_YErg" << int(Qt::Key_Return) << "Neue Höhe zwischen y1 und y2:";
    QTest::newRow("total height, Space") << "lbl_Hges" << int(Qt::Key_Space) << "Neue Gesamthöhe:";
}

void tst_WindowAccess::keysOpenResultPrompts()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, prompt);
    auto form = makeForm();
    auto* control = form->findChild<QWidget*>(field);
    while (focusedControl() != control)
        press(Qt::Key_Tab);
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString(), false);
    press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QTRY_VERIFY(seen->opened);
    QVERIFY2(seen->labels.contains(prompt), qPrintable(seen->labels.join(QLatin1Char('|'))));
    // The keyboard goes back there when the window is active again.
    QCOMPARE(form->focusWidget(), control);
}

void tst_WindowAccess::menuKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Request>("request");

    const Request menuKey = [] { press(Qt::Key_Menu); };
    const Request shiftF10 = [] { press(Qt::Key_F10, Qt::ShiftModifier); };
    // What X11 and Windows make of the keys before the key itself arrives.
    const Request desktop = [] {
        QWidget* focus = QApplication::focusWidget();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), focus->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(focus, &event);
    };
    QTest::newRow("Menu key in an editor") << "spin_x2" << menuKey;
    QTest::newRow("desktop's request in an editor: not the edit's own menu") << "spin_x2" << desktop;
    QTest::newRow("Shift+F10 on the switch") << "cb_PRZT" << shiftF10;
    QTest::newRow("Return on the info line: below it, not at the pointer")
        << "lbl_info" << Request([] { press(Qt::Key_Return); });
}

void tst_WindowAccess::menuKeys()
{
    QFETCH(QString, focus);
    QFETCH(Request, request);
    auto form = makeForm();
    QCursor::setPos(form->mapToGlobal(QPoint(400, 20)));
    form->findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
    QWidget* origin = QApplication::focusWidget();
    request();
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(form->PM_1));
    // Below the focused control, where the user is looking.
    QCOMPARE(form->PM_1->geometry().topLeft(), origin->mapToGlobal(QPoint(0, origin->height())));
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

void tst_WindowAccess::screenReaderFindsTheControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("value at X") << "lbl_YErg" << int(QAccessible::Button) << "Wert bei X 0,330";
    QTest::newRow("total height") << "lbl_Hges" << int(QAccessible::Button) << "Gesamthöhe H=1,000";
    QTest::newRow("height at X, text only") << "lbl_xH" << int(QAccessible::StaticText) << "Höhe bei X H=0,330";
    QTest::newRow("menu line") << "lbl_info" << int(QAccessible::Button) << "Menü © Tiraso 05/2024";
}

void tst_WindowAccess::screenReaderFindsTheControls()
{
    QFETCH(QString, control);
    auto form = makeForm();
    QAccessibleInterface* window = face(form.get());
    QAccessibleInterface* iface = face(form->findChild<QWidget*>(control));
    QCOMPARE(iface->parent(), window);
    QTEST(int(iface->role()), "role");
    QTEST(iface->text(QAccessible::Name), "name");
    // Everything but the background picture, which is decoration.
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->childCount(), 18);
    for (int i = 0; i < window->childCount(); ++i)
        QVERIFY(window->child(i)->object() != form->PaintBox1 && window->indexOfChild(window->child(i)) == i);
}

void tst_WindowAccess::newResultsAreAnnounced_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("announced"); // of the six result captions and the height at X

    QTest::newRow("longer interval") << "spin_x2" << 2.0
                                     << QStringList{"lbl_LRe", "lbl_LGes", "lbl_YErg", "lbl_xH", "lbl_Neig"};
}

void tst_WindowAccess::newResultsAreAnnounced()
{
    if (!m_bridge)
        QSKIP("no accessibility bridge offscreen; the desktop run checks this");
    QFETCH(QString, input);
    QFETCH(double, value);
    QFETCH(QStringList, announced);
    auto form = makeForm();
    AccessibleEventLog log;
    form->findChild<TSpezialSpin*>(input)->setValueReal(value);
    form->Aktualisieren();
    for (const char* name : {"lbl_LLi", "lbl_LRe", "lbl_LGes", "lbl_YErg", "lbl_xH", "lbl_Hges", "lbl_Neig"})
        QVERIFY2(log.count(form->findChild<QWidget*>(name), QAccessible::NameChanged)
                     == int(announced.contains(QLatin1String(name))),
                 name);
}

TIRASO_TEST_MAIN(tst_WindowAccess)
#include "tst_WindowAccess.moc"
