#!/usr/bin/env python3
"""The real tavrelon.exe under Wine on a virtual X server, driven with real X input and read
back with the probe: start-up state and focus, layout against the form at 96 and 192 dpi,
every school, every name, the keyboard, re-clicks, what screen readers are told of each
report, the focus kept when switching windows under a window manager, the version record, the
exit status, and the error path on a faulty catalogue."""

import argparse
import json
import os
import pathlib
import re
import subprocess
import sys
import time

from wineharness import HERE, Failures, Wine


def read_form(form_data):
    """The form and the expected texts, as the build writes them (tests/form.json)."""
    return json.loads(pathlib.Path(form_data).read_text(encoding="utf-8"))


def read_expected(form_data):
    """The three reports and the school of each row, from the form data the build writes."""
    form = read_form(form_data)
    return form["reports"], form["schoolOfRow"]


class Session:
    """One running program and what the probe says of it."""

    def __init__(self, wine, program, checks):
        self.wine, self.checks = wine, checks
        self.process = wine.start(program)
        self.state = wine.wait_for("state")
        if self.state is None:
            status = self.process.poll()
            raise RuntimeError(f"{program}: no window (exit status {status}); Wine said:\n" +
                               wine.log.read_text(errors="replace")[-3000:])
        # Without a window manager the keyboard goes to the X window under the pointer: rest
        # it on the heading, which takes no focus.
        wine.xdotool("mousemove", *self.point("Label1(0)", dx=5, dy=5))

    def refresh(self):
        time.sleep(0.15)
        self.state = self.wine.probe("state")
        return self.state

    def control(self, name):
        return self.state["controls"][name]

    def point(self, name, dx=None, dy=None):
        """A screen point inside a control (its middle unless told)."""
        left, top, width, height = self.control(name)["rect"]
        x0, y0 = self.state["client"][:2]
        return (x0 + left + (width // 2 if dx is None else dx),
                y0 + top + (height // 2 if dy is None else dy))

    def click_control(self, name, dx=None):
        self.wine.click(*self.point(name, dx))
        return self.refresh()

    def click_row(self, row):
        self.wine.probe("scroll", str(row))
        self.refresh()
        names = self.control("List1(0)")
        x0, y0 = self.state["client"][:2]
        ox, oy = names["clientOrigin"]
        height = names["itemHeight"]
        y = y0 + oy + (row - names["top"]) * height + height // 2
        self.wine.click(x0 + ox + 20, y)
        return self.refresh()

    def checked(self):
        return [i for i in range(3) if self.control(f"Option1({i})")["checked"]]

    def summary(self):
        return (self.control("List1(0)")["selected"], self.checked(),
                self.control("Text1(0)")["text"])

    def close(self):
        """Alt+F4, as a user closes it; the exit status."""
        self.wine.key("alt+F4")
        try:
            return self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return None


def expected_rect(name, control, state, frame_twips):
    dpi = state["dpi"]
    px = [(t * dpi + 720) // 1440 for t in control["twips"]]
    if control["inFrame"]:
        fx, fy = [(t * dpi + 720) // 1440 for t in frame_twips[:2]]
        px[0] += fx
        px[1] += fy
    return px


def check_layout(s, checks, label):
    state = s.state
    dpi = state["dpi"]
    client = [(7230 * dpi + 720) // 1440, (4305 * dpi + 720) // 1440]
    checks.equal(state["client"][2:], client, f"{label}: client area at {dpi} dpi")
    frame_twips = state["controls"]["Frame1"]["twips"]
    for name, control in state["controls"].items():
        want = expected_rect(name, control, state, frame_twips)
        got = control["rect"]
        checks.check(all(abs(a - b) <= 1 for a, b in zip(got, want)),
                     f"{label}: {name} at {want} ±1 px", f"at {got}")


def check_start(s, checks, reports, rows):
    state = s.state
    checks.equal(state["caption"], "www.example.org - Tavrelon, школи", "caption")
    checks.equal(state["focus"], "Text1(0)", "focus starts in the result box")
    text = s.control("Text1(0)")["text"]
    checks.check(text.startswith("Да се реализира проект") and text.count("\r\n") == 7
                 and text.endswith("изградените книжовни школи.\r\n"),
                 "the box shows the assignment text, seven lines ending in CR LF", repr(text[:60]))
    checks.equal(s.checked(), [], "no school chosen at start")
    checks.equal(s.control("List1(0)")["selected"], -1, "no name chosen at start")
    names = s.control("List1(0)")["rows"]
    checks.equal(len(names), 18, "eighteen names")
    checks.check(all(f"\r\n{name}\r\n" in reports[rows[r]] for r, name in enumerate(names)),
                 "every name is listed in its school's report, unchanged", names)
    checks.equal(s.control("Label1(0)")["text"], "Tavrelon, школи ", "heading")
    checks.equal(s.control("Frame1")["text"], "Книжовни школи", "frame caption")
    checks.equal([s.control(f"Option1({i})")["text"] for i in range(3)],
                 ["Преславска книжовна школа", "Софийска книжовна школа",
                  "Търновска книжовна школа"], "option captions")


def check_names(s, checks):
    """Screen readers name a standard control after the static label just before it in z-order:
    the names list after its caption, the result box after a hidden label."""
    checks.equal(s.control("List1(0)").get("label"), "Автори/граматици", "the list's name")
    checks.equal(s.control("Text1(0)").get("label"), "Избрана школа и нейните представители",
                 "the result box's name")
    for index in range(3):
        checks.equal(s.control(f"Option1({index})").get("label"), None,
                     f"Option1({index}) keeps its caption as its name")


def check_colours(wine, s, checks, workdir):
    """Pixels of the window: background, heading, option, and the read-only box's white."""
    picture = workdir / "window.png"
    wine.screenshot(picture)

    def pixel(x, y):
        out = subprocess.run(["convert", str(picture), "-format", f"%[pixel:p{{{x},{y}}}]",
                              "info:"], capture_output=True, text=True).stdout
        return tuple(int(round(float(v))) for v in re.findall(r"[\d.]+", out)[:3])

    label = s.control("Label1(0)")["rect"]
    option = s.control("Option1(0)")["rect"]
    box = s.control("Text1(0)")["rect"]
    checks.equal(pixel(2, 2), (192, 192, 255), "window background")
    checks.equal(pixel(label[0] + 3, label[1] + 3), (255, 192, 128), "heading background")
    checks.equal(pixel(option[0] + option[2] - 3, option[1] + 3), (128, 255, 128),
                 "option background")
    checks.equal(pixel(box[0] + box[2] - 30, box[1] + box[3] - 6), (255, 255, 255),
                 "the read-only box is white")


class Picture:
    """A screenshot's pixels, read through ImageMagick as a binary PPM."""

    def __init__(self, path):
        data = subprocess.run(["convert", str(path), "ppm:-"], capture_output=True,
                              check=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def area(self, left, top, width, height):
        return [self.pixel(x, y) for y in range(top, top + height)
                for x in range(left, left + width)]


def luminance(rgb):
    def channel(value):
        c = value / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = map(channel, rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def text_contrast(pixels):
    """The most common colour of a text area is its background; the pixel that stands out
    most against it is the text (the core of a glyph)."""
    counts = {}
    for rgb in pixels:
        counts[rgb] = counts.get(rgb, 0) + 1
    background = max(counts, key=counts.get)
    return max(contrast(background, rgb) for rgb in counts)


def text_areas(s):
    """Where each control draws its text, in the window's client area: not the radio glyph,
    the scroll bars or the borders, and of the frame only its caption's strip."""
    dpi = s.state["dpi"]
    scale = lambda px: (px * dpi + 48) // 96
    for name, control in s.state["controls"].items():
        left, top, width, height = control["rect"]
        if name.startswith("Option1"):
            left, width = left + scale(18), width - scale(18)
        elif name in ("List1(0)", "Text1(0)"):
            left, top, width, height = left + 3, top + 3, width - scale(17) - 6, height - 6
        elif name == "Frame1":
            height = scale(14)
        yield name, (left, top, width, height)


def check_contrast(wine, s, checks, workdir, label):
    """Every control's text at WCAG's 4.5:1 at least against what it is drawn on."""
    picture = workdir / f"contrast-{label.replace(' ', '-')}.png"
    wine.screenshot(picture)
    pixels = Picture(picture)
    for name, area in text_areas(s):
        ratio = text_contrast(pixels.area(*area))
        checks.check(ratio >= 4.5, f"{label}: {name}'s text reads at 4.5:1", f"{ratio:.2f}:1")


# Windows' "High Contrast Black" scheme, as the system keeps it: white and yellow on black.
HIGH_CONTRAST = {"Window": "0 0 0", "WindowText": "255 255 255", "ButtonFace": "0 0 0",
                 "ButtonText": "255 255 255", "Hilight": "26 235 255", "HilightText": "0 0 0",
                 "GrayText": "63 242 63", "WindowFrame": "255 255 255"}
COLOURS_KEY = r"HKCU\Control Panel\Colors"


def check_high_contrast(wine, checks, program, workdir):
    """The program started under a high-contrast colour scheme: the list and the box take the
    system's colours, the form's coloured controls keep their own text colours, and every text
    still reads, before and after a choice. (Wine always reports the high-contrast setting
    itself as off, so the switch to every colour the system's is checked in the form's tests.)"""
    for name, value in HIGH_CONTRAST.items():
        wine.reg("add", COLOURS_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    wine.restart_server()
    try:
        s = Session(wine, program, checks)
        wine.screenshot(workdir / "high-contrast.png")
        pixels = Picture(workdir / "high-contrast.png")
        box = s.control("Text1(0)")["rect"]
        checks.equal(pixels.pixel(box[0] + box[2] - 30, box[1] + box[3] - 6), (0, 0, 0),
                     "high contrast: the box takes the system's window colour")
        check_contrast(wine, s, checks, workdir, "high contrast")
        s.click_row(3)
        check_contrast(wine, s, checks, workdir, "high contrast after a choice")
        checks.equal(s.close(), 0, "exit status 0 under high contrast")
    finally:
        for name in HIGH_CONTRAST:
            wine.reg("delete", COLOURS_KEY, "/v", name, "/f")
        wine.restart_server()


def check_themed(s, checks):
    """Version 6 of the common controls draws the options, the frame, the list and the box."""
    for name in ("Option1(0)", "Option1(1)", "Option1(2)", "Frame1", "List1(0)", "Text1(0)"):
        checks.equal(s.control(name).get("themed"), True, f"{name} is drawn in the current look")


def glyph_width(wine, s, workdir):
    """The width of the first option's radio glyph: the columns at the option's left that
    differ from its background, up to the first column that does not."""
    picture = workdir / f"glyph-{s.state['dpi']}.png"
    wine.screenshot(picture)
    pixels = Picture(picture)
    left, top, width, height = s.control("Option1(0)")["rect"]
    background = pixels.pixel(left + width - 2, top + 1)
    inked = [any(pixels.pixel(x, y) != background for y in range(top, top + height))
             for x in range(left, left + width // 3)]
    first = inked.index(True) if True in inked else 0
    return next((i for i in range(first, len(inked)) if not inked[i]), len(inked)) - first


def check_keyboard_start(s, checks, reports, rows):
    """From the box, Tab reaches the option group and then the list; with nothing chosen the
    first arrow key chooses the row under the focus frame, and each arrow key is a click."""
    s.wine.key("Tab")
    s.refresh()
    checks.equal(s.state["focus"], "Option1(0)", "Tab moves from the box to the first option")
    chosen = s.checked()
    text = s.control("Text1(0)")["text"]
    checks.check((chosen == [] and text.startswith("Да се")) or (chosen == [0] and
                                                                 text == reports[0]),
                 "tabbing into the group either chooses nothing or chooses and reports",
                 (chosen, text[:30]))
    s.wine.key("Tab")
    s.refresh()
    checks.equal(s.state["focus"], "List1(0)", "Tab moves on to the names list")
    for row in range(18):
        s.wine.key("Down")
        s.refresh()
        if not checks.equal(s.summary(), (row, [rows[row]], reports[rows[row]]),
                            f"Down arrow chooses row {row}"):
            break
    s.wine.key("Down")
    s.refresh()
    checks.equal(s.summary()[0], 17, "Down on the last row stays there")
    for row in (16, 15, 14):
        s.wine.key("Up")
        s.refresh()
        checks.equal(s.summary(), (row, [rows[row]], reports[rows[row]]),
                     f"Up arrow chooses row {row}")
    s.wine.key("shift+Tab")
    s.refresh()
    checks.equal(s.state["focus"], f"Option1({rows[14]})",
                 "Shift+Tab goes back to the checked option")


def check_mouse(s, checks, reports, rows):
    for row in range(18):
        s.click_row(row)
        checks.equal(s.summary(), (row, [rows[row]], reports[rows[row]]),
                     f"click on name {row} chooses it, its school and its report")
    selected = s.control("List1(0)")["selected"]
    for school in range(3):
        s.click_control(f"Option1({school})", dx=20)
        checks.equal(s.summary(), (selected, [school], reports[school]),
                     f"click on school {school} reports it and keeps the chosen name")
    # The name chosen belongs to school 0 (row 17); school 2 is checked now.
    s.click_row(selected)
    checks.equal(s.summary(), (selected, [rows[selected]], reports[rows[selected]]),
                 "a click on the chosen name is a click: its school is reported again")
    s.click_control(f"Option1({rows[selected]})", dx=20)
    checks.equal(s.summary(), (selected, [rows[selected]], reports[rows[selected]]),
                 "a click on the checked school leaves the same report")


def check_option_arrows(s, checks, reports):
    selected = s.control("List1(0)")["selected"]
    s.click_control("Option1(0)", dx=20)
    for key, school in (("Down", 1), ("Down", 2), ("Up", 1), ("Left", 0), ("Right", 1)):
        s.wine.key(key)
        s.refresh()
        checks.equal((s.summary(), s.state["focus"]),
                     ((selected, [school], reports[school]), f"Option1({school})"),
                     f"{key} in the option group chooses school {school}")


def check_read_only(s, checks):
    before = s.control("Text1(0)")["text"]
    s.click_control("Text1(0)")
    s.wine.key("ctrl+End", "a", "b", "BackSpace", "Delete", "Return", "ctrl+a", "Delete")
    s.wine.xdotool("type", "Кирилица")
    s.refresh()
    checks.equal(s.state["focus"], "Text1(0)", "a click in the box gives it the focus")
    checks.equal(s.control("Text1(0)")["text"], before, "typing into the box changes nothing")




def check_announcements(s, listener, checks, reports, rows, form):
    """Each report written to the box, a repeated one too, is one live-region change of the box
    for screen readers, whose value is the report; a step that writes no report is none. The
    box's name is what Narrator and NVDA speak: the school and its names as a sentence where the
    system's annotation service takes it, the box's label under Wine (its service is a stub: the
    name cannot be checked here)."""
    low = 1 if rows[4] == 0 else 0
    steps = [
        ("a click on a name", lambda: s.click_row(3), reports[rows[3]]),
        ("a click on the same name again", lambda: s.click_row(3), reports[rows[3]]),
        ("Down in the names list", lambda: s.wine.key("Down"), reports[rows[4]]),
        ("a click on another school", lambda: s.click_control(f"Option1({low})", dx=20),
         reports[low]),
        ("a click on the checked school", lambda: s.click_control(f"Option1({low})", dx=20),
         reports[low]),
        ("Down in the option group", lambda: s.wine.key("Down"), reports[low + 1]),
        ("Tab to the names list", lambda: s.wine.key("Tab"), None),
    ]
    spoken = dict(zip(reports, form["announcements"]))
    box_label = form["accessible"]["resultBoxName"]
    names = set()
    for what, step, report in steps:
        before = len(listener.events())
        step()
        new = listener.settle(before + (1 if report else 0))[before:]
        if report is None:
            checks.equal(new, [], f"{what}: no report, nothing announced")
            continue
        if not checks.equal(len(new), 1, f"{what}: one announcement"):
            continue
        event = new[0]
        checks.equal((event.get("control"), event.get("value")), ("Text1(0)", report),
                     f"{what}: the box is announced, its accessible value the report")
        checks.check(event.get("name") in (spoken[report], box_label),
                     f"{what}: the box's accessible name is the spoken report or its label",
                     event.get("name"))
        names.add(event.get("name") == spoken[report])
    print(f"note  the accessible name carried the spoken report: {sorted(names)}")


def click_client(wine, name):
    """A click near the top left corner of the visible X window of that name, inside it."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name,
                          "getwindowgeometry", "--shell"], env=wine.env, capture_output=True,
                         text=True).stdout
    geometry = dict(line.split("=") for line in out.split())
    wine.click(int(geometry["X"]) + 5, int(geometry["Y"]) + 5)


def check_focus_kept(wine, program, checks, reports, rows):
    """Under a window manager, switching to another window and back, by Alt+Tab or by a click
    on the other window and then on the title bar, leaves the focus on the control that had it,
    as a dialog box does: the next arrow key chooses at once (the names list and an option).
    The rows walked through belong to three different schools, so each report differs."""
    with wine.window_manager():
        s = Session(wine, program, checks)
        title = wine.frame_extents("Tavrelon")[2]

        def alt_tab():
            wine.key("alt+Tab")
            time.sleep(0.5)
            away = wine.active_window()
            wine.key("alt+Tab")
            return away

        def title_bar():
            click_client(wine, "^xmessage$")
            time.sleep(0.5)
            away = wine.active_window()
            x0, y0, width = s.state["client"][:3]
            wine.click(x0 + width // 3, y0 - title // 2)
            return away

        for control, start, after in (
                ("List1(0)", lambda: s.click_row(6),
                 [(7, [rows[7]], reports[rows[7]]), (8, [rows[8]], reports[rows[8]])]),
                ("Option1(0)", lambda: s.click_control("Option1(0)", dx=20),
                 [(8, [1], reports[1]), (8, [2], reports[2])])):
            start()
            for (how, switch), expected in zip((("Alt+Tab", alt_tab), ("the title bar",
                                                                      title_bar)), after):
                away = switch()
                time.sleep(0.5)
                s.refresh()
                checks.equal(away, "xmessage", f"{control}, {how}: the other window was active")
                checks.equal(s.state["focus"], control,
                             f"{control}, {how}: the focus is back on {control}")
                s.wine.key("Down")
                s.refresh()
                focused = f"Option1({expected[1][0]})" if control.startswith("Option") \
                    else control
                checks.equal((s.summary(), s.state["focus"]), (expected, focused),
                             f"{control}, {how}: Down then chooses at once")
                control = focused
        checks.equal(s.close(), 0, "exit status 0 under a window manager")


def check_version(wine, checks, program):
    version = wine.probe("version", program)
    checks.equal(version, {"FileVersion": "1.00", "ProductVersion": "1.00"},
                 "version record of the program")


def set_dpi(wine, dpi):
    for key in (r"HKCU\Control Panel\Desktop",
                r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"):
        wine.reg("add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    wine.restart_server()


def check_error_path(wine, checks, faulty):
    """A name whose school has no option: a message box names the error, then exit status 1."""
    s = Session(wine, faulty, checks)
    s.click_row(1)
    box = wine.wait_for("messagebox", seconds=15)
    checks.check(box is not None, "a run-time error shows a message box")
    if box:
        checks.equal(box["title"], "Tavrelon", "message box title")
        checks.check("Грешка 340" in box["text"] and "Option1" in box["text"],
                     "the message names the error", box["text"])
    wine.key("Return")
    try:
        status = s.process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        s.process.kill()
        status = None
    checks.equal(status, 1, "exit status 1 after a run-time error")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--faulty", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--form-data", required=True, help="tests/form.json of the build")
    args = parser.parse_args()
    reports, rows = read_expected(args.form_data)
    checks = Failures()
    workdir = pathlib.Path(args.prefix).parent / "window-test"
    workdir.mkdir(exist_ok=True)
    with Wine(args.prefix, args.probe) as wine:
        set_dpi(wine, 96)
        s = Session(wine, args.program, checks)
        listener = wine.listen(workdir / "announcements.jsonl")
        check_start(s, checks, reports, rows)
        check_layout(s, checks, "96 dpi")
        check_names(s, checks)
        check_colours(wine, s, checks, workdir)
        check_themed(s, checks)
        check_contrast(wine, s, checks, workdir, "normal colours")
        glyph_96 = glyph_width(wine, s, workdir)
        check_keyboard_start(s, checks, reports, rows)
        check_mouse(s, checks, reports, rows)
        check_option_arrows(s, checks, reports)
        check_read_only(s, checks)
        check_announcements(s, listener, checks, reports, rows, read_form(args.form_data))
        # A choice in the list takes the focus from the box, whose Ctrl+A selection (the
        # system's highlight) would otherwise be measured as its text.
        s.click_row(3)
        check_contrast(wine, s, checks, workdir, "normal colours after a choice")
        # TAVRELON_WINDOWS_SCREENSHOT=docs/screenshot-windows.png keeps a picture after a choice.
        if os.environ.get("TAVRELON_WINDOWS_SCREENSHOT"):
            s.click_row(1)
            time.sleep(1)
            wine.screenshot(pathlib.Path(os.environ["TAVRELON_WINDOWS_SCREENSHOT"]).resolve())
        checks.equal(s.close(), 0, "exit status 0 after Alt+F4")
        listener.stop()
        check_focus_kept(wine, args.program, checks, reports, rows)
        check_high_contrast(wine, checks, args.program, workdir)
        check_version(wine, checks, args.program)
        check_error_path(wine, checks, args.faulty)

        set_dpi(wine, 192)
        try:
            s = Session(wine, args.program, checks)
            checks.equal(s.state["dpi"], 192, "the window takes the screen's 192 dpi")
            check_layout(s, checks, "192 dpi")
            glyph_192 = glyph_width(wine, s, workdir)
            checks.check(glyph_192 >= glyph_96 * 3 // 2,
                         "the radio glyphs scale with the screen's dots per inch "
                         f"({glyph_96} px at 96 dpi, {glyph_192} px at 192 dpi)")
            check_contrast(wine, s, checks, workdir, "192 dpi")
            s.click_row(5)
            checks.equal(s.summary(), (5, [rows[5]], reports[rows[5]]), "a click at 192 dpi")
            checks.equal(s.close(), 0, "exit status 0 at 192 dpi")
        finally:
            set_dpi(wine, 96)
    print(f"{len(checks.failed)} failed" if checks.failed else "all checks passed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
