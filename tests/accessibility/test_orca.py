#!/usr/bin/python3
"""The real Tavrelon window heard through Orca, with the keyboard alone.

Starts the accessibility bus and Orca (its debug log as the record of what it says), then the
program; gives its window the focus once and walks it with keys from xdotool: into the
options, Space, Down, into the list, Space, Down, Shift+Tab back to the options, Up, and into
the list again, Down. Each key is one step. After the last, Orca is stopped and its log read:
every step must have said the focused control's name, every choice the new report once (as the
school, then "Представители:" and the names), and no step may say anything twice.

Run it inside a session bus on an X display (run-orca-test sets up both and Orca's files):
    test_orca.py BINARY EXPECTED_REPORTS_HEADER WORK_FOLDER
"""

import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

from test_accessibility import (BOX_NAME, GROUP_NAME, LIST_NAME, WINDOW_TITLE, Failure, Program,
                                check, expected_data, has_state, read_form, run, wait_for)

# Generous: a loaded two-core machine runs Orca and the program at a crawl.
START_SECONDS = 60
STEP_SECONDS = 30
# Orca writes its debug log all through its work; this long without a new byte, it is idle.
QUIET_SECONDS = 1.0
MODIFIERS = ("Shift", "Control", "Alt", "Meta", "Super", "ISO_Level")


