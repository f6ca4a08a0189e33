// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVLabel.h"

#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Pictures.h"
#include "tests/TestSupport.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

using Action = std::function<void(TRUVLabel&)>;
struct Pixel {
    QPoint at;
    TColor color;
};
using Pixels = QList<Pixel>;

constexpr TColor Background = RGBColor(1, 2, 3);
constexpr TColor HostColor = RGBColor(0, 128, 0);
const QString Path = QStringLiteral("C:\\Programme\\Daten\\Projekt\\datei.dat");

QRgb rgb(TColor color)
{
    return ToQColor(color).rgb();
}

// The label alone on a plain background, so whatever it leaves unpainted shows.
QImage render(TRUVLabel& label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(rgb(Background));
    label.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// What a label should look like: only `text` in the label's font and colour
// at `anchor` with `align`, and the glyph where given, on the plain background.
QImage textAlone(const TRUVLabel& label, QPoint anchor, unsigned align, const QString& text,
                 const QImage& glyph = QImage(), QPoint glyphAt = QPoint())
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(rgb(Background));
    QPainter painter(&image);
    TCanvas canvas(painter);
    if (!glyph.isNull())
        canvas.Draw(glyphAt.x(), glyphAt.y(), glyph, true);
    canvas.SetFont(label.Font()->toQFont());
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.SetFontColor(label.Font()->Color());
    canvas.SetTextAlign(align);
    canvas.TextOut(anchor.x(), anchor.y(), text);
    return image;
}

QSet<QRgb> inkColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != rgb(Background))
                colours.insert(image.pixel(x, y));
    return colours;
}

QFontMetrics metricsOf(const TRUVLabel& label)
{
    return QFontMetrics(label.Font()->toQFont());
}

// A shown window with one label in it, for everything that needs the pointer.
struct Host {
    QWidget window;
    QPointer<TRUVLabel> label = new TRUVLabel(&window);
    Host()
    {
        window.resize(320, 120);
        window.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, ToQColor(HostColor));
        window.setPalette(palette);
        label->move(10, 10);
    }
    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    void pointerIn()
    {
        QTest::mouseMove(&window, QPoint(300, 110));
        QTest::mouseMove(label, QPoint(5, 5));
    }
    void pointerOut() { QTest::mouseMove(&window, QPoint(300, 110)); }
    QImage shot() { return window.grab(label->geometry()).toImage().convertToFormat(QImage::Format_RGB32); }
};

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Pixel)
Q_DECLARE_METATYPE(Pixels)

