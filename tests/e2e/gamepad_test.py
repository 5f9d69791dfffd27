"""Pads and the real program: with no pad, neither the pad module nor SDL is
loaded, whatever sound was chosen; and a pad made with the kernel's uinput
drives the console from outside (where /dev/uinput can be opened)."""

import fcntl
import glob
import os
import struct
import time
import unittest

import harness
from harness import (CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON, POWER_KEY, Session,
                     assert_ended_cleanly, center, launcher_point, wait_until)
from lcd import Lcd

PAD_MODULE = "vorlak-gamepad-sdl.so"
SOUND_MODULE = "vorlak-sound-sdl.so"

# linux/uinput.h and linux/input-event-codes.h
UI_SET_EVBIT, UI_SET_KEYBIT, UI_SET_ABSBIT = 0x40045564, 0x40045565, 0x40045567
UI_DEV_SETUP, UI_ABS_SETUP, UI_DEV_CREATE, UI_DEV_DESTROY = 0x405c5503, 0x401c5504, 0x5501, 0x5502
UI_GET_SYSNAME_64 = 0x8040552c
EV_SYN, EV_KEY, EV_ABS = 0, 1, 3
BUS_USB = 3
BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR = 304, 305, 307, 308, 310, 311
BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR = 314, 315, 316, 317, 318
ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ, ABS_HAT0X, ABS_HAT0Y = 0, 1, 2, 3, 4, 5, 16, 17


class UinputPad:
    """A wired pad of a common make, as the kernel's pad driver shows it."""

    BUTTONS = (BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_SELECT, BTN_START, BTN_MODE,
               BTN_THUMBL, BTN_THUMBR)
    AXES = {ABS_X: (-32768, 32767), ABS_Y: (-32768, 32767), ABS_RX: (-32768, 32767), ABS_RY: (-32768, 32767),
            ABS_Z: (0, 255), ABS_RZ: (0, 255), ABS_HAT0X: (-1, 1), ABS_HAT0Y: (-1, 1)}

    def __init__(self):
        self.fd = os.open("/dev/uinput", os.O_WRONLY | os.O_NONBLOCK)
        try:
            fcntl.ioctl(self.fd, UI_SET_EVBIT, EV_KEY)
            fcntl.ioctl(self.fd, UI_SET_EVBIT, EV_ABS)
            for button in self.BUTTONS:
                fcntl.ioctl(self.fd, UI_SET_KEYBIT, button)
            for axis, (low, high) in self.AXES.items():
                fcntl.ioctl(self.fd, UI_SET_ABSBIT, axis)
                fcntl.ioctl(self.fd, UI_ABS_SETUP, struct.pack("H2x6i", axis, 0, low, high, 0, 0, 0))
            name = b"Vorlak test pad"
            fcntl.ioctl(self.fd, UI_DEV_SETUP, struct.pack("4H80sI", BUS_USB, 0x045e, 0x028e, 0x0114, name, 0))
            fcntl.ioctl(self.fd, UI_DEV_CREATE)
            sysname = bytearray(64)
            fcntl.ioctl(self.fd, UI_GET_SYSNAME_64, sysname)
            self.sysfs = "/sys/devices/virtual/input/" + sysname.split(b"\0")[0].decode()
        except BaseException:
            os.close(self.fd)
            raise

    def device_node(self):
        """/dev/input/eventN of the pad, once it exists."""
        try:
            names = [n for n in os.listdir(self.sysfs) if n.startswith("event")]
        except OSError:
            return None
        path = "/dev/input/" + names[0] if names else None
        return path if path and os.path.exists(path) else None

    def send(self, kind, code, value):
        seconds = time.time()
        event = struct.pack("llHHi", int(seconds), int(seconds % 1 * 1e6), kind, code, value)
        sync = struct.pack("llHHi", int(seconds), int(seconds % 1 * 1e6), EV_SYN, 0, 0)
        os.write(self.fd, event + sync)

    def close(self):
        if self.fd is not None:
            try:
                fcntl.ioctl(self.fd, UI_DEV_DESTROY)
            finally:
                os.close(self.fd)
                self.fd = None


def mapped_files(pid):
    try:
        with open(f"/proc/{pid}/maps") as f:
            return {os.path.basename(line.split()[-1]) for line in f if "/" in line}
    except OSError:
        return set()


def thread_names(pid):
    names = set()
    for task in glob.glob(f"/proc/{pid}/task/*/comm"):
        try:
            with open(task) as f:
                names.add(f.read().strip())
        except OSError:
            pass
    return names


def opened(pid, path):
    """How many of the process's open files are path."""
    count = 0
    folder = f"/proc/{pid}/fd"
    for name in os.listdir(folder):
        try:
            count += os.readlink(os.path.join(folder, name)) in (path, path + " (deleted)")
        except OSError:
            pass
    return count


