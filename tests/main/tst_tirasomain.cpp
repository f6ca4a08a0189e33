// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window: its description, the recomputation, placement, entering
// values through the result fields and the context-menu commands.

#include "ModelSupport.h"
#include "TestSupport.h"

#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/PlatformChoice.h"
#include "main/StoredPictures.h"
#include "main/tirasomain.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Pictures.h"
#include "platform/SvgDrawing.h"
#include "storage/ValueFiles.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace TestSupport;

namespace {

// Compared exactly: QCOMPARE on doubles forgives the last digits.
using Interpolation::Inputs;

void setInputs(TForm1& form, const Inputs& in)
{
    form.spin_x1->setValueReal(in.x1);
    form.spin_x2->setValueReal(in.x2);
    form.spin__X->setValueReal(in.X);
    form.spin_y1->setValueReal(in.y1);
    form.spin_y2->setValueReal(in.y2);
}

Inputs readInputs(TForm1& form)
{
    return {form.spin_x1->ValueReal(), form.spin_x2->ValueReal(), form.spin__X->ValueReal(), form.spin_y1->ValueReal(),
            form.spin_y2->ValueReal()};
}

// Counts recomputations by the caption writes they make.
struct RecomputeCounter {
    int count = 0;
    explicit RecomputeCounter(TForm1& form)
    {
        form.lbl_YErg->OnChange = [this](QObject*) { ++count; };
    }
};

} // namespace

Q_DECLARE_METATYPE(TLayoutState)
Q_DECLARE_METATYPE(Interpolation::Inputs)

class tst_tirasomain : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> makeForm(const QStringList& parameters = {})
    {
        auto form = std::make_unique<TForm1>(parameters);
        form->show();
        return form;
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void windowFollowsItsDescription();
    void controlsSitWhereDesigned_data();
    void controlsSitWhereDesigned();
    void startValuesAreShown();

    void recomputation_data();
    void recomputation();
    void layoutMovesControls_data();
    void layoutMovesControls();
    void backgroundShowsTheLine_data();
    void backgroundShowsTheLine();
    void decimalsOutsideTheRangeGiveTwo_data();
    void decimalsOutsideTheRangeGiveTwo();
    void slopeModeSwitchesTheText();
    void typedTextIsDroppedByRecomputation();

    void placementParameter_data();
    void placementParameter();
    void placementWithoutParameterCentres();
    void finishedFrame_data();
    void finishedFrame();

    void resultFieldEntry_data();
    void resultFieldEntry();
    void resultFieldPrefills_data();
    void resultFieldPrefills();
    void invalidEntryShowsTheMessage_data();
    void invalidEntryShowsTheMessage();
    void groupedPrefillIsAccepted_data();
    void groupedPrefillIsAccepted();
    void entryOverflowKeepsTheEditors();
    void backCalculation_data();
    void backCalculation();
    void backCalculationCancelDoesNotRecompute();

    void firstStartWritesTheLastValuesAtClose();
    void lastValuesAreRestored_data();
    void lastValuesAreRestored();
    void largeDecimalsSurviveARestart();
    void saveWritesTheValueSet();
    void saveRefusesForbiddenCharacters();
    void saveWithEmptyNameAndReplacing();
    void saveFailureIsReported();
    void unusableStorageFolder();
    void loadTakesWhatTheFileHolds_data();
    void loadTakesWhatTheFileHolds();
    void loadCancelDoesNothing();

    void contextMenuItems();
    void decimalPlacesCommand_data();
    void decimalPlacesCommand();
    void resetKeepsDecimals();
    void mirrorSwapsYValues();
    void copyPictureBlanksTheButtons();
    void copyValueTakesTheCaption();
    void shiftCopyGivesThePlainNumber_data();
    void shiftCopyGivesThePlainNumber();
    void infoBox();
    void makerMarks();
    void windowIcon_data();
    void windowIcon();
    void storedPicturesAreTheirDrawings();

    void textsAtPixelRatios_data();
    void textsAtPixelRatios();
    void picturesAtPixelRatios_data();
    void picturesAtPixelRatios();
    void plainScreenStartMakesNoDensePictures();
    void resultPictureIsThePlainOne();
    void platformForSession_data();
    void platformForSession();

    void commandsUseTheTypedText_data();
    void commandsUseTheTypedText();
    void typedTextInTwoEditorsIsKept();
    void nonRegularFilesNeverBlock_data();
    void nonRegularFilesNeverBlock();
    void savedSetsCanBeChosen();
    void overwriteAsksFirst_data();
    void overwriteAsksFirst();
    void dialogsBelongToTheWindow_data();
    void dialogsBelongToTheWindow();

    void copyResults_data();
    void copyResults();

    void undoEveryKindOfChange_data();
    void undoEveryKindOfChange();
    void undoActsOnTypingFirst();
    void undoCommandsFollowTheHistory();
    void closeSavesWhatUndoShows();

    // Everything else runs once, under the environment's locale.
    void numberTextsUnderEveryDesktopLocale_data();
    void numberTextsUnderEveryDesktopLocale();
};

void tst_tirasomain::initTestCase()
{
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
}

void tst_tirasomain::cleanupTestCase()
{
    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
}

void tst_tirasomain::init()
{
    // Every test starts without stored last values, and with a folder for them.
    const QString folder
        = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tiraso");
    QFile::remove(folder);
    QDir(folder).removeRecursively();
}

void tst_tirasomain::cleanup()
{
    cancelDialogWatchers();
}

void tst_tirasomain::windowFollowsItsDescription()
{
    auto form = makeForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("Tiraso - Pravenda"));
    QCOMPARE(form->size(), QSize(470, 270));
    QCOMPARE(form->minimumSize(), QSize(470, 270));
    QCOMPARE(form->maximumSize(), QSize(470, 270));
    QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form->windowType(), Qt::Tool);
    QVERIFY(!form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(TApplication::HintPause(), 50);
    QCOMPARE(form->btn_Save->Hint(), QStringLiteral("Speichern"));
    QCOMPARE(form->btn_load->Hint(), QStringLiteral("Öffnen"));
    QCOMPARE(form->lbl_info->toolTip(), QStringLiteral("Einstellung/Extras"));
    QCOMPARE(form->Label1->text(), QStringLiteral("Neigung:"));
    QCOMPARE(form->cb_PRZT->Caption(), QStringLiteral("%"));
    QCOMPARE(form->spin_x1->TextBefore(), QStringLiteral("X1 "));
    QCOMPARE(form->spin_x1->TextBeforeSubScriptcCount(), 1);
    QCOMPARE(form->spin__X->TextBeforeSubScriptcCount(), 0);
    for (const TRUVBMPMerker* holder : {form->BMP_R, form->BMP_L, form->BMP_E}) {
        QCOMPARE(holder->BMPWidth(), 470);
        QCOMPARE(holder->BMPHeight(), 270);
        QVERIFY(!holder->Transparent());
    }
    // Stacking: the editors lie above every windowless control.
    const QObjectList children = form->children();
    QVERIFY(children.indexOf(form->PaintBox1) < children.indexOf(form->cb_PRZT));
    QVERIFY(children.indexOf(form->lbl_YErg) < children.indexOf(form->spin__X));
}

void tst_tirasomain::controlsSitWhereDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("bounds");
    QTest::newRow("PaintBox1") << "PaintBox1" << QRect(0, 0, 470, 270);
    QTest::newRow("cb_PRZT") << "cb_PRZT" << QRect(278, 246, 37, 20);
    QTest::newRow("Label1") << "Label1" << QRect(147, 249, 43, 13);
    QTest::newRow("lbl_xH") << "lbl_xH" << QRect(252, 111, 93, 13);
    QTest::newRow("lbl_Hges") << "lbl_Hges" << QRect(384, 90, 80, 13);
    QTest::newRow("lbl_LLi") << "lbl_LLi" << QRect(120, 194, 95, 20);
    QTest::newRow("lbl_LRe") << "lbl_LRe" << QRect(257, 194, 95, 20);
    QTest::newRow("lbl_LGes") << "lbl_LGes" << QRect(188, 225, 95, 20);
    QTest::newRow("lbl_Neig") << "lbl_Neig" << QRect(192, 249, 87, 13);
    QTest::newRow("lbl_info") << "lbl_info" << QRect(2, 246, 132, 20);
    QTest::newRow("btn_Save") << "btn_Save" << QRect(438, 238, 24, 24);
    QTest::newRow("btn_load") << "btn_load" << QRect(410, 238, 24, 24);
    QTest::newRow("btn_copy1") << "btn_copy1" << QRect(289, 49, 20, 20);
    QTest::newRow("lbl_YErg") << "lbl_YErg" << QRect(181, 49, 109, 20);
    QTest::newRow("spin__X") << "spin__X" << QRect(184, 156, 103, 20);
    QTest::newRow("spin_x1") << "spin_x1" << QRect(45, 156, 103, 20);
    QTest::newRow("spin_x2") << "spin_x2" << QRect(318, 156, 103, 20);
    QTest::newRow("spin_y1 (rising)") << "spin_y1" << QRect(45, 92, 103, 20);
    QTest::newRow("spin_y2 (rising)") << "spin_y2" << QRect(320, 11, 103, 20);
}

void tst_tirasomain::controlsSitWhereDesigned()
{
    QFETCH(QString, name);
    QFETCH(QRect, bounds);
    auto form = makeForm();
    auto* control = form->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), bounds);
}

void tst_tirasomain::startValuesAreShown()
{
    auto form = makeForm();
    QCOMPARE(form->Layout, lsRising);
    QCOMPARE(form->Decimals, 3);
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,330"));
    QCOMPARE(form->lbl_xH->text(), QStringLiteral("H=0,330"));
    QCOMPARE(form->lbl_Hges->text(), QStringLiteral("H=1,000"));
    QCOMPARE(form->lbl_LGes->Caption(), QStringLiteral("1,000"));
    QCOMPARE(form->lbl_LLi->Caption(), QStringLiteral("0,330"));
    QCOMPARE(form->lbl_LRe->Caption(), QStringLiteral("0,670"));
    QCOMPARE(form->lbl_Neig->Caption(), QStringLiteral("100,000%"));
    QVERIFY(form->cb_PRZT->Checked());
}

