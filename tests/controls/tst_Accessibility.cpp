// The controls as assistive technology sees them (through Qt's own
// accessibility API, as the desktop bridge reads it) and as the keyboard
// reaches them.

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/RUVCheckBox.h"
#include "controls/RUVLabel.h"
#include "controls/SpezialSpin.h"
#include "tests/AccessibilitySupport.h"
#include "tests/TestSupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>

using namespace TestSupport;

namespace {

// A window with one control of each kind, set up as the main window sets
// them up, and its events counted.
struct Controls {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    TRUVLabel* label = new TRUVLabel(host.get());
    TRUVButton* button = new TRUVButton(host.get());
    TRUVCheckBox* box = new TRUVCheckBox(host.get());
    TSpezialSpin* spin = new TSpezialSpin(host.get());
    int clicks = 0;
    int ctrlClicks = 0;
    int shiftClicks = 0;
    int changes = 0;
    int spinChanges = 0;

    Controls()
    {
        host->resize(300, 120);
        label->setGeometry(10, 10, 95, 20);
        label->setLabelBevel(TRUVLabel::bfsingle);
        label->setColor(clWhite);
        label->setCaption(QStringLiteral("1,000"));
        label->setFocusPolicy(Qt::TabFocus);
        label->OnClick = [this](QObject*) { ++clicks; };
        button->setGeometry(120, 10, 24, 24);
        button->setCaptionPosition(TRUVButton::tp_none);
        button->setHint(QStringLiteral("Speichern"));
        button->setFocusPolicy(Qt::TabFocus);
        button->OnClick = [this](QObject*) { ++clicks; };
        button->OnSTRGClick = [this](QObject*) { ++ctrlClicks; };
        button->OnSHIFTClick = [this](QObject*) { ++shiftClicks; };
        box->setGeometry(160, 10, 37, 20);
        box->setCaption(QStringLiteral("%"));
        box->setChecked(true);
        box->setFocusPolicy(Qt::TabFocus);
        box->OnChange = [this](QObject*) { ++changes; };
        spin->setGeometry(10, 60, 103, 20);
        spin->setNachkommaStellen(3);
        spin->setMinValue(-1000000);
        spin->setTextBefore(QStringLiteral("X1 "));
        spin->setTabStop(true);
        spin->OnDelayedChange = [this](QObject*) { ++spinChanges; };
        for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(button),
                                 static_cast<QWidget*>(box)}) {
            QPalette palette = control->palette();
            palette.setColor(QPalette::Highlight, QColor(0, 128, 255));
            control->setPalette(palette);
        }
        host->show();
    }
};

QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

using Setup = std::function<QWidget*(Controls&)>;
using Effect = std::function<QVariant(Controls&)>;
using Change = std::function<QObject*(Controls&)>;

QImage picture(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Effect)
Q_DECLARE_METATYPE(Change)

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ControlsAccessibilityStartup();
        m_bridge = accessibilityBridgeActive();
        if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
            QVERIFY2(m_bridge, "the desktop's accessibility bridge did not come up");
    }
    void cleanupTestCase() { ControlsAccessibilityShutdown(); }

    void rolesAndNames_data();
    void rolesAndNames();
    void checkedStates_data();
    void checkedStates();
    void spinValue_data();
    void spinValue();
    void readingDoesNotDisturbTyping();
    void spinTakesAValue_data();
    void spinTakesAValue();
    void actions_data();
    void actions();
    void announcements_data();
    void announcements();
    void clickKeys_data();
    void clickKeys();
    void focusMark_data();
    void focusMark();
    void tabLeavesEditor_data();
    void tabLeavesEditor();
    void releaseFromElsewhereIsIgnored_data();
    void releaseFromElsewhereIsIgnored();

private:
    bool m_bridge = false;
};

