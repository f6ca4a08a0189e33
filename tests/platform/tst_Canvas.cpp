// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The drawing rules the controls rely on, checked pixel by pixel.

#include "TestSupport.h"

#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Pictures.h"

#include <QPainter>
#include <QSet>
#include <QTemporaryDir>

using namespace TestSupport;

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

// The same drawing on a device of `ratio` device pixels per window pixel.
template<typename Draw>
QImage renderAt(qreal ratio, Draw draw, int w = 20, int h = 20)
{
    QImage image(qCeil(w * ratio), qCeil(h * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(White);
    QPainter painter(&image);
    TCanvas canvas(painter);
    draw(canvas);
    return image;
}

QSet<QRgb> coloursIn(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

// A 12 x 12 bitmap keyed on magenta with a black ring, and a drawing of it.
QImage ringBitmap()
{
    QImage bitmap(12, 12, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 255));
    QPainter painter(&bitmap);
    painter.setPen(Qt::black);
    painter.drawEllipse(1, 1, 9, 9);
    return bitmap;
}

QString writeRingDrawing(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("ring.svg"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"12\" height=\"12\" viewBox=\"0 0 12 12\">"
                   "<circle cx=\"6\" cy=\"6\" r=\"5\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/></svg>");
    return path;
}

QFont tahoma(bool bold)
{
    TFont font;
    font.setStyle(bold ? TFont::TFontStyles(TFont::fsBold) : TFont::TFontStyles());
    return font.toQFont();
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

    void textScalesWithThePixelRatio_data();
    void textScalesWithThePixelRatio();
    void picturesAtPixelRatios_data();
    void picturesAtPixelRatios();
    void drawingsAreMadeOncePerRatio();
    void framesStayContinuousAtPixelRatios_data();
    void framesStayContinuousAtPixelRatios();
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
    QVERIFY2(qAbs(ink.left() - expectedLeft) <= 2,
             qPrintable(QStringLiteral("left %1, expected %2").arg(ink.left()).arg(expectedLeft)));
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

void tst_Canvas::textScalesWithThePixelRatio_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<unsigned>("align");
    QTest::addColumn<qreal>("ratio");
    // The captions of the window, where 1x hinting and the true shapes differ most.
    const struct {
        const char* text;
        bool bold;
        unsigned align;
    } texts[] = {
        {"0,330", true, TA_CENTER},   {"H=100,000%", true, TA_LEFT},  {"H=1,000", false, TA_RIGHT},
        {"Neigung:", false, TA_LEFT}, {"1.234,568", true, TA_CENTER}, {"X1 ", false, TA_LEFT},
        {"45,000°", true, TA_CENTER}, {"%", false, TA_LEFT},          {"© Tiraso 05/2024", false, TA_LEFT},
    };
    for (const auto& t : texts)
        for (qreal ratio : {1.25, 1.5, 2.0, 3.0})
            QTest::addRow("%s%s at %g", t.text, t.bold ? " bold" : "", ratio)
                << QString::fromUtf8(t.text) << t.bold << t.align << ratio;
}

// Regression: at 200 % the hinted face of 1x left a gap of 7 device pixels
// after the comma of "0,330" where 1x has 2.
void tst_Canvas::textScalesWithThePixelRatio()
{
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(unsigned, align);
    QFETCH(qreal, ratio);
    const auto draw = [&](TCanvas& c) {
        c.SetFont(tahoma(bold));
        c.SetFontColor(clBlack);
        c.SetBrushStyle(TBrushStyle::bsClear);
        c.SetTextAlign(align);
        c.TextOut(60, 4, text);
    };
    const QRect band(0, 0, 120, 20);
    const TextInk plain = textInk(render(draw, 120, 20), band, White);
    const TextInk dense = textInk(renderAt(ratio, draw, 120, 20), deviceRect(band, ratio), White);
    const QString fault = compareTextInk(plain, dense, ratio, int(text.size()), align);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void tst_Canvas::picturesAtPixelRatios_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("withDrawing");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<bool>("enlarged"); // every 2 x 2 block one colour
    QTest::newRow("1, drawing named: the bitmap") << 1.0 << true << true << false;
    QTest::newRow("1, drawing named, opaque") << 1.0 << true << false << false;
    QTest::newRow("2, drawing named: drawn fine") << 2.0 << true << true << false;
    QTest::newRow("2, drawing named, opaque") << 2.0 << true << false << false;
    QTest::newRow("2, plain bitmap: enlarged") << 2.0 << false << true << true;
    QTest::newRow("1.5, drawing named") << 1.5 << true << true << false;
}

void tst_Canvas::picturesAtPixelRatios()
{
    QFETCH(qreal, ratio);
    QFETCH(bool, withDrawing);
    QFETCH(bool, transparent);
    QFETCH(bool, enlarged);
    QTemporaryDir dir;
    const QImage bitmap = ringBitmap();
    const QImage picture = withDrawing ? PictureWithVector(bitmap, writeRingDrawing(dir)) : bitmap;
    const QImage image = renderAt(ratio, [&](TCanvas& c) { c.Draw(4, 4, picture, transparent); });
    const QRect area = deviceRect(QRect(4, 4, 12, 12), ratio);

    if (ratio == 1) {
        // Exactly the bitmap, its key colour left out when drawn transparently.
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const QRgb want = transparent && bitmap.pixel(x, y) == bitmap.pixel(0, 11) ? White : bitmap.pixel(x, y);
                QCOMPARE(image.pixel(4 + x, 4 + y), want);
            }
        return;
    }
    QCOMPARE(pixelDoubled(image, area), enlarged);
    if (withDrawing) {
        // The drawing's own transparency stands for the key colour.
        QVERIFY(!coloursIn(image).contains(qRgb(255, 0, 255)));
        QVERIFY(coloursIn(image.copy(area)).contains(Black));
    }
}

void tst_Canvas::drawingsAreMadeOncePerRatio()
{
    QTemporaryDir dir;
    const QImage picture = PictureWithVector(ringBitmap(), writeRingDrawing(dir));
    const auto draw = [&](TCanvas& c) { c.Draw(0, 0, picture, true); };
    const int before = VectorPicturesMade();
    renderAt(1, draw);
    QCOMPARE(VectorPicturesMade(), before); // a plain screen costs nothing
    renderAt(1.75, draw);
    QCOMPARE(VectorPicturesMade(), before + 1);
    renderAt(1.75, draw);
    QCOMPARE(VectorPicturesMade(), before + 1);
    renderAt(2.5, draw);
    QCOMPARE(VectorPicturesMade(), before + 2);
}

void tst_Canvas::framesStayContinuousAtPixelRatios_data()
{
    QTest::addColumn<qreal>("ratio");
    for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0})
        QTest::addRow("%g", ratio) << ratio;
}