void tst_tirasomain::recomputation_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<TLayoutState>("layout");
    QTest::addColumn<QStringList>("texts"); // Y, H at X, total H, LGes, LLi, LRe, slope

    const auto row = [](const char* name, Inputs in, int decimals, bool percent, TLayoutState layout,
                        QStringList texts) { QTest::newRow(name) << in << decimals << percent << layout << texts; };
    // The arithmetic of every case is the model's (tst_Interpolation); here
    // the texts reach their labels and the height labels hide.
    row("rising, percent", {2, 6, 3, 10, 20}, 1, true, lsRising,
        {"12,5", "H=2,5", "H=10,0", "4,0", "1,0", "3,0", "250,0%"});
    row("rising, degrees", {2, 6, 3, 10, 20}, 2, false, lsRising,
        {"12,50", "H=2,50", "H=10,00", "4,00", "1,00", "3,00", "68,20°"});
    row("falling", {2, 6, 5, 20, 10}, 1, true, lsFalling,
        {"12,5", "H=-7,5", "H=-10,0", "4,0", "3,0", "1,0", "-250,0%"});
    row("level line", {2, 6, 3, 7, 7}, 3, false, lsLevel,
        {"7,000", "H=0,000", "H=0,000", "4,000", "1,000", "3,000", "0,000°"});
    row("no decimals: halves away from zero", {2, 6, 3, 10, 20}, 0, true, lsRising,
        {"13", "H=3", "H=10", "4", "1", "3", "250%"});
}

void tst_tirasomain::recomputation()
{
    QFETCH(Inputs, in);
    QFETCH(int, decimals);
    QFETCH(bool, percent);
    QFETCH(TLayoutState, layout);
    QFETCH(QStringList, texts);

    auto form = makeForm();
    setInputs(*form, in);
    form->Decimals = decimals;
    form->cb_PRZT->SetCheckedSilent(percent);
    form->Aktualisieren();

    QCOMPARE(form->Layout, layout);
    const QStringList shown{form->lbl_YErg->Caption(), form->lbl_xH->text(),     form->lbl_Hges->text(),
                            form->lbl_LGes->Caption(), form->lbl_LLi->Caption(), form->lbl_LRe->Caption(),
                            form->lbl_Neig->Caption()};
    QCOMPARE(shown, texts);
    // The copied results are the shown ones, the heights without "H=".
    const std::unique_ptr<QMimeData> copied(form->ResultsAsText());
    const QString valueAndHeight = QStringLiteral("\nWert bei X\t%1\nHöhe bei X\t%2\n").arg(texts[0], texts[1].mid(2));
    QVERIFY(copied->text().contains(valueAndHeight));
    QCOMPARE(form->lbl_xH->isHidden(), layout == lsLevel);
    QCOMPARE(form->lbl_Hges->isHidden(), layout == lsLevel);
}

void tst_tirasomain::layoutMovesControls_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<int>("y1Top");
    QTest::addColumn<int>("y2Top");
    QTest::addColumn<int>("xHLeft");
    QTest::addColumn<int>("hgesLeft");
    QTest::addColumn<bool>("rightAligned");
    QTest::newRow("falling") << Inputs{0, 1, 0.5, 1, 0} << 11 << 92 << 125 << 8 << true;
    QTest::newRow("rising") << Inputs{0, 1, 0.5, 0, 1} << 92 << 11 << 252 << 384 << false;
    // The level layout leaves the hidden height labels where the last layout put them.
    QTest::newRow("level after falling") << Inputs{0, 1, 0.5, 1, 1} << 49 << 49 << 125 << 8 << true;
}

void tst_tirasomain::layoutMovesControls()
{
    QFETCH(Inputs, in);
    QFETCH(int, y1Top);
    QFETCH(int, y2Top);
    QFETCH(int, xHLeft);
    QFETCH(int, hgesLeft);
    QFETCH(bool, rightAligned);

    auto form = makeForm();
    setInputs(*form, {0, 1, 0.5, 1, 0});
    form->Aktualisieren();
    setInputs(*form, in);
    form->Aktualisieren();
    QCOMPARE(form->spin_y1->y(), y1Top);
    QCOMPARE(form->spin_y2->y(), y2Top);
    QCOMPARE(form->spin_y1->x(), 45);
    QCOMPARE(form->spin_y2->x(), 320);
    QCOMPARE(form->lbl_xH->x(), xHLeft);
    QCOMPARE(form->lbl_Hges->x(), hgesLeft);
    QCOMPARE(form->lbl_xH->y(), 111);
    QCOMPARE(form->lbl_xH->alignment().testFlag(Qt::AlignRight), rightAligned);
    QCOMPARE(form->lbl_Hges->alignment().testFlag(Qt::AlignRight), rightAligned);
}

void tst_tirasomain::backgroundShowsTheLine_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QPoint>("left");  // where the picture has the support point of x1
    QTest::addColumn<QPoint>("right"); // and of x2
    QTest::newRow("rising: x2's point high") << Inputs{0, 1, 0.33, 0, 1} << QPoint(96, 131) << QPoint(369, 54);
    QTest::newRow("falling: x1's point high") << Inputs{0, 1, 0.33, 1, 0} << QPoint(96, 54) << QPoint(369, 131);
    QTest::newRow("level: both at one height") << Inputs{0, 1, 0.33, 1, 1} << QPoint(96, 89) << QPoint(369, 89);
}

void tst_tirasomain::backgroundShowsTheLine()
{
    // The picture of each layout, read where nothing covers it: its support
    // points are green, where the other pictures have theirs nothing is. A
    // picture that did not load would be white all over.
    QFETCH(Inputs, in);
    QFETCH(QPoint, left);
    QFETCH(QPoint, right);
    const QColor green(0, 176, 0);
    auto form = makeForm();
    setInputs(*form, in);
    form->Aktualisieren();
    const QImage shown = form->grab().toImage();
    QCOMPARE(shown.pixelColor(left), green);
    QCOMPARE(shown.pixelColor(right), green);
    for (const QPoint& elsewhere :
         {QPoint(96, 131), QPoint(369, 54), QPoint(96, 54), QPoint(369, 131), QPoint(96, 89), QPoint(369, 89)}) {
        if (elsewhere != left && elsewhere != right)
            QVERIFY2(shown.pixelColor(elsewhere) != green,
                     qPrintable(QStringLiteral("%1,%2").arg(elsewhere.x()).arg(elsewhere.y())));
    }
}

void tst_tirasomain::decimalsOutsideTheRangeGiveTwo_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("y");
    QTest::newRow("-1") << -1 << QStringLiteral("0,33");
    QTest::newRow("25") << 25 << QStringLiteral("0,33");
    QTest::newRow("18 is still taken") << 18 << QStringLiteral("0,330000000000000016");
}

void tst_tirasomain::decimalsOutsideTheRangeGiveTwo()
{
    QFETCH(int, decimals);
    QFETCH(QString, y);
    auto form = makeForm();
    form->Decimals = decimals;
    form->Aktualisieren();
    QCOMPARE(form->lbl_YErg->Caption(), y);
}

void tst_tirasomain::slopeModeSwitchesTheText()
{
    auto form = makeForm();
    QCOMPARE(form->lbl_Neig->Caption(), QStringLiteral("100,000%"));
    QTest::mouseClick(form->cb_PRZT, Qt::LeftButton);
    QVERIFY(!form->cb_PRZT->Checked());
    QCOMPARE(form->lbl_Neig->Caption(), QStringLiteral("45,000°"));
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,330"));
    QTest::mouseClick(form->cb_PRZT, Qt::LeftButton);
    QCOMPARE(form->lbl_Neig->Caption(), QStringLiteral("100,000%"));
}

void tst_tirasomain::typedTextIsDroppedByRecomputation()
{
    auto form = makeForm();
    QLineEdit* edit = form->spin_x1->InnerEdit();
    edit->setText(QStringLiteral("0,5"));
    form->Aktualisieren();
    QCOMPARE(edit->text(), QStringLiteral("0,000"));
    QCOMPARE(form->spin_x1->ValueReal(), 0.0);
}

void tst_tirasomain::placementParameter_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("200|300") << "200|300" << QPoint(200, 300);
    QTest::newRow("abc| gives 100 each") << "abc|" << QPoint(100, 100);
    QTest::newRow("only the first bar counts") << "10|20|30" << QPoint(10, 100);
    QTest::newRow("signs and leading blanks") << " -5|+7" << QPoint(-5, 7);
    QTest::newRow("hex") << "$10|0x20" << QPoint(16, 32);
    QTest::newRow("trailing blank is not an integer") << "5 |6" << QPoint(100, 6);
    QTest::newRow("beyond 32 bits") << "2147483648|-2147483648" << QPoint(100, -2147483647 - 1);
    QTest::newRow("no bar keeps the design position") << "500" << QPoint(657, 403);
}

void tst_tirasomain::placementParameter()
{
    QFETCH(QString, parameter);
    QFETCH(QPoint, position);
    auto form = makeForm({parameter, QStringLiteral("ignored|parameter")});
    QCOMPARE(form->pos(), position);
}

void tst_tirasomain::placementWithoutParameterCentres()
{
    auto form = makeForm();
    const QSize monitor = QGuiApplication::screens().constFirst()->geometry().size();
    const QSize outer = form->frameGeometry().size();
    QCOMPARE(form->pos(), QPoint((monitor.width() - outer.width()) / 2, (monitor.height() - outer.height()) / 2));
}

void tst_tirasomain::finishedFrame_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<bool>("finished");
    const QRect window(405, 397, 470, 270);
    QTest::newRow("no window manager: no frame") << window << window << false;
    QTest::newRow("title bar and borders") << QRect(404, 377, 472, 291) << window << true;
    QTest::newRow("borders only") << QRect(403, 395, 474, 274) << window << true;
    // Regression: centred by this frame, the window's corner went to the
    // middle of the screen.
    QTest::newRow("frame window still 1 x 1") << QRect(0, 0, 1, 1) << QRect(0, 0, 470, 270) << false;
    QTest::newRow("frame not around the window") << QRect(0, 0, 472, 291) << window << false;
}

void tst_tirasomain::finishedFrame()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, window);
    QFETCH(bool, finished);
    QCOMPARE(TForm1::IsFinishedFrame(frame, window), finished);
}

