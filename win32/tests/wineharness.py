"""Runs Windows programs under Wine on a private virtual X server, drives them with real X
input (xdotool) and reads them back with the probe (probe.cpp). Standard library only."""

import contextlib
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

    def listen(self, path):
        """What screen readers are told of the window's live regions, from now on."""
        return Listener(self, path)

    @contextlib.contextmanager
    def window_manager(self):
        """openbox on the display with its default settings (title bars, Alt+Tab), and another
        X client (xmessage, top left) to switch to; both stop at the end."""
        config = tempfile.TemporaryDirectory()
        manager = subprocess.Popen(["openbox", "--sm-disable"],
                                   env=dict(self.env, XDG_CONFIG_HOME=config.name),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        other = None
        try:
            deadline = time.monotonic() + 20
            while "window id" not in subprocess.run(
                    ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                    capture_output=True, text=True).stdout:
                if time.monotonic() > deadline or manager.poll() is not None:
                    raise RuntimeError("openbox did not start")
                time.sleep(0.2)
            other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "another window"],
                                     env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            yield
        finally:
            for process in (other, manager):
                if process:
                    process.terminate()
                    process.wait()
            config.cleanup()

    def active_window(self):
        """The name of the X window that has the focus, as the window manager says."""
        return subprocess.run(["xdotool", "getactivewindow", "getwindowname"], env=self.env,
                              capture_output=True, text=True).stdout.strip()

    def frame_extents(self, name):
        """The window manager's frame around the visible window of that name: left, right,
        top, bottom in pixels."""
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                                env=self.env, capture_output=True, text=True).stdout.split()
        out = subprocess.run(["xprop", "-id", window[0], "_NET_FRAME_EXTENTS"], env=self.env,
                             capture_output=True, text=True).stdout
        return [int(n) for n in out.split("=")[-1].split(",")]

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


class Listener:
    """The probe's WinEvent hook for live-region changes of the window (probe listen), running
    beside the program: one JSON line per event in a file, as a screen reader would see it."""

    def __init__(self, wine, path):
        self.path = pathlib.Path(path)
        self.out = open(self.path, "w")
        self.process = subprocess.Popen(["wine", wine.probe_exe, "listen"], env=wine.env,
                                        stdout=self.out, stderr=subprocess.DEVNULL,
                                        stdin=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not self.lines():
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("probe listen did not start")
            time.sleep(0.1)

    def lines(self):
        text = self.path.read_text(encoding="utf-8")
        return [json.loads(line) for line in text.split("\n")[:-1]]

    def events(self):
        return self.lines()[1:]

    def settle(self, at_least, seconds=5, quiet=0.5):
        """The events once there are at least that many and none came for a moment."""
        deadline = time.monotonic() + seconds
        while len(self.events()) < at_least and time.monotonic() < deadline:
            time.sleep(0.05)
        time.sleep(quiet)
        return self.events()

    def stop(self):
        """The probe ends with the window; if the window stays, it is stopped."""
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.out.close()
