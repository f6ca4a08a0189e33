// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/PlainLabel.h"

#include "controls/AccessibilityNotices.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/Font.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TPlainLabel::TPlainLabel(QWidget* parent)
    : QLabel(parent)
    , m_keyboard(new TKeyboardClick(this, TKeyboardClick::SpaceAndEnter, [this](Qt::KeyboardModifiers) { Click(); }))
{
}

void TPlainLabel::setText(const QString& text)
{
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::NoFocus);
    QLabel::setText(text);
    setFocusPolicy(policy);
}

bool TPlainLabel::event(QEvent* event)
{
    // QLabel's own handling of the polish builds the document and nothing else.
    if (event->type() == QEvent::Polish)
        return QFrame::event(event);
    return QLabel::event(event);
}

void TPlainLabel::focusInEvent(QFocusEvent* event)
{
    // Past QLabel's, which builds the document to move a text cursor in it.
    QFrame::focusInEvent(event);
}

void TPlainLabel::Click()
{
    if (OnClick)
        OnClick(this);
}

void TPlainLabel::setAccessibleTitle(const QString& title)
{
    if (title == m_accessibleTitle)
        return;
    m_accessibleTitle = title;
    Accessibility::NameChanged(this);
}

void TPlainLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void TPlainLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Click();
}

void TPlainLabel::paintEvent(QPaintEvent* event)
{
    // Qt draws bold text on a dense device lighter than at 1; the canvas keeps
    // its weight.
    bool drawn = false;
    {
        QPainter painter(this);
        TCanvas canvas(painter, event->rect());
        drawn = BoldOutlineForPixelRatio(font(), canvas.PixelRatio()) > 0;
        if (drawn) {
            const QRect room = contentsRect();
            const bool right = alignment().testFlag(Qt::AlignRight);
            const auto group = isEnabled() ? QPalette::Active : QPalette::Disabled;
            canvas.SetFont(font());
            canvas.SetBrushStyle(TBrushStyle::bsClear);
            canvas.SetFontColor(FromQColor(palette().color(group, foregroundRole())));
            canvas.SetTextAlign(right ? TA_RIGHT : TA_LEFT);
            canvas.TextOut(right ? room.x() + room.width() : room.x(), room.y(), text());
        }
    }
    if (!drawn)
        QLabel::paintEvent(event);
    if (!m_keyboard->MarkShown())
        return;
    QPainter painter(this);
    TCanvas canvas(painter, event->rect());
    m_keyboard->PaintMark(canvas, rect());
}