void tst_tirasomain::resultFieldEntry_data()
{
    // clang-format off
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<Inputs>("expected");
    const Inputs start{0, 1, 0.33, 0, 1};
    QTest::newRow("total length 2") << "lbl_LGes" << "2" << true << Inputs{0, 2, 0.33, 0, 1};
    QTest::newRow("total length 0,2 pulls X") << "lbl_LGes" << "0,2" << true << Inputs{0, 0.2, 0.2, 0, 1};
    // The editors and the model agree on the minimum: X follows x2 as the editor holds it.
    QTest::newRow("total length below the minimum") << "lbl_LGes" << "-2000000" << true << Inputs{0, -1e6, -1e6, 0, 1};
    QTest::newRow("left part 5 stops at x2") << "lbl_LLi" << "5" << true << Inputs{0, 1, 1, 0, 1};
    QTest::newRow("right part 0,25") << "lbl_LRe" << "0,25" << true << Inputs{0, 1, 0.75, 0, 1};
    QTest::newRow("total height 3") << "lbl_Hges" << "3" << true << Inputs{0, 1, 0.33, 0, 3};
    QTest::newRow("total height 0 is ignored") << "lbl_Hges" << "0" << true << start;
    QTest::newRow("slope 50 %") << "lbl_Neig" << "50" << true << Inputs{0, 1, 0.33, 0, 0.5};
    // The tangent in extended precision: in double precision 45 degrees gave
    // y2 = 0.9999999999999999 and 89 degrees missed by dozens of units.
    QTest::newRow("slope 45 degrees") << "lbl_Neig" << "45" << false << Inputs{0, 1, 0.33, 0, 1};
    QTest::newRow("cancelled") << "lbl_LGes" << QString() << true << start;
    // The calculator throws for these; the entry fails without a message.
    QTest::newRow("formula overflows") << "lbl_Hges" << "10^5000" << true << start;
    QTest::newRow("parentheses the wrong way round") << "lbl_LLi" << "2)+(3" << true << start;
    // A "." is a decimal point, also before three digits; it groups only in
    // the full German form.
    QTest::newRow("total length 2.5") << "lbl_LGes" << "2.5" << true << Inputs{0, 2.5, 0.33, 0, 1};
    QTest::newRow("total length 1.234,5") << "lbl_LGes" << "1.234,5" << true << Inputs{0, 1234.5, 0.33, 0, 1};
    QTest::newRow("total length 12.345") << "lbl_LGes" << "12.345" << true << Inputs{0, 12.345, 0.33, 0, 1};
    QTest::newRow("total length (1.234+2,5)*2")
        << "lbl_LGes" << "(1.234+2,5)*2" << true << Inputs{0, 7.468, 0.33, 0, 1};
    QTest::newRow("slope 12.5 %") << "lbl_Neig" << "12.5" << true << Inputs{0, 1, 0.33, 0, 0.125};
    // clang-format on
}

void tst_tirasomain::resultFieldEntry()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, percent);
    QFETCH(Inputs, expected);

    auto form = makeForm();
    form->cb_PRZT->SetCheckedSilent(percent);
    form->Aktualisieren();
    RecomputeCounter recomputed(*form);
    auto seen = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>(); // closed so that an unexpected one cannot hang the test
    answerNextPrompt(seen, typed, !typed.isNull(), [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->findChild<QWidget*>(field), Qt::LeftButton);
    QVERIFY(seen->opened);
    QCOMPARE(seen->caption, QStringLiteral("Wert eingeben"));
    QVERIFY(!message->opened);
    QCOMPARE(recomputed.count, 1); // in every case, also after a cancel or an ignored zero

    QCOMPARE(readInputs(*form), expected);
}

void tst_tirasomain::resultFieldPrefills_data()
{
    // clang-format off
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("prefilled");
    QTest::newRow("total length") << "lbl_LGes" << true << "Neue Gesamtlänge:" << "1,000";
    QTest::newRow("total height without H=") << "lbl_Hges" << true << "Neue Gesamthöhe:" << "1,000";
    QTest::newRow("left part") << "lbl_LLi" << true << "Neue Teillänge:" << "0,330";
    QTest::newRow("right part") << "lbl_LRe" << true << "Neue Teillänge:" << "0,670";
    QTest::newRow("slope in percent") << "lbl_Neig" << true << "Neue Neigung (in Prozent):" << "100,000";
    QTest::newRow("slope in degrees") << "lbl_Neig" << false << "Neue Neigung (in Grad [deg]):" << "45,000";
    // clang-format on
}

void tst_tirasomain::resultFieldPrefills()
{
    QFETCH(QString, field);
    QFETCH(bool, percent);
    QFETCH(QString, prompt);
    QFETCH(QString, prefilled);
    auto form = makeForm();
    form->cb_PRZT->SetCheckedSilent(percent);
    form->Aktualisieren();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString(), false);
    QTest::mouseClick(form->findChild<QWidget*>(field), Qt::LeftButton);
    QVERIFY(seen->labels.contains(prompt));
    QCOMPARE(seen->editText, prefilled);
}

void tst_tirasomain::invalidEntryShowsTheMessage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "abc";
    QTest::newRow("two decimal points") << "1.5.3";
    QTest::newRow("dots without a comma part") << "1.234.567";
}

void tst_tirasomain::invalidEntryShowsTheMessage()
{
    QFETCH(QString, typed);
    auto form = makeForm();
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, typed, true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    QVERIFY(message->opened);
    QVERIFY(message->labels.contains(QStringLiteral("Bitte eine gültige Zahl oder Rechenformel eingeben!")));
    QCOMPARE(message->caption, TApplication::Title());
    QCOMPARE(form->spin_x2->ValueReal(), 1.0);
}

void tst_tirasomain::groupedPrefillIsAccepted_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QString>("prefilled");
    QTest::newRow("total length") << "lbl_LGes" << Inputs{0, 1234.5, 0.33, 0, 1} << "1.234,500";
    QTest::newRow("total height") << "lbl_Hges" << Inputs{0, 1, 0.33, 0, 1234.5} << "1.234,500";
    QTest::newRow("left part") << "lbl_LLi" << Inputs{0, 5000, 1234.5, 0, 1} << "1.234,500";
    QTest::newRow("right part") << "lbl_LRe" << Inputs{0, 5000, 1000, 0, 1} << "4.000,000";
    QTest::newRow("slope") << "lbl_Neig" << Inputs{0, 2, 1, 0, 20} << "1.000,000";
    QTest::newRow("value at X") << "lbl_YErg" << Inputs{0, 2, 1, 0, 2469} << "1.234,500";
    // Without decimals only the prompt's own text tells "1.234" from 1,234.
    QTest::newRow("total length, no decimals") << "lbl_LGes" << Inputs{0, 1234, 0.33, 0, 1} << "1.234";
    QTest::newRow("value at X, no decimals") << "lbl_YErg" << Inputs{0, 2, 1, 0, 2468} << "1.234";
}

void tst_tirasomain::groupedPrefillIsAccepted()
{
    // Regression: the program refused its own grouped number when the
    // pre-filled text was confirmed unchanged.
    QFETCH(QString, field);
    QFETCH(Inputs, in);
    QFETCH(QString, prefilled);
    auto form = makeForm();
    setInputs(*form, in);
    form->Decimals = prefilled.contains(u',') ? 3 : 0;
    form->Aktualisieren();
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QString(), true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->findChild<QWidget*>(field), Qt::LeftButton);
    QCOMPARE(prompt->editText, prefilled);
    QVERIFY(!message->opened);
    QCOMPARE(readInputs(*form), in);
}

void tst_tirasomain::entryOverflowKeepsTheEditors()
{
    // x1 + v beyond the double range is a failure of the step, not a value.
    auto form = makeForm();
    form->spin_x1->setValueReal(1.7e308);
    form->spin_x2->setValueReal(1.75e308);
    form->Aktualisieren();
    auto seen = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QStringLiteral("10^308"), true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    QVERIFY(seen->opened);
    QVERIFY(!message->opened);
    QCOMPARE(form->spin_x2->ValueReal(), 1.75e308);
}

void tst_tirasomain::backCalculation_data()
{
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("X");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("recomputations");
    QTest::newRow("0,25 on the rising line") << Inputs{0, 1, 0.33, 0, 1} << "0,25" << 0.25 << false << 1;
    QTest::newRow("y2 itself is extrapolation") << Inputs{0, 1, 0.33, 0, 1} << "1" << 0.33 << true << 0;
    QTest::newRow("falling line") << Inputs{0, 1, 0.33, 2, 0} << "1" << 0.5 << false << 1;
    QTest::newRow("level line does nothing") << Inputs{0, 1, 0.33, 1, 1} << "1" << 0.33 << false << 0;
    QTest::newRow("grouped height") << Inputs{0, 2, 0.33, 0, 2469} << "1.234,5" << 1.0 << false << 1;
    // Regression: a value beyond the double range was refused as extrapolation.
    QTest::newRow("beyond the double range is silent") << Inputs{0, 1, 0.33, 0, 1} << "10^309" << 0.33 << false << 0;
    QTest::newRow("formula overflows") << Inputs{0, 1, 0.33, 0, 1} << "10^5000" << 0.33 << false << 0;
    QTest::newRow("no interval does nothing") << Inputs{1, 1, 1, 0, 1} << "0,5" << 1.0 << false << 0;
}

void tst_tirasomain::backCalculation()
{
    QFETCH(Inputs, in);
    QFETCH(QString, typed);
    QFETCH(double, X);
    QFETCH(bool, refused);
    QFETCH(int, recomputations);

    auto form = makeForm();
    setInputs(*form, in);
    form->Aktualisieren();
    RecomputeCounter recomputed(*form);
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, typed, true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->lbl_YErg, Qt::LeftButton);
    QCOMPARE(prompt->caption, QStringLiteral("Rückrechnung"));
    QVERIFY(prompt->labels.contains(QStringLiteral("Neue Höhe zwischen y1 und y2:")));
    if (refused) {
        QTRY_VERIFY(message->opened);
        QVERIFY(message->labels.contains(QStringLiteral("Eine extrapolation ist nicht vorgesehen!")));
    } else {
        // Give a stray message box time to appear before concluding there is none.
        QTest::qWait(50);
        QVERIFY(!message->opened);
    }
    QCOMPARE(form->spin__X->ValueReal(), X);
    QCOMPARE(recomputed.count, recomputations);
}

void tst_tirasomain::backCalculationCancelDoesNotRecompute()
{
    auto form = makeForm();
    RecomputeCounter recomputed(*form);
    auto prompt = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QStringLiteral("0,5"), false);
    QTest::mouseClick(form->lbl_YErg, Qt::LeftButton);
    QCOMPARE(prompt->editText, QStringLiteral("0,330"));
    QCOMPARE(recomputed.count, 0);
    QCOMPARE(form->spin__X->ValueReal(), 0.33);
}

