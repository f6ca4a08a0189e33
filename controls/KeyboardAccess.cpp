// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/KeyboardAccess.h"

#include "platform/Canvas.h"
#include "platform/Colors.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

TKeyboardClick::TKeyboardClick(QWidget* control, TKeys keys, TClick click)
    : QObject(control)
    , m_control(control)
    , m_keys(keys)
    , m_click(std::move(click))
{
    control->installEventFilter(this);
}

bool TKeyboardClick::MarkShown() const
{
    return m_fromKeyboard && m_control->hasFocus();
}

void TKeyboardClick::PaintMark(TCanvas& canvas, const QRect& rect) const
{
    if (rect.isEmpty())
        return;
    const TColor color = FromQColor(m_control->palette().color(QPalette::Highlight));
    // On the even squares of a checkerboard, so the corners always agree.
    const auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            canvas.SetPixel(x, y, color);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        dot(rect.right(), y);
    }
}

bool TKeyboardClick::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_control)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsClickKey(*key))
            return false;
        KeyPressed(*key);
        return true;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsClickKey(*key))
            return false;
        KeyReleased(*key);
        return true;
    }
    case QEvent::FocusIn:
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            m_fromKeyboard = true;
            break;
        case Qt::MouseFocusReason:
            m_fromKeyboard = false;
            break;
        default:
            break;
        }
        m_control->update();
        return false;
    case QEvent::FocusOut:
        // A key held while the focus leaves is released elsewhere.
        SetHeld(0);
        m_control->update();
        return false;
    default:
        return false;
    }
}

bool TKeyboardClick::IsClickKey(const QKeyEvent& event) const
{
    // With Ctrl or Alt the key means something else to someone else.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Space:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return m_keys == SpaceAndEnter;
    default:
        return false;
    }
}

void TKeyboardClick::KeyPressed(QKeyEvent& event)
{
    event.accept();
    if (!event.isAutoRepeat())
        SetHeld(event.key());
}

void TKeyboardClick::KeyReleased(QKeyEvent& event)
{
    event.accept();
    if (event.isAutoRepeat() || m_held != event.key())
        return;
    QPointer<TKeyboardClick> self(this);
    SetHeld(0);
    if (self && m_click)
        m_click(event.modifiers());
}

void TKeyboardClick::SetHeld(int key)
{
    const bool wasHeld = m_held != 0;
    m_held = key;
    if (wasHeld != (key != 0) && OnHeldChanged)
        OnHeldChanged(key != 0);
}
