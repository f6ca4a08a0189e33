// Process start to first painted window, offscreen: Tiraso against an empty
// 470 x 270 Qt window started the same way, alternating so that both see
// the same machine state. Prints medians and the ratio.

#include <QCoreApplication>
#include <QElapsedTimer>
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
    const QString tiraso = folder + QStringLiteral("/startup_tiraso");
    const QString empty = folder + QStringLiteral("/startup_empty");
    const QString text = folder + QStringLiteral("/startup_text");
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

    // One warm-up each, so that neither pays for a cold disk cache alone.
    runOnce(tiraso);
    runOnce(empty);
    runOnce(text);
    std::vector<double> tirasoTimes;
    std::vector<double> emptyTimes;
    std::vector<double> textTimes;
    for (int i = 0; i < runs; ++i) {
        const double a = runOnce(tiraso);
        const double b = runOnce(empty);
        const double c = runOnce(text);
        if (a < 0 || b < 0 || c < 0) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        tirasoTimes.push_back(a);
        emptyTimes.push_back(b);
        textTimes.push_back(c);
    }
    const double t = median(tirasoTimes);
    const double e = median(emptyTimes);
    const double x = median(textTimes);
    std::printf("start to first paint, %d runs each (median)\n", runs);
    std::printf("  tiraso               %8.2f ms\n", t);
    std::printf("  empty window         %8.2f ms   ratio %.2f\n", e, t / e);
    std::printf("  window with a label  %8.2f ms   ratio %.2f\n", x, t / x);
    return 0;
}
