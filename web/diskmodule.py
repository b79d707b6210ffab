#!/usr/bin/env python3
"""Writes the module's WebAssembly as a classic script, for the page opened from the disk.

    diskmodule.py tavrelon.wasm tavrelon-disk.js

Browsers fetch nothing from file://, but they do run a script from beside the page: this one
hands the page the module's code as Base64 text. Over a web server it is never loaded.
"""
import base64
import sys


def main(wasm, script):
    with open(wasm, "rb") as source:
        code = base64.b64encode(source.read()).decode("ascii")
    with open(script, "w", encoding="ascii") as out:
        out.write("// The module's code, for the page opened from the disk (written at build time).\n")
        out.write(f'globalThis.tavrelonDiskModule = "{code}";\n')


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: diskmodule.py MODULE.wasm OUTPUT.js")
    main(*sys.argv[1:])
