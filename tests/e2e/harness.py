"""Runs the real program on a private X server and drives it from outside, as
a user would: xdotool for the mouse and keys, xwininfo for the windows,
pixels read back from the screen, the settings file on disk and the raw sound
that SDL's disk driver writes.

Each test script takes: --program <vorlak-simulator> --run-dir <folder with
SOUND and the side documents> --source-dir <repository root>, and
--message-box <e2e-message-box> where error boxes are checked."""

import argparse
import atexit
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from xserver import Display, VirtualScreen

CONSOLE_TITLE = "Vorlak Simulator"
LAUNCHER_TITLE = "About Vorlak..."
ABOUT_TITLE = "About the author..."
CONSOLE_SIZE = (461, 738)
OFF_SCREEN = (-500, -1)  # where the console waits until play
LAUNCHER_SIZE = (246, 358)

# Launcher controls: left, top, width, height in the launcher's client area.
SOUND_LIST = (128, 264, 97, 21)
SYSTEM_LIST = (128, 292, 97, 21)
PLAY_BUTTON = (90, 325, 65, 25)
SOUND_ENTRIES = ["Windows MM", "DirectSound", "(no sound)"]
SYSTEM_ENTRIES = ["95, 98, ME, NT", "2000"]

# Console keys and places on the skin, in window pixels.
POWER_KEY = (195, 475, 34, 38)

PATHS = None  # set by main()

# A test that hangs fails after this many seconds instead, and cleans up.
TEST_TIME_LIMIT = 100
_open_sessions = []


class TestTimeLimit(Exception):
    pass


def _time_limit_reached(signum, frame):
    raise TestTimeLimit(f"the test ran for more than {TEST_TIME_LIMIT} s")


def _close_open_sessions():
    for session in list(_open_sessions):
        session.close()


class Paths:
    def __init__(self, program, run_dir, source_dir, message_box=None):
        self.program = os.path.abspath(program)
        self.message_box = os.path.abspath(message_box) if message_box else None
        self.run_dir = os.path.abspath(run_dir)
        self.source_dir = os.path.abspath(source_dir)
        self.art_dir = os.path.join(self.source_dir, "assets", "lcd")
        self.sound_dir = os.path.join(self.source_dir, "assets", "SOUND")
        self.pictures_dir = os.path.join(self.source_dir, "assets", "pictures")


