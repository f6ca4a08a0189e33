// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// `tiraso --calc …` from exec to exit, without a display, against `qalc 1+1`
// (another calculator's command line) and the same command line linked
// against QtCore alone, alternating so all see the same machine state, with
// `true` as the cost of any process start.
// Prints medians and ratios.

#include "Median.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Command {
    const char* name;
    QString program;
    QStringList arguments;
    std::vector<double> times;
};

double runOnce(const Command& command)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(command.program, command.arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    const QStringList calc{"--calc", "x1=0", "y1=0", "x2=1", "y2=1", "x=0.33"};
    std::vector<Command> commands{
        {"tiraso --calc", QStringLiteral(TIRASO_BINARY), calc, {}},
        {"QtCore-only --calc", QCoreApplication::applicationDirPath() + QStringLiteral("/cli_core"), calc, {}},
    };
    const QString qalc = QStandardPaths::findExecutable(QStringLiteral("qalc"));
    if (!qalc.isEmpty())
        commands.push_back({"qalc 1+1", qalc, {QStringLiteral("1+1")}, {}});
    else
        std::fprintf(stderr, "qalc not found: measured without it\n");
    // The floor: what starting any process costs here.
    const QString nothing = QStandardPaths::findExecutable(QStringLiteral("true"));
    if (!nothing.isEmpty())
        commands.push_back({"true", nothing, {}, {}});

    for (const Command& command : commands)
        runOnce(command); // warm-up: nobody pays for a cold disk cache alone
    for (int i = 0; i < runs; ++i) {
        for (Command& command : commands) {
            const double ms = runOnce(command);
            if (ms < 0) {
                std::fprintf(stderr, "%s failed\n", command.name);
                return 1;
            }
            command.times.push_back(ms);
        }
    }
    const double t = median(commands.front().times);
    std::printf("exec to exit, %d runs each (median)\n", runs);
    for (const Command& command : commands) {
        const double m = median(command.times);
        std::printf("  %-20s %8.2f ms   tiraso/this %.2f\n", command.name, m, t / m);
    }
    return 0;
}
