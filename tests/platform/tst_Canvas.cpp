// The drawing rules the controls rely on, checked pixel by pixel.

#include "TestSupport.h"

#include "platform/Canvas.h"
#include "platform/Colors.h"

#include <QPainter>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

QImage blank(int w = 20, int h = 20)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

// The rectangle (exclusive right/bottom) covering every pixel that differs
// from white; empty when nothing was drawn.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

template<typename Draw>
QImage render(Draw draw, int w = 20, int h = 20)
{
    QImage image = blank(w, h);
    QPainter painter(&image);
    TCanvas canvas(painter);
    draw(canvas);
    return image;
}

} // namespace

class tst_Canvas : public QObject
{
    Q_OBJECT

private slots:
    void systemColoursResolveFromTheFixedTable_data();
    void systemColoursResolveFromTheFixedTable();
    void linesLeaveOutTheirEndPoint_data();
    void linesLeaveOutTheirEndPoint();
    void rectangleOutlinesAndFills();
    void rectangleWithClearedBrushFillsNothing();
    void rectangleWithoutPenIsOnePixelSmaller();
    void ellipseStaysInsideItsBox();
    void textAlignmentUsesTopReference_data();
    void textAlignmentUsesTopReference();
    void opaqueTextFillsItsCell();
    void engravedTextLiesUnderItsShadow_data();
    void engravedTextLiesUnderItsShadow();
    void transparentBitmapOmitsItsKeyColour();
    void patternBrushTiles();
};

void tst_Canvas::systemColoursResolveFromTheFixedTable_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("clWindow") << clWindow << qRgb(255, 255, 255);
    QTest::newRow("clWindowText") << clWindowText << qRgb(0, 0, 0);
    QTest::newRow("clHighlight") << clHighlight << qRgb(0, 120, 215);
    QTest::newRow("clBtnFace") << clBtnFace << qRgb(240, 240, 240);
    QTest::newRow("clBtnShadow") << clBtnShadow << qRgb(160, 160, 160);
    QTest::newRow("clGrayText") << clGrayText << qRgb(109, 109, 109);
    QTest::newRow("clBtnHighlight") << clBtnHighlight << qRgb(255, 255, 255);
    QTest::newRow("cl3DDkShadow") << cl3DDkShadow << qRgb(105, 105, 105);
    QTest::newRow("cl3DLight") << cl3DLight << qRgb(227, 227, 227);
    QTest::newRow("red is the low byte") << RGBColor(1, 2, 3) << qRgb(1, 2, 3);
    QTest::newRow("clBlue is $FF0000") << clBlue << qRgb(0, 0, 255);
}

void tst_Canvas::systemColoursResolveFromTheFixedTable()
{
    QFETCH(TColor, color);
    QFETCH(QRgb, expected);
    QCOMPARE(ToQColor(color).rgb(), expected);
}

void tst_Canvas::linesLeaveOutTheirEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("ink");
    QTest::newRow("right") << QPoint(0, 0) << QPoint(5, 0) << QRect(0, 0, 5, 1);
    QTest::newRow("left") << QPoint(5, 2) << QPoint(0, 2) << QRect(1, 2, 5, 1);
    QTest::newRow("down") << QPoint(3, 1) << QPoint(3, 6) << QRect(3, 1, 1, 5);
    QTest::newRow("up") << QPoint(3, 6) << QPoint(3, 1) << QRect(3, 2, 1, 5);
    QTest::newRow("diagonal") << QPoint(2, 4) << QPoint(0, 2) << QRect(1, 3, 2, 2);
    QTest::newRow("zero length") << QPoint(4, 4) << QPoint(4, 4) << QRect();
}

void tst_Canvas::linesLeaveOutTheirEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, ink);
    const QImage image = render([&](TCanvas& c) {
        c.SetPenColor(clBlack);
        c.MoveTo(from.x(), from.y());
        c.LineTo(to.x(), to.y());
    });
    QCOMPARE(inkBounds(image), ink);
    if (!ink.isEmpty())
        QCOMPARE(image.pixel(from), Black);
    QCOMPARE(image.pixel(to), White);
}

