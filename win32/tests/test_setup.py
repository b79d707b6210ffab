#!/usr/bin/env python3
"""The setup program under Wine, in a fresh prefix, as a school's administrator and a learner
use it: silent installs for everyone and for one user, the uninstall entry, reinstalls and
uninstalls while the program runs, and nothing left once the uninstall entry's quiet command
has returned."""

import argparse
import pathlib
import shutil
import sys
import time

from test_window import Session, read_expected
from wineharness import Failures, Wine

FAILED = 3  # the setup's and the uninstaller's code for "Tavrelon could not be closed"


def key_exists(wine, key):
    return wine.reg("query", key).returncode == 0


def hklm_software(wine, workdir):
    """HKLM\\Software as reg exports it, for a before-and-after comparison."""
    out = workdir / "hklm.reg"
    wine.reg("export", r"HKLM\Software", r"Z:" + str(out).replace("/", "\\"), "/y")
    text = out.read_text(encoding="utf-16", errors="replace") if out.is_file() else ""
    out.unlink(missing_ok=True)
    return text


def tree(path):
    return sorted(str(p.relative_to(path)) for p in path.rglob("*")) if path.exists() else []


class Layout:
    """Where an install for everyone or for the current user puts things, in the prefix."""

    def __init__(self, prefix, per_user):
        drive = prefix / "drive_c"
        users = [p for p in (drive / "users").iterdir() if p.name != "Public"]
        self.user = users[0]
        self.per_user = per_user
        if per_user:
            self.folder = self.user / "AppData" / "Local" / "Programs" / "Tavrelon"
            self.windows_folder = r"C:\users" + "\\" + self.user.name + \
                r"\AppData\Local\Programs\Tavrelon"
            menu = self.user / "AppData" / "Roaming"
            self.root = "HKCU"
        else:
            self.folder = drive / "Program Files" / "Tavrelon"
            self.windows_folder = r"C:\Program Files\Tavrelon"
            menu = drive / "ProgramData"
            self.root = "HKLM"
        self.menu = menu / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Tavrelon"
        self.temp_folders = [self.user / "AppData" / "Local" / "Temp", drive / "windows" / "temp"]
        self.exe = self.windows_folder + r"\tavrelon.exe"


def leftovers_in_temp(layout):
    return [str(p) for folder in layout.temp_folders if folder.is_dir()
            for p in folder.glob("~nsu*")]


def check_installed(wine, checks, layout, loose, what):
    folder = layout.folder
    checks.equal(tree(folder), ["LICENSE.txt", "tavrelon.exe", "uninstall.exe"],
                 f"{what}: the program, its licence and the uninstaller in {folder.name}")
    if loose.is_file() and (folder / "tavrelon.exe").is_file():
        checks.check((folder / "tavrelon.exe").read_bytes() == loose.read_bytes(),
                     f"{what}: the installed program is byte for byte the loose one")
    checks.check((layout.menu / "Tavrelon, школи.lnk").is_file(),
                 f"{what}: Start menu entry by the Bulgarian name", tree(layout.menu))
    entry = wine.probe("entry", layout.root) or {}
    mode = "/CurrentUser" if layout.per_user else "/AllUsers"
    expected = {
        "DisplayName": "Tavrelon, школи",
        "DisplayVersion": "1.00",
        "Publisher": "Tavrelon developers",
        "DisplayIcon": layout.exe + ",0",
        "InstallLocation": layout.windows_folder,
        "NoModify": 1,
        "NoRepair": 1,
        "UninstallString": f'"{layout.windows_folder}\\uninstall.exe" {mode}',
    }
    checks.equal({name: entry.get(name) for name in expected}, expected,
                 f"{what}: the uninstall entry's values")
    checks.check(isinstance(entry.get("EstimatedSize"), int)
                 and 300 <= entry["EstimatedSize"] <= 1000,
                 f"{what}: EstimatedSize is a DWORD in KiB", entry.get("EstimatedSize"))
    checks.check(f"_?={layout.windows_folder}&" in entry.get("QuietUninstallString", ""),
                 f"{what}: QuietUninstallString runs the uninstaller in place",
                 entry.get("QuietUninstallString"))


