// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/KeyboardAccess.h"
#include "platform/Events.h"

#include <QLabel>
#include <QString>

// A plain static label that can also be clicked.
//
// It may take the keyboard focus, and QLabel gives every focusable label a
// rich-text document, with font engines of its own, for a text cursor and
// links. A plain label has neither and draws its text the same without it, so
// it keeps QLabel from building one where it would: as the label is
// polished, takes the focus or gets a new text through setText.
class TPlainLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TPlainLabel(QWidget* parent = nullptr);
    TNotifyEvent OnClick;

    // Hides QLabel::setText, which builds the document for a focusable label.
    void setText(const QString& text);

    // Runs OnClick: a click, Space or Enter while it has the keyboard focus,
    // or the press action of assistive technology.
    void Click();

    // What the label shows, for assistive technology, which hears it followed
    // by the text ("Gesamthöhe H=1,000"). Kept apart from accessibleName,
    // which would replace the text and silence its change notices.
    QString AccessibleTitle() const { return m_accessibleTitle; }
    void setAccessibleTitle(const QString& title);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    QString m_accessibleTitle;
    TKeyboardClick* m_keyboard = nullptr;
};
