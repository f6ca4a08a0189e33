// One start of the program up to its first painted window, then exit. Built
// three times: with TIRASO_BENCH_FULL_WINDOW as the real start sequence of
// Tiraso; without it as an empty 470 x 270 Qt window, the peer it is measured
// against; and with TIRASO_BENCH_TEXT_WINDOW as that window with one line of
// text, which shows how much of the difference any text costs (font engines).
// The process exits right after the first paint event.

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#ifdef TIRASO_BENCH_FULL_WINDOW
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "drawing/kavriGraphics.h"
#include "main/tirasomain.h"
#include "platform/Application.h"
#endif

namespace {

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Leave once this paint has been delivered. exit(), not quit():
            // quit() closes the windows first, and Tiraso's window then saves
            // the last values (with a flush to disk), which is no part of
            // the start.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[])
{
    // Never read or write the user's real last-values file.
    QStandardPaths::setTestModeEnabled(true);
    FirstPaint firstPaint;
#ifdef TIRASO_BENCH_FULL_WINDOW
    kavriGraphicsStartup();
    TRUVButton::ModuleStartup();
    TSpezialSpin::ModuleStartup();
    int exitCode = 0;
    {
        TApplication application(argc, argv);
        TApplication::SetTitle(QStringLiteral("Tiraso - Tiraso-Projekt"));
        TForm1 form;
        form.installEventFilter(&firstPaint);
        form.show();
        exitCode = application.exec();
    }
    TSpezialSpin::ModuleShutdown();
    TRUVButton::ModuleShutdown();
    kavriGraphicsShutdown();
    return exitCode;
#else
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(470, 270);
#ifdef TIRASO_BENCH_TEXT_WINDOW
    QLabel label(QStringLiteral("H=0,330"), &window);
    label.move(10, 10);
#endif
    window.installEventFilter(&firstPaint);
    window.show();
    return application.exec();
#endif
}