def main():
    """Entry point of a test script: reads the paths, then runs unittest."""
    global PATHS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--run-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--message-box", help="the toolkit's error box, for comparing the program's with")
    args, rest = parser.parse_known_args()
    PATHS = Paths(args.program, args.run_dir, args.source_dir, args.message_box)
    # Whatever ends the script, the X servers and programs it started go too.
    atexit.register(_close_open_sessions)
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(1))
    signal.signal(signal.SIGALRM, _time_limit_reached)
    for tool in ("Xvfb", "xdotool", "xwininfo"):
        if not shutil.which(tool):
            print(f"missing tool: {tool}", file=sys.stderr)
            sys.exit(1)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def wait_until(predicate, timeout, interval=0.05):
    """The first true value of predicate() within timeout seconds, else None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


def center(rect):
    left, top, width, height = rect
    return left + width // 2, top + height // 2


class WindowInfo:
    def __init__(self, window_id, left, top, width, height, viewable, name):
        self.id = window_id
        self.left, self.top, self.width, self.height = left, top, width, height
        self.viewable = viewable
        self.name = name

    @property
    def origin(self):
        return self.left, self.top

    @property
    def size(self):
        return self.width, self.height

    def __repr__(self):
        return (f"Window(0x{self.id:x} {self.name!r} {self.width}x{self.height}+{self.left}+{self.top}"
                f"{' viewable' if self.viewable else ''})")


class Settings:
    """The program's settings file, read as text: key -> value, or None."""

    def __init__(self, config_home):
        self.path = os.path.join(config_home, "Selvane", "Vorlak.conf")

    def write_text(self, text):
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        with open(self.path, "wb") as f:
            f.write(text if isinstance(text, bytes) else text.encode())

    def read(self):
        if not os.path.isfile(self.path):
            return None
        values = {}
        section = None
        with open(self.path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.strip()
                if line.startswith("[") and line.endswith("]"):
                    section = line[1:-1]
                elif "=" in line and section == "General":
                    key, value = line.split("=", 1)
                    values[key.strip()] = value.strip().strip('"')
        return values


def process_state(process):
    """"running", or how a process ended."""
    return "running" if process.poll() is None else f"ended with {process.returncode}"


class Program:
    """One run of the program, in its own process group. Its standard output
    and error go to a log, unless stderr says otherwise: a file descriptor,
    or "closed" for none at all."""

    def __init__(self, session, run_dir, program=None, stderr=subprocess.STDOUT):
        self.session = session
        self.log_path = os.path.join(session.work, f"program-{session.next_run()}.log")
        self._log = open(self.log_path, "wb")
        close_stderr = stderr == "closed"
        self.process = subprocess.Popen([program or PATHS.program], cwd=run_dir, env=session.program_env(),
                                        stdin=subprocess.DEVNULL, stdout=self._log,
                                        stderr=subprocess.DEVNULL if close_stderr else stderr,
                                        preexec_fn=(lambda: os.close(2)) if close_stderr else None,
                                        start_new_session=True)
        self.started = time.monotonic()

    def running(self):
        return self.process.poll() is None

    def state(self):
        return process_state(self.process)

    def wait(self, timeout):
        """Exit status, or None if still running after timeout seconds."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def group_alive(self):
        """Whether any process of the program's process group is left."""
        try:
            os.killpg(self.process.pid, 0)
        except ProcessLookupError:
            return False
        except PermissionError:
            return True
        return True

    def log(self):
        self._log.flush()
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def kill(self):
        """Ends the program and its process group, if it still runs."""
        if self.running():
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        self._log.close()


class Session:
    """A private X server, a temporary home for the settings and a place for
    the disk audio file; every program started through it is ended with it."""

    def __init__(self, width=1024, height=768):
        self.work = tempfile.mkdtemp(prefix="vorlak-e2e-")
        self.screen = None
        self.display = None
        self.programs = []
        self._runs = 0
        _open_sessions.append(self)
        signal.alarm(TEST_TIME_LIMIT)
        try:
            self.home = os.path.join(self.work, "home")
            self.config_home = os.path.join(self.home, ".config")
            self.runtime_dir = os.path.join(self.work, "runtime")
            os.makedirs(self.config_home)
            os.mkdir(self.runtime_dir, 0o700)
            self.audio_path = os.path.join(self.work, "audio.raw")
            self.settings = Settings(self.config_home)
            self.screen = VirtualScreen(width, height)
            self.display = Display(self.screen.display)
        except BaseException:
            self.close()
            raise

    def next_run(self):
        self._runs += 1
        return self._runs

    def close(self):
        if self not in _open_sessions:
            return
        _open_sessions.remove(self)
        signal.alarm(0)
        for program in self.programs:
            program.kill()
        if self.display:
            self.display.close()
        if self.screen:
            self.screen.stop()
        shutil.rmtree(self.work, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # The program's environment: only what any Qt or SDL program honours.
    def program_env(self):
        env = {key: value for key, value in os.environ.items()
               if key in ("PATH", "LANG", "LC_ALL", "TZ")}
        env.update({
            "DISPLAY": self.screen.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "QT_QPA_PLATFORM": "xcb",
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio_path,
        })
        return env

    def tool_env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.screen.display
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def start(self, run_dir=None, program=None, stderr=subprocess.STDOUT):
        """Starts the program (or a copy of it at `program`) in run_dir."""
        program = Program(self, run_dir or PATHS.run_dir, program, stderr)
        self.programs.append(program)
        return program

    def run_dir_without_sound(self):
        """A working directory with the side documents but no SOUND folder."""
        path = os.path.join(self.work, "run-without-sound")
        os.makedirs(path, exist_ok=True)
        for name in os.listdir(PATHS.run_dir):
            source = os.path.join(PATHS.run_dir, name)
            if os.path.isfile(source) and name.endswith(".txt"):
                shutil.copy(source, path)
        return path

    # Tools.
    def tool(self, *args, timeout=15):
        result = subprocess.run(list(args), env=self.tool_env(), capture_output=True, text=True, timeout=timeout)
        return result

    def xdotool(self, *args, timeout=15):
        result = self.tool("xdotool", *[str(a) for a in args], timeout=timeout)
        if result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def key(self, *names):
        self.xdotool("key", "--delay", 30, *names)

    def sync(self, window):
        """Returns once the program owning the window has handled every input
        the X server gave it so far: two pings answered one after the other
        (the toolkit answers a ping as soon as it reads it, before it hands
        the input read with it to the windows, which it does before it reads
        again)."""
        for _ in range(2):
            if not self.display.ping(window.id if isinstance(window, WindowInfo) else window):
                raise AssertionError("the program does not answer")

    def pointer_away(self):
        """The pointer to the screen's bottom right corner, off every control."""
        self.xdotool("mousemove", self.screen.width - 1, self.screen.height - 1)

    def settled_picture(self, left, top, width, height, timeout=5.0):
        """The screen in a rectangle once its drawing has settled: two reads
        0.1 s apart that are the same."""
        deadline = time.monotonic() + timeout
        picture = self.display.grab(left, top, width, height)
        while True:
            time.sleep(0.1)
            again = self.display.grab(left, top, width, height)
            if again.crop(left, top, width, height) == picture.crop(left, top, width, height):
                return again
            if time.monotonic() > deadline:
                raise AssertionError(f"the screen at {width}x{height}+{left}+{top} keeps changing")
            picture = again

    def window_under(self, x, y):
        out = self.xdotool("mousemove", x, y, "getmouselocation", "--shell")
        match = re.search(r"^WINDOW=(\d+)$", out, re.M)
        return int(match.group(1)) if match else None

    def windows_under(self, points):
        """The window under each point, in one xdotool run."""
        args = []
        for x, y in points:
            args += ["mousemove", x, y, "getmouselocation", "--shell"]
        out = self.xdotool(*args, timeout=60)
        found = [int(w) for w in re.findall(r"^WINDOW=(\d+)$", out, re.M)]
        if len(found) != len(points):
            raise RuntimeError(f"asked for {len(points)} points, got {len(found)}")
        return found

    def focused_window(self):
        return int(self.xdotool("getwindowfocus", "-f").strip())

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window.id if isinstance(window, WindowInfo) else window)

    def window_info(self, window_id):
        result = self.tool("xwininfo", "-id", str(window_id))
        if result.returncode != 0:
            return None
        text = result.stdout

        def number(label):
            return int(re.search(rf"^\s*{label}:\s*(-?\d+)", text, re.M).group(1))

        name = re.search(r'^xwininfo: Window id: \S+ "(.*)"$', text, re.M)
        return WindowInfo(window_id, number("Absolute upper-left X"), number("Absolute upper-left Y"),
                          number("Width"), number("Height"), "Map State: IsViewable" in text,
                          name.group(1) if name else "")

    def viewable(self, window_id):
        info = self.window_info(window_id)
        return bool(info and info.viewable)

    def top_windows(self):
        """Every child of the root window, viewable or not, top of the stack first."""
        result = self.tool("xwininfo", "-root", "-children")
        ids = [int(m, 16) for m in re.findall(r"^\s+(0x[0-9a-f]+)", result.stdout, re.M)]
        infos = [self.window_info(i) for i in ids]
        return [info for info in infos if info]

    def visible_windows(self, title=None, size=None):
        return [w for w in self.top_windows()
                if w.viewable and (title is None or w.name == title) and (size is None or w.size == size)]

    def wait_for_window(self, title, size=None, timeout=20, exclude=()):
        def find():
            found = [w for w in self.visible_windows(title, size) if w.id not in exclude]
            return found[0] if found else None
        return wait_until(find, timeout, 0.1)

    def shape_extents(self, window_id):
        result = self.tool("xwininfo", "-id", str(window_id), "-shape")
        match = re.search(r"Window shape extents:\s*(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", result.stdout)
        return tuple(int(g) for g in match.groups()) if match else None


# Launcher steps shared by the tests.
def start_to_launcher(test, session, run_dir=None, **start):
    """Starts the program (session.start's arguments) and waits for its
    launcher: (program, launcher, console), the console as it waits off the
    screen."""
    program = session.start(run_dir, **start)
    launcher = session.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE)
    test.assertIsNotNone(launcher, f"no launcher came up; program log:\n{program.log()}")
    console = next((w for w in session.top_windows() if w.name == CONSOLE_TITLE and w.size == CONSOLE_SIZE), None)
    test.assertIsNotNone(console, "no console window")
    return program, launcher, console


