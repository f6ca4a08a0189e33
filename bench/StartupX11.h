// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Exec to first map and exec to first paint of whole programs on a real X
// server, observed from outside (bench/StartupX11.cpp).

#include <string>
#include <utility>
#include <vector>

struct X11Program {
    X11Program(const char* name, std::string path, std::vector<std::string> arguments = {})
        : name(name)
        , path(std::move(path))
        , arguments(std::move(arguments))
    {
    }

    const char* name;
    std::string path;
    std::vector<std::string> arguments;
    std::vector<double> map;   // ms from exec to the window's MapNotify
    std::vector<double> paint; // ms from exec to the first drawing into it
    // ms of processor time (user and system) the process used until it was
    // killed right after that paint; a busy machine disturbs it less
    std::vector<double> cpu;
    std::vector<double> faults; // page faults (minor and major) until then
};

// Starts each program once unmeasured, then `runs` times interleaved, on the
// display in $DISPLAY; prints a message and returns false when the display
// cannot serve or a start fails.
bool MeasureOnX11(std::vector<X11Program>& programs, int runs);
