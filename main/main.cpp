// Program entry: module start-up in fixed order, the application object and
// its title, the window, the message loop, and shut-down in reverse order.

#include "cli/CommandLine.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "drawing/kavriGraphics.h"
#include "main/tirasomain.h"
#include "platform/Application.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    // Scripts run without a display: no application object, no module
    // start-up, no window-system plugin for the command line.
    if (CommandLine::Wanted(argc, argv)) {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const CommandLine::Outcome outcome = CommandLine::Run(arguments);
        std::fwrite(outcome.out.constData(), 1, size_t(outcome.out.size()), stdout);
        std::fwrite(outcome.err.constData(), 1, size_t(outcome.err.size()), stderr);
        return std::fflush(stdout) == 0 ? outcome.exitCode : 1;
    }

    kavriGraphicsStartup();
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();

    int exitCode = 0;
    {
        // Number texts are German whatever the locale (calc/NumberFormat.h),
        // so the locale is left as the desktop set it.
        TApplication application(argc, argv);
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

    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
    kavriGraphicsShutdown();
    return exitCode;
}
