# SPDX-FileCopyrightText: 2024 Tiraso-Projekt
# SPDX-License-Identifier: GPL-3.0-or-later

# The window as a screen reader meets it on the desktop's accessibility bus
# (AT-SPI): the real program, its bridge, the bus. Run on a desktop of its own:
#   scripts/desktop-session --accessibility tests/desktop/accessibility.py PATH/TO/tiraso
# Exits 0 when every check holds, 1 when one fails, 77 (skip) without a bus.

import os
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("SKIP: no pyatspi", file=sys.stderr)
    sys.exit(77)


def wait_for(probe, timeout=10.0):
    """The first true result of probe(), or None after the timeout."""
    end = time.monotonic() + timeout
    while True:
        try:
            result = probe()
        except Exception:  # the bus may answer while the tree still changes
            result = None
        if result or time.monotonic() > end:
            return result
        time.sleep(0.1)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def do_action(node, name):
    node.queryAction().doAction(actions(node).index(name))


def pressable(app, text):
    return [n for n in walk(app) if text in n.name and "Press" in actions(n) and n.getRoleName() == "push button"]


def key(*names):
    subprocess.run(["xdotool", "key", *names], check=False, timeout=5)


failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)


def run(app):
    # Five editors told apart by their names, each with its input as value and text.
    spins = {n.name: n for n in walk(app) if n.getRoleName() == "spin button"}
    check(sorted(spins) == ["X", "x1", "x2", "y1", "y2"], f"five named spin buttons: {sorted(spins)}")
    for name, value, text in [("X", 0.33, "0,330"), ("x1", 0.0, "0,000"), ("x2", 1.0, "1,000"),
                              ("y1", 0.0, "0,000"), ("y2", 1.0, "1,000")]:
        if name in spins:
            shown = (spins[name].queryValue().currentValue, spins[name].queryText().getText(0, -1))
            check(shown == (value, text), f"spin button {name}: {(value, text)} (has {shown})")

    for text in ["0,330", "0,670", "1,000", "100,000%", "H=1,000"]:
        check(bool(pressable(app, text)), f"{text!r} announced by a push button")

    # The copy button, found by what it does, copies the value at X.
    copy = [n for n in walk(app) if n.name == "Wert kopieren" and n.getRoleName() == "push button"]
    check(len(copy) == 1, "one push button 'Wert kopieren'")
    if copy:
        do_action(copy[0], "Press")
        clip = ["xclip", "-o", "-selection", "clipboard"]
        copied = wait_for(lambda: subprocess.run(clip, capture_output=True, text=True, timeout=5).stdout == "0,330")
        check(bool(copied), "pressing it puts '0,330' on the clipboard")

    # The percent switch: checked, and toggling it shows the slope in degrees.
    box = [n for n in walk(app) if n.getRoleName() == "check box" and n.name == "Neigung in Prozent"]
    check(len(box) == 1, "one check box 'Neigung in Prozent'")
    if box:
        check(box[0].getState().contains(pyatspi.STATE_CHECKED), "it reports checked")
        do_action(box[0], "Toggle")
        check(bool(wait_for(lambda: pressable(app, "45,000°"))), "toggling it switches the slope to '45,000°'")

    # The menu key opens the window's menu from an editor too, where the
    # desktop would bring up the edit's own menu. After the toggle above the
    # menu's "Rückgängig" is enabled and "Wiederholen" is not (the menu skips
    # it), so the second item down asks for the decimals. (Open menus are not
    # in the tree; the prompt window is.)
    key("Menu")
    time.sleep(0.3)
    key("Down", "Down", "Return")
    prompt = wait_for(lambda: [w for w in app if w is not None and w.name == "Neuer Wert"])
    check(bool(prompt), "the menu key opens the window's menu")
    if prompt:
        key("Escape")


def main():
    env = dict(os.environ, XDG_DATA_HOME=tempfile.mkdtemp(prefix="tiraso-desktop-"),
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([sys.argv[1]], env=env)
    try:
        def application():
            return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "tiraso"), None)
        app = wait_for(application, timeout=20)
        if app is None:
            print("SKIP: the program never showed up on the accessibility bus", file=sys.stderr)
            return 77
        wait_for(lambda: pressable(app, "H=1,000"))  # the results are filled in
        run(app)
    finally:
        process.terminate()
        process.wait(timeout=10)
    return 1 if failures else 0


sys.exit(main())
