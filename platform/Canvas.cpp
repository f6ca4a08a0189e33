// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Canvas.h"

#include "platform/Font.h"
#include "platform/Pictures.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// Corners given the wrong way round draw the same box; a box without a
// pixel inside draws nothing.
bool normalizeBox(int& left, int& top, int& right, int& bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return right - left >= 1 && bottom - top >= 1;
}

} // namespace

TCanvas::TCanvas(QPainter& painter, const QRect& clip)
    : m_painter(painter)
    , m_clip(clip)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter.setBrushOrigin(0, 0);
    if (m_clip.isEmpty() && m_painter.device())
        m_clip = QRect(0, 0, m_painter.device()->width(), m_painter.device()->height());
    m_font = m_painter.font();
    // The painter's device is the widget even while the widget is rendered
    // into a denser picture; only the transform to the device tells.
    const qreal scale = std::sqrt(std::abs(m_painter.deviceTransform().determinant()));
    if (scale > 1)
        m_pixelRatio = scale;
    // Smoothed text only where the face for the density asks for it.
    m_painter.setRenderHint(QPainter::TextAntialiasing, m_pixelRatio > 1);
}

TCanvas::~TCanvas()
{
    m_painter.restore();
}

void TCanvas::SetBrushColor(TColor color)
{
    m_brushColor = color;
    m_brushStyle = TBrushStyle::bsSolid;
}

void TCanvas::SetBrushPattern(const QImage& tile)
{
    m_pattern = tile;
    m_brushStyle = tile.isNull() ? TBrushStyle::bsClear : TBrushStyle::bsPattern;
}

void TCanvas::SetFont(const QFont& font)
{
    m_font = font;
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(m_font).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const
{
    Q_UNUSED(text); // the cell height is the font's, whatever the characters
    return QFontMetrics(m_font).height();
}

QSize TCanvas::TextExtent(const QString& text) const
{
    return QSize(TextWidth(text), TextHeight(text));
}

// The text keeps its anchor and its top: its baseline lies where it lies at
// one device pixel per window pixel, and it is centred or right-aligned by
// the width it has on this device, whole pixels at 1 and exact above, so a
// centred caption stays centred.
void TCanvas::TextOut(int x, int y, const QString& text)
{
    const bool fine = m_pixelRatio > 1;
    const QFont font = fine ? FontForPixelRatio(m_font, m_pixelRatio) : m_font;
    const QFontMetrics cell(m_font);
    const qreal width = fine ? QFontMetricsF(font).horizontalAdvance(text) : cell.horizontalAdvance(text);
    qreal left = x;
    if ((m_textAlign & TA_CENTER) == TA_CENTER)
        left = fine ? x - width / 2 : x - int(width) / 2;
    else if (m_textAlign & TA_RIGHT)
        left = x - width;

    if (m_brushStyle != TBrushStyle::bsClear)
        m_painter.fillRect(QRectF(left, y, width, cell.height()), ToQColor(m_brushColor));

    const QPointF baseline(left, y + cell.ascent());
    const QColor color = ToQColor(m_fontColor);
    if (const qreal outline = BoldOutlineForPixelRatio(font, m_pixelRatio); outline > 0) {
        QPainterPath glyphs;
        glyphs.addText(baseline, font, text);
        QPen pen(color, outline);
        pen.setJoinStyle(Qt::RoundJoin);
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setPen(pen);
        m_painter.setBrush(color);
        m_painter.drawPath(glyphs);
        m_painter.restore();
        return;
    }
    m_painter.setFont(font);
    m_painter.setPen(color);
    m_painter.drawText(baseline, text);
}

void TCanvas::Engraved(TColor light, TColor shadow, const std::function<void(int dx, int dy)>& draw)
{
    SetFontColor(light);
    draw(1, 1);
    SetFontColor(shadow);
    draw(0, 0);
}

void TCanvas::Engraved(TColor light, TColor shadow, int x, int y, const QString& text)
{
    Engraved(light, shadow, [&](int dx, int dy) { TextOut(x + dx, y + dy, text); });
}

void TCanvas::plot(int x, int y)
{
    m_painter.fillRect(QRect(x, y, 1, 1), ToQColor(m_penColor));
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = m_pos;
    m_pos = QPoint(x, y);
    if (m_penStyle == TPenStyle::psClear || from == m_pos)
        return;

    const QColor color = ToQColor(m_penColor);
    // Straight runs in one fill; the start point is drawn, the end point is not.
    if (from.y() == y) {
        if (x > from.x())
            m_painter.fillRect(QRect(from.x(), y, x - from.x(), 1), color);
        else
            m_painter.fillRect(QRect(x + 1, y, from.x() - x, 1), color);
        return;
    }
    if (from.x() == x) {
        if (y > from.y())
            m_painter.fillRect(QRect(x, from.y(), 1, y - from.y()), color);
        else
            m_painter.fillRect(QRect(x, y + 1, 1, from.y() - y), color);
        return;
    }

    // Bresenham over the major axis; the final point is left out.
    int cx = from.x();
    int cy = from.y();
    const int dx = std::abs(x - cx);
    const int dy = std::abs(y - cy);
    const int sx = x > cx ? 1 : -1;
    const int sy = y > cy ? 1 : -1;
    int err = dx - dy;
    while (cx != x || cy != y) {
        plot(cx, cy);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            cx += sx;
        }
        if (e2 < dx) {
            err += dx;
            cy += sy;
        }
    }
}

