// Program entry: module start-up in fixed order, the application object and
// its title, the window, the message loop, and shut-down in reverse order.

#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "drawing/kavriGraphics.h"
#include "main/tirasomain.h"
#include "platform/Application.h"

int main(int argc, char* argv[])
{
    kavriGraphicsStartup();
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();

    int exitCode = 0;
    {
        // Number texts are German whatever the locale (calc/NumberFormat.h),
        // so the locale is left as the desktop set it.
        TApplication application(argc, argv);
        TApplication::SetTitle(QStringLiteral("Tiraso - RUV"));

        QStringList parameters = QCoreApplication::arguments();
        parameters.removeFirst();
        TForm1 Form1(parameters);
        Form1.show();
        exitCode = application.exec();
    }

    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
    kavriGraphicsShutdown();
    return exitCode;
}