namespace {

QString storageFile(const QString& name)
{
    return TForm1::StorageFolder() + name;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QByteArray extended(double value)
{
    const auto bytes = ValueFiles::EncodeExtended(value);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

} // namespace

void tst_tirasomain::firstStartWritesTheLastValuesAtClose()
{
    QVERIFY(!QFile::exists(storageFile(QStringLiteral("lastV.def"))));
    auto form = makeForm();
    QCOMPARE(form->spin__X->ValueReal(), 0.33);
    form->close();
    const QByteArray data = readFile(storageFile(QStringLiteral("lastV.def")));
    QCOMPARE(data.size(), 58);
    QCOMPARE(data.left(11), QByteArray("\x05\0\0\0\0\0\0\0\0\0\0", 11));
    QCOMPARE(data.mid(11, 11), QByteArray(1, '\x05') + extended(0.33));
    QCOMPARE(data.mid(22, 11), QByteArray(1, '\x05') + extended(1.0));
    QCOMPARE(data.mid(55), QByteArray("\x02\x03\x09", 3));
}

void tst_tirasomain::lastValuesAreRestored_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("percent");

    QByteArray floats;
    for (double v : {2.0, 3.5, 7.0, -1.0, 4.0})
        floats += '\x05' + extended(v);
    const Inputs restored{2, 7, 3.5, -1, 4};
    QTest::newRow("complete") << floats + QByteArray("\x02\x05\x09", 3) << restored << 5 << true;
    QTest::newRow("55 bytes: the floats only") << floats << restored << 3 << true;
    QTest::newRow("last byte 0x08: degrees") << floats + QByteArray("\x02\x03\x08", 3) << restored << 3 << false;
    QTest::newRow("integer tag in a float position")
        << QByteArray("\x02\x07", 2) + floats.mid(11) << Inputs{7, 7, 3.5, -1, 4} << 3 << true;
    QTest::newRow("wrong tag stops the reading")
        << floats.left(22) + QByteArray("\x09", 1) + floats.mid(23) << Inputs{2, 1, 3.5, 0, 1} << 3 << true;
    QTest::newRow("cut inside the third float") << floats.left(27) << Inputs{2, 1, 3.5, 0, 1} << 3 << true;
    QTest::newRow("a float beyond the double range stops the reading")
        << floats.left(11) + QByteArray("\x05\0\0\0\0\0\0\0\x80\xFF\x7E", 11) + floats.mid(22)
        << Inputs{2, 1, 0.33, 0, 1} << 3 << true;
    QTest::newRow("below the editors' minimum")
        << QByteArray(1, '\x05') + extended(-5e6) << Inputs{-1e6, 1, 0.33, 0, 1} << 3 << true;
}

void tst_tirasomain::lastValuesAreRestored()
{
    QFETCH(QByteArray, file);
    QFETCH(Inputs, inputs);
    QFETCH(int, decimals);
    QFETCH(bool, percent);
    writeFile(storageFile(QStringLiteral("lastV.def")), file);
    auto form = makeForm();
    QCOMPARE(readInputs(*form), inputs);
    QCOMPARE(form->Decimals, decimals);
    QCOMPARE(form->cb_PRZT->Checked(), percent);
    QCOMPARE(form->lbl_Neig->Caption().endsWith(QLatin1Char('%')), percent);
}

void tst_tirasomain::largeDecimalsSurviveARestart()
{
    {
        auto form = makeForm();
        form->Decimals = 200;
        form->close();
    }
    const QByteArray data = readFile(storageFile(QStringLiteral("lastV.def")));
    QCOMPARE(data.size(), 59);
    QCOMPARE(data.mid(55, 3), QByteArray("\x03\xC8\x00", 3));
    auto form = makeForm();
    QCOMPARE(form->Decimals, 200);
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,33")); // outside 0..18: two places
}

void tst_tirasomain::saveWritesTheValueSet()
{
    auto form = makeForm();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QString());
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QCOMPARE(seen->caption, QStringLiteral("Name der Daten"));
    QVERIFY(seen->labels.contains(QStringLiteral("Dateiname:")));
    const QString stamp = seen->editText;
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4} \\d\\d-\\d\\d-\\d\\d$")).match(stamp).hasMatch(),
             qPrintable(stamp));
    const QByteArray data = readFile(storageFile(stamp + QStringLiteral(".dat")));
    QCOMPARE(data, stamp.toLatin1() + "\r\n---V1\r\n0\r\n1\r\n0\r\n1\r\n0,33\r\n1,000\r\n0,330\r\n");
}

void tst_tirasomain::saveRefusesForbiddenCharacters()
{
    auto form = makeForm();
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QStringLiteral("a/b"), true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QVERIFY(message->opened);
    QVERIFY(message->labels.contains(QStringLiteral("Der Dateiname enthält ungültige Zeichen !\n\n"
                                                    "NICHT erlaubt sind folgende Zeichen:\n"
                                                    "\\:*?\"<>|/")));
    QCOMPARE(QDir(TForm1::StorageFolder()).entryList(QDir::Files), QStringList{});
}

void tst_tirasomain::saveWithEmptyNameAndReplacing()
{
    auto form = makeForm();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QStringLiteral(""));
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QVERIFY(QFile::exists(storageFile(QStringLiteral(".dat"))));

    answerNextPrompt(seen, QStringLiteral("Aufgabe"));
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    form->spin_y2->setValueReal(9);
    answerNextPrompt(seen, QStringLiteral("Aufgabe"), true,
                     [] { whenModalOpens([](QWidget* box) { pressButton(box, QStringLiteral("Ja")); }); });
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    const QList<QByteArray> lines = readFile(storageFile(QStringLiteral("Aufgabe.dat"))).split('\n');
    QCOMPARE(lines.value(3), QByteArray("9\r"));
}

void tst_tirasomain::saveFailureIsReported()
{
    // A folder in the way of the file: the value set cannot be created.
    QVERIFY(QDir().mkpath(storageFile(QStringLiteral("Ordner.dat"))));
    auto form = makeForm();
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QStringLiteral("Ordner"), true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QVERIFY(message->opened);
    const QString expected = QStringLiteral("Datei %1 kann nicht erstellt werden")
                                 .arg(QDir::toNativeSeparators(storageFile(QStringLiteral("Ordner.dat"))));
    QVERIFY2(message->labels.contains(expected), qPrintable(message->labels.join(QLatin1Char('|'))));
    QVERIFY(QFileInfo(storageFile(QStringLiteral("Ordner.dat"))).isDir());
}

void tst_tirasomain::unusableStorageFolder()
{
    // A set saved anywhere else would never show in the load dialog; the
    // folder the program was started from is the worst place of all.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = data + QStringLiteral("/tiraso");
    QVERIFY(QDir().mkpath(data));
    writeFile(folder, "kein Ordner");
    QTemporaryDir start;
    QVERIFY(start.isValid());
    const QString current = QDir::currentPath();
    const auto restore = qScopeGuard([current] { QDir::setCurrent(current); });
    QVERIFY(QDir::setCurrent(start.path()));

    auto form = makeForm();
    auto prompt = std::make_shared<DialogSeen>();
    auto message = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QStringLiteral("whereami"), true, [message] { acknowledgeNextMessage(message); });
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QVERIFY(message->opened);
    const QString expected = QStringLiteral("Datei %1 kann nicht erstellt werden")
                                 .arg(QDir::toNativeSeparators(folder + QStringLiteral("/whereami.dat")));
    QVERIFY2(message->labels.contains(expected), qPrintable(message->labels.join(QLatin1Char('|'))));

    QString dialogFolder;
    whenModalOpens([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            dialogFolder = dialog->directory().absolutePath();
        QMetaObject::invokeMethod(modal, "reject");
    });
    QTest::mouseClick(form->btn_load, Qt::LeftButton);
    QCOMPARE(dialogFolder, QDir::homePath());

    form->close(); // the last values have nowhere to go either
    QCOMPARE(QDir(start.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
}

void tst_tirasomain::loadTakesWhatTheFileHolds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QString>("message"); // after "Datei <path> ", empty when none
    const QByteArray complete = "stamp\r\n---V1\r\n2\r\n4\r\n-1\r\n3\r\n0,5\r\n4,000\r\n1,500\r\n";
    QTest::newRow("complete") << complete << Inputs{-1, 3, 0.5, 2, 4} << "";
    QTest::newRow("marker not tested") << QByteArray(complete).replace("---V1", "fremd") << Inputs{-1, 3, 0.5, 2, 4}
                                       << "";
    QTest::newRow("captions missing") << QByteArray("s\nm\n2\n4\n-1\n3\n0,5\n") << Inputs{-1, 3, 0.5, 2, 4} << "";
    QTest::newRow("five lines") << QByteArray("s\r\nm\r\n2\r\n4\r\n-1\r\n") << Inputs{-1, 1, 0.33, 2, 4}
                                << "wurde nur teilweise geladen:\nZeile 6 (X2) fehlt.";
    QTest::newRow("not a number stops") << QByteArray("s\nm\n2\nzwei\n-1\n") << Inputs{0, 1, 0.33, 2, 1}
                                        << "wurde nur teilweise geladen:\nZeile 4 (Y2) ist keine gültige Zahl.";
    QTest::newRow("over-long number is not its beginning")
        << "s\r\nm\r\n1,5" + QByteArray(1100, '0') + "E3\r\n4\r\n-1\r\n3\r\n0,5\r\n"
        << Inputs{0, 1, 0.33, 0, 1} << "wurde nicht geladen:\nZeile 3 (Y1) ist keine gültige Zahl.";
    QTest::newRow("over-long stamp does not matter") << QByteArray(2000, 's') + "\r\nm\r\n2\r\n4\r\n-1\r\n3\r\n0,5\r\n"
                                                     << Inputs{-1, 3, 0.5, 2, 4} << "";
    QTest::newRow("empty file") << QByteArray() << Inputs{0, 1, 0.33, 0, 1}
                                << "wurde nicht geladen:\nZeile 3 (Y1) fehlt.";
    QTest::newRow("exponent form") << QByteArray("s\nm\n1E15\n1,5E-7\n0\n1\n0,5\n") << Inputs{0, 1, 0.5, 1e15, 1.5e-7}
                                   << "";
    QTest::newRow("below the editors' minimum: raised, and told")
        << QByteArray("s\nm\n-5000000\n4\n-1\n3\n0,5\n") << Inputs{-1, 3, 0.5, -1e6, 4}
        << "wurde mit Änderungen geladen:\n"
           "Zeile 3 (Y1): -5.000.000 ist kleiner als -1.000.000 und wurde auf -1.000.000 gesetzt.";
    QTest::newRow("raised, then stopped") << QByteArray("s\nm\n1\n2\n-1234567,5\nx\n") << Inputs{-1e6, 1, 0.33, 1, 2}
                                          << "wurde nur teilweise geladen:\n"
                                             "Zeile 5 (X1): -1.234.567,5 ist kleiner als -1.000.000 und wurde auf "
                                             "-1.000.000 gesetzt.\nZeile 6 (X2) ist keine gültige Zahl.";
    QTest::newRow("the minimum itself") << QByteArray("s\nm\n-1000000\n4\n-1\n3\n0,5\n") << Inputs{-1, 3, 0.5, -1e6, 4}
                                        << "";
}

