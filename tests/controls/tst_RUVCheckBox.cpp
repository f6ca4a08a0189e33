// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVCheckBox.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Loading.h"

#include "tests/TestSupport.h"

#include <QLineF>
#include <QPainter>

#include <memory>

namespace {

constexpr QRgb Magenta = 0xFFFF00FF;

struct Group {
    Q_DISABLE_COPY_MOVE(Group) // the OnChange handlers hold on to this

    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    QList<TRUVCheckBox*> boxes;
    QList<int> changes;

    // Boxes side by side under one shown parent, each counting its OnChange.
    explicit Group(const QList<int>& groupIndexes)
    {
        parent->resize(400, 40);
        for (int groupIndex : groupIndexes) {
            auto* box = new TRUVCheckBox(parent.get());
            box->move(int(boxes.size()) * 90, 0);
            box->setGroupIndex(groupIndex);
            const int index = int(boxes.size());
            changes.append(0);
            box->OnChange = [this, index](QObject*) { ++changes[index]; };
            boxes.append(box);
        }
        parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent.get()));
    }
};

QImage render(TRUVCheckBox& box)
{
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(Magenta);
    box.render(&image, QPoint(), QRegion(), {});
    return image;
}

// Bounding box of the pixels of one colour, or of all but one colour.
QRect inkRect(const QImage& image, QRgb color, bool matching, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) == color) == matching)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Where the glyphs of a text land when it is drawn at the origin.
QRect referenceInk(const TFont& font, const QString& text)
{
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Magenta);
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.SetFont(font.toQFont());
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.TextOut(0, 0, text);
    }
    return inkRect(image, Magenta, false, image.rect());
}

// The bitmap as its file holds it, read apart from the control.
QImage resource(const QString& name)
{
    const QString path = QFINDTESTDATA(QStringLiteral("../../resources/") + name + QStringLiteral(".xpm"));
    return QImage(path, "XPM").convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_RUVCheckBox : public QObject
{
    Q_OBJECT
private slots:
    void clicking_data();
    void clicking();
    void programmaticWritesAreSilent_data();
    void programmaticWritesAreSilent();
    void groupClicks_data();
    void groupClicks();
    void groupUpdate_data();
    void groupUpdate();
    void hookColorWhileHeld();
    void geometry_data();
    void geometry();
    void bitmapPerState_data();
    void bitmapPerState();
    void disabledCaptionIsEngraved();
    void bitmapResources_data();
    void bitmapResources();
    void enterAndLeave();
    void missingDrawingFallsBackToTheBitmap();
    void picturesAndCaptionAtPixelRatios_data();
    void picturesAndCaptionAtPixelRatios();
    void setterRepaints_data();
    void setterRepaints();
    void look3DChangesNothingDrawn();
};

void tst_RUVCheckBox::clicking_data()
{
    QTest::addColumn<bool>("initial");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QList<bool>>("seenInOnChange");

    QTest::newRow("unchecked, one click checks") << false << Qt::LeftButton << QList<bool>{true};
    QTest::newRow("second click unchecks") << false << Qt::LeftButton << QList<bool>{true, false};
    QTest::newRow("checked, one click unchecks") << true << Qt::LeftButton << QList<bool>{false};
    QTest::newRow("right button toggles too") << false << Qt::RightButton << QList<bool>{true};
    QTest::newRow("middle button toggles too") << true << Qt::MiddleButton << QList<bool>{false, true};
}

void tst_RUVCheckBox::clicking()
{
    QFETCH(bool, initial);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QList<bool>, seenInOnChange);

    Group g({0});
    TRUVCheckBox* box = g.boxes[0];
    box->SetCheckedSilent(initial);
    QList<bool> seen;
    int clicks = 0;
    box->OnChange = [&](QObject* sender) {
        QCOMPARE(sender, box);
        seen.append(box->Checked());
    };
    box->OnClick = [&](QObject*) { ++clicks; };
    for (qsizetype i = 0; i < seenInOnChange.size(); ++i)
        QTest::mouseClick(box, button, {}, QPoint(6, 10));
    QCOMPARE(seen, seenInOnChange);
    QCOMPARE(clicks, 0);
}

