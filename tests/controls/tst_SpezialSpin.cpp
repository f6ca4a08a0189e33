// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/SpezialSpin.h"

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "tests/TestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMetaProperty>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr QRgb kBackdrop = 0xFFFF00FF; // shows where the control paints nothing

QRgb rgb(TColor color)
{
    return ToQColor(color).rgb();
}

// Reaches the glyph drawing, which is otherwise only used from paintEvent.
class GlyphProbe : public TSpezialSpin
{
public:
    using TSpezialSpin::ArrowGlyphExtent;
    using TSpezialSpin::DrawArrowGlyph;
};

struct KeyReport {
    quint16 key;
    Qt::KeyboardModifiers shift;
};

// One editor on a host window, with its events counted.
struct Editor {
    std::unique_ptr<QWidget> host;
    TSpezialSpin* spin = nullptr;
    QLineEdit* edit = nullptr;
    QTimer* delay = nullptr;
    QTimer* repeat = nullptr;
    int changes = 0;
    int strgEnter = 0;
    QList<KeyReport> keys;
    QString textAtStrgEnter;

    int left() const { return spin->BoxRect().x(); }
};

// The settings the main window gives all five editors (prefix of x1),
// applied in the published order.
std::unique_ptr<Editor> windowEditor()
{
    auto e = std::make_unique<Editor>();
    e->host = std::make_unique<QWidget>();
    e->host->resize(200, 60);
    auto* spin = new TSpezialSpin(e->host.get());
    spin->setGeometry(10, 10, 103, 20);
    spin->setNachkommaStellen(3);
    spin->setChangeDelay(5000);
    spin->setValueReal(0);
    spin->setMaxValue(0);
    spin->setMinValue(-1000000);
    spin->setMarginTop(0);
    spin->setEditorEnabled(true);
    spin->setTextCenter(true);
    spin->setColor(clBlack);
    spin->setBorderWidth(1);
    spin->setBorderColWidth1(clBlue);
    spin->setArrowSize(12);
    spin->setArrowColor(clBtnText);
    spin->setTextBefore(QStringLiteral("X1 "));
    spin->setTextSpacing(0);
    spin->setEditorColor(clBlack);
    spin->setTausenderZeichen(true);
    spin->setAllowArrowKeyChange(true);
    spin->setPlusZeichenPositiveWerte(false);
    spin->setTextBeforeSubScriptcCount(1);
    Editor* raw = e.get();
    spin->OnDelayedChange = [raw](QObject*) { ++raw->changes; };
    spin->OnKeySTRGENTER = [raw](QObject*) {
        ++raw->strgEnter;
        raw->textAtStrgEnter = raw->edit->text();
    };
    spin->OnArrowKeyChanged = [raw](QObject*, quint16 key, Qt::KeyboardModifiers shift) {
        raw->keys.append({key, shift});
    };
    spin->Font()->setName(QStringLiteral("Tahoma"));
    spin->Font()->setHeight(-11);
    spin->Font()->setColor(clBtnText);
    e->spin = spin;
    e->edit = spin->findChild<QLineEdit*>(QStringLiteral("InnerEdit"));
    e->delay = spin->findChild<QTimer*>(QStringLiteral("DelayTimer"));
    e->repeat = spin->findChild<QTimer*>(QStringLiteral("RepeatTimer"));
    return e;
}

// Replaces the edit's text by typing, so every key release is seen.
void typeText(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

QImage render(TSpezialSpin* spin)
{
    QImage image(spin->size(), QImage::Format_RGB32);
    image.fill(kBackdrop);
    spin->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Bounding box of the pixels of one colour inside an area.
QRect inkBox(const QImage& image, const QRect& area, QRgb color)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Closes the general error box whenever one opens and keeps its text.
class ErrorBoxCloser
{
public:
    ErrorBoxCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace

class tst_SpezialSpin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TSpezialSpin::ModuleStartup(); }
    void cleanupTestCase() { TSpezialSpin::ModuleShutdown(); }
    void cleanup();

    void initialState_data();
    void initialState();
    void formatting_data();
    void formatting();
    void plusSignWaitsForNextUpdate();
    void bounds_data();
    void bounds();
    void wholeAndFractionParts_data();
    void wholeAndFractionParts();
    void stepSizeFollowsDecimals_data();
    void stepSizeFollowsDecimals();
    void clamping_data();
    void clamping();
    void descriptionOrderRaisesNegativeValue();

    void typedTextUpdatesValue_data();
    void typedTextUpdatesValue();
    void commit_data();
    void commit();
    void typedFormulaCommits_data();
    void typedFormulaCommits();
    void emptyTextIsNotEvaluated();
    void commitReportsWhatTheValueDoes();
    void readingValueCancelsPendingCommit_data();
    void readingValueCancelsPendingCommit();
    void writingTheSameSetting_data();
    void writingTheSameSetting();
    void commitPendingText_data();
    void commitPendingText();
    void keyPressStopsPendingCommit();
    void calculatorFailureReachesErrorHandler_data();
    void calculatorFailureReachesErrorHandler();
    void handlerMayDeleteTheControl_data();
    void handlerMayDeleteTheControl();

    void keys_data();
    void keys();
    void ctrlEnterCommitsBeforeReporting();
    void releaseBelongsToItsPress();
    void keyStepsDoNotAccelerate();
    void readOnlyEditorStillSteps();
    void wheel_data();
    void wheel();
    void wheelStepsFromTypedText();

    void mouseClick_data();
    void mouseClick();
    void holdingDownCellAccelerates();
    void holdEndsWhenDisabled();
    void holdEndsWhenTheMouseIsLost_data();
    void holdEndsWhenTheMouseIsLost();
    void pressFocusesEditAndStopsDelay();
    void commitLeavesCaretOrSelection_data();
    void commitLeavesCaretOrSelection();
    void tabNeverEntersByDefault_data();
    void tabNeverEntersByDefault();
    void setFocusReachesEdit();
    void enablingFollowsToEdit();

    void layout_data();
    void layout();
    void framePixels_data();
    void framePixels();
    void arrowGlyphs_data();
    void arrowGlyphs();
    void loweredPrefixTail_data();
    void loweredPrefixTail();
    void disabledPrefixIsEmbossed();
    void ownBackgroundWithoutParentColor();
    void triangleMatchesSymbolFont_data();
    void triangleMatchesSymbolFont();
    void arrowsAtPixelRatios_data();
    void arrowsAtPixelRatios();
};

void tst_SpezialSpin::cleanup()
{
    TestSupport::cancelDialogWatchers();
}

// Value model ------------------------------------------------------------------

void tst_SpezialSpin::initialState_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("ChangeDelay") << "ChangeDelay" << QVariant(1500);
    QTest::newRow("BorderWidth") << "BorderWidth" << QVariant(2);
    QTest::newRow("ArrowSize") << "ArrowSize" << QVariant(8);
    QTest::newRow("TextSpacing") << "TextSpacing" << QVariant(4);
    QTest::newRow("BorderColWidth1") << "BorderColWidth1" << QVariant::fromValue<TColor>(clBlue);
    QTest::newRow("ArrowColor") << "ArrowColor" << QVariant::fromValue<TColor>(clBtnText);
    QTest::newRow("EditorColor") << "EditorColor" << QVariant::fromValue<TColor>(clBlack);
    QTest::newRow("EditorEnabled") << "EditorEnabled" << QVariant(true);
    QTest::newRow("AllowArrowKeyChange") << "AllowArrowKeyChange" << QVariant(true);
    QTest::newRow("TausenderZeichen") << "TausenderZeichen" << QVariant(true);
    QTest::newRow("TextCenter") << "TextCenter" << QVariant(false);
    QTest::newRow("TabStop") << "TabStop" << QVariant(false);
    QTest::newRow("NachkommaStellen") << "NachkommaStellen" << QVariant(0);
}

