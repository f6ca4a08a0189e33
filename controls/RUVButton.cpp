// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVButton.h"

#include "controls/AccessibilityNotices.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Loading.h"
#include "platform/Pictures.h"
#include "platform/Shell.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// One pass of the hold repeat lasts this long plus the time of the event.
constexpr int HoldInterval = 80;

std::unique_ptr<QImage> sharedDownPattern;
std::unique_ptr<QImage> sharedDownPatternTile;

// Stands for "no glyph": a glyph counts only from two pixels of width on.
QImage placeholderGlyph()
{
    QImage image(1, 1, QImage::Format_RGB888);
    image.fill(Qt::white);
    return image;
}

// The edge bands of the pressed pattern are pulled toward this level, so a
// pressed button's frame stands out against the checkerboard.
constexpr int BandLevel = 218;

int blendTowardBand(int v)
{
    return (v + BandLevel) / 2;
}

// The pattern is grey throughout, so each pixel is one level in all three
// bytes of its RGB888 cell.
void setLevel(uchar* line, int x, int level)
{
    uchar* cell = line + 3 * x;
    cell[0] = cell[1] = cell[2] = uchar(level);
}

void blendLevel(uchar* line, int x)
{
    setLevel(line, x, blendTowardBand(line[3 * x]));
}

// The grey copy's level of a glyph colour. Red is weighted 0.11 and blue
// 0.30, the reverse of the usual luminance, and the sum is truncated in
// extended precision: neutral greys such as 120 come out one level darker.
// The pictures were tuned against exactly these values.
int greyLevel(QRgb c)
{
    long double sum = 0.11L * qRed(c);
    sum += 0.59L * qGreen(c);
    sum += 0.30L * qBlue(c);
    return int(std::clamp<long double>(sum, 0.0L, 255.0L));
}

// The pale (disabled) copy's level for a grey level.
int paleLevel(int grey)
{
    return std::min(grey / 4 + 160, 255);
}

// The grey or the pale copy of a glyph drawn for a dense screen, by the same
// rule as the bitmap's copies; its transparency is the drawing's own.
QImage toneCopy(const QImage& drawing, bool pale)
{
    QImage result = drawing.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0)
                continue;
            const int g = greyLevel(line[x]);
            const int level = pale ? paleLevel(g) : g;
            line[x] = qRgba(level, level, level, alpha);
        }
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void TRUVButton::ModuleStartup()
{
    if (sharedDownPattern)
        return;
    auto pattern = std::make_unique<QImage>(640, 64, QImage::Format_RGB888);
    // This runs at every program start: the two kinds of row (checker
    // starting white or silver) are drawn once and copied into the others.
    const qsizetype rowBytes = 3 * pattern->width();
    for (int y = 0; y < pattern->height(); ++y) {
        uchar* line = pattern->scanLine(y);
        if (y >= 2) {
            std::memcpy(line, pattern->constScanLine(y - 2), rowBytes);
            continue;
        }
        for (int x = 0; x < pattern->width(); ++x)
            setLevel(line, x, (x + y) % 2 == 0 ? 255 : 192);
        blendLevel(line, 0);
        blendLevel(line, 1);
    }
    // The corners where both bands meet are blended twice on purpose.
    for (int y = 0; y < 2; ++y) {
        uchar* line = pattern->scanLine(y);
        for (int x = 0; x < pattern->width(); ++x)
            blendLevel(line, x);
    }
    sharedDownPatternTile = std::make_unique<QImage>(pattern->copy(0, 0, 8, 8));
    sharedDownPattern = std::move(pattern);
}

void TRUVButton::ModuleShutdown()
{
    sharedDownPatternTile.reset();
    sharedDownPattern.reset();
}

const QImage* TRUVButton::DownPattern()
{
    return sharedDownPattern.get();
}

const QImage* TRUVButton::DownPatternTile()
{
    return sharedDownPatternTile.get();
}