void tst_RUVCheckBox::programmaticWritesAreSilent_data()
{
    QTest::addColumn<int>("groupIndex");
    QTest::addColumn<bool>("silent");
    QTest::newRow("Checked, independent box") << 0 << false;
    QTest::newRow("SetCheckedSilent, independent box") << 0 << true;
    QTest::newRow("Checked, group member") << 1 << false;
    QTest::newRow("SetCheckedSilent, group member") << 1 << true;
}

void tst_RUVCheckBox::programmaticWritesAreSilent()
{
    QFETCH(int, groupIndex);
    QFETCH(bool, silent);
    Group g({groupIndex, groupIndex});
    for (bool value : {true, true, false, true}) {
        if (silent)
            g.boxes[0]->SetCheckedSilent(value);
        else
            g.boxes[0]->setChecked(value);
        QCOMPARE(g.boxes[0]->Checked(), value);
    }
    QCOMPARE(g.changes, QList<int>({0, 0}));
}

void tst_RUVCheckBox::groupClicks_data()
{
    QTest::addColumn<bool>("firstChecked");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<bool>("autoBold");
    QTest::addColumn<QList<bool>>("checkedAfter");
    QTest::addColumn<QList<int>>("changes");

    // Two members of group 1 and a checked box of group 2 beside them.
    QTest::newRow("click the unchecked member")
        << true << 1 << false << QList<bool>{false, true, true} << QList<int>{0, 1, 0};
    QTest::newRow("click the checked member")
        << true << 0 << false << QList<bool>{true, false, true} << QList<int>{1, 0, 0};
    QTest::newRow("bold follows the click")
        << true << 1 << true << QList<bool>{false, true, true} << QList<int>{0, 1, 0};
}

void tst_RUVCheckBox::groupClicks()
{
    QFETCH(bool, firstChecked);
    QFETCH(int, clicked);
    QFETCH(bool, autoBold);
    QFETCH(QList<bool>, checkedAfter);
    QFETCH(QList<int>, changes);

    Group g({1, 1, 2});
    g.boxes[0]->SetCheckedSilent(firstChecked);
    g.boxes[2]->SetCheckedSilent(true);
    const TFont::TFontStyles before = TFont::fsBold | TFont::fsItalic;
    for (TRUVCheckBox* box : g.boxes)
        box->Font()->setStyle(before);
    g.boxes[clicked]->setAutoBoldRadioButton(autoBold);
    g.changes = {0, 0, 0};

    QTest::mouseClick(g.boxes[clicked], Qt::LeftButton, {}, QPoint(6, 10));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(g.boxes[i]->Checked(), checkedAfter[i]);
    QCOMPARE(g.changes, changes);
    const int other = 1 - clicked;
    QCOMPARE(g.boxes[clicked]->Font()->Style(), autoBold ? TFont::TFontStyles(TFont::fsBold) : before);
    QCOMPARE(g.boxes[other]->Font()->Style(), autoBold ? TFont::TFontStyles() : before);
    QCOMPARE(g.boxes[2]->Font()->Style(), before);
}

void tst_RUVCheckBox::groupUpdate_data()
{
    // clang-format off
    using Action = std::function<void(TRUVCheckBox&)>;
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("firstAfter");
    QTest::addColumn<bool>("secondAfter");
    QTest::addColumn<bool>("firstBold");

    // Both members start checked (silently) and the first has AutoBoldRadioButton on.
    QTest::newRow("Checked false on a member clears the others too")
        << Action([](TRUVCheckBox& b) { b.setChecked(false); }) << false << false << true;
    QTest::newRow("Checked true clears the others")
        << Action([](TRUVCheckBox& b) { b.SetCheckedSilent(false); b.setChecked(true); }) << true << false << true;
    QTest::newRow("GroupIndex write runs the update")
        << Action([](TRUVCheckBox& b) { b.setGroupIndex(1); }) << true << false << true;
    QTest::newRow("SetCheckedSilent does not")
        << Action([](TRUVCheckBox& b) { b.SetCheckedSilent(false); }) << false << true << false;
    QTest::newRow("nothing while loading")
        << Action([](TRUVCheckBox& b) { LoadingScope loading; b.setChecked(false); }) << false << true << false;
    QTest::newRow("nothing after leaving the group")
        << Action([](TRUVCheckBox& b) { b.setGroupIndex(0); b.setChecked(false); }) << false << true << false;
    // clang-format on
}

