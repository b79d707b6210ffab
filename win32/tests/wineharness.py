"""Runs Windows programs under Wine on a private virtual X server, drives them with real X
input (xdotool) and reads them back with the probe (probe.cpp). Standard library only."""

import json
import os
import pathlib
import subprocess
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent


class Failures:
    """Collects failed checks, printing every check as it is made."""

    def __init__(self):
        self.failed = []

    def check(self, condition, what, detail=""):
        print(("ok    " if condition else "FAIL  ") + what + ("" if condition else f": {detail}"),
              flush=True)
        if not condition:
            self.failed.append(what)
        return condition

    def equal(self, actual, expected, what):
        return self.check(actual == expected, what, f"got {actual!r}, expected {expected!r}")


class Wine:
    """A Wine prefix with its own wineserver, and a virtual X server for its windows."""

    def __init__(self, prefix, probe):
        self.prefix = pathlib.Path(prefix)
        self.probe_exe = probe
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEARCH="win64", WINESERVER_PERSIST="")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.xvfb = None

    def __enter__(self):
        self.start_display()
        self.restart_server()
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def start_display(self):
        """Xvfb on a display number that no X server holds (scripts/xvfb), which it writes
        once the server takes connections."""
        script = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "xvfb"
        self.xvfb = subprocess.Popen([str(script), "-noreset"], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
        number = self.xvfb.stdout.readline().strip()
        if not number:
            self.xvfb.kill()
            self.xvfb.wait()
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = f":{number}"

    def restart_server(self):
        """A fresh wineserver, and the prefix made first if it is new (wine-env)."""
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["sh", "-c", f'. "{HERE}/wine-env"'], env=self.env, check=True)

    def start(self, program, *args):
        """Starts a program; Wine's errors go to program.log in the prefix's folder."""
        self.log = self.prefix.parent / "program.log"
        with open(self.log, "w") as log:
            return subprocess.Popen(["wine", program, *args], env=dict(self.env,
                                    WINEDEBUG="err+all"), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=log)

    def run(self, program, *args, timeout=120):
        """Output goes through a file: a reader of a pipe would also wait for any wineserver
        that started with it."""
        with tempfile.TemporaryFile() as out:
            result = subprocess.run(["wine", program, *args], env=self.env, stdout=out,
                                    stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                    timeout=timeout)
            out.seek(0)
            result.stdout = out.read()
        return result

    def reg(self, *args):
        return self.run("reg", *args)

    def probe(self, *args):
        """The probe's answer as JSON, or None when there is nothing to read."""
        result = self.run(self.probe_exe, *args, timeout=30)
        if result.returncode != 0:
            return None
        text = result.stdout.decode("utf-8").strip()
        return json.loads(text) if text else {}

    def wait_for(self, *args, seconds=30):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            answer = self.probe(*args)
            if answer is not None:
                return answer
            time.sleep(0.2)
        return None

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def click(self, x, y):
        self.xdotool("mousemove", x, y, "click", 1)

    def key(self, *keys):
        self.xdotool("key", "--delay", 50, *keys)

    def screenshot(self, path):
        """The top-level X window of the program (without a window manager: its client area)."""
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Tavrelon"],
                                env=self.env, capture_output=True, text=True).stdout.split()
        subprocess.run(["import", "-window", window[0], str(path)], env=self.env, check=True)
