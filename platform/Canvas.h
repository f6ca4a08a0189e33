// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <QString>

#include <functional>
#include <initializer_list>

class QPainter;

// Rectangles are given as left, top, right, bottom with the right and bottom
// edges excluded, as every drawing rule of the controls is written that way.
inline QRect RectLTRB(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Text alignment flags; the vertical reference is always the top of the text.
enum TTextAlign : unsigned {
    TA_LEFT = 0,
    TA_TOP = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
};

enum class TBrushStyle { bsSolid, bsClear, bsPattern };
enum class TPenStyle { psSolid, psClear };

// Drawing with the classic device-context rules on top of a QPainter:
// - a line includes its start point and excludes its end point;
// - Rectangle and Ellipse exclude their right and bottom edges, outline with
//   the pen and fill the inside with the brush (a cleared brush fills nothing);
// - text is placed by its top edge and the left, centre or right reference of
//   the alignment, and its character cells are filled with the brush colour
//   unless the brush is cleared;
// - a bitmap drawn transparently leaves out every pixel of the colour of its
//   bottom-left pixel;
// - a pattern brush tiles from the origin of the surface.
// Nothing is antialiased, so every rule can be checked pixel by pixel.
//
// All coordinates are pixels of the window. Where the device has more pixels
// than that (a screen at 150 % or 200 %), lines and fills simply cover more
// device pixels, while text and pictures are drawn at the device's own
// density: text smoothed with its true proportions (bold text outlined so
// that it keeps its weight, see BoldOutlineForPixelRatio), pictures from
// their drawings (platform/Pictures.h). Measuring and placing stay those of one
// device pixel per window pixel, so every control keeps its layout.
class TCanvas
{
public:
    // clip is the area being repainted (a paint event's rectangle); an empty
    // one means the whole device.
    explicit TCanvas(QPainter& painter, const QRect& clip = QRect());
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QPainter& Painter() { return m_painter; }
    QRect ClipRect() const { return m_clip; }
    // Device pixels per window pixel of what is painted on; 1 on a plain
    // screen, 2 at 200 %, also while a widget is rendered into a picture.
    qreal PixelRatio() const { return m_pixelRatio; }

    // Pen
    void SetPenColor(TColor color) { m_penColor = color; }
    TColor PenColor() const { return m_penColor; }
    void SetPenStyle(TPenStyle style) { m_penStyle = style; }

    // Brush: setting a colour makes a cleared brush solid again.
    void SetBrushColor(TColor color);
    TColor BrushColor() const { return m_brushColor; }
    void SetBrushStyle(TBrushStyle style) { m_brushStyle = style; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    void SetBrushPattern(const QImage& tile);

    // Font
    void SetFont(const QFont& font);
    const QFont& Font() const { return m_font; }
    void SetFontColor(TColor color) { m_fontColor = color; }
    TColor FontColor() const { return m_fontColor; }

    // Text
    void SetTextAlign(unsigned align) { m_textAlign = align; }
    unsigned TextAlign() const { return m_textAlign; }
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    QSize TextExtent(const QString& text) const;
    void TextOut(int x, int y, const QString& text);
    // Text as a disabled control shows it, engraved: a copy in `light` one
    // pixel down and right, then the text in `shadow` over it. `draw` places
    // everything that is engraved together at an offset and runs twice; the
    // font colour is left at `shadow`. The overload engraves one text.
    void Engraved(TColor light, TColor shadow, const std::function<void(int dx, int dy)>& draw);
    void Engraved(TColor light, TColor shadow, int x, int y, const QString& text);

    // Lines
    void MoveTo(int x, int y) { m_pos = QPoint(x, y); }
    void LineTo(int x, int y);
    QPoint PenPos() const { return m_pos; }
    // MoveTo the first point, LineTo each further one.
    void Polyline(std::initializer_list<QPoint> points);

    // Shapes
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const QRect& r) { Rectangle(r.left(), r.top(), r.x() + r.width(), r.y() + r.height()); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const QRect& r) { Ellipse(r.left(), r.top(), r.x() + r.width(), r.y() + r.height()); }
    // Fills with the brush and ignores the pen; a cleared brush fills nothing.
    void FillRect(const QRect& r);
    // Fills the polygon with the brush, without outline, smoothed above a
    // pixel ratio of 1. For shapes that are drawn pixel row by pixel row
    // where a device pixel is a window pixel.
    void FillPolygon(const QPolygonF& polygon);

    // Bitmaps. Above a pixel ratio of 1 a picture that names a drawing is
    // drawn from it, transparent where the drawing is, whatever `transparent`.
    void Draw(int x, int y, const QImage& image, bool transparent = false);
    void CopyRect(const QRect& dest, const QImage& source, const QRect& sourceRect);

    // Single pixels (of the device, in its coordinates).
    void SetPixel(int x, int y, TColor color);

private:
    void plot(int x, int y);
    void fillWithBrush(const QRect& r);
    void fillEllipseWithBrush(const QRect& r);

    QPainter& m_painter;
    QRect m_clip;
    qreal m_pixelRatio = 1;
    QPoint m_pos;
    TColor m_penColor = clBlack;
    TPenStyle m_penStyle = TPenStyle::psSolid;
    TColor m_brushColor = clWhite;
    TBrushStyle m_brushStyle = TBrushStyle::bsSolid;
    QImage m_pattern;
    QFont m_font;
    TColor m_fontColor = clBlack;
    unsigned m_textAlign = TA_LEFT | TA_TOP;
};

// The image with every pixel of its bottom-left pixel's colour made fully
// transparent; an image without pixels comes back unchanged.
QImage TransparentCopy(const QImage& image);
