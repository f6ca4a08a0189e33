// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Module start-up in fixed order, the application object and its title, the
// window, the message loop, and shut-down in reverse order.

#include "main/WindowEntry.h"

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "drawing/kavriGraphics.h"
#include "main/DisplayCheck.h"
#include "main/PlatformChoice.h"
#include "main/tirasomain.h"
#include "platform/Application.h"

#include <cstdio>
#include <optional>

int tiraso_window_main(int argc, char** argv)
{
    // Read by Qt when the application object starts its window system; only
    // for this process, so programs started from here (a link opened through
    // the desktop) see the environment the user gave.
    const QByteArray platform = PlatformForSession([](const char* name) { return qgetenv(name); });
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    const DisplayCheck display = CheckDisplay(WindowSystemVariables(argc, argv));
    if (display.hopeless) {
        const QByteArray message = NoWindowMessage(display.cause).toUtf8();
        std::fwrite(message.constData(), 1, size_t(message.size()), stderr);
        return 1;
    }

    kavriGraphicsStartup();
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
    ControlsAccessibilityStartup();
    TForm1::ModuleStartup();

    int exitCode = 0;
    {
        std::optional<DisplayFailureGuard> startingDisplay(std::in_place, display.cause);
        // Number texts are German whatever the locale (calc/NumberFormat.h),
        // so the locale is left as the desktop set it.
        TApplication application(argc, argv);
        startingDisplay.reset();
        if (!platform.isEmpty())
            qunsetenv("QT_QPA_PLATFORM");
        TApplication::SetTitle(QStringLiteral("Tiraso - Tiraso-Projekt"));
        // Desktops find the launcher entry of a window through these: the
        // class of the X11 window (the entry's StartupWMClass) and, on
        // Wayland, the application id (the entry's file name).
        QCoreApplication::setApplicationName(QStringLiteral("tiraso"));
        QGuiApplication::setDesktopFileName(QStringLiteral(TIRASO_APP_ID));

        QStringList parameters = QCoreApplication::arguments();
        parameters.removeFirst();
        TForm1 Form1(parameters);
        // Dialogs without a parent window show the window's icon too.
        QGuiApplication::setWindowIcon(Form1.windowIcon());
        Form1.show();
        exitCode = application.exec();
    }

    TForm1::ModuleShutdown();
    ControlsAccessibilityShutdown();
    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
    kavriGraphicsShutdown();
    return exitCode;
}
