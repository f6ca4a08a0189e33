// The main window without a mouse and through assistive technology: the Tab
// chain, the keys on the result fields, the menu keys, what a screen reader
// finds and hears.

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/tirasomain.h"
#include "tests/AccessibilitySupport.h"
#include "tests/TestSupport.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include <memory>

using namespace TestSupport;

namespace {

// What has the focus, reported as the control it belongs to (an editor's
// inner edit counts as the editor).
QWidget* focusedControl()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && qobject_cast<TSpezialSpin*>(focus->parentWidget()))
        return focus->parentWidget();
    return focus;
}

// A key pressed and released where the focus is, as a keyboard delivers it.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyPress(QApplication::focusWidget(), key, modifiers);
    QTest::keyRelease(QApplication::focusWidget(), key, modifiers);
}

QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

using Pick = std::function<QWidget*(TForm1&)>;
using Request = std::function<void()>;
using Act = std::function<void(TForm1&)>;
using Read = std::function<QString(TForm1&)>;

} // namespace

Q_DECLARE_METATYPE(Pick)
Q_DECLARE_METATYPE(Request)
Q_DECLARE_METATYPE(Act)
Q_DECLARE_METATYPE(Read)

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

    void opensInTheFirstEditor();
    void tabVisitsEverything();
    void shiftTabGoesBack();
    void hiddenHeightIsSkipped();
    void keysOpenResultPrompts_data();
    void keysOpenResultPrompts();
    void keysPressButtonsAndSwitch_data();
    void keysPressButtonsAndSwitch();
    void menuKeys_data();
    void menuKeys();
    void infoLineByKeyOpensBelowIt();
    void clickTakesNoFocus();
    void screenReaderFindsTheControls_data();
    void screenReaderFindsTheControls();
    void backgroundIsNotReported();
    void newResultsAreAnnounced_data();
    void newResultsAreAnnounced();
    void actionsReachTheWindow_data();
    void actionsReachTheWindow();

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
    if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        QVERIFY2(m_bridge, "the desktop's accessibility bridge did not come up");
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

void tst_WindowAccess::opensInTheFirstEditor()
{
    auto form = makeForm();
    QCOMPARE(focusedControl(), static_cast<QWidget*>(form->spin__X));
}

void tst_WindowAccess::tabVisitsEverything()
{
    auto form = makeForm();
    const QList<QWidget*> chain = form->TabChain();
    QCOMPARE(chain.size(), 16);
    // The editors in their tab order 0-4 first.
    QCOMPARE(chain.mid(0, 5), (QList<QWidget*>{form->spin__X, form->spin_x1, form->spin_x2, form->spin_y1,
                                               form->spin_y2}));
    QList<QWidget*> visited;
    for (int i = 0; i < chain.size(); ++i) {
        visited << focusedControl();
        press(Qt::Key_Tab);
    }
    QCOMPARE(visited, chain);
    QCOMPARE(focusedControl(), chain.first()); // round again
}

void tst_WindowAccess::shiftTabGoesBack()
{
    auto form = makeForm();
    const QList<QWidget*> chain = form->TabChain();
    QList<QWidget*> visited;
    for (int i = 0; i < chain.size(); ++i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        visited.prepend(focusedControl());
    }
    QCOMPARE(visited, chain);
}

void tst_WindowAccess::hiddenHeightIsSkipped()
{
    auto form = makeForm();
    form->spin_y2->setValueReal(0); // level: the height labels hide
    form->Aktualisieren();
    QVERIFY(form->lbl_Hges->isHidden());
    form->btn_copy1->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    QCOMPARE(focusedControl(), static_cast<QWidget*>(form->lbl_LLi));
}