TRUVButton::TRUVButton(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
    , m_glyph(placeholderGlyph())
    , m_greyGlyph(placeholderGlyph())
    , m_disabledGlyph(placeholderGlyph())
    , m_holdTimer(new QTimer(this))
{
    resize(64, 24);
    m_font->setColor(clBlack);
    connect(m_font, &TFont::changed, this, [this] { repaint(); });
    m_holdTimer->setObjectName(QStringLiteral("HoldTimer"));
    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, &TRUVButton::holdTick);
    rebuildMaskedGlyphs();
    m_keyboard = new TKeyboardClick(this, TKeyboardClick::SpaceAndEnter,
                                    [this](Qt::KeyboardModifiers modifiers) { KeyboardClick(modifiers); });
}

TRUVButton::~TRUVButton() = default;

// ---------------------------------------------------------------- properties

void TRUVButton::setCaption(const QString& value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    update();
    Accessibility::NameChanged(this);
}

void TRUVButton::setCaptionPosition(TBSTextPos value)
{
    if (value == m_captionPosition)
        return;
    m_captionPosition = value;
    update();
}

void TRUVButton::setColorHighlight(TColor value)
{
    if (value == m_colorHighlight)
        return;
    m_colorHighlight = value;
    update();
}

void TRUVButton::setColorEdgeLight(TColor value)
{
    if (value == m_colorEdgeLight)
        return;
    m_colorEdgeLight = value;
    update();
}

void TRUVButton::setColorEdgeShadow(TColor value)
{
    if (value == m_colorEdgeShadow)
        return;
    m_colorEdgeShadow = value;
    update();
}

void TRUVButton::setColorHighlightText(TColor value)
{
    if (value == m_colorHighlightText)
        return;
    m_colorHighlightText = value;
    update();
}

void TRUVButton::setColorSpezialFrame(TColor value)
{
    if (value == m_colorSpezialFrame)
        return;
    m_colorSpezialFrame = value;
    update();
}

void TRUVButton::setColorAllwaysBorder(TColor value)
{
    if (value == m_colorAllwaysBorder)
        return;
    m_colorAllwaysBorder = value;
    update();
}

void TRUVButton::setColorDownBackGround(TColor value)
{
    if (value == m_colorDownBackGround)
        return;
    m_colorDownBackGround = value;
    repaint();
}

void TRUVButton::setColorBackground(TColor value)
{
    if (value == m_colorBackground)
        return;
    m_colorBackground = value;
    update();
}

void TRUVButton::setColorBorderMouseIn(TColor value)
{
    // Stored only, without a repaint: the next paint under the pointer uses it.
    m_colorBorderMouseIn = value;
}

void TRUVButton::setColorButtonDownText(TColor value)
{
    if (value == m_colorButtonDownText)
        return;
    m_colorButtonDownText = value;
    repaint();
}

void TRUVButton::setSpezialFrame(bool value)
{
    if (value == m_spezialFrame)
        return;
    m_spezialFrame = value;
    update();
}

void TRUVButton::setMargin(int value)
{
    if (value == m_margin)
        return;
    m_margin = value;
    update();
}

// The grey and pale copies are derived here, whenever a glyph is assigned,
// so that painting only ever draws them. The constructor's placeholder needs
// no derivation: its copies are the placeholder itself.
void TRUVButton::setGlyph(const QImage& value)
{
    m_glyph = value;
    m_fineGlyphs.clear();
    if (m_glyph.isNull()) {
        // Without a glyph there is nothing to derive; the copies of a former
        // glyph are dropped too, or a disabled button would keep showing it.
        m_greyGlyph = placeholderGlyph();
        m_disabledGlyph = placeholderGlyph();
    } else {
        PrepareGlyphs();
    }
    rebuildMaskedGlyphs();
    update();
}

void TRUVButton::setGroupIndex(int value)
{
    // Stored only: the next click or release runs the group update.
    m_groupIndex = value;
}

// A grouped button that is not flat cannot be released from code: the group
// update puts it down again at once.
void TRUVButton::setDown(bool value)
{
    if (value == m_down)
        return;
    m_down = value;
    UpdateGroup();
    update();
}

void TRUVButton::setNormalFlat(bool value)
{
    // Stored only: a button made flat while down stays down until clicked.
    m_normalFlat = value;
}

void TRUVButton::setEdgestyle(TBStil value)
{
    if (value == m_edgestyle)
        return;
    m_edgestyle = value;
    update();
}

void TRUVButton::setSimpleAnimation(bool value)
{
    // Stored only: a hovered button shows the change at its next paint.
    m_simpleAnimation = value;
}