void tst_tirasomain::loadTakesWhatTheFileHolds()
{
    QFETCH(QByteArray, file);
    QFETCH(Inputs, inputs);
    QFETCH(QString, message);
    writeFile(storageFile(QStringLiteral("satz.dat")), file);
    auto form = makeForm();
    form->Decimals = 4;
    form->cb_PRZT->SetCheckedSilent(false);
    RecomputeCounter recomputed(*form);
    QString title;
    QString folder;
    auto told = std::make_shared<DialogSeen>();
    whenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        if (!message.isEmpty())
            acknowledgeNextMessage(told);
        chooseFile(dialog, storageFile(QStringLiteral("satz.dat")));
    });
    QTest::mouseClick(form->btn_load, Qt::LeftButton);
    if (message.isEmpty()) {
        QVERIFY(!QApplication::activeModalWidget());
    } else {
        // Told after the recomputation, with the file's full name.
        QTRY_VERIFY(told->opened);
        const QString expected = QStringLiteral("Datei %1 %2")
                                     .arg(QDir::toNativeSeparators(storageFile(QStringLiteral("satz.dat"))), message);
        QVERIFY2(told->labels.contains(expected), qPrintable(told->labels.join(QLatin1Char('|'))));
    }
    QCOMPARE(title, QStringLiteral("Gespeicherte Werte laden"));
    QCOMPARE(folder + QLatin1Char('/'), QDir(TForm1::StorageFolder()).absolutePath() + QLatin1Char('/'));
    QCOMPARE(readInputs(*form), inputs);
    QCOMPARE(recomputed.count, 1);
    QCOMPARE(form->Decimals, 4);
    QVERIFY(!form->cb_PRZT->Checked());
}

void tst_tirasomain::loadCancelDoesNothing()
{
    auto form = makeForm();
    RecomputeCounter recomputed(*form);
    whenModalOpens([](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject"); });
    QTest::mouseClick(form->btn_load, Qt::LeftButton);
    QCOMPARE(recomputed.count, 0);
}

void tst_tirasomain::contextMenuItems()
{
    auto form = makeForm();
    QStringList captions;
    for (QAction* action : form->PM_1->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(captions,
             (QStringList{"Rückgängig", "Wiederholen", "-", "Nachkommastellen definieren", "-",
                          "Werte auf Standard setzen (Reset)", "Y-Werte spiegeln (links nach rechts)",
                          "Ergebnis als Grafik kopieren", "Ergebnisse kopieren", "-", "Info über..."}));
    QCOMPARE(form->PaintBox1->PopupMenu, form->PM_1);

    // A left click on the info line opens the menu.
    QTest::mouseClick(form->lbl_info, Qt::LeftButton);
    QTRY_VERIFY(form->PM_1->isVisible());
    form->PM_1->hide();
}

void tst_tirasomain::decimalPlacesCommand_data()
{
    // clang-format off
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("editorDecimals");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("editorX");
    QTest::newRow("0") << "0" << 0 << 0 << "0" << "0";
    QTest::newRow("8") << "8" << 8 << 8 << "0,33000000" << "0,33000000";
    QTest::newRow("9: editors stop at 8") << "9" << 9 << 8 << "0,330000000" << "0,33000000";
    QTest::newRow("abc keeps 3") << "abc" << 3 << 3 << "0,330" << "0,330";
    QTest::newRow("-3: labels two, editors none") << "-3" << -3 << 0 << "0,33" << "0";
    // clang-format on
}

void tst_tirasomain::decimalPlacesCommand()
{
    QFETCH(QString, typed);
    QFETCH(int, decimals);
    QFETCH(int, editorDecimals);
    QFETCH(QString, y);
    QFETCH(QString, editorX);
    auto form = makeForm();
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, typed);
    form->PM_NKDef->trigger();
    QCOMPARE(seen->caption, QStringLiteral("Neuer Wert"));
    QVERIFY(seen->labels.contains(QStringLiteral("Nachkommastellen:")));
    QCOMPARE(seen->editText, QStringLiteral("3"));
    QCOMPARE(form->Decimals, decimals);
    for (TSpezialSpin* spin : {form->spin_x1, form->spin_x2, form->spin__X, form->spin_y1, form->spin_y2})
        QCOMPARE(spin->NachkommaStellen(), editorDecimals);
    QCOMPARE(form->lbl_YErg->Caption(), y);
    QCOMPARE(form->spin__X->ValueText(), editorX);
}

void tst_tirasomain::resetKeepsDecimals()
{
    auto form = makeForm();
    setInputs(*form, {3, 7, 4, 5, -2});
    form->cb_PRZT->SetCheckedSilent(false);
    form->Decimals = 5;
    form->PM_Reset->trigger();
    QCOMPARE(readInputs(*form), (Inputs{0, 1, 0.5, 0, 1}));
    QVERIFY(form->cb_PRZT->Checked());
    QCOMPARE(form->Decimals, 5);
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,50000"));
}

void tst_tirasomain::mirrorSwapsYValues()
{
    auto form = makeForm();
    form->pm_Mirror->trigger();
    QCOMPARE(form->spin_y1->ValueReal(), 1.0);
    QCOMPARE(form->spin_y2->ValueReal(), 0.0);
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,670"));
    QCOMPARE(form->Layout, lsFalling);
}

void tst_tirasomain::copyPictureBlanksTheButtons()
{
    auto form = makeForm();
    QGuiApplication::clipboard()->clear();
    form->PM_CopyBMP->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(470, 270));
    const QImage picture = form->ResultPicture();
    QCOMPARE(picture.format(), QImage::Format_RGB888);
    QCOMPARE(picture.depth(), 24);

    const auto allWhite = [&](const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (picture.pixel(x, y) != qRgb(255, 255, 255))
                    return false;
        return true;
    };
    QVERIFY(allWhite(QRect(QPoint(410, 238), QPoint(469, 269))));
    QVERIFY(allWhite(QRect(QPoint(0, 246), QPoint(133, 269))));
    QVERIFY(allWhite(QRect(QPoint(290, 49), QPoint(308, 68))));
    // The column shared with the value field's frame stays.
    QVERIFY(!allWhite(QRect(289, 49, 1, 20)));
    // The results stay in the picture.
    QVERIFY(!allWhite(form->lbl_YErg->geometry().adjusted(1, 1, -1, -1)));
}

void tst_tirasomain::copyValueTakesTheCaption()
{
    auto form = makeForm();
    form->spin_x2->setValueReal(2);
    form->spin__X->setValueReal(1.2345678);
    form->spin_y2->setValueReal(2000);
    form->Aktualisieren();
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("1.234,568"));
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    QTest::mouseClick(form->btn_copy1, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1.234,568"));

    form->lbl_YErg->setCaption(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    QTest::mouseClick(form->btn_copy1, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
}

void tst_tirasomain::shiftCopyGivesThePlainNumber_data()
{
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QString>("copied");
    QTest::newRow("start values") << Interpolation::StartInputs << "0.33";
    QTest::newRow("no grouping, every digit") << Inputs{0, 2, 1.2345, 0, 2000} << "1234.5";
    QTest::newRow("beyond the shown decimals") << Inputs{0, 1, 0.5, 0, -5e-8} << "-2.5e-08";
    QTest::newRow("level line: y1") << Inputs{0, 1, 2, -7.25, 3} << "-7.25";
}

void tst_tirasomain::shiftCopyGivesThePlainNumber()
{
    QFETCH(Inputs, inputs);
    QFETCH(QString, copied);
    auto form = makeForm();
    setInputs(*form, inputs);
    form->Aktualisieren();
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    QTest::mouseClick(form->btn_copy1, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
}

void tst_tirasomain::infoBox()
{
    auto form = makeForm();
    auto seen = std::make_shared<DialogSeen>();
    acknowledgeNextMessage(seen);
    form->PM_Info->trigger();
    QCOMPARE(seen->caption, QStringLiteral("Bestätigung"));
    QCOMPARE(seen->buttons, QStringList{QStringLiteral("OK")});
    const QString text = seen->labels.join(QLatin1Char('\n'));
    QCOMPARE(text,
             QStringLiteral("Tiraso\tPravenda\n\n"
                            "Autor\tTiraso-Projekt\n"
                            "Kontakt\twww.tiraso.example\n\n"
                            "Version\t3.0 - 05/2024"));
}

void tst_tirasomain::makerMarks()
{
    auto form = makeForm();
    QCOMPARE(form->lbl_info->Caption(), QStringLiteral("© Tiraso 05/2024"));
    // A longer mark would be cut to "..." in the info line's room beside its glyph.
    QCOMPARE(form->lbl_info->ShownText(), form->lbl_info->Caption());
    const QList<TRUVLabel*> labels = form->findChildren<TRUVLabel*>();
    QCOMPARE(labels.size(), 6);
    for (const TRUVLabel* label : labels)
        QCOMPARE(label->LabelExecute(), QStringLiteral("mailto:kontakt@tiraso.example"));
}

void tst_tirasomain::windowIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16 px: title bars and menus") << 16;
    QTest::newRow("24 px: panels") << 24;
    QTest::newRow("32 px: task switchers") << 32;
    QTest::newRow("48 px: docks") << 48;
}

// The window carries the application icon's drawing, so the task switcher and
// docks show it as the launcher entry does. Probed where the drawing's parts
// fall on whole pixels at every size of the table.
void tst_tirasomain::windowIcon()
{
    QFETCH(int, size);
    auto form = makeForm();
    const QImage icon = form->windowIcon().pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(size, size));
    const QColor green(0, 176, 0);
    const QColor blue(0, 128, 255);
    const int quarter = size / 4;
    QCOMPARE(icon.pixelColor(quarter, 3 * quarter), green);         // lower support point
    QCOMPARE(icon.pixelColor(3 * quarter - 1, quarter - 1), green); // higher support point
    QCOMPARE(icon.pixelColor(size / 2, size * 5 / 8), blue);        // height at X
    QCOMPARE(icon.pixelColor(quarter, quarter), QColor(Qt::white)); // the tile above the line
    // Outside the rounded tile the panel shows through.
    QVERIFY2(icon.pixelColor(0, 0).alpha() < 64, qPrintable(QString::number(icon.pixelColor(0, 0).alpha())));
}

// The pictures drawn at build time are the drawings as the window draws them
// now, pixel for pixel: none is stale, none lost in storing.
void tst_tirasomain::storedPicturesAreTheirDrawings()
{
    using StoredPictures::detail::Entries;
    const auto end = Entries + StoredPictures::detail::EntryCount;
    for (auto entry = Entries; entry != end; ++entry) {
        const QString drawing = QString::fromLatin1(entry->drawing);
        const QSize size(entry->width, entry->height);
        QImage drawn(size, entry->opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        drawn.fill(entry->opaque ? Qt::white : Qt::transparent);
        {
            QPainter painter(&drawn);
            QVERIFY(SvgDrawing::Render(drawing, painter, QRectF(QPointF(0, 0), size)));
        }
        QVERIFY2(StoredPictures::Find(drawing, size) == drawn,
                 qPrintable(QStringLiteral("%1 at %2 x %3").arg(drawing).arg(size.width()).arg(size.height())));
    }
    // The window draws its backgrounds from the stored ones, and offers the
    // stored icon sizes to the desktop.
    auto form = makeForm();
    QCOMPARE(form->windowIcon().availableSizes(), StoredPictures::Sizes(u":/tiraso.svg"));
    QCOMPARE(*form->BMP_L->Bitmap(), StoredPictures::Find(u":/BMP_L.svg", QSize(470, 270)));
}

void tst_tirasomain::textsAtPixelRatios_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("band"); // the text's area inside the control
    QTest::addColumn<unsigned>("align");
    QTest::addColumn<qreal>("ratio");
    const struct {
        const char* control;
        QRect band;
        unsigned align;
    } texts[] = {
        {"lbl_YErg", QRect(2, 2, 105, 16), 6}, {"lbl_LLi", QRect(2, 2, 91, 16), 6},
        {"lbl_LRe", QRect(2, 2, 91, 16), 6},   {"lbl_LGes", QRect(2, 2, 91, 16), 6},
        {"lbl_Neig", QRect(0, 0, 87, 13), 6},  {"lbl_info", QRect(21, 2, 111, 16), 0},
        {"Label1", QRect(0, 0, 43, 13), 0},    {"lbl_xH", QRect(0, 0, 93, 13), 0},
        {"lbl_Hges", QRect(0, 0, 80, 13), 0},  {"cb_PRZT", QRect(18, 0, 19, 20), 0},
        {"spin_x1", QRect(0, 0, 21, 20), 0},   {"InnerEdit", QRect(0, 0, 59, 16), 6},
    };
    for (qreal ratio : {1.5, 2.0})
        for (const auto& t : texts)
            QTest::addRow("%s at %g", t.control, ratio) << QString::fromLatin1(t.control) << t.band << t.align << ratio;
}

// Every text of the window, the plain labels included, keeps its place,
// proportions and weight on a dense screen. Regressions at 200 %: "0,330" in
// the value at X opened a gap of 7 device pixels after the comma where 1x has
// 2; the bold captions lost about 40 % of their ink per area (Tahoma's bold
// comes from its bitmaps at 1x) and looked regular.
void tst_tirasomain::textsAtPixelRatios()
{
    QFETCH(QString, control);
    QFETCH(QRect, band);
    QFETCH(unsigned, align);
    QFETCH(qreal, ratio);
    auto form = makeForm();
    form->spin_x2->setValueReal(20);
    form->spin__X->setValueReal(3.3);
    form->spin_y2->setValueReal(-12.5);
    form->Aktualisieren();
    QWidget* widget = control == QLatin1String("InnerEdit") ? form->spin__X->InnerEdit()
                                                            : form->findChild<QWidget*>(control);
    QVERIFY(widget);
    // The height labels change sides with the line.
    if (auto* label = qobject_cast<QLabel*>(widget); label && label->alignment().testFlag(Qt::AlignRight))
        align = TA_RIGHT;
    constexpr QRgb ground = 0xFFFF00FF;
    const QImage plain = renderAt(widget, 1, ground);
    const ApplyScreenFontsScope screen(form.get(), ratio);
    const QImage dense = renderAt(widget, ratio, ground);
    const QRgb inside = plain.pixel(band.topLeft());
    const TextInk plainInk = textInk(plain, band, inside);
    const QString fault = compareTextInk(plainInk, textInk(dense, deviceRect(band, ratio), inside), ratio,
                                         plainInk.width() / 4 + 1, align);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    const double weight = inkWeight(plain, dense, band, ratio);
    QVERIFY2(weight >= 0.85 && weight <= 1.2, qPrintable(QStringLiteral("weight %1").arg(weight)));
}

void tst_tirasomain::picturesAtPixelRatios_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("picture");
    QTest::newRow("save") << "btn_Save" << QRect(2, 2, 20, 20);
    QTest::newRow("open") << "btn_load" << QRect(2, 2, 20, 20);
    QTest::newRow("copy") << "btn_copy1" << QRect(2, 2, 16, 16);
    QTest::newRow("info line") << "lbl_info" << QRect(4, 2, 16, 16);
    QTest::newRow("percent box") << "cb_PRZT" << QRect(4, 4, 12, 12);
    QTest::newRow("background") << "PaintBox1" << QRect(80, 50, 200, 150);
}

// At 200 % the glyphs, the check box and the background come from their
// drawings: no picture is its bitmap with every pixel doubled.
void tst_tirasomain::picturesAtPixelRatios()
{
    QFETCH(QString, control);
    QFETCH(QRect, picture);
    auto form = makeForm();
    QWidget* widget = form->findChild<QWidget*>(control);
    QVERIFY(widget);
    const QImage plain = renderAt(widget, 1, 0xFFFF00FF);
    const QImage dense = renderAt(widget, 2, 0xFFFF00FF);
    QVERIFY(!pixelDoubled(dense, deviceRect(picture, 2)));
    // The same picture: on the whole, the same colours.
    const auto mean = [](const QImage& image, const QRect& area) {
        double r = 0, g = 0, b = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb c = image.pixel(x, y);
                r += qRed(c), g += qGreen(c), b += qBlue(c);
            }
        const double n = double(area.width()) * area.height();
        return std::array<double, 3>{r / n, g / n, b / n};
    };
    const auto a = mean(plain, picture), b = mean(dense, deviceRect(picture, 2));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(std::abs(a[i] - b[i]) < 24,
                 qPrintable(QStringLiteral("channel %1: %2 against %3").arg(i).arg(b[i]).arg(a[i])));
}

