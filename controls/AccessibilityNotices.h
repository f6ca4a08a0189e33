// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QVariant>

class QObject;

// Change notices for assistive technology, sent by the controls where what
// they show has changed. Apart from the interfaces in Accessibility.h, which
// know every control, so that no control has to include those.
namespace Accessibility {

void NameChanged(QObject* control);
void ValueChanged(QObject* control, const QVariant& value);
void CheckedChanged(QObject* control);

} // namespace Accessibility