void tst_WindowAccess::keysOpenResultPrompts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("prefilled");

    QTest::newRow("value at X, Return") << "lbl_YErg" << int(Qt::Key_Return) << "Neue Höhe zwischen y1 und y2:" << "0,330";
    QTest::newRow("total height, Space") << "lbl_Hges" << int(Qt::Key_Space) << "Neue Gesamthöhe:" << "1,000";
    QTest::newRow("left length, keypad Enter") << "lbl_LLi" << int(Qt::Key_Enter) << "Neue Teillänge:" << "0,330";
    QTest::newRow("right length, Space") << "lbl_LRe" << int(Qt::Key_Space) << "Neue Teillänge:" << "0,670";
    QTest::newRow("total length, Return") << "lbl_LGes" << int(Qt::Key_Return) << "Neue Gesamtlänge:" << "1,000";
    QTest::newRow("slope, Space") << "lbl_Neig" << int(Qt::Key_Space) << "Neue Neigung (in Prozent):" << "100,000";
}

void tst_WindowAccess::keysOpenResultPrompts()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, prompt);
    auto form = makeForm();
    auto* control = form->findChild<QWidget*>(field);
    // Reached with Tab from the editor before it in the chain.
    while (focusedControl() != control)
        press(Qt::Key_Tab);
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString(), false);
    press(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QTRY_VERIFY(seen->opened);
    QVERIFY2(seen->labels.contains(prompt), qPrintable(seen->labels.join(QLatin1Char('|'))));
    QTEST(seen->editText, "prefilled");
    // The keyboard goes back there when the window is active again.
    QCOMPARE(form->focusWidget(), control);
}

void tst_WindowAccess::keysPressButtonsAndSwitch_data()
{
    QTest::addColumn<Pick>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<Pick>("shows");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Space on the percent switch shows degrees")
        << Pick([](TForm1& f) { return f.cb_PRZT; }) << int(Qt::Key_Space)
        << Pick([](TForm1& f) { return f.lbl_Neig; }) << "45,000°";
    QTest::newRow("Return on the switch does nothing")
        << Pick([](TForm1& f) { return f.cb_PRZT; }) << int(Qt::Key_Return)
        << Pick([](TForm1& f) { return f.lbl_Neig; }) << "100,000%";
}

void tst_WindowAccess::keysPressButtonsAndSwitch()
{
    QFETCH(Pick, control);
    QFETCH(int, key);
    QFETCH(Pick, shows);
    auto form = makeForm();
    control(*form)->setFocus(Qt::TabFocusReason);
    press(Qt::Key(key));
    QTEST(static_cast<TRUVLabel*>(shows(*form))->Caption(), "expected");
}

void tst_WindowAccess::menuKeys_data()
{
    QTest::addColumn<Pick>("focus");
    QTest::addColumn<Request>("request");

    const Pick editor = [](TForm1& f) { return f.spin_x2; };
    const Pick result = [](TForm1& f) { return f.lbl_LGes; };
    const Pick height = [](TForm1& f) { return f.lbl_Hges; };
    const Pick box = [](TForm1& f) { return f.cb_PRZT; };
    const Pick button = [](TForm1& f) { return f.btn_Save; };
    const Request menuKey = [] { press(Qt::Key_Menu); };
    const Request shiftF10 = [] { press(Qt::Key_F10, Qt::ShiftModifier); };
    // What X11 and Windows make of the keys before the key itself arrives.
    const Request desktop = [] {
        QWidget* focus = QApplication::focusWidget();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), focus->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(focus, &event);
    };
    QTest::newRow("Menu key in an editor") << editor << menuKey;
    QTest::newRow("Shift+F10 in an editor") << editor << shiftF10;
    QTest::newRow("desktop's request in an editor, not the edit's own menu") << editor << desktop;
    QTest::newRow("Menu key on a result") << result << menuKey;
    QTest::newRow("desktop's request on a result") << result << desktop;
    QTest::newRow("desktop's request on the total height") << height << desktop;
    QTest::newRow("Shift+F10 on the switch") << box << shiftF10;
    QTest::newRow("desktop's request on a button") << button << desktop;
}

void tst_WindowAccess::menuKeys()
{
    QFETCH(Pick, focus);
    QFETCH(Request, request);
    auto form = makeForm();
    QWidget* origin = focus(*form);
    origin->setFocus(Qt::TabFocusReason);
    request();
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(form->PM_1));
    // Below the focused control, where the user is looking.
    QCOMPARE(form->PM_1->geometry().top(), QApplication::focusWidget()->mapToGlobal(QPoint(0, 0)).y()
                                               + QApplication::focusWidget()->height());
    // A second request while it is open opens nothing more.
    request();
    QCOMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(form->PM_1));
}