void tst_RUVCheckBox::groupUpdate()
{
    using Action = std::function<void(TRUVCheckBox&)>;
    QFETCH(Action, action);
    QFETCH(bool, firstAfter);
    QFETCH(bool, secondAfter);
    QFETCH(bool, firstBold);

    Group g({1, 1});
    {
        LoadingScope loading; // as a window description would set them
        g.boxes[0]->setAutoBoldRadioButton(true);
        g.boxes[0]->setChecked(true);
        g.boxes[1]->setChecked(true);
    }
    action(*g.boxes[0]);
    QCOMPARE(g.boxes[0]->Checked(), firstAfter);
    QCOMPARE(g.boxes[1]->Checked(), secondAfter);
    QCOMPARE(g.boxes[0]->Font()->Style().testFlag(TFont::fsBold), firstBold);
    QCOMPARE(g.changes, QList<int>({0, 0}));

    TRUVCheckBox orphan; // a group member without a parent has no siblings to clear
    orphan.setGroupIndex(1);
    orphan.setAutoBoldRadioButton(true);
    orphan.setChecked(true);
    QCOMPARE(orphan.Font()->Style(), TFont::TFontStyles());
}

void tst_RUVCheckBox::hookColorWhileHeld()
{
    Group g({0});
    TRUVCheckBox* box = g.boxes[0];
    box->setCaption(QStringLiteral("HHH"));
    box->setHookColor(clRed);
    const QRect captionArea(20, 0, 60, 20);
    auto captionHas
        = [&](TColor color) { return !inkRect(render(*box), ToQColor(color).rgb(), true, captionArea).isEmpty(); };
    QVERIFY(captionHas(clBlack));

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(6, 10));
    // A failed check below must not leave the button held for later tests.
    auto release = qScopeGuard([&] { QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(6, 10)); });
    QVERIFY(captionHas(clRed));
    QVERIFY(!captionHas(clBlack));
    QVERIFY(!box->Checked()); // the toggle waits for the release

    release.dismiss();
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(6, 10));
    QVERIFY(captionHas(clBlack));
    QVERIFY(!captionHas(clRed));
    QVERIFY(box->Checked());
}

void tst_RUVCheckBox::geometry_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("rightHand");
    QTest::addColumn<int>("yKorrektur");
    QTest::addColumn<QPoint>("boxPos");
    QTest::addColumn<int>("captionEdge"); // left edge, or right edge with RightHand

    QTest::newRow("20 high") << QSize(80, 20) << false << 0 << QPoint(4, 4) << 20;
    QTest::newRow("RightHand in 80 x 20") << QSize(80, 20) << true << 0 << QPoint(64, 4) << 60;
    QTest::newRow("30 high") << QSize(80, 30) << false << 0 << QPoint(9, 9) << 30;
    QTest::newRow("odd height rounds down") << QSize(80, 21) << false << 0 << QPoint(4, 4) << 20;
    QTest::newRow("caption lowered") << QSize(80, 20) << false << 3 << QPoint(4, 4) << 20;
    QTest::newRow("caption raised, RightHand") << QSize(90, 24) << true << -2 << QPoint(72, 6) << 66;
}

