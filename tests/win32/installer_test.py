"""The Windows installer under wine: a silent installation puts the program,
its SOUND folder and side documents in one folder with a Start-menu entry;
the silent uninstallation takes them away again and leaves the player's
settings alone.

Usage: installer_test.py --installer vorlak-simulator-*-win64-setup.exe"""

import argparse
import os
import sys
import time
import unittest

from wine_session import WineSession

ARGS = None
SETTINGS_KEY = r"HKCU\Software\Selvane\Vorlak"
WAVES = ["GameOver.wav", "Level.wav", "Miss.wav", "Semaph.wav", "Srvc1.wav", "Srvc2.wav", "Start.wav"]


def wait_until(predicate, timeout):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


class Installer(unittest.TestCase):
    def test_installs_and_uninstalls_keeping_the_settings(self):
        with WineSession() as session:
            drive = os.path.join(session.prefix, "drive_c")
            folder = os.path.join(drive, "Program Files", "Vorlak Simulator")
            link = os.path.join(drive, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                                "Vorlak Simulator.lnk")
            status, text = session.run(ARGS.installer, "/S", timeout=120)
            self.assertEqual(status, 0, text)
            self.assertEqual(sorted(os.listdir(folder)),
                             ["SOUND", "readme.txt", "uninstall.exe", "vorlak-simulator.exe", "whatsnew.txt"])
            self.assertEqual(sorted(os.listdir(os.path.join(folder, "SOUND"))), sorted(WAVES))
            self.assertTrue(os.path.isfile(link), "no Start-menu entry")

            session.reg_add(SETTINGS_KEY, "SoundMode", "REG_SZ", "1")
            # The uninstaller runs a copy of itself from the temporary folder
            # and returns at once.
            status, text = session.run(os.path.join(folder, "uninstall.exe"), "/S", timeout=120)
            self.assertEqual(status, 0, text)
            self.assertTrue(wait_until(lambda: not os.path.exists(folder), 60), "the program folder is left")
            self.assertFalse(os.path.exists(link))
            self.assertEqual(session.reg_query(SETTINGS_KEY), {"SoundMode": ("REG_SZ", "1")})


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--installer", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
