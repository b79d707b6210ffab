#!/usr/bin/env python3
"""The MSI under Wine, in a fresh prefix, as a deployment tool runs it: an older version
installed silently, the upgrade to this one replacing it, the installed program started, the
uninstall leaving nothing; and the same program bytes in the MSI, the zip and the build
folder."""

import argparse
import pathlib
import shutil
import subprocess
import sys
import zipfile

from test_window import Session
from wineharness import Failures, Wine


def product_code(msi):
    """The MSI's ProductCode, which names its uninstall entry."""
    table = subprocess.run(["msiinfo", "export", str(msi), "Property"], capture_output=True,
                           text=True, check=True).stdout
    for line in table.splitlines():
        name, _, value = line.partition("\t")
        if name == "ProductCode":
            return value.strip()
    raise RuntimeError(f"{msi}: no ProductCode")


def tree(path):
    return sorted(str(p.relative_to(path)) for p in path.rglob("*")) if path.exists() else []


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--msi", required=True)
    parser.add_argument("--older", required=True, help="the same MSI at version 0.9.0")
    parser.add_argument("--older-program", required=True, help="the program the older one holds")
    parser.add_argument("--icon", required=True, type=pathlib.Path)
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()
    checks = Failures()
    prefix = pathlib.Path(args.prefix)
    msi = pathlib.Path(args.msi)
    for package in (msi, pathlib.Path(args.older)):
        if not package.is_file():
            print(f"{package} is missing: make it with scripts/build-windows")
            return 1
    loose = msi.parent / "tavrelon.exe"
    archive = msi.with_suffix(".zip")
    with zipfile.ZipFile(archive) as z:
        name = next(n for n in z.namelist() if n.endswith("/tavrelon.exe"))
        checks.check(z.read(name) == loose.read_bytes(),
                     "the zip's program is byte for byte the loose one")
    codes = {"new": product_code(msi), "older": product_code(args.older)}
    checks.check(codes["new"] != codes["older"], "each version has its own ProductCode", codes)

    shutil.rmtree(prefix, ignore_errors=True)
    drive = prefix / "drive_c"
    folder = drive / "Program Files" / "Tavrelon"
    programs = pathlib.Path("Microsoft") / "Windows" / "Start Menu" / "Programs"
    with Wine(prefix, args.probe) as wine:
        def msiexec(*arguments):
            return wine.run("msiexec", *arguments, "/qn", timeout=120).returncode

        checks.equal(msiexec("/i", args.older), 0, "the older MSI installs silently")
        checks.check((folder / "tavrelon.exe").is_file() and (folder / "tavrelon.exe").read_bytes()
                     == pathlib.Path(args.older_program).read_bytes(),
                     "the older program is under Program Files")
        older = wine.probe("entry", "HKLM", codes["older"]) or {}
        checks.equal(older.get("DisplayVersion"), "0.9.0", "installed programs: the older version")

        checks.equal(msiexec("/i", msi), 0, "the MSI upgrades it silently")
        checks.equal(tree(folder), ["LICENSE.txt", "tavrelon.exe"],
                     "the program and its licence under Program Files")
        if (folder / "tavrelon.exe").is_file():
            checks.check((folder / "tavrelon.exe").read_bytes() == loose.read_bytes(),
                         "the installed program is byte for byte the loose one")
        checks.equal(wine.probe("entry", "HKLM", codes["older"]), None,
                     "the older version's entry is gone")
        entry = wine.probe("entry", "HKLM", codes["new"]) or {}
        checks.equal({k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher")},
                     {"DisplayName": "Tavrelon, школи", "DisplayVersion": "1.0.0",
                      "Publisher": "Tavrelon developers"},
                     "installed programs: the Bulgarian name, the version, the publisher")
        # Windows Installer shows the product icon it keeps under C:\Windows\Installer.
        icon = drive / "windows" / "Installer" / codes["new"] / "tavrelon.ico"
        checks.check(icon.is_file() and icon.read_bytes() == args.icon.read_bytes(),
                     "installed programs: the icon")
        # Windows Installer puts a per-machine product's entry in the common Start menu; Wine's
        # msi resolves ProgramMenuFolder to the user's even with ALLUSERS=1.
        menus = [drive / "ProgramData" / programs / "Tavrelon"] + \
            [user / "AppData" / "Roaming" / programs / "Tavrelon"
             for user in (drive / "users").iterdir()]
        checks.check(any((menu / "Tavrelon, школи.lnk").is_file() for menu in menus),
                     "Start menu entry by the Bulgarian name", [tree(menu) for menu in menus])

        s = Session(wine, r"C:\Program Files\Tavrelon\tavrelon.exe", checks)
        checks.equal(s.state["caption"], "www.example.org - Tavrelon, школи",
                     "the installed program shows its window")
        checks.equal(s.close(), 0, "the installed program exits with status 0")
        # Windows Installer has the Restart Manager close a program whose files it replaces;
        # Wine's msi has none (a silent /x there leaves a running program's file and exits 0).
        running = wine.start(r"C:\Program Files\Tavrelon\tavrelon.exe")
        checks.equal(wine.wait_for("endsession"), {"agreed": True},
                     "the program agrees to end the session")
        try:
            status = running.wait(timeout=20)
        except subprocess.TimeoutExpired:
            running.kill()
            status = None
        checks.equal(status, 0, "and then exits with status 0, as the Restart Manager asks")

        checks.check(msiexec("/i", args.older) != 0, "the older MSI refuses to downgrade it")
        checks.check((folder / "tavrelon.exe").read_bytes() == loose.read_bytes(),
                     "and the installed program stays this version's")

        checks.equal(msiexec("/x", msi), 0, "the MSI uninstalls silently")
        checks.check(not folder.exists(), "the install folder is gone", tree(folder))
        checks.check(not any(menu.exists() for menu in menus), "the Start menu entry is gone")
        checks.check(not icon.parent.exists(), "the product icon is gone")
        checks.equal(tree(drive / "windows" / "Installer"), [],
                     "no cached package is left in C:\\Windows\\Installer")
        checks.equal(wine.probe("entry", "HKLM", codes["new"]), None,
                     "the installed programs entry is gone")
    shutil.rmtree(prefix, ignore_errors=True)
    print(f"{len(checks.failed)} failed" if checks.failed else "all checks passed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
