// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The controls as assistive technology sees them, through Qt's accessibility
// API as the desktop bridge reads it, and as the keyboard reaches them.

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/RUVCheckBox.h"
#include "controls/RUVLabel.h"
#include "controls/SpezialSpin.h"
#include "tests/AccessibilitySupport.h"
#include "tests/TestSupport.h"

#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>

using namespace TestSupport;

namespace {

// One control of each kind on a window, set up as the main window sets them
// up; `clicks` counts OnClick of label and button, and the editor's reports.
struct Controls {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    TRUVLabel* label = new TRUVLabel(host.get());
    TRUVButton* button = new TRUVButton(host.get());
    TRUVCheckBox* box = new TRUVCheckBox(host.get());
    TSpezialSpin* spin = new TSpezialSpin(host.get());
    int clicks = 0;
    int reports = 0;

    Controls()
    {
        label->setGeometry(10, 10, 95, 20);
        label->setLabelBevel(TRUVLabel::bfsingle);
        label->setCaption(QStringLiteral("1,000"));
        button->setGeometry(120, 10, 24, 24);
        button->setHint(QStringLiteral("Speichern"));
        box->setGeometry(160, 10, 37, 20);
        box->setCaption(QStringLiteral("%"));
        box->setChecked(true);
        label->OnClick = button->OnClick = [this](QObject*) { ++clicks; };
        for (QWidget* control :
             {static_cast<QWidget*>(label), static_cast<QWidget*>(button), static_cast<QWidget*>(box)}) {
            control->setFocusPolicy(Qt::TabFocus);
            QPalette palette = control->palette();
            palette.setColor(QPalette::Highlight, QColor(0, 128, 255));
            control->setPalette(palette);
        }
        spin->setGeometry(10, 60, 103, 20);
        spin->setNachkommaStellen(3);
        spin->setTextBefore(QStringLiteral("X1 "));
        spin->setTabStop(true);
        spin->OnDelayedChange = [this](QObject*) { ++reports; };
        host->show();
        // A loaded window manager can take seconds to activate a new window.
        if (!QTest::qWaitForWindowActive(host.get(), 20000))
            qWarning("the window did not become active");
    }
};

QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// Picks a control, changing it first where a row says how.
using Setup = std::function<QWidget*(Controls&)>;
void asTheyAre(Controls&)
{
}
template<typename Member, typename Change = void (*)(Controls&)>
Setup pick(Member member, Change change = asTheyAre)
{
    return [=](Controls& c) {
        change(c);
        return static_cast<QWidget*>(c.*member);
    };
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ControlsAccessibilityStartup();
        m_bridge = accessibilityBridgeActive();
        QVERIFY2(m_bridge || !accessibilityBridgeExpected(), "the desktop's accessibility bridge never came up");
    }
    void cleanupTestCase() { ControlsAccessibilityShutdown(); }
    void rolesAndNames_data();
    void rolesAndNames();
    void readingDoesNotDisturbTyping();
    void actionsRunLater_data();
    void actionsRunLater();
    void valueFromAssistiveTechnology();
    void announcements_data();
    void announcements();
    void clickKeys_data();
    void clickKeys();
    void focusMarkOnlyFromTheKeyboard();
    void editorKeys_data();
    void editorKeys();

private:
    bool m_bridge = false;
};

void tst_Accessibility::rolesAndNames_data()
{
    // clang-format off
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    QTest::newRow("label out of the keyboard's reach is text") << pick(&Controls::label, [](Controls& c) {
        c.label->setFocusPolicy(Qt::NoFocus);
    }) << int(QAccessible::StaticText) << "1,000" << "";
    QTest::newRow("glyph button: its tool-tip, said once") << pick(&Controls::button) << int(QAccessible::Button)
                                                           << "Speichern" << "";
    QTest::newRow("group member is a radio button")
        << pick(&Controls::box, [](Controls& c) { c.box->setGroupIndex(1); }) << int(QAccessible::RadioButton) << "%"
        << "";
    QTest::newRow("editor: its prefix, or the owner's words") << pick(&Controls::spin, [](Controls& c) {
        c.spin->setAccessibleDescription(QStringLiteral("Stützstelle x1"));
    }) << int(QAccessible::SpinBox) << "X1" << "Stützstelle x1";
    // clang-format on
}

void tst_Accessibility::rolesAndNames()
{
    QFETCH(Setup, setup);
    Controls c;
    QAccessibleInterface* iface = face(setup(c));
    QTEST(int(iface->role()), "role");
    QTEST(iface->text(QAccessible::Name), "name");
    QTEST(iface->text(QAccessible::Description), "description");
    QCOMPARE(iface->parent()->object(), static_cast<QObject*>(c.host.get()));
}

