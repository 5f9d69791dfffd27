"""The console window as the X server has it: its outline for drawing and for
the mouse, a click in a cut-out corner reaching the window behind, dragging,
the right-click menu, and Esc ending the program."""

import os
import shutil
import subprocess
import unittest

import harness
from harness import (ABOUT_TITLE, CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON,
                     POWER_KEY, SOUND_ENTRIES, SOUND_LIST, Session, center, choose_entry, assert_ended_cleanly,
                     launcher_point, wait_until)

# The console's outline: left, top, right, bottom (right and bottom exclusive).
OUTLINE = [
    (15, 1, 40, 2), (42, 1, 421, 2), (423, 1, 453, 2), (13, 2, 40, 3), (41, 2, 421, 3), (422, 2, 455, 3),
    (12, 3, 456, 4), (11, 4, 457, 5), (10, 5, 458, 6), (9, 6, 458, 7), (8, 7, 459, 8), (7, 8, 460, 9),
    (6, 9, 460, 10), (5, 10, 460, 11), (5, 11, 462, 12), (4, 12, 462, 14), (3, 14, 462, 19), (2, 19, 462, 660),
    (2, 660, 460, 665), (2, 665, 459, 668), (2, 668, 458, 671), (2, 671, 457, 674), (2, 674, 456, 677),
    (2, 677, 455, 679), (2, 679, 454, 681), (2, 681, 453, 684), (2, 684, 452, 686), (2, 686, 451, 687),
    (2, 687, 450, 689), (2, 689, 449, 691), (2, 691, 448, 692), (2, 692, 447, 694), (2, 694, 446, 695),
    (2, 695, 445, 696), (2, 696, 444, 699), (2, 699, 442, 700), (2, 700, 441, 702), (2, 702, 440, 703),
    (2, 703, 439, 704), (2, 704, 438, 706), (2, 706, 436, 707), (2, 707, 435, 708), (2, 708, 434, 709),
    (2, 709, 433, 710), (2, 710, 432, 711), (2, 711, 431, 712), (2, 712, 430, 713), (3, 713, 429, 714),
    (3, 714, 428, 715), (4, 715, 426, 716), (4, 716, 425, 717), (4, 717, 424, 718), (5, 718, 423, 719),
    (5, 719, 421, 720), (5, 720, 420, 721), (5, 721, 418, 722), (6, 722, 416, 723), (7, 723, 415, 724),
    (8, 724, 413, 725), (8, 725, 411, 726), (9, 726, 410, 727), (10, 727, 408, 728), (10, 728, 405, 729),
    (11, 729, 403, 730), (12, 730, 400, 731), (12, 731, 398, 732), (13, 732, 395, 733), (15, 733, 392, 734),
    (17, 734, 386, 735), (18, 735, 382, 736), (20, 736, 371, 737), (22, 737, 350, 738),
]

# The colour pictures drawn over the skin while the console is off.
KEY_PICTURES = {"Im_Sound": (240, 475), "Im_ACL": (288, 475), "Im_Start": (338, 392), "Im_OnOff": (195, 475)}

BEHIND = (255, 0, 255)  # colour of our window behind the console


def _outline_mask():
    width, height = CONSOLE_SIZE
    mask = bytearray(width * height)
    for left, top, right, bottom in OUTLINE:
        for y in range(max(top, 0), min(bottom, height)):
            for x in range(max(left, 0), min(right, width)):
                mask[y * width + x] = 1
    return mask


_MASK = _outline_mask()


def inside_outline(x, y):
    return 0 <= x < CONSOLE_SIZE[0] and 0 <= y < CONSOLE_SIZE[1] and _MASK[y * CONSOLE_SIZE[0] + x] == 1


def outline_probe_points():
    """Points on both sides of every edge of the outline, in window pixels."""
    points = set()
    for left, top, right, bottom in OUTLINE:
        for x in (left - 1, left, right - 1, right):
            for y in (top - 1, top, bottom - 1, bottom):
                if 0 <= x < CONSOLE_SIZE[0] and 0 <= y < CONSOLE_SIZE[1]:
                    points.add((x, y))
    return sorted(points)


