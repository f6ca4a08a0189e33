// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <functional>

// The window system Qt is to use, chosen before the application object
// exists, or empty to leave the choice to Qt. `variable` reads an environment
// variable (empty when it is not set).
//
// On a Wayland session the compositor decides where a window goes and whether
// it stays on top; a client can neither place itself nor keep above others.
// Where X11 is at hand too (XWayland: DISPLAY set), Tiraso runs through it so
// that both work. A platform the user named in QT_QPA_PLATFORM stays theirs,
// and so does Qt's own choice everywhere else.
QByteArray PlatformForSession(const std::function<QByteArray(const char* name)>& variable);