void TCanvas::Polyline(std::initializer_list<QPoint> points)
{
    bool first = true;
    for (const QPoint& p : points) {
        if (first)
            MoveTo(p.x(), p.y());
        else
            LineTo(p.x(), p.y());
        first = false;
    }
}

void TCanvas::fillWithBrush(const QRect& r)
{
    if (r.isEmpty())
        return;
    switch (m_brushStyle) {
    case TBrushStyle::bsClear:
        return;
    case TBrushStyle::bsSolid:
        m_painter.fillRect(r, ToQColor(m_brushColor));
        return;
    case TBrushStyle::bsPattern:
        m_painter.fillRect(r, QBrush(m_pattern));
        return;
    }
}

void TCanvas::FillRect(const QRect& r)
{
    fillWithBrush(r.normalized());
}

void TCanvas::FillPolygon(const QPolygonF& polygon)
{
    if (m_brushStyle == TBrushStyle::bsClear || polygon.size() < 3)
        return;
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, m_pixelRatio > 1);
    m_painter.setPen(Qt::NoPen);
    if (m_brushStyle == TBrushStyle::bsSolid)
        m_painter.setBrush(ToQColor(m_brushColor));
    else
        m_painter.setBrush(QBrush(m_pattern));
    m_painter.drawPolygon(polygon);
    m_painter.restore();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (!normalizeBox(left, top, right, bottom))
        return;

    if (m_penStyle == TPenStyle::psClear) {
        // Without a pen the filled area is one pixel smaller each way.
        fillWithBrush(RectLTRB(left, top, right - 1, bottom - 1));
        return;
    }
    fillWithBrush(RectLTRB(left + 1, top + 1, right - 1, bottom - 1));
    const QColor color = ToQColor(m_penColor);
    m_painter.fillRect(RectLTRB(left, top, right, top + 1), color);
    m_painter.fillRect(RectLTRB(left, bottom - 1, right, bottom), color);
    m_painter.fillRect(RectLTRB(left, top, left + 1, bottom), color);
    m_painter.fillRect(RectLTRB(right - 1, top, right, bottom), color);
}

void TCanvas::fillEllipseWithBrush(const QRect& r)
{
    if (m_brushStyle == TBrushStyle::bsClear || r.isEmpty())
        return;
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    if (m_brushStyle == TBrushStyle::bsSolid)
        m_painter.setBrush(ToQColor(m_brushColor));
    else
        m_painter.setBrush(QBrush(m_pattern));
    m_painter.drawEllipse(QRectF(r));
    m_painter.restore();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (!normalizeBox(left, top, right, bottom))
        return;

    m_painter.save();
    m_painter.setClipRect(RectLTRB(left, top, right, bottom), Qt::IntersectClip);
    fillEllipseWithBrush(RectLTRB(left, top, right, bottom));
    if (m_penStyle == TPenStyle::psSolid) {
        QPen pen(ToQColor(m_penColor));
        pen.setWidth(0); // cosmetic, one pixel
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        // Aliased outlines cover width + 1 pixels, so this spans left..right-1.
        m_painter.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    }
    m_painter.restore();
}

void TCanvas::Draw(int x, int y, const QImage& image, bool transparent)
{
    if (image.isNull())
        return;
    if (m_pixelRatio > 1) {
        const QImage fine = VectorPictureForPixelRatio(image, m_pixelRatio);
        if (!fine.isNull()) {
            m_painter.drawImage(QPointF(x, y), fine);
            return;
        }
    }
    m_painter.drawImage(x, y, transparent ? TransparentCopy(image) : image);
}

void TCanvas::CopyRect(const QRect& dest, const QImage& source, const QRect& sourceRect)
{
    if (source.isNull() || dest.isEmpty())
        return;
    m_painter.drawImage(dest, source, sourceRect);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    m_painter.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

QImage TransparentCopy(const QImage& image)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return image;
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, result.height() - 1) | 0xFF000000u;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return result;
}
