#!/usr/bin/python3
"""The chart and the boxes over AT-SPI, as a screen reader reads them.

    chart_a11y_test.py TOLVANE SHOTS_DIR RESPONDER

Started by chart_a11y_test.sh on a virtual X display and a private session
bus, inside the test bed. Two runs: five loopback samples one second apart,
read while they come in (the selection going along with them) and after,
with the selection moved by keys; then
two samples to the bed's scripted host, the first lost, which shrink the
list and name the lost row. Prints the accessible tree after each run. Every wait is bounded.
"""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM, SHOTS, RESPONDER = sys.argv[1:4]
SCRIPTED_HOST = "10.77.3.100"
# Where the window's layout puts its buttons, in pixels from its top left.
PING_BUTTON = (264, 284)
EXIT_BUTTON = (556, 308)


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


events = []


def on_event(event):
    try:
        events.append((event.type, event.source.name, event.source.getRoleName(), event.detail1))
    except Exception:  # the source may be gone already
        events.append((event.type, None, None, event.detail1))


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def until(seconds, condition):
    """Pumps the bus until condition() is true; its last value."""
    end = time.monotonic() + seconds
    while True:
        pump(0.05)
        try:
            value = condition()
        except Exception:  # an object that went while we read it
            value = None
        if value or time.monotonic() >= end:
            return value


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def keys(*names):
    for name in names:
        xdotool("key", "--delay", "50", name)
        pump(0.1)


def click(window, at):
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], check=True,
                              capture_output=True, text=True).stdout
    place = dict(line.split("=", 1) for line in geometry.split())
    xdotool("mousemove", str(int(place["X"]) + at[0]), str(int(place["Y"]) + at[1]), "click", "1")


def has(accessible, state):
    return accessible.getState().contains(state)


def rows(chart):
    return [chart.getChildAtIndex(i) for i in range(chart.childCount)]


def names(chart):
    return [row.name for row in rows(chart)]


def selected(chart):
    return [i for i, row in enumerate(rows(chart)) if has(row, pyatspi.STATE_SELECTED)]


def dump(accessible, depth=0):
    shown = [pyatspi.STATE_FOCUSED, pyatspi.STATE_SELECTED]
    states = [pyatspi.stateToString(s) for s in shown if has(accessible, s)]
    line = f"{'  ' * depth}{accessible.getRoleName()} name={accessible.name!r}"
    if accessible.description:
        line += f" description={accessible.description!r}"
    if states:
        line += f" [{' '.join(states)}]"
    print(line, flush=True)
    for child in accessible:
        dump(child, depth + 1)


