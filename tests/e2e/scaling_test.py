"""The program on scaled X desktops: 150 % draws at 1x exactly as at 96 dpi,
200 % (by the desktop's Xft.dpi or by QT_SCALE_FACTOR) at 2x, with the
outline scaled, every LCD pixel a solid 2 x 2 block, and the whole console
on the screen after play."""

import unittest

import harness
from desktops import DesktopSession, ScaledPicture, write_choices
from harness import (CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON, POWER_KEY,
                     assert_ended_cleanly, center, centred_position, wait_until)
from lcd import AREA, Lcd


class ScalingTest(unittest.TestCase):
    def play_at(self, screen, scale, dpi=None, env=None):
        """Starts the program on a desktop of the given size and dpi, checks
        the launcher's and the console's sizes, plays and switches the console
        on: the session, the LCD as read then, and the console's window."""
        session = DesktopSession(*screen, program_env=env)
        self.addCleanup(session.close)
        if dpi:
            session.set_x_resources(f"Xft.dpi: {dpi}\n")
        write_choices(session)
        program = session.start()
        launcher = session.wait_for_window(LAUNCHER_TITLE)
        self.assertIsNotNone(launcher, f"no launcher; log:\n{program.log()}")
        self.assertEqual(launcher.size, (LAUNCHER_SIZE[0] * scale, LAUNCHER_SIZE[1] * scale), "launcher's size")
        console_size = (CONSOLE_SIZE[0] * scale, CONSOLE_SIZE[1] * scale)
        console = next((w for w in session.top_windows() if w.name == CONSOLE_TITLE and w.size == console_size), None)
        self.assertIsNotNone(console, f"no console of {console_size}: {session.top_windows()}")

        play = center(PLAY_BUTTON)
        session.click(launcher.left + scale * play[0], launcher.top + scale * play[1])
        logical = centred_position((screen[0] // scale, screen[1] // scale), CONSOLE_SIZE, keep_top_when_small=-1)
        expected = (logical[0] * scale, logical[1] * scale)
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == expected, 10),
                        f"console at {session.window_info(console.id).origin} after play, expected {expected}")
        console = session.window_info(console.id)
        self.assertTrue(console.left >= 0 and console.top >= 0 and console.left + console.width <= screen[0]
                        and console.top + console.height <= screen[1], f"not wholly on the screen: {console}")
        self.assertEqual(session.shape_extents(console.id),
                         (460 * scale, 737 * scale, 2 * scale, 1 * scale), "the outline is not scaled with the console")

        power = center(POWER_KEY)
        session.click(console.left + scale * power[0], console.top + scale * power[1])
        lcd = Lcd(harness.PATHS.art_dir)

        def lit():
            picture = ScaledPicture(session.screen_picture(), console.origin, scale)
            return picture if all(lcd.read(picture, (0, 0))[name] for name in ("Im_GameOver", "Im_Cruscotto")) else None
        picture = wait_until(lit, 10)
        self.assertIsNotNone(picture, "ON/OFF did not light the LCD")
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)
        return picture

    def test_150_percent_draws_at_1x(self):
        self.play_at((1024, 768), 1, dpi=144)

    def test_200_percent_draws_at_2x_with_solid_lcd_pixels(self):
        picture = self.play_at((2048, 1536), 2, dpi=192)
        left, top, width, height = AREA
        blurred = [(x, y) for y in range(top, top + height) for x in range(left, left + width)
                   if not picture.solid(x, y)]
        self.assertEqual(blurred[:10], [], f"{len(blurred)} LCD pixels are not solid 2 x 2 blocks")

    def test_a_scale_factor_of_2_draws_at_2x(self):
        self.play_at((2048, 1536), 2, env={"QT_SCALE_FACTOR": "2"})


if __name__ == "__main__":
    harness.main()