def check_removed(wine, checks, layout, what):
    checks.check(not layout.folder.exists(), f"{what}: the install folder is gone",
                 tree(layout.folder))
    checks.check(not layout.menu.exists(), f"{what}: the Start menu entry is gone")
    checks.equal(wine.probe("entry", layout.root), None, f"{what}: the uninstall entry is gone")
    checks.check(not key_exists(wine, layout.root + r"\Software\Tavrelon developers"),
                 f"{what}: no vendor key left")
    checks.equal(leftovers_in_temp(layout), [], f"{what}: no copy of the uninstaller in %TEMP%")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--setup", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--other", required=True,
                        help="another build of the window, standing in for an older version")
    parser.add_argument("--stubborn", required=True,
                        help="a window of Tavrelon's class that does not close")
    parser.add_argument("--form-data", required=True, help="tests/form.json of the build")
    args = parser.parse_args()
    checks = Failures()
    prefix = pathlib.Path(args.prefix)
    setup = pathlib.Path(args.setup)
    if not setup.is_file():
        print(f"{setup} is missing: make it with scripts/build-windows (cpack)")
        return 1
    shutil.rmtree(prefix, ignore_errors=True)
    workdir = prefix.parent / "setup-test"
    shutil.rmtree(workdir, ignore_errors=True)
    workdir.mkdir()
    reports, rows = read_expected(args.form_data)
    loose = setup.parent / "tavrelon.exe"
    with Wine(prefix, args.probe) as wine:
        checks.equal(wine.probe("version", str(setup)),
                     {"FileVersion": "1.00", "ProductVersion": "1.00"},
                     "the setup program carries a version record")

        # For everyone, as a silent install with no switch does it.
        machine = Layout(prefix, per_user=False)
        checks.equal(wine.run(setup, "/S", timeout=120).returncode, 0,
                     "silent setup for everyone succeeds")
        check_installed(wine, checks, machine, loose, "for everyone")
        s = Session(wine, machine.exe, checks)
        checks.equal(s.state["caption"], "www.example.org - Tavrelon, школи",
                     "the installed program shows its window")
        s.click_row(12)
        checks.equal(s.summary(), (12, [rows[12]], reports[rows[12]]),
                     "the installed program answers a click")
        checks.equal(s.close(), 0, "the installed program exits with status 0")

        # A reinstall while an older program runs: it is closed and replaced.
        exe = machine.folder / "tavrelon.exe"
        shutil.copyfile(args.other, exe)
        running = wine.start(machine.exe)
        checks.check(wine.wait_for("state") is not None, "the older program runs")
        checks.equal(wine.run(setup, "/S", timeout=120).returncode, 0,
                     "reinstall while the program runs succeeds")
        checks.equal(wait_exit(running), 0, "the running program was closed cleanly")
        checks.check(exe.read_bytes() == loose.read_bytes(), "and its file replaced")

        # A program that will not close: the setup and the uninstaller say so by their codes
        # and leave the install as it was.
        shutil.copyfile(args.stubborn, exe)
        stubborn = wine.start(machine.exe)
        checks.check(wait_for_window(wine), "a window that ignores WM_CLOSE runs")
        checks.equal(wine.run(setup, "/S", timeout=120).returncode, FAILED,
                     "reinstall fails while the program cannot be closed")
        result = wine.run(args.probe, "uninstall", "HKLM", timeout=120)
        checks.equal(result.returncode, FAILED,
                     "the quiet uninstall fails while the program cannot be closed")
        checks.check(exe.is_file() and (machine.folder / "uninstall.exe").is_file()
                     and wine.probe("entry", "HKLM") is not None,
                     "the files and the uninstall entry stay")
        stubborn.kill()
        stubborn.wait()
        wine.restart_server()
        checks.equal(wine.run(setup, "/S", timeout=120).returncode, 0,
                     "once it is gone, a reinstall succeeds")
        check_installed(wine, checks, machine, loose, "reinstalled")

        # The quiet uninstall while the program runs: it is closed, and every file is gone
        # when the command returns.
        running = wine.start(machine.exe)
        checks.check(wine.wait_for("state") is not None, "the installed program runs again")
        result = wine.run(args.probe, "uninstall", "HKLM", timeout=120)
        checks.equal(result.returncode, 0, "the quiet uninstall succeeds")
        check_removed(wine, checks, machine, "for everyone, uninstalled")
        checks.equal(wait_exit(running), 0, "the running program was closed cleanly")

        # For the current user only: nothing under HKLM.
        user = Layout(prefix, per_user=True)
        before = hklm_software(wine, workdir)
        checks.equal(wine.run(setup, "/S", "/CurrentUser", timeout=120).returncode, 0,
                     "silent setup for the current user succeeds")
        check_installed(wine, checks, user, loose, "for the current user")
        checks.check(hklm_software(wine, workdir) == before,
                     "the install for the current user wrote nothing under HKLM")
        checks.check(not machine.folder.exists(), "nor under Program Files")
        s = Session(wine, user.exe, checks)
        checks.equal(s.state["caption"], "www.example.org - Tavrelon, школи",
                     "the program installed for the current user shows its window")
        result = wine.run(args.probe, "uninstall", "HKCU", timeout=120)
        checks.equal(result.returncode, 0, "the current user's quiet uninstall succeeds")
        check_removed(wine, checks, user, "for the current user, uninstalled")
        checks.equal(wait_exit(s.process), 0, "the running program was closed cleanly")
        checks.check(hklm_software(wine, workdir) == before, "and HKLM is as it was")

        # An explicit /AllUsers is the same as the default.
        checks.equal(wine.run(setup, "/S", "/AllUsers", timeout=120).returncode, 0,
                     "silent setup with /AllUsers succeeds")
        checks.check((machine.folder / "tavrelon.exe").is_file(),
                     "/AllUsers installs under Program Files")
        checks.equal(wine.run(args.probe, "uninstall", "HKLM", timeout=120).returncode, 0,
                     "and its quiet uninstall succeeds")
        check_removed(wine, checks, machine, "/AllUsers, uninstalled")
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.rmtree(workdir, ignore_errors=True)
    print(f"{len(checks.failed)} failed" if checks.failed else "all checks passed")
    return 1 if checks.failed else 0


def wait_exit(process, seconds=20):
    try:
        return process.wait(timeout=seconds)
    except Exception:
        process.kill()
        process.wait()
        return None


def wait_for_window(wine):
    """A window of Tavrelon's class is there: the probe's close command finds it (status 0)."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if wine.run(wine.probe_exe, "close", timeout=30).returncode == 0:
            return True
        time.sleep(0.3)
    return False


if __name__ == "__main__":
    sys.exit(main())