void tst_SpezialSpin::initialState()
{
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    TSpezialSpin spin;
    QCOMPARE(spin.property(property.toLatin1()), expected);
    QCOMPARE(spin.size(), QSize(120, 20));
    // The first text comes from the edit's own start value, not from a format.
    QCOMPARE(spin.InnerEdit()->text(), QStringLiteral("0"));
    QCOMPARE(spin.Font()->Name(), QStringLiteral("Tahoma"));
    QCOMPARE(spin.Font()->Color(), clBtnText);
}

void tst_SpezialSpin::formatting_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("grouping");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("grouped, 3 places") << 3 << true << false << 1234.5 << "1.234,500";
    QTest::newRow("ungrouped, 3 places") << 3 << false << false << 1234.5 << "1234,500";
    QTest::newRow("grouped millions, negative") << 2 << true << false << -1234567.891 << "-1.234.567,89";
    QTest::newRow("no places, half away from zero") << 0 << true << false << 2.5 << "3";
    QTest::newRow("half of the decimal form rounds up") << 2 << true << false << 0.125 << "0,13";
    QTest::newRow("negative half rounds away") << 2 << true << false << -0.125 << "-0,13";
    QTest::newRow("sign on exactly zero") << 3 << true << true << 0.0 << "±0,000";
    QTest::newRow("sign on positive") << 3 << true << true << 1234.5 << "+1.234,500";
    QTest::newRow("negative has its own minus") << 3 << true << true << -1234.5 << "-1.234,500";
    QTest::newRow("sign ungrouped") << 1 << false << true << 1234.5 << "+1234,5";
    QTest::newRow("places below 0 count as 0") << -1 << true << false << 7.4 << "7";
    QTest::newRow("places above 8 count as 8") << 12 << true << false << 0.123456789012 << "0,12345679";
}

void tst_SpezialSpin::formatting()
{
    QFETCH(int, decimals);
    QFETCH(bool, grouping);
    QFETCH(bool, plus);
    QFETCH(double, value);
    QFETCH(QString, text);
    TSpezialSpin spin;
    spin.setMinValue(-1e9);
    spin.setPlusZeichenPositiveWerte(plus);
    spin.setTausenderZeichen(grouping);
    spin.setNachkommaStellen(decimals);
    spin.setValueReal(value);
    QCOMPARE(spin.InnerEdit()->text(), text);
    QCOMPARE(spin.ValueText(), text);
    // The value itself keeps its precision; only the text is rounded.
    QCOMPARE(spin.ValueReal(), value);
}

void tst_SpezialSpin::plusSignWaitsForNextUpdate()
{
    TSpezialSpin spin;
    spin.setValueReal(5);
    spin.setPlusZeichenPositiveWerte(true);
    QCOMPARE(spin.InnerEdit()->text(), QStringLiteral("5"));
    QCOMPARE(spin.ValueText(), QStringLiteral("+5"));
}

void tst_SpezialSpin::bounds_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("written");
    QTest::addColumn<double>("stored");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("initial bounds raise a negative value to 0") << 0.0 << 0.0 << -5.0 << 0.0;
    QTest::newRow("maximum 0 sets no upper limit") << 0.0 << 0.0 << 1e12 << 1e12;
    QTest::newRow("negative maximum never limits") << -100.0 << -5.0 << 3.0 << 3.0;
    QTest::newRow("above the maximum") << 0.0 << 10.0 << 11.5 << 10.0;
    QTest::newRow("below the minimum") << -3.0 << 10.0 << -7.0 << -3.0;
    QTest::newRow("minimum wins over maximum") << 20.0 << 10.0 << 15.0 << 20.0;
    QTest::newRow("not a number becomes the minimum") << -2.0 << 0.0 << nan << -2.0;
}

void tst_SpezialSpin::bounds()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, written);
    QFETCH(double, stored);
    TSpezialSpin spin;
    spin.setMinValue(minimum);
    spin.setMaxValue(maximum);
    spin.setValueReal(written);
    QCOMPARE(spin.ValueReal(), stored);

    // Bounds set later apply to the stored value at once.
    spin.setMinValue(stored + 1);
    QCOMPARE(spin.ValueReal(), stored + 1);
}

void tst_SpezialSpin::wholeAndFractionParts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole");
    QTest::addColumn<double>("fraction");
    QTest::newRow("negative fraction keeps its sign") << -2.75 << -2 << -0.75;
    QTest::newRow("positive") << 2.75 << 2 << 0.75;
    QTest::newRow("whole number") << 5.0 << 5 << 0.0;
    QTest::newRow("above the int range saturates") << 5e9 << std::numeric_limits<int>::max() << 0.0;
    QTest::newRow("below the int range saturates") << -5e9 << std::numeric_limits<int>::min() << 0.0;
}

void tst_SpezialSpin::wholeAndFractionParts()
{
    QFETCH(double, value);
    QFETCH(int, whole);
    QFETCH(double, fraction);
    TSpezialSpin spin;
    spin.setMinValue(-1e12);
    spin.setValueReal(value);
    QCOMPARE(spin.Value(), whole);
    QCOMPARE(spin.ValuePrec(), fraction);
}

void tst_SpezialSpin::stepSizeFollowsDecimals_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("step");
    QTest::newRow("-1 counts as 0") << -1 << 1.0;
    QTest::newRow("0") << 0 << 1.0;
    QTest::newRow("1") << 1 << 0.1;
    QTest::newRow("3") << 3 << 0.001;
    QTest::newRow("8") << 8 << 1e-8;
    QTest::newRow("12 counts as 8") << 12 << 1e-8;
}

void tst_SpezialSpin::stepSizeFollowsDecimals()
{
    QFETCH(int, decimals);
    QFETCH(double, step);
    auto e = windowEditor();
    e->spin->setNachkommaStellen(decimals);
    QCOMPARE(e->spin->StepSize(), step);
    e->spin->setValueReal(1);
    QTest::keyClick(e->edit, Qt::Key_Up);
    QCOMPARE(e->spin->ValueReal(), 1 + step);
}

void tst_SpezialSpin::clamping_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("stored");
    QTest::newRow("BorderWidth 5") << "BorderWidth" << 5 << 2;
    QTest::newRow("BorderWidth -1") << "BorderWidth" << -1 << 0;
    QTest::newRow("BorderWidth 1") << "BorderWidth" << 1 << 1;
    QTest::newRow("ArrowSize 4") << "ArrowSize" << 4 << 6;
    QTest::newRow("ArrowSize 100") << "ArrowSize" << 100 << 72;
    QTest::newRow("ArrowSize 12") << "ArrowSize" << 12 << 12;
    QTest::newRow("ChangeDelay 0") << "ChangeDelay" << 0 << 400;
    QTest::newRow("ChangeDelay -5") << "ChangeDelay" << -5 << 400;
    QTest::newRow("ChangeDelay 250") << "ChangeDelay" << 250 << 250;
    QTest::newRow("NachkommaStellen -1") << "NachkommaStellen" << -1 << 0;
    QTest::newRow("NachkommaStellen 12") << "NachkommaStellen" << 12 << 8;
}

void tst_SpezialSpin::clamping()
{
    QFETCH(QString, property);
    QFETCH(int, written);
    QFETCH(int, stored);
    TSpezialSpin spin;
    QVERIFY(spin.setProperty(property.toLatin1(), written));
    QCOMPARE(spin.property(property.toLatin1()).toInt(), stored);
    if (property == QLatin1String("ChangeDelay"))
        QCOMPARE(spin.findChild<QTimer*>(QStringLiteral("DelayTimer"))->interval(), stored);
}

