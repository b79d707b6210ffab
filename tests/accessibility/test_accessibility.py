#!/usr/bin/python3
"""Uses the real Tavrelon window through AT-SPI only, as a screen reader would.

Starts the program with Qt's AT-SPI bridge on, finds every control by its role and name and
checks what a screen reader learns about it. Then, with key presses made by the AT-SPI
registry, walks the controls with the keyboard; chooses every school with its radio button's
action and every name through the list's Table interface or its item's action; and clicks the
chosen name again the way a screen reader's "click" does. After each choice it reads the
report back from the result box through the Text interface.

Run it inside a session bus on an X display (run-accessibility-test sets up both):
    test_accessibility.py BINARY EXPECTED_REPORTS_HEADER
"""

import json
import os
import subprocess
import sys
import time

import pyatspi

# How long any one thing may take to happen; a run takes a few seconds.
STARTUP_SECONDS = 30
STEP_SECONDS = 10

APP_NAME = "Tavrelon"


def read_form(form_data):
    """The form and the expected texts, as the build writes them (tests/form.json)."""
    with open(form_data, encoding="utf-8") as file:
        return json.load(file)


# The names the controls go by, from the form data the runner names in TAVRELON_FORM_DATA.
FORM = read_form(os.environ["TAVRELON_FORM_DATA"])
CAPTIONS = {control["id"]: control["caption"] for control in FORM["controls"]}
WINDOW_TITLE = FORM["window"]["caption"]
HEADING = CAPTIONS["Label1_0"]
BOX_NAME = FORM["accessible"]["resultBoxName"]
GROUP_NAME = CAPTIONS["Frame1"]
LIST_NAME = CAPTIONS["Label1_1"]

KEY_TAB = 0xFF09
KEY_DOWN = 0xFF54
KEY_SPACE = 0x0020


class Failure(Exception):
    pass


class Checks:
    def __init__(self):
        self.passed = 0

    def __call__(self, condition, what):
        if not condition:
            raise Failure(what)
        self.passed += 1
        print(f"ok {self.passed:3} - {what}", flush=True)


check = Checks()


def passed(what):
    """Records a check that the step before it, a search or a wait, has already made."""
    check(True, what)


def wait_for(probe, what, seconds=STEP_SECONDS):
    """Polls probe() until it returns something true; AT-SPI errors count as not yet."""
    deadline = time.monotonic() + seconds
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except Exception as error:  # the bus or the object may not be there yet
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {seconds} s waiting for {what}{detail}")
        time.sleep(0.05)


def expected_data(form_data):
    """The three reports, CR LF and all, and the school of each row of the names list, from the
    form data the build writes (tests/form.json)."""
    form = read_form(form_data)
    return form["reports"], form["schoolOfRow"]


def shown(report):
    """The box shows line breaks where the report has CR LF."""
    return report.replace("\r\n", "\n")


# Small helpers over pyatspi.


def has_state(accessible, state):
    return accessible.getState().contains(state)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def find(root, role, name):
    found = pyatspi.findAllDescendants(root, lambda a: a.getRole() == role and a.name == name)
    if len(found) != 1:
        raise Failure(f"expected one {role.value_nick} named {name!r}, found {len(found)}")
    return found[0]


def targets(accessible, relation_type):
    found = []
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == relation_type:
            found += [relation.getTarget(i) for i in range(relation.getNTargets())]
    return found


def action_names(accessible):
    action = accessible.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def activate(accessible):
    """Runs the control's own action, whatever the toolkit calls it; returns its name."""
    action = accessible.queryAction()
    for i in range(action.nActions):
        name = action.getName(i)
        if name.lower() in ("press", "click", "toggle", "activate"):
            if not action.doAction(i):
                raise Failure(f"{name!r} on {accessible.name!r} was refused")
            return name
    raise Failure(f"{accessible.name!r} has no press, click or toggle action: "
                  f"{action_names(accessible)}")


def centre(accessible):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def click(accessible):
    """A real left click in the middle of the object, as a screen reader's click command."""
    pyatspi.Registry.generateMouseEvent(*centre(accessible), pyatspi.MOUSE_B1C)


def press(keysym, name):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
    print(f"# pressed {name}", flush=True)


