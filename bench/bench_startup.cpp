// Process start to first painted window, offscreen: Tiraso (linked in, and
// loaded from its module as the program does) against an empty 470 x 270 Qt
// window started the same way, alternating so that all see the same machine
// state. Prints medians and ratios.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double runOnce(const QString& program)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    struct Program {
        const char* name;
        QString path;
        std::vector<double> times;
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
            const double ms = runOnce(program.path);
            if (ms < 0) {
                std::fprintf(stderr, "%s: a start failed\n", program.name);
                return 1;
            }
            program.times.push_back(ms);
        }
    }
    const double t = median(programs.front().times);
    std::printf("start to first paint, %d runs each (median)\n", runs);
    for (const Program& program : programs) {
        const double m = median(program.times);
        std::printf("  %-20s %8.2f ms   tiraso/this %.2f\n", program.name, m, t / m);
    }
    return 0;
}