void tst_SpezialSpin::descriptionOrderRaisesNegativeValue()
{
    // A description that stored -5 applies it before the lower bound, so the
    // initial minimum 0 raises it and the later minimum cannot bring it back.
    const QHash<QByteArray, QVariant> description{
        {"NachkommaStellen", 3}, {"ChangeDelay", 5000},    {"ValueReal", -5.0}, {"Value", -5},
        {"MaxValue", 0.0},       {"MinValue", -1000000.0}, {"BorderWidth", 1},
    };
    TSpezialSpin spin;
    const QMetaObject* meta = spin.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (description.contains(property.name()))
            QVERIFY(property.write(&spin, description.value(property.name())));
    }
    QCOMPARE(spin.ValueReal(), 0.0);
    QCOMPARE(spin.ValueText(), QStringLiteral("0,000"));
}

// Typing and committing ----------------------------------------------------------

void tst_SpezialSpin::typedTextUpdatesValue_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "12" << 12.0;
    QTest::newRow("decimal comma") << "1,5" << 1.5;
    QTest::newRow("group separator dropped") << "1.234,5" << 1234.5;
    QTest::newRow("point before three digits groups") << "12.345" << 12345.0;
    QTest::newRow("point before fewer digits is a decimal point") << "2.5" << 2.5;
    QTest::newRow("second decimal point keeps the last number") << "1.5.3" << 1.5;
    QTest::newRow("plus sign dropped") << "+7" << 7.0;
    QTest::newRow("plus-minus sign dropped") << "±0,25" << 0.25;
    QTest::newRow("exponent") << "1,5e3" << 1500.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("negative number") << "-3,5" << -3.5;
    QTest::newRow("emptied box is 0") << "" << 0.0;
    QTest::newRow("lone minus is 0") << "-" << 0.0;
    QTest::newRow("lone blank is 0") << " " << 0.0;
    QTest::newRow("surrounding blanks") << " 8 " << 8.0;
    QTest::newRow("formula keeps its first number") << "2*3" << 2.0;
    QTest::newRow("trailing letter keeps the number") << "7a" << 7.0;
    QTest::newRow("no number keeps the old value") << "x" << 5.0;
    QTest::newRow("lone decimal comma keeps the old value") << "," << 5.0;
    QTest::newRow("beyond the double range keeps the last value") << "1e999" << 1e99;
}

void tst_SpezialSpin::typedTextUpdatesValue()
{
    QFETCH(QString, typed);
    QFETCH(double, value);
    auto e = windowEditor();
    e->spin->setValueReal(5);
    typeText(e->edit, typed);
    QCOMPARE(e->edit->text(), typed);
    QVERIFY(e->delay->isActive());
    QCOMPARE(e->spin->ValueReal(), value);
    QCOMPARE(e->changes, 0);
}

void tst_SpezialSpin::commit_data()
{
    QTest::addColumn<bool>("plus");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("formula") << false << "2*3" << 6.0 << "6,000";
    QTest::newRow("parentheses") << false << "(1+2)*3" << 9.0 << "9,000";
    QTest::newRow("grouped number") << false << "1.234,5" << 1234.5 << "1.234,500";
    QTest::newRow("grouped millions") << false << "1.234.567" << 1234567.0 << "1.234.567,000";
    QTest::newRow("point before three digits groups") << false << "12.345" << 12345.0 << "12.345,000";
    // A "." that cannot be grouping is the calculator's decimal point.
    QTest::newRow("point before fewer digits") << false << "2.5" << 2.5 << "2,500";
    QTest::newRow("two decimal points keep the typed number") << false << "1.5.3" << 1.5 << "1,500";
    QTest::newRow("grouping inside a formula") << false << "(1.234+2,5)*2" << 2473.0 << "2.473,000";
    QTest::newRow("rejected text keeps the value") << false << "abc" << 5.0 << "5,000";
    QTest::newRow("rejected formula keeps the typed number") << false << "2+" << 2.0 << "2,000";
    QTest::newRow("division by zero is rejected") << false << "1/0" << 1.0 << "1,000";
    QTest::newRow("below the minimum") << false << "-2000000" << -1000000.0 << "-1.000.000,000";
    QTest::newRow("signed text") << true << "+1.234,500" << 1234.5 << "+1.234,500";
    QTest::newRow("signed zero") << true << "±0,000" << 0.0 << "±0,000";
    QTest::newRow("negative with signs on") << true << "-2,5" << -2.5 << "-2,500";
}

void tst_SpezialSpin::commit()
{
    QFETCH(bool, plus);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, shown);
    auto e = windowEditor();
    e->spin->setPlusZeichenPositiveWerte(plus);
    e->spin->setValueReal(5);
    typeText(e->edit, typed);
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->edit->text(), shown);
    QCOMPARE(e->spin->ValueReal(), value);
    QCOMPARE(e->changes, value == 5 ? 0 : 1); // reported when the value changed
    QVERIFY(!e->delay->isActive());
}

void tst_SpezialSpin::typedFormulaCommits_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << true;
    QTest::newRow("pause of ChangeDelay") << false;
}

void tst_SpezialSpin::typedFormulaCommits()
{
    QFETCH(bool, byEnter);
    auto e = windowEditor();
    e->spin->setChangeDelay(40);
    typeText(e->edit, QString());
    QTest::keyClick(e->edit, Qt::Key_2);
    QTest::keyClick(e->edit, Qt::Key_Asterisk, Qt::NoModifier);
    QTest::keyClick(e->edit, Qt::Key_3);
    QCOMPARE(e->edit->text(), QStringLiteral("2*3"));
    QCOMPARE(e->changes, 0);
    if (byEnter)
        QTest::keyClick(e->edit, Qt::Key_Return);
    QTRY_COMPARE(e->changes, 1);
    QCOMPARE(e->edit->text(), QStringLiteral("6,000"));
    QCOMPARE(e->spin->ValueReal(), 6.0);
}

void tst_SpezialSpin::emptyTextIsNotEvaluated()
{
    auto e = windowEditor();
    // Read-only, so the Enter release does not parse the empty text to 0.
    e->spin->setEditorEnabled(false);
    e->spin->setValueReal(5);
    e->edit->clear();
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->edit->text(), QStringLiteral("5,000"));
    QCOMPARE(e->spin->ValueReal(), 5.0);
}

void tst_SpezialSpin::commitReportsWhatTheValueDoes()
{
    auto e = windowEditor();
    e->spin->setValueReal(1.0002);
    // Nothing typed: the editor's own rounded text is not read back.
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->changes, 0);
    QCOMPARE(e->spin->ValueReal(), 1.0002);
    // The same text, another value: the owner must hear of it.
    typeText(e->edit, QStringLiteral("1"));
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->edit->text(), QStringLiteral("1,000"));
    QCOMPARE(e->spin->ValueReal(), 1.0);
    QCOMPARE(e->changes, 1);

    // A value the program writes is the committed one: committing the text
    // committed before it is a change again (was taken for none).
    typeText(e->edit, QStringLiteral("5"));
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->changes, 2);
    e->spin->setValueReal(0);
    typeText(e->edit, QStringLiteral("5"));
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->changes, 3);
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->changes, 3);
}

void tst_SpezialSpin::readingValueCancelsPendingCommit_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("ValueReal") << "ValueReal" << QVariant(2.0);
    QTest::newRow("Value") << "Value" << QVariant(2);
    QTest::newRow("ValuePrec") << "ValuePrec" << QVariant(0.0);
    QTest::newRow("ValueText") << "ValueText" << QVariant(QStringLiteral("2,000"));
}

