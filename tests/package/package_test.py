"""The Debian package as a user gets it: made with cpack from the build
folder, its file list and control fields, its desktop entry and metadata
passing their validators, and the installed tree, unpacked into a temporary
root, starting the program from another folder up to the console on screen
with its sound open.

Takes: --cpack <cpack> --build-dir <build folder> --version <project version>
--source-dir <repository root>. With --installed instead of --cpack and
--build-dir, checks the package installed on this machine (file list from
dpkg, the command on the PATH too); tools/package-round-trip.sh runs it so."""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import (CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON,  # noqa: E402
                     SOUND_ENTRIES, SOUND_LIST, SYSTEM_ENTRIES, SYSTEM_LIST, Session, assert_ended_cleanly,
                     choose_entry, launcher_point, wait_until)

ARGS = None
APP_ID = "org.example.vorlak_simulator"
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
WINDOW_ICON_SIZES = [16, 24, 32, 48, 64]
# A user's PATH on Debian (ENV_PATH in /etc/login.defs); the superuser's
# leaves out the games.
USER_PATH = "/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games"
SOUND_FILES = ("GameOver", "Level", "Miss", "Semaph", "Srvc1", "Srvc2", "Start")

# Every file the package holds, with its mode.
EXPECTED_FILES = {
    "/usr/games/vorlak-simulator": 0o755,
    "/usr/lib/games/vorlak-simulator/vorlak-simulator": 0o755,
    "/usr/lib/games/vorlak-simulator/vorlak-sound-sdl.so": 0o644,
    "/usr/lib/games/vorlak-simulator/vorlak-gamepad-sdl.so": 0o644,
    "/usr/share/games/vorlak-simulator/readme.txt": 0o644,
    "/usr/share/games/vorlak-simulator/whatsnew.txt": 0o644,
    "/usr/share/applications/vorlak-simulator.desktop": 0o644,
    f"/usr/share/metainfo/{APP_ID}.metainfo.xml": 0o644,
    "/usr/share/icons/hicolor/scalable/apps/vorlak-simulator.svg": 0o644,
    "/usr/share/man/man6/vorlak-simulator.6.gz": 0o644,
    "/usr/share/doc/vorlak-simulator/copyright": 0o644,
    "/usr/share/doc/vorlak-simulator/changelog.gz": 0o644,
    "/usr/share/lintian/overrides/vorlak-simulator": 0o644,
}
EXPECTED_FILES.update({f"/usr/share/games/vorlak-simulator/SOUND/{name}.wav": 0o644 for name in SOUND_FILES})
EXPECTED_FILES.update({f"/usr/share/icons/hicolor/{size}x{size}/apps/vorlak-simulator.png": 0o644
                       for size in ICON_SIZES})


def run(*args, **kwargs):
    return subprocess.run(list(args), capture_output=True, text=True, **kwargs)


def desktop_entry(path):
    """The [Desktop Entry] group of a desktop file: key -> value."""
    values, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                values[key] = value
    return values


ROOT = None  # the installed tree: an unpacked package, or "/"
PACKAGE = None  # the package file, when this run made it
WORK = None


def setUpModule():
    global ROOT, PACKAGE, WORK
    if ARGS.installed:
        ROOT = "/"
        return
    # One package for all the checks: making it is the slow part.
    WORK = tempfile.mkdtemp(prefix="vorlak-package-")
    try:
        built = run(ARGS.cpack, "-G", "DEB", "-B", WORK, "--config",
                    os.path.join(ARGS.build_dir, "CPackConfig.cmake"), timeout=600)
        packages = glob.glob(os.path.join(WORK, "*.deb"))
        if built.returncode != 0 or len(packages) != 1:
            raise AssertionError(f"cpack failed ({built.returncode}, {packages}):\n{built.stdout}\n{built.stderr}")
        PACKAGE = packages[0]
        ROOT = os.path.join(WORK, "root")
        extracted = run("dpkg-deb", "-x", PACKAGE, ROOT)
        if extracted.returncode != 0:
            raise AssertionError(f"dpkg -x failed: {extracted.stderr}")
    except BaseException:
        # tearDownModule does not run when this fails
        shutil.rmtree(WORK, ignore_errors=True)
        raise


