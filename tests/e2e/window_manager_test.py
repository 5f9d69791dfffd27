"""The program under X window managers that keep windows on the screen
(openbox keeps a tenth of a window in view, mutter pulls it in whole): no
pixel of the console before play, the console's first showing still bringing
up the launcher; after play the console centred and drawn, its outline for
drawing and for the mouse, and the exact drag; minimised, the launcher
comes straight back and the about window comes back by F1. On a screen too
small for
the console at 2x (1366 x 768 at 200 %), the launcher and the console come
at 1x, with every key in reach."""

import unittest

import harness
from desktops import (DesktopSession, Outline, check_keys_in_reach, drag, start_mutter_x11, start_openbox,
                      write_choices)
from harness import (CONSOLE_SIZE, LAUNCHER_SIZE, PLAY_BUTTON, assert_ended_cleanly, center, centred_position,
                     wait_until)
from lcd import Lcd

# Room the window manager's frame and shadow may take around the launcher.
FRAME_MARGIN = 60
# Pixels of the skin that may look like the desktop behind (dark blue parts of
# the riders against mutter's dark blue desktop): a hundredth.
SKIN_LIKE_DESKTOP = 3300
# Points of the console (window pixels) on both sides of its outline.
CUT_OUT = [(0, 0), (1, 300), (40, 1), (421, 2), (440, 736), (460, 737)]
BODY = [(230, 400), (2, 19), (22, 737), (41, 2), (459, 660)]


def differs(a, b):
    """Whether a pixel shows something other than the desktop's (a
    compositing window manager redraws its desktop with slightly different
    dithering)."""
    return max(abs(p - q) for p, q in zip(a, b)) > 24