// A one-pixel frame, as the labels and editors draw theirs, has no device
// column or row without its colour along any side.
void tst_Canvas::framesStayContinuousAtPixelRatios()
{
    QFETCH(qreal, ratio);
    const QImage image = renderAt(ratio, [](TCanvas& c) {
        c.SetPenColor(clBlack);
        c.Polyline({{1, 14}, {1, 1}, {18, 1}});
        c.Polyline({{17, 2}, {17, 13}, {1, 13}});
    });
    const auto covered = [&](const QRect& side, bool horizontal) {
        // The device pixels wholly inside the side; those it only touches
        // may go either way.
        const int left = qCeil(side.x() * ratio), top = qCeil(side.y() * ratio);
        QRect area(left, top, qFloor((side.x() + side.width()) * ratio) - left,
                   qFloor((side.y() + side.height()) * ratio) - top);
        if (horizontal)
            area.setHeight(qMax(1, area.height()));
        else
            area.setWidth(qMax(1, area.width()));
        for (int i = 0; i < (horizontal ? area.width() : area.height()); ++i) {
            bool inked = false;
            for (int j = 0; j < (horizontal ? area.height() : area.width()) && !inked; ++j)
                inked = horizontal ? image.pixel(area.left() + i, area.top() + j) == Black
                                   : image.pixel(area.left() + j, area.top() + i) == Black;
            if (!inked) {
                qWarning("no frame at device pixel %d of %d,%d %dx%d", i, area.x(), area.y(), area.width(),
                         area.height());
                return false;
            }
        }
        return true;
    };
    QVERIFY(covered(QRect(1, 1, 17, 1), true));   // top
    QVERIFY(covered(QRect(1, 13, 17, 1), true));  // bottom
    QVERIFY(covered(QRect(1, 1, 1, 13), false));  // left
    QVERIFY(covered(QRect(17, 1, 1, 13), false)); // right
}

TIRASO_TEST_MAIN(tst_Canvas)
#include "tst_Canvas.moc"
