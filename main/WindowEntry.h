// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The window's half of the program. It lives in its own shared module so that
// `tiraso --calc` maps QtCore alone: the module brings Qt's Gui, Widgets and
// Svg libraries with it, and the loader's work for them cost the command line
// three times its own run time. The executable loads the module only when it
// shows the window.

#include <QtGlobal>

#define TIRASO_WINDOW_ENTRY "tiraso_window_main"

extern "C" {
using TirasoWindowEntry = int (*)(int argc, char** argv);
// Runs the window until it closes; returns the exit code. argv must outlive
// the call, as it does when it comes from main().
Q_DECL_EXPORT int tiraso_window_main(int argc, char** argv);
}