class Orca:
    def __init__(self, work):
        self.log = os.path.join(work, "orca.log")
        self.process = subprocess.Popen(
            ["orca", "-u", os.path.join(work, "orca"), f"--debug-file={self.log}"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_until_listening(self):
        def listening():
            if self.process.poll() is not None:
                raise SystemExit(f"FAIL: Orca exited with status {self.process.returncode}")
            return any(app is not None and app.name == "orca"
                       for app in pyatspi.Registry.getDesktop(0))
        wait_for(listening, "Orca to appear on the accessibility bus", START_SECONDS)

    def wait_until_idle(self):
        """Until the log stops growing: Orca has dealt with every event so far."""
        deadline = time.monotonic() + STEP_SECONDS
        size, since = -1, time.monotonic()
        while time.monotonic() < deadline:
            now = os.path.getsize(self.log) if os.path.exists(self.log) else 0
            if now != size:
                size, since = now, time.monotonic()
            elif time.monotonic() - since >= QUIET_SECONDS:
                return
            time.sleep(0.1)
        raise Failure(f"Orca was still busy after {STEP_SECONDS} s")

    def stop(self):
        """Orca writes the end of its log as it leaves, which it does at the next key."""
        self.process.send_signal(signal.SIGTERM)
        deadline = time.monotonic() + STEP_SECONDS
        while self.process.poll() is None and time.monotonic() < deadline:
            subprocess.run(["xdotool", "key", "shift"], check=False)
            time.sleep(1)
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            raise Failure("Orca did not stop on SIGTERM")

    def steps(self):
        """What Orca said after each key press, in order: [(key, [utterance, ...]), ...]."""
        steps = [("start", [])]
        pressed = False
        with open(self.log, encoding="utf-8", errors="replace") as log:
            for line in log:
                if "type=ATSPI_KEY_PRESSED_EVENT" in line:
                    pressed = True
                elif pressed and ("event_string=" in line or "keyval_name=" in line):
                    # Orca 43 names the key as event_string=(Tab), Orca 48 as keyval_name='Tab'.
                    key = re.search(r"(?:event_string=\(|keyval_name=')([^)']*)", line).group(1)
                    # A modifier is part of the step of the key it modifies.
                    if not key.startswith(MODIFIERS):
                        steps.append((key, []))
                    pressed = False
                else:
                    # Orca's echo of the key itself is no utterance: Orca 43 logs it with a
                    # blank before its voice, Orca 48 with a voice that names no family.
                    said = re.search(
                        r"SPEECH OUTPUT: '(.*)'(?:\{|$| \{'established': \w+, 'family')", line)
                    if said:
                        steps[-1][1].append(said.group(1))
        return steps


def press(keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", keys], check=True)
    print(f"# pressed {keys}", flush=True)


def orca_version():
    """Orca's major version: 43 on Debian 12, 48 on Debian 13."""
    said = subprocess.run(["orca", "--version"], capture_output=True, text=True).stdout
    match = re.search(r"(\d+)\.", said)
    return int(match.group(1)) if match else 0


def main():
    binary, form_data, work = sys.argv[1:4]
    # Orca 43 says the options' group once, as the focus enters it. Orca 48 presents an option
    # with its group's name every time, beside the group it enters: twice on entering, once
    # with each arrow key. That is Orca's own way with radio buttons, which the window cannot
    # change; what the window does not add stays checked.
    group_said = 1 if orca_version() < 48 else 2
    program_errors = os.path.join(work, "program.err")
    reports, school_of_row = expected_data(form_data)
    form = read_form(form_data)
    spoken_reports, captions = form["announcements"], form["captions"]
    started = time.monotonic()

    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    orca = Orca(work)
    try:
        orca.wait_until_listening()
        print(f"# Orca listens after {time.monotonic() - started:.1f} s", flush=True)
        with open(program_errors, "w") as errors, Program(binary, stderr=errors) as program:
            program.wait_for_window()
            # No window manager: give the window the focus once; keys only from here on.
            window = subprocess.run(
                ["xdotool", "search", "--sync", "--onlyvisible", "--name", "Tavrelon"],
                check=True, capture_output=True, text=True).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
            frame = program.frame
            wait_for(lambda: has_state(frame, pyatspi.STATE_ACTIVE), "the window to be active",
                     STEP_SECONDS)
            orca.wait_until_idle()

            def focused(role, name):
                def probe():
                    found = pyatspi.findAllDescendants(
                        frame, lambda a: has_state(a, pyatspi.STATE_FOCUSED))
                    return any(a.getRole() == role and a.name == name for a in found)
                return probe

            def reported(school):
                box = pyatspi.findDescendant(
                    frame, lambda a: a.getRole() == pyatspi.ROLE_TEXT and a.name == BOX_NAME)
                text = box.queryText()
                return lambda: text.getText(0, -1).startswith(reports[school].split("\r\n")[0])

            # key, what the program must show before Orca is given time, the name to hear,
            # the report to hear (a school) or None.
            radio, item = pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_LIST_ITEM
            names = [a.name for a in pyatspi.findAllDescendants(
                frame, lambda a: a.getRole() == item)]
            steps = [
                ("Tab", [focused(radio, captions[0])], captions[0], None),
                ("space", [reported(0)], None, 0),
                ("Down", [focused(radio, captions[1]), reported(1)], captions[1], 1),
                ("Tab", [focused(pyatspi.ROLE_LIST, LIST_NAME)], LIST_NAME, None),
                ("space", [focused(item, names[0]), reported(school_of_row[0])], names[0],
                 school_of_row[0]),
                ("Down", [focused(item, names[1]), reported(school_of_row[1])], names[1],
                 school_of_row[1]),
                ("shift+Tab", [focused(radio, captions[school_of_row[1]])],
                 captions[school_of_row[1]], None),
                ("Up", [focused(radio, captions[1]), reported(1)], captions[1], 1),
                ("Tab", [focused(pyatspi.ROLE_LIST, LIST_NAME)], LIST_NAME, None),
                ("Down", [focused(item, names[2]), reported(school_of_row[2])], names[2],
                 school_of_row[2]),
            ]
            for keys, conditions, _, _ in steps:
                press(keys)
                for condition in conditions:
                    wait_for(condition, f"the program to follow {keys}", STEP_SECONDS)
                orca.wait_until_idle()
        orca.stop()
    finally:
        if orca.process.poll() is None:
            orca.process.kill()
        launcher.terminate()
        launcher.wait()

    heard = orca.steps()
    check(len(heard) == len(steps) + 1,
          f"Orca's log has the {len(steps)} key presses: {[k for k, _ in heard[1:]]}")
    said_at_start = heard[0][1]
    heard = heard[1:]
    check(any(WINDOW_TITLE in u for u in said_at_start),
          f"at start Orca says the window's title {WINDOW_TITLE!r}")
    check(any(BOX_NAME in u for u in said_at_start), f"and the box's name {BOX_NAME!r}")
    for (keys, _, name, school), (_, said) in zip(steps, heard):
        print(f"# {keys}: {said}", flush=True)
        if name is not None:
            check(any(name in u and not u.startswith("известяване") for u in said),
                  f"{keys}: the focused control's name {name!r} is spoken")
        if school is not None:
            check(len([u for u in said if spoken_reports[school] in u]) == 1,
                  f"{keys}: the report of {captions[school]!r} is spoken once, as "
                  f"{spoken_reports[school][:50]!r}...")
        else:
            check(not any("Представители:" in u and ", " in u for u in said),
                  f"{keys}: no report is spoken")
        repeated = sorted({u for u in said if said.count(u) > 1})
        check(not repeated, f"{keys}: nothing is said twice {repeated if repeated else ''}")
        check(sum(GROUP_NAME in u for u in said) <= group_said,
              f"{keys}: the group's name at most {group_said} time(s)")
    # Under the sanitizers a fault is a report on the program's standard error.
    with open(program_errors, encoding="utf-8", errors="replace") as errors:
        warnings = [line.strip() for line in errors
                    if "QTextCursor" in line or "Sanitizer" in line or "runtime error" in line]
    check(not warnings, f"the program warned of no text position and no fault {warnings}")
    print(f"# {check.passed} checks passed in {time.monotonic() - started:.1f} s", flush=True)


if __name__ == "__main__":
    run(main)