void tst_Accessibility::rolesAndNames_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    QTest::newRow("result label: what it is, then what it shows") << Setup([](Controls& c) {
        c.label->setAccessibleName(QStringLiteral("Gesamtlänge"));
        return c.label;
    }) << QAccessible::Button << "Gesamtlänge 1,000" << "";
    QTest::newRow("label without a title reads its caption")
        << Setup([](Controls& c) { return c.label; }) << QAccessible::Button << "1,000" << "";
    QTest::newRow("empty caption reads the placeholder") << Setup([](Controls& c) {
        c.label->setAccessibleName(QStringLiteral("Datei"));
        c.label->setCaption(QString());
        c.label->setNoChooseCaption(QStringLiteral("keine"));
        return c.label;
    }) << QAccessible::Button << "Datei keine" << "";
    QTest::newRow("label out of the keyboard's reach is text") << Setup([](Controls& c) {
        c.label->setFocusPolicy(Qt::NoFocus);
        return c.label;
    }) << QAccessible::StaticText << "1,000" << "";
    QTest::newRow("hyperlink label is a link") << Setup([](Controls& c) {
        c.label->setFocusPolicy(Qt::NoFocus);
        c.label->setLabelTyp(TRUVLabel::lthyperlink);
        return c.label;
    }) << QAccessible::Link << "1,000" << "";
    QTest::newRow("glyph button named by its tool-tip, said once")
        << Setup([](Controls& c) { return c.button; }) << QAccessible::Button << "Speichern" << "";
    QTest::newRow("owner's name wins, tool-tip describes") << Setup([](Controls& c) {
        c.button->setAccessibleName(QStringLiteral("Werte speichern"));
        return c.button;
    }) << QAccessible::Button << "Werte speichern" << "Speichern";
    QTest::newRow("button caption before its tool-tip") << Setup([](Controls& c) {
        c.button->setCaption(QStringLiteral("Sichern"));
        return c.button;
    }) << QAccessible::Button << "Sichern" << "Speichern";
    QTest::newRow("check box named by what it switches") << Setup([](Controls& c) {
        c.box->setAccessibleName(QStringLiteral("Neigung in Prozent"));
        return c.box;
    }) << QAccessible::CheckBox << "Neigung in Prozent" << "";
    QTest::newRow("check box without a name reads its caption")
        << Setup([](Controls& c) { return c.box; }) << QAccessible::CheckBox << "%" << "";
    QTest::newRow("group member is a radio button") << Setup([](Controls& c) {
        c.box->setGroupIndex(1);
        return c.box;
    }) << QAccessible::RadioButton << "%" << "";
    QTest::newRow("editor named by its prefix")
        << Setup([](Controls& c) { return c.spin; }) << QAccessible::SpinBox << "X1" << "";
    QTest::newRow("editor named by its owner") << Setup([](Controls& c) {
        c.spin->setAccessibleName(QStringLiteral("x1"));
        c.spin->setAccessibleDescription(QStringLiteral("Stützstelle x1"));
        return c.spin;
    }) << QAccessible::SpinBox << "x1" << "Stützstelle x1";
}

void tst_Accessibility::rolesAndNames()
{
    QFETCH(Setup, setup);
    QFETCH(QAccessible::Role, role);
    Controls c;
    QAccessibleInterface* iface = face(setup(c));
    QVERIFY(iface);
    QCOMPARE(iface->role(), role);
    QTEST(iface->text(QAccessible::Name), "name");
    QTEST(iface->text(QAccessible::Description), "description");
    QCOMPARE(iface->parent()->object(), static_cast<QObject*>(c.host.get()));
}

void tst_Accessibility::checkedStates_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");

    QTest::newRow("ticked box") << Setup([](Controls& c) { return c.box; }) << true << true;
    QTest::newRow("box cleared without notice") << Setup([](Controls& c) {
        c.box->SetCheckedSilent(false);
        return c.box;
    }) << true << false;
    QTest::newRow("push button is no toggle") << Setup([](Controls& c) { return c.button; }) << false << false;
    QTest::newRow("toggle button held down") << Setup([](Controls& c) {
        c.button->setNormalFlat(false);
        c.button->setDown(true);
        return c.button;
    }) << true << true;
}