def popup_menu():
    """The program's shown popup: (left, top) of an override-redirect window."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        if not re.search(r'\("tolvane" "[Tt]olvane"\)', line):
            continue
        info = subprocess.run(["xwininfo", "-id", line.split()[0]], capture_output=True, text=True).stdout
        if "Map State: IsViewable" in info and "Override Redirect State: yes" in info:
            left = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
            top = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
            return (left, top)
    return None


def find_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == "Tolvane":
                return window
    return None


def main():
    pyatspi.Registry.registerEventListener(
        on_event, "object:state-changed:selected", "object:state-changed:focused",
        "object:property-change:accessible-name", "object:property-change:accessible-description",
        "object:children-changed", "focus:")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    log = open(os.path.join(SHOTS, "chart-a11y.log"), "w")
    program = subprocess.Popen([PROGRAM, "127.0.0.1", "5", "1"], env=env, stdout=log, stderr=log)
    try:
        window = until(15, find_window)
        check(window is not None, "no window named Tolvane over AT-SPI")
        x_window = until(5, lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tolvane$"],
                                                   capture_output=True, text=True).stdout.split())[0]
        chart = pyatspi.findDescendant(window, lambda a: a.getRole() == pyatspi.ROLE_LIST)
        check(chart is not None, "no list in the window")
        check(chart.name == "Latency chart", f"chart named {chart.name!r}")
        check(chart.description == "no run yet", f"chart described as {chart.description!r}")
        check(names(chart) == [f"R{i}: no sample" for i in range(1, 6)], f"rows before a run: {names(chart)}")

        # The boxes, named by their labels, hold what the command line gave.
        boxes = pyatspi.findAllDescendants(
            window, lambda a: a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
        read = sorted((box.name, box.queryText().getText(0, -1)) for box in boxes)
        check(read == [("How many times?", "5"), ("IP:", "127.0.0.1"), ("Int in Sec.", "1")],
              f"boxes read {read}")

        # During the run: some rows sampled, the rest not yet.
        click(x_window, PING_BUTTON)
        sample = re.compile(r"^(\d) s: \d+ ms$")

        def partly_sampled():
            now = names(chart)
            done = [n for n in now if sample.match(n)]
            return now if len(now) == 5 and 1 <= len(done) < 5 else None
        during = until(10, partly_sampled)
        check(during, f"never saw the run half done: {names(chart)}")
        done = sum(1 for n in during if sample.match(n))
        for i, name in enumerate(during):
            want = sample.match(name).group(1) == str(i + 1) if i < done else name == f"row {i + 1}: not sampled yet"
            check(want, f"row {i + 1} read {name!r} during the run: {during}")
        print(f"during the run: {during}", flush=True)
        # Back to the chart (Ping, the host box, the chart), nothing selected
        # yet: each new sample takes the selection along, and is spoken.
        keys("shift+Tab", "shift+Tab")
        followed = until(5, lambda: [i for i in selected(chart) if i >= 1])
        check(followed, f"no sample took the selection: {selected(chart)}")
        name = names(chart)[followed[0]]
        check(sample.match(name) and has(rows(chart)[followed[0]], pyatspi.STATE_FOCUSED), f"followed to {name!r}")
        check(until(2, lambda: ("focus:", name, "list item", 0) in events), f"{name!r} was not announced: {events}")
        # One back: the rest of the run leaves the user there.
        keys("Left")
        back = until(3, lambda: selected(chart))
        after = until(10, lambda: all(sample.match(n) for n in names(chart)) and names(chart))
        check(after, f"the run did not complete: {names(chart)}")
        check([sample.match(n).group(1) for n in after] == ["1", "2", "3", "4", "5"], f"rows after: {after}")
        check(chart.description == "127.0.0.1", f"chart described as {chart.description!r}")
        pump(0.5)
        check(back and back[0] < 4 and selected(chart) == back, f"went back to {back}, now on {selected(chart)}")
        check(has(rows(chart)[back[0]], pyatspi.STATE_FOCUSED), "the selected row is not focused")
        renamed = {name for kind, name, role, _ in events
                   if kind == "object:property-change:accessible-name" and role == "list item"}
        check(set(after) <= renamed, f"rows whose new names were announced: {sorted(renamed)}")

        # Keys move the selection; each row says so, and is announced.
        for key, want in [("End", 4), ("Left", 3), ("Home", 0), ("Left", 0), ("Right", 1), ("End", 4)]:
            del events[:]
            keys(key)
            check(until(3, lambda: selected(chart) == [want]), f"{key}: selected {selected(chart)}, not {want}")
            row = rows(chart)[want]
            check(has(row, pyatspi.STATE_FOCUSED) and row.name == after[want], f"{key}: row {want} reads {row.name!r}")
            if key != "Left" or want != 0:  # Left on the first row moves nothing
                for event in [("object:state-changed:selected", 1), ("focus:", 0)]:
                    check(until(2, lambda: (event[0], after[want], "list item", event[1]) in events),
                          f"{key}: no {event[0]} event for {after[want]!r}: {events}")
        print("after the run:", flush=True)
        dump(window)

        pump(0.3)
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, "chart-selected.png")], check=True)
        print(f"screenshot: {os.path.join(SHOTS, 'chart-selected.png')}", flush=True)

        # Shift+F10 and the menu key open the chart's menu at the selected row.
        extents = rows(chart)[4].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        for key in ["shift+F10", "Menu"]:
            keys(key)
            menu = until(5, popup_menu)
            check(menu is not None, f"{key} opened no menu")
            check(extents.x <= menu[0] < extents.x + extents.width and extents.y <= menu[1] < extents.y + extents.height,
                  f"{key}: menu at {menu}, the row at {extents.x},{extents.y} {extents.width}x{extents.height}")
            if key == "Menu":
                subprocess.run(["import", "-window", "root", os.path.join(SHOTS, "chart-menu.png")], check=True)
            keys("Escape")
            check(until(5, lambda: popup_menu() is None), f"{key}: Escape left the menu open")

        # The same run again (host and count as they were): every row starts
        # over, and says so at once, well before the first sample (1 s).
        del events[:]
        click(x_window, PING_BUTTON)
        check(until(0.6, lambda: any(kind == "object:property-change:accessible-name" and role == "list item"
                                     for kind, _, role, _ in events)), f"the new run was not announced: {events}")
        check(names(chart)[4] == "row 5: not sampled yet", f"the new run's last row reads {names(chart)[4]!r}")
        keys("shift+Tab", "shift+Tab")  # from "Ping" back to the chart

        # A shorter run to the scripted host, which answers the press's probe,
        # drops the first sample and answers the second: the selection is
        # pulled in from row 5 to row 2, the description is the new host.
        script = subprocess.run([RESPONDER, "--control", "script 1 x 3"], capture_output=True, text=True)
        check(script.stdout.strip() == "ok", f"the responder's script: {script.stdout}{script.stderr}")
        del events[:]
        keys("Tab", "ctrl+a")
        xdotool("type", "--delay", "30", SCRIPTED_HOST)
        keys("Tab", "Tab", "Tab", "ctrl+a", "2", "Tab", "ctrl+a", "0", "period", "5",
             "shift+Tab", "shift+Tab", "shift+Tab", "space", "shift+Tab", "shift+Tab")
        second = re.compile(r"^\.5 s: no reply \(11010 ip req timed out\)\n1 s: \d+ ms$")
        check(until(10, lambda: second.match("\n".join(names(chart)))), f"the scripted run reads {names(chart)}")
        check(chart.description == SCRIPTED_HOST, f"chart described as {chart.description!r}")
        check(selected(chart) == [1] and has(rows(chart)[1], pyatspi.STATE_FOCUSED),
              f"after the shorter run: selected {selected(chart)}")
        check(any(kind.startswith("object:children-changed") for kind, _, _, _ in events),
              "the new run's rows were not announced")
        check(any(kind == "object:property-change:accessible-description" for kind, _, _, _ in events),
              "the new host was not announced")
        print("after the scripted host's run:", flush=True)
        dump(window)

        click(x_window, EXIT_BUTTON)
        check(program.wait(10) == 0, f"the program ended with {program.returncode}")
        print("1 passed, 0 failed")
        return 0
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, "chart-a11y-failed.png")])
        return 1
    finally:
        if program.poll() is None:
            program.terminate()
            try:
                program.wait(5)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()
        log.close()


if __name__ == "__main__":
    sys.exit(main())
