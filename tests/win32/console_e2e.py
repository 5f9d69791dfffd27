"""The Windows program end to end: the packaged vorlak-simulator.exe run by
wine on a private X server, found, read back from the screen, clicked and
dragged as a user would, its settings read with wine's reg tool. Builds on
the Linux end-to-end harness (tests/e2e), whose X tools and pixel reading
it shares.

Each test script takes --package <vorlak-simulator-*-win64.zip>,
--source-dir <repository root> and --probe <win32-window-probe.exe>, which
reads the program's windows as the system sees them. With
VORLAK_E2E_SCREENSHOTS=<folder> set, the tests keep screenshots there."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402
from harness import (CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON,  # noqa: E402
                     launcher_point, wait_until)
from wine_session import WineSession  # noqa: E402

SETTINGS_KEY = r"HKCU\Software\Selvane\Vorlak"
ARGS = None


class WineProgram:
    """One run of a Windows program under wine, ended with its session."""

    def __init__(self, session, program, cwd, args=()):
        self.log_path = os.path.join(session.work, f"program-{session.next_run()}.log")
        self._log = open(self.log_path, "wb")
        self.process = subprocess.Popen(["wine", program, *args], cwd=cwd, env=session.wine.env(),
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout):
        """Exit status, or None if still running after timeout seconds."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def log(self):
        self._log.flush()
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait(timeout=10)
        self._log.close()


class WineDesktop(harness.Session):
    """The Linux harness's session (a private Xvfb, xdotool, xwininfo and
    pixels read from the screen) with a wine prefix of its own on that
    display, and the package unpacked in a folder of its own."""

    def __init__(self, width=1024, height=768, pulse=None, unmanaged=False):
        """unmanaged: wine manages the windows itself, as Windows does (frames,
        activation and the keyboard), instead of leaving them to a window
        manager, which these X servers do not run."""
        super().__init__(width, height)
        self.unmanaged = unmanaged
        try:
            self.wine = WineSession(display=self.screen.display, pulse=pulse)
            if unmanaged:
                self.wine.reg_add(r"HKCU\Software\Wine\X11 Driver", "Managed", "REG_SZ", "N")
            with zipfile.ZipFile(ARGS.package) as package:
                package.extractall(self.work)
            self.program_dir = os.path.join(self.work, "vorlak-simulator")
            self.program = os.path.join(self.program_dir, "vorlak-simulator.exe")
        except BaseException:
            self.close()
            raise

    def close(self):
        if getattr(self, "wine", None):
            for program in self.programs:
                program.kill()
            self.wine.close()
            self.wine = None
        super().close()

    def start(self, cwd=None, program=None, args=()):
        """The program, started from a folder other than its own unless told."""
        program = WineProgram(self, program or self.program, cwd or self.work, args)
        self.programs.append(program)
        return program

    def program_without_sound(self):
        """A copy of the unpacked program's folder without its SOUND folder."""
        folder = os.path.join(self.work, "without-sound")
        if not os.path.isdir(folder):
            shutil.copytree(self.program_dir, folder, ignore=shutil.ignore_patterns("SOUND"))
        return os.path.join(folder, "vorlak-simulator.exe")

    def wait_for_console(self, timeout=40):
        return self.wait_for_window(CONSOLE_TITLE, CONSOLE_SIZE, timeout=timeout)

    def wait_for_launcher(self, timeout=40):
        """The launcher's window, its place and size those of its client area
        (where wine draws the frame itself, it lies inside the X window)."""
        if not self.unmanaged:
            return self.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE, timeout=timeout)
        window = self.wait_for_window(LAUNCHER_TITLE, timeout=timeout)
        seen = self.probe(LAUNCHER_TITLE) if window else None
        if not seen:
            return None
        left, top, right, bottom = seen.rect
        border = (right - left - seen.client[0]) // 2
        window.left, window.top = left + border, bottom - border - seen.client[1]
        window.width, window.height = seen.client
        return window

    def reg_query(self, key):
        return self.wine.reg_query(key)

    def store_choices(self, sound, system):
        """The launcher's two values as stored text, as a run before left them."""
        self.wine.run("reg", "delete", SETTINGS_KEY, "/f")
        self.wine.reg_add(SETTINGS_KEY, "SoundMode", "REG_SZ", str(sound))
        self.wine.reg_add(SETTINGS_KEY, "System", "REG_SZ", str(system))

    def probe(self, title, window_class=None):
        """A window of the program as the system sees it (see window_probe.cpp),
        or None when no visible window has that title."""
        args = [title] + ([window_class] if window_class else [])
        status, text = self.wine.run(ARGS.probe, *args, timeout=60)
        if status != 0:
            return None
        return ProbedWindow(text)

    def play(self, test, program):
        """From the launcher with both choices made: PLAY, and the console on
        the screen (its X window)."""
        launcher = self.wait_for_launcher()
        test.assertIsNotNone(launcher, f"no launcher; log:\n{program.log()}")
        self.click(*launcher_point(launcher, PLAY_BUTTON))
        console = wait_until(lambda: next((w for w in self.visible_windows(CONSOLE_TITLE, CONSOLE_SIZE)), None), 20)
        test.assertIsNotNone(console, f"PLAY brought no console on screen; log:\n{program.log()}")
        return console

    def screenshot(self, name):
        """The whole screen as <name>.png, where VORLAK_E2E_SCREENSHOTS asks."""
        folder = os.environ.get("VORLAK_E2E_SCREENSHOTS")
        if folder:
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")], env=self.tool_env(),
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=30)

    def restart_alarm(self, seconds=harness.TEST_TIME_LIMIT):
        signal.alarm(seconds)


class ProbedWindow:
    """What the probe printed: rect (left, top, right, bottom), client (w, h),
    style, region ("none", "empty" or "shaped"), text and the children, each a
    dict of class, id, at (x, y, w, h in the window's client), enabled, text,
    and for lists entries and chosen."""

    def __init__(self, text):
        self.children = []
        for line in text.splitlines():
            words = line.split(" ")
            if words[0] == "window":
                self.rect = tuple(int(w) for w in words[1:5])
                self.client = (int(words[6]), int(words[7]))
                self.style = int(words[9], 16)
                self.region = words[11]
                self.text = line.split(" text ", 1)[1] if " text " in line else ""
            elif words[0] == "child":
                self.children.append({"class": words[1], "id": int(words[3]),
                                      "at": tuple(int(w) for w in words[5:9]), "enabled": words[10] == "1",
                                      "text": line.split(" text ", 1)[1], "entries": []})
            elif words[0] == "entry":
                self.children[-1]["entries"].append(line.split(" ", 2)[2])
            elif words[0] == "chosen":
                self.children[-1]["chosen"] = int(words[1])

    def child(self, window_class, text=None):
        return next((c for c in self.children if c["class"].lower() == window_class.lower()
                     and (text is None or c["text"] == text)), None)


def main():
    """Entry point of a test script: reads the arguments, then runs unittest."""
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    source = os.path.abspath(ARGS.source_dir)
    # The Linux harness's helpers read their paths from here.
    harness.PATHS = harness.Paths(ARGS.package, source, source)
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(1))
    signal.signal(signal.SIGALRM, harness._time_limit_reached)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def settle(seconds=0.3):
    time.sleep(seconds)