void tst_SpezialSpin::readingValueCancelsPendingCommit()
{
    QFETCH(QString, property);
    QFETCH(QVariant, read);
    auto e = windowEditor();
    typeText(e->edit, QStringLiteral("2*3"));
    QVERIFY(e->delay->isActive());
    QCOMPARE(e->spin->property(property.toLatin1()), read);
    QVERIFY(!e->delay->isActive());
    QCOMPARE(e->edit->text(), QStringLiteral("2,000"));
    QCOMPARE(e->changes, 0);
}

void tst_SpezialSpin::writingTheSameSetting_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("same");
    QTest::addColumn<bool>("rewrites"); // drops the typed text and its pending commit
    QTest::newRow("NachkommaStellen") << "NachkommaStellen" << QVariant(3) << true;
    // Typing "2" made the value 2 before the rest turned the text into a formula.
    QTest::newRow("ValueReal") << "ValueReal" << QVariant(2.0) << true;
    QTest::newRow("ChangeDelay does not restart the delay") << "ChangeDelay" << QVariant(5000) << false;
    QTest::newRow("EditorEnabled") << "EditorEnabled" << QVariant(true) << false;
}

void tst_SpezialSpin::writingTheSameSetting()
{
    QFETCH(QString, property);
    QFETCH(QVariant, same);
    QFETCH(bool, rewrites);
    auto e = windowEditor();
    typeText(e->edit, QStringLiteral("2*3"));
    const int remaining = e->delay->remainingTime();
    QTest::qWait(20);
    QVERIFY(e->spin->setProperty(property.toLatin1(), same));
    QCOMPARE(e->edit->text(), rewrites ? QStringLiteral("2,000") : QStringLiteral("2*3"));
    QCOMPARE(e->delay->isActive(), !rewrites);
    if (!rewrites)
        QVERIFY(e->delay->remainingTime() < remaining);
    QCOMPARE(e->changes, 0);
}

void tst_SpezialSpin::commitPendingText_data()
{
    QTest::addColumn<QString>("typed"); // null: nothing typed
    QTest::addColumn<bool>("byKeys");   // typed with key releases, or pasted without any
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QString>("error");

    QTest::newRow("nothing typed: full precision stays") << QString() << true << 1.23456 << "1,235" << 0 << "";
    QTest::newRow("typed formula") << "2*3" << true << 6.0 << "6,000" << 1 << "";
    QTest::newRow("pasted number") << "7" << false << 7.0 << "7,000" << 1 << "";
    QTest::newRow("text that does not evaluate keeps the value") << "abc" << true << 1.23456 << "1,235" << 0 << "";
    // As a commit does: the message, and text and value stay as they were.
    QTest::newRow("calculator raises") << "(0-8)^0,5" << true << 1.23456 << "(0-8)^0,5" << 0
                                       << "Ungültige Gleitkommaoperation";
}

void tst_SpezialSpin::commitPendingText()
{
    QFETCH(QString, typed);
    QFETCH(bool, byKeys);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(int, changes);
    QFETCH(QString, error);
    auto e = windowEditor();
    e->spin->setValueReal(1.23456);
    ErrorBoxCloser closer;
    if (!typed.isNull()) {
        if (byKeys)
            typeText(e->edit, typed);
        else
            e->edit->setText(typed);
    }

    e->spin->CommitPendingText();
    QCOMPARE(e->edit->text(), shown);
    QCOMPARE(e->changes, changes);
    QVERIFY(!e->delay->isActive());
    QCOMPARE(closer.texts, error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(e->spin->ValueReal(), value);
    // A second call finds nothing new.
    e->spin->CommitPendingText();
    QCOMPARE(e->changes, changes);
}

void tst_SpezialSpin::keyPressStopsPendingCommit()
{
    auto e = windowEditor();
    typeText(e->edit, QStringLiteral("1"));
    QVERIFY(e->delay->isActive());
    QTest::keyPress(e->edit, Qt::Key_2);
    QVERIFY(!e->delay->isActive());
    QTest::keyRelease(e->edit, Qt::Key_2);
    QVERIFY(e->delay->isActive());
    QCOMPARE(e->delay->interval(), 5000);
}

void tst_SpezialSpin::calculatorFailureReachesErrorHandler_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<double>("parsed");
    QTest::addColumn<QString>("message");
    QTest::newRow("invalid operation, Enter") << "(0-8)^0,5" << true << 0.0 << "Ungültige Gleitkommaoperation";
    QTest::newRow("invalid operation, pause") << "(0-8)^0,5" << false << 0.0 << "Ungültige Gleitkommaoperation";
    // Fits the calculator's extended range but not a double.
    QTest::newRow("result beyond the double range") << "10^400" << true << 10.0 << "Gleitkommaüberlauf";
}

void tst_SpezialSpin::calculatorFailureReachesErrorHandler()
{
    QFETCH(QString, formula);
    QFETCH(bool, byEnter);
    QFETCH(double, parsed);
    QFETCH(QString, message);
    auto e = windowEditor();
    e->spin->setChangeDelay(40);
    ErrorBoxCloser closer;
    typeText(e->edit, formula);
    if (byEnter)
        QTest::keyClick(e->edit, Qt::Key_Return);
    QTRY_COMPARE(closer.texts, QStringList{message});
    // The commit ended at the evaluation: text, value and last commit stay,
    // and the delay was stopped before, so the failure is not raised again.
    QCOMPARE(e->edit->text(), formula);
    QCOMPARE(e->changes, 0);
    QVERIFY(!e->delay->isActive());
    QCOMPARE(e->spin->ValueReal(), parsed);
}

void tst_SpezialSpin::handlerMayDeleteTheControl_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << true;
    QTest::newRow("pause of ChangeDelay") << false;
}

void tst_SpezialSpin::handlerMayDeleteTheControl()
{
    // Guards against touching the control after its handler deleted it.
    QFETCH(bool, byEnter);
    auto e = windowEditor();
    e->spin->setChangeDelay(20);
    QPointer<TSpezialSpin> spin(e->spin);
    bool deleted = false;
    // The handler lives in the control: nothing of it may be touched after the delete.
    spin->OnDelayedChange = [&deleted](QObject* sender) {
        deleted = true;
        delete sender;
    };
    typeText(e->edit, QStringLiteral("4"));
    if (byEnter)
        QTest::keyClick(e->edit, Qt::Key_Return);
    QTRY_VERIFY(deleted);
    QVERIFY(spin.isNull());
}

// Keys ---------------------------------------------------------------------------