void tst_tirasomain::plainScreenStartMakesNoDensePictures()
{
    const int before = VectorPicturesMade();
    auto form = makeForm();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->grab();
    QCOMPARE(VectorPicturesMade(), before);
}

// The copied picture is the window as a plain screen shows it, whatever the
// density of the screen the window stands on.
void tst_tirasomain::resultPictureIsThePlainOne()
{
    auto form = makeForm();
    const QImage plain = form->ResultPicture();
    QImage dense;
    {
        const ApplyScreenFontsScope screen(form.get(), 2);
        dense = form->ResultPicture();
    }
    QCOMPARE(dense.size(), QSize(470, 270));
    QCOMPARE(dense.format(), QImage::Format_RGB888);
    QCOMPARE(dense.devicePixelRatio(), 1.0);
    QVERIFY(dense == plain);
}

void tst_tirasomain::platformForSession_data()
{
    QTest::addColumn<QStringList>("environment"); // NAME=value
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("X11 session: Qt's choice") << QStringList{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"} << QByteArray();
    QTest::newRow("Wayland with XWayland: through X11")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "XDG_SESSION_TYPE=wayland"} << QByteArray("xcb");
    QTest::newRow("Wayland display alone names the session")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << QByteArray("xcb");
    QTest::newRow("session type alone names it too")
        << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0"} << QByteArray("xcb");
    QTest::newRow("Wayland without XWayland: native") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << QByteArray();
    QTest::newRow("empty DISPLAY is no X11") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY="} << QByteArray();
    QTest::newRow("the user's wayland stays")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"} << QByteArray();
    QTest::newRow("any platform the user named stays")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=offscreen"} << QByteArray();
    QTest::newRow("an empty choice is none")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="} << QByteArray("xcb");
    QTest::newRow("nothing set: Qt's choice") << QStringList{} << QByteArray();
}

void tst_tirasomain::platformForSession()
{
    QFETCH(QStringList, environment);
    QFETCH(QByteArray, platform);
    const auto variable = [&](const char* name) {
        for (const QString& entry : environment)
            if (entry.section(QLatin1Char('='), 0, 0) == QLatin1String(name))
                return entry.section(QLatin1Char('='), 1).toUtf8();
        return QByteArray();
    };
    QCOMPARE(PlatformForSession(variable), platform);
}

namespace {

// Replaces an editor's text by typing it, as a user does; the editor's
// commit is then still waiting for its delay.
void typeInto(TSpezialSpin* spin, const QString& text)
{
    QLineEdit* edit = spin->InnerEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
}

QByteArray lineOf(const QByteArray& file, int line)
{
    return file.split('\n').value(line).trimmed();
}

} // namespace

void tst_tirasomain::commandsUseTheTypedText_data()
{
    // clang-format off
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("seen"); // what the command showed, wrote or copied

    // "2*3" typed into x2 (x1 0, X 0,33, y1 0, y2 1): x2 6, Y 0,055.
    QTest::newRow("save") << "save" << "6|6,000";
    QTest::newRow("close") << "close" << "6";
    QTest::newRow("copy value") << "copy value" << "0,055";
    QTest::newRow("copy picture") << "copy picture" << "";
    QTest::newRow("mirror") << "mirror" << "0,945";
    QTest::newRow("decimal places") << "decimal places" << "0,05500";
    QTest::newRow("reset") << "reset" << "0,500";
    QTest::newRow("total length prompt") << "total length" << "6,000";
    QTest::newRow("back-calculation prompt") << "back-calculation" << "0,055";
    QTest::newRow("load dialog") << "load" << "0,055";
    // clang-format on
}