def launcher_point(launcher, rect):
    x, y = center(rect)
    return launcher.left + x, launcher.top + y


def choose_entry(session, launcher, list_rect, index):
    """Opens a drop-down list with the mouse and clicks its entry at index
    (the entries share the open list's height evenly)."""
    count = len(SOUND_ENTRIES) if list_rect == SOUND_LIST else len(SYSTEM_ENTRIES)
    known = {w.id for w in session.visible_windows()}
    opened_at = launcher_point(launcher, list_rect)
    session.click(*opened_at)
    popup = wait_until(lambda: next((w for w in session.visible_windows() if w.id not in known), None), 10, 0.05)
    if popup is None:
        raise AssertionError("the drop-down list did not open")
    entry = (popup.left + popup.width // 2, popup.top + popup.height * (2 * index + 1) // (2 * count))
    # The toolkit takes a release soon after the press that opened the list
    # for the end of that press, unless the pointer has moved away from it
    # since: pass through a point of the list far from it on the way to the
    # entry. Should a click still be taken so, the list stays open and the
    # next click chooses.
    far = (popup.left + 2, entry[1]) if abs(opened_at[0] - popup.left) > 20 else (popup.left + popup.width - 3, entry[1])
    for _ in range(3):
        session.xdotool("mousemove", *far, "mousemove", *entry, "click", 1)
        if wait_until(lambda: not session.viewable(popup.id), 3):
            return
    raise AssertionError("the drop-down list stayed open")


def list_text_area(launcher, list_rect):
    """Screen rectangle of the text a drop-down list shows (inside its frame,
    left of its arrow button)."""
    left, top, width, height = list_rect
    return launcher.left + left + 3, launcher.top + top + 3, width - 24, height - 6


def play_button_area(launcher):
    left, top, width, height = PLAY_BUTTON
    return launcher.left + left + 3, launcher.top + top + 3, width - 6, height - 6


class LauncherLook:
    """What the launcher shows: the two lists' texts and the play button."""

    def __init__(self, session, launcher):
        session.pointer_away()
        session.sync(launcher)  # it has handled the pointer and drawn what it shows
        picture = session.settled_picture(launcher.left, launcher.top, launcher.width, launcher.height)
        self.sound_text = picture.crop(*list_text_area(launcher, SOUND_LIST))
        self.system_text = picture.crop(*list_text_area(launcher, SYSTEM_LIST))
        self.play = picture.crop(*play_button_area(launcher))
        self.sound_ink = dark_pixels(picture, list_text_area(launcher, SOUND_LIST))
        self.system_ink = dark_pixels(picture, list_text_area(launcher, SYSTEM_LIST))
        # The button's label: how dark its darkest pixel is (a disabled
        # label is drawn grey).
        area = play_button_area(launcher)
        self.play_label_darkest = min(picture.luminance(x, y)
                                      for y in range(area[1], area[1] + area[3])
                                      for x in range(area[0], area[0] + area[2]))


def dark_pixels(picture, rect, threshold=100):
    left, top, width, height = rect
    return sum(1 for y in range(top, top + height) for x in range(left, left + width)
               if picture.luminance(x, y) < threshold)


def centred_position(screen_size, window_size, keep_top_when_small=None):
    """Where a window centred on the screen goes: left and top cut toward zero."""
    left = int((screen_size[0] - window_size[0]) / 2)
    top = int((screen_size[1] - window_size[1]) / 2)
    if keep_top_when_small is not None and screen_size[1] <= 600:
        top = keep_top_when_small
    return left, top


def assert_ended_cleanly(test, session, program):
    """Fails the test unless the program has ended with status 0 and nothing left."""
    status, problem = ended_cleanly(session, program)
    test.assertIsNone(problem, problem)
    test.assertEqual(status, 0, f"exit status {status}; log:\n{program.log()}")


def ended_cleanly(session, program, timeout=10):
    """(exit status, reason) once the program has ended with nothing left:
    no process of its group and no window of it on the X server."""
    status = program.wait(timeout)
    if status is None:
        return None, "still running"
    if wait_until(lambda: not program.group_alive(), 5) is None:
        return status, "processes of its group are left"
    left = [w for w in session.top_windows() if w.name in (CONSOLE_TITLE, LAUNCHER_TITLE, ABOUT_TITLE)]
    if left:
        return status, f"windows are left: {left}"
    return status, None