void tst_SpezialSpin::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("allowSteps");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("reported");
    QTest::addColumn<bool>("committed"); // and reported: the value changed
    QTest::addColumn<int>("strgEnter");
    QTest::addColumn<bool>("counting"); // the delay runs after the click
    const auto none = Qt::KeyboardModifiers();
    const auto shift = Qt::KeyboardModifiers(Qt::ShiftModifier);
    const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
    const auto keypad = Qt::KeyboardModifiers(Qt::KeypadModifier);
    // The release of a modifier after the key is a key release of its own:
    // it parses the text and starts the delay again.
    QTest::newRow("Up") << int(Qt::Key_Up) << none << true << 11.0 << 38 << true << 0 << false;
    QTest::newRow("Right") << int(Qt::Key_Right) << none << true << 11.0 << 39 << true << 0 << false;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << true << 11.0 << 33 << true << 0 << false;
    QTest::newRow("Down") << int(Qt::Key_Down) << none << true << 9.0 << 40 << true << 0 << false;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << true << 9.0 << 37 << true << 0 << false;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << true << 9.0 << 34 << true << 0 << false;
    QTest::newRow("Shift+Up") << int(Qt::Key_Up) << shift << true << 11.0 << 38 << true << 0 << true;
    QTest::newRow("Up, step keys off") << int(Qt::Key_Up) << none << false << 10.0 << 38 << false << 0 << true;
    QTest::newRow("Page Down, step keys off")
        << int(Qt::Key_PageDown) << none << false << 10.0 << 34 << false << 0 << true;
    // Enter commits the written value unchanged: nothing to report.
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << true << 10.0 << 13 << false << 0 << false;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << keypad << true << 10.0 << 13 << false << 0 << false;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << true << 10.0 << 13 << false << 1 << true;
    QTest::newRow("Ctrl+Enter, step keys off")
        << int(Qt::Key_Return) << ctrl << false << 10.0 << 13 << false << 1 << true;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << true << 10.0 << 27 << false << 0 << true;
    QTest::newRow("letter") << int(Qt::Key_A) << none << true << 10.0 << 0x41 << false << 0 << true;
    QTest::newRow("keypad multiply") << int(Qt::Key_Asterisk) << keypad << true << 10.0 << 0x6A << false << 0 << true;
    // Typed characters whose Qt codes equal those of the step keys.
    QTest::newRow("( is not Down") << int(Qt::Key_ParenLeft) << none << true << 10.0 << 0x39 << false << 0 << true;
    QTest::newRow("% is not Left") << int(Qt::Key_Percent) << none << true << 10.0 << 0x35 << false << 0 << true;
    QTest::newRow("F2") << int(Qt::Key_F2) << none << true << 10.0 << 0x71 << false << 0 << true;
}

void tst_SpezialSpin::keys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, allowSteps);
    QFETCH(double, value);
    QFETCH(int, reported);
    QFETCH(bool, committed);
    QFETCH(int, strgEnter);
    QFETCH(bool, counting);
    auto e = windowEditor();
    e->spin->setNachkommaStellen(0);
    e->spin->setAllowArrowKeyChange(allowSteps);
    e->spin->setValueReal(10);

    QTest::keyClick(e->edit, Qt::Key(key), modifiers);

    QCOMPARE(e->delay->isActive(), counting);
    QCOMPARE(e->changes, committed ? 1 : 0);
    QCOMPARE(e->strgEnter, strgEnter);
    QCOMPARE(e->spin->ValueReal(), value);

    int matches = 0;
    for (const KeyReport& report : std::as_const(e->keys)) {
        if (report.key != reported)
            continue;
        ++matches;
        QCOMPARE(report.shift, modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    }
    QCOMPARE(matches, 1);
}

