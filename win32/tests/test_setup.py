#!/usr/bin/env python3
"""The setup program under Wine, in a fresh prefix: installs silently, the installed program
starts and works, and the uninstaller leaves no file and no uninstall entry behind."""

import argparse
import pathlib
import shutil
import sys
import time

from test_window import Session, read_expected
from wineharness import Failures, Wine

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelon"


def registry_values(wine, key):
    """Name -> data of a registry key's values, or None when the key does not exist."""
    result = wine.reg("query", key)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.3)
    return condition()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--setup", required=True)
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()
    checks = Failures()
    prefix = pathlib.Path(args.prefix)
    if not pathlib.Path(args.setup).is_file():
        print(f"{args.setup} is missing: make it with scripts/build-windows (cpack)")
        return 1
    shutil.rmtree(prefix, ignore_errors=True)
    reports, rows = read_expected()
    drive = prefix / "drive_c"
    folder = drive / "Program Files" / "Tavrelon"
    menu = drive / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Tavrelon"
    with Wine(prefix, args.probe) as wine:
        result = wine.run(args.setup, "/S", timeout=120)
        checks.equal(result.returncode, 0, "silent setup succeeds")
        checks.check((folder / "tavrelon.exe").is_file(), "tavrelon.exe under Program Files")
        checks.check((folder / "LICENSE.txt").is_file(), "the licence beside it")
        # The same bytes as the program the build leaves beside the setup, and the zip holds.
        loose = pathlib.Path(args.setup).parent / "tavrelon.exe"
        if loose.is_file() and (folder / "tavrelon.exe").is_file():
            checks.check((folder / "tavrelon.exe").read_bytes() == loose.read_bytes(),
                         "the installed program is byte for byte the loose one")
        checks.check((folder / "uninstall.exe").is_file(), "an uninstaller beside it")
        checks.check((menu / "Tavrelon, школи.lnk").is_file(),
                     "Start menu entry by the Bulgarian name",
                     sorted(p.name for p in menu.glob("*")) if menu.is_dir() else "no folder")
        entry = registry_values(wine, UNINSTALL_KEY) or {}
        checks.equal(entry.get("DisplayVersion"), "1.00", "installed programs: version")
        checks.equal(entry.get("Publisher"), "Tavrelon developers", "installed programs: publisher")
        checks.check("UninstallString" in entry, "installed programs: uninstall command", entry)

        s = Session(wine, r"C:\Program Files\Tavrelon\tavrelon.exe", checks)
        checks.equal(s.state["caption"], "www.example.org - Tavrelon, школи",
                     "the installed program shows its window")
        s.click_row(12)
        checks.equal(s.summary(), (12, [rows[12]], reports[rows[12]]),
                     "the installed program answers a click")
        checks.equal(s.close(), 0, "the installed program exits with status 0")

        wine.run(r"C:\Program Files\Tavrelon\uninstall.exe", "/S", timeout=120)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        checks.check(wait_until(lambda: not folder.exists(), 60), "uninstall removes the folder",
                     sorted(str(p) for p in folder.rglob("*")) if folder.exists() else "")
        checks.check(not menu.exists(), "uninstall removes the Start menu entry")
        checks.equal(registry_values(wine, UNINSTALL_KEY), None,
                     "uninstall removes the installed programs entry")
    shutil.rmtree(prefix, ignore_errors=True)
    print(f"{len(checks.failed)} failed" if checks.failed else "all checks passed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