void tst_Canvas::rectangleOutlinesAndFills()
{
    const QImage image = render([](TCanvas& c) {
        c.SetPenColor(clBlack);
        c.SetBrushColor(RGBColor(255, 0, 0));
        c.Rectangle(0, 0, 10, 5);
    });
    QCOMPARE(inkBounds(image), QRect(0, 0, 10, 5));
    for (const QPoint p : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 4), QPoint(9, 4), QPoint(5, 0), QPoint(5, 4)})
        QCOMPARE(image.pixel(p), Black);
    QCOMPARE(image.pixel(1, 1), Red);
    QCOMPARE(image.pixel(8, 3), Red);
}

void tst_Canvas::rectangleWithClearedBrushFillsNothing()
{
    const QImage image = render([](TCanvas& c) {
        c.SetPenColor(clBlack);
        c.SetBrushStyle(TBrushStyle::bsClear);
        c.Rectangle(0, 0, 10, 5);
        c.FillRect(QRect(12, 12, 4, 4));
    });
    QCOMPARE(image.pixel(5, 2), White);
    QCOMPARE(image.pixel(13, 13), White);
    QCOMPARE(image.pixel(9, 4), Black);
}

void tst_Canvas::rectangleWithoutPenIsOnePixelSmaller()
{
    const QImage image = render([](TCanvas& c) {
        c.SetPenStyle(TPenStyle::psClear);
        c.SetBrushColor(clBlue);
        c.Rectangle(2, 2, 8, 6);
    });
    QCOMPARE(inkBounds(image), QRect(2, 2, 5, 3));
}

void tst_Canvas::ellipseStaysInsideItsBox()
{
    const QImage image = render([](TCanvas& c) {
        c.SetPenColor(clBlack);
        c.SetBrushColor(clBlue);
        c.Ellipse(2, 3, 14, 11);
    });
    QCOMPARE(inkBounds(image), QRect(2, 3, 12, 8));
    QCOMPARE(image.pixel(8, 7), Blue);
    QCOMPARE(image.pixel(2, 3), White); // the corner of the box is outside the ellipse
}

void tst_Canvas::textAlignmentUsesTopReference_data()
{
    QTest::addColumn<unsigned>("align");
    QTest::addColumn<int>("expectedLeftOffset"); // relative to the anchor, in text widths / 2
    QTest::newRow("left") << unsigned(TA_LEFT | TA_TOP) << 0;
    QTest::newRow("centre") << unsigned(TA_CENTER | TA_TOP) << -1;
    QTest::newRow("right") << unsigned(TA_RIGHT | TA_TOP) << -2;
}

void tst_Canvas::textAlignmentUsesTopReference()
{
    QFETCH(unsigned, align);
    QFETCH(int, expectedLeftOffset);
    // A block glyph fills its cell, so the ink shows where the cell went.
    const QString text = QStringLiteral("\u2588\u2588");
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setStyleStrategy(QFont::NoAntialias);
    int width = 0;
    const QImage image = render(
        [&](TCanvas& c) {
            c.SetFont(font);
            c.SetFontColor(clBlack);
            c.SetBrushStyle(TBrushStyle::bsClear);
            c.SetTextAlign(align);
            width = c.TextWidth(text);
            c.TextOut(100, 10, text);
        },
        200, 60);
    const QRect ink = inkBounds(image);
    QVERIFY(!ink.isEmpty());
    const int expectedLeft = 100 + expectedLeftOffset * (width / 2);
    QVERIFY2(qAbs(ink.left() - expectedLeft) <= 2, qPrintable(QStringLiteral("left %1, expected %2").arg(ink.left()).arg(expectedLeft)));
    // Top reference: nothing is drawn above the anchor.
    QVERIFY(ink.top() >= 10);
    QVERIFY(ink.top() <= 10 + QFontMetrics(font).ascent());
}

