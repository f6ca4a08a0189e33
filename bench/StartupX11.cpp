// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The programs are measured unchanged, from outside: this process is one more
// client of the X server and watches two things there.
//
// Map: SubstructureNotify on the root window reports the MapNotify of every
// top-level window. Without a window manager nothing redirects or reparents
// the map, so the server sends it while it processes the program's MapWindow.
//
// Paint: a DAMAGE object on the root window, made before any program starts.
// Windows that nobody redirects draw straight into the screen's pixmap, and
// the server reports drawing to a window to the damage objects of all its
// ancestors, so the root's object sees the program's first drawing (its
// backing store's PutImage or ShmPutImage after the first expose) without
// the race a damage object made on the new window would run against it.
// Qt's windows have no background, so mapping draws nothing by itself; a
// rectangle counts only when it falls inside the mapped window.
//
// Both are timed when the event reaches this process, from just before the
// program is spawned. The window is checked to be the program's own by its
// _NET_WM_PID, and the program is killed right after its first paint, so that
// it leaves no files behind (Tiraso would save its last values on closing).

#include "StartupX11.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

extern char** environ;

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, Free>;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool intersects(const xcb_rectangle_t& r) const
    {
        return r.x < x + width && x < r.x + r.width && r.y < y + height && y < r.y + r.height;
    }
};

class Observer
{
public:
    ~Observer()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
    }

    // An empty message when the display serves the measurement.
    std::string open()
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return "DISPLAY is not set; bench/startup-x11 starts a private X server for this";
        int screenNumber = 0;
        m_connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_connection))
            return std::string("cannot connect to the X server at ") + display;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        m_root = screens.data->root;

        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(m_connection, &xcb_damage_id);
        if (!damage || !damage->present)
            return "the X server has no DAMAGE extension";
        m_damageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
        Reply<xcb_damage_query_version_reply_t> version(
            xcb_damage_query_version_reply(m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
        if (!version)
            return "the X server's DAMAGE extension does not answer";

        // Only one client may redirect the root's children: if this fails,
        // a window manager holds it and maps would reach it, not the server.
        const uint32_t redirect = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        if (Reply<xcb_generic_error_t> error{xcb_request_check(
                m_connection,
                xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &redirect))})
            return "a window manager runs on this display; the measurement needs a display without one";
        const uint32_t notify = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &notify);
        m_damage = xcb_generate_id(m_connection);
        xcb_damage_create(m_connection, m_damage, m_root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);

        static const char name[] = "_NET_WM_PID";
        Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr));
        if (!atom)
            return "the X server does not answer";
        m_pidAtom = atom->atom;
        settle();
        return {};
    }

    struct Times {
        double map = -1, paint = -1, cpu = -1, faults = -1;
        std::string error;
    };

    Times run(const X11Program& program, const std::vector<std::string>& environment)
    {
        const std::string& path = program.path;
        const size_t windowsBefore = topLevelCount();
        std::vector<char*> envp;
        for (const std::string& entry : environment)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const std::string& argument : program.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

        Times times;
        const double start = nowMs();
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            times.error = path + ": " + std::strerror(spawned);
            return times;
        }

        std::map<xcb_window_t, Rect> geometry;
        xcb_window_t window = XCB_NONE;
        std::optional<xcb_get_property_cookie_t> owner;
        const double deadline = start + 20000;
        int status = 0;
        while (times.paint < 0 && times.error.empty()) {
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            poll(&fd, 1, 20);
            const double arrived = nowMs();
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                const uint8_t type = event->response_type & 0x7f;
                if (type == XCB_CREATE_NOTIFY) {
                    const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
                    geometry[e->window] = {e->x, e->y, e->width + 2 * e->border_width, e->height + 2 * e->border_width};
                } else if (type == XCB_CONFIGURE_NOTIFY) {
                    const auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                    geometry[e->window] = {e->x, e->y, e->width + 2 * e->border_width, e->height + 2 * e->border_width};
                } else if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
                    const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    if (!e->override_redirect) {
                        window = e->window;
                        times.map = arrived - start;
                        owner = xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1);
                        xcb_flush(m_connection);
                    }
                } else if (type == m_damageNotify && window != XCB_NONE && times.paint < 0) {
                    const auto* e = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                    const auto known = geometry.find(window);
                    if (known == geometry.end() || known->second.intersects(e->area))
                        times.paint = arrived - start;
                }
                std::free(event);
            }
            if (times.paint >= 0)
                break;
            if (xcb_connection_has_error(m_connection))
                times.error = "the connection to the X server broke";
            else if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                times.error = path + " ended before its window was painted";
            } else if (nowMs() > deadline)
                times.error = path + " painted no window within 20 s";
        }

        if (owner) {
            Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, *owner, nullptr));
            const bool known = reply && xcb_get_property_value_length(reply.get()) == 4;
            if (times.error.empty()
                && (!known || *static_cast<uint32_t*>(xcb_get_property_value(reply.get())) != uint32_t(pid)))
                times.error = "the window measured is not this program's (no _NET_WM_PID of its own)";
        }
        if (pid != 0) {
            kill(pid, SIGKILL);
            rusage usage{};
            if (wait4(pid, &status, 0, &usage) == pid) {
                const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
                times.cpu = ms(usage.ru_utime) + ms(usage.ru_stime);
                times.faults = double(usage.ru_minflt + usage.ru_majflt);
            }
        }
        // The server destroys the program's windows once it sees the
        // connection close; the next start waits for that, and for the
        // root's repainting, so that it sees none of it.
        const double gone = nowMs() + 5000;
        while (topLevelCount() > windowsBefore && nowMs() < gone)
            usleep(1000);
        settle();
        return times;
    }