void tst_Accessibility::checkedStates()
{
    QFETCH(Setup, setup);
    Controls c;
    const QAccessible::State state = face(setup(c))->state();
    QTEST(bool(state.checkable), "checkable");
    QTEST(bool(state.checked), "checked");
}

void tst_Accessibility::spinValue_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("reportedMaximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("text");

    QTest::newRow("no upper bound") << 3 << 0.0 << 0.33 << std::numeric_limits<double>::max() << 0.001 << "0,330";
    QTest::newRow("bounded above") << 2 << 10.0 << 12.0 << 10.0 << 0.01 << "10,00";
    QTest::newRow("full precision, rounded text") << 3 << 0.0 << 1234.56789
                                                  << std::numeric_limits<double>::max() << 0.001 << "1.234,568";
}

void tst_Accessibility::spinValue()
{
    QFETCH(int, decimals);
    QFETCH(double, maximum);
    QFETCH(double, value);
    Controls c;
    c.spin->setNachkommaStellen(decimals);
    c.spin->setMaxValue(maximum);
    c.spin->setValueReal(value);
    QAccessibleInterface* iface = face(c.spin);
    QAccessibleValueInterface* v = iface->valueInterface();
    QVERIFY(v);
    QCOMPARE(v->currentValue().toDouble(), qMin(value, maximum > 0 ? maximum : value));
    QCOMPARE(v->minimumValue().toDouble(), -1000000.0);
    QTEST(v->maximumValue().toDouble(), "reportedMaximum");
    QTEST(v->minimumStepSize().toDouble(), "step");
    QAccessibleTextInterface* t = iface->textInterface();
    QVERIFY(t);
    QTEST(t->text(0, t->characterCount()), "text");
    QTEST(iface->text(QAccessible::Value), "text");
}

// A screen reader reads the editor while the user types; the value
// properties would throw the typed formula away.
void tst_Accessibility::readingDoesNotDisturbTyping()
{
    Controls c;
    c.spin->setChangeDelay(5000);
    QLineEdit* edit = c.spin->InnerEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("2*3"));
    auto* delay = c.spin->findChild<QTimer*>(QStringLiteral("DelayTimer"));
    QVERIFY(delay->isActive());

    QAccessibleInterface* iface = face(c.spin);
    QCOMPARE(iface->valueInterface()->currentValue().toDouble(), 2.0); // the plain number typed so far
    QCOMPARE(iface->textInterface()->text(0, 3), QStringLiteral("2*3"));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2*3"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("X1"));

    QCOMPARE(edit->text(), QStringLiteral("2*3"));
    QVERIFY(delay->isActive());
    QCOMPARE(c.spinChanges, 0);
}

void tst_Accessibility::spinTakesAValue_data()
{
    QTest::addColumn<QVariant>("entered");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reports");

    QTest::newRow("a new value is reported") << QVariant(2.5) << 2.5 << "2,500" << 1;
    QTest::newRow("below the minimum is raised") << QVariant(-5e6) << -1000000.0 << "-1.000.000,000" << 1;
    QTest::newRow("the shown value again is no change") << QVariant(0.0) << 0.0 << "0,000" << 0;
    QTest::newRow("not a number is refused") << QVariant(QStringLiteral("abc")) << 0.0 << "0,000" << 0;
}

void tst_Accessibility::spinTakesAValue()
{
    QFETCH(QVariant, entered);
    Controls c;
    // Committed once, as the window's first commit would have done.
    QTest::keyClick(c.spin->InnerEdit(), Qt::Key_Return);
    c.spinChanges = 0;
    face(c.spin)->valueInterface()->setCurrentValue(entered);
    QTEST(c.spin->CurrentValue(), "value");
    QTEST(c.spin->InnerEdit()->text(), "text");
    QTEST(c.spinChanges, "reports");
}

