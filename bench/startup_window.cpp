// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// One start of the program up to its first painted window, then exit. Built
// four times: with TIRASO_BENCH_FULL_WINDOW as Tiraso's window linked into the
// executable; with TIRASO_BENCH_MODULE as the program starts it, loaded from
// its module (main/WindowEntry.h), which shows what loading on demand costs;
// without either as an empty 470 x 270 Qt window, the peer they are measured
// against; and with TIRASO_BENCH_TEXT_WINDOW as that window with one line of
// text, which shows how much of the difference any text costs (font engines).
// The process exits right after the first paint event, unless told
// --keep-open: on a real display the harness watches the window from outside
// and ends the process itself (bench/StartupX11.cpp), and a process ending
// on its own could leave before the server has drawn what it sent.

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTimer>
#ifndef TIRASO_BENCH_MODULE
// The module variant links QtCore alone, as the program does.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#endif

#include <cstdio>

#if defined(TIRASO_BENCH_FULL_WINDOW) || defined(TIRASO_BENCH_MODULE)
#include "main/WindowEntry.h"
#define TIRASO_BENCH_WINDOW_ENTRY
#endif
#ifdef TIRASO_BENCH_MODULE
#include <dlfcn.h>
#endif

namespace {

class FirstPaint : public QObject
{
public:
    bool keepOpen = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen && !keepOpen) {
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

#ifdef TIRASO_BENCH_WINDOW_ENTRY
// The window's entry creates the application object itself; the filter goes
// onto it as soon as it exists and sees the first paint of any window.
FirstPaint* firstPaintFilter = nullptr;
void watchFirstPaint()
{
    QCoreApplication::instance()->installEventFilter(firstPaintFilter);
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    // Never read or write the user's real last-values file.
    QStandardPaths::setTestModeEnabled(true);
    FirstPaint firstPaint;
#ifdef TIRASO_BENCH_WINDOW_ENTRY
    firstPaintFilter = &firstPaint;
    qAddPreRoutine(watchFirstPaint);
#ifdef TIRASO_BENCH_MODULE
    void* module = dlopen(TIRASO_WINDOW_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto entry = module ? reinterpret_cast<TirasoWindowEntry>(dlsym(module, TIRASO_WINDOW_ENTRY)) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    return entry(argc, argv);
#else
    return tiraso_window_main(argc, argv);
#endif
#else
    for (int i = 1; i < argc; ++i)
        firstPaint.keepOpen = firstPaint.keepOpen || qstrcmp(argv[i], "--keep-open") == 0;
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
