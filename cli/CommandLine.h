// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// `tiraso --calc …`: the results for scripts, computed by the model alone,
// without a window, a display or an application object.

#include <QByteArray>
#include <QStringList>

namespace CommandLine {

// Whether the arguments after the program name ask for the command line
// (--calc, --help, --version) rather than the window. Decided from argv
// before Qt is started, so no window-system plugin is ever loaded.
bool Wanted(int argc, const char* const argv[]);

struct Outcome {
    int exitCode = 0; // as the process's exit status, see the help
    QByteArray out;   // UTF-8
    QByteArray err;
};

// arguments: those after the program name; input: standard input for x=- and y=-.
Outcome Run(const QStringList& arguments, const QByteArray& input = QByteArray());

// Run on the process's own arguments and standard streams; returns the exit
// status (1 when the input could not be read or the output not written).
int Main(int argc, char* argv[]);

} // namespace CommandLine
