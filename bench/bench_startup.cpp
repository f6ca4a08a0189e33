// Process start to first painted window, offscreen: Tiraso against an empty
// 470 x 270 Qt window started the same way, alternating so that both see
// the same machine state. Prints medians and the ratio, of the time on the
// clock and of the processor time the process used (user and system), which
// a busy machine disturbs less.

#include <QCoreApplication>
#include <QElapsedTimer>
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
    const QString tiraso = folder + QStringLiteral("/startup_tiraso");
    const QString empty = folder + QStringLiteral("/startup_empty");
    const QString text = folder + QStringLiteral("/startup_text");
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

    // One warm-up each, so that neither pays for a cold disk cache alone.
    runOnce(tiraso);
    runOnce(empty);
    runOnce(text);
    std::vector<Run> tirasoRuns;
    std::vector<Run> emptyRuns;
    std::vector<Run> textRuns;
    for (int i = 0; i < runs; ++i) {
        const Run a = runOnce(tiraso);
        const Run b = runOnce(empty);
        const Run c = runOnce(text);
        if (a.wall < 0 || b.wall < 0 || c.wall < 0) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        tirasoRuns.push_back(a);
        emptyRuns.push_back(b);
        textRuns.push_back(c);
    }
    const auto medianOf = [](const std::vector<Run>& list, double Run::*field) {
        std::vector<double> values;
        for (const Run& run : list)
            values.push_back(run.*field);
        return median(values);
    };
    std::printf("start to first paint, %d runs each (median)\n", runs);
    std::printf("                        clock        ratio   processor    ratio\n");
    const double tw = medianOf(tirasoRuns, &Run::wall), tc = medianOf(tirasoRuns, &Run::cpu);
    std::printf("  tiraso               %8.2f ms            %8.2f ms\n", tw, tc);
    for (const auto& [name, list] : {std::pair{"empty window       ", &emptyRuns}, std::pair{"window with a label", &textRuns}}) {
        const double w = medianOf(*list, &Run::wall), c = medianOf(*list, &Run::cpu);
        std::printf("  %s  %8.2f ms   %5.2f   %8.2f ms   %5.2f\n", name, w, tw / w, c, c > 0 ? tc / c : 0.0);
    }
    return 0;
}
