// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QFocusEvent;
class QKeyEvent;
class QWidget;
class TCanvas;

// Keyboard access for a control that draws itself without an edit box (a
// label, a button, a check box): the keys that click it while it has the
// focus, and the mark that shows where the focus is. It watches the control's
// key and focus events as a filter, so the control keeps its own handlers.
//
// Such a control takes the focus only from the keyboard (Qt::TabFocus, set by
// its owner): a click leaves the focus where it was, and a mouse user never
// sees a mark.
class TKeyboardClick : public QObject
{
public:
    enum TKeys { SpaceOnly, SpaceAndEnter };
    using TClick = std::function<void(Qt::KeyboardModifiers modifiers)>;

    // `click` runs with the modifiers held at the release.
    TKeyboardClick(QWidget* control, TKeys keys, TClick click);

    // Called when a click key goes down on the control and when it comes up
    // or the focus leaves first, for a control that shows a pressed look.
    std::function<void(bool held)> OnHeldChanged;

    // The mark, a dotted one-pixel rectangle in the control's highlight
    // colour, belongs on the control while the focus came from the keyboard:
    // Tab, Shift+Tab or a shortcut. A click hides it; a focus that merely
    // comes back with its window (after a dialog or a menu) keeps it.
    bool MarkShown() const;
    // Every second pixel of the outline of `rect`, its edges inclusive.
    void PaintMark(TCanvas& canvas, const QRect& rect) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsClickKey(const QKeyEvent& event) const;
    void KeyPressed(QKeyEvent& event);
    void KeyReleased(QKeyEvent& event);
    void SetHeld(int key);

    QWidget* m_control;
    TKeys m_keys;
    TClick m_click;
    // The click key pressed on the control and not yet released. A release
    // alone (its press closed a dialog or moved the focus here) is no click,
    // nor are a held key's repetitions, which would reach a prompt the click
    // opened.
    int m_held = 0;
    bool m_fromKeyboard = false;
};
