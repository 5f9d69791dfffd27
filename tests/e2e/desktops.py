"""Desktops for the end-to-end tests beyond a bare X server: a Wayland
compositor (weston, drawing into the session's own Xvfb, so that xdotool
drives its input and the screen is read back as usual), X window managers,
scaled X desktops, and reading the console from a screen where its position
is not known (Wayland) or where it is drawn at a whole multiple."""

import os
import signal
import struct
import subprocess

import harness
from harness import Session, center, wait_until

MAGENTA = (255, 0, 255)  # the desktop's background in these tests


def outline_rects():
    """The console's outline from the program's own outline block: (left,
    top, right, bottom) rectangles, right and bottom exclusive."""
    path = os.path.join(harness.PATHS.source_dir, "assets", "outline", "CoolForm1.Mask2.bin")
    with open(path, "rb") as f:
        data = f.read()
    size, header, kind, count = struct.unpack_from("<4I", data, 0)
    if size != len(data) - 4 or header != 32 or kind != 1:
        raise ValueError(f"{path}: not an outline block")
    return [struct.unpack_from("<4i", data, 36 + 16 * i) for i in range(count)]


class Outline:
    def __init__(self, width=461, height=738):
        self.width, self.height = width, height
        self._inside = bytearray(width * height)
        for left, top, right, bottom in outline_rects():
            for y in range(max(top, 0), min(bottom, height)):
                for x in range(max(left, 0), min(right, width)):
                    self._inside[y * width + x] = 1

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height and self._inside[y * self.width + x] == 1

    def wrong_pixels(self, drawn):
        """Window pixels where drawn(x, y) disagrees with the outline: (drawn
        outside, not drawn inside), each a list of (x, y)."""
        outside, inside = [], []
        for y in range(self.height):
            for x in range(self.width):
                shown = drawn(x, y)
                if self.inside(x, y) and not shown:
                    inside.append((x, y))
                elif not self.inside(x, y) and shown:
                    outside.append((x, y))
        return outside, inside


class ScaledPicture:
    """A screen picture addressed in the console's pixels: the console's
    pixel (x, y) is the block of scale x scale screen pixels at origin +
    scale * (x, y). Reads the block's top left pixel, like lcd.Lcd expects."""

    def __init__(self, picture, origin, scale):
        self.picture, self.origin, self.scale = picture, origin, scale

    def rgb(self, x, y):
        return self.picture.rgb(self.origin[0] + self.scale * x, self.origin[1] + self.scale * y)

    def luminance(self, x, y):
        r, g, b = self.rgb(x, y)
        return (299 * r + 587 * g + 114 * b) // 1000

    def solid(self, x, y):
        """Whether the pixel's block is one colour."""
        first = self.rgb(x, y)
        left, top = self.origin[0] + self.scale * x, self.origin[1] + self.scale * y
        return all(self.picture.rgb(left + dx, top + dy) == first
                   for dy in range(self.scale) for dx in range(self.scale))


def background_mask(picture, colour=MAGENTA):
    """One int per screen row, bit 8 x set where the pixel at x is not the
    background colour (see is_set): whole rows at a time, fast enough for a
    full screen."""
    width = picture.width
    not_red = bytes(0 if v == colour[0] else 1 for v in range(256))
    not_green = bytes(0 if v == colour[1] else 1 for v in range(256))
    not_blue = bytes(0 if v == colour[2] else 1 for v in range(256))
    rows = []
    for y in range(picture.top, picture.top + picture.height):
        raw = picture.crop(picture.left, y, width, 1)
        bits = (int.from_bytes(raw[2::4].translate(not_red), "little")
                | int.from_bytes(raw[1::4].translate(not_green), "little")
                | int.from_bytes(raw[0::4].translate(not_blue), "little"))
        rows.append(bits)
    return rows


def is_set(rows, x, y):
    """Whether background_mask() rows mark the screen pixel (x, y)."""
    return rows[y] >> (8 * x) & 1


