// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// Whether the window can have a display, asked before the application object
// exists. Qt itself ends the process with an abort and advice to reinstall
// when its window system cannot start; the window says why instead, in
// German, and points to the command line, which needs no display.

struct DisplayCheck {
    // No window system that Qt would try has a display to connect to; Qt
    // need not even be asked.
    bool hopeless = false;
    // Why the window cannot be shown, should Qt fail: the display or window
    // system the environment names, and what is wrong with it as far as it
    // can be told without connecting.
    QString cause;
};

// `variable` reads an environment variable (empty when it is not set),
// QT_QPA_PLATFORM as it will be when the application object starts.
DisplayCheck CheckDisplay(const std::function<QByteArray(const char* name)>& variable);

// The environment variables as Qt reads them for its window system: its
// arguments -platform and -display (or --platform, --display) outrank
// QT_QPA_PLATFORM and DISPLAY. argv must outlive the function.
std::function<QByteArray(const char* name)> WindowSystemVariables(int argc, char** argv);

// The message for a window that cannot be shown, ending with a line break.
QString NoWindowMessage(const QString& cause);

// While the object lives, a failure of Qt to start its window system ends
// the process with NoWindowMessage(cause) and exit status 1, not an abort.
// Qt's own messages meanwhile are held back: passed on when the start
// succeeds, added below the German message as its details when it fails.
class DisplayFailureGuard
{
public:
    explicit DisplayFailureGuard(const QString& cause);
    ~DisplayFailureGuard();
    Q_DISABLE_COPY(DisplayFailureGuard)
};
