// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/AccessibilityNotices.h"

#include <QAccessibleWidget>
#include <QString>
#include <QVariant>

// What assistive technology (a screen reader, through the desktop's
// accessibility bus) learns of the program's own controls, and what it can
// make them do.
//
// Names: the owner says what a control is with QWidget::setAccessibleName
// ("Gesamtlänge"). Where the caption is the content (a result label), the
// name is that word followed by the caption ("Gesamtlänge 1,000"); where the
// caption only labels the control (a button, a check box), the owner's word
// replaces it, and the caption or the tool-tip stands in without one.
//
// Actions run from the event loop, as a click would, so that a prompt the
// action opens never holds up the request that asked for it.

// Installs the factory that hands out these interfaces; the module's
// start-up and shut-down, called in the program's fixed order.
void ControlsAccessibilityStartup();
void ControlsAccessibilityShutdown();

namespace Accessibility {

// "what shown", or whichever of the two is not empty.
QString JoinedName(const QString& what, const QString& shown);

} // namespace Accessibility

// A control that does one thing when pressed: a push button with the press
// action (besides the focus action of every focusable widget). A label is one
// when its owner made it reachable from the keyboard, as the owner does for
// the labels it handles clicks on; otherwise it is plain text.
class TAccessibleClickable : public QAccessibleWidget
{
public:
    explicit TAccessibleClickable(QWidget* control);

    QAccessible::Role role() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

protected:
    // The click itself; runs from the event loop after the request returned.
    virtual void Press() = 0;

private:
    bool Pressable() const { return role() != QAccessible::StaticText; }
};
