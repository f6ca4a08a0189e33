// Program entry: module start-up in fixed order, the application object and
// its title, the window, the message loop, and shut-down in reverse order.

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "drawing/kavriGraphics.h"
#include "main/tirasomain.h"
#include "platform/Application.h"

#include <QLocale>

int main(int argc, char* argv[])
{
    kavriGraphicsStartup();
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
    ControlsAccessibilityStartup();
    TForm1::ModuleStartup();

    int exitCode = 0;
    {
        TApplication application(argc, argv);
        // A German program: without a language of its own on the machine
        // (the C locale of a bare system), it keeps German number texts.
        if (QLocale::system().language() == QLocale::C)
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
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