void tst_SpezialSpin::ctrlEnterCommitsBeforeReporting()
{
    auto e = windowEditor();
    typeText(e->edit, QStringLiteral("2*3"));
    QTest::keyClick(e->edit, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(e->strgEnter, 1);
    QCOMPARE(e->textAtStrgEnter, QStringLiteral("6,000"));
}

void tst_SpezialSpin::releaseBelongsToItsPress()
{
    // The press typed "*"; the release, after Shift was let go, came as "+"
    // and was taken for typing, and the rounded text became the value. The
    // Tab that brought the focus is in tst_Accessibility, a window
    // shortcut's release in the window's sequences.
    auto e = windowEditor();
    e->host->show();
    QVERIFY(QTest::qWaitForWindowActive(e->host.get()));
    e->edit->setFocus();
    e->spin->setValueReal(1.0 / 12);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Asterisk, Qt::ShiftModifier, 27, 0, 0, QStringLiteral("*"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Plus, Qt::NoModifier, 27, 0, 0, QStringLiteral("+"));
    QApplication::sendEvent(e->edit, &press);
    QApplication::sendEvent(e->edit, &release);
    QCOMPARE(e->keys.size(), 1);
    QCOMPARE(int(e->keys.first().key), 0xBB);
    QVERIFY(e->delay->isActive());
    QCOMPARE(e->spin->CurrentValue(), 1.0 / 12);
}

void tst_SpezialSpin::keyStepsDoNotAccelerate()
{
    auto e = windowEditor();
    e->spin->setNachkommaStellen(0);
    e->spin->setValueReal(10);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(e->edit, Qt::Key_Up);
    QCOMPARE(e->spin->ValueReal(), 13.0);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(e->edit, Qt::Key_PageDown);
    QCOMPARE(e->spin->ValueReal(), 10.0);
}

void tst_SpezialSpin::readOnlyEditorStillSteps()
{
    auto e = windowEditor();
    e->spin->setEditorEnabled(false);
    QVERIFY(e->edit->isReadOnly());
    e->spin->setValueReal(10);
    QTest::keyClicks(e->edit, QStringLiteral("99"));
    QCOMPARE(e->edit->text(), QStringLiteral("10,000"));
    QVERIFY(!e->delay->isActive());
    QTest::keyClick(e->edit, Qt::Key_Up);
    QCOMPARE(e->spin->ValueReal(), 10.001);
    QCOMPARE(e->changes, 1);
}

namespace {

// Wheel events as the pointer over the edit delivers them: the edit leaves
// them to the control.
void turnWheel(QLineEdit* edit, const QList<QPoint>& angleDeltas)
{
    const QPointF at(5, 5);
    for (const QPoint& angle : angleDeltas) {
        QWheelEvent event(at, edit->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(edit, &event);
    }
}

QList<QPoint> notches(int count, int delta)
{
    return QList<QPoint>(count, QPoint(0, delta));
}

} // namespace

void tst_SpezialSpin::wheel_data()
{
    QTest::addColumn<QList<QPoint>>("angles");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("allowSteps");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("changes");
    QTest::newRow("one notch up") << notches(1, 120) << true << true << 11.0 << 1;
    QTest::newRow("one notch down") << notches(1, -120) << true << true << 9.0 << 1;
    QTest::newRow("three notches, no acceleration") << notches(3, 120) << true << true << 13.0 << 3;
    QTest::newRow("two notches in one event") << notches(1, 240) << true << true << 12.0 << 2;
    QTest::newRow("eight eighths of a notch") << notches(8, 15) << true << true << 11.0 << 1;
    QTest::newRow("seven eighths do nothing") << notches(7, -15) << true << true << 10.0 << 0;
    QTest::newRow("a turn back drops the part notch")
        << QList<QPoint>{{0, 90}, {0, -30}, {0, 60}} << true << true << 10.0 << 0;
    QTest::newRow("horizontal wheel") << QList<QPoint>{{120, 0}} << true << true << 10.0 << 0;
    QTest::newRow("disabled") << notches(1, 120) << false << true << 10.0 << 0;
    QTest::newRow("step keys off") << notches(1, 120) << true << false << 10.0 << 0;
}

void tst_SpezialSpin::wheel()
{
    QFETCH(QList<QPoint>, angles);
    QFETCH(bool, enabled);
    QFETCH(bool, allowSteps);
    QFETCH(double, value);
    QFETCH(int, changes);
    auto e = windowEditor();
    e->spin->setNachkommaStellen(0);
    e->spin->setValueReal(10);
    e->spin->setAllowArrowKeyChange(allowSteps);
    e->spin->setEnabled(enabled);
    bool sawWheelStep = false;
    e->spin->OnDelayedChange = [&](QObject*) {
        ++e->changes;
        sawWheelStep = e->spin->WheelStepping();
    };

    turnWheel(e->edit, angles);

    QCOMPARE(e->changes, changes);
    QCOMPARE(sawWheelStep, changes > 0);
    QVERIFY(!e->spin->WheelStepping());
    QCOMPARE(e->spin->ValueReal(), value);
}

void tst_SpezialSpin::wheelStepsFromTypedText()
{
    // As an arrow key: the step starts from what is typed, and commits.
    auto e = windowEditor();
    e->spin->setValueReal(10);
    typeText(e->edit, QStringLiteral("20"));
    turnWheel(e->edit, notches(1, -120));
    QCOMPARE(e->edit->text(), QStringLiteral("19,999"));
    QCOMPARE(e->changes, 1);
    QVERIFY(!e->delay->isActive());
}

// Mouse and focus -----------------------------------------------------------------

void tst_SpezialSpin::mouseClick_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<double>("value");
    QTest::newRow("up cell") << "up" << Qt::LeftButton << 10.001;
    QTest::newRow("down cell") << "down" << Qt::LeftButton << 9.999;
    QTest::newRow("up cell, right button") << "up" << Qt::RightButton << 10.001;
    QTest::newRow("prefix") << "prefix" << Qt::LeftButton << 10.0;
    QTest::newRow("frame") << "frame" << Qt::LeftButton << 10.0;
}

void tst_SpezialSpin::mouseClick()
{
    QFETCH(QString, where);
    QFETCH(Qt::MouseButton, button);
    QFETCH(double, value);
    auto e = windowEditor();
    e->spin->setValueReal(10);
    QPoint pos;
    if (where == QLatin1String("up"))
        pos = e->spin->UpArrowRect().center();
    else if (where == QLatin1String("down"))
        pos = e->spin->DownArrowRect().center();
    else if (where == QLatin1String("prefix"))
        pos = QPoint(2, 10);
    else
        pos = QPoint(e->left(), 0);
    QTest::mouseClick(e->spin, button, {}, pos);
    QCOMPARE(e->spin->ValueReal(), value);
    // Every release reports, changed or not.
    QCOMPARE(e->changes, 1);
    QVERIFY(!e->repeat->isActive());
}

void tst_SpezialSpin::holdingDownCellAccelerates()
{
    auto e = windowEditor();
    e->spin->setNachkommaStellen(0);
    e->spin->setValueReal(100);
    const QPoint down = e->spin->DownArrowRect().center();

    QTest::mousePress(e->spin, Qt::LeftButton, {}, down);
    QCOMPARE(e->edit->text(), QStringLiteral("99")); // the first step comes with the press
    QCOMPARE(e->changes, 0);
    QTRY_COMPARE(e->edit->text(), QStringLiteral("90")); // 1 + 2 + 3 + 4
    QTest::mouseRelease(e->spin, Qt::LeftButton, {}, down);
    QCOMPARE(e->spin->ValueReal(), 90.0);
    QCOMPARE(e->changes, 1);

    // The release resets the acceleration.
    QTest::mousePress(e->spin, Qt::LeftButton, {}, down);
    QCOMPARE(e->edit->text(), QStringLiteral("89"));
    QTest::mouseRelease(e->spin, Qt::LeftButton, {}, down);
    QCOMPARE(e->changes, 2);
}

void tst_SpezialSpin::holdEndsWhenDisabled()
{
    auto e = windowEditor();
    QTest::mousePress(e->spin, Qt::LeftButton, {}, e->spin->UpArrowRect().center());
    QVERIFY(e->repeat->isActive());
    e->spin->setEnabled(false);
    QVERIFY(!e->repeat->isActive());
}

void tst_SpezialSpin::holdEndsWhenTheMouseIsLost_data()
{
    QTest::addColumn<QString>("thief");
    QTest::newRow("modal box") << "modal box";
    QTest::newRow("window deactivated") << "other window";
    QTest::newRow("popup") << "popup";
    QTest::newRow("grab of another widget") << "grab";
}

void tst_SpezialSpin::holdEndsWhenTheMouseIsLost()
{
    // Regression: the release went to whatever took the mouse, and the
    // repetition went on stepping behind it.
    QFETCH(QString, thief);
    auto e = windowEditor();
    e->spin->setNachkommaStellen(0);
    e->spin->setValueReal(100);
    e->host->show();
    QVERIFY(QTest::qWaitForWindowActive(e->host.get()));
    QTest::mousePress(e->spin, Qt::LeftButton, {}, e->spin->UpArrowRect().center());
    QVERIFY(e->repeat->isActive());

    QWidget other(thief == QLatin1String("grab") ? e->host.get() : nullptr);
    QMenu menu(e->host.get());
    bool endedBehindTheBox = true;
    if (thief == QLatin1String("modal box")) {
        TestSupport::whenModalOpens([&](QWidget* box) {
            endedBehindTheBox = QTest::qWaitFor([&] { return !e->repeat->isActive(); });
            box->close();
        });
        QMessageBox(QMessageBox::NoIcon, QStringLiteral("Tiraso"), QStringLiteral("Meldung"), QMessageBox::Ok,
                    e->host.get())
            .exec();
    } else if (thief == QLatin1String("other window")) {
        other.show();
        other.activateWindow();
    } else if (thief == QLatin1String("popup")) {
        menu.addAction(QStringLiteral("Eintrag"));
        menu.popup(e->host->mapToGlobal(QPoint()));
    } else {
        other.show();
        other.grabMouse();
    }
    QVERIFY(endedBehindTheBox);
    QTRY_VERIFY(!e->repeat->isActive());
    // Ended as a release ends it: reported, the first step only.
    QCOMPARE(e->spin->ValueReal(), 101.0);
    QCOMPARE(e->changes, 1);
}

void tst_SpezialSpin::pressFocusesEditAndStopsDelay()
{
    auto e = windowEditor();
    e->host->show();
    QVERIFY(QTest::qWaitForWindowActive(e->host.get()));
    typeText(e->edit, QStringLiteral("7"));
    e->edit->clearFocus();
    QVERIFY(e->delay->isActive());
    QTest::mousePress(e->spin, Qt::LeftButton, {}, QPoint(2, 10));
    QVERIFY(!e->delay->isActive());
    QVERIFY(e->edit->hasFocus());
    QTest::mouseRelease(e->spin, Qt::LeftButton, {}, QPoint(2, 10));
    // The typed 7 was parsed but never committed.
    QCOMPARE(e->edit->text(), QStringLiteral("7"));
    QCOMPARE(e->spin->ValueReal(), 7.0);
}

void tst_SpezialSpin::commitLeavesCaretOrSelection_data()
{
    QTest::addColumn<bool>("focused");
    QTest::newRow("focused: all selected for retyping") << true;
    QTest::newRow("not focused: caret after the text") << false;
}

void tst_SpezialSpin::commitLeavesCaretOrSelection()
{
    QFETCH(bool, focused);
    auto e = windowEditor();
    e->host->show();
    QVERIFY(QTest::qWaitForWindowActive(e->host.get()));
    if (focused)
        e->spin->setFocus();
    typeText(e->edit, QStringLiteral("1234"));
    QTest::keyClick(e->edit, Qt::Key_Return);
    QCOMPARE(e->edit->text(), QStringLiteral("1.234,000"));
    QCOMPARE(e->edit->selectedText(), focused ? e->edit->text() : QString());
    if (!focused)
        QCOMPARE(e->edit->cursorPosition(), int(e->edit->text().size()));
}

void tst_SpezialSpin::tabNeverEntersByDefault_data()
{
    QTest::addColumn<bool>("tabStop");
    QTest::newRow("initial tab stop off") << false;
    QTest::newRow("tab stop on") << true;
}

void tst_SpezialSpin::tabNeverEntersByDefault()
{
    QFETCH(bool, tabStop);
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* before = new QLineEdit(&host);
    auto* spin = new TSpezialSpin(&host);
    auto* after = new QLineEdit(&host);
    layout->addWidget(before);
    layout->addWidget(spin);
    layout->addWidget(after);
    spin->setTabStop(tabStop);
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QWidget* expected = tabStop ? static_cast<QWidget*>(spin->InnerEdit()) : after;
    QCOMPARE(QApplication::focusWidget(), expected);
}

void tst_SpezialSpin::setFocusReachesEdit()
{
    auto e = windowEditor();
    e->host->show();
    QVERIFY(QTest::qWaitForWindowActive(e->host.get()));
    e->spin->setFocus();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(e->edit));
}