class Program:
    """The real program, started with its AT-SPI bridge on, and its window as AT-SPI shows it."""

    def __init__(self, binary, platform="xcb", stderr=None):
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM=platform)
        self.process = subprocess.Popen([binary], env=environment, stderr=stderr)
        self.app = None
        self.frame = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.process.terminate()
        try:
            self.process.wait(timeout=STEP_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def wait_for_window(self):
        self.app = wait_for(self._application, "the program to appear on the accessibility bus",
                            STARTUP_SECONDS)
        self.frame = wait_for(self._frame, "its window to be shown", STARTUP_SECONDS)

    def _application(self):
        if self.process.poll() is not None:
            raise SystemExit(f"FAIL: the program exited with status {self.process.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            if (app is not None and app.name == APP_NAME
                    and app.get_process_id() == self.process.pid):
                return app
        return None

    def _frame(self):
        for child in children(self.app):
            if child.getRole() == pyatspi.ROLE_FRAME and has_state(child, pyatspi.STATE_SHOWING):
                return child
        return None


class Window:
    """Finds the controls by role and name and checks what a screen reader is told of them."""

    def __init__(self, frame, reports, school_of_row):
        self.frame = frame
        self.reports = reports
        self.school_of_row = school_of_row
        self.captions = FORM["captions"]

        check(frame.name == WINDOW_TITLE, f"the window is a frame named {frame.name!r}")
        self.heading = find(frame, pyatspi.ROLE_LABEL, HEADING)
        passed(f"the heading is a label named {HEADING!r}")

        self.box = find(frame, pyatspi.ROLE_TEXT, BOX_NAME)
        passed(f"the result box is a text named {BOX_NAME!r}")
        check(self.box.description, f"the box is described: {self.box.description!r}")
        check(has_state(self.box, pyatspi.STATE_READ_ONLY)
              and has_state(self.box, pyatspi.STATE_MULTI_LINE),
              "the box is read-only and multi-line")
        self.text = self.box.queryText()

        # The frame holds the options' group, both named by the frame's caption; the options
        # have no label and no description, which a screen reader would say with each of them.
        frame_panel = pyatspi.findDescendant(
            frame, lambda a: a.getRole() == pyatspi.ROLE_PANEL and a.name == GROUP_NAME
            and a.description)
        check(frame_panel, f"the frame is a panel named {GROUP_NAME!r} and described")
        group = find(frame_panel, pyatspi.ROLE_PANEL, GROUP_NAME)
        passed(f"the school options are in a group named {GROUP_NAME!r}")
        self.options = []
        for caption in self.captions:
            option = find(group, pyatspi.ROLE_RADIO_BUTTON, caption)
            check(option.parent == group and not targets(option, pyatspi.RELATION_LABELLED_BY)
                  and not option.description,
                  f"radio button {caption!r} is in the group, unlabelled and undescribed")
            self.options.append(option)

        self.names = find(frame, pyatspi.ROLE_LIST, LIST_NAME)
        passed(f"the names list is a list named {LIST_NAME!r}")
        check(self.names.description, f"the list is described: {self.names.description!r}")
        label = find(frame, pyatspi.ROLE_LABEL, LIST_NAME)
        check(self.names in targets(label, pyatspi.RELATION_LABEL_FOR),
              f"the caption {LIST_NAME!r} is the list's label")
        self.items = children(self.names)
        check(len(self.items) == len(school_of_row)
              and all(i.getRole() == pyatspi.ROLE_LIST_ITEM and i.name for i in self.items),
              f"the list holds {len(self.items)} named items, {self.items[0].name!r} to "
              f"{self.items[-1].name!r}")
        self.table = self.names.queryTable()
        check(self.table.nRows == len(school_of_row),
              f"its Table interface has {self.table.nRows} rows")

        focusable = pyatspi.findAllDescendants(
            frame, lambda a: has_state(a, pyatspi.STATE_FOCUSABLE))
        unnamed = [a.getRoleName() for a in focusable if not a.name]
        check(not unnamed, f"all {len(focusable)} objects that can take the focus have names")

    def box_text(self):
        return self.text.getText(0, -1).replace("\r\n", "\n")

    def checked(self):
        return [i for i, o in enumerate(self.options) if has_state(o, pyatspi.STATE_CHECKED)]

    def shows(self, school):
        """A probe: the box holds the school's report and only its option is checked."""
        return lambda: (self.box_text() == shown(self.reports[school])
                        and self.checked() == [school])

    def focused(self, accessible):
        return lambda: has_state(accessible, pyatspi.STATE_FOCUSED)

    def choose_school(self, school):
        activate(self.options[school])
        wait_for(self.shows(school), f"the report of {self.captions[school]!r}")


def starts_with_the_assignment(window):
    first_line = window.box_text().split("\n", 1)[0]
    check(first_line and not first_line.startswith("Избрана"),
          f"the box starts with the assignment: {first_line[:40]!r}...")
    check(not window.checked() and window.table.nSelectedRows == 0,
          "no school and no name is chosen yet")


def keyboard_walks_the_controls(window):
    # A window manager activates a new window; there is none on the virtual display, so a
    # click on the heading, which does nothing else, stands in for it.
    click(window.heading)
    wait_for(lambda: has_state(window.frame, pyatspi.STATE_ACTIVE), "the window to be active")
    wait_for(window.focused(window.box), "the result box to have the focus")
    passed("the window is active and the result box has the focus")

    options, items, captions = window.options, window.items, window.captions
    press(KEY_TAB, "Tab")
    wait_for(window.focused(options[0]), "the first option to take the focus")
    check(not window.checked(), f"Tab moves the focus to {captions[0]!r} without choosing it")
    press(KEY_SPACE, "Space")
    wait_for(window.shows(0), f"the report of {captions[0]!r}")
    passed(f"Space chooses {captions[0]!r} and the box reads its report")
    press(KEY_DOWN, "Down")
    wait_for(lambda: window.focused(options[1])() and window.shows(1)(),
             f"the focus on {captions[1]!r} and its report")
    passed(f"Down moves to {captions[1]!r}, chooses it and the box reads its report")

    press(KEY_TAB, "Tab")
    wait_for(window.focused(window.names), "the names list to take the focus")
    check(window.table.nSelectedRows == 0, "Tab moves the focus to the list without choosing")
    press(KEY_DOWN, "Down")
    school = window.school_of_row[0]
    wait_for(lambda: has_state(items[0], pyatspi.STATE_SELECTED) and window.shows(school)(),
             "the first name to be chosen")
    passed(f"Down chooses {items[0].name!r} and the box reads the report of "
           f"{captions[school]!r}")
    press(KEY_TAB, "Tab")
    wait_for(window.focused(window.box), "the result box to take the focus")
    passed("Tab brings the focus back to the result box")


def actions_choose_schools(window):
    for school in (2, 0, 1):
        name = activate(window.options[school])
        wait_for(window.shows(school), f"the report of {window.captions[school]!r}")
        passed(f"{name!r} on {window.captions[school]!r} checks it alone and the box reads "
               f"its report")


def table_and_item_actions_choose_names(window):
    # Alternately through the Table interface and through the item's action. Another school
    # is chosen first each time, so that a report left from before cannot pass for a new one.
    # Row 0 is still selected from the keyboard round: choosing it again must report again.
    table, items, captions = window.table, window.items, window.captions
    for row, school in enumerate(window.school_of_row):
        window.choose_school(next(s for s in range(3)
                                  if s != school and s not in window.checked()))
        if row % 2 == 0:
            check(table.addRowSelection(row), f"Table.addRowSelection({row}) is accepted")
            how = "Table.addRowSelection"
        else:
            how = f"its item's {activate(items[row])!r}"
        wait_for(lambda: table.isRowSelected(row) and table.nSelectedRows == 1
                 and window.shows(school)(), f"row {row} to be chosen and its school reported")
        check(has_state(items[row], pyatspi.STATE_SELECTED),
              f"{items[row].name!r} chosen by {how}: {captions[school]!r} checked and reported")


def clicking_the_chosen_name_reports_again(window):
    # A screen reader's click command clicks in the middle of the object. On the name already
    # chosen it brings the name's school back, as a second mouse click does.
    row = 1
    school = window.school_of_row[row]
    name = window.items[row]
    window.table.addRowSelection(row)
    wait_for(lambda: window.table.isRowSelected(row) and window.shows(school)(),
             f"row {row} to be chosen")
    window.choose_school((school + 1) % 3)

    x, y = centre(name)
    view = window.names.queryComponent()
    check(view.contains(x, y, pyatspi.DESKTOP_COORDS), f"{name.name!r} is in view at ({x}, {y})")
    click(name)
    wait_for(window.shows(school), "the chosen name's school to be reported again")
    check(window.table.isRowSelected(row),
          f"clicking the chosen {name.name!r} reports {window.captions[school]!r} again")


def main():
    binary, form_data = sys.argv[1:3]
    reports, school_of_row = expected_data(form_data)
    check(len(reports) == 3 and len(school_of_row) == 18,
          f"read {len(reports)} reports and {len(school_of_row)} rows from {form_data}")

    started = time.monotonic()
    with Program(binary) as program:
        program.wait_for_window()
        print(f"# the window is on the accessibility bus after "
              f"{time.monotonic() - started:.1f} s", flush=True)
        window = Window(program.frame, reports, school_of_row)
        starts_with_the_assignment(window)
        keyboard_walks_the_controls(window)
        actions_choose_schools(window)
        table_and_item_actions_choose_names(window)
        clicking_the_chosen_name_reports_again(window)
    print(f"# {check.passed} checks passed in {time.monotonic() - started:.1f} s", flush=True)


def run(main):
    """Runs a test's main, a failed check ending it with status 1."""
    try:
        main()
    except Failure as failure:
        print(f"FAIL: {failure}", flush=True)
        sys.exit(1)


if __name__ == "__main__":
    run(main)
