// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Program entry: the command line runs here with QtCore alone; the window
// comes from its own module (main/WindowEntry.h), loaded only when wanted.

#include "cli/CommandLine.h"
#include "main/WindowEntry.h"

#include <csignal>
#include <cstdio>

#ifdef TIRASO_WINDOW_MODULE
#include <dlfcn.h>
#include <unistd.h>

#include <string>

namespace {

// The folder of the running executable, found without Qt's application
// object (which the command line must not create): the module is looked up
// relative to it, so any install prefix works and the build tree runs as is.
std::string executableFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return {};
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/') + 1);
}

int runWindow(int argc, char* argv[])
{
    const std::string folder = executableFolder();
    // Installed: under the library folder. Built: beside the executable.
    // Without the executable's own folder only the library folder chosen at
    // install time is left: a relative name would be looked up in the
    // current folder or the loader's search path, where anybody may have
    // put a module of that name.
    std::string candidates[] = {TIRASO_WINDOW_MODULE_INSTALLED, TIRASO_WINDOW_MODULE};
    if (folder.empty())
        candidates[0] = TIRASO_WINDOW_MODULE_ABSOLUTE;
    std::string failures;
    for (std::string& candidate : candidates) {
        if (candidate.front() != '/') {
            if (folder.empty())
                continue;
            candidate.insert(0, folder);
        }
        // Never closed: the window's libraries stay until the process exits.
        // RTLD_LAZY: the module binds its own symbols at load anyway (-z now),
        // and Qt's libraries then bind only the functions the window calls,
        // not every one they import.
        void* module = dlopen(candidate.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module) {
            const char* error = dlerror();
            failures += std::string(failures.empty() ? "" : "; ") + (error ? error : candidate.c_str());
            continue;
        }
        const auto entry = reinterpret_cast<TirasoWindowEntry>(dlsym(module, TIRASO_WINDOW_ENTRY));
        if (entry)
            return entry(argc, argv);
        const char* error = dlerror();
        failures = error ? error : TIRASO_WINDOW_ENTRY;
        break;
    }
    std::fprintf(stderr, "tiraso: Das Fenster kann nicht geladen werden: %s\n", failures.c_str());
    return 1;
}

} // namespace
#else
namespace {
int runWindow(int argc, char* argv[])
{
    return tiraso_window_main(argc, argv);
}
} // namespace
#endif

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // Under a file-size limit ("ulimit -f") a write beyond it would end the
    // process on the spot, losing the session; ignored, it fails like a full
    // disk, and the safe writes keep the old file and say so.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Scripts run without a display: no application object, no module
    // start-up, no window-system plugin for the command line.
    if (CommandLine::Wanted(argc, argv))
        return CommandLine::Main(argc, argv);
    return runWindow(argc, argv);
}