def bounding_box(rows):
    """(left, top, right, bottom), right and bottom exclusive, of the set bits
    of background_mask() rows (each bit a byte's lowest bit), or None."""
    used = [y for y, bits in enumerate(rows) if bits]
    if not used:
        return None
    union = 0
    for y in used:
        union |= rows[y]
    raw = union.to_bytes((union.bit_length() + 7) // 8, "little")
    left = len(raw) - len(raw.lstrip(b"\0"))
    return left, used[0], len(raw.rstrip(b"\0")), used[-1] + 1


class DesktopSession(Session):
    """A harness session whose program runs on a desktop of the test's
    choosing: extra environment for the program, and helper processes
    (compositor, window manager) that end with the session."""

    def __init__(self, width=1024, height=768, program_env=None):
        self._helpers = []
        self._extra_env = dict(program_env or {})
        super().__init__(width, height)

    def program_env(self):
        env = super().program_env()
        for key, value in self._extra_env.items():
            if value is None:
                env.pop(key, None)
            else:
                env[key] = value
        return env

    def set_program_env(self, **values):
        self._extra_env.update(values)

    def helper_env(self):
        """The session's display, with the session's own home and runtime
        folder, so that nothing a helper keeps reaches the user's."""
        env = self.tool_env()
        env.update({"HOME": self.home, "XDG_CONFIG_HOME": self.config_home, "XDG_RUNTIME_DIR": self.runtime_dir})
        return env

    def start_helper(self, args, log_name):
        log = open(os.path.join(self.work, log_name), "wb")
        process = subprocess.Popen(args, env=self.helper_env(), stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        self._helpers.append((process, log))
        return process

    def helper_log(self, log_name):
        with open(os.path.join(self.work, log_name), encoding="utf-8", errors="replace") as f:
            return f.read()

    def report(self, program):
        """What a test that misses a window says: whether the program and the
        helpers still run, their logs, and the windows the X server has."""
        lines = [f"program: {program.state()}", program.log()]
        for process, log in self._helpers:
            lines += [f"{process.args[0]}: {harness.process_state(process)}", self.helper_log(os.path.basename(log.name))]
        lines.append(self.tool("xwininfo", "-root", "-tree").stdout)
        return "\n".join(lines)

    def close(self):
        for program in self.programs:
            program.kill()
        for process, log in reversed(self._helpers):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                    process.wait(timeout=5)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    try:
                        os.killpg(process.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
            log.close()
        self._helpers = []
        super().close()

    # X desktops.
    def set_x_resources(self, text):
        result = self.tool("xrdb", "-nocpp", "-merge", input_text=text)
        if result.returncode != 0:
            raise RuntimeError(f"xrdb failed: {result.stderr}")

    def tool(self, *args, timeout=15, input_text=None):
        return subprocess.run(list(args), env=self.tool_env(), capture_output=True, text=True, timeout=timeout,
                              input=input_text)

    def window_manager_name(self):
        """The running window manager's name, from its check window, or None."""
        out = self.tool("xprop", "-root", "-notype", "_NET_SUPPORTING_WM_CHECK").stdout
        if "window id #" not in out:
            return None
        window = out.rsplit("#", 1)[1].strip()
        name = self.tool("xprop", "-id", window, "-notype", "_NET_WM_NAME").stdout
        return name.split("=", 1)[1].strip().strip('"') if "=" in name else None

    def screen_picture(self):
        return self.display.grab(0, 0, self.screen.width, self.screen.height)


class Weston:
    """weston with its X11 back end in the session's Xvfb, filling the
    screen, with a plain magenta desktop and no panel. The program talks to
    it natively (no X display in its environment)."""

    SOCKET = "wayland-vorlak"

    def __init__(self, session, scale=1):
        self.session = session
        self.scale = scale
        config = os.path.join(session.work, "weston.ini")
        with open(config, "w") as f:
            f.write("[core]\nidle-time=0\nrequire-input=false\n\n"
                    "[shell]\nbackground-color=0xffff00ff\npanel-position=none\nlocking=false\n"
                    "animation=none\nclose-animation=none\nstartup-animation=none\nfocus-animation=none\n")
        self.process = session.start_helper(
            ["weston", "--backend=x11-backend.so", "--use-pixman", f"--socket={self.SOCKET}",
             f"--width={session.screen.width // scale}", f"--height={session.screen.height // scale}",
             f"--scale={scale}", f"--config={config}", "--idle-time=0"], "weston.log")
        # weston's X11 back end moves its own pointer (the one it draws and
        # clicks with) by the X pointer's moves, from (0, 0) when it missed
        # where the X pointer was at first, and stops it at the screen's
        # edges: until both have met the edges together it is off from the X
        # pointer, and xdotool's clicks land elsewhere. Moving the X pointer to
        # the top left corner, the bottom right one and the middle brings them
        # together, whatever the offset. Up once weston draws its desktop and
        # its pointer in the middle after such moves (it may miss moves made
        # before its window is up, so each look makes them anew), and then
        # nothing once the pointer is parked in the bottom right corner.
        width, height = session.screen.width, session.screen.height
        middle = (width // 2, height // 2)
        corners = [(0, 0), (width - 1, 0), (0, height - 1)]

        def background(x, y):
            return session.display.grab(x, y, 1, 1).rgb(x, y) == MAGENTA

        def pointer_in_middle():
            box = session.display.grab(middle[0] - 8 * scale, middle[1] - 8 * scale, 32 * scale, 32 * scale)
            return any(box.rgb(x, y) != MAGENTA for y in range(box.top, box.top + box.height)
                       for x in range(box.left, box.left + box.width))

        def followed():
            if self.process.poll() is not None:
                raise AssertionError(f"weston ended:\n{session.helper_log('weston.log')}")
            if not os.path.exists(os.path.join(session.runtime_dir, self.SOCKET)):
                return False
            session.xdotool("mousemove", 0, 0, "mousemove", width - 1, height - 1, "mousemove", *middle)
            return all(background(x, y) for x, y in corners) and pointer_in_middle()
        if not wait_until(followed, 30, 0.1):
            raise AssertionError(f"weston did not come up, or its pointer does not follow the X pointer:\n"
                                 f"{session.helper_log('weston.log')}")
        session.xdotool("mousemove", width - 1, height - 1)
        if not wait_until(lambda: not pointer_in_middle() and background(*middle), 10):
            raise AssertionError("weston's pointer stays in the middle of the screen")
        session.set_program_env(WAYLAND_DISPLAY=self.SOCKET, DISPLAY=None, QT_QPA_PLATFORM=None)


class WaylandScreen:
    """Finds the program's windows on a Wayland desktop, where nothing tells
    where the compositor put them: by what differs from the background, read
    twice with the pointer at two far corners so that its arrow is left out."""

    def __init__(self, session):
        self.session = session
        self.width, self.height = session.screen.width, session.screen.height

    def parks(self):
        return [(self.width - 1, self.height - 1), (0, self.height - 1)]

    def drawn(self):
        """(background mask rows, the two pictures): a bit is set where the
        screen differs from the background in both reads."""
        masks, pictures = [], []
        for park in self.parks():
            self.session.xdotool("mousemove", *park)
            picture = self.session.settled_picture(0, 0, self.width, self.height)
            pictures.append(picture)
            masks.append(background_mask(picture))
        return [a & b for a, b in zip(*masks)], pictures

    def window_box(self, size, timeout=15):
        """The bounding box of what is drawn, once it is size (w, h) big, and
        the drawn() result it was found in."""
        last = [None]

        def found():
            drawn = self.drawn()
            box = bounding_box(drawn[0])
            last[0] = box
            return (box, drawn) if box and (box[2] - box[0], box[3] - box[1]) == size else None
        result = wait_until(found, timeout, 0.1)
        if result is None:
            raise AssertionError(f"no window of {size[0]} x {size[1]} on the screen; drawn: {last[0]}")
        return result


def start_openbox(session):
    """openbox as the session's window manager, once it has taken over."""
    session.start_helper(["openbox", "--sm-disable"], "openbox.log")
    if not wait_until(lambda: session.window_manager_name() == "Openbox", 20, 0.1):
        raise AssertionError(f"openbox did not start:\n{session.helper_log('openbox.log')}")


def start_mutter_x11(session):
    """mutter, GNOME's window manager, on the session's X server, with a
    private message bus, once it has taken over and drawn its first frame.
    mutter names itself the window manager a fraction of a second before it
    composites anything: until then the screen is the bare root window, of
    the colour the test gave it."""
    root = session.display.grab(0, 0, 1, 1).rgb(0, 0)
    session.start_helper(["dbus-run-session", "--", "mutter", "--x11", "--replace", "--sm-disable"], "mutter.log")
    if not wait_until(lambda: session.window_manager_name() == "Mutter", 30, 0.1):
        raise AssertionError(f"mutter did not start:\n{session.helper_log('mutter.log')}")
    width, height = session.screen.width, session.screen.height
    looks = [(0, 0), (width - 1, 0), (0, height - 1), (width // 2, height // 2)]
    if not wait_until(lambda: all(session.display.grab(x, y, 1, 1).rgb(x, y) != root for x, y in looks), 30, 0.02):
        raise AssertionError(f"mutter drew no frame:\n{session.helper_log('mutter.log')}")


def write_choices(session, sound_mode=2, system=1):
    """Stored choices, so that play is ready at once: (no sound), 2000."""
    session.settings.write_text(f"[General]\nSoundMode={sound_mode}\nSystem={system}\n")


def drag(session, start, steps):
    """A left-button drag from start through the given relative steps; the
    pointer's end position."""
    x, y = start
    session.xdotool("mousemove", x, y, "mousedown", 1)
    for dx, dy in steps:
        x, y = x + dx, y + dy
        session.xdotool("mousemove", x, y)
    session.xdotool("mouseup", 1)
    return x, y


def changed_box(before, after):
    """(left, top, right, bottom) of the pixels that differ between two
    pictures of the same rectangle, or None."""
    left = top = right = bottom = None
    for y in range(before.top, before.top + before.height):
        a = before.crop(before.left, y, before.width, 1)
        b = after.crop(after.left, y, after.width, 1)
        if a == b:
            continue
        first = next(i for i in range(len(a)) if a[i] != b[i]) // 4
        last = next(i for i in range(len(a) - 1, -1, -1) if a[i] != b[i]) // 4
        left = first if left is None else min(left, first)
        right = last + 1 if right is None else max(right, last + 1)
        top = y if top is None else top
        bottom = y + 1
    if left is None:
        return None
    return before.left + left, top, before.left + right, bottom


# The console's keys, in window pixels: left, top, width, height.
KEYS = {
    "ON/OFF": (195, 475, 34, 38), "SOUND": (240, 475, 34, 38), "ACL": (288, 475, 34, 38),
    "START": (338, 392, 79, 75),
    "pad up": (96, 386, 31, 38), "pad left": (58, 425, 38, 31), "pad right": (129, 425, 38, 31),
    "pad down": (96, 457, 31, 38),
}


def check_keys_in_reach(test, session, origin, scale, read_lcd, off_console=None):
    """Every key of the console whose window's top left is at origin (screen
    pixels, drawn at `scale`) lies wholly on the screen, and on X the pointer
    meets another window at each key's centre than at `off_console`, a point
    of the desktop away from the console. Then ON/OFF lights the LCD, SOUND
    turns the sound-off mark on or off and ACL switches the console off
    again, each read back by read_lcd() (an LcdState), which must decide
    every segment: a blurred LCD leaves segments undecided."""
    width, height = session.screen.width, session.screen.height

    def at(point):
        return origin[0] + scale * point[0], origin[1] + scale * point[1]
    for name, (left, top, w, h) in KEYS.items():
        x0, y0 = at((left, top))
        x1, y1 = at((left + w, top + h))
        test.assertTrue(0 <= x0 and 0 <= y0 and x1 <= width and y1 <= height,
                        f"{name} at {x0},{y0} to {x1},{y1} is not on the {width} x {height} screen")
    if off_console is not None:
        under = session.windows_under([off_console] + [at(center(rect)) for rect in KEYS.values()])
        missed = [name for name, window in zip(KEYS, under[1:]) if window == under[0]]
        test.assertEqual(missed, [], "the pointer meets the desktop, not the console, at these keys")

    def after_click(key, wanted, what):
        session.click(*at(center(KEYS[key])))
        session.pointer_away()
        last = [None]

        def seen():
            last[0] = read_lcd()
            return not last[0].undecided and wanted(last[0])
        test.assertTrue(wait_until(seen, 10), f"{key}: {what}; the LCD reads {last[0]}")
        return last[0]
    on = after_click("ON/OFF", lambda s: s["Im_GameOver"] and s["Im_Cruscotto"], "the LCD did not light, crisp")
    after_click("SOUND", lambda s: s["Im_GameOver"] and s["Im_Suoni"] != on["Im_Suoni"],
                "the sound-off mark did not change")
    after_click("ACL", lambda s: s.lit_names() == [], "the console did not switch off")