// Regression: the value properties rewrite the text, so a screen reader
// reading them would throw away the formula the user is typing.
void tst_Accessibility::readingDoesNotDisturbTyping()
{
    Controls c;
    QLineEdit* edit = c.spin->InnerEdit();
    edit->setFocus(Qt::TabFocusReason); // all selected: typing replaces it
    QTest::keyClicks(edit, QStringLiteral("2*3"));
    QAccessibleInterface* iface = face(c.spin);
    QCOMPARE(iface->valueInterface()->currentValue().toDouble(), 2.0); // the plain number typed so far
    QCOMPARE(iface->textInterface()->text(0, 3), QStringLiteral("2*3"));
    QCOMPARE(edit->text(), QStringLiteral("2*3"));
    QVERIFY(c.spin->findChild<QTimer*>(QStringLiteral("DelayTimer"))->isActive());
}

void tst_Accessibility::actionsRunLater_data()
{
    // clang-format off
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("after"); // clicks, editor text, box ticked

    QTest::newRow("label pressed") << pick(&Controls::label) << QAccessibleActionInterface::pressAction()
                                   << "1 0,000 1";
    QTest::newRow("button pressed: a plain click, even after a Ctrl-click") << pick(&Controls::button, [](Controls& c) {
        QTest::mouseClick(c.button, Qt::LeftButton, Qt::ControlModifier);
    }) << QAccessibleActionInterface::pressAction() << "1 0,000 1";
    QTest::newRow("box toggled") << pick(&Controls::box) << QAccessibleActionInterface::toggleAction()
                                 << "0 0,000 0";
    QTest::newRow("editor increased") << pick(&Controls::spin) << QAccessibleActionInterface::increaseAction()
                                      << "0 0,001 1";
    QTest::newRow("disabled label: nothing")
        << pick(&Controls::label, [](Controls& c) { c.label->setEnabled(false); })
        << QAccessibleActionInterface::pressAction() << "0 0,000 1";
    // clang-format on
}

void tst_Accessibility::actionsRunLater()
{
    QFETCH(Setup, setup);
    QFETCH(QString, action);
    Controls c;
    const auto state = [&] {
        return QStringLiteral("%1 %2 %3").arg(c.clicks).arg(c.spin->InnerEdit()->text()).arg(int(c.box->Checked()));
    };
    QAccessibleActionInterface* actions = face(setup(c))->actionInterface();
    QVERIFY(actions->actionNames().contains(action));
    actions->doAction(action);
    // Not inside the request: a prompt the action opens must not hold up
    // the screen reader that asked for it.
    QCOMPARE(state(), QStringLiteral("0 0,000 1"));
    QTest::qWait(20);
    QTEST(state(), "after");
}

void tst_Accessibility::valueFromAssistiveTechnology()
{
    Controls c;
    QTest::keyClick(c.spin->InnerEdit(), Qt::Key_Return); // the first commit, as the window's
    c.reports = 0;
    QAccessibleValueInterface* value = face(c.spin)->valueInterface();
    value->setCurrentValue(0.0); // what it shows already: no report
    value->setCurrentValue(QStringLiteral("abc"));
    QCOMPARE(c.reports, 0);
    value->setCurrentValue(-2.5); // below the minimum: raised
    QCOMPARE(c.spin->InnerEdit()->text(), QStringLiteral("0,000"));
    value->setCurrentValue(1234.5);
    QCOMPARE(c.spin->InnerEdit()->text(), QStringLiteral("1.234,500"));
    QCOMPARE(c.reports, 1);
}

void tst_Accessibility::announcements_data()
{
    // clang-format off
    QTest::addColumn<Setup>("change");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");

    QTest::newRow("new result") << pick(&Controls::label, [](Controls& c) { c.label->setCaption(QStringLiteral("2,000")); })
                                << int(QAccessible::NameChanged) << 1;
    QTest::newRow("same result again") << pick(&Controls::label, [](Controls& c) { c.label->setCaption(QStringLiteral("1,000")); })
                                       << int(QAccessible::NameChanged) << 0;
    QTest::newRow("box cleared silently, still heard")
        << pick(&Controls::box, [](Controls& c) { c.box->SetCheckedSilent(false); }) << int(QAccessible::StateChanged)
        << 1;
    QTest::newRow("editor shows a new value") << pick(&Controls::spin, [](Controls& c) { c.spin->setValueReal(2); })
                                              << int(QAccessible::ValueChanged) << 1;
    QTest::newRow("change below the shown decimals")
        << pick(&Controls::spin, [](Controls& c) { c.spin->setValueReal(0.0001); }) << int(QAccessible::ValueChanged)
        << 0;
    // clang-format on
}