void tst_SpezialSpin::enablingFollowsToEdit()
{
    auto e = windowEditor();
    e->spin->setEnabled(false);
    QVERIFY(!e->edit->isEnabled());
    e->spin->setEnabled(true);
    QVERIFY(e->edit->isEnabled());
}

// Geometry and painting --------------------------------------------------------------

void tst_SpezialSpin::layout_data()
{
    // clang-format off
    QTest::addColumn<int>("fontHeight");
    QTest::addColumn<int>("marginTop");
    QTest::addColumn<QRect>("editFromBox"); // x relative to the box's left edge
    QTest::addColumn<QRect>("up");
    QTest::addColumn<QRect>("down");
    QTest::newRow("window settings") << -11 << 0 << QRect(3, 2, 0, 16) << RectLTRB(85, 1, 101, 10)
                                     << RectLTRB(85, 10, 101, 19);
    QTest::newRow("small font keeps 16") << -8 << 0 << QRect(3, 2, 0, 16) << RectLTRB(85, 1, 101, 10)
                                         << RectLTRB(85, 10, 101, 19);
    QTest::newRow("large font widens cells") << -20 << 0 << QRect(3, 1, 0, 20) << RectLTRB(81, 1, 101, 10)
                                             << RectLTRB(81, 10, 101, 19);
    QTest::newRow("margin moves the edit only") << -11 << 3 << QRect(3, 5, 0, 16) << RectLTRB(85, 1, 101, 10)
                                                << RectLTRB(85, 10, 101, 19);
    // clang-format on
}

void tst_SpezialSpin::layout()
{
    QFETCH(int, fontHeight);
    QFETCH(int, marginTop);
    QFETCH(QRect, editFromBox);
    QFETCH(QRect, up);
    QFETCH(QRect, down);
    auto e = windowEditor();
    e->spin->Font()->setHeight(fontHeight);
    e->spin->setMarginTop(marginTop);
    QFont font = e->spin->Font()->toQFont();
    const int prefix = QFontMetrics(font).horizontalAdvance(QStringLiteral("X1 "));
    QCOMPARE(e->spin->BoxRect(), RectLTRB(prefix, 0, 103, 20));
    const int s = up.width();
    const QRect edit(prefix + editFromBox.x(), editFromBox.y(), 103 - prefix - 2 - s - 8, editFromBox.height());
    QCOMPARE(e->edit->geometry(), edit);
    QCOMPARE(e->spin->UpArrowRect(), up);
    QCOMPARE(e->spin->DownArrowRect(), down);
    QCOMPARE(e->spin->TextArea(), RectLTRB(prefix + 1, 1, up.x() - 1, 19));
}

void tst_SpezialSpin::framePixels_data()
{
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("fromBox"); // x counts from the box's left edge
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<TColor>("color");
    QTest::newRow("1: top left corner") << 1 << true << true << QPoint(0, 0) << clBlue;
    QTest::newRow("1: left edge") << 1 << true << true << QPoint(0, 10) << clBlue;
    QTest::newRow("1: left end of bottom") << 1 << true << true << QPoint(0, 19) << clBlue;
    QTest::newRow("1: bottom edge") << 1 << true << true << QPoint(5, 19) << clBlue;
    QTest::newRow("1: text area inside the frame") << 1 << true << true << QPoint(1, 1) << clWhite;
    QTest::newRow("1: text area bottom row") << 1 << true << true << QPoint(2, 18) << clWhite;
    QTest::newRow("1: top right corner") << 1 << true << false << QPoint(102, 0) << clBlue;
    QTest::newRow("1: right edge") << 1 << true << false << QPoint(102, 10) << clBlue;
    QTest::newRow("1: bottom right corner") << 1 << true << false << QPoint(102, 19) << clBlue;
    QTest::newRow("1: separator left of up cell") << 1 << true << false << QPoint(84, 4) << clBlue;
    QTest::newRow("1: separator left of down cell") << 1 << true << false << QPoint(84, 15) << clBlue;
    QTest::newRow("1: separator between the cells") << 1 << true << false << QPoint(86, 9) << clBlue;
    QTest::newRow("1: up cell light left edge") << 1 << true << false << QPoint(85, 3) << clWhite;
    QTest::newRow("1: up cell light right edge") << 1 << true << false << QPoint(101, 5) << clWhite;
    QTest::newRow("1: down cell light bottom edge") << 1 << true << false << QPoint(88, 18) << clWhite;
    QTest::newRow("1: up cell face") << 1 << true << false << QPoint(87, 3) << clBtnFace;
    QTest::newRow("1: down cell face") << 1 << true << false << QPoint(87, 17) << clBtnFace;
    QTest::newRow("1: disabled frame") << 1 << false << true << QPoint(0, 10) << clBtnShadow;
    QTest::newRow("1: disabled keeps the separator colour") << 1 << false << false << QPoint(84, 4) << clBlue;
    QTest::newRow("2: outer shadow") << 2 << true << true << QPoint(0, 5) << clBtnShadow;
    QTest::newRow("2: inner dark shadow") << 2 << true << true << QPoint(1, 5) << cl3DDkShadow;
    QTest::newRow("2: outer highlight") << 2 << true << false << QPoint(102, 5) << clBtnHighlight;
    QTest::newRow("2: inner face") << 2 << true << false << QPoint(101, 15) << clBtnFace;
    QTest::newRow("2: cell bevel light") << 2 << true << false << QPoint(84, 3) << clBtnHighlight;
    QTest::newRow("2: cell bevel shadow") << 2 << true << false << QPoint(100, 5) << clBtnShadow;
    QTest::newRow("0: no frame") << 0 << true << true << QPoint(0, 0) << clWhite;
}

void tst_SpezialSpin::framePixels()
{
    QFETCH(int, borderWidth);
    QFETCH(bool, enabled);
    QFETCH(bool, fromBox);
    QFETCH(QPoint, at);
    QFETCH(TColor, color);
    auto e = windowEditor();
    e->spin->setBorderWidth(borderWidth);
    e->spin->setEnabled(enabled);
    const QImage image = render(e->spin);
    const QPoint pixel = fromBox ? at + QPoint(e->left(), 0) : at;
    QCOMPARE(QString::number(image.pixel(pixel), 16), QString::number(rgb(color), 16));
    // Left of the box the parent shows through.
    QCOMPARE(image.pixel(e->left() - 1, 0), kBackdrop);
}

void tst_SpezialSpin::arrowGlyphs_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("state");
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QRect>("ink");
    // ArrowSize 12 is 16 pixels: a triangle 9 wide and 5 high in each cell.
    QTest::newRow("up") << true << "normal" << clBtnText << QRect(89, 2, 9, 5);
    QTest::newRow("down") << false << "normal" << clBtnText << QRect(89, 12, 9, 5);
    QTest::newRow("up pressed moves up") << true << "pressed" << clHighlight << QRect(89, 1, 9, 5);
    QTest::newRow("down pressed moves down") << false << "pressed" << clHighlight << QRect(89, 13, 9, 5);
    QTest::newRow("up disabled is lower") << true << "disabled" << clBtnHighlight << QRect(89, 3, 9, 5);
    QTest::newRow("down disabled is lower") << false << "disabled" << clBtnHighlight << QRect(89, 13, 9, 5);
}

