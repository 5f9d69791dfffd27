"""The console window of the Windows program under wine, once played from the
launcher: at the middle of the screen in the handheld's shape (the cut-out
corners show the window behind and pass its clicks to it), drawn as the skin
with the LCD lit, its keys clicked, dragged by its skin, and drawn at 2x on a
200 % desktop."""

import os
import sys
import unittest

import console_e2e
from console_e2e import WineDesktop, settle

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import CONSOLE_SIZE, POWER_KEY, center, wait_until  # noqa: E402
from lcd import Lcd, read_pbm  # noqa: E402
from window_test import inside_outline, outline_probe_points, read_picture  # noqa: E402

BEHIND = (255, 0, 255)
SCREEN = (1024, 768)
# Switched on after PLAY with "(no sound)": the sound-off mark with the rest.
LIT_WHEN_ON = ["Im_Cruscotto", "Im_GameOver", "Im_Num00", "Im_Suoni"]


class ConsoleUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = WineDesktop(*SCREEN)
        cls.behind = cls.desktop.display.add_window_behind(0, 0, SCREEN[0], SCREEN[1], BEHIND)
        cls.lcd = Lcd(harness.PATHS.art_dir)
        cls.desktop.store_choices(2, 0)  # "(no sound)", "95, 98, ME, NT": PLAY enabled

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def setUp(self):
        desktop = self.desktop
        desktop.restart_alarm()
        self.program = desktop.start()
        self.console = desktop.play(self, self.program)
        self.origin = self.console.origin
        px, py = center(POWER_KEY)
        desktop.click(self.origin[0] + px, self.origin[1] + py)
        desktop.pointer_away()
        # Drawn once the program has painted it.
        self.assertTrue(wait_until(lambda: self.read_lcd().lit_names() == LIT_WHEN_ON, 20),
                        f"the LCD shows {self.read_lcd()}")

    def tearDown(self):
        self.program.kill()
        wait_until(lambda: not self.desktop.visible_windows(harness.CONSOLE_TITLE), 10)
        self.desktop.display.presses_on(self.behind)

    def read_lcd(self):
        return self.lcd.read(self.desktop.display.grab(*Lcd.area(self.origin)), self.origin)

    def test_shown_centred_in_its_outline_as_the_skin_with_the_lcd_lit(self):
        desktop = self.desktop
        self.assertEqual(self.origin, ((SCREEN[0] - 461) // 2, (SCREEN[1] - 738) // 2))
        self.assertEqual(desktop.shape_extents(self.console.id), (460, 737, 2, 1), "shape extents")

        ox, oy = self.origin
        screen = desktop.settled_picture(ox, oy, *CONSOLE_SIZE)
        wrong = [(x, y) for x, y in outline_probe_points()
                 if (screen.rgb(ox + x, oy + y) == BEHIND) == inside_outline(x, y)]
        self.assertEqual(wrong, [], "pixels on the wrong side of the outline")

        # Away from the LCD the screen is the skin as its JPEG decodes, within
        # what two decoders make of it (they differ by up to about 40 levels
        # at sharp colour edges, rarely more than 24).
        width, height, skin = read_picture(os.path.join(harness.PATHS.pictures_dir, "Im_Principale.jpg"))
        compared = unlike = 0
        for y in range(300, 738, 3):
            for x in range(0, 461, 3):
                if not inside_outline(x, y) or (180 <= x < 420 and 380 <= y < 520):  # keys
                    continue
                j = (y * width + x) * 3
                compared += 1
                unlike += max(abs(a - b) for a, b in zip(screen.rgb(ox + x, oy + y), skin[j:j + 3])) > 24
        self.assertLess(unlike, compared // 100, f"{unlike} of {compared} pixels unlike the skin")

    def test_clicks_reach_the_console_inside_its_outline_and_the_window_behind_outside(self):
        desktop = self.desktop
        ox, oy = self.origin
        desktop.click(ox + 1, oy + 300)
        desktop.click(ox + 460, oy + 737)
        self.assertEqual(desktop.display.presses_on(self.behind), [(ox + 1, oy + 300, 1), (ox + 460, oy + 737, 1)])

        # The power key switches the console off: the LCD goes dark.
        px, py = center(POWER_KEY)
        desktop.click(ox + px, oy + py)
        self.assertTrue(wait_until(lambda: self.read_lcd().lit_names() == [], 10), f"{self.read_lcd()}")
        self.assertEqual(desktop.display.presses_on(self.behind), [], "a click inside went through")

    def test_a_press_on_the_skin_moves_the_window_with_the_pointer(self):
        desktop = self.desktop
        ox, oy = self.origin
        x, y = ox + 120, oy + 620
        desktop.xdotool("mousemove", x, y, "mousedown", 1)
        for _ in range(10):
            x, y = x + 3, y - 2
            settle(0.05)
            desktop.xdotool("mousemove", x, y)
        settle(0.2)
        desktop.xdotool("mouseup", 1)
        moved = (ox + 30, oy - 20)
        self.assertTrue(wait_until(lambda: desktop.window_info(self.console.id).origin == moved, 10),
                        f"the console is at {desktop.window_info(self.console.id).origin}, not {moved}")
        self.assertEqual(desktop.window_under(x, y), self.console.id, "the grabbed point left the pointer")


class ConsoleAtTwiceTheScale(unittest.TestCase):
    """A desktop at 200 %: the console drawn at 2x, every LCD pixel a sharp
    2 x 2 square, the outline scaled with it."""

    def test_drawn_at_2x_with_square_lcd_pixels_and_its_outline_scaled(self):
        with WineDesktop(1280, 1600) as desktop:
            desktop.wine.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", "192")
            desktop.store_choices(2, 0)
            program = desktop.start()
            # The launcher at 2x too, its PLAY button where it falls at 2x.
            launcher = desktop.wait_for_window(harness.LAUNCHER_TITLE, (492, 716), timeout=40)
            self.assertIsNotNone(launcher, f"no launcher at 2x; log:\n{program.log()}")
            desktop.screenshot("launcher-2x")
            px, py = center(harness.PLAY_BUTTON)
            desktop.click(launcher.left + 2 * px, launcher.top + 2 * py)
            console = desktop.wait_for_window(harness.CONSOLE_TITLE, (922, 1476), timeout=20)
            self.assertIsNotNone(console, f"no console at 2x; log:\n{program.log()}")
            # Centred on the screen as it is in console pixels (640 x 800).
            self.assertEqual(console.origin, (2 * ((640 - 461) // 2), 2 * ((800 - 738) // 2)))
            desktop.click(console.left + 2 * center(POWER_KEY)[0], console.top + 2 * center(POWER_KEY)[1])
            self.assertEqual(desktop.shape_extents(console.id), (920, 1474, 4, 2), "shape extents")
            desktop.pointer_away()
            ox, oy = console.origin
            left, top, width, height, = 292, 177, 38, 31  # Im_GameOver, lit while the console is on
            _, _, black = read_pbm(os.path.join(harness.PATHS.art_dir, "Im_GameOver.pbm"))

            def drawn():
                picture = desktop.display.grab(ox + 2 * left, oy + 2 * top, 2 * width, 2 * height)
                for y in range(height):
                    for x in range(width):
                        for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1)):
                            rgb = picture.rgb(ox + 2 * (left + x) + dx, oy + 2 * (top + y) + dy)
                            if (rgb == (0, 0, 0)) != ((x, y) in black):
                                return False
                return True
            self.assertTrue(wait_until(drawn, 20), "the game-over picture is not drawn as 2 x 2 squares")


if __name__ == "__main__":
    console_e2e.main()