void tst_Accessibility::actions_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("action");
    QTest::addColumn<Effect>("effect");
    QTest::addColumn<QVariant>("expected");

    const Effect clicks = [](Controls& c) { return QVariant(c.clicks); };
    QTest::newRow("label pressed") << Setup([](Controls& c) { return c.label; })
                                   << QAccessibleActionInterface::pressAction() << clicks << QVariant(1);
    QTest::newRow("button pressed: a plain click even after a Ctrl-click") << Setup([](Controls& c) {
        QTest::mouseClick(c.button, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
        c.ctrlClicks = 0;
        return c.button;
    }) << QAccessibleActionInterface::pressAction() << Effect([](Controls& c) {
        return QVariant(QPoint(c.clicks, c.ctrlClicks));
    }) << QVariant(QPoint(1, 0));
    QTest::newRow("check box toggled") << Setup([](Controls& c) { return c.box; })
                                       << QAccessibleActionInterface::toggleAction() << Effect([](Controls& c) {
                                              return QVariant(QPoint(c.box->Checked(), c.changes));
                                          }) << QVariant(QPoint(0, 1));
    QTest::newRow("editor increased") << Setup([](Controls& c) { return c.spin; })
                                      << QAccessibleActionInterface::increaseAction() << Effect([](Controls& c) {
                                             return QVariant(c.spin->InnerEdit()->text());
                                         }) << QVariant(QStringLiteral("0,001"));
    QTest::newRow("editor decreased, and reported") << Setup([](Controls& c) { return c.spin; })
                                                    << QAccessibleActionInterface::decreaseAction()
                                                    << Effect([](Controls& c) {
                                                           return QVariant(QPoint(qRound(c.spin->CurrentValue() * 1000),
                                                                                  c.spinChanges));
                                                       }) << QVariant(QPoint(-1, 1));
    QTest::newRow("disabled label does nothing") << Setup([](Controls& c) {
        c.label->setEnabled(false);
        return c.label;
    }) << QAccessibleActionInterface::pressAction() << clicks << QVariant(0);
}

void tst_Accessibility::actions()
{
    QFETCH(Setup, setup);
    QFETCH(QString, action);
    QFETCH(Effect, effect);
    QFETCH(QVariant, expected);
    Controls c;
    QAccessibleInterface* iface = face(setup(c));
    QVERIFY(iface->actionInterface()->actionNames().contains(action));
    const QVariant before = effect(c);
    iface->actionInterface()->doAction(action);
    // Not inside the request: a prompt it opens must not hold up the caller.
    QCOMPARE(effect(c), before);
    if (expected == before)
        QTest::qWait(20);
    QTRY_COMPARE(effect(c), expected);
}

void tst_Accessibility::announcements_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QAccessible::Event>("type");
    QTest::addColumn<int>("count");

    QTest::newRow("new result") << Change([](Controls& c) {
        c.label->setCaption(QStringLiteral("2,000"));
        return c.label;
    }) << QAccessible::NameChanged << 1;
    QTest::newRow("same result written again") << Change([](Controls& c) {
        c.label->setCaption(QStringLiteral("1,000"));
        return c.label;
    }) << QAccessible::NameChanged << 0;
    QTest::newRow("button caption") << Change([](Controls& c) {
        c.button->setCaption(QStringLiteral("OK"));
        return c.button;
    }) << QAccessible::NameChanged << 1;
    QTest::newRow("box cleared silently, still heard") << Change([](Controls& c) {
        c.box->SetCheckedSilent(false);
        return c.box;
    }) << QAccessible::StateChanged << 1;
    QTest::newRow("box set to what it is") << Change([](Controls& c) {
        c.box->setChecked(true);
        return c.box;
    }) << QAccessible::StateChanged << 0;
    QTest::newRow("box clicked") << Change([](Controls& c) {
        QTest::mouseClick(c.box, Qt::LeftButton);
        return c.box;
    }) << QAccessible::StateChanged << 1;
    QTest::newRow("group member cleared by another") << Change([](Controls& c) {
        c.box->setGroupIndex(1);
        auto* other = new TRUVCheckBox(c.host.get());
        other->setGroupIndex(1);
        other->setChecked(true);
        return c.box;
    }) << QAccessible::StateChanged << 1;
    QTest::newRow("editor shows a new value") << Change([](Controls& c) {
        c.spin->setValueReal(2);
        return c.spin;
    }) << QAccessible::ValueChanged << 1;
    QTest::newRow("change below the shown decimals") << Change([](Controls& c) {
        c.spin->setValueReal(0.0001);
        return c.spin;
    }) << QAccessible::ValueChanged << 0;
}