void tst_Accessibility::announcements()
{
    if (!m_bridge)
        QSKIP("no accessibility bridge offscreen; the desktop run checks this");
    QFETCH(Setup, change);
    QFETCH(int, type);
    Controls c;
    AccessibleEventLog log;
    QWidget* control = change(c);
    QTEST(log.count(control, QAccessible::Event(type)), "count");
}

void tst_Accessibility::clickKeys_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("pressHere");
    QTest::addColumn<QString>("after"); // clicks, box ticked

    QTest::newRow("label: keypad Enter") << pick(&Controls::label) << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
                                         << true << "1 1";
    QTest::newRow("label: Ctrl+Space is no click")
        << pick(&Controls::label) << int(Qt::Key_Space) << int(Qt::ControlModifier) << true << "0 1";
    QTest::newRow("label: a release whose press went elsewhere")
        << pick(&Controls::label) << int(Qt::Key_Return) << 0 << false << "0 1";
    QTest::newRow("box: Space toggles") << pick(&Controls::box) << int(Qt::Key_Space) << 0 << true << "0 0";
    QTest::newRow("box: Return does not") << pick(&Controls::box) << int(Qt::Key_Return) << 0 << true << "0 1";
}

void tst_Accessibility::clickKeys()
{
    QFETCH(Setup, setup);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, pressHere);
    Controls c;
    QWidget* control = setup(c);
    control->setFocus(Qt::TabFocusReason);
    if (pressHere)
        QTest::keyPress(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::keyRelease(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTEST(QStringLiteral("%1 %2").arg(c.clicks).arg(int(c.box->Checked())), "after");
}

void tst_Accessibility::focusMarkOnlyFromTheKeyboard()
{
    Controls c;
    // A click takes no focus, so it leaves no mark.
    c.spin->setFocus();
    QTest::mouseClick(c.label, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.spin->InnerEdit()));
    const QImage before = c.label->grab().toImage();
    c.label->setFocus(Qt::MouseFocusReason);
    QCOMPARE(c.label->grab().toImage(), before);
    // Tab: dotted, inside the frame and clear of it.
    c.spin->setFocus();
    c.label->setFocus(Qt::TabFocusReason);
    const QImage marked = c.label->grab().toImage();
    QCOMPARE(QColor(marked.pixel(2, 2)), QColor(0, 128, 255));
    QCOMPARE(QColor(marked.pixel(3, 2)), QColor(before.pixel(3, 2)));
    c.label->clearFocus();
    QCOMPARE(c.label->grab().toImage(), before);
}

void tst_Accessibility::editorKeys_data()
{
    QTest::addColumn<int>("focusReason");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("pressed"); // 0: none, only the release arrives
    QTest::addColumn<int>("released");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("reports");

    QTest::newRow("formula committed by Tab")
        << int(Qt::TabFocusReason) << "2*3" << int(Qt::Key_Tab) << int(Qt::Key_Tab) << 6.0 << 1;
    QTest::newRow("and by Shift+Tab") << int(Qt::TabFocusReason) << "2*3" << int(Qt::Key_Backtab)
                                      << int(Qt::Key_Backtab) << 6.0 << 1;
    QTest::newRow("passing through keeps the full value")
        << int(Qt::TabFocusReason) << "" << int(Qt::Key_Tab) << int(Qt::Key_Tab) << 1.23456 << 0;
    // Neither may round the value to the shown decimals or start a commit.
    QTest::newRow("the release of the Tab that brought the focus")
        << int(Qt::TabFocusReason) << "" << 0 << int(Qt::Key_Tab) << 1.23456 << 0;
    QTest::newRow("the release of the Enter that closed a prompt")
        << int(Qt::ActiveWindowFocusReason) << "" << 0 << int(Qt::Key_Return) << 1.23456 << 0;
}

void tst_Accessibility::editorKeys()
{
    QFETCH(int, focusReason);
    QFETCH(QString, typed);
    QFETCH(int, pressed);
    QFETCH(int, released);
    Controls c;
    c.spin->setValueReal(1.23456);
    QLineEdit* edit = c.spin->InnerEdit();
    edit->setFocus(Qt::FocusReason(focusReason));
    QTest::keyClicks(edit, typed);
    const auto modifiers = released == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    if (pressed)
        QTest::keyPress(edit, Qt::Key(pressed), modifiers);
    // The release goes where the focus is by then, as on a desktop.
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key(released), modifiers);
    QTEST(c.spin->CurrentValue(), "value");
    QTEST(c.reports, "reports");
    QVERIFY(!c.spin->findChild<QTimer*>(QStringLiteral("DelayTimer"))->isActive());
}

TIRASO_TEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
