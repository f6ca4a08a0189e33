#include "platform/Font.h"

#include <cmath>

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
    const bool differs = m_name != other.m_name || m_height != other.m_height
        || m_color != other.m_color || m_style != other.m_style;
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
