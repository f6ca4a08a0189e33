// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Process start to first painted window, offscreen: Tiraso (linked in, and
// loaded from its module as the program does) against an empty 470 x 270 Qt
// window and one with a label, started the same way and alternating so that
// all see the same machine state. Prints medians and Tiraso's ratio to each,
// of the time on the clock and of the processor time the process used (user
// and system), which a busy machine disturbs less.

#include "Median.h"

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
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
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

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
