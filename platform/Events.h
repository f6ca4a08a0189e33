// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QObject;

// A control event holds at most one handler, which receives the sender.
// Assigning replaces the previous handler, so an owner that assigns OnClick
// replaces a control's own click action; an empty handler is skipped.
using TNotifyEvent = std::function<void(QObject* Sender)>;
