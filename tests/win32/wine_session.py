"""Windows programs under wine, for tests and benchmarks written in python:
a wine session of its own (a fresh prefix, wine's services started once with
their output going nowhere, a server kept up until the end), optionally on a
private X server, and a private PulseAudio server whose null sink takes the
sound wine plays."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from xserver import Display, VirtualScreen  # noqa: E402


def windows_path(path):
    """A Linux path as wine's Z: drive shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineSession:
    """Everything started here ends with close() or the with-block."""

    def __init__(self, screen=None, pulse=None, display=None):
        """screen: (width, height) of a private X server to start; display:
        the name of one already running to use instead."""
        self.screen = None
        self.display = None
        self.display_name = display
        self.work = tempfile.mkdtemp(prefix="vorlak-wine-")
        self.prefix = os.path.join(self.work, "prefix")
        os.mkdir(self.prefix)
        self.pulse = pulse
        self._processes = []
        try:
            if screen:
                self.screen = VirtualScreen(*screen)
                self.display = Display(self.screen.display)
                self.display_name = self.screen.display
            # The server first, kept up for the whole session; then the first
            # program, which sets up the prefix and starts the services.
            subprocess.run(["wineserver", "-p"], env=self.env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
        except BaseException:
            self.close()
            raise

    def env(self, extra=None):
        env = {key: value for key, value in os.environ.items()
               if key in ("PATH", "LANG", "LC_ALL", "TZ", "HOME", "TMPDIR")}
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        })
        if self.display_name:
            env["DISPLAY"] = self.display_name
        if self.pulse:
            env["PULSE_SERVER"] = self.pulse.server
        env.update(extra or {})
        return env

    def run(self, program, *args, cwd=None, timeout=60, extra_env=None):
        """Runs a program to its end: (exit status, output with Unix line ends)."""
        result = subprocess.run(["wine", program, *args], cwd=cwd, env=self.env(extra_env),
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        text = (result.stdout + result.stderr).decode("utf-8", "replace").replace("\r\n", "\n")
        return result.returncode, text

    def start(self, program, *args, cwd=None, extra_env=None):
        """Starts a program and leaves it running (ended with the session)."""
        process = subprocess.Popen(["wine", program, *args], cwd=cwd, env=self.env(extra_env),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self._processes.append(process)
        return process

    def reg_query(self, key):
        """The values of a registry key as wine's reg tool lists them:
        {name: (type, data)}, or None when the key does not exist."""
        status, text = self.run("reg", "query", key)
        if status != 0:
            return None
        values = {}
        for line in text.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    def reg_add(self, key, name, kind, data):
        status, text = self.run("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        if status != 0:
            raise RuntimeError(f"reg add {key} {name} failed: {text}")

    def close(self):
        for process in self._processes:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        for process in self._processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        self._processes = []
        if self.display:
            self.display.close()
            self.display = None
        if self.screen:
            self.screen.stop()
            self.screen = None
        shutil.rmtree(self.work, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class PulseServer:
    """A private PulseAudio server with one null sink at 22050 Hz mono, the
    format the program mixes in, so that nothing is resampled between the
    program and the recording."""

    RATE = 22050

    def __init__(self):
        self.work = tempfile.mkdtemp(prefix="vorlak-pulse-")
        socket = os.path.join(self.work, "native")
        self.server = "unix:" + socket
        self._env = dict(os.environ, HOME=self.work, XDG_RUNTIME_DIR=self.work, PULSE_SERVER=self.server)
        self._log = open(os.path.join(self.work, "pulseaudio.log"), "wb")
        self._process = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm",
             "-L", f"module-null-sink sink_name=vorlak rate={self.RATE} channels=1 format=s16le",
             "-L", f"module-native-protocol-unix socket={socket} auth-anonymous=1"],
            env=self._env, stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)
        self._recorder = None
        deadline = time.monotonic() + 20
        while subprocess.run(["pactl", "info"], env=self._env, capture_output=True).returncode != 0:
            if time.monotonic() > deadline or self._process.poll() is not None:
                self.close()
                raise RuntimeError("the PulseAudio server did not start")
            time.sleep(0.1)

    def start_recording(self, path):
        """Records the sink's monitor, raw 16-bit mono at RATE, into path."""
        self._recorder = subprocess.Popen(
            ["parec", "-d", "vorlak.monitor", "--format=s16le", f"--rate={self.RATE}", "--channels=1", "--raw", path],
            env=self._env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop_recording(self):
        if self._recorder:
            self._recorder.terminate()
            self._recorder.wait(timeout=10)
            self._recorder = None

    def close(self):
        self.stop_recording()
        if self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._log.close()
        shutil.rmtree(self.work, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