void tst_WindowAccess::infoLineByKeyOpensBelowIt()
{
    auto form = makeForm();
    QCursor::setPos(form->mapToGlobal(QPoint(400, 20)));
    form->lbl_info->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    QTRY_VERIFY(form->PM_1->isVisible());
    const QPoint expected = form->lbl_info->mapToGlobal(QPoint(0, form->lbl_info->height()));
    // The menu may be moved to stay on the screen, never to the pointer.
    QVERIFY(form->PM_1->geometry().topLeft() != QCursor::pos());
    QCOMPARE(form->PM_1->geometry().left(), expected.x());
}

void tst_WindowAccess::clickTakesNoFocus()
{
    auto form = makeForm();
    const QImage before = form->lbl_LGes->grab().toImage();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString(), false);
    QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    QTRY_VERIFY(seen->opened);
    QWidget* const edit = form->spin__X->InnerEdit();
    QCOMPARE(form->focusWidget(), edit);
    QTest::mouseClick(form->cb_PRZT, Qt::LeftButton);
    QTest::mouseClick(form->btn_copy1, Qt::LeftButton);
    QCOMPARE(form->focusWidget(), edit);
    QCOMPARE(form->lbl_LGes->grab().toImage(), before);
}

void tst_WindowAccess::screenReaderFindsTheControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("action");

    const QString press = QAccessibleActionInterface::pressAction();
    QTest::newRow("value at X") << "lbl_YErg" << QAccessible::Button << "Wert bei X 0,330" << press;
    QTest::newRow("total height") << "lbl_Hges" << QAccessible::Button << "Gesamthöhe H=1,000" << press;
    QTest::newRow("height at X, text only") << "lbl_xH" << QAccessible::StaticText << "Höhe bei X H=0,330" << "";
    QTest::newRow("left length") << "lbl_LLi" << QAccessible::Button << "Teillänge links 0,330" << press;
    QTest::newRow("right length") << "lbl_LRe" << QAccessible::Button << "Teillänge rechts 0,670" << press;
    QTest::newRow("total length") << "lbl_LGes" << QAccessible::Button << "Gesamtlänge 1,000" << press;
    QTest::newRow("slope") << "lbl_Neig" << QAccessible::Button << "Neigung 100,000%" << press;
    QTest::newRow("menu line") << "lbl_info" << QAccessible::Button << "Menü © Tiraso 05/2024" << press;
    QTest::newRow("save") << "btn_Save" << QAccessible::Button << "Speichern" << press;
    QTest::newRow("open") << "btn_load" << QAccessible::Button << "Öffnen" << press;
    QTest::newRow("copy") << "btn_copy1" << QAccessible::Button << "Wert kopieren" << press;
    QTest::newRow("percent switch") << "cb_PRZT" << QAccessible::CheckBox << "Neigung in Prozent"
                                    << QAccessibleActionInterface::toggleAction();
    QTest::newRow("editor x1") << "spin_x1" << QAccessible::SpinBox << "x1"
                               << QAccessibleActionInterface::increaseAction();
    QTest::newRow("editor X") << "spin__X" << QAccessible::SpinBox << "X"
                              << QAccessibleActionInterface::decreaseAction();
    QTest::newRow("slope caption") << "Label1" << QAccessible::StaticText << "Neigung:" << "";
}

void tst_WindowAccess::screenReaderFindsTheControls()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, action);
    auto form = makeForm();
    QAccessibleInterface* window = face(form.get());
    QAccessibleInterface* iface = face(form->findChild<QWidget*>(control));
    QVERIFY(iface);
    QVERIFY(window->indexOfChild(iface) >= 0);
    QCOMPARE(iface->role(), role);
    QTEST(iface->text(QAccessible::Name), "name");
    const QStringList actions = iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
    if (action.isEmpty())
        QVERIFY(!actions.contains(QAccessibleActionInterface::pressAction()));
    else
        QVERIFY2(actions.contains(action), qPrintable(actions.join(QLatin1Char(','))));
}