class WindowManagerTest(unittest.TestCase):
    def find_window(self, name, size=None, timeout=20):
        """A mapped client window by its name (window managers put it in a
        frame, so it is not a child of the root)."""
        def find():
            out = self.session.tool("xdotool", "search", "--onlyvisible", "--name", f"^{name}$").stdout
            infos = [self.session.window_info(int(w)) for w in out.split()]
            return next((i for i in infos if i and (size is None or i.size == size)), None)
        return wait_until(find, timeout, 0.1)

    def run_under(self, start_window_manager, drag_by, exact_corners):
        self.session = session = DesktopSession(1024, 768)
        self.addCleanup(session.close)
        session.tool("xsetroot", "-solid", "magenta")
        start_window_manager(session)
        session.pointer_away()
        desktop = session.settled_picture(0, 0, 1024, 768)
        write_choices(session)
        program = session.start()

        # The launcher comes up from the console's first activation, and
        # nothing of the console is seen, wherever the window manager put it.
        launcher = self.find_window("About Vorlak\\.\\.\\.", LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher:\n{session.report(program)}")
        console = self.find_window("Vorlak Simulator", CONSOLE_SIZE, timeout=5)
        self.assertIsNotNone(console, "the console is not shown (mapped) before play")
        screen = session.settled_picture(0, 0, 1024, 768)
        around = (max(launcher.left - FRAME_MARGIN, 0), launcher.top - FRAME_MARGIN,
                  min(launcher.left + launcher.width + FRAME_MARGIN, 1024), launcher.top + launcher.height + FRAME_MARGIN)
        for y in range(768):
            parts = [(0, around[0]), (around[2], 1024)] if around[1] <= y < around[3] else [(0, 1024)]
            shown = [x for left, right in parts if screen.crop(left, y, right - left, 1) != desktop.crop(left, y, right - left, 1)
                     for x in range(left, right) if differs(screen.rgb(x, y), desktop.rgb(x, y))]
            self.assertEqual(shown[:5], [], f"row {y} shows more than the launcher (console at {console.origin})")

        # Play centres the console, drawn, in its outline.
        play = center(PLAY_BUTTON)
        session.click(launcher.left + play[0], launcher.top + play[1])
        expected = centred_position((1024, 768), CONSOLE_SIZE, keep_top_when_small=-1)
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == expected, 10),
                        f"console at {session.window_info(console.id).origin} after play, expected {expected}")
        self.assertEqual(session.shape_extents(console.id), (460, 737, 2, 1), "shape extents")
        session.pointer_away()
        outline = Outline()
        ox, oy = expected

        last = [None]

        def drawn_in_outline():
            picture = session.display.grab(ox, oy, *CONSOLE_SIZE)
            outside, inside = outline.wrong_pixels(
                lambda x, y: differs(picture.rgb(ox + x, oy + y), desktop.rgb(ox + x, oy + y)))
            last[0] = (outside if exact_corners else [], inside)
            return not last[0][0] and len(inside) < SKIN_LIKE_DESKTOP
        wait_until(drawn_in_outline, 5)
        outside, inside = last[0]
        self.assertLess(len(inside), SKIN_LIKE_DESKTOP, f"pixels inside the outline are not drawn: {inside[:10]}")
        self.assertEqual(outside[:10], [], f"{len(outside)} pixels outside the outline are drawn")
        # The mouse: the cut-outs reach what lies behind the console, as a
        # point of the desktop away from it does.
        found = session.windows_under([(5, 760)] + [(ox + x, oy + y) for x, y in CUT_OUT + BODY])
        self.assertEqual([w == found[0] for w in found[1:]], [True] * len(CUT_OUT) + [False] * len(BODY),
                         "the mouse meets the console outside its outline, or misses it inside")

        # The drag moves the console by exactly the pointer's displacement.
        end = drag(session, (ox + 120, oy + 620), [(drag_by[0] // 10, drag_by[1] // 10)] * 10)
        moved_to = (ox + drag_by[0], oy + drag_by[1])
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == moved_to, 5),
                        f"console at {session.window_info(console.id).origin} after the drag, expected {moved_to}")
        self.assertNotEqual(session.window_under(*end), found[0], "the grabbed point left the pointer")

        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

    def test_openbox(self):
        self.run_under(start_openbox, (30, -20), exact_corners=True)

    def window_state(self, window):
        out = self.session.tool("xprop", "-id", str(window.id), "WM_STATE").stdout
        return "Iconic" if "Iconic" in out else "Normal" if "Normal" in out else out

    def test_openbox_minimised_windows_come_back(self):
        # openbox gives the launcher a minimise button whatever its hints say;
        # before play nothing else of the program is on the screen.
        self.session = session = DesktopSession(1024, 768)
        self.addCleanup(session.close)
        start_openbox(session)
        write_choices(session)
        program = session.start()
        launcher = self.find_window("About Vorlak\\.\\.\\.", LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher:\n{session.report(program)}")
        session.xdotool("windowminimize", launcher.id)
        self.assertTrue(wait_until(lambda: session.viewable(launcher.id) and self.window_state(launcher) == "Normal",
                                   5), f"the minimised launcher stays {self.window_state(launcher)}")
        launcher = session.window_info(launcher.id)
        session.click(launcher.left + center(PLAY_BUTTON)[0], launcher.top + center(PLAY_BUTTON)[1])
        console = self.find_window("Vorlak Simulator", CONSOLE_SIZE)
        self.assertIsNotNone(console, "no console after play")

        # The about window, minimised, comes back with F1, in front and active.
        session.focus(console)
        session.key("F1")
        about = self.find_window("About the author\\.\\.\\.")
        self.assertIsNotNone(about, "F1 did not show the about window")
        session.xdotool("windowminimize", about.id)
        self.assertTrue(wait_until(lambda: self.window_state(about) == "Iconic", 5), "the about window did not minimise")
        session.focus(console)
        session.key("F1")
        self.assertTrue(wait_until(lambda: session.viewable(about.id) and self.window_state(about) == "Normal", 5),
                        f"F1 left the about window {self.window_state(about)}")
        self.assertTrue(wait_until(lambda: session.focused_window() == about.id, 5), "the about window is not active")
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

    def in_reach_at_200_percent(self, start_window_manager):
        """1366 x 768 at 200 %: the launcher and the console at 1x, the
        console centred and every key in reach."""
        self.session = session = DesktopSession(1366, 768)
        self.addCleanup(session.close)
        session.set_x_resources("Xft.dpi: 192\n")
        session.tool("xsetroot", "-solid", "magenta")
        start_window_manager(session)
        write_choices(session)
        program = session.start()
        launcher = self.find_window("About Vorlak\\.\\.\\.", LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher at 1x:\n{session.report(program)}")
        session.click(launcher.left + center(PLAY_BUTTON)[0], launcher.top + center(PLAY_BUTTON)[1])
        expected = centred_position((1366, 768), CONSOLE_SIZE)
        console = self.find_window("Vorlak Simulator", CONSOLE_SIZE)
        self.assertIsNotNone(console, "no console at 1x")
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == expected, 10),
                        f"console at {session.window_info(console.id).origin} after play, expected {expected}")
        self.assertEqual(session.shape_extents(console.id), (460, 737, 2, 1), "the outline is not at 1x")
        lcd = Lcd(harness.PATHS.art_dir)
        # The LCD is read from the console window's own pixels: mutter here
        # (43, software GL) may leave the screen showing a window's earlier
        # drawing when it draws the same rectangle twice in quick succession,
        # as ACL's press and release do; a bare Xlib window shows the same.
        check_keys_in_reach(self, session, expected, 1,
                            lambda: lcd.read(session.display.grab(*Lcd.area((0, 0)), window=console.id), (0, 0)),
                            (5, 760))
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

    def test_openbox_at_200_percent_on_a_small_screen(self):
        self.in_reach_at_200_percent(start_openbox)

    def test_mutter_at_200_percent_on_a_small_screen(self):
        self.in_reach_at_200_percent(start_mutter_x11)

    def test_mutter(self):
        # mutter keeps windows wholly within the screen's height, and draws
        # shadows around the console's outline.
        self.run_under(start_mutter_x11, (-30, -10), exact_corners=False)


if __name__ == "__main__":
    harness.main()