private:
    size_t topLevelCount()
    {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
        return tree ? size_t(xcb_query_tree_children_length(tree.get())) : 0;
    }

    // Everything the server did so far has been reported; drop it.
    void settle()
    {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_damage_damage_t m_damage = XCB_NONE;
    xcb_atom_t m_pidAtom = XCB_NONE;
    uint8_t m_damageNotify = 0;
};

// The harness's environment, with the programs drawing on X11 and a private,
// empty set of user folders, so that none reads or writes the user's files.
std::vector<std::string> environmentFor(const std::filesystem::path& home)
{
    static const char* const replaced[]
        = {"QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        bool keep = true;
        for (const char* name : replaced)
            keep = keep && text.compare(0, std::strlen(name) + 1, std::string(name) + "=") != 0;
        if (keep)
            environment.push_back(text);
    }
    environment.push_back("QT_QPA_PLATFORM=xcb");
    for (const char* folder : {"config", "data", "cache", "state"}) {
        std::filesystem::create_directories(home / folder);
        std::string name = folder;
        for (char& c : name)
            c = char(std::toupper(c));
        environment.push_back("XDG_" + name + "_HOME=" + (home / folder).string());
    }
    return environment;
}

} // namespace

bool MeasureOnX11(std::vector<X11Program>& programs, int runs)
{
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        std::fprintf(stderr,
                     "no D-Bus session bus: a desktop has one, so the measurement needs one too "
                     "(bench/startup-x11 starts it)\n");
        return false;
    }
    Observer observer;
    if (const std::string error = observer.open(); !error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::string scratchName = (std::filesystem::temp_directory_path() / "tiraso-startup-XXXXXX").string();
    if (!mkdtemp(scratchName.data())) {
        std::perror("mkdtemp");
        return false;
    }
    const std::filesystem::path scratch = scratchName;
    int started = 0;
    const auto once = [&](X11Program& program, bool keep) {
        const std::filesystem::path home = scratch / std::to_string(started++);
        const Observer::Times times = observer.run(program, environmentFor(home));
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
        if (!times.error.empty()) {
            std::fprintf(stderr, "%s: %s\n", program.name, times.error.c_str());
            return false;
        }
        if (keep) {
            program.map.push_back(times.map);
            program.paint.push_back(times.paint);
            program.cpu.push_back(times.cpu);
            program.faults.push_back(times.faults);
        }
        return true;
    };

    bool ok = true;
    // One warm-up each: the disk cache, and the accessibility bus that the
    // session starts on the first program's request.
    for (X11Program& program : programs)
        ok = ok && once(program, false);
    // Each round starts with another program, so none is always first after
    // the previous one's teardown.
    for (int round = 0; ok && round < runs; ++round) {
        for (size_t i = 0; ok && i < programs.size(); ++i)
            ok = once(programs[(size_t(round) + i) % programs.size()], true);
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return ok;
}