void TRUVButton::setShowAllwaysColor(bool value)
{
    // Repaints even when the value is unchanged, unlike its neighbours.
    m_showAllwaysColor = value;
    update();
}

void TRUVButton::setShowAllwaysSimpleBorder(bool value)
{
    if (value == m_showAllwaysSimpleBorder)
        return;
    m_showAllwaysSimpleBorder = value;
    update();
}

void TRUVButton::setShowBackgroundColor(bool value)
{
    if (value == m_showBackgroundColor)
        return;
    m_showBackgroundColor = value;
    update();
}

void TRUVButton::setButtontyp(TBTNTyp value)
{
    // Stored only: the next click reads it; nothing shows it.
    m_buttontyp = value;
}

void TRUVButton::setButton_Execute(const QString& value)
{
    // Stored only: the next click reads it.
    m_buttonExecute = value;
}

// -------------------------------------------------------------------- glyphs

void TRUVButton::PrepareGlyphs()
{
    if (m_glyph.isNull())
        return;
    m_glyph = m_glyph.convertToFormat(QImage::Format_RGB888);
    // The copies are of these pixels only; the glyph's drawing shows colour.
    m_greyGlyph = WithoutVector(m_glyph.copy());
    m_disabledGlyph = WithoutVector(m_glyph.copy());

    const QRgb key = m_glyph.pixel(0, m_glyph.height() - 1) & RGB_MASK;
    for (int y = 0; y < m_greyGlyph.height(); ++y) {
        for (int x = 0; x < m_greyGlyph.width(); ++x) {
            const QRgb c = m_glyph.pixel(x, y) & RGB_MASK;
            if (c == key)
                continue;
            const int g = greyLevel(c);
            const int p = paleLevel(g);
            m_greyGlyph.setPixel(x, y, qRgb(g, g, g));
            m_disabledGlyph.setPixel(x, y, qRgb(p, p, p));
        }
    }
}

void TRUVButton::rebuildMaskedGlyphs()
{
    m_glyphMasked = TransparentCopy(m_glyph);
    m_greyGlyphMasked = TransparentCopy(m_greyGlyph);
    m_disabledGlyphMasked = TransparentCopy(m_disabledGlyph);
}

TRUVButton::TGlyphSet TRUVButton::GlyphsForPixelRatio(qreal ratio) const
{
    const TGlyphSet bitmaps{m_glyphMasked, m_greyGlyphMasked, m_disabledGlyphMasked};
    if (!(ratio > 1))
        return bitmaps;
    // Made when a screen of this density first shows the button, not at the
    // start, and kept until the glyph changes.
    if (const auto found = m_fineGlyphs.find(ratio); found != m_fineGlyphs.end())
        return found->second;
    const QImage drawing = VectorPictureForPixelRatio(m_glyph, ratio);
    const TGlyphSet made = drawing.isNull() ? bitmaps
                                            : TGlyphSet{drawing, toneCopy(drawing, false), toneCopy(drawing, true)};
    m_fineGlyphs.emplace(ratio, made);
    return made;
}

// -------------------------------------------------------------------- layout

