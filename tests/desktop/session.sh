#!/usr/bin/env bash
# Runs a command on a desktop of its own: a virtual X server on a free
# display, the openbox window manager and a D-Bus session bus, on which the
# accessibility bus starts when the first program asks for it. Several runs
# (and other programs' X servers) can go on side by side.
#
#   session.sh [--accessibility] COMMAND [ARGUMENT...]
#
# With --accessibility the accessibility bus must come up and programs are
# told to talk to it. A COMMAND ending in .py runs under a Python that has the
# accessibility bindings. Exits 77, which CTest reports as a skip, when
# something the desktop needs is missing or does not start.
set -uo pipefail

skip() {
    echo "SKIP: $*" >&2
    exit 77
}

accessibility=0
if [[ ${1:-} == --accessibility ]]; then
    accessibility=1
    shift
fi

for tool in Xvfb openbox dbus-run-session dbus-send xprop; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

if [[ $1 == *.py ]]; then
    # The bindings come with the system's Python, which may not be first on PATH.
    python=""
    for candidate in /usr/bin/python3 python3; do
        if command -v "$candidate" >/dev/null && "$candidate" -c 'import gi, pyatspi' 2>/dev/null; then
            python=$candidate
            break
        fi
    done
    [[ -n $python ]] || skip "no Python with pyatspi"
    set -- "$python" "$@"
fi

scratch=$(mktemp -d)
xvfb=""
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

# The server picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [[ -s $scratch/display ]] && break
    kill -0 "$xvfb" 2>/dev/null || skip "Xvfb did not start: $(tail -n 3 "$scratch/xvfb.log")"
    sleep 0.05
done
[[ -s $scratch/display ]] || skip "Xvfb gave no display"
export DISPLAY=":$(head -n 1 "$scratch/display")"

# Programs under test draw on this desktop, whatever the caller chose.
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
if ((accessibility)); then
    # Qt's bridge otherwise waits for the desktop to switch accessibility on.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi

# Inside the session: the window manager, ready before the command runs (it
# announces itself on the root window), and the accessibility bus, which
# programs only look for and would otherwise wait for a screen reader to start.
dbus-run-session -- bash -c '
    accessibility=$1
    shift
    openbox >/dev/null 2>&1 &
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
    if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && ((accessibility)); then
        echo "SKIP: the accessibility bus does not start" >&2
        exit 77
    fi
    "$@"
    status=$?
    kill %1 2>/dev/null
    exit $status
' session "$accessibility" "$@" 2> >(grep -v -e "Failed to set fd limit" -e "Activating service" \
                                          -e "Successfully activated" -e "SpiRegistry daemon" \
                                          -e "X connection to .* broken" >&2)
