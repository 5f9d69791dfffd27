"""The program on a Wayland desktop (weston), natively: the launcher alone
before play, with a frame of its own and no title-bar buttons; play bringing
the console; see-through corners; the console's keys, the race, the
compositor's move and the menu at the pointer; at 1x and at an output
scale of 2; and at 1x with every key in reach on an output too small for the
console at 2x."""

import unittest

import harness
from desktops import (DesktopSession, Outline, ScaledPicture, WaylandScreen, Weston, bounding_box, changed_box,
                      check_keys_in_reach, drag, is_set, write_choices)
from harness import PLAY_BUTTON, POWER_KEY, assert_ended_cleanly, center, wait_until
from lcd import AREA, Lcd

# The launcher with its own frame: a one-pixel border and a 20-pixel title bar.
FRAMED_LAUNCHER = (248, 379)
CLIENT_OFFSET = (1, 20)
TITLE_BAR = (0x3c, 0x3c, 0x3c)
# What of the console is drawn: its outline's extent (x 2 to 460, y 1 to 737).
DRAWN_CONSOLE = (459, 737)
DRAWN_OFFSET = (2, 1)


class WaylandTest(unittest.TestCase):
    def start(self, scale, screen=None, drawn_scale=None):
        """weston at an output scale on a screen (device pixels, 1024 x 768
        times the scale by default), the program drawing at drawn_scale
        (the output's scale by default)."""
        self.scale = scale if drawn_scale is None else drawn_scale
        self.output_scale = scale
        self.session = DesktopSession(*(screen or (1024 * scale, 768 * scale)))
        self.addCleanup(self.session.close)
        Weston(self.session, scale)
        self.screen = WaylandScreen(self.session)
        write_choices(self.session)
        self.program = self.session.start()

    def scaled(self, size):
        return size[0] * self.scale, size[1] * self.scale

    def at(self, origin, point):
        """Screen position of a point of a window whose top left is origin."""
        return origin[0] + self.scale * point[0], origin[1] + self.scale * point[1]

    def play(self):
        """Waits for the launcher, alone on the screen, and presses play:
        (launcher's box, its picture, the console's top left, what is drawn)."""
        # A window drawn below the output's scale is a whole number of the
        # compositor's units: its odd sizes grow by a pixel.
        unit = self.output_scale // self.scale
        launcher_size = tuple(-(-n // unit) * unit for n in self.scaled(FRAMED_LAUNCHER))
        launcher, (_, pictures) = self.screen.window_box(launcher_size)
        client = self.at(launcher[:2], CLIENT_OFFSET)
        self.session.click(*self.at(client, center(PLAY_BUTTON)))
        try:
            console, (rows, _) = self.screen.window_box(self.scaled(DRAWN_CONSOLE))
        except AssertionError as no_console:
            still = bounding_box(self.screen.drawn()[0])
            if still == launcher:
                raise AssertionError(f"PLAY did not act: the launcher alone is still drawn, at {launcher}; "
                                     f"log:\n{self.program.log()}") from None
            raise AssertionError(f"{no_console}; the program: {self.program.state()}; "
                                 f"log:\n{self.program.log()}") from None
        origin = console[0] - self.scale * DRAWN_OFFSET[0], console[1] - self.scale * DRAWN_OFFSET[1]
        return launcher, pictures[0], origin, rows

    def switch_on(self, origin, lcd):
        self.session.click(*self.at(origin, center(POWER_KEY)))

        def lit():
            picture = ScaledPicture(self.session.screen_picture(), origin, self.scale)
            state = lcd.read(picture, (0, 0))
            return picture if state["Im_GameOver"] and state["Im_Cruscotto"] else None
        picture = wait_until(lit, 10)
        self.assertIsNotNone(picture, "ON/OFF did not light the LCD")
        return picture

    def test_playable_natively(self):
        self.start(1)
        session, screen = self.session, self.screen
        launcher, picture, origin, rows = self.play()

        # The launcher's title bar: the caption in white, nothing at its right
        # end where the toolkit would put its buttons.
        left, top = launcher[:2]
        caption = [picture.rgb(x, top + 10) for x in range(left + 1, left + FRAMED_LAUNCHER[0] - 1)]
        self.assertIn((255, 255, 255), caption, "no caption on the launcher's title bar")
        self.assertEqual({picture.rgb(x, y) for x in range(left + 190, left + 247) for y in range(top + 1, top + 20)},
                         {TITLE_BAR}, "something is drawn at the right of the launcher's title bar")

        # The corners show the desktop; the console is drawn inside its outline.
        outside, inside = Outline().wrong_pixels(lambda x, y: is_set(rows, origin[0] + x, origin[1] + y))
        self.assertEqual(outside[:10], [], f"{len(outside)} pixels outside the outline are drawn")
        self.assertEqual(inside[:10], [], f"{len(inside)} pixels inside the outline are not drawn")

        # ON/OFF lights the LCD.
        lcd = Lcd(harness.PATHS.art_dir)
        self.switch_on(origin, lcd)

        # A drag on the skin moves the console by the pointer's displacement,
        # through the compositor.
        dx = -40 if origin[0] > 300 else 40
        dy = -8 if origin[1] >= 8 else 8
        drag(session, self.at(origin, (120, 620)), [(dx // 4, dy // 4)] * 4)
        moved, _ = screen.window_box(DRAWN_CONSOLE)
        moved = (moved[0] - DRAWN_OFFSET[0], moved[1] - DRAWN_OFFSET[1])
        self.assertEqual(moved, (origin[0] + dx, origin[1] + dy), "the console did not follow the drag")
        origin = moved

        # The right-click menu opens at the pointer.
        park = screen.parks()[0]
        session.xdotool("mousemove", *park)
        before = session.settled_picture(0, 0, session.screen.width, session.screen.height)
        point = self.at(origin, (230, 300))
        session.xdotool("mousemove", *point, "click", 3, "mousemove", *park)
        menu = wait_until(lambda: changed_box(before, session.settled_picture(
            0, 0, session.screen.width, session.screen.height)), 5)
        self.assertIsNotNone(menu, "no menu opened on a right click")
        self.assertEqual(menu[:2], point, "the menu did not open at the pointer")
        self.assertGreater(menu[3] - menu[1], 100, f"the menu is too small for its items: {menu}")
        session.key("Escape")
        self.assertIsNotNone(wait_until(lambda: changed_box(before, session.display.grab(
            0, 0, session.screen.width, session.screen.height)) is None, 5), "the menu stays open")

        # Low at the right of the console, the menu opens left of the pointer
        # and above it, whole on the screen (weston would cut it at the edges).
        # (Read within the console, away from the parked pointer.)
        console_area = (origin[0], origin[1], 461, min(738, session.screen.height - origin[1]))
        before = session.settled_picture(*console_area)
        point = self.at(origin, (440, 680))
        session.xdotool("mousemove", *point, "click", 3, "mousemove", *park)
        menu = wait_until(lambda: changed_box(before, session.settled_picture(*console_area)), 5)
        self.assertIsNotNone(menu, "no menu opened on a right click")
        self.assertEqual(menu[2:], point, "the menu's bottom right corner is not at the pointer")
        self.assertGreater((menu[2] - menu[0], menu[3] - menu[1]), (150, 100), f"the menu is cut: {menu}")
        session.key("Escape")
        self.assertIsNotNone(wait_until(lambda: changed_box(before, session.display.grab(*console_area)) is None, 5),
                             "the menu stays open")

        # CTRL starts the race: the track shows, then the start lights.
        session.key("ctrl")

        def lights():
            state = lcd.read(session.display.grab(*Lcd.area(origin)), origin)
            return all(state[name] for name in ("Im_Semaforo1", "Im_Semaforo2", "Im_Semaforo3",
                                                "Im_Linea3sx1", "Im_Linea3dx"))
        self.assertTrue(wait_until(lights, 10), "CTRL did not start the race")

        session.key("Escape")
        assert_ended_cleanly(self, session, self.program)

    def test_output_scale_of_two(self):
        self.start(2)
        session = self.session
        _, _, origin, rows = self.play()

        # Corners see-through at 2x: every pixel of the outline is a 2 x 2
        # block, drawn or not.
        ragged = []

        def drawn(x, y):
            bits = sum(is_set(rows, origin[0] + 2 * x + dx, origin[1] + 2 * y + dy) for dy in (0, 1) for dx in (0, 1))
            if bits not in (0, 4):
                ragged.append((x, y))
            return bits == 4
        outside, inside = Outline().wrong_pixels(drawn)
        self.assertEqual((outside[:10], inside[:10], ragged[:10]), ([], [], []), "the outline is not drawn at 2x")

        # ON/OFF lights the LCD, each of its pixels a solid 2 x 2 block.
        picture = self.switch_on(origin, Lcd(harness.PATHS.art_dir))
        left, top, width, height = AREA
        blurred = [(x, y) for y in range(top, top + height) for x in range(left, left + width)
                   if not picture.solid(x, y)]
        self.assertEqual(blurred[:10], [], f"{len(blurred)} LCD pixels are not solid 2 x 2 blocks")

        session.key("Escape")
        assert_ended_cleanly(self, session, self.program)

    def test_output_scale_of_two_too_small_for_the_console_at_2x(self):
        # 1366 x 768 at a scale of 2 is 683 x 384 for windows: the console
        # and the launcher are drawn at 1x, so that all of them is seen.
        self.start(2, screen=(1366, 768), drawn_scale=1)
        _, _, origin, _ = self.play()
        lcd = Lcd(harness.PATHS.art_dir)
        check_keys_in_reach(self, self.session, origin, 1,
                            lambda: lcd.read(self.session.display.grab(*Lcd.area(origin)), origin))
        # The keys' repaints left no hole: the toolkit clears whole units of
        # the compositor's (two pixels here) for each repaint.
        rows, _ = self.screen.drawn()
        outside, inside = Outline().wrong_pixels(lambda x, y: is_set(rows, origin[0] + x, origin[1] + y))
        self.assertEqual((outside[:10], inside[:10]), ([], []), "the console is not drawn exactly in its outline")
        self.session.key("Escape")
        assert_ended_cleanly(self, self.session, self.program)


if __name__ == "__main__":
    harness.main()
