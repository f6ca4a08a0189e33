// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// One million X values from a file through `tiraso --calc … x=- --plain`,
// against mawk computing and printing the same straight-line values with
// %.17g, alternating so both see the same machine state. The window-format
// batch runs along for comparison. Prints medians and the ratio; checks once
// that both programs print the same doubles.
//
//   bench_cli_batch [runs] [values]

#include "Median.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

namespace {

struct Command {
    const char* name;
    QString program;
    QStringList arguments;
    std::vector<double> times;
};

double runOnce(const Command& command, const QString& input, const QString& output)
{
    QProcess process;
    process.setStandardInputFile(input);
    process.setStandardOutputFile(output);
    QElapsedTimer timer;
    timer.start();
    process.start(command.program, command.arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

// The second column of every line, read back as doubles.
std::vector<double> values(const QString& path)
{
    QFile file(path);
    std::vector<double> read;
    if (!file.open(QIODevice::ReadOnly))
        return read;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype tab = line.indexOf('\t');
        double value = 0;
        std::from_chars(line.constData() + tab + 1, line.constData() + line.size(), value);
        read.push_back(value);
    }
    return read;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int count = argc > 2 ? std::max(1, atoi(argv[2])) : 1000000;

    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("x.txt"));
    {
        // What a script hands over: doubles as programs print them.
        std::mt19937_64 random(25);
        std::uniform_real_distribution<double> x(0, 2);
        std::string text;
        char buffer[32];
        for (int i = 0; i < count; ++i) {
            text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, x(random)).ptr);
            text += '\n';
        }
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(input));
            return 1;
        }
    }

    const QStringList line{"--calc", "x1=0", "y1=0", "x2=2", "y2=4", "x=-"};
    std::vector<Command> commands{
        {"tiraso x=- --plain", QStringLiteral(TIRASO_BINARY), line + QStringList{"--plain"}, {}}};
    const QString mawk = QStandardPaths::findExecutable(QStringLiteral("mawk"));
    if (!mawk.isEmpty()) {
        commands.push_back({"mawk %.17g",
                            mawk,
                            {"-v", "x1=0", "-v", "y1=0", "-v", "x2=2", "-v", "y2=4",
                             R"({ printf "%s\t%.17g\n", $1, y1 + (y2 - y1) / (x2 - x1) * ($1 - x1) })"},
                            {}});
    } else {
        std::fprintf(stderr, "mawk not found (scripts/deps --bench): measured without it\n");
    }
    commands.push_back({"tiraso x=- (window)", QStringLiteral(TIRASO_BINARY), line, {}});

    // Warm-up, and the check that both print the same values.
    std::vector<std::vector<double>> printed;
    for (size_t i = 0; i < commands.size(); ++i) {
        const QString output = folder.filePath(QStringLiteral("out%1.txt").arg(i));
        if (runOnce(commands[i], input, output) < 0) {
            std::fprintf(stderr, "%s failed\n", commands[i].name);
            return 1;
        }
        if (i < 2)
            printed.push_back(values(output));
    }
    if (printed.size() == 2 && printed[0] != printed[1]) {
        std::fprintf(stderr, "tiraso and mawk print different values\n");
        return 1;
    }

    for (int run = 0; run < runs; ++run) {
        for (Command& command : commands) {
            const double seconds = runOnce(command, input, QProcess::nullDevice());
            if (seconds < 0) {
                std::fprintf(stderr, "%s failed\n", command.name);
                return 1;
            }
            command.times.push_back(seconds);
        }
    }
    const double t = median(commands.front().times);
    std::printf("%d values from a file, exec to exit, %d runs each (median)\n", count, runs);
    for (const Command& command : commands) {
        const double m = median(command.times);
        std::printf("  %-22s %7.3f s   this/tiraso %.2f\n", command.name, m, m / t);
    }
    return 0;
}