void tst_RUVCheckBox::geometry()
{
    QFETCH(QSize, size);
    QFETCH(bool, rightHand);
    QFETCH(int, yKorrektur);
    QFETCH(QPoint, boxPos);
    QFETCH(int, captionEdge);

    TRUVCheckBox box;
    box.resize(size);
    box.setRightHand(rightHand);
    box.setYKorrekturText(yKorrektur);
    const QString caption = QStringLiteral("%H");
    box.setCaption(caption);
    const QImage image = render(box);

    QCOMPARE(image.pixel(boxPos), qRgb(128, 128, 128));
    QCOMPARE(image.pixel(boxPos + QPoint(11, 11)), qRgb(128, 128, 128));
    QCOMPARE(image.pixel(boxPos - QPoint(1, 1)), Magenta);
    QCOMPARE(image.pixel(boxPos + QPoint(12, 12)), Magenta);

    const QFontMetrics metrics(box.Font()->toQFont());
    const int textLeft = rightHand ? captionEdge - metrics.horizontalAdvance(caption) : captionEdge;
    const int textTop = (size.height() - metrics.height()) / 2 + yKorrektur;
    QRect captionArea = image.rect();
    if (rightHand)
        captionArea.setRight(boxPos.x() - 1);
    else
        captionArea.setLeft(boxPos.x() + 12);
    const QRect ink = inkRect(image, Magenta, false, captionArea);
    QCOMPARE(ink.topLeft(), referenceInk(*box.Font(), caption).topLeft() + QPoint(textLeft, textTop));
}

void tst_RUVCheckBox::bitmapPerState_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<TRUVCheckBox::TCheckBoxStyle>("style");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("bitmap");

    const auto hook = TRUVCheckBox::cs_Hook;
    const auto dot = TRUVCheckBox::cs_Dot;
    QTest::newRow("hook, checked") << true << hook << true << "CB_HOOKSET";
    QTest::newRow("hook, unchecked") << true << hook << false << "CB_HOOKLEER";
    QTest::newRow("dot, checked") << true << dot << true << "CB_CIRCSET";
    QTest::newRow("dot, unchecked") << true << dot << false << "CB_CIRCLEER";
    QTest::newRow("disabled hook, checked") << false << hook << true << "CB_HOOKNA";
    QTest::newRow("disabled hook, unchecked") << false << hook << false << "CB_HOOKLEER";
    QTest::newRow("disabled dot, checked") << false << dot << true << "CB_CIRCNA";
    QTest::newRow("disabled dot, unchecked") << false << dot << false << "CB_CIRCLEER";
}

