// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The command line alone, linked against QtCore only: what `tiraso --calc`
// would cost without the window's libraries loaded at start.

#include "cli/CommandLine.h"

int main(int argc, char* argv[])
{
    return CommandLine::Main(argc, argv);
}
