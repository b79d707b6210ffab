#!/usr/bin/env python3
"""A second build of the program from the same sources, in another folder, gives the same bytes
as the build folder's tavrelon.exe: nothing but SOURCE_DATE_EPOCH (read back from the loose
program's header) goes into them, not the folder, the time of the build or the linker."""

import argparse
import os
import pathlib
import shutil
import struct
import subprocess
import sys


def pe_time_stamp(exe):
    data = exe.read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, header + 8)[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True)
    parser.add_argument("--toolchain", required=True)
    parser.add_argument("--build-type", required=True)
    parser.add_argument("--folder", required=True, type=pathlib.Path)
    parser.add_argument("--program", required=True, type=pathlib.Path,
                        help="the loose tavrelon.exe of the build folder")
    args = parser.parse_args()
    if not args.program.is_file():
        print(f"{args.program} is missing: make it with scripts/build-windows")
        return 1
    shutil.rmtree(args.folder, ignore_errors=True)
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(pe_time_stamp(args.program)))
    steps = [
        ["cmake", "-S", args.source, "-B", str(args.folder), "-G", "Ninja",
         "--toolchain", args.toolchain, f"-DCMAKE_BUILD_TYPE={args.build_type}",
         "-DBUILD_TESTING=OFF"],
        ["cmake", "--build", str(args.folder), "--target", "tavrelon", "-j", "2"],
        ["cmake", "--install", str(args.folder), "--strip", "--prefix",
         str(args.folder / "stage")],
    ]
    for step in steps:
        subprocess.run(step, env=env, check=True, stdout=subprocess.DEVNULL)
    second = args.folder / "stage" / "tavrelon.exe"
    same = second.read_bytes() == args.program.read_bytes()
    print(("ok    " if same else "FAIL  ") + "a second build gives the same tavrelon.exe, byte for byte")
    if same:
        shutil.rmtree(args.folder, ignore_errors=True)
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