void tst_tirasomain::commandsUseTheTypedText()
{
    // Guards against a command dropping what is typed but not yet committed
    // (the editors commit only after five seconds without a key).
    QFETCH(QString, command);
    QFETCH(QString, seen);
    auto form = makeForm();
    typeInto(form->spin_x2, QStringLiteral("2*3"));

    QString shown;
    auto dialog = std::make_shared<DialogSeen>();
    if (command == u"save") {
        answerNextPrompt(dialog, QStringLiteral("Aufgabe"));
        QTest::mouseClick(form->btn_Save, Qt::LeftButton);
        const QByteArray file = readFile(storageFile(QStringLiteral("Aufgabe.dat")));
        shown = QString::fromLatin1(lineOf(file, 5) + '|' + lineOf(file, 7));
    } else if (command == u"close") {
        form->close();
        const QByteArray file = readFile(storageFile(QStringLiteral("lastV.def")));
        shown = file.mid(22, 11) == QByteArray(1, '\x05') + extended(6.0) ? QStringLiteral("6") : QString();
    } else if (command == u"copy value") {
        QTest::mouseClick(form->btn_copy1, Qt::LeftButton);
        shown = QGuiApplication::clipboard()->text();
    } else if (command == u"copy picture") {
        form->PM_CopyBMP->trigger();
    } else if (command == u"mirror") {
        form->pm_Mirror->trigger();
        shown = form->lbl_YErg->Caption();
    } else if (command == u"decimal places") {
        answerNextPrompt(dialog, QStringLiteral("5"));
        form->PM_NKDef->trigger();
        shown = form->lbl_YErg->Caption();
    } else if (command == u"reset") {
        form->PM_Reset->trigger();
        shown = form->lbl_YErg->Caption();
    } else if (command == u"total length") {
        answerNextPrompt(dialog, QString(), false);
        QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
        shown = dialog->editText;
    } else if (command == u"back-calculation") {
        answerNextPrompt(dialog, QString(), false);
        QTest::mouseClick(form->lbl_YErg, Qt::LeftButton);
        shown = dialog->editText;
    } else if (command == u"load") {
        whenModalOpens([](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject"); });
        QTest::mouseClick(form->btn_load, Qt::LeftButton);
        shown = form->lbl_YErg->Caption();
    }
    QCOMPARE(shown, seen);
    if (command != u"reset") {
        QCOMPARE(form->spin_x2->InnerEdit()->text(), command == u"decimal places" ? "6,00000" : "6,000");
        QCOMPARE(form->spin_x2->ValueReal(), 6.0);
    }
}

void tst_tirasomain::typedTextInTwoEditorsIsKept()
{
    // Committing one editor recomputes; that must not drop the other's text.
    auto form = makeForm();
    typeInto(form->spin_x2, QStringLiteral("2*3"));
    typeInto(form->spin_y2, QStringLiteral("4+1"));
    RecomputeCounter recomputed(*form);
    auto seen = std::make_shared<DialogSeen>();
    answerNextPrompt(seen, QStringLiteral("Beide"));
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    const QByteArray file = readFile(storageFile(QStringLiteral("Beide.dat")));
    QCOMPARE(lineOf(file, 3), QByteArray("5"));
    QCOMPARE(lineOf(file, 5), QByteArray("6"));
    QCOMPARE(recomputed.count, 1);
}

void tst_tirasomain::nonRegularFilesNeverBlock_data()
{
    // clang-format off
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target"); // empty: a FIFO
    QTest::newRow("lastV.def is a FIFO") << "lastV.def" << "";
    QTest::newRow("value set is a FIFO") << "satz.dat" << "";
    QTest::newRow("value set fails while read") << "satz.dat" << "/proc/self/mem";
    // clang-format on
}

void tst_tirasomain::nonRegularFilesNeverBlock()
{
    // Opening a FIFO waits for a writer: the window would never appear, or
    // never answer again after the load dialog.
#ifndef Q_OS_UNIX
    QSKIP("FIFOs are Unix file types");
#else
    QFETCH(QString, name);
    QFETCH(QString, target);
    const QString path = storageFile(name);
    if (target.isEmpty())
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (!QFileInfo(target).isFile() || !QFile::link(target, path))
        QSKIP("no /proc/self/mem here");
    auto form = makeForm();
    QCOMPARE(form->spin__X->ValueReal(), 0.33); // start values
    if (name == u"lastV.def")
        return;

    RecomputeCounter recomputed(*form);
    auto message = std::make_shared<DialogSeen>();
    whenModalOpens([&](QWidget* modal) {
        acknowledgeNextMessage(message);
        chooseFile(modal, path);
    });
    QTest::mouseClick(form->btn_load, Qt::LeftButton);
    QTRY_VERIFY(message->opened);
    const QString expected = QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(QDir::toNativeSeparators(path));
    QVERIFY2(message->labels.contains(expected), qPrintable(message->labels.join(QLatin1Char('|'))));
    QCOMPARE(recomputed.count, 0);
#endif
}

void tst_tirasomain::savedSetsCanBeChosen()
{
    // A set saved under an empty name is ".dat", a hidden file.
    auto form = makeForm();
    auto seen = std::make_shared<DialogSeen>();
    for (const QString& name : {QStringLiteral(""), QStringLiteral(".name")}) {
        answerNextPrompt(seen, name);
        QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    }
    QStringList shown;
    whenModalOpens([&](QWidget* modal) {
        auto* view = modal->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        (void)QTest::qWaitFor([&] {
            shown.clear();
            for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
                shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
            return shown.size() >= 2;
        });
        QMetaObject::invokeMethod(modal, "reject");
    });
    QTest::mouseClick(form->btn_load, Qt::LeftButton);
    shown.sort();
    QCOMPARE(shown, (QStringList{".dat", ".name.dat"}));
}

void tst_tirasomain::overwriteAsksFirst_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("answer"); // empty: no question expected
    QTest::addColumn<bool>("replaced");
    // clang-format off
    QTest::newRow("Ja")                            << "Aufgabe" << "Ja"     << true;
    QTest::newRow("Nein")                          << "Aufgabe" << "Nein"   << false;
    QTest::newRow("Escape")                        << "Aufgabe" << "Escape" << false;
    QTest::newRow("Enter takes the default, Nein") << "Aufgabe" << "Enter"  << false;
    QTest::newRow("a new name asks nothing")       << "Neu"     << ""       << true;
    // clang-format on
}

void tst_tirasomain::overwriteAsksFirst()
{
    QFETCH(QString, name);
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    const QByteArray old = "alter Satz\r\n";
    writeFile(storageFile(QStringLiteral("Aufgabe.dat")), old);
    auto form = makeForm();
    form->spin_y2->setValueReal(9);
    auto question = std::make_shared<DialogSeen>();
    answerNextPrompt(std::make_shared<DialogSeen>(), name, true, [=] {
        whenModalOpens([=](QWidget* box) {
            collect(box, *question);
            if (answer == u"Escape" || answer == u"Enter")
                QTest::keyClick(box->focusWidget(), answer == u"Enter" ? Qt::Key_Return : Qt::Key_Escape);
            else
                pressButton(box, answer);
        });
    });
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    QCOMPARE(question->opened, !answer.isEmpty());
    if (question->opened) {
        const QString path = QDir::toNativeSeparators(storageFile(QStringLiteral("Aufgabe.dat")));
        QCOMPARE(question->labels.filter(QStringLiteral("Datei ")),
                 QStringList{QStringLiteral("Datei %1 existiert bereits. Überschreiben?").arg(path)});
        QCOMPARE(question->buttons, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
    }
    const QByteArray file = readFile(storageFile(name + QStringLiteral(".dat")));
    QCOMPARE(replaced ? lineOf(file, 3) : file, replaced ? QByteArray("9") : old);
}

void tst_tirasomain::dialogsBelongToTheWindow_data()
{
    QTest::addColumn<QString>("control"); // clicked, triggered or typed into
    QTest::addColumn<QString>("typed");   // into every prompt or the editor; the file chosen to load
    QTest::addColumn<QStringList>("captions");
    const QString title = TApplication::Title();
    // One row for each way a dialog comes up; the general error box both from
    // the window and from an editor.
    // clang-format off
    QTest::newRow("entry, refused")     << "lbl_LGes" << "abc"       << QStringList{"Wert eingeben", title};
    QTest::newRow("overwrite question") << "btn_Save" << "Aufgabe"   << QStringList{"Name der Daten", title};
    QTest::newRow("failed save")        << "btn_Save" << "Ordner"    << QStringList{"Name der Daten", title};
    QTest::newRow("load, read in part") << "btn_load" << "teil.dat"  << QStringList{"Gespeicherte Werte laden", title};
    QTest::newRow("info box")           << "PM_Info"  << ""          << QStringList{"Bestätigung"};
    QTest::newRow("editor error")       << "spin_x2"  << "(0-8)^0,5" << QStringList{title};
    // clang-format on
}

void tst_tirasomain::dialogsBelongToTheWindow()
{
    // Regression: the general error box had no owner, and the window
    // manager kept it below the window, which stays on top.
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QStringList, captions);
    writeFile(storageFile(QStringLiteral("Aufgabe.dat")), "alt\r\n");
    writeFile(storageFile(QStringLiteral("teil.dat")), "s\r\nm\r\n2\r\n");
    QVERIFY(QDir().mkpath(storageFile(QStringLiteral("Ordner.dat"))));
    auto form = makeForm({QStringLiteral("200|200")}); // away from the screen's centre
    QStringList seen;
    QStringList strays; // not the window's, or not in its middle
    std::function<void(QWidget*)> answer = [&](QWidget* dialog) {
        seen << dialog->windowTitle();
        const QPoint offCentre = dialog->frameGeometry().center() - form->frameGeometry().center();
        if (dialog->parentWidget() != form.get() || dialog->windowHandle()->transientParent() != form->windowHandle()
            || offCentre.manhattanLength() > 2)
            strays << dialog->windowTitle();
        if (auto* prompt = qobject_cast<QInputDialog*>(dialog)) {
            prompt->setTextValue(typed);
            prompt->accept();
        } else if (qobject_cast<QFileDialog*>(dialog)) {
            chooseFile(dialog, storageFile(typed));
        } else {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        }
        whenModalOpens(answer); // the dialog this one leads to, once this one is gone
    };
    whenModalOpens(answer);
    if (auto* action = form->findChild<QAction*>(control)) {
        action->trigger();
    } else if (auto* spin = form->findChild<TSpezialSpin*>(control)) {
        typeInto(spin, typed);
        QTest::keyClick(spin->InnerEdit(), Qt::Key_Return);
    } else {
        QTest::mouseClick(form->findChild<QWidget*>(control), Qt::LeftButton);
    }
    QCOMPARE(seen, captions);
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char('|'))));
}