class GamepadTest(unittest.TestCase):
    def setUp(self):
        self.session = Session(1024, 768)
        self.addCleanup(self.session.close)
        self.lcd = Lcd(harness.PATHS.art_dir)

    def play_without_sound(self):
        """Starts with "(no sound)" already chosen and plays: (program, console)."""
        session = self.session
        session.settings.write_text("[General]\nSoundMode=2\nSystem=1\n")
        program = session.start()
        launcher = session.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher; log:\n{program.log()}")
        self.assertNotIn(PAD_MODULE, mapped_files(program.process.pid), "pads watched before play")
        self.assertFalse(any(name.startswith("libSDL2") for name in mapped_files(program.process.pid)),
                         "SDL loaded before play")
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        expected = ((1024 - 461) // 2, (768 - 738) // 2)
        console = wait_until(lambda: next((w for w in session.visible_windows(CONSOLE_TITLE, CONSOLE_SIZE)
                                           if w.origin == expected), None), 10)
        self.assertIsNotNone(console, "the console did not come on screen")
        return program, console

    def test_without_a_pad_neither_pad_nor_sound_module_is_loaded(self):
        if glob.glob("/sys/class/input/js*"):
            self.skipTest("this machine has a joystick plugged in, so the pad module is rightly loaded")
        program, console = self.play_without_sound()
        pid = program.process.pid
        # The pad thread runs once the launcher has gone, and waits for a pad
        # without loading SDL for one.
        self.assertTrue(wait_until(lambda: "gamepads" in thread_names(pid), 10),
                        f"no pad thread after play; log:\n{program.log()}")
        self.session.sync(console)
        self.assertNotIn(PAD_MODULE, mapped_files(pid), "the pad module was loaded with no pad present")
        self.assertFalse(any(name.startswith("libSDL2") for name in mapped_files(pid)), "SDL was loaded")
        self.assertNotIn(SOUND_MODULE, mapped_files(pid))
        self.assertNotIn("no gamepads", program.log())
        self.session.key("Escape")
        assert_ended_cleanly(self, self.session, program)

    def test_a_pad_from_outside_drives_the_console(self):
        if not os.access("/dev/uinput", os.W_OK):
            self.skipTest("/dev/uinput is missing or not writable here: no pad can be made from outside "
                          "(load the kernel's uinput module and allow its use to run this test)")
        try:
            pad = UinputPad()
        except OSError as error:
            self.skipTest(f"/dev/uinput refused a pad: {error}")
        self.addCleanup(pad.close)
        node = wait_until(pad.device_node, 5)
        if node is None:
            self.skipTest("the kernel made the pad but no /dev/input node appeared for it (no devtmpfs or udev)")
        if not os.access(node, os.R_OK):
            self.skipTest(f"{node} is not readable here, so no program can read the pad")

        program, console = self.play_without_sound()
        pid = program.process.pid
        # SDL opens the pad, and the watch opens it a second time to wake up.
        self.assertTrue(wait_until(lambda: opened(pid, node) >= 2, 10), f"the pad was not opened; log:\n{program.log()}")

        session = self.session
        session.click(console.left + center(POWER_KEY)[0], console.top + center(POWER_KEY)[1])
        look = lambda: self.lcd.read(session.display.grab(*self.lcd.area(console.origin)), console.origin)
        self.assertTrue(wait_until(lambda: look()["Im_GameOver"], 3), "power on did not show")

        pad.send(EV_KEY, BTN_SOUTH, 1)
        self.assertTrue(wait_until(lambda: look()["Im_Moto2"], 3), "A did not start a game")
        pad.send(EV_KEY, BTN_SOUTH, 0)
        self.assertTrue(wait_until(lambda: look()["Im_Speed1"], 15), "the race did not start")

        pad.send(EV_ABS, ABS_HAT0X, 1)
        self.assertTrue(wait_until(lambda: look()["Im_Moto3"], 3), "the d-pad did not steer")
        pad.send(EV_ABS, ABS_HAT0X, 0)
        pad.send(EV_ABS, ABS_X, -30000)
        self.assertTrue(wait_until(lambda: look()["Im_Moto2"], 3), "the stick did not steer")
        pad.send(EV_ABS, ABS_X, 0)

        # Unplugged mid-press: the program goes on and ends cleanly.
        pad.send(EV_ABS, ABS_HAT0X, -1)
        self.assertTrue(wait_until(lambda: look()["Im_Moto1"], 3), "the d-pad did not steer left")
        pad.close()
        self.assertTrue(wait_until(lambda: opened(pid, node) == 0, 10), "the pad's files stayed open")
        self.assertTrue(program.running())
        session.key("Escape")
        assert_ended_cleanly(self, session, program)


if __name__ == "__main__":
    harness.main()
