# The window as a screen reader meets it on the desktop's accessibility bus
# (AT-SPI): the real program, its real bridge, the real bus. Run through
# session.sh, which provides the desktop:
#
#   session.sh accessibility.py PATH/TO/tiraso
#
# Exit 0 when every check holds, 1 when one fails, 77 (skip) when there is no
# bus to check on.

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

TIMEOUT = 10.0


def wait_for(what, probe, timeout=TIMEOUT):
    """The first true result of probe(), or None after the timeout."""
    end = time.monotonic() + timeout
    while True:
        try:
            result = probe()
        except Exception:  # the bus answers while the tree is still changing
            result = None
        if result or time.monotonic() > end:
            return result
        time.sleep(0.1)


def find_application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


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
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            return action.doAction(i)
    raise AssertionError(f"{node.name!r} has no action {name!r}, only {actions(node)}")


def role(node):
    return node.getRoleName()


def clipboard():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True, timeout=5)
    return result.stdout if result.returncode == 0 else None


failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)


def spin_buttons(app):
    return [n for n in walk(app) if role(n) == "spin button"]


def clickable_named(app, text):
    """Objects that announce `text` in their name and can be pressed."""
    return [n for n in walk(app) if text in n.name and "Press" in actions(n)]


def main():
    program = sys.argv[1]
    data = tempfile.mkdtemp(prefix="tiraso-desktop-")
    env = dict(os.environ, XDG_DATA_HOME=data, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([program], env=env)
    try:
        app = wait_for("the program on the bus", lambda: find_application("tiraso"), timeout=20)
        if app is None:
            print("SKIP: the program never showed up on the accessibility bus", file=sys.stderr)
            return 77
        # The window's description is complete once the last result has its name.
        wait_for("results", lambda: clickable_named(app, "H=1,000"))

        # Five editors, told apart by their names, each with its input.
        spins = {n.name: n for n in spin_buttons(app)}
        check(sorted(spins) == sorted(["X", "x1", "x2", "y1", "y2"]), f"five named spin buttons: {sorted(spins)}")
        expected = {"X": (0.33, "0,330"), "x1": (0.0, "0,000"), "x2": (1.0, "1,000"),
                    "y1": (0.0, "0,000"), "y2": (1.0, "1,000")}
        for name, (value, text) in expected.items():
            if name not in spins:
                continue
            node = spins[name]
            shown = node.queryText().getText(0, -1)
            check(abs(node.queryValue().currentValue - value) < 1e-12 and shown == text,
                  f"spin button {name} holds {value} shown as {text} (has {node.queryValue().currentValue}, {shown!r})")

        # Every result is read out by something that can be pressed.
        for text in ["0,330", "0,670", "1,000", "100,000%", "H=1,000"]:
            found = clickable_named(app, text)
            check(found and all(role(n) == "push button" for n in found), f"{text!r} announced by a push button")

        # The copy button, found by what it does, copies the value at X.
        copy = [n for n in walk(app) if n.name == "Wert kopieren" and role(n) == "push button"]
        check(len(copy) == 1, "one push button named 'Wert kopieren'")
        if copy:
            do_action(copy[0], "Press")
            copied = wait_for("clipboard", lambda: clipboard() == "0,330")
            check(bool(copied), f"pressing it puts '0,330' on the clipboard (has {clipboard()!r})")

        # The percent switch: checked, and toggling it shows the slope in degrees.
        box = [n for n in walk(app) if role(n) == "check box"]
        check(len(box) == 1 and box[0].name == "Neigung in Prozent", "one check box, 'Neigung in Prozent'")
        if box:
            check(box[0].getState().contains(pyatspi.STATE_CHECKED), "the check box reports checked")
            do_action(box[0], "Toggle")
            degrees = wait_for("slope in degrees", lambda: clickable_named(app, "45,000°"))
            check(bool(degrees), "toggling it switches the slope to '45,000°'")
            check(not box[0].getState().contains(pyatspi.STATE_CHECKED), "the check box reports unchecked")

        # The menu key opens the window's menu even from an editor, whose own
        # edit menu the desktop would otherwise bring up: its first item then
        # asks for the decimal places. (Open menus are not part of the tree;
        # the prompt, a window of its own, is.)
        subprocess.run(["xdotool", "key", "Menu"], check=False, timeout=5)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "Down", "Return"], check=False, timeout=5)
        prompt = wait_for("prompt", lambda: [w for w in app if w is not None and w.name == "Neuer Wert"])
        check(bool(prompt), "the menu key opens the window's menu, whose first item asks for the decimals")
        if prompt:
            subprocess.run(["xdotool", "key", "Escape"], check=False, timeout=5)
    finally:
        process.terminate()
        process.wait(timeout=10)

    if failures:
        print(f"{len(failures)} check(s) failed", file=sys.stderr)
        return 1
    return 0


sys.exit(main())
