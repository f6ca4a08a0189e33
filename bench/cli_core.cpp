// The command line alone, linked against QtCore only: what `tiraso --calc`
// would cost without the window's libraries loaded at start.

#include "cli/CommandLine.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Outcome outcome = CommandLine::Run(arguments);
    std::fwrite(outcome.out.constData(), 1, size_t(outcome.out.size()), stdout);
    std::fwrite(outcome.err.constData(), 1, size_t(outcome.err.size()), stderr);
    return outcome.exitCode;
}
