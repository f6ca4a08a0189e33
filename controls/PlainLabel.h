// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/KeyboardAccess.h"
#include "platform/Events.h"

#include <QLabel>
#include <QString>

// A plain static label that can also be clicked.
class TPlainLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TPlainLabel(QWidget* parent = nullptr);
    TNotifyEvent OnClick;

    // Runs OnClick: a click, Space or Enter while it has the keyboard focus,
    // or the press action of assistive technology.
    void Click();

    // What the label shows, for assistive technology, which hears it followed
    // by the text ("Gesamthöhe H=1,000"). Kept apart from accessibleName,
    // which would replace the text and silence its change notices.
    QString AccessibleTitle() const { return m_accessibleTitle; }
    void setAccessibleTitle(const QString& title);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
    QString m_accessibleTitle;
    TKeyboardClick* m_keyboard = nullptr;
};
