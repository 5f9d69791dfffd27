"""The launcher as a user meets it: the first start with nothing chosen, the
choices, play bringing the console on screen, the stored settings, and the
next start showing the choices."""

import unittest

import harness
from harness import (CONSOLE_SIZE, LAUNCHER_SIZE, OFF_SCREEN, PLAY_BUTTON, SOUND_ENTRIES, SOUND_LIST,
                     SYSTEM_ENTRIES, SYSTEM_LIST, LauncherLook, Session, centred_position, choose_entry,
                     assert_ended_cleanly, launcher_point, start_to_launcher, wait_until)


class LauncherTest(unittest.TestCase):
    def setUp(self):
        self.session = Session(1024, 768)
        self.addCleanup(self.session.close)

    def test_first_start_choices_play_and_second_start(self):
        session = self.session
        screen = (session.screen.width, session.screen.height)
        self.assertIsNone(session.settings.read(), "settings exist before the first start")

        # First start: launcher centred, the console waiting off the screen,
        # nothing chosen, play disabled.
        program, launcher, console = start_to_launcher(self, session)
        self.assertEqual(session.settings.read(), {}, "the first start did not create an empty settings store")
        self.assertEqual(launcher.origin, centred_position(screen, LAUNCHER_SIZE), "launcher not centred")
        self.assertEqual(console.origin, OFF_SCREEN, "console not waiting off the screen")
        empty = LauncherLook(session, launcher)
        self.assertEqual(empty.sound_ink, 0, "the sound list shows a choice on the first start")
        self.assertEqual(empty.system_ink, 0, "the system list shows a choice on the first start")

        # Play does nothing while disabled.
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        session.sync(launcher)
        self.assertEqual(session.window_info(console.id).origin, OFF_SCREEN, "play acted while nothing was chosen")
        self.assertTrue(session.viewable(launcher.id), "the launcher went away")
        self.assertTrue(program.running(), "the program ended")

        # A sound choice alone enables play; then the system.
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
        sound_chosen = LauncherLook(session, launcher)
        self.assertGreater(sound_chosen.sound_ink, 20, "the sound list shows no text after the choice")
        self.assertEqual(sound_chosen.system_ink, 0, "the system list shows text without a choice")
        self.assertNotEqual(sound_chosen.play, empty.play, "play looks the same after a sound choice")
        self.assertLess(sound_chosen.play_label_darkest, empty.play_label_darkest,
                        "play's label is not drawn darker once enabled")
        choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index("95, 98, ME, NT"))
        both_chosen = LauncherLook(session, launcher)
        self.assertGreater(both_chosen.system_ink, 20, "the system list shows no text after the choice")
        self.assertEqual(both_chosen.sound_text, sound_chosen.sound_text, "the sound choice changed")
        self.assertEqual(session.settings.read(), {}, "settings written before play")

        # Play: the launcher goes, the console comes on screen centred with
        # its top by the screen's height, the choices are stored.
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        expected = centred_position(screen, CONSOLE_SIZE, keep_top_when_small=-1)
        moved = wait_until(lambda: session.window_info(console.id).origin == expected, 10)
        self.assertTrue(moved, f"console at {session.window_info(console.id).origin}, expected {expected}")
        self.assertTrue(wait_until(lambda: not session.viewable(launcher.id), 5), "the launcher stays")
        self.assertEqual(session.settings.read(), {"SoundMode": "1", "System": "0"})
        console = session.window_info(console.id)
        self.assertTrue(console.viewable, "the console is not shown")
        self.assertEqual(session.window_under(console.left + 230, console.top + 400), console.id,
                         "the console's middle is not under the pointer at the centre")

        # Esc in the console ends the program cleanly; the choices stay.
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)
        self.assertEqual(session.settings.read(), {"SoundMode": "1", "System": "0"})

        # The next start shows both choices as they were made, play enabled.
        program, launcher, console = start_to_launcher(self, session)
        again = LauncherLook(session, launcher)
        self.assertEqual(again.sound_text, both_chosen.sound_text, "the sound list does not show DirectSound")
        self.assertEqual(again.system_text, both_chosen.system_text, "the system list does not show 95, 98, ME, NT")
        self.assertEqual(again.play_label_darkest, both_chosen.play_label_darkest, "play is not enabled")
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == expected, 10),
                        "play did not bring the console on screen on the second start")
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)


class SmallScreenTest(unittest.TestCase):
    """On a screen of 600 pixels or less the console keeps its top at -1."""

    def test_console_top_stays_on_a_small_screen(self):
        with Session(800, 600) as session:
            program, launcher, console = start_to_launcher(self, session)
            self.assertEqual(launcher.origin, centred_position((800, 600), LAUNCHER_SIZE))
            choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("(no sound)"))
            session.click(*launcher_point(launcher, PLAY_BUTTON))
            expected = centred_position((800, 600), CONSOLE_SIZE, keep_top_when_small=-1)
            self.assertEqual(expected[1], -1)
            self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == expected, 10),
                            f"console at {session.window_info(console.id).origin}, expected {expected}")
            # No system chosen counts as "2000".
            self.assertEqual(session.settings.read(), {"SoundMode": "2", "System": "1"})
            session.focus(console)
            session.key("Escape")
            assert_ended_cleanly(self, session, program)


if __name__ == "__main__":
    harness.main()