def tearDownModule():
    if WORK:
        shutil.rmtree(WORK, ignore_errors=True)


def installed(path):
    return os.path.join(ROOT, path.lstrip("/"))


class PackageTest(unittest.TestCase):
    def field(self, name):
        result = run("dpkg-deb", "-f", PACKAGE, name)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()

    def test_file_name_and_control_fields(self):
        if not PACKAGE:
            self.skipTest("checks the package file")
        architecture = run("dpkg", "--print-architecture").stdout.strip()
        self.assertEqual(os.path.basename(PACKAGE), f"vorlak-simulator_{ARGS.version}_{architecture}.deb")
        self.assertEqual(self.field("Package"), "vorlak-simulator")
        self.assertEqual(self.field("Version"), ARGS.version)
        self.assertEqual(self.field("Architecture"), architecture)
        self.assertEqual(self.field("Section"), "games")
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^@<>\s]+>$")
        description = self.field("Description").splitlines()
        self.assertEqual(description[0], "One-screen LCD handheld motorbike racing game")
        self.assertGreater(len(description), 2, "no long description")
        # Read from both binaries: the program's toolkit and the sound
        # module's SDL, each with a version; the fonts named by hand.
        depends = [d.strip() for d in self.field("Depends").split(",")]
        names = [d.split()[0] for d in depends]
        for name in ("libc6", "libqt6widgets6", "libqt6gui6", "libsdl2-2.0-0", "fonts-dejavu-core",
                     "fonts-liberation2"):
            self.assertIn(name, names, f"Depends: {depends}")
        for library in ("libqt6widgets6", "libsdl2-2.0-0"):
            self.assertRegex(depends[names.index(library)], r"\(>= [0-9]", f"{library} without a version")

    def test_file_list(self):
        if not PACKAGE:
            listing = run("dpkg", "-L", "vorlak-simulator")
            self.assertEqual(listing.returncode, 0, listing.stderr)
            files = {path: os.stat(path).st_mode & 0o7777 for path in listing.stdout.splitlines()
                     if os.path.isfile(path)}
            self.assertEqual(files, EXPECTED_FILES)
            return
        listing = run("dpkg-deb", "--contents", PACKAGE)
        self.assertEqual(listing.returncode, 0, listing.stderr)
        files = {}
        for line in listing.stdout.splitlines():
            # drwxr-xr-x root/root 0 2026-12-08 00:00 ./usr/games/
            mode, owner, _size, _day, _time, name = line.split(None, 5)
            self.assertEqual(owner, "root/root", line)
            if mode.startswith("d"):
                self.assertEqual(mode, "drwxr-xr-x", line)
            else:
                self.assertTrue(mode.startswith("-"), f"not a plain file: {line}")
                files[name[1:]] = sum(1 << (8 - i) for i, c in enumerate(mode[1:]) if c != "-")
        self.assertEqual(files, EXPECTED_FILES)

        # Installed binaries carry no symbol tables.
        for path in ("/usr/lib/games/vorlak-simulator/vorlak-simulator",
                     "/usr/lib/games/vorlak-simulator/vorlak-sound-sdl.so",
                     "/usr/lib/games/vorlak-simulator/vorlak-gamepad-sdl.so"):
            sections = run("readelf", "-S", "-W", installed(path)).stdout
            self.assertIn(".dynsym", sections, path)
            self.assertNotIn(".symtab", sections, f"{path} is not stripped")

    def test_desktop_entry_and_metadata_pass_their_validators(self):
        desktop = installed("/usr/share/applications/vorlak-simulator.desktop")
        result = run("desktop-file-validate", desktop)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        entry = desktop_entry(desktop)
        self.assertEqual(entry["Exec"], '"/usr/games/vorlak-simulator"')
        self.assertEqual(entry["Icon"], "vorlak-simulator")

        metainfo = installed(f"/usr/share/metainfo/{APP_ID}.metainfo.xml")
        result = run("appstreamcli", "validate", "--no-net", "--explain", metainfo)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        with open(metainfo, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(f'<release version="{ARGS.version}"', text)
        self.assertIn('<launchable type="desktop-id">vorlak-simulator.desktop</launchable>', text)

    def test_program_starts_from_another_folder_with_sound(self):
        # The desktop entry's command, and on a real installation the command
        # found on the PATH, each run from a folder that holds nothing of the
        # program's: everything it needs must come from the installed tree.
        exec_line = desktop_entry(installed("/usr/share/applications/vorlak-simulator.desktop"))["Exec"]
        commands = {"desktop entry": installed(exec_line.strip('"'))}
        if ARGS.installed:
            commands["PATH"] = shutil.which("vorlak-simulator", path=USER_PATH)
        for how, command in commands.items():
            with self.subTest(how):
                self.assertIsNotNone(command)
                self.start_up_to_console_with_sound(command)

    def start_up_to_console_with_sound(self, command):
        with Session(1024, 768) as session:
            elsewhere = os.path.join(session.work, "elsewhere")
            os.mkdir(elsewhere)
            harness.PATHS.program = command
            program = session.start(elsewhere)
            launcher = session.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE)
            self.assertIsNotNone(launcher, f"no launcher came up; log:\n{program.log()}")

            # The start command became the program, in the data folder.
            pid = program.process.pid
            self.assertEqual(os.readlink(f"/proc/{pid}/exe"),
                             installed("/usr/lib/games/vorlak-simulator/vorlak-simulator"))
            self.assertEqual(os.readlink(f"/proc/{pid}/cwd"), installed("/usr/share/games/vorlak-simulator"))

            choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
            choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index("95, 98, ME, NT"))
            session.click(*launcher_point(launcher, PLAY_BUTTON))
            centred = ((1024 - CONSOLE_SIZE[0]) // 2, (768 - CONSOLE_SIZE[1]) // 2)
            console = wait_until(lambda: next((w for w in session.visible_windows(CONSOLE_TITLE, CONSOLE_SIZE)
                                               if w.origin == centred), None), 15)
            self.assertIsNotNone(console, f"the console did not come on screen; log:\n{program.log()}")

            # Sound open: the installed module loaded, the device writing.
            with open(f"/proc/{pid}/maps") as f:
                self.assertIn(installed("/usr/lib/games/vorlak-simulator/vorlak-sound-sdl.so"), f.read(),
                              "the sound module beside the program is not loaded")
            self.assertTrue(wait_until(lambda: os.path.exists(session.audio_path)
                                       and os.path.getsize(session.audio_path) > 0, 10), "no audio output")

            # The window carries the icon in the theme's small sizes.
            icon = session.tool("xprop", "-id", str(console.id), "_NET_WM_ICON")
            sizes = sorted({int(w) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", icon.stdout) if w == h})
            self.assertEqual(sizes, WINDOW_ICON_SIZES, icon.stderr)

            session.focus(console)
            session.key("Escape")
            assert_ended_cleanly(self, session, program)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--installed", action="store_true",
                        help="check the package as installed on this machine instead of making one")
    parser.add_argument("--cpack", help="cpack, to make the package")
    parser.add_argument("--build-dir", help="the build folder to make it from")
    parser.add_argument("--version", required=True)
    parser.add_argument("--source-dir", required=True)
    ARGS, rest = parser.parse_known_args()
    if not ARGS.installed and not (ARGS.cpack and ARGS.build_dir):
        parser.error("--cpack and --build-dir make the package; --installed checks the installed one")
    for tool in ("dpkg-deb", "dpkg-shlibdeps", "desktop-file-validate", "appstreamcli", "xprop"):
        if not shutil.which(tool):
            print(f"missing tool: {tool}", file=sys.stderr)
            sys.exit(1)
    # The session machinery of the end-to-end tests; the program it starts
    # is set per test.
    sys.argv = [sys.argv[0], "--program", "/nonexistent", "--run-dir", ARGS.source_dir,
                "--source-dir", ARGS.source_dir] + rest
    harness.main()


if __name__ == "__main__":
    main()