TRUVButton::TGlyphLayout TRUVButton::ComputeLayout(TBSTextPos position, QSize client, QSize text, QSize glyph,
                                                   int margin)
{
    const int W = client.width();
    const int H = client.height();
    const int tw = text.width();
    const int th = text.height();
    const int hw = tw / 2;
    const int gw = glyph.width();
    const int gh = glyph.height();
    const int m = margin;
    // A glyph of one pixel width is the placeholder: the caption then takes
    // the side alone.
    const bool sideGlyph = gw > 1;

    TGlyphLayout l;
    l.textAlign = TA_CENTER | TA_TOP;
    int& gx = l.glyph.rx();
    int& gy = l.glyph.ry();
    int& tx = l.caption.rx();
    int& ty = l.caption.ry();
    switch (position) {
    case tp_none:
        gx = (W - gw) / 2;
        gy = (H - gh) / 2;
        break;
    case tp_left:
        if (!sideGlyph) {
            tx = hw + m;
            ty = (H - th) / 2;
        } else {
            tx = (W - tw - m - gw) / 2 + hw;
            ty = (H - th) / 2;
            gx = tx + hw + m;
            gy = (H - gh) / 2;
        }
        break;
    case tp_right:
        if (!sideGlyph) {
            tx = W - hw - m;
            ty = (H - th) / 2;
        } else {
            tx = W - (W - tw - m - gw) / 2 - hw;
            ty = (H - th) / 2;
            gx = tx - hw - m - gw;
            gy = (H - gh) / 2;
        }
        break;
    case tp_bottom:
        tx = W / 2;
        ty = H - (H - th - m - gh) / 2 - th;
        gx = (W - gw) / 2;
        gy = ty - m - gh;
        break;
    case tp_top:
        tx = W / 2;
        ty = (H - th - m - gh) / 2;
        gx = (W - gw) / 2;
        gy = ty + th + m;
        break;
    case tp_center:
        tx = W / 2;
        ty = (H - th) / 2;
        gx = (W - gw) / 2;
        gy = (H - gh) / 2;
        break;
    case tp_Strikt_L:
        gx = m;
        gy = (H - gh) / 2;
        tx = gx + gw + m;
        ty = (H - th) / 2;
        l.textAlign = TA_LEFT | TA_TOP;
        break;
    case tp_Strikt_R:
        gx = W - m - gw;
        gy = (H - gh) / 2;
        tx = gx - m - tw;
        ty = (H - th) / 2;
        l.textAlign = TA_LEFT | TA_TOP;
        break;
    }
    return l;
}

// ------------------------------------------------------------------ painting

void TRUVButton::styledFill(TCanvas& canvas, const QRect& r, TColor color) const
{
    canvas.SetBrushColor(color);
    switch (m_edgestyle) {
    case bs_circle:
        canvas.Ellipse(r);
        break;
    case bs_rectHollow:
        break;
    default:
        canvas.FillRect(r);
        break;
    }
}

// The checkered background under a hovered, pressed button.
void TRUVButton::pressedFill(TCanvas& canvas, const QRect& r) const
{
    if (m_colorDownBackGround == clNone) {
        if (m_edgestyle == bs_circle) {
            if (const QImage* tile = DownPatternTile()) {
                canvas.SetBrushPattern(*tile);
                canvas.Ellipse(r);
            }
        } else if (m_edgestyle != bs_rectHollow) {
            if (const QImage* pattern = DownPattern()) {
                const QRect area = r & pattern->rect();
                canvas.CopyRect(area, *pattern, area);
            }
        }
    } else {
        styledFill(canvas, r, m_colorDownBackGround);
    }
    canvas.SetBrushStyle(TBrushStyle::bsClear);
}

// Covers the whole client area, not only the repainted part. A fill in
// ColorDownBackGround leaves the brush solid, so the caption that follows is
// drawn on filled character cells.
void TRUVButton::disabledDownFill(TCanvas& canvas) const
{
    if (m_edgestyle == bs_circle) {
        if (m_colorDownBackGround != clNone) {
            canvas.SetBrushColor(m_colorDownBackGround);
            canvas.Ellipse(rect());
        } else if (const QImage* tile = DownPatternTile()) {
            canvas.SetBrushPattern(*tile);
            canvas.Ellipse(rect());
            canvas.SetBrushStyle(TBrushStyle::bsClear);
        }
        return;
    }
    if (m_colorDownBackGround != clNone) {
        canvas.SetBrushColor(m_colorDownBackGround);
        canvas.FillRect(rect());
    } else if (const QImage* pattern = DownPattern()) {
        canvas.Draw(0, 0, *pattern);
    }
}

