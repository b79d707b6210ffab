#!/usr/bin/python3
"""Clicks the real window natively on Wayland and reads what it reports through AT-SPI.

Runs inside weston's X11 backend on a virtual X server (run-wayland-input-test sets that up,
with a private session bus): xdotool clicks into weston's X window, weston passes the clicks
on to the program as Wayland input, and the result box is read back through AT-SPI, as in
the accessibility test. Also clicks the maximise button of the title bar Qt draws: the
window must keep its size, its place in the scene graph and its unmaximised title bar.

    test_wayland_input.py BINARY EXPECTED_REPORTS_HEADER WESTON_X_WINDOW WORK_FOLDER
"""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accessibility"))

import pyatspi  # noqa: E402
import test_accessibility as ax  # noqa: E402
from test_accessibility import Failure, check, passed, run, wait_for  # noqa: E402

NUMBER = r"(-?\d+)"
POINT = rf"\({NUMBER}, {NUMBER}\)"


def scene_view(pid):
    """The program's top-level view in weston's scene graph: the whole surface with Qt's title
    bar, and the opaque client area, each as (x1, y1, x2, y2)."""
    scene = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True,
                           timeout=5).stdout
    match = re.search(rf"PID {pid}, [^\n]*top-level window[^\n]*\n\s*position: {POINT} -> "
                      rf"{POINT}\n\s*\[opaque: {POINT} -> {POINT}\]", scene)
    if not match:
        view = re.search(rf"PID {pid}, [^\n]*top-level window[^\n]*\n[^\n]*\n[^\n]*", scene)
        print(f"# not yet in the scene graph as a window: {view.group(0) if view else None!r}", flush=True)
        return None
    numbers = [int(n) for n in match.groups()]
    return tuple(numbers[:4]), tuple(numbers[4:])


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


class Pointer:
    """Clicks at points of the window through weston's X window, whose pixels are weston's
    output pixels (one output at 0, 0, scale 1)."""

    def __init__(self, weston_window, frame):
        self.weston_window = weston_window
        self.frame = frame

    def away(self):
        # Out of weston's window: weston takes the pointer's first position from an enter.
        xdotool("mousemove", "--screen", "0", "1200", "1000")

    def park(self):
        # Weston draws the pointer into its output: a corner of the desktop, away from the window.
        xdotool("mousemove", "--window", self.weston_window, "795", "595")

    def click_at(self, x, y):
        """Moves onto the point, rests there as a hand does, and clicks. Weston 14 pings the
        program as the pointer enters its window and passes on no press that comes at once:
        with a jump and a click at the same instant, WAYLAND_DEBUG shows the program given the
        pointer's entry and the ping, and never the press (weston 10 passed it on)."""
        self.away()
        xdotool("mousemove", "--window", self.weston_window, str(x), str(y))
        time.sleep(1.0)
        xdotool("click", "1")
        print(f"# clicked at ({x}, {y})", flush=True)

    def click(self, accessible, client):
        """A click in the middle of the object; AT-SPI gives its place within the window."""
        window = self.frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.click_at(client[0] + extents.x - window.x + extents.width // 2,
                      client[1] + extents.y - window.y + extents.height // 2)


def grab(display_work, name, box):
    """The pixels of box (x1, y1, x2, y2) of the X screen, as a PNG file."""
    path = os.path.join(display_work, name)
    x1, y1, x2, y2 = box
    subprocess.run(["import", "-window", "root", "-crop", f"{x2 - x1}x{y2 - y1}+{x1}+{y1}",
                    "+repage", path], check=True)
    return path


def same_shape(first, second):
    """The same picture but for shades: the title bar's gradient moves by a step or two of grey
    as the window gains and loses the focus."""
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "20%", first, second, "null:"],
                            capture_output=True, text=True)
    return result.stderr.strip() == "0"


def clicks_choose(window, pointer, client):
    # The first name, in view at the top of the list, and before it another school, so that
    # its report cannot pass for the name's.
    row = 0
    school = next(s for s in range(3) if s != window.school_of_row[row])
    pointer.click(window.options[school], client)
    wait_for(window.shows(school), f"the report of {window.captions[school]!r}")
    passed(f"a click on {window.captions[school]!r} checks it and the box reads its report")

    school = window.school_of_row[row]
    pointer.click(window.items[row], client)
    wait_for(lambda: window.table.isRowSelected(row) and window.shows(school)(),
             f"row {row} to be chosen and its school reported")
    passed(f"a click on {window.items[row].name!r} chooses it and the box reads the report of "
           f"{window.captions[school]!r}")


def maximise_is_refused(program, pointer, work):
    surface, client = program_view(program)
    # Qt 6.4's title bar: close, maximise and minimise buttons of 18 px, 5 px apart, 8 px from
    # the right edge inside the 3 px border, centred in the 30 px bar.
    x1, y1, x2, _ = surface
    button = (x2 - 3 - 8 - 18 - 5 - 18, y1 + 6, x2 - 3 - 8 - 18 - 5, y1 + 24)
    pointer.park()
    time.sleep(0.3)
    before = grab(work, "maximise-before.png", button)
    pointer.click_at((button[0] + button[2]) // 2, (button[1] + button[3]) // 2)
    time.sleep(1.0)
    pointer.park()
    time.sleep(0.3)
    surface_after, client_after = program_view(program)
    check(surface_after == surface and client_after == client,
          f"after a click on maximise the window is still at {surface} with its client area "
          f"{client[2] - client[0]}x{client[3] - client[1]} at {client[:2]}")
    button_after = (surface_after[2] - 3 - 8 - 18 - 5 - 18, surface_after[1] + 6,
                    surface_after[2] - 3 - 8 - 18 - 5, surface_after[1] + 24)
    after = grab(work, "maximise-after.png", button_after)
    check(same_shape(before, after), "the maximise button did not turn into restore")


def program_view(program):
    if program.process.poll() is not None:
        with open(program.stderr_path) as said:
            raise Failure(f"the program ended with status {program.process.returncode}: "
                          f"{said.read().strip()!r}")
    return wait_for(lambda: scene_view(program.process.pid),
                    "the window in weston's scene graph")


def main():
    binary, form_data, weston_window, work = sys.argv[1:5]
    reports, school_of_row = ax.expected_data(form_data)
    stderr_path = os.path.join(work, "program-stderr")
    with open(stderr_path, "w+") as stderr, ax.Program(binary, "wayland", stderr) as program:
        program.stderr_path = stderr_path
        program.wait_for_window()
        surface, client = program_view(program)
        check(client[2] - client[0] == 482 and client[3] - client[1] == 287,
              f"on Wayland: the client area is 482x287 at {client[:2]} in a surface at "
              f"{surface[:2]}")
        window = ax.Window(program.frame, reports, school_of_row)
        pointer = Pointer(weston_window, program.frame)
        clicks_choose(window, pointer, client)
        maximise_is_refused(program, pointer, work)
        stderr.seek(0)
        said = stderr.read()
        check(not said, f"the program wrote nothing to stderr{': ' + said if said else ''}")
    print(f"# {check.passed} checks passed", flush=True)


if __name__ == "__main__":
    run(main)
