"""The Windows program end to end: the packaged vorlak-simulator.exe run by
wine on a private X server, found, read back from the screen, clicked and
dragged as a user would, its settings read with wine's reg tool. Builds on
the Linux end-to-end harness (tests/e2e), whose X tools and pixel reading
it shares.

Each test script takes --package <vorlak-simulator-*-win64.zip> and
--source-dir <repository root>."""

import argparse
import os
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
from harness import CONSOLE_SIZE, CONSOLE_TITLE, wait_until  # noqa: E402
from wine_session import WineSession  # noqa: E402

SETTINGS_KEY = r"HKCU\Software\Selvane\Vorlak"
ARGS = None


class WineProgram:
    """One run of a Windows program under wine, ended with its session."""

    def __init__(self, session, program, cwd):
        self.log_path = os.path.join(session.work, f"program-{session.next_run()}.log")
        self._log = open(self.log_path, "wb")
        self.process = subprocess.Popen(["wine", program], cwd=cwd, env=session.wine.env(),
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)

    def running(self):
        return self.process.poll() is None

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

    def __init__(self, width=1024, height=768):
        super().__init__(width, height)
        try:
            self.wine = WineSession(display=self.screen.display)
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

    def start(self, cwd=None):
        """The program, started from a folder other than its own unless told."""
        program = WineProgram(self, self.program, cwd or self.work)
        self.programs.append(program)
        return program

    def wait_for_console(self, timeout=40):
        return self.wait_for_window(CONSOLE_TITLE, CONSOLE_SIZE, timeout=timeout)

    def reg_query(self, key):
        return self.wine.reg_query(key)

    def restart_alarm(self, seconds=harness.TEST_TIME_LIMIT):
        signal.alarm(seconds)


def main():
    """Entry point of a test script: reads the arguments, then runs unittest."""
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--package", required=True)
    parser.add_argument("--source-dir", required=True)
    ARGS, rest = parser.parse_known_args()
    source = os.path.abspath(ARGS.source_dir)
    # The Linux harness's helpers read their paths from here.
    harness.PATHS = harness.Paths(ARGS.package, source, source)
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(1))
    signal.signal(signal.SIGALRM, harness._time_limit_reached)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def settle(seconds=0.3):
    time.sleep(seconds)