namespace {

// Shortcuts act only in the active window.
void activate(TForm1& form)
{
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

} // namespace

void tst_tirasomain::copyResults_data()
{
    // clang-format off
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("typed"); // into x2, not committed
    QTest::addColumn<QStringList>("lines");
    const QStringList start{"x1\t0,000", "y1\t0,000", "x2\t1,000", "y2\t1,000", "X\t0,330",
                            "Wert bei X\t0,330", "Höhe bei X\t0,330", "Gesamthöhe\t1,000", "Gesamtlänge\t1,000",
                            "Teillänge links\t0,330", "Teillänge rechts\t0,670", "Neigung\t100,000%"};
    QTest::newRow("menu") << "menu" << "" << start;
    QTest::newRow("Ctrl+Shift+C in an editor") << "keys" << "" << start;
    QStringList typed = start;
    typed[2] = "x2\t2,000";
    typed[5] = "Wert bei X\t0,165";
    typed[6] = "Höhe bei X\t0,165";
    typed[8] = "Gesamtlänge\t2,000";
    typed[10] = "Teillänge rechts\t1,670";
    typed[11] = "Neigung\t50,000%";
    QTest::newRow("typed text is committed first") << "keys" << "2" << typed;
    // clang-format on
}

void tst_tirasomain::copyResults()
{
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(QStringList, lines);
    auto form = makeForm();
    activate(*form);
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    QLineEdit* edit = form->spin_x2->InnerEdit();
    edit->setFocus();
    if (!typed.isEmpty())
        typeInto(form->spin_x2, typed);

    if (how == u"menu")
        form->PM_CopyResults->trigger();
    else
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    // The table holds the same pairs, one row each.
    const QString html = data->html();
    QCOMPARE(html.count(QStringLiteral("<tr>")), lines.size());
    for (const QString& line : std::as_const(lines)) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        const QString row = QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>").arg(cells[0], cells[1]);
        QVERIFY2(html.contains(row), qPrintable(row));
    }
}

namespace {

// All the window shows of its state, as one text.
QString visibleState(TForm1& form)
{
    const std::unique_ptr<QMimeData> data(form.ResultsAsText());
    return data->text() + QStringLiteral("decimals %1/%2").arg(form.Decimals).arg(form.spin_x1->NachkommaStellen());
}

void turnWheel(TSpezialSpin* spin, int notches)
{
    QLineEdit* edit = spin->InnerEdit();
    const QPointF at(5, 5);
    for (int i = 0; i < notches; ++i) {
        QWheelEvent event(at, edit->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit, &event);
    }
}

// The keys go where the focus is, as a user's do.
void press(TForm1& form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &form, key, modifiers);
}

} // namespace

void tst_tirasomain::undoEveryKindOfChange_data()
{
    // clang-format off
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("y"); // the value at X afterwards; empty: not checked
    QTest::newRow("typed value, Enter") << "typed" << "0,165";
    QTest::newRow("arrow key") << "key" << "";
    QTest::newRow("three wheel notches, one step") << "wheel" << "0,329";
    QTest::newRow("a whole hold, one step") << "hold" << "";
    QTest::newRow("result field") << "total length" << "0,165";
    QTest::newRow("back-calculation") << "back-calculation" << "0,250";
    QTest::newRow("reset") << "reset" << "0,500";
    QTest::newRow("mirror") << "mirror" << "0,670";
    QTest::newRow("decimal places") << "decimals" << "0,33000";
    QTest::newRow("slope mode") << "slope mode" << "0,330";
    QTest::newRow("value set") << "load" << "1,000";
    // clang-format on
}

void tst_tirasomain::undoEveryKindOfChange()
{
    QFETCH(QString, change);
    QFETCH(QString, y);
    auto form = makeForm();
    activate(*form);
    const QString before = visibleState(*form);
    QLineEdit* x2 = form->spin_x2->InnerEdit();
    auto seen = std::make_shared<DialogSeen>();

    if (change == u"typed") {
        x2->setFocus();
        typeInto(form->spin_x2, QStringLiteral("2"));
        QTest::keyClick(x2, Qt::Key_Return);
    } else if (change == u"key") {
        x2->setFocus();
        QTest::keyClick(x2, Qt::Key_Up);
    } else if (change == u"wheel") {
        turnWheel(form->spin_x2, 3);
    } else if (change == u"hold") {
        // Steps 1, 2, 3 ... thousandths while held; the release ends it.
        QTest::mousePress(form->spin_x2, Qt::LeftButton, {}, form->spin_x2->UpArrowRect().center());
        QTRY_VERIFY(x2->text() != u"1,000" && x2->text() != u"1,001");
        QTest::mouseRelease(form->spin_x2, Qt::LeftButton, {}, form->spin_x2->UpArrowRect().center());
    } else if (change == u"total length") {
        answerNextPrompt(seen, QStringLiteral("2"));
        QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    } else if (change == u"back-calculation") {
        answerNextPrompt(seen, QStringLiteral("0,25"));
        QTest::mouseClick(form->lbl_YErg, Qt::LeftButton);
    } else if (change == u"reset") {
        form->PM_Reset->trigger();
    } else if (change == u"mirror") {
        form->pm_Mirror->trigger();
    } else if (change == u"decimals") {
        answerNextPrompt(seen, QStringLiteral("5"));
        form->PM_NKDef->trigger();
    } else if (change == u"slope mode") {
        QTest::mouseClick(form->cb_PRZT, Qt::LeftButton);
    } else if (change == u"load") {
        writeFile(storageFile(QStringLiteral("satz.dat")), "stamp\r\n---V1\r\n0\r\n2\r\n0\r\n1\r\n0,5\r\n");
        whenModalOpens([](QWidget* modal) { chooseFile(modal, storageFile(QStringLiteral("satz.dat"))); });
        QTest::mouseClick(form->btn_load, Qt::LeftButton);
    }
    const QString after = visibleState(*form);
    QVERIFY(after != before);
    if (!y.isEmpty())
        QCOMPARE(form->lbl_YErg->Caption(), y);

    activate(*form);
    press(*form, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(visibleState(*form), before);
    QVERIFY(!form->PM_Undo->isEnabled());
    press(*form, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(visibleState(*form), after);
    form->PM_Undo->trigger();
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,330"));
    press(*form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(visibleState(*form), after);
}

void tst_tirasomain::undoActsOnTypingFirst()
{
    auto form = makeForm();
    activate(*form);
    form->pm_Mirror->trigger();
    QLineEdit* edit = form->spin_x2->InnerEdit();
    edit->setFocus();
    typeInto(form->spin_x2, QStringLiteral("25"));

    // As in any line edit, the typing goes first, and the window stays.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(edit->text() != u"25");
    for (int i = 0; i < 5 && edit->text() != u"1,000"; ++i)
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("1,000"));
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,670"));

    // With no typing left, the same key takes back the mirror.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form->lbl_YErg->Caption(), QStringLiteral("0,330"));
}

void tst_tirasomain::undoCommandsFollowTheHistory()
{
    auto form = makeForm();
    QStringList top;
    for (QAction* action : form->PM_1->actions().mid(0, 3))
        top << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(top, (QStringList{"Rückgängig", "Wiederholen", "-"}));
    // Loading the last values at start is nothing to undo.
    QVERIFY(!form->PM_Undo->isEnabled());
    QVERIFY(!form->PM_Redo->isEnabled());

    form->pm_Mirror->trigger();
    QVERIFY(form->PM_Undo->isEnabled());
    QVERIFY(!form->PM_Redo->isEnabled());
    form->PM_Undo->trigger();
    QVERIFY(!form->PM_Undo->isEnabled());
    QVERIFY(form->PM_Redo->isEnabled());
    // A new change drops what could be redone.
    form->PM_Reset->trigger();
    QVERIFY(form->PM_Undo->isEnabled());
    QVERIFY(!form->PM_Redo->isEnabled());
}

void tst_tirasomain::closeSavesWhatUndoShows()
{
    auto form = makeForm();
    QLineEdit* x2 = form->spin_x2->InnerEdit();
    typeInto(form->spin_x2, QStringLiteral("2"));
    QTest::keyClick(x2, Qt::Key_Return);
    form->PM_Undo->trigger();
    QVERIFY(!QFile::exists(storageFile(QStringLiteral("lastV.def")))); // undo writes nothing
    form->close();
    const QByteArray file = readFile(storageFile(QStringLiteral("lastV.def")));
    QCOMPARE(file.mid(22, 11), QByteArray(1, '\x05') + extended(1.0));
}

void tst_tirasomain::numberTextsUnderEveryDesktopLocale_data()
{
    addDesktopLocaleRows();
}

// What the window shows, reads and writes is German whatever the desktop's
// locale: its texts, typed numbers, a result's prompt, the clipboard and the
// value files.
void tst_tirasomain::numberTextsUnderEveryDesktopLocale()
{
    QFETCH(QByteArray, locale);
    const DesktopLocale desktop(locale);
    if (!desktop.entered())
        QSKIP("This locale is not generated on the machine");
    auto form = makeForm();
    typeInto(form->spin_x2, QStringLiteral("2.000"));
    QTest::keyClick(form->spin_x2->InnerEdit(), Qt::Key_Return);
    typeInto(form->spin__X, QStringLiteral("1.234,5"));
    QTest::keyClick(form->spin__X->InnerEdit(), Qt::Key_Return);
    form->spin_y2->setValueReal(1000);
    form->Aktualisieren();
    QCOMPARE(readInputs(*form), (Inputs{0, 2000, 1234.5, 0, 1000}));
    QCOMPARE(form->spin__X->InnerEdit()->text(), QStringLiteral("1.234,500"));
    const QStringList texts{form->lbl_YErg->Caption(), form->lbl_xH->text(),     form->lbl_Hges->text(),
                            form->lbl_LGes->Caption(), form->lbl_LLi->Caption(), form->lbl_LRe->Caption(),
                            form->lbl_Neig->Caption()};
    QCOMPARE(texts,
             (QStringList{"617,250", "H=617,250", "H=1.000,000", "2.000,000", "1.234,500", "765,500", "50,000%"}));

    QTest::mouseClick(form->btn_copy1, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("617,250"));

    auto prompt = std::make_shared<DialogSeen>();
    answerNextPrompt(prompt, QStringLiteral("4.000,5"));
    QTest::mouseClick(form->lbl_LGes, Qt::LeftButton);
    QCOMPARE(prompt->editText, QStringLiteral("2.000,000"));
    QCOMPARE(form->spin_x2->ValueReal(), 4000.5);

    answerNextPrompt(prompt, QStringLiteral("Satz"));
    QTest::mouseClick(form->btn_Save, Qt::LeftButton);
    const QByteArray file = readFile(storageFile(QStringLiteral("Satz.dat")));
    QCOMPARE(lineOf(file, 5) + '|' + lineOf(file, 6), QByteArray("4000,5|1234,5"));
}

TIRASO_TEST_MAIN(tst_tirasomain)
#include "tst_tirasomain.moc"