void TRUVButton::DrawEdge(TCanvas& canvas, bool raised) const
{
    const int W = width();
    const int H = height();
    const bool enabled = isEnabled();
    TColor light = raised ? m_colorEdgeLight : m_colorEdgeShadow;
    TColor dark = raised ? m_colorEdgeShadow : m_colorEdgeLight;
    if (!enabled) {
        light = cl3DLight;
        dark = cl3DLight;
    }
    canvas.SetPenStyle(TPenStyle::psSolid);

    const auto innerFrame = [&](int inset) {
        if (!m_spezialFrame)
            return;
        const int a = inset;
        canvas.SetPenColor(m_colorSpezialFrame);
        canvas.Polyline({{a, a}, {W - 1 - a, a}, {W - 1 - a, H - 1 - a}, {a, H - 1 - a}, {a, a}});
    };

    switch (m_edgestyle) {
    case bs_rectangle:
        canvas.SetPenColor(light);
        canvas.Polyline({{0, H - 1}, {0, 0}, {W - 1, 0}});
        canvas.SetPenColor(dark);
        canvas.Polyline({{W - 1, 0}, {W - 1, H - 1}, {0, H - 1}});
        innerFrame(1);
        break;
    case bs_breakedrect:
        canvas.SetPenColor(light);
        canvas.Polyline({{2, H - 1}, {0, H - 3}, {0, 2}, {2, 0}, {W - 3, 0}});
        canvas.SetPenColor(dark);
        canvas.Polyline({{W - 3, 0}, {W - 1, 2}, {W - 1, H - 3}, {W - 3, H - 1}, {2, H - 1}});
        break;
    case bs_architectural:
        if (raised && enabled) {
            canvas.SetPenColor(RGBColor(128, 128, 128));
            canvas.Polyline({{4, H - 2}, {W - 2, H - 2}, {W - 2, 4}});
            canvas.SetPenColor(RGBColor(188, 188, 188));
            canvas.Polyline({{5, H - 1}, {W - 1, H - 1}, {W - 1, 5}});
        }
        // The lines run past each other at the corners, like construction lines.
        canvas.SetPenColor(light);
        canvas.Polyline({{2, H}, {2, -1}});
        canvas.Polyline({{0, 2}, {W + 1, 2}});
        canvas.SetPenColor(dark);
        canvas.Polyline({{W - 3, 0}, {W - 3, H}});
        canvas.Polyline({{W, H - 3}, {-1, H - 3}});
        innerFrame(3);
        break;
    case bs_circle:
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.SetPenColor(raised && enabled ? m_colorAllwaysBorder : cl3DLight);
        canvas.Ellipse(rect());
        break;
    case bs_none:
        break;
    case bs_rectHollow: {
        const TColor color = !enabled ? cl3DLight : raised ? m_colorBorderMouseIn : m_colorAllwaysBorder;
        canvas.SetPenColor(color);
        canvas.Polyline({{0, H - 1}, {0, 0}, {W - 1, 0}});
        canvas.Polyline({{W - 1, 0}, {W - 1, H - 1}, {0, H - 1}});
        innerFrame(1);
        break;
    }
    }
}

