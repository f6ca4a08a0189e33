// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QObject>
#include <QString>

class QWidget;

// A control's font as the window description sets it: face name, height in
// pixels (negative = character height without internal leading, the usual
// form), colour and style. Qt's QFont carries no colour, and the controls
// need to react to any change of the font (a label re-assigns its caption),
// so the font is an object of its own with a change signal.
class TFont : public QObject
{
    Q_OBJECT
public:
    enum Style {
        fsBold = 0x1,
        fsItalic = 0x2,
        fsUnderline = 0x4,
        fsStrikeOut = 0x8,
    };
    Q_DECLARE_FLAGS(TFontStyles, Style)

    explicit TFont(QObject* parent = nullptr);

    QString Name() const { return m_name; }
    void setName(const QString& name);

    // Pixels; negative values give the character height (the em size).
    int Height() const { return m_height; }
    void setHeight(int height);

    // Points at the design density of 96 dpi, which the window keeps on
    // every screen.
    int Size() const;
    void setSize(int points);
    // Pixels of a point size at the design density (rounded half away from zero).
    static int PixelsForPoints(int points);

    TColor Color() const { return m_color; }
    void setColor(TColor color);

    TFontStyles Style() const { return m_style; }
    void setStyle(TFontStyles style);

    void Assign(const TFont& other);

    // The face to draw with where one device pixel is one pixel of the
    // window. Text is drawn without antialiasing there, as the controls'
    // pixel effects (engraved captions, glow outlines) expect solid glyph
    // pixels; FontForPixelRatio gives the face for denser screens.
    QFont toQFont() const;

signals:
    void changed();

private:
    QString m_name = QStringLiteral("Tahoma");
    int m_height = -11;
    TColor m_color = clWindowText;
    TFontStyles m_style;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)

// The face to draw a font with on a device with this many device pixels per
// window pixel. At 1 (and below) the font as it is: crisp, fully hinted, no
// antialiasing. Above 1, hinting would round every glyph's width to whole
// pixels of the window's size and then draw the glyph itself finer, which
// leaves gaps inside words; there the glyphs keep their true proportions and
// are smoothed instead.
QFont FontForPixelRatio(const QFont& font, qreal ratio);

// The width, in window pixels, of the pen that outlines bold glyphs on top of
// their fill on a device with this many device pixels per window pixel; 0
// where a font is drawn as it is. At 1 a bold face with bitmaps of its own
// for its size (Tahoma) takes its weight from them, and its outlines are
// barely heavier than the regular ones: without the outline its bold text
// would look regular on a dense screen. The outline grows every stroke and
// leaves every advance as it is. 0 at 1 and below, for regular text, and
// for bold faces without bitmaps for their size, whose outlines carry the weight.
qreal BoldOutlineForPixelRatio(const QFont& font, qreal ratio);

// Text that Qt draws itself (plain labels, edit boxes) cannot choose its face
// by the device it is painted on. Such a widget takes the face of `font` for
// the pixel ratio of its screen, and again whenever it moves to another one.
void SetScreenFont(QWidget* widget, const QFont& font);
// While it lives, `font` is the application's default font. Qt's edit box lays
// out its text in the default font while it is being constructed, before it
// takes its parent's; with the window's own face as the default meanwhile,
// the start loads no font engine for a face the window never shows. (Qt then
// keeps the restored default even when the desktop's font changes later.)
class TDefaultFontScope
{
public:
    explicit TDefaultFontScope(const QFont& font);
    ~TDefaultFontScope();
    Q_DISABLE_COPY(TDefaultFontScope)

private:
    QFont m_saved;
};

// Gives every widget under root (root included) that SetScreenFont looks
// after its face for `ratio`, or for its screen's ratio when ratio is 0: to
// render a window for a density other than its screen's.
void ApplyScreenFonts(QWidget* root, qreal ratio = 0);