void tst_Accessibility::announcements()
{
    if (!m_bridge)
        QSKIP("no accessibility bridge offscreen; the desktop run checks this");
    QFETCH(Change, change);
    QFETCH(QAccessible::Event, type);
    Controls c;
    AccessibleEventLog log;
    QObject* object = change(c);
    QTEST(log.count(object, type), "count");
}

void tst_Accessibility::clickKeys_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("pressHere");
    QTest::addColumn<QPoint>("clicksAndShift"); // OnClick count, OnSHIFTClick count
    QTest::addColumn<bool>("boxChecked");

    const Setup label = [](Controls& c) { return c.label; };
    const Setup button = [](Controls& c) { return c.button; };
    const Setup box = [](Controls& c) { return c.box; };
    QTest::newRow("label: Space") << label << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true
                                  << QPoint(1, 0) << true;
    QTest::newRow("label: Return") << label << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true
                                   << QPoint(1, 0) << true;
    QTest::newRow("label: keypad Enter") << label << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                         << true << QPoint(1, 0) << true;
    QTest::newRow("label: Ctrl+Space is not a click") << label << int(Qt::Key_Space)
                                                       << Qt::KeyboardModifiers(Qt::ControlModifier) << true
                                                       << QPoint(0, 0) << true;
    QTest::newRow("label: a release whose press went elsewhere") << label << int(Qt::Key_Return)
                                                                 << Qt::KeyboardModifiers() << false << QPoint(0, 0)
                                                                 << true;
    QTest::newRow("button: Space") << button << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true
                                   << QPoint(1, 0) << true;
    QTest::newRow("button: Shift+Return is a Shift-click") << button << int(Qt::Key_Return)
                                                           << Qt::KeyboardModifiers(Qt::ShiftModifier) << true
                                                           << QPoint(0, 1) << true;
    QTest::newRow("box: Space toggles") << box << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true
                                        << QPoint(0, 0) << false;
    QTest::newRow("box: Return does not") << box << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true
                                          << QPoint(0, 0) << true;
}

void tst_Accessibility::clickKeys()
{
    QFETCH(Setup, setup);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, pressHere);
    Controls c;
    QVERIFY(QTest::qWaitForWindowActive(c.host.get()));
    QWidget* control = setup(c);
    control->setFocus(Qt::TabFocusReason);
    if (pressHere)
        QTest::keyPress(control, Qt::Key(key), modifiers);
    QTest::keyRelease(control, Qt::Key(key), modifiers);
    QTEST(QPoint(c.clicks, c.shiftClicks), "clicksAndShift");
    QTEST(c.box->Checked(), "boxChecked");
}

void tst_Accessibility::focusMark_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QPoint>("dot");
    QTest::addColumn<bool>("marked");

    const Setup label = [](Controls& c) { return c.label; };
    const Setup button = [](Controls& c) { return c.button; };
    const Setup box = [](Controls& c) { return c.box; };
    // Inside a frame, clear of it; one pixel in on the button and the box.
    QTest::newRow("label: Tab") << label << int(Qt::TabFocusReason) << QPoint(2, 2) << true;
    QTest::newRow("label: Shift+Tab") << label << int(Qt::BacktabFocusReason) << QPoint(2, 2) << true;
    QTest::newRow("label: mouse") << label << int(Qt::MouseFocusReason) << QPoint(2, 2) << false;
    QTest::newRow("button: Tab") << button << int(Qt::TabFocusReason) << QPoint(1, 1) << true;
    QTest::newRow("box: Tab") << box << int(Qt::TabFocusReason) << QPoint(1, 1) << true;
    QTest::newRow("box: mouse") << box << int(Qt::MouseFocusReason) << QPoint(1, 1) << false;
}