void TRUVButton::paintEvent(QPaintEvent* event)
{
    // A button whose properties are only half applied is not worth a frame.
    if (LoadingScope::Active())
        return;

    QPainter painter(this);
    TCanvas canvas(painter, event->rect());
    const int W = width();
    const int H = height();

    canvas.SetFont(m_font->toQFont());
    const QSize text = canvas.TextExtent(m_caption);
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    const TGlyphLayout layout = ComputeLayout(m_captionPosition, size(), text, m_glyph.size(), m_margin);
    canvas.SetTextAlign(layout.textAlign);
    const int gx = layout.glyph.x();
    const int gy = layout.glyph.y();
    const int tx = layout.caption.x();
    const int ty = layout.caption.y();
    const bool drawCaption = m_captionPosition != tp_none;
    const bool circle = m_edgestyle == bs_circle;

    if (m_showBackgroundColor && m_colorBackground != clNone) {
        canvas.SetBrushColor(m_colorBackground);
        if (circle)
            canvas.Ellipse(0, 0, W, H);
        else
            canvas.FillRect(rect());
        canvas.SetBrushStyle(TBrushStyle::bsClear);
    }

    const bool enabled = isEnabled();
    const bool hasGlyph = m_glyph.width() >= 2;
    const TGlyphSet glyphs = GlyphsForPixelRatio(canvas.PixelRatio());
    QRect area = canvas.ClipRect();
    if (m_edgestyle == bs_architectural)
        area.adjust(3, 3, -3, -3);
    // Hovering moves glyph and caption one pixel down; a button held down
    // already looks pressed and stays put.
    const int s = m_simpleAnimation && !m_down && hasGlyph ? 1 : 0;

    const auto caption = [&](TColor color, int x, int y) {
        if (!drawCaption)
            return;
        canvas.SetFontColor(color);
        canvas.TextOut(x, y, m_caption);
    };
    const auto glyph = [&](const QImage& image, int x, int y) {
        if (hasGlyph)
            canvas.Draw(x, y, image);
    };

    if (enabled && m_mouseIn && m_pressed) {
        pressedFill(canvas, area);
        glyph(glyphs.colour, gx, gy + s);
        caption(m_colorHighlightText, tx, ty + s);
        DrawEdge(canvas, false);
    } else if (enabled && m_mouseIn) {
        if (m_colorHighlight != clNone) {
            styledFill(canvas, area, m_colorHighlight);
            canvas.SetBrushStyle(TBrushStyle::bsClear);
        }
        glyph(glyphs.colour, gx, gy + s);
        caption(m_colorHighlightText, tx, ty + s);
        DrawEdge(canvas, !m_down);
    } else if (enabled && m_down) {
        if (m_colorDownBackGround != clNone) {
            // A plain rectangle for every style, and the brush stays solid.
            canvas.SetBrushColor(m_colorDownBackGround);
            canvas.FillRect(area);
        } else if (const QImage* pattern = DownPattern()) {
            const QRect part = area & pattern->rect();
            canvas.CopyRect(part, *pattern, part);
        }
        glyph(glyphs.colour, gx, gy);
        caption(m_colorButtonDownText, tx, ty);
        DrawEdge(canvas, false);
    } else if (enabled) {
        glyph(m_showAllwaysColor ? glyphs.colour : glyphs.grey, gx, gy);
        caption(m_font->Color(), tx, ty);
    } else {
        if (m_down)
            disabledDownFill(canvas);
        // Drawn even without a glyph: the placeholder's only pixel is its key.
        canvas.Draw(gx, gy, glyphs.pale);
        if (drawCaption)
            canvas.Engraved(clWhite, clGrayText, tx, ty, m_caption);
        if (m_down)
            DrawEdge(canvas, false);
    }

    if (m_showAllwaysSimpleBorder && !m_down && !m_mouseIn) {
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.SetPenStyle(TPenStyle::psSolid);
        canvas.SetPenColor(enabled ? m_colorAllwaysBorder : cl3DLight);
        if (circle)
            canvas.Ellipse(0, 0, W, H);
        else
            canvas.Rectangle(0, 0, W, H);
    }

    // One pixel in, where the hover frame does not reach the glyph.
    if (m_keyboard->MarkShown())
        m_keyboard->PaintMark(canvas, rect().adjusted(1, 1, -1, -1));
}

// --------------------------------------------------------------------- mouse

void TRUVButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    pointerEntered();
}

void TRUVButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    pointerLeft();
}

// Enter and leave are reported also for a disabled button.
void TRUVButton::pointerEntered()
{
    if (m_pointerInside)
        return;
    m_pointerInside = true;
    m_mouseIn = true;
    if (isEnabled())
        update();
    if (OnMouseIn)
        OnMouseIn(this);
}

void TRUVButton::pointerLeft()
{
    if (!m_pointerInside)
        return;
    m_pointerInside = false;
    m_mouseIn = false;
    if (isEnabled())
        update();
    if (OnMouseOut)
        OnMouseOut(this);
}

void TRUVButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_clickPending = true;
    buttonDown(event);
}

void TRUVButton::buttonDown(QMouseEvent* event)
{
    if (!isEnabled())
        return;
    m_pressed = true;
    m_ctrlAtClick = event->modifiers().testFlag(Qt::ControlModifier);
    m_shiftAtClick = event->modifiers().testFlag(Qt::ShiftModifier);
    update();
    // The first repeat comes once the events already queued are handled.
    if (OnMouseHold)
        m_holdTimer->start(0);
}

void TRUVButton::holdTick()
{
    QPointer<TRUVButton> self(this);
    if (OnMouseHold)
        OnMouseHold(this);
    if (self && m_pressed)
        m_holdTimer->start(HoldInterval);
}

void TRUVButton::mouseMoveEvent(QMouseEvent* event)
{
    // Qt holds back enter and leave while a button is held; the button shows
    // the pointer leaving and coming back during a press all the same.
    if (event->buttons() != Qt::NoButton) {
        const bool inside = rect().contains(event->position().toPoint());
        if (inside && !m_pointerInside)
            pointerEntered();
        else if (!inside && m_pointerInside)
            pointerLeft();
    }
    if (m_pressed)
        update();
}

void TRUVButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The repeat rests while the release is handled, also while a click
    // handler shows a dialog, and finishes its pass afterwards: one more
    // event after the click.
    const bool holding = m_holdTimer->isActive();
    m_holdTimer->stop();
    QPointer<TRUVButton> self(this);

    // The click comes before the release is handled, so Click still reads the
    // modifiers of the press.
    if (event->button() == Qt::LeftButton && m_clickPending) {
        m_clickPending = false;
        if (rect().contains(event->position().toPoint())) {
            Click();
            if (!self)
                return;
        }
    }
    buttonUp(event);
    if (holding && OnMouseHold)
        OnMouseHold(this);
}

// Also for a release outside the button: a grouped button that is not flat
// goes down even when the press turned into no click.
void TRUVButton::buttonUp(QMouseEvent* event)
{
    UpdateGroup();
    m_ctrlAtClick = event->modifiers().testFlag(Qt::ControlModifier);
    m_shiftAtClick = event->modifiers().testFlag(Qt::ShiftModifier);
    m_pressed = false;
}

// Qt delivers the second press of a double-click as this event only. It runs
// the click first, with the modifiers of the first release, then counts as a
// press; its release runs no click.
void TRUVButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        QPointer<TRUVButton> self(this);
        Click();
        if (!self)
            return;
    }
    buttonDown(event);
}

void TRUVButton::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    // The menu takes the mouse; the release of this press never comes back.
    cancelPress();
    showPopupMenu(event->globalPos());
}

void TRUVButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A disabled or hidden button gets no release; without this the hold
    // repeat would never end.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        cancelPress();
}

void TRUVButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    cancelPress();
}

void TRUVButton::cancelPress()
{
    m_pressed = false;
    m_clickPending = false;
    m_holdTimer->stop();
}

// --------------------------------------------------------------------- click

void TRUVButton::Click()
{
    QPointer<TRUVButton> self(this);
    m_down = !m_down;
    if (m_normalFlat)
        m_down = false;
    else
        UpdateGroup();

    if (m_popupMenu) {
        showPopupMenu(QCursor::pos());
    } else if (m_buttontyp == typ_normal) {
        // Ctrl wins over Shift, and a missing handler falls back to nothing:
        // a Ctrl-click must never pass for a plain click.
        if (m_ctrlAtClick) {
            if (OnSTRGClick)
                OnSTRGClick(this);
        } else if (m_shiftAtClick) {
            if (OnSHIFTClick)
                OnSHIFTClick(this);
        } else if (OnClick) {
            OnClick(this);
        }
    } else {
        // Nothing to report: a target the desktop cannot open just does nothing.
        ShellOpen(m_buttonExecute);
    }
    if (self)
        update();
}

void TRUVButton::KeyboardClick(Qt::KeyboardModifiers modifiers)
{
    m_ctrlAtClick = modifiers.testFlag(Qt::ControlModifier);
    m_shiftAtClick = modifiers.testFlag(Qt::ShiftModifier);
    Click();
}

void TRUVButton::showPopupMenu(const QPoint& globalPos)
{
    QPointer<TRUVButton> self(this);
    QPointer<QMenu> menu = m_popupMenu;
    // Lets the menu's handlers find the button that opened it.
    menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
    menu->exec(globalPos);
    if (self)
        repaint();
}

void TRUVButton::UpdateGroup()
{
    if (LoadingScope::Active() || m_groupIndex == 0 || !parentWidget())
        return;
    const QObjectList siblings = parentWidget()->children();
    for (QObject* child : siblings) {
        auto* button = qobject_cast<TRUVButton*>(child);
        if (!button)
            continue;
        if (button == this && !m_normalFlat) {
            m_down = true;
            RefreshMouseIn();
        } else if (button != this && button->m_groupIndex == m_groupIndex && !button->m_normalFlat) {
            button->m_down = false;
            button->repaint();
        }
    }
}

void TRUVButton::RefreshMouseIn()
{
    if (m_popupMenu)
        m_mouseIn = false;
    else
        m_mouseIn = rect().contains(mapFromGlobal(QCursor::pos()));
    repaint();
}
