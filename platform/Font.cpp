// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Font.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QRawFont>
#include <QVariant>
#include <QWidget>
#include <QtEndian>

#include <cmath>

namespace {

// The font a widget was given through SetScreenFont, before any density.
const char* const ScreenFontProperty = "tirasoScreenFont";

void applyScreenFont(QWidget* widget, qreal ratio)
{
    const QVariant base = widget->property(ScreenFontProperty);
    if (!base.isValid())
        return;
    widget->setFont(FontForPixelRatio(base.value<QFont>(), ratio > 0 ? ratio : widget->devicePixelRatioF()));
}

// Qt tells every widget of a window when the window moves to another screen.
class ScreenFontFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ScreenChangeInternal && watched->isWidgetType())
            applyScreenFont(static_cast<QWidget*>(watched), 0);
        return QObject::eventFilter(watched, event);
    }
};

QObject* screenFontFilter()
{
    // Belongs to the application object, so it goes when the widgets do.
    static QObject* filter = new ScreenFontFilter(QCoreApplication::instance());
    return filter;
}

// Whether the face has bitmaps of its own for this many pixels per em: the
// sizes the records of its EBLC table name (a 32-bit count at byte 4, then
// 48 bytes per size with the vertical pixels per em at byte 45).
bool hasBitmapStrike(const QFont& font, int pixelsPerEm)
{
    const QByteArray table = QRawFont::fromFont(font).fontTable("EBLC");
    if (table.size() < 8)
        return false;
    const quint32 sizes = qFromBigEndian<quint32>(table.constData() + 4);
    for (qsizetype record = 8, n = 0; n < qsizetype(sizes) && record + 48 <= table.size(); ++n, record += 48) {
        if (uchar(table.at(record + 45)) == pixelsPerEm)
            return true;
    }
    return false;
}

} // namespace

TFont::TFont(QObject* parent)
    : QObject(parent)
{
}

void TFont::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    emit changed();
}

void TFont::setHeight(int height)
{
    if (height == m_height)
        return;
    m_height = height;
    emit changed();
}

int TFont::Size() const
{
    // MulDiv rounding: half away from zero.
    return -int(std::lround(m_height * 72.0 / 96.0));
}

int TFont::PixelsForPoints(int points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

void TFont::setSize(int points)
{
    setHeight(-PixelsForPoints(points));
}

void TFont::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit changed();
}

void TFont::setStyle(TFontStyles style)
{
    if (style == m_style)
        return;
    m_style = style;
    emit changed();
}

void TFont::Assign(const TFont& other)
{
    if (&other == this)
        return;
    const bool differs = m_name != other.m_name || m_height != other.m_height || m_color != other.m_color
        || m_style != other.m_style;
    m_name = other.m_name;
    m_height = other.m_height;
    m_color = other.m_color;
    m_style = other.m_style;
    if (differs)
        emit changed();
}

QFont TFont::toQFont() const
{
    QFont font(m_name);
    // A positive height includes the internal leading; near enough to treat
    // both forms as the em size, and no part of the program uses the positive one.
    font.setPixelSize(qMax(1, std::abs(m_height)));
    font.setBold(m_style.testFlag(fsBold));
    font.setItalic(m_style.testFlag(fsItalic));
    font.setUnderline(m_style.testFlag(fsUnderline));
    font.setStrikeOut(m_style.testFlag(fsStrikeOut));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont FontForPixelRatio(const QFont& font, qreal ratio)
{
    if (!(ratio > 1))
        return font;
    QFont result = font;
    // Grey smoothing, not coloured: the same on every screen and in pictures.
    const auto strategy = (font.styleStrategy() & ~QFont::NoAntialias) | QFont::PreferAntialias
        | QFont::NoSubpixelAntialias;
    result.setStyleStrategy(QFont::StyleStrategy(strategy));
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

qreal BoldOutlineForPixelRatio(const QFont& font, qreal ratio)
{
    if (!(ratio > 1) || !font.bold())
        return 0;
    const int em = font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * 96 / 72));
    // Asked for on every caption painted; the answer depends on the face alone.
    thread_local QHash<QString, bool> strikes;
    const QString key = font.key();
    auto found = strikes.constFind(key);
    if (found == strikes.constEnd())
        found = strikes.insert(key, hasBitmapStrike(font, em));
    // A twentieth of the em brings Tahoma's bold outlines to about the ink
    // its bitmaps have at 1, and leaves the counters of small letters open.
    return *found ? em / 20.0 : 0;
}

void SetScreenFont(QWidget* widget, const QFont& font)
{
    if (!widget)
        return;
    if (!widget->property(ScreenFontProperty).isValid())
        widget->installEventFilter(screenFontFilter());
    widget->setProperty(ScreenFontProperty, QVariant::fromValue(font));
    applyScreenFont(widget, 0);
}

TDefaultFontScope::TDefaultFontScope(const QFont& font)
    : m_saved(QApplication::font())
{
    QApplication::setFont(font);
}

TDefaultFontScope::~TDefaultFontScope()
{
    QApplication::setFont(m_saved);
}

void ApplyScreenFonts(QWidget* root, qreal ratio)
{
    if (!root)
        return;
    applyScreenFont(root, ratio);
    for (QWidget* widget : root->findChildren<QWidget*>())
        applyScreenFont(widget, ratio);
}