void tst_RUVCheckBox::bitmapPerState()
{
    QFETCH(bool, enabled);
    QFETCH(TRUVCheckBox::TCheckBoxStyle, style);
    QFETCH(bool, checked);
    QFETCH(QString, bitmap);

    TRUVCheckBox box;
    box.setEnabled(enabled);
    box.setStyle(style);
    box.setChecked(checked);
    const QImage image = render(box);
    const QImage expected = resource(bitmap);
    // Circles leave their surround out, so the corners show what lies beneath.
    const QRgb key = style == TRUVCheckBox::cs_Dot ? expected.pixel(0, 11) : 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const QRgb want = expected.pixel(x, y) == key ? Magenta : expected.pixel(x, y);
            QVERIFY2(image.pixel(4 + x, 4 + y) == want, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

void tst_RUVCheckBox::disabledCaptionIsEngraved()
{
    TRUVCheckBox box;
    box.setCaption(QStringLiteral("Hg%"));
    box.setBackgroundOpak(true);
    const QRect area(16, 0, 64, 20);
    const QImage enabled = render(box);
    box.setEnabled(false);
    const QImage disabled = render(box);

    const QRgb black = qRgb(0, 0, 0), shadow = ToQColor(clBtnShadow).rgb(), light = qRgb(255, 255, 255);
    QCOMPARE(enabled.pixel(79, 19), ToQColor(clBtnFace).rgb()); // the opaque background
    QVERIFY(!inkRect(enabled, black, true, area).isEmpty());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool glyph = enabled.pixel(x, y) == black;
            const bool underGlyph = x > 0 && y > 0 && enabled.pixel(x - 1, y - 1) == black;
            const QRgb want = glyph ? shadow : underGlyph ? light : enabled.pixel(x, y);
            QVERIFY2(disabled.pixel(x, y) == want, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

void tst_RUVCheckBox::bitmapResources_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRgb>("corner");
    QTest::addColumn<QRgb>("inside");
    QTest::addColumn<QRgb>("centre");

    const QRgb grey = qRgb(128, 128, 128), white = qRgb(255, 255, 255), surround = qRgb(224, 224, 224);
    QTest::newRow("hook set") << "CB_HOOKSET" << grey << white << qRgb(47, 47, 254);
    QTest::newRow("hook empty") << "CB_HOOKLEER" << grey << white << white;
    QTest::newRow("hook disabled") << "CB_HOOKNA" << grey << qRgb(242, 242, 242) << grey;
    QTest::newRow("circle set") << "CB_CIRCSET" << surround << white << qRgb(0, 0, 255);
    QTest::newRow("circle empty") << "CB_CIRCLEER" << surround << white << white;
    QTest::newRow("circle disabled") << "CB_CIRCNA" << surround << qRgb(242, 242, 242) << grey;
}

void tst_RUVCheckBox::bitmapResources()
{
    QFETCH(QString, name);
    QFETCH(QRgb, corner);
    QFETCH(QRgb, inside);
    QFETCH(QRgb, centre);

    const QImage image = resource(name);
    QCOMPARE(image.size(), QSize(12, 12));
    QCOMPARE(image.pixel(0, 11), corner);
    QCOMPARE(image.pixel(3, 2), inside);
    QCOMPARE(image.pixel(6, 6), centre);
    const bool circle = name.startsWith(QStringLiteral("CB_CIRC"));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool edge = x == 0 || y == 0 || x == 11 || y == 11;
            if (!circle && edge)
                QCOMPARE(image.pixel(x, y), corner); // the square frame
            // Nothing within the ring may share the surround's colour, or the
            // background would show through it.
            if (circle && QLineF(QPointF(x, y), QPointF(5.5, 5.5)).length() < 5.5)
                QVERIFY(image.pixel(x, y) != corner);
        }
}

void tst_RUVCheckBox::enterAndLeave()
{
    Group g({0});
    TRUVCheckBox* box = g.boxes[0];
    int entered = 0, left = 0;
    box->OnMouseEnter = [&](QObject* sender) {
        QCOMPARE(sender, box);
        ++entered;
    };
    box->OnMouseExit = [&](QObject* sender) {
        QCOMPARE(sender, box);
        ++left;
    };
    QTest::mouseMove(g.parent.get(), QPoint(200, 30));
    QTest::mouseMove(g.parent.get(), QPoint(10, 10));
    QTRY_COMPARE(entered, 1);
    QTest::mouseMove(g.parent.get(), QPoint(200, 30));
    QTRY_COMPARE(left, 1);
    QCOMPARE(entered, 1);
}

// Regression: a missing resource must not take the control down with it. The
// bitmaps are compiled in; the drawings for dense screens are resources, and
// without them the box is drawn from its bitmap, enlarged.
void tst_RUVCheckBox::missingDrawingFallsBackToTheBitmap()
{
    struct ResourcesGone {
        ResourcesGone() { Q_CLEANUP_RESOURCE(controls); }
        ~ResourcesGone() { Q_INIT_RESOURCE(controls); }
    } gone;
    // A density no other test draws at, so no drawing of it is kept yet.
    const qreal ratio = 2.75;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot open file")));
    QTest::ignoreMessage(QtWarningMsg,
                         "Picture drawing \":/CB_HOOKSET.svg\" cannot be read; the bitmap is enlarged instead");
    TRUVCheckBox box;
    box.setCaption(QStringLiteral("H"));
    box.setChecked(true);
    const QImage image = TestSupport::renderAt(&box, ratio, Magenta);
    // The box is there, frame and tick, and the caption beside it.
    const QImage boxArea = image.copy(TestSupport::deviceRect(QRect(4, 4, 12, 12), ratio));
    QVERIFY(!inkRect(boxArea, qRgb(128, 128, 128), true, boxArea.rect()).isEmpty());
    QVERIFY(!inkRect(boxArea, qRgb(47, 47, 254), true, boxArea.rect()).isEmpty());
    QVERIFY(!inkRect(image, Magenta, false, TestSupport::deviceRect(QRect(20, 0, 17, 20), ratio)).isEmpty());
}

void tst_RUVCheckBox::picturesAndCaptionAtPixelRatios_data()
{
    QTest::addColumn<TRUVCheckBox::TCheckBoxStyle>("style");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<qreal>("ratio");
    for (qreal ratio : {1.5, 2.0}) {
        QTest::addRow("hook ticked at %g", ratio) << TRUVCheckBox::cs_Hook << true << true << ratio;
        QTest::addRow("hook empty at %g", ratio) << TRUVCheckBox::cs_Hook << false << true << ratio;
        QTest::addRow("hook disabled at %g", ratio) << TRUVCheckBox::cs_Hook << true << false << ratio;
        QTest::addRow("circle chosen at %g", ratio) << TRUVCheckBox::cs_Dot << true << true << ratio;
        QTest::addRow("circle empty at %g", ratio) << TRUVCheckBox::cs_Dot << false << true << ratio;
        QTest::addRow("circle disabled at %g", ratio) << TRUVCheckBox::cs_Dot << true << false << ratio;
    }
}

// On a dense screen the six pictures come from their drawings, not enlarged
// from the bitmaps, and the circles still leave their surround out.
void tst_RUVCheckBox::picturesAndCaptionAtPixelRatios()
{
    QFETCH(TRUVCheckBox::TCheckBoxStyle, style);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(qreal, ratio);
    TRUVCheckBox box;
    box.resize(80, 20);
    box.setCaption(QStringLiteral("Neigung %"));
    box.setStyle(style);
    box.setChecked(checked);
    box.setEnabled(enabled);
    const QImage plain = TestSupport::renderAt(&box, 1, Magenta);
    const QImage dense = TestSupport::renderAt(&box, ratio, Magenta);

    const QRect boxArea = TestSupport::deviceRect(QRect(4, 4, 12, 12), ratio);
    if (ratio == 2)
        QVERIFY(!TestSupport::pixelDoubled(dense, boxArea));
    // The corners: the ground beside a circle, the frame of a square box.
    for (const QPoint& corner : {boxArea.topLeft(), boxArea.topRight(), boxArea.bottomLeft(), boxArea.bottomRight()})
        QCOMPARE(dense.pixel(corner) == Magenta, style == TRUVCheckBox::cs_Dot);
    QVERIFY(!inkRect(dense, qRgb(128, 128, 128), true, boxArea).isEmpty()); // the frame or ring

    const QRect caption(18, 0, 62, 20);
    const QString fault = TestSupport::compareTextInk(
        TestSupport::textInk(plain, caption, Magenta),
        TestSupport::textInk(dense, TestSupport::deviceRect(caption, ratio), Magenta), ratio, 9);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void tst_RUVCheckBox::setterRepaints_data()
{
    TestSupport::addSetterPaintColumns();
    QTest::newRow("Caption, if changed") << QByteArray("Caption") << QVariant(QStringLiteral("%")) << 1 << 0;
    QTest::newRow("Look3D, if changed") << QByteArray("Look3D") << QVariant(true) << 1 << 0;
    QTest::newRow("BackgroundOpak, if changed") << QByteArray("BackgroundOpak") << QVariant(true) << 1 << 0;
    QTest::newRow("YKorrekturText, if changed") << QByteArray("YKorrekturText") << QVariant(2) << 1 << 0;
    // The group update runs for every assignment, whatever the number was.
    QTest::newRow("GroupIndex, always") << QByteArray("GroupIndex") << QVariant(1) << 1 << 1;
}

void tst_RUVCheckBox::setterRepaints()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(int, paintsWhenChanged);
    QFETCH(int, paintsWhenSame);
    QWidget window;
    auto* box = new TRUVCheckBox(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(TestSupport::setterPaints(box, property.constData(), value),
             std::make_pair(paintsWhenChanged, paintsWhenSame));
}

void tst_RUVCheckBox::look3DChangesNothingDrawn()
{
    TRUVCheckBox box;
    box.setCaption(QStringLiteral("%"));
    box.setChecked(true);
    const QImage flat = render(box);
    box.setLook3D(true);
    QCOMPARE(render(box), flat);
}

TIRASO_TEST_MAIN(tst_RUVCheckBox)
#include "tst_RUVCheckBox.moc"