void tst_Accessibility::focusMark()
{
    QFETCH(Setup, setup);
    QFETCH(int, reason);
    QFETCH(QPoint, dot);
    QFETCH(bool, marked);
    Controls c;
    QVERIFY(QTest::qWaitForWindowActive(c.host.get()));
    QWidget* control = setup(c);

    // A click never takes the focus, so it leaves no mark either.
    c.spin->setFocus();
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.spin->InnerEdit()));
    c.box->setChecked(true);
    const QImage before = picture(control);

    control->setFocus(Qt::FocusReason(reason));
    QVERIFY(control->hasFocus());
    const QImage focused = picture(control);
    QCOMPARE(focused.pixel(dot) == QColor(0, 128, 255).rgb(), marked);
    QCOMPARE(focused != before, marked);
    // Gone with the focus.
    control->clearFocus();
    QCOMPARE(picture(control), before);
}

void tst_Accessibility::tabLeavesEditor_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("typed"); // null: passes through without typing
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reports");

    QTest::newRow("typed formula committed by Tab") << 0.0 << "2*3" << int(Qt::Key_Tab) << 6.0 << "6,000" << 1;
    QTest::newRow("and by Shift+Tab") << 0.0 << "2*3" << int(Qt::Key_Backtab) << 6.0 << "6,000" << 1;
    QTest::newRow("text that is no number keeps the value") << 1.5 << "*2" << int(Qt::Key_Tab) << 1.5 << "1,500"
                                                            << 1;
    QTest::newRow("passing through keeps the full value") << 0.33333 << QString() << int(Qt::Key_Tab) << 0.33333
                                                          << "0,333" << 0;
}

void tst_Accessibility::tabLeavesEditor()
{
    QFETCH(double, start);
    QFETCH(QString, typed);
    QFETCH(int, key);
    Controls c;
    QVERIFY(QTest::qWaitForWindowActive(c.host.get()));
    c.spin->setChangeDelay(5000);
    c.spin->setValueReal(start);
    QLineEdit* edit = c.spin->InnerEdit();
    edit->setFocus(Qt::TabFocusReason);
    if (!typed.isNull()) {
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }
    // The release goes where the focus went, as on a desktop.
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    QTest::keyPress(edit, Qt::Key(key), modifiers);
    QVERIFY(!edit->hasFocus());
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key(key), modifiers);
    QTEST(c.spin->CurrentValue(), "value");
    QTEST(edit->text(), "text");
    QTEST(c.spinChanges, "reports");
}

void tst_Accessibility::releaseFromElsewhereIsIgnored_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("key");

    // The Tab that moved the focus here, the Enter that closed a prompt over
    // the window: their releases must neither round the value to the shown
    // decimals nor start or run a commit.
    QTest::newRow("Tab release after Tab") << int(Qt::TabFocusReason) << int(Qt::Key_Tab);
    QTest::newRow("Shift release after Shift+Tab") << int(Qt::BacktabFocusReason) << int(Qt::Key_Shift);
    QTest::newRow("Enter release after a prompt") << int(Qt::ActiveWindowFocusReason) << int(Qt::Key_Return);
}

void tst_Accessibility::releaseFromElsewhereIsIgnored()
{
    QFETCH(int, reason);
    QFETCH(int, key);
    Controls c;
    QVERIFY(QTest::qWaitForWindowActive(c.host.get()));
    c.spin->setValueReal(0.33333);
    QLineEdit* edit = c.spin->InnerEdit();
    edit->setFocus(Qt::FocusReason(reason));
    QTest::keyRelease(edit, Qt::Key(key));
    auto* delay = c.spin->findChild<QTimer*>(QStringLiteral("DelayTimer"));
    QVERIFY(!delay->isActive());
    QCOMPARE(c.spin->CurrentValue(), 0.33333);
    QCOMPARE(c.spinChanges, 0);
    // Its own keys still count.
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(edit->text(), QStringLiteral("0,334"));
}

TIRASO_TEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
