// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Process start to first painted window, offscreen: Tiraso (linked in, and
// loaded from its module as the program does) against an empty 470 x 270 Qt
// window and one with a label, started the same way and alternating so that
// all see the same machine state. Prints medians and Tiraso's ratio to each,
// of the time on the clock and of the processor time the process used (user
// and system), which a busy machine disturbs less.
//
// With --x11, the same comparison on the X server in $DISPLAY, from exec to
// the window's map and to its first paint, with the real tiraso executable
// (or --tiraso PATH, an installed one) in place of the two offscreen
// variants. Offscreen skips what a real display costs: the X connection, the
// first expose, the real font setup. bench/startup-x11 runs it on a private
// X server inside a D-Bus session. --compare PATH adds a second tiraso
// executable (another build, with its module beside it) to the same
// interleaved runs, so that a change is measured against the state before it
// on the same machine at the same time.
//
//   bench_startup [RUNS]
//   bench_startup --x11 [--tiraso PATH] [--compare PATH] [RUNS]

#include "Median.h"
#ifdef TIRASO_BENCH_X11
#include "StartupX11.h"
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

struct Run {
    double wall = -1; // ms
    double cpu = -1;  // ms, user and system
};

// Processor time of all children waited for so far.
double childrenCpuMs()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#else
    return 0;
#endif
}

Run runOnce(const QString& program)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return {double(timer.nsecsElapsed()) / 1e6, childrenCpuMs() - cpuBefore};
}

int measureOnX11(const QString& folder, const QString& tiraso, const QString& compared, int runs)
{
#ifdef TIRASO_BENCH_X11
    const std::string keepOpen = "--keep-open";
    std::vector<X11Program> programs{
        {"tiraso", tiraso.toStdString()},
        {"empty window", (folder + "/startup_empty").toStdString(), {keepOpen}},
        {"window with a label", (folder + "/startup_text").toStdString(), {keepOpen}},
    };
    if (!compared.isEmpty())
        programs.emplace_back("tiraso compared", compared.toStdString());
    if (!MeasureOnX11(programs, runs))
        return 1;
    const X11Program& first = programs.front();
    const double tm = median(first.map), tp = median(first.paint), tc = median(first.cpu);
    std::printf("exec to first map and to first paint on X11 (%s), %d runs each (median)\n", qgetenv("DISPLAY").data(),
                runs);
    std::printf("                            map  tiraso/this      paint  tiraso/this   map to paint   processor  "
                "tiraso/this   page faults\n");
    for (const X11Program& program : programs) {
        const double m = median(program.map), p = median(program.paint), c = median(program.cpu),
                     f = median(program.faults);
        std::vector<double> between;
        for (size_t i = 0; i < program.map.size(); ++i)
            between.push_back(program.paint[i] - program.map[i]);
        std::printf("  %-20s %8.2f ms  %5.2f     %8.2f ms  %5.2f        %6.2f ms  %7.2f ms  %5.2f       %7.0f\n",
                    program.name, m, tm / m, p, tp / p, median(between), c, c > 0 ? tc / c : 0.0, f);
    }
    std::printf("(processor and page faults: of the process until it was ended right after its first paint)\n");
    return 0;
#else
    Q_UNUSED(folder);
    Q_UNUSED(tiraso);
    Q_UNUSED(compared);
    Q_UNUSED(runs);
    std::fprintf(stderr,
                 "bench_startup was built without xcb and xcb-damage (Debian: libxcb1-dev "
                 "libxcb-damage0-dev); configure again with them to measure on X11\n");
    return 2;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    bool x11 = false;
    QString tiraso = QStringLiteral(TIRASO_BINARY);
    QString compared;
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        if (argument == "--x11")
            x11 = true;
        else if (argument == "--tiraso" && i + 1 < argc)
            tiraso = QString::fromLocal8Bit(argv[++i]);
        else if (argument == "--compare" && i + 1 < argc)
            compared = QString::fromLocal8Bit(argv[++i]);
        else if (argument.toInt() > 0)
            runs = argument.toInt();
        else {
            std::fprintf(stderr, "usage: %s [--x11 [--tiraso PATH] [--compare PATH]] [RUNS]\n", argv[0]);
            return 2;
        }
    }
    if (x11)
        return measureOnX11(folder, tiraso, compared, runs > 0 ? runs : 15);

    struct Program {
        const char* name;
        QString path;
        std::vector<Run> runs;
    };
    std::vector<Program> programs{
        {"tiraso", folder + QStringLiteral("/startup_tiraso"), {}},
        {"tiraso from module", folder + QStringLiteral("/startup_module"), {}},
        {"empty window", folder + QStringLiteral("/startup_empty"), {}},
        {"window with a label", folder + QStringLiteral("/startup_text"), {}},
    };
    // Only where the window is built as a module (main/CMakeLists.txt).
    if (!QFileInfo::exists(programs[1].path))
        programs.erase(programs.begin() + 1);
    if (runs <= 0)
        runs = 30;

    // One warm-up each, so that none pays for a cold disk cache alone.
    for (const Program& program : programs)
        runOnce(program.path);
    for (int i = 0; i < runs; ++i) {
        for (Program& program : programs) {
            const Run run = runOnce(program.path);
            if (run.wall < 0) {
                std::fprintf(stderr, "%s: a start failed\n", program.name);
                return 1;
            }
            program.runs.push_back(run);
        }
    }
    const auto medianOf = [](const std::vector<Run>& list, double Run::*field) {
        std::vector<double> values;
        for (const Run& run : list)
            values.push_back(run.*field);
        return median(values);
    };
    const double tw = medianOf(programs.front().runs, &Run::wall);
    const double tc = medianOf(programs.front().runs, &Run::cpu);
    std::printf("start to first paint, %d runs each (median)\n", runs);
    std::printf("                         clock   tiraso/this   processor   tiraso/this\n");
    for (const Program& program : programs) {
        const double w = medianOf(program.runs, &Run::wall), c = medianOf(program.runs, &Run::cpu);
        std::printf("  %-20s %8.2f ms   %5.2f      %8.2f ms   %5.2f\n", program.name, w, tw / w, c,
                    c > 0 ? tc / c : 0.0);
    }
    return 0;
}