def read_picture(path):
    """A picture file decoded by ImageMagick: (width, height, rgb bytes), or
    None without ImageMagick."""
    tool = shutil.which("convert-im6") or shutil.which("magick")
    if not tool:
        return None
    ppm = subprocess.run([tool, path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
    magic, width, height, maximum, rest = ppm.split(maxsplit=4)
    if magic != b"P6" or maximum != b"255":
        raise ValueError(f"{path}: unexpected decoded form")
    return int(width), int(height), rest[:int(width) * int(height) * 3]


def picture_around(session, point, half=20):
    """The screen's pixels in a square around a point, as bytes."""
    left, top = point[0] - half, point[1] - half
    return session.display.grab(left, top, 2 * half, 2 * half).crop(left, top, 2 * half, 2 * half)


def describe_against_skin(bgrx, window_point, half=20):
    """What a picture_around() a point of the console shows, against the skin
    picture there: for failure messages."""
    pixels = [(bgrx[i + 2], bgrx[i + 1], bgrx[i]) for i in range(0, len(bgrx), 4)]
    mean = tuple(sum(p[c] for p in pixels) // len(pixels) for c in range(3))
    skin = read_picture(os.path.join(harness.PATHS.pictures_dir, "Im_Principale.jpg"))
    if skin is None:
        return f"mean colour {mean}"
    x0, y0 = window_point[0] - half, window_point[1] - half
    differ = 0
    for i, p in enumerate(pixels):
        j = ((y0 + i // (2 * half)) * CONSOLE_SIZE[0] + x0 + i % (2 * half)) * 3
        differ += max(abs(p[c] - skin[2][j + c]) for c in range(3)) > 12
    return f"mean colour {mean}, {differ} of {len(pixels)} pixels unlike the skin"


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.session = Session(1024, 768)
        self.addCleanup(self.session.close)
        session = self.session
        self.program = session.start()
        launcher = session.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher; log:\n{self.program.log()}")
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("(no sound)"))
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        self.console = session.wait_for_window(CONSOLE_TITLE, CONSOLE_SIZE)
        self.assertIsNotNone(self.console)
        expected = ((1024 - 461) // 2, (768 - 738) // 2)
        self.assertTrue(wait_until(lambda: session.window_info(self.console.id).origin == expected, 10),
                        "the console did not come on screen centred")
        self.console = session.window_info(self.console.id)
        self.behind = session.display.add_window_behind(0, 0, 1024, 768, BEHIND)
        session.pointer_away()
        # The window is where it should be; its picture is there once the
        # program has drawn it, which a busy machine may put off.
        session.sync(self.console)

    def end_with_escape(self):
        session = self.session
        session.focus(self.console)
        session.key("Escape")
        assert_ended_cleanly(self, session, self.program)

    def test_outline_drawing_and_mouse(self):
        session, console = self.session, self.console
        self.assertEqual(session.shape_extents(console.id), (460, 737, 2, 1), "shape extents")

        # Drawing: every pixel of the window inside the outline shows the
        # console, every pixel outside shows our window behind.
        ox, oy = console.origin
        screen = session.settled_picture(ox, oy, *CONSOLE_SIZE)
        wrong_inside, wrong_outside = [], []
        for y in range(CONSOLE_SIZE[1]):
            for x in range(CONSOLE_SIZE[0]):
                shows_behind = screen.rgb(ox + x, oy + y) == BEHIND
                if inside_outline(x, y) and shows_behind:
                    wrong_inside.append((x, y))
                elif not inside_outline(x, y) and not shows_behind:
                    wrong_outside.append((x, y))
        self.assertEqual(wrong_outside[:10], [], f"{len(wrong_outside)} pixels outside the outline are drawn")
        self.assertEqual(wrong_inside[:10], [], f"{len(wrong_inside)} pixels inside the outline are not drawn")

        # What is drawn inside is the skin with the console's keys (the
        # console is off, so the LCD is blank).
        skin = read_picture(os.path.join(harness.PATHS.pictures_dir, "Im_Principale.jpg"))
        if skin is not None:
            self.assertEqual(skin[:2], CONSOLE_SIZE)
            expected = bytearray(skin[2])
            for name, (left, top) in KEY_PICTURES.items():
                width, height, rgb = read_picture(os.path.join(harness.PATHS.pictures_dir, name + ".jpg"))
                for y in range(height):
                    row = ((top + y) * CONSOLE_SIZE[0] + left) * 3
                    expected[row:row + width * 3] = rgb[y * width * 3:(y + 1) * width * 3]
            off, compared = 0, 0
            for y in range(CONSOLE_SIZE[1]):
                for x in range(CONSOLE_SIZE[0]):
                    if inside_outline(x, y):
                        i = (y * CONSOLE_SIZE[0] + x) * 3
                        shown = screen.rgb(ox + x, oy + y)
                        compared += 1
                        if max(abs(shown[c] - expected[i + c]) for c in range(3)) > 12:
                            off += 1
            self.assertLess(off, compared // 1000, f"{off} of {compared} pixels differ from the skin and keys")

        # The mouse: on both sides of every edge of the outline, the point
        # belongs to the console exactly when it is inside.
        points = outline_probe_points()
        found = session.windows_under([(ox + x, oy + y) for x, y in points])
        wrong = [(p, w) for p, w in zip(points, found) if (w == console.id) != inside_outline(*p)]
        self.assertEqual(wrong, [], "points where the mouse meets the wrong window")
        self.assertTrue(set(found) <= {console.id, self.behind}, "points reached a third window")

        # A click in a cut-out corner reaches the window behind; the console
        # neither moves nor opens anything. (The server has delivered a click
        # by the time xdotool returns, which waits for the server.)
        session.display.presses_on(self.behind)
        for x, y in [(0, 0), (460, 737), (1, 300), (440, 736)]:
            session.click(ox + x, oy + y)
        self.assertEqual(session.display.presses_on(self.behind),
                         [(ox + 0, oy + 0, 1), (ox + 460, oy + 737, 1), (ox + 1, oy + 300, 1), (ox + 440, oy + 736, 1)])
        # A click on the console's body does not reach it.
        session.click(ox + 230, oy + 400)
        session.click(ox + 2, oy + 19)
        self.assertEqual(session.display.presses_on(self.behind), [], "a click went through")
        session.sync(console)
        self.assertEqual(session.window_info(console.id).origin, console.origin, "the console moved")
        self.assertEqual(len(session.visible_windows(CONSOLE_TITLE)), 1, "something opened")
        self.end_with_escape()

    def test_dragging(self):
        session, console = self.session, self.console
        ox, oy = console.origin

        def drag(start, steps, button=1):
            x, y = start
            session.xdotool("mousemove", x, y, "mousedown", button)
            for dx, dy in steps:
                x, y = x + dx, y + dy
                session.xdotool("mousemove", x, y)
            session.xdotool("mouseup", button)
            return x, y

        # A drag on the skin by (+30, -20) moves the window by exactly that,
        # and the grabbed point of the console stays under the pointer.
        grab_point = (ox + 120, oy + 620)
        before = picture_around(session, grab_point)
        end = drag(grab_point, [(3, -2)] * 10)
        self.assertEqual(end, (grab_point[0] + 30, grab_point[1] - 20))
        moved_to = (ox + 30, oy - 20)
        session.sync(console)
        self.assertEqual(session.window_info(console.id).origin, moved_to, "the console after the drag")
        self.assertEqual(session.window_under(*end), console.id, "the grabbed point left the pointer")
        after = picture_around(session, end)
        if after != before:
            self.fail(f"the console's picture did not move with the window: before the drag "
                      f"{describe_against_skin(before, (120, 620))}, after it {describe_against_skin(after, (120, 620))}")

        # A drag started on the start key moves the window too, and back.
        start_key = (moved_to[0] + 377, moved_to[1] + 430)
        drag(start_key, [(-6, 4)] * 5)
        session.sync(console)
        self.assertEqual(session.window_info(console.id).origin, console.origin, "a drag on the start key")

        # A press on the power key does not drag (released off the key, so
        # it is no click either).
        power = (ox + center(POWER_KEY)[0], oy + center(POWER_KEY)[1])
        drag(power, [(3, -2)] * 10)
        session.sync(console)
        self.assertEqual(session.window_info(console.id).origin, console.origin,
                         "a press on the power key dragged the console")
        self.end_with_escape()

    def test_menu_opens_at_the_pointer_and_works(self):
        session, console = self.session, self.console
        ox, oy = console.origin
        point = (ox + 230, oy + 300)
        known = {w.id for w in session.visible_windows()}

        def open_menu():
            session.click(*point, button=3)
            return wait_until(lambda: next((w for w in session.visible_windows() if w.id not in known), None), 5)

        menu = open_menu()
        self.assertIsNotNone(menu, "no menu opened on a right click")
        self.assertEqual(menu.origin, point, "the menu did not open at the pointer")
        self.assertGreater(menu.height, 100, f"the menu is too small for its items: {menu}")
        # Esc in the menu closes the menu only.
        session.key("Escape")
        self.assertTrue(wait_until(lambda: not session.viewable(menu.id), 5),
                        "the menu stays open")
        self.assertTrue(self.program.running(), "Esc in the menu ended the program")

        # Its first item shows the about window at the screen's top left.
        menu = open_menu()
        self.assertIsNotNone(menu, "the menu did not open again")
        session.key("Down", "Return")
        about = session.wait_for_window(ABOUT_TITLE, timeout=5)
        self.assertIsNotNone(about, "the menu's first item did not show the about window")
        self.assertEqual((about.origin, about.size), ((0, 0), (275, 224)))
        self.end_with_escape()


if __name__ == "__main__":
    harness.main()