class TestRUVLabel : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        // An override left behind would turn the whole application's cursor.
        const bool leaked = QGuiApplication::overrideCursor() != nullptr;
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        QVERIFY2(!leaked, "a cursor override outlived its label");
    }

    void background_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<TColor>("color");
        QTest::addColumn<TColor>("colorHoover");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<TColor>("expected");
        QTest::newRow("clNone shows the parent")
            << int(TRUVLabel::ltnormal) << clNone << clSilver << false << HostColor;
        QTest::newRow("Color fills") << int(TRUVLabel::ltnormal) << clYellow << clSilver << false << clYellow;
        QTest::newRow("lthoover under the pointer")
            << int(TRUVLabel::lthoover) << clWhite << clSilver << true << clSilver;
        QTest::newRow("lthoover with the pointer away")
            << int(TRUVLabel::lthoover) << clWhite << clSilver << false << clWhite;
        QTest::newRow("transparent lthoover lights up")
            << int(TRUVLabel::lthoover) << clNone << clSilver << true << clSilver;
        QTest::newRow("ColorHoover clNone switches it off")
            << int(TRUVLabel::lthoover) << clWhite << clNone << true << clWhite;
        QTest::newRow("only lthoover lights up") << int(TRUVLabel::ltnormal) << clWhite << clSilver << true << clWhite;
    }
    void background()
    {
        QFETCH(int, type);
        QFETCH(TColor, color);
        QFETCH(TColor, colorHoover);
        QFETCH(bool, hovered);
        QFETCH(TColor, expected);
        Host host;
        host.label->setLabelTyp(TRUVLabel::TLtype(type));
        host.label->setColor(color);
        host.label->setColorHoover(colorHoover);
        QVERIFY(host.show());
        if (hovered)
            host.pointerIn();
        QCOMPARE(host.label->MouseInside(), hovered);
        QCOMPARE(host.shot().pixel(100, 10), rgb(expected));
        host.pointerOut();
    }

    void textColour_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("captionVisible");
        QTest::addColumn<QList<TColor>>("expected");
        QTest::newRow("font colour") << "Wert" << false << true << true << QList<TColor>{clRed};
        QTest::newRow("hover text colour") << "Wert" << true << true << true << QList<TColor>{clBlue};
        QTest::newRow("NoChooseCaption in silver") << "" << false << true << true << QList<TColor>{clSilver};
        QTest::newRow("NoChooseCaption silver under the pointer")
            << "" << true << true << true << QList<TColor>{clSilver};
        QTest::newRow("disabled caption engraved")
            << "Wert" << false << false << true << QList<TColor>{clWhite, clBtnShadow};
        QTest::newRow("CaptionVisible off") << "Wert" << false << true << false << QList<TColor>{};
    }
    void textColour()
    {
        QFETCH(QString, caption);
        QFETCH(bool, hovered);
        QFETCH(bool, enabled);
        QFETCH(bool, captionVisible);
        QFETCH(QList<TColor>, expected);
        Host host;
        host.label->setColor(Background);
        host.label->setCaption(caption);
        host.label->setNoChooseCaption(QStringLiteral("Auswahl"));
        host.label->Font()->setColor(clRed);
        host.label->setColorHooverText(clBlue);
        host.label->setCaptionVisible(captionVisible);
        host.label->setEnabled(enabled);
        QVERIFY(host.show());
        if (hovered)
            host.pointerIn();
        QSet<QRgb> colours;
        for (TColor c : expected)
            colours.insert(rgb(c));
        QCOMPARE(inkColours(host.shot()), colours);
        host.pointerOut();
    }

    void frame_data()
    {
        // clang-format off
        QTest::addColumn<int>("bevel");
        QTest::addColumn<int>("borders");
        QTest::addColumn<Pixels>("pixels");
        const TColor hi = clBtnHighlight, sh = clBtnShadow, single = clRed, border = clBlue, bg = Background;
        using B = TRUVLabel;
        QTest::newRow("raised") << int(B::bfraised) << 0
                                << Pixels{{{0, 0}, hi}, {{0, 19}, hi}, {{39, 0}, hi}, {{39, 1}, sh}, {{39, 19}, sh}, {{2, 19}, sh}, {{1, 19}, bg}, {{1, 1}, bg}};
        QTest::newRow("lowered") << int(B::bflowered) << 0
                                 << Pixels{{{0, 0}, sh}, {{0, 19}, sh}, {{39, 0}, sh}, {{39, 1}, hi}, {{39, 19}, hi}, {{2, 19}, hi}, {{1, 19}, bg}};
        QTest::newRow("single") << int(B::bfsingle) << 0
                                << Pixels{{{0, 0}, single}, {{0, 19}, single}, {{39, 0}, single}, {{39, 19}, single}, {{1, 19}, single}, {{1, 1}, bg}};
        QTest::newRow("single overdrawn by the bottom border") << int(B::bfsingle) << int(B::blbl_bottom)
                                << Pixels{{{0, 19}, border}, {{20, 19}, border}, {{39, 19}, border}, {{39, 10}, single}, {{0, 0}, single}};
        QTest::newRow("left and right borders") << int(B::bfnone) << int(B::blbl_Left | B::blbl_right)
                                << Pixels{{{0, 0}, border}, {{0, 19}, border}, {{39, 0}, border}, {{39, 19}, border}, {{20, 0}, bg}};
        QTest::newRow("top border over the raised bevel") << int(B::bfraised) << int(B::blbl_top)
                                << Pixels{{{0, 0}, border}, {{39, 0}, border}, {{0, 1}, hi}};
        // clang-format on
    }
    void frame()
    {
        QFETCH(int, bevel);
        QFETCH(int, borders);
        QFETCH(Pixels, pixels);
        TRUVLabel label;
        label.resize(40, 20);
        label.setLabelBevel(TRUVLabel::TBevelFrame(bevel));
        label.setBorders(TRUVLabel::TBorders(borders));
        label.setColorSingleBorder(clRed);
        label.setColorBorder(clBlue);
        // Stored for a form designer only; must never show at run time.
        label.setShowDesigntimeFrame(true);
        label.setDesigntimeFrameColor(clLime);
        const QImage image = render(label);
        for (const Pixel& p : pixels)
            QVERIFY2(image.pixel(p.at) == rgb(p.color),
                     qPrintable(QStringLiteral("pixel %1,%2").arg(p.at.x()).arg(p.at.y())));
        QVERIFY(!inkColours(image).contains(rgb(clLime)));
    }

    void shortening_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("shortened");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("align");
        using B = TRUVLabel;
        QTest::newRow("fits, centred") << int(B::lycenter) << 200 << true << false << 100 << int(TA_CENTER);
        QTest::newRow("too wide, centred: left from 4") << int(B::lycenter) << 60 << true << true << 4 << int(TA_LEFT);
        QTest::newRow("too wide, centre top: left from 2")
            << int(B::lycentertop) << 60 << true << true << 2 << int(TA_LEFT);
        QTest::newRow("too wide, left layout keeps x")
            << int(B::lycenterleft) << 60 << true << true << 4 << int(TA_LEFT);
        QTest::newRow("too wide, right layout stays right")
            << int(B::lycenterright) << 60 << true << true << 57 << int(TA_RIGHT);
        QTest::newRow("at least two characters") << int(B::lycenter) << 14 << true << true << 4 << int(TA_LEFT);
        QTest::newRow("disabled caption is never shortened") << int(B::lycenter) << 60 << false << false << -1 << 0;
    }
    void shortening()
    {
        QFETCH(int, layout);
        QFETCH(int, width);
        QFETCH(bool, enabled);
        QFETCH(bool, shortened);
        QFETCH(int, x);
        QFETCH(int, align);
        const QString caption = QStringLiteral("Eine viel zu lange Beschriftung");
        TRUVLabel label;
        label.resize(width, 20);
        label.setLabelLayout(TRUVLabel::TLayout(layout));
        label.setCaption(caption);
        label.setEnabled(enabled);
        const QFontMetrics fm = metricsOf(label);
        const QString shown = label.ShownText();
        QCOMPARE(label.Caption(), caption);
        if (!shortened) {
            QCOMPARE(shown, caption);
        } else {
            const int room = width - 12;
            QVERIFY(shown.endsWith(QLatin1String("...")));
            const int n = int(shown.size()) - 3;
            QCOMPARE(shown.left(n), caption.left(n));
            QVERIFY(n >= 2);
            QVERIFY(fm.horizontalAdvance(shown) >= room);
            QVERIFY(n == 2 || fm.horizontalAdvance(caption.left(n - 1) + "...") < room);
        }
        if (!enabled)
            return;
        // Where the text stands: the same text drawn at the expected place.
        const QPoint anchor(x, layout == TRUVLabel::lycentertop ? 2 : (20 - fm.height()) / 2);
        QCOMPARE(render(label), textAlone(label, anchor, unsigned(align), shown));
    }

    void captionPlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("showEllipses");
        QTest::addColumn<int>("marginTop");
        QTest::addColumn<QPoint>("anchor"); // of the text's top edge, in a 120 x 30 label
        QTest::addColumn<int>("align");
        using B = TRUVLabel;
        const QFontMetrics fm(TFont().toQFont());
        const int h = fm.height();
        // Right-aligned layouts keep room for the "…" button: its width with a blank, and 2.
        const int room = fm.horizontalAdvance(QStringLiteral("\u2026 ")) + 2;
        const int left = TA_LEFT, centre = TA_CENTER, right = TA_RIGHT;
        QTest::newRow("left top") << int(B::lylefttop) << false << 0 << QPoint(4, 2) << left;
        QTest::newRow("centre top") << int(B::lycentertop) << false << 0 << QPoint(60, 2) << centre;
        QTest::newRow("right top") << int(B::lyrighttop) << false << 0 << QPoint(117, 2) << right;
        QTest::newRow("right top, room for the ellipsis")
            << int(B::lyrighttop) << true << 0 << QPoint(117 - room, 2) << right;
        QTest::newRow("centre") << int(B::lycenter) << false << 0 << QPoint(60, (30 - h) / 2) << centre;
        QTest::newRow("centre bottom, 2 above the edge")
            << int(B::lycenterbottom) << false << 0 << QPoint(60, 30 - h - 2) << centre;
        QTest::newRow("centre left") << int(B::lycenterleft) << false << 0 << QPoint(4, (30 - h) / 2) << left;
        QTest::newRow("centre right") << int(B::lycenterright) << false << 0 << QPoint(117, (30 - h) / 2) << right;
        QTest::newRow("centre right, room for the ellipsis")
            << int(B::lycenterright) << true << 0 << QPoint(117 - room, (30 - h) / 2) << right;
        QTest::newRow("ellipsis room only for the right")
            << int(B::lycenterleft) << true << 0 << QPoint(4, (30 - h) / 2) << left;
        QTest::newRow("margin top lowers the caption")
            << int(B::lycenterleft) << false << 5 << QPoint(4, (30 - h) / 2 + 5) << left;
        QTest::newRow("negative margin top raises it")
            << int(B::lycenterbottom) << false << -3 << QPoint(60, 30 - h - 5) << centre;
    }
    void captionPlacement()
    {
        QFETCH(int, layout);
        QFETCH(bool, showEllipses);
        QFETCH(int, marginTop);
        QFETCH(QPoint, anchor);
        QFETCH(int, align);
        TRUVLabel label;
        label.resize(120, 30);
        label.setLabelLayout(TRUVLabel::TLayout(layout));
        label.setShowEllipses(showEllipses);
        label.setCaptionMarginTop(marginTop);
        label.setCaption(QStringLiteral("Wert"));
        QCOMPARE(render(label), textAlone(label, anchor, unsigned(align), label.Caption()));
    }

    void fileDisplayPlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("glyph");
        QTest::addColumn<QPoint>("anchor"); // of the text in a 200 x 30 label; the glyph is 6 x 6
        QTest::addColumn<int>("align");
        using B = TRUVLabel;
        const int y = (30 - QFontMetrics(TFont().toQFont()).height()) / 2;
        // The file display sets its text 4 further in than a plain caption,
        // and moves it right by the glyph and 2 whatever the layout.
        QTest::newRow("left") << int(B::lycenterleft) << false << QPoint(8, y) << int(TA_LEFT);
        QTest::newRow("left top") << int(B::lylefttop) << false << QPoint(8, 2) << int(TA_LEFT);
        QTest::newRow("left, after the glyph") << int(B::lycenterleft) << true << QPoint(16, y) << int(TA_LEFT);
        QTest::newRow("right") << int(B::lycenterright) << false << QPoint(196, y) << int(TA_RIGHT);
        QTest::newRow("right, glyph at the left") << int(B::lycenterright) << true << QPoint(204, y) << int(TA_RIGHT);
        QTest::newRow("centre") << int(B::lycenter) << false << QPoint(100, y) << int(TA_CENTER);
    }
    void fileDisplayPlacement()
    {
        QFETCH(int, layout);
        QFETCH(bool, glyph);
        QFETCH(QPoint, anchor);
        QFETCH(int, align);
        const QString path = QStringLiteral("C:\\a\\b.dat");
        QImage picture(6, 6, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        picture.setPixel(0, 5, qRgb(255, 0, 255)); // the transparent colour
        TRUVLabel label;
        label.resize(200, 30);
        label.setLabelTyp(TRUVLabel::ltfile);
        label.setLabelLayout(TRUVLabel::TLayout(layout));
        label.setCaption(path);
        if (glyph)
            label.setGlyph(picture);
        QCOMPARE(label.ShownText(), path);

        // The glyph 2 from the left, centred in the height.
        QCOMPARE(render(label),
                 textAlone(label, anchor, unsigned(align), path, glyph ? picture : QImage(), QPoint(2, 12)));
    }

    void glyphPosition_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QPoint>("topLeft");
        const int h = QFontMetrics(TFont().toQFont()).height();
        const int y = (20 - h) / 2;
        // Centred on the text line; halves round toward zero, also when negative.
        const int gy = y - (6 - h) / 2;
        QTest::newRow("before the text") << int(TRUVLabel::lycenterleft) << QPoint(4, gy);
        QTest::newRow("after right-aligned text") << int(TRUVLabel::lycenterright) << QPoint(200 - 3 - 6, gy);
        QTest::newRow("centred") << int(TRUVLabel::lycenter) << QPoint(97, 7);
        QTest::newRow("centred at the bottom") << int(TRUVLabel::lycenterbottom) << QPoint(97, 14);
    }
    void glyphPosition()
    {
        QFETCH(int, layout);
        QFETCH(QPoint, topLeft);
        QImage glyph(6, 6, QImage::Format_RGB32);
        glyph.fill(Qt::blue);
        glyph.setPixel(0, 5, qRgb(255, 0, 255)); // the transparent colour
        TRUVLabel label;
        label.setLabelLayout(TRUVLabel::TLayout(layout));
        label.setGlyph(glyph);
        const QImage image = render(label);
        QCOMPARE(image.pixel(topLeft), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(topLeft + QPoint(5, 5)), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(topLeft + QPoint(0, 5)), rgb(Background));
        QCOMPARE(image.pixel(topLeft - QPoint(1, 1)), rgb(Background));
    }

    void autoWidth_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("glyphWidth");
        QTest::addColumn<int>("expected");
        QTest::newRow("60 + 16 + 18") << "0000000000" << 16 << 94;
        QTest::newRow("without glyph") << "0000000000" << 0 << 78;
        QTest::newRow("a 1-pixel glyph counts as none") << "0000000000" << 1 << 78;
        QTest::newRow("empty caption, NoChooseCaption not measured") << "" << 0 << 18;
    }
    void autoWidth()
    {
        QFETCH(QString, caption);
        QFETCH(int, glyphWidth);
        QFETCH(int, expected);
        TRUVLabel label;
        if (QFontInfo(label.Font()->toQFont()).family() != QLatin1String("Tahoma"))
            QSKIP("needs the Tahoma of fonts-wine for exact widths");
        if (glyphWidth > 0) {
            QImage glyph(glyphWidth, 16, QImage::Format_RGB32);
            glyph.fill(Qt::blue);
            label.setGlyph(glyph);
        }
        label.setNoChooseCaption(QStringLiteral("Bitte wählen"));
        label.setCaption(caption);
        QCOMPARE(label.width(), 200);
        label.setAutoWidth(true);
        QCOMPARE(label.width(), expected);
        label.setCaption(caption + "00");
        QCOMPARE(label.width(), expected + 12);
    }

    void onChange_data()
    {
        // clang-format off
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("expected");
        // The window is never shown in this test: only an explicit hide silences OnChange.
        QTest::newRow("same caption twice") << false << Action([](TRUVLabel& l) { l.setCaption("a"); l.setCaption("a"); }) << 2;
        QTest::newRow("hidden label") << true << Action([](TRUVLabel& l) { l.setCaption("a"); l.setCaption("b"); }) << 0;
        QTest::newRow("font change") << false << Action([](TRUVLabel& l) { l.Font()->setHeight(-13); }) << 1;
        QTest::newRow("ColorGlow") << false << Action([](TRUVLabel& l) { l.setColorGlow(clRed); }) << 1;
        QTest::newRow("picture variant") << false << Action([](TRUVLabel& l) { l.setLabelTyp(TRUVLabel::ltraised); }) << 1;
        QTest::newRow("hyperlink: colour and style") << false << Action([](TRUVLabel& l) { l.setLabelTyp(TRUVLabel::lthyperlink); }) << 2;
        QTest::newRow("Color does not re-assign") << false << Action([](TRUVLabel& l) { l.setColor(clRed); }) << 0;
        QTest::newRow("the same ColorGlow again") << false << Action([](TRUVLabel& l) { l.setColorGlow(clRed); l.setColorGlow(clRed); }) << 2;
        QTest::newRow("the same picture variant again") << false << Action([](TRUVLabel& l) { l.setLabelTyp(TRUVLabel::ltglow); l.setLabelTyp(TRUVLabel::ltglow); }) << 2;
        // clang-format on
    }
    void onChange()
    {
        QFETCH(bool, hidden);
        QFETCH(Action, action);
        QFETCH(int, expected);
        QWidget window;
        auto* label = new TRUVLabel(&window);
        if (hidden)
            label->hide();
        int count = 0;
        label->OnChange = [&](QObject* sender) {
            QCOMPARE(sender, label);
            ++count;
        };
        action(*label);
        QCOMPARE(count, expected);
    }

    void setterRepaints_data()
    {
        TestSupport::addSetterPaintColumns();
        const auto colour = [](TColor c) { return QVariant::fromValue(c); };
        QTest::newRow("LabelLayout, if changed")
            << QByteArray("LabelLayout") << QVariant::fromValue(TRUVLabel::lycenter) << 1 << 0;
        QTest::newRow("Color, if changed") << QByteArray("Color") << colour(clRed) << 1 << 0;
        QTest::newRow("ColorHoover, if changed") << QByteArray("ColorHoover") << colour(clRed) << 1 << 0;
        QTest::newRow("CaptionMarginTop, if changed") << QByteArray("CaptionMarginTop") << QVariant(3) << 1 << 0;
        QTest::newRow("NoChooseCaption, if changed")
            << QByteArray("NoChooseCaption") << QVariant(QStringLiteral("-")) << 1 << 0;
        QTest::newRow("ColorHooverText, stored") << QByteArray("ColorHooverText") << colour(clRed) << 0 << 0;
        QTest::newRow("LabelExecute, stored") << QByteArray("LabelExecute") << QVariant(QStringLiteral("x")) << 0 << 0;
        QTest::newRow("Tag2, stored") << QByteArray("Tag2") << QVariant(7) << 0 << 0;
        // Each assignment re-assigns or sets up again, with its OnChange.
        QTest::newRow("Caption, always") << QByteArray("Caption") << QVariant(QStringLiteral("x")) << 1 << 1;
        QTest::newRow("ColorGlow, always") << QByteArray("ColorGlow") << colour(clRed) << 1 << 1;
        QTest::newRow("LabelTyp, always")
            << QByteArray("LabelTyp") << QVariant::fromValue(TRUVLabel::lthoover) << 1 << 1;
    }
    void setterRepaints()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        QFETCH(int, paintsWhenChanged);
        QFETCH(int, paintsWhenSame);
        Host host;
        QVERIFY(host.show());
        QCOMPARE(TestSupport::setterPaints(host.label, property.constData(), value),
                 std::make_pair(paintsWhenChanged, paintsWhenSame));
    }

    void shortenPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QString>("expected");
        // Widths are character counts here, so every step is visible in the table.
        const QStringList steps = {Path,
                                   "C:\\...\\Daten\\Projekt\\datei.dat",
                                   "C:\\...\\Projekt\\datei.dat",
                                   "C:\\...\\datei.dat",
                                   "...\\datei.dat",
                                   "datei.dat"};
        QTest::newRow("fits whole") << Path << int(Path.size()) << Path;
        for (int i = 1; i < steps.size(); ++i)
            QTest::addRow("step %d", i) << Path << int(steps[i - 1].size()) - 1 << steps[i];
        QTest::newRow("stops at the bare name") << Path << 0 << "datei.dat";
        QTest::newRow("network path") << "\\\\server\\freigabe\\datei.dat" << 0 << "datei.dat";
        QTest::newRow("drive without folder") << "C:datei.dat" << 0 << "datei.dat";
        QTest::newRow("from the root") << "\\Daten\\datei.dat" << 0 << "datei.dat";
        QTest::newRow("relative with dots") << "..\\x\\datei.dat" << 0 << "datei.dat";
        QTest::newRow("name only") << "datei.dat" << 0 << "datei.dat";
    }
    void shortenPath()
    {
        QFETCH(QString, path);
        QFETCH(int, maxWidth);
        QFETCH(QString, expected);
        QCOMPARE(TRUVLabel::ShortenPath(path, maxWidth, [](const QString& s) { return int(s.size()); }), expected);
    }

    void fileDisplay_data()
    {
        QTest::addColumn<QString>("fitting"); // the form expected to fit exactly; empty: the name is cut
        QTest::addColumn<int>("roomDelta");
        QTest::addColumn<bool>("cut");
        QTest::newRow("whole path") << Path << 0 << false;
        QTest::newRow("first shortened form that fits") << "C:\\...\\Projekt\\datei.dat" << 0 << false;
        QTest::newRow("bare name") << "datei.dat" << 0 << false;
        QTest::newRow("name too wide: cut, with the button") << "datei.dat" << -1 << true;
    }
    void fileDisplay()
    {
        QFETCH(QString, fitting);
        QFETCH(int, roomDelta);
        QFETCH(bool, cut);
        TRUVLabel label;
        label.setLabelTyp(TRUVLabel::ltfile);
        label.setCaption(Path);
        const QFontMetrics fm = metricsOf(label);
        const int button = fm.horizontalAdvance(QStringLiteral("\u2026 ")) + 4;
        const int room = fm.horizontalAdvance(fitting) + roomDelta;
        label.resize(room + 12 + button, 20);
        const QString shown = label.ShownText();
        if (!cut) {
            QCOMPARE(shown, fitting);
        } else {
            // The beginning of the full path, not of the shortened one.
            QVERIFY(Path.startsWith(shown));
            QVERIFY(fm.horizontalAdvance(shown) >= room);
            QVERIFY(fm.horizontalAdvance(shown.chopped(1)) < room);
        }
        // The bold "…" stands in the button room, past the text's room.
        const QImage image = render(label);
        bool ink = false;
        // Left of the text's end the text itself may overflow into the button room.
        const int from = std::max(label.width() - button + 2, 8 + fm.horizontalAdvance(shown));
        for (int x = from; x < label.width(); ++x)
            for (int y = 0; y < 20; ++y)
                ink = ink || image.pixel(x, y) != rgb(Background);
        QCOMPARE(ink, cut);
    }

    void fileDisplayNarrowFieldIsNotCut()
    {
        TRUVLabel label;
        label.setLabelTyp(TRUVLabel::ltfile);
        label.setCaption(Path);
        label.resize(12 + 12 + metricsOf(label).horizontalAdvance(QStringLiteral("\u2026 ")) + 4, 20);
        QCOMPARE(label.ShownText(), QStringLiteral("datei.dat"));
    }

    void ellipsisSeparator_data()
    {
        QTest::addColumn<int>("bevel");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("line");
        QTest::newRow("single frame under the pointer") << int(TRUVLabel::bfsingle) << true << true;
        QTest::newRow("single frame, pointer away") << int(TRUVLabel::bfsingle) << false << false;
        QTest::newRow("no frame under the pointer") << int(TRUVLabel::bfnone) << true << false;
    }
    void ellipsisSeparator()
    {
        QFETCH(int, bevel);
        QFETCH(bool, hovered);
        QFETCH(bool, line);
        Host host;
        host.label->setLabelTyp(TRUVLabel::ltfile);
        host.label->setLabelBevel(TRUVLabel::TBevelFrame(bevel));
        host.label->setShowEllipses(true);
        host.label->setColorEllipsesLine(clRed);
        QVERIFY(host.show());
        if (hovered)
            host.pointerIn();
        const int x = 200 - (metricsOf(*host.label).horizontalAdvance(QStringLiteral("\u2026 ")) + 4) - 3;
        QCOMPARE(host.shot().pixel(x, 10) == rgb(clRed), line);
        host.pointerOut();
    }

    void effectPicturePlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QPoint>("at");
        // The picture is the text with 4 pixels of room on every side.
        const QFontMetrics fm(TFont().toQFont());
        const int pw = fm.horizontalAdvance(QStringLiteral("Test")) + 8;
        const int ph = fm.height() + 8;
        QTest::newRow("left top") << int(TRUVLabel::lylefttop) << QPoint(0, 0);
        QTest::newRow("centre right") << int(TRUVLabel::lycenterright) << QPoint(200 - pw, (40 - ph) / 2);
        QTest::newRow("centre bottom") << int(TRUVLabel::lycenterbottom) << QPoint((200 - pw) / 2, 40 - ph);
    }
    void effectPicturePlacement()
    {
        QFETCH(int, layout);
        QFETCH(QPoint, at);
        TRUVLabel label;
        label.resize(200, 40);
        label.setLabelLayout(TRUVLabel::TLayout(layout));
        label.setLabelTyp(TRUVLabel::ltglow);
        label.setCaption(QStringLiteral("Test"));
        const QFontMetrics fm = metricsOf(label);
        const QPoint end = at + QPoint(fm.horizontalAdvance(QStringLiteral("Test")) + 8, fm.height() + 8);
        const QImage image = render(label);
        QCOMPARE(image.pixel(at), rgb(clBtnFace));
        QCOMPARE(image.pixel(end - QPoint(1, 1)), rgb(clBtnFace));
        if (at.x() > 0)
            QCOMPARE(image.pixel(at.x() - 1, at.y()), rgb(Background));
        if (end.x() < 200)
            QCOMPARE(image.pixel(end.x(), at.y()), rgb(Background));
        if (end.y() < 40)
            QCOMPARE(image.pixel(at.x(), end.y()), rgb(Background));
    }

    void effectPictureNeighbours_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<TColor>("glow");
        QTest::addColumn<TColor>("fontColor");
        // above left, above, above right, left of top, left of bottom, right, below left, below, below right
        QTest::addColumn<QList<TColor>>("expected");
        const TColor yellow = RGBColor(255, 255, 192), l = clWhite, d = RGBColor(128, 128, 128);
        const QList<TColor> glow(9, yellow);
        QTest::newRow("glow") << int(TRUVLabel::ltglow) << yellow << clBlack << glow;
        QTest::newRow("glow around a red caption") << int(TRUVLabel::ltglow) << yellow << clRed << glow;
        QTest::newRow("black glow stored as 1,0,0")
            << int(TRUVLabel::ltglow) << clBlack << clBlack << QList<TColor>(9, RGBColor(1, 0, 0));
        // Left of the bottom pixel is also below-left of the one above it; the later visit wins.
        QTest::newRow("raised") << int(TRUVLabel::ltraised) << yellow << clBlack
                                << QList<TColor>{l, l, d, l, l, d, d, d, d};
        QTest::newRow("lowered") << int(TRUVLabel::ltlowered) << yellow << clBlack
                                 << QList<TColor>{d, d, l, d, d, l, l, l, l};
    }
    void effectPictureNeighbours()
    {
        QFETCH(int, type);
        QFETCH(TColor, glow);
        QFETCH(TColor, fontColor);
        QFETCH(QList<TColor>, expected);
        TRUVLabel label;
        label.resize(40, 40);
        label.setLabelLayout(TRUVLabel::lylefttop);
        label.Font()->setColor(fontColor);
        label.setColorGlow(glow);
        label.setCaption(QStringLiteral("l")); // a single upright stroke
        label.setLabelTyp(TRUVLabel::TLtype(type));
        if (glow == clBlack)
            QCOMPARE(label.ColorGlow(), RGBColor(1, 0, 0));

        const QImage image = render(label);
        QList<QPoint> stroke;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (image.pixel(x, y) == rgb(fontColor))
                    stroke << QPoint(x, y);
        QVERIFY(stroke.size() >= 3);
        const QPoint top = stroke.first(), bottom = stroke.last();
        QCOMPARE(top.x(), bottom.x());
        const QList<QPoint> around = {top + QPoint(-1, -1),   top + QPoint(0, -1),    top + QPoint(1, -1),
                                      top + QPoint(-1, 0),    bottom + QPoint(-1, 0), (top + bottom) / 2 + QPoint(1, 0),
                                      bottom + QPoint(-1, 1), bottom + QPoint(0, 1),  bottom + QPoint(1, 1)};
        for (int i = 0; i < around.size(); ++i)
            QVERIFY2(image.pixel(around[i]) == rgb(expected[i]), qPrintable(QStringLiteral("neighbour %1").arg(i)));
    }

    void effectPictureMissingDrawsNothing()
    {
        TRUVLabel label;
        label.setLabelTyp(TRUVLabel::ltglow);
        label.setCaptionVisible(false);
        label.setCaption(QStringLiteral("Test"));
        label.setCaptionVisible(true); // no picture until the next caption assignment
        QCOMPARE(inkColours(render(label)), QSet<QRgb>());
        label.setCaption(QStringLiteral("Test"));
        QVERIFY(inkColours(render(label)).contains(rgb(clBtnFace)));
    }

    void hoverAndCursor_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("disabledBefore");
        QTest::addColumn<bool>("disabledInside");
        QTest::addColumn<bool>("handInside");
        QTest::addColumn<bool>("insideAfterLeave");
        QTest::newRow("hyperlink shows the hand") << int(TRUVLabel::lthyperlink) << false << false << true << false;
        QTest::newRow("plain label keeps its own cursor")
            << int(TRUVLabel::ltnormal) << false << false << false << false;
        QTest::newRow("disabled: no hover, no hand") << int(TRUVLabel::lthyperlink) << true << false << false << false;
        // Regression: the hand stayed for the whole application.
        QTest::newRow("disabled under the pointer: hand released, flag kept")
            << int(TRUVLabel::lthyperlink) << false << true << true << true;
    }
    void hoverAndCursor()
    {
        QFETCH(int, type);
        QFETCH(bool, disabledBefore);
        QFETCH(bool, disabledInside);
        QFETCH(bool, handInside);
        QFETCH(bool, insideAfterLeave);
        Host host;
        int enters = 0, leaves = 0;
        host.label->OnMouseEnter = [&](QObject*) { ++enters; };
        host.label->OnMouseLeave = [&](QObject*) { ++leaves; };
        host.label->setLabelTyp(TRUVLabel::TLtype(type));
        host.label->setEnabled(!disabledBefore);
        QVERIFY(host.show());
        host.pointerIn();
        QCOMPARE(host.label->MouseInside(), !disabledBefore);
        QCOMPARE(QGuiApplication::overrideCursor() != nullptr, handInside);
        if (handInside)
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        if (disabledInside)
            host.label->setEnabled(false);
        host.pointerOut();
        QCOMPARE(host.label->MouseInside(), insideAfterLeave);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(enters, 1);
        QCOMPARE(leaves, 1);
    }

    void destroyedUnderThePointerReleasesTheHand()
    {
        Host host;
        host.label->setLabelTyp(TRUVLabel::lthyperlink);
        QVERIFY(host.show());
        host.pointerIn();
        QVERIFY(QGuiApplication::overrideCursor());
        delete host.label;
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void click_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ownerHandler");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("handlerCalls");
        QTest::addColumn<QStringList>("opened");
        const QStringList target = {QStringLiteral("mailto:info@example.org")};
        QTest::newRow("hyperlink opens its target") << int(TRUVLabel::lthyperlink) << false << "click" << 0 << target;
        QTest::newRow("plain label opens nothing")
            << int(TRUVLabel::ltnormal) << false << "click" << 0 << QStringList();
        QTest::newRow("owner handler replaces the own action")
            << int(TRUVLabel::lthyperlink) << true << "click" << 1 << QStringList();
        QTest::newRow("released outside") << int(TRUVLabel::ltnormal) << true << "drag out" << 0 << QStringList();
        QTest::newRow("right button") << int(TRUVLabel::ltnormal) << true << "right" << 0 << QStringList();
        QTest::newRow("double click clicks once") << int(TRUVLabel::ltnormal) << true << "double" << 1 << QStringList();
    }
    void click()
    {
        QFETCH(int, type);
        QFETCH(bool, ownerHandler);
        QFETCH(QString, gesture);
        QFETCH(int, handlerCalls);
        QFETCH(QStringList, opened);
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); });
        Host host;
        host.label->setLabelTyp(TRUVLabel::TLtype(type));
        host.label->setLabelExecute(QStringLiteral("mailto:info@example.org"));
        int calls = 0;
        if (ownerHandler)
            host.label->OnClick = [&](QObject*) { ++calls; };
        QVERIFY(host.show());
        const QPoint inside(20, 10);
        if (gesture == "click") {
            QTest::mouseClick(host.label, Qt::LeftButton, {}, inside);
        } else if (gesture == "drag out") {
            QTest::mousePress(host.label, Qt::LeftButton, {}, inside);
            QTest::mouseRelease(host.label, Qt::LeftButton, {}, QPoint(250, 60));
        } else if (gesture == "right") {
            QTest::mouseClick(host.label, Qt::RightButton, {}, inside);
        } else {
            // Through the window: the widget overload sends a lone double-click event,
            // not the press, release, press, release a real double click makes.
            QTest::mouseDClick(host.window.windowHandle(), Qt::LeftButton, {}, host.label->mapTo(&host.window, inside));
        }
        QCOMPARE(calls, handlerCalls);
        QCOMPARE(recorder.opened, opened);
        host.pointerOut();
    }

    void hyperlinkTurnsTheFontBlueAndUnderlined()
    {
        TRUVLabel label;
        label.Font()->setStyle(TFont::fsBold | TFont::fsItalic);
        label.setLabelTyp(TRUVLabel::lthyperlink);
        QCOMPARE(label.Font()->Color(), clBlue);
        QCOMPARE(label.Font()->Style(), TFont::TFontStyles(TFont::fsUnderline));
        label.setLabelTyp(TRUVLabel::ltnormal); // the font stays as the hyperlink left it
        QCOMPARE(label.Font()->Color(), clBlue);
        QCOMPARE(label.Font()->Style(), TFont::TFontStyles(TFont::fsUnderline));
    }

    void captionAndGlyphAtPixelRatios_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("glyph");
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.5, 2.0}) {
            // As the value at X and the info line of the window.
            QTest::addRow("centred result at %g", ratio) << QStringLiteral("0,330") << true << false << ratio;
            QTest::addRow("grouped result at %g", ratio) << QStringLiteral("-1.234,568") << true << false << ratio;
            QTest::addRow("with a glyph at %g", ratio) << QStringLiteral("© Tiraso 05/2024") << false << true << ratio;
        }
    }

    // The caption keeps its place and proportions and the glyph comes from
    // its drawing on a dense screen.
    void captionAndGlyphAtPixelRatios()
    {
        QFETCH(QString, caption);
        QFETCH(bool, bold);
        QFETCH(bool, glyph);
        QFETCH(qreal, ratio);
        QTemporaryDir dir;
        TRUVLabel label;
        label.resize(132, 20);
        label.setLabelBevel(TRUVLabel::bfsingle);
        label.setColorSingleBorder(clBlack);
        label.setColor(clWhite);
        label.setLabelLayout(glyph ? TRUVLabel::lycenterleft : TRUVLabel::lycenter);
        label.Font()->setStyle(bold ? TFont::TFontStyles(TFont::fsBold) : TFont::TFontStyles());
        if (glyph) {
            const QString drawing = dir.filePath(QStringLiteral("square.svg"));
            QFile file(drawing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\">"
                       "<circle cx=\"8\" cy=\"8\" r=\"5.5\" fill=\"#FF0000\"/></svg>");
            file.close();
            QImage bitmap(16, 16, QImage::Format_RGB32);
            bitmap.fill(qRgb(255, 0, 255));
            QPainter painter(&bitmap);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::red);
            painter.drawEllipse(2, 2, 12, 12);
            painter.end();
            label.setGlyph(PictureWithVector(bitmap, drawing));
        }
        label.setCaption(caption);
        const QImage plain = TestSupport::renderAt(&label, 1, rgb(Background));
        const QImage dense = TestSupport::renderAt(&label, ratio, rgb(Background));

        const QRect inside(glyph ? 22 : 2, 2, glyph ? 108 : 128, 16);
        const QString fault = TestSupport::compareTextInk(
            TestSupport::textInk(plain, inside, qRgb(255, 255, 255)),
            TestSupport::textInk(dense, TestSupport::deviceRect(inside, ratio), qRgb(255, 255, 255)), ratio,
            int(caption.size()), glyph ? 0 : 6);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));

        if (glyph) {
            const QRect area = TestSupport::deviceRect(QRect(4, 2, 16, 16), ratio);
            if (ratio == 2)
                QVERIFY(!TestSupport::pixelDoubled(dense, area));
            QSet<QRgb> colours;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    colours.insert(dense.pixel(x, y));
            QVERIFY(colours.contains(qRgb(255, 0, 0)));
            QVERIFY(!colours.contains(qRgb(255, 0, 255))); // its key stays transparent
        }
    }
};

TIRASO_TEST_MAIN(TestRUVLabel)
#include "tst_RUVLabel.moc"