void tst_WindowAccess::backgroundIsNotReported()
{
    auto form = makeForm();
    QAccessibleInterface* window = face(form.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tiraso - Pravenda"));
    QStringList names;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        QVERIFY(child->object() != form->PaintBox1);
        QCOMPARE(child->parent()->object(), static_cast<QObject*>(form.get()));
        QCOMPARE(window->indexOfChild(child), i);
        names << child->text(QAccessible::Name);
    }
    // Ten that answer clicks, the switch, two texts, five editors.
    QCOMPARE(window->childCount(), 18);
    QVERIFY(!names.contains(QString()));
}

void tst_WindowAccess::newResultsAreAnnounced_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QStringList>("silent");

    QTest::newRow("longer interval") << "spin_x2" << 2.0
                                     << QStringList{"lbl_LRe", "lbl_LGes", "lbl_YErg", "lbl_xH", "lbl_Neig"}
                                     << QStringList{"lbl_LLi", "lbl_Hges"};
    QTest::newRow("higher end") << "spin_y2" << 3.0 << QStringList{"lbl_YErg", "lbl_xH", "lbl_Hges", "lbl_Neig"}
                                << QStringList{"lbl_LLi", "lbl_LRe", "lbl_LGes"};
    QTest::newRow("same value again") << "spin__X" << 0.33 << QStringList{}
                                      << QStringList{"lbl_LLi", "lbl_LRe", "lbl_LGes", "lbl_YErg", "lbl_xH",
                                                     "lbl_Hges", "lbl_Neig"};
}

void tst_WindowAccess::newResultsAreAnnounced()
{
    if (!m_bridge)
        QSKIP("no accessibility bridge offscreen; the desktop run checks this");
    QFETCH(QString, input);
    QFETCH(double, value);
    QFETCH(QStringList, announced);
    QFETCH(QStringList, silent);
    auto form = makeForm();
    AccessibleEventLog log;
    auto* editor = form->findChild<TSpezialSpin*>(input);
    editor->setValueReal(value);
    form->Aktualisieren();
    for (const QString& name : announced)
        QVERIFY2(log.count(form->findChild<QWidget*>(name), QAccessible::NameChanged) == 1, qPrintable(name));
    for (const QString& name : silent)
        QVERIFY2(log.count(form->findChild<QWidget*>(name), QAccessible::NameChanged) == 0, qPrintable(name));
}

void tst_WindowAccess::actionsReachTheWindow_data()
{
    QTest::addColumn<Act>("act");
    QTest::addColumn<Read>("read");
    QTest::addColumn<QString>("expected");

    const auto action = [](const char* control, const QString& name) {
        return Act([=](TForm1& f) { face(f.findChild<QWidget*>(control))->actionInterface()->doAction(name); });
    };
    const Read slope = [](TForm1& f) { return f.lbl_Neig->Caption(); };
    const Read length = [](TForm1& f) { return f.lbl_LGes->Caption(); };
    QTest::newRow("switch toggled: degrees") << action("cb_PRZT", QAccessibleActionInterface::toggleAction())
                                             << slope << "45,000°";
    QTest::newRow("x2 increased: longer") << action("spin_x2", QAccessibleActionInterface::increaseAction())
                                          << length << "1,001";
    QTest::newRow("x1 decreased: longer") << action("spin_x1", QAccessibleActionInterface::decreaseAction())
                                          << length << "1,001";
    QTest::newRow("x2 given a value: recomputed") << Act([](TForm1& f) {
        face(f.spin_x2)->valueInterface()->setCurrentValue(2.0);
    }) << length << "2,000";
    QTest::newRow("copy pressed: the value at X as text")
        << action("btn_copy1", QAccessibleActionInterface::pressAction())
        << Read([](TForm1&) { return QGuiApplication::clipboard()->text(); }) << "0,330";
}

void tst_WindowAccess::actionsReachTheWindow()
{
    QFETCH(Act, act);
    QFETCH(Read, read);
    QFETCH(QString, expected);
    auto form = makeForm();
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    act(*form);
    QTRY_COMPARE(read(*form), expected);
}

TIRASO_TEST_MAIN(tst_WindowAccess)
#include "tst_WindowAccess.moc"