void tst_Canvas::opaqueTextFillsItsCell()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QSize cell;
    const QImage image = render(
        [&](TCanvas& c) {
            c.SetFont(font);
            c.SetBrushColor(clBlue);
            c.SetFontColor(clBlack);
            cell = c.TextExtent(QStringLiteral("i"));
            c.TextOut(5, 5, QStringLiteral("i"));
        },
        40, 40);
    QCOMPARE(inkBounds(image), QRect(QPoint(5, 5), cell));
}

void tst_Canvas::engravedTextLiesUnderItsShadow_data()
{
    // Probed around the ink of a block glyph drawn plainly at the same place:
    // the shadow covers exactly that ink, the light copy shows only in the
    // one column right of it and the one row below it.
    QTest::addColumn<QString>("corner"); // of that ink
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("shadow over the light copy") << "bottom right" << QPoint(0, 0) << Blue;
    QTest::newRow("light column starts one row lower") << "top right" << QPoint(1, 0) << White;
    QTest::newRow("light row starts one column further") << "bottom left" << QPoint(0, 1) << White;
    QTest::newRow("light corner") << "bottom right" << QPoint(1, 1) << Red;
    QTest::newRow("one column right, not two") << "bottom right" << QPoint(2, 1) << White;
    QTest::newRow("one row down, not two") << "bottom right" << QPoint(1, 2) << White;
}

void tst_Canvas::engravedTextLiesUnderItsShadow()
{
    QFETCH(QString, corner);
    QFETCH(QPoint, offset);
    QFETCH(QRgb, colour);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    const QString block = QStringLiteral("\u2588");
    const auto prepare = [&](TCanvas& c) {
        c.SetFont(font);
        c.SetBrushStyle(TBrushStyle::bsClear);
    };
    const QRect plain = inkBounds(render(
        [&](TCanvas& c) {
            prepare(c);
            c.TextOut(5, 5, block);
        },
        40, 40));
    QVERIFY(plain.width() > 4 && plain.height() > 4);
    TColor left = clNone;
    const QImage image = render(
        [&](TCanvas& c) {
            prepare(c);
            c.Engraved(clRed, clBlue, 5, 5, block);
            left = c.FontColor();
        },
        40, 40);
    const QPoint at = corner == u"top right" ? plain.topRight()
        : corner == u"bottom left"           ? plain.bottomLeft()
                                             : plain.bottomRight();
    QCOMPARE(image.pixel(at + offset), colour);
    QCOMPARE(left, clBlue); // the colour a following text of the same look uses
}

void tst_Canvas::transparentBitmapOmitsItsKeyColour()
{
    QImage glyph(3, 3, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 0, 255));
    glyph.setPixel(1, 1, qRgb(0, 0, 0));
    const QImage opaque = render([&](TCanvas& c) { c.Draw(4, 4, glyph, false); });
    const QImage keyed = render([&](TCanvas& c) { c.Draw(4, 4, glyph, true); });
    QCOMPARE(inkBounds(opaque), QRect(4, 4, 3, 3));
    QCOMPARE(inkBounds(keyed), QRect(5, 5, 1, 1));
    QCOMPARE(keyed.pixel(5, 5), Black);
}

void tst_Canvas::patternBrushTiles()
{
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.fill(Qt::white);
    tile.setPixel(0, 0, qRgb(0, 0, 0));
    const QImage image = render([&](TCanvas& c) {
        c.SetBrushPattern(tile);
        c.FillRect(QRect(0, 0, 8, 8));
    });
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            QCOMPARE(image.pixel(x, y), (x % 2 == 0 && y % 2 == 0) ? Black : White);
}

TIRASO_TEST_MAIN(tst_Canvas)
#include "tst_Canvas.moc"
