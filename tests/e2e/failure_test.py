"""The program when things are wrong around it: no SOUND folder, and settings
that are damaged or cannot be stored."""

import os
import shutil
import subprocess
import unittest

import harness
from harness import (CONSOLE_SIZE, OFF_SCREEN, PLAY_BUTTON, SOUND_ENTRIES, SOUND_LIST, SYSTEM_ENTRIES,
                     SYSTEM_LIST, LauncherLook, Session, centred_position, choose_entry, assert_ended_cleanly,
                     launcher_point, start_to_launcher, wait_until)

BROKEN_SOUND_FOLDER = "Sound folder unproperly installed. Read instructions then reinstall."


class FailureTest(unittest.TestCase):
    def setUp(self):
        self.session = Session(1024, 768)
        self.addCleanup(self.session.close)
        self.centre = centred_position((1024, 768), CONSOLE_SIZE, keep_top_when_small=-1)

    def wait_for_new_window(self, known, timeout=10):
        return wait_until(lambda: next((w for w in self.session.visible_windows() if w.id not in known), None),
                          timeout, 0.1)

    def assert_box_shows(self, box, caption, text):
        """The box looks exactly like the toolkit's standard error box with
        that caption and text, shown by a small program of the tests."""
        session = self.session
        self.assertEqual(box.name, caption, f"the box is {box}")

        def look(window):
            session.focus(window)
            session.pointer_away()
            session.sync(window)
            return session.settled_picture(window.left, window.top, window.width, window.height).crop(
                window.left, window.top, window.width, window.height)

        shown = look(box)
        known = {w.id for w in session.visible_windows()}
        reference = subprocess.Popen([harness.PATHS.message_box, caption, text], env=session.tool_env(),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            expected = wait_until(lambda: next((w for w in session.visible_windows()
                                                if w.id not in known and w.name == caption), None), 10)
            self.assertIsNotNone(expected, "the reference box did not come up")
            self.assertEqual(box.size, expected.size, f"the box's size differs from a box saying {text!r}")
            wanted = look(expected)
            differ = sum(1 for i in range(0, len(shown), 4) if shown[i:i + 3] != wanted[i:i + 3])
            self.assertEqual(differ, 0, f"{differ} pixels of the box differ from a box saying {text!r}")
        finally:
            reference.kill()
            reference.wait(timeout=5)
        session.focus(box)

    def play_and_end(self, program, launcher, console, expected_settings):
        """Chooses DirectSound and 95, 98, ME, NT, plays, and ends with Esc."""
        session = self.session
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
        choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index("95, 98, ME, NT"))
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == self.centre, 10),
                        "play did not bring the console on screen")
        self.assertEqual(session.settings.read(), expected_settings)
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

    def test_missing_sound_folder(self):
        session = self.session
        run_dir = session.run_dir_without_sound()
        program, launcher, console = start_to_launcher(self, session, run_dir)
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
        choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index("95, 98, ME, NT"))
        known = {w.id for w in session.visible_windows()}
        session.click(*launcher_point(launcher, PLAY_BUTTON))

        # The error box, with the choices already stored, the launcher still
        # up and the console still off the screen.
        box = self.wait_for_new_window(known)
        self.assertIsNotNone(box, "no error box")
        self.assert_box_shows(box, "Error", BROKEN_SOUND_FOLDER)
        self.assertEqual(session.settings.read(), {"SoundMode": "1", "System": "0"},
                         "the choices were not stored before the sound was opened")
        self.assertEqual(session.window_info(console.id).origin, OFF_SCREEN, "the console came on screen")
        self.assertTrue(session.viewable(launcher.id), "the launcher went away")

        # OK: the choices are forgotten and the program ends.
        session.key("Return")
        assert_ended_cleanly(self, session, program)
        self.assertEqual(session.settings.read(), {"SoundMode": "-1", "System": "-1"})

        # The next start: nothing chosen and play disabled; without sound
        # the console still plays.
        program, launcher, console = start_to_launcher(self, session, run_dir)
        look = LauncherLook(session, launcher)
        self.assertEqual((look.sound_ink, look.system_ink), (0, 0), "a choice shows after the failure")
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        session.sync(launcher)
        self.assertEqual(session.window_info(console.id).origin, OFF_SCREEN, "play acted with nothing chosen")
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("(no sound)"))
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == self.centre, 10),
                        "without sound, play did not bring the console on screen")
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)
        self.assertEqual(session.settings.read(), {"SoundMode": "2", "System": "1"})

    def test_damaged_settings(self):
        session = self.session
        # What nothing chosen looks like: a first start.
        program, launcher, console = start_to_launcher(self, session)
        first_start = LauncherLook(session, launcher)
        self.assertEqual((first_start.sound_ink, first_start.system_ink), (0, 0))
        program.kill()

        damaged = {
            "texts that are not numbers": "[General]\nSoundMode=DirectSound\nSystem=1x\n",
            "numbers outside the lists": "[General]\nSoundMode=3\nSystem=-2\n",
            "numbers too large": "[General]\nSoundMode=99999999999999999999\nSystem=4294967296\n",
            "binary rubbish": bytes(range(256)) * 8,
            "no section": "SoundMode\nSystem==\n[",
        }
        for what, content in damaged.items():
            with self.subTest(what):
                session.settings.write_text(content)
                program, launcher, console = start_to_launcher(self, session)
                look = LauncherLook(session, launcher)
                self.assertEqual(look.sound_text, first_start.sound_text, "the sound list shows a choice")
                self.assertEqual(look.system_text, first_start.system_text, "the system list shows a choice")
                self.assertEqual(look.play, first_start.play, "play does not look disabled")
                self.assertTrue(program.running(), "the program ended")
                self.play_and_end(program, launcher, console, {"SoundMode": "1", "System": "0"})

    def test_settings_that_cannot_be_stored(self):
        # Something other than a file where the settings file belongs: a
        # folder, or a named pipe (reading it would wait for a writer before
        # any window shows). Nothing is read or written, the program says so
        # once, and the launcher opens with nothing chosen and play works.
        session = self.session
        for what, make in (("a folder", os.makedirs), ("a named pipe", os.mkfifo)):
            with self.subTest(what):
                make(session.settings.path)
                program, launcher, console = start_to_launcher(self, session)
                look = LauncherLook(session, launcher)
                self.assertEqual((look.sound_ink, look.system_ink), (0, 0), "a choice shows")
                self.play_and_end(program, launcher, console, None)
                self.assertEqual(program.log().count(f"{session.settings.path} is not a regular file"), 1,
                                 program.log())
                self.assertFalse(os.path.isfile(session.settings.path), "the settings were written")
                remove = os.rmdir if os.path.isdir(session.settings.path) else os.remove
                remove(session.settings.path)

    def test_standard_error_gone(self):
        # A desktop's launcher may start the program with standard error
        # closed, or as a pipe whose reader has gone: the first line the
        # program writes there (here: that the settings are a named pipe)
        # must not end it.
        session = self.session
        os.makedirs(os.path.dirname(session.settings.path), exist_ok=True)
        os.mkfifo(session.settings.path)
        reader, writer = os.pipe()
        os.close(reader)
        try:
            for what, stderr in (("a pipe nobody reads", writer), ("closed", "closed")):
                with self.subTest(what):
                    program, launcher, console = start_to_launcher(self, session, stderr=stderr)
                    self.play_and_end(program, launcher, console, None)
        finally:
            os.close(writer)

    def test_damaged_sound_module(self):
        # The sound module beside the program cut short, as an interrupted
        # copy leaves it: loading it would end the program with SIGBUS.
        # Instead the program names the file and goes on.
        session = self.session
        folder = os.path.join(session.work, "installed")
        os.mkdir(folder)
        program_copy = shutil.copy(harness.PATHS.program, folder)
        module = os.path.join(folder, "vorlak-sound-sdl.so")
        with open(os.path.join(harness.PATHS.run_dir, "vorlak-sound-sdl.so"), "rb") as f:
            whole = f.read()
        with open(module, "wb") as f:
            f.write(whole[:8192])
        program, launcher, console = start_to_launcher(self, session, program=program_copy)
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
        choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index("2000"))
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        said = f"vorlak-simulator: no sound: {module} is cut short"
        self.assertTrue(wait_until(lambda: said in program.log() or not program.running(), 10),
                        f"nothing said about the module; log:\n{program.log()}")
        self.assertTrue(program.running(), f"the program ended (status {program.process.poll()}):\n{program.log()}")
        self.assertIn(said, program.log())

    def test_value_of_the_wrong_type(self):
        # A list where a text belongs: the standard error box names the
        # value, the rest of the launcher's set-up is skipped (nothing chosen,
        # play left enabled), and the program goes on.
        session = self.session
        session.settings.write_text("[General]\nSoundMode=1, 2\nSystem=0\n")
        program = session.start()
        box = wait_until(lambda: next((w for w in session.visible_windows()
                                       if w.size not in (CONSOLE_SIZE, harness.LAUNCHER_SIZE)), None), 20)
        self.assertIsNotNone(box, f"no error box; log:\n{program.log()}")
        self.assert_box_shows(box, "Vorlak Simulator", "Invalid data type for 'SoundMode'.")
        session.key("Return")
        launcher = session.wait_for_window(harness.LAUNCHER_TITLE, harness.LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, "no launcher after the error box")
        console = next(w for w in session.top_windows() if w.size == CONSOLE_SIZE)
        look = LauncherLook(session, launcher)
        self.assertEqual((look.sound_ink, look.system_ink), (0, 0), "a choice shows")
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        self.assertTrue(wait_until(lambda: session.window_info(console.id).origin == self.centre, 10),
                        "play, left enabled, did not bring the console on screen")
        # Nothing chosen: the sound is left alone, the system counts as 2000.
        self.assertEqual(session.settings.read(), {"SoundMode": "1, 2", "System": "1"})
        session.focus(console)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)


if __name__ == "__main__":
    harness.main()