void tst_SpezialSpin::arrowGlyphs()
{
    QFETCH(bool, up);
    QFETCH(QString, state);
    QFETCH(TColor, color);
    QFETCH(QRect, ink);
    auto e = windowEditor();
    const QRect cell = up ? e->spin->UpArrowRect() : e->spin->DownArrowRect();
    if (state == QLatin1String("pressed"))
        QTest::mousePress(e->spin, Qt::LeftButton, {}, cell.center());
    if (state == QLatin1String("disabled"))
        e->spin->setEnabled(false);
    const QImage image = render(e->spin);
    if (state == QLatin1String("pressed"))
        QTest::mouseRelease(e->spin, Qt::LeftButton, {}, cell.center());
    // The light cell edges are white too, so look only inside them.
    const QRect search = color == clBtnHighlight ? cell.adjusted(1, 1, -1, -1) : cell.adjusted(0, 0, 1, 0);
    QCOMPARE(inkBox(image, search, rgb(color)), ink);
}

void tst_SpezialSpin::loweredPrefixTail_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("lowered");
    QTest::newRow("count 1 lowers \"1\"") << 1 << true;
    QTest::newRow("count 0 draws it level") << 0 << false;
}

void tst_SpezialSpin::loweredPrefixTail()
{
    QFETCH(int, count);
    QFETCH(bool, lowered);
    auto e = windowEditor();
    e->spin->setTextBeforeSubScriptcCount(count);
    const QImage image = render(e->spin);
    const QFont font = e->spin->Font()->toQFont();
    const QFontMetrics metrics(font);
    const int headWidth = metrics.horizontalAdvance(QStringLiteral("X"));
    const QRgb ink = rgb(clBtnText);
    const QRect head = inkBox(image, QRect(0, 0, headWidth, 20), ink);
    const QRect tail = inkBox(image, QRect(headWidth, 0, e->left() - headWidth, 20), ink);
    QVERIFY(!head.isEmpty());
    QVERIFY(!tail.isEmpty());
    QCOMPARE(tail.top() - head.top(), lowered ? metrics.height() / 3 : 0);
}

void tst_SpezialSpin::disabledPrefixIsEmbossed()
{
    auto e = windowEditor();
    e->spin->setTextAfter(QStringLiteral("m"));
    e->spin->setEnabled(false);
    const QImage image = render(e->spin);
    const QRect prefix(0, 0, e->left(), 20);
    const QRect suffix = RectLTRB(e->spin->BoxRect().right() + 1, 0, 103, 20);
    for (const QRect& area : {prefix, suffix}) {
        const QRect shadow = inkBox(image, area, rgb(clBtnShadow));
        const QRect light = inkBox(image, area, rgb(clWindow));
        QVERIFY(!shadow.isEmpty());
        // The light copy lies one pixel right of and below the shadow text.
        QCOMPARE(light.bottomRight(), shadow.bottomRight() + QPoint(1, 1));
        QVERIFY(inkBox(image, area, rgb(clBtnText)).isEmpty());
    }
}

void tst_SpezialSpin::ownBackgroundWithoutParentColor()
{
    auto e = windowEditor();
    e->spin->setColor(clRed);
    QCOMPARE(render(e->spin).pixel(e->left() - 1, 0), kBackdrop);
    e->spin->setParentColor(false);
    QCOMPARE(render(e->spin).pixel(e->left() - 1, 0), rgb(clRed));
}

void tst_SpezialSpin::triangleMatchesSymbolFont_data()
{
    QTest::addColumn<int>("pixels");
    QTest::newRow("8 points (11 pixels)") << 11;
    QTest::newRow("12 points (16 pixels)") << 16;
    QTest::newRow("18 points (24 pixels)") << 24;
    QTest::newRow("36 points (48 pixels)") << 48;
}

void tst_SpezialSpin::triangleMatchesSymbolFont()
{
    QFETCH(int, pixels);
    if (!TApplication::HasMarlett())
        QSKIP("the symbol font is not installed, nothing to compare the triangles with");
    QCOMPARE(GlyphProbe::ArrowGlyphExtent(pixels, true), GlyphProbe::ArrowGlyphExtent(pixels, false));
    for (bool up : {true, false}) {
        QRect boxes[2];
        for (bool symbolFont : {true, false}) {
            QImage image(100, 100, QImage::Format_RGB32);
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                TCanvas canvas(painter);
                GlyphProbe::DrawArrowGlyph(canvas, 10, 10, up, pixels, clBlack, symbolFont);
            }
            boxes[symbolFont ? 0 : 1] = inkBox(image, image.rect(), qRgb(0, 0, 0));
        }
        const QRect& font = boxes[0];
        const QRect& triangle = boxes[1];
        QVERIFY2(std::abs(font.center().x() - triangle.center().x()) <= 1, up ? "up" : "down");
        QVERIFY2(std::abs(font.center().y() - triangle.center().y()) <= 2, up ? "up" : "down");
        QVERIFY2(std::abs(font.width() - triangle.width()) <= pixels / 8 + 1, up ? "up" : "down");
        QVERIFY2(std::abs(font.height() - triangle.height()) <= pixels / 16 + 1, up ? "up" : "down");
    }
}

void tst_SpezialSpin::arrowsAtPixelRatios_data()
{
    QTest::addColumn<bool>("symbolFont");
    QTest::addColumn<bool>("up");
    QTest::addColumn<qreal>("ratio");
    for (bool symbolFont : {true, false})
        for (bool up : {true, false})
            for (qreal ratio : {1.5, 2.0})
                QTest::addRow("%s %s at %g", symbolFont ? "glyph" : "triangle", up ? "up" : "down", ratio)
                    << symbolFont << up << ratio;
}

// Regression: the triangles drawn without the symbol font were enlarged row
// by row into steps on a dense screen.
void tst_SpezialSpin::arrowsAtPixelRatios()
{
    QFETCH(bool, symbolFont);
    QFETCH(bool, up);
    QFETCH(qreal, ratio);
    if (symbolFont && !TApplication::HasMarlett())
        QSKIP("the symbol font is not installed");
    const auto draw = [&](qreal r) {
        QImage image(qCeil(40 * r), qCeil(40 * r), QImage::Format_RGB32);
        image.setDevicePixelRatio(r);
        image.fill(Qt::white);
        QPainter painter(&image);
        TCanvas canvas(painter);
        GlyphProbe::DrawArrowGlyph(canvas, 10, 10, up, 16, clBlack, symbolFont);
        return image;
    };
    const QImage plain = draw(1);
    const QImage dense = draw(ratio);
    const QRgb white = qRgb(255, 255, 255);
    const QRect plainInk = inkBox(plain, plain.rect(), qRgb(0, 0, 0));
    QRect denseInk;
    for (int y = 0; y < dense.height(); ++y)
        for (int x = 0; x < dense.width(); ++x)
            if (dense.pixel(x, y) != white)
                denseInk |= QRect(x, y, 1, 1);
    // Same place and size, a device pixel or so either way.
    const QRect expected = TestSupport::deviceRect(plainInk, ratio);
    QVERIFY2(std::abs(denseInk.left() - expected.left()) <= ratio
                 && std::abs(denseInk.right() - expected.right()) <= ratio
                 && std::abs(denseInk.top() - expected.top()) <= ratio
                 && std::abs(denseInk.bottom() - expected.bottom()) <= ratio,
             qPrintable(TestSupport::rectText(denseInk) + QStringLiteral(" where ") + TestSupport::rectText(expected)));
    if (ratio == 2)
        QVERIFY(!TestSupport::pixelDoubled(dense, expected));
}

TIRASO_TEST_MAIN(tst_SpezialSpin)
#include "tst_SpezialSpin.moc"
