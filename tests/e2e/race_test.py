"""A race at real speed: power on, CTRL, the start tune, the start lights and
the level display, the race with the rider in the centre lane, the arrows
moving the rider and changing gear, and the engine tone at each gear's pitch
in the audio output."""

import os
import time
import unittest

import audio
import harness
from harness import (CONSOLE_SIZE, CONSOLE_TITLE, LAUNCHER_SIZE, LAUNCHER_TITLE, PLAY_BUTTON, POWER_KEY,
                     SOUND_ENTRIES, SOUND_LIST, SYSTEM_ENTRIES, SYSTEM_LIST, Session, center, choose_entry,
                     assert_ended_cleanly, launcher_point, wait_until)
from lcd import Lcd

# The start sequence's timings in ms after CTRL.
LIGHTS_ON = 4125
FIRST_LIGHT_OUT = LIGHTS_ON + 882
SECOND_LIGHT_OUT = FIRST_LIGHT_OUT + 1200
RACE = SECOND_LIGHT_OUT + 1400

# Generous: these prove the wiring, the benchmarks measure precision.
EARLY = 150  # ms an event may be seen before its time
LATE = 600   # ms it may be seen after
STEP_SLACK = 250  # ms for a step between two events seen on the screen
AUDIO_SLACK = 300  # ms for an event placed in the audio output

FAR_GROUP = ("Im_Linea3sx1", "Im_Linea3sx2", "Im_Linea3dx")
MIDDLE_PAIR = ("Im_Linea2sx", "Im_Linea2dx")
NEAR_PAIR = ("Im_Linea1sx", "Im_Linea1dx")
LIVES = ("Im_Errori1", "Im_Errori2", "Im_Errori3", "Im_Errori4")
LIGHTS = ("Im_Semaforo1", "Im_Semaforo2", "Im_Semaforo3")
SPEEDS = ("Im_Speed1", "Im_Speed2", "Im_Speed3")


class Timeline:
    """The LCD as read from the screen, with the time of each look, and how
    far the audio output had been written at that time."""

    def __init__(self, session, lcd, origin):
        self.session, self.lcd, self.origin = session, lcd, origin
        self.looks = []  # (seconds, LcdState)
        self.written = []  # (seconds, frames in the audio output)

    def look(self):
        picture = self.session.display.grab(*self.lcd.area(self.origin))
        state = self.lcd.read(picture, self.origin)
        now = time.monotonic()
        self.looks.append((now, state))
        self.written.append((now, os.path.getsize(self.session.audio_path) // 2))
        return state

    def written_at(self, frame):
        """When the audio output reached a frame, on the clock of the looks.
        SDL's disk driver writes the output at about the pace of a sound
        card, but falls behind on a busy machine and does not catch up: the
        output's own frame count is no clock."""
        for (before, frames_before), (after, frames_after) in zip(self.written, self.written[1:]):
            if frames_before < frame <= frames_after:
                return before + (after - before) * (frame - frames_before) / (frames_after - frames_before)
        return None

    def watch_until(self, predicate, timeout, interval=0.01):
        """Looks until predicate(state) holds: (time, state), or (None, last state)."""
        deadline = time.monotonic() + timeout
        while True:
            state = self.look()
            if predicate(state):
                return self.looks[-1][0], state
            if time.monotonic() > deadline:
                return None, state
            time.sleep(interval)

    def settled(self, timeout=5.0):
        """The LCD once a repaint in progress is complete: two looks in a row
        that read the same, every element decided."""
        previous = self.look()
        deadline = time.monotonic() + timeout
        while True:
            state = self.look()
            if not state.undecided and (state.lit, state.digits) == (previous.lit, previous.digits):
                return state
            if time.monotonic() > deadline:
                raise AssertionError(f"the LCD keeps changing: {previous} then {state}")
            previous = state


class Driver:
    """Plays the race from the screen: every arrow press is checked on the
    LCD, and between the presses asked for, the rider is kept out of the way
    of opponents in the row next to it."""

    LANE_KEYS = {"Left": -1, "Right": +1}

    def __init__(self, test, timeline):
        self.test = test
        self.timeline = timeline
        self.session = timeline.session
        self.presses = []  # (seconds, key)
        self.gear = 1

    def press(self, key):
        # Straight through the X server's test extension: starting a tool
        # for each key takes too long on a busy machine to dodge in time.
        before = time.monotonic()
        self.session.display.tap_key(key)
        self.presses.append((before, key))
        return before

    def lane_is_clear(self, state, lane):
        return not state[f"Im_Avv1{lane}"] and not state[f"Im_Avv2{lane}"]

    def move(self, key, state):
        """One lane step, checked on the screen."""
        lane = state.rider_lane()
        expected = min(3, max(1, lane + self.LANE_KEYS[key]))
        self.press(key)
        when, after = self.timeline.watch_until(lambda s: s.rider_lane() == expected, 3.0)
        self.test.assertIsNotNone(when, f"{key} in lane {lane}: the rider did not go to lane {expected}; {after}")
        return after

    def dodge(self, state):
        """Leaves the rider's lane when an opponent is in one of the two rows
        next to it, for a lane clear of both if there is one: an opponent
        two rows away leaves a whole step of the opponents to get out of its
        way, however late the driver sees it."""
        lane = state.rider_lane()
        if lane is None:  # a look in the middle of a repaint
            state = self.timeline.settled()
            lane = state.rider_lane()
        self.test.assertIsNotNone(lane, f"no single rider on the LCD during the race (a crash?): {state}")
        if self.lane_is_clear(state, lane):
            return state
        free = [other for other in (1, 2, 3) if not state[f"Im_Avv1{other}"]]
        target = min(free, key=lambda other: (not self.lane_is_clear(state, other), abs(other - lane)))
        if not self.lane_is_clear(state, target) and not state[f"Im_Avv1{lane}"]:
            return state  # nowhere better yet, and a step left to find it
        while state.rider_lane() != target:
            state = self.move("Left" if target < state.rider_lane() else "Right", state)
        return state

    def ride(self, seconds):
        """Races on for a while, only dodging."""
        end = time.monotonic() + seconds
        state = self.timeline.look()
        while time.monotonic() < end:
            state = self.dodge(state)
            time.sleep(0.01)
            state = self.timeline.look()
        return state

    def lane_step(self, key, timeout=6.0):
        """A lane step asked for, made once the lane it leads to is clear."""
        end = time.monotonic() + timeout
        state = self.timeline.look()
        while True:
            state = self.dodge(state)
            lane = state.rider_lane()
            target = min(3, max(1, lane + self.LANE_KEYS[key]))
            if self.lane_is_clear(state, target):
                return self.move(key, state)
            self.test.assertLess(time.monotonic(), end, "the lane never cleared for a lane step")
            time.sleep(0.01)
            state = self.timeline.look()

    def shift(self, key):
        """A gear step, checked on the speed bars."""
        self.gear += 1 if key == "Up" else -1
        lit = SPEEDS[:self.gear]
        when = self.press(key)
        seen, state = self.timeline.watch_until(
            lambda s: all(s[name] == (name in lit) for name in SPEEDS), 3.0)
        self.test.assertIsNotNone(seen, f"{key}: gear {self.gear} not shown; {state}")
        return when


class RaceTest(unittest.TestCase):
    def setUp(self):
        self.session = Session(1024, 768)
        self.addCleanup(self.session.close)
        self.lcd = Lcd(harness.PATHS.art_dir)

    def power_on(self, system):
        """Launcher choices DirectSound and the given system, play, power on:
        (program, console, timeline), the console waiting for CTRL."""
        session = self.session
        program = session.start()
        launcher = session.wait_for_window(LAUNCHER_TITLE, LAUNCHER_SIZE)
        self.assertIsNotNone(launcher, f"no launcher; log:\n{program.log()}")
        choose_entry(session, launcher, SOUND_LIST, SOUND_ENTRIES.index("DirectSound"))
        choose_entry(session, launcher, SYSTEM_LIST, SYSTEM_ENTRIES.index(system))
        session.click(*launcher_point(launcher, PLAY_BUTTON))
        expected = ((1024 - 461) // 2, (768 - 738) // 2)
        console = wait_until(lambda: next((w for w in session.visible_windows(CONSOLE_TITLE, CONSOLE_SIZE)
                                           if w.origin == expected), None), 10)
        self.assertIsNotNone(console, "the console did not come on screen")
        self.assertTrue(wait_until(lambda: os.path.exists(session.audio_path), 5), "no audio output opened")
        timeline = Timeline(session, self.lcd, console.origin)

        # Off: a blank LCD. Power on: the dashboard, the two zeros and the
        # game-over picture, waiting for CTRL.
        self.assertEqual(timeline.look().lit_names(), [], "the LCD is not blank before power on")
        session.click(console.left + center(POWER_KEY)[0], console.top + center(POWER_KEY)[1])
        seen, state = timeline.watch_until(lambda s: s.lit_names() == ["Im_Cruscotto", "Im_GameOver", "Im_Num00"],
                                           3)
        self.assertIsNotNone(seen, f"power on shows {state}")
        self.assertEqual(session.focused_window(), console.id, "the console does not have the keyboard")
        return program, console, timeline

    def test_start_sequence_race_and_sound(self):
        session = self.session
        program, console, timeline = self.power_on("95, 98, ME, NT")

        # CTRL: the console set up for level 1 at once.
        frames_before_ctrl = os.path.getsize(session.audio_path) // 2
        ctrl = time.monotonic()
        session.key("ctrl")
        seen, state = timeline.watch_until(lambda s: s["Im_Moto2"], 1)
        self.assertIsNotNone(seen, f"CTRL did not start a game: {state}")
        state = timeline.settled()
        for name in ("Im_Moto2", "Im_Fuel3", "Im_Num00") + LIVES + FAR_GROUP + MIDDLE_PAIR + NEAR_PAIR:
            self.assertTrue(state[name], f"{name} is not lit after CTRL: {state}")
        for name in ("Im_GameOver", "Im_Moto1", "Im_Moto3") + LIGHTS + SPEEDS:
            self.assertFalse(state[name], f"{name} is lit after CTRL: {state}")
        self.assertEqual(state.digits, "    ")

        def after_ctrl(when):
            return (when - ctrl) * 1000

        # The start lights and the level display.
        seen, state = timeline.watch_until(lambda s: all(s[name] for name in LIGHTS), (LIGHTS_ON + LATE) / 1000 + 1)
        self.assertIsNotNone(seen, f"the start lights did not come on: {state}")
        self.assertGreaterEqual(after_ctrl(seen), LIGHTS_ON - EARLY)
        self.assertLessEqual(after_ctrl(seen), LIGHTS_ON + LATE)
        lights_on = seen
        print(f"\nstart lights seen {after_ctrl(seen):.0f} ms after CTRL", flush=True)
        state = timeline.settled()
        self.assertEqual(state.digits, " L-1", "the level display does not read L-1")
        self.assertFalse(state["Im_Num00"], "the two zeros stay lit beside the level display")

        seen, state = timeline.watch_until(lambda s: not s["Im_Semaforo1"], 3)
        self.assertIsNotNone(seen, "the first light did not go out")
        self.assertAlmostEqual((seen - lights_on) * 1000, FIRST_LIGHT_OUT - LIGHTS_ON, delta=STEP_SLACK)
        state = timeline.settled()
        self.assertTrue(state["Im_Semaforo2"] and state["Im_Semaforo3"], f"a light went out too soon: {state}")
        first_out = seen
        seen, state = timeline.watch_until(lambda s: not s["Im_Semaforo2"], 3)
        self.assertIsNotNone(seen, "the second light did not go out")
        self.assertAlmostEqual((seen - first_out) * 1000, SECOND_LIGHT_OUT - FIRST_LIGHT_OUT, delta=STEP_SLACK)
        second_out = seen

        # The race: the last light out, speed 1, the rider in the centre
        # lane, the far group of track lines, the score's two zeros.
        seen, state = timeline.watch_until(lambda s: s["Im_Speed1"], 3)
        self.assertIsNotNone(seen, f"the race did not start: {state}")
        self.assertGreaterEqual(after_ctrl(seen), RACE - EARLY)
        self.assertLessEqual(after_ctrl(seen), RACE + LATE)
        self.assertAlmostEqual((seen - second_out) * 1000, RACE - SECOND_LIGHT_OUT, delta=STEP_SLACK)
        print(f"race seen {after_ctrl(seen):.0f} ms after CTRL", flush=True)
        state = timeline.settled()
        self.assertEqual(state.rider_lane(), 2, f"the race starts with the rider in lane {state.rider_lane()}")
        self.assertFalse(any(state[name] for name in LIGHTS), f"a start light stays lit: {state}")
        self.assertEqual(state.digits, "    ", "the level display stays")
        self.assertTrue(state["Im_Num00"], "the score's zeros are not lit")
        self.assertFalse(state["Im_Speed2"] or state["Im_Speed3"], f"the race starts above speed 1: {state}")
        self.assertTrue(all(state[name] for name in FAR_GROUP), f"the far track lines are not lit: {state}")
        self.assertFalse(any(state[name] for name in MIDDLE_PAIR + NEAR_PAIR),
                         f"track lines other than the far group are lit: {state}")

        # The arrows: lanes, then the gears up and down.
        driver = Driver(self, timeline)
        for key in ("Left", "Right", "Right", "Left"):
            driver.lane_step(key)
        driver.ride(0.8)
        gear_changes = []
        for key in ("Up", "Up", "Down", "Down"):
            gear_changes.append((driver.shift(key), driver.gear))
            driver.ride(1.0)
        # No crash: the rider never left the LCD for longer than a repaint.
        riderless = longest_riderless = 0
        for when, look in timeline.looks:
            riderless = riderless + 1 if when > seen and look.rider_lane() is None else 0
            longest_riderless = max(longest_riderless, riderless)
        self.assertLess(longest_riderless, 3, "the rider left the LCD during the race (a crash?)")
        print(f"arrow presses: {[key for _, key in driver.presses]}", flush=True)

        # Esc ends the program cleanly.
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

        self.check_audio(timeline, frames_before_ctrl, gear_changes)

    def test_no_engine_tone_for_2000(self):
        # With "2000" chosen the effects play but the engine tone never does.
        session = self.session
        program, console, timeline = self.power_on("2000")
        frames_before_ctrl = os.path.getsize(session.audio_path) // 2
        session.key("ctrl")
        seen, state = timeline.watch_until(lambda s: s["Im_Speed1"], (RACE + LATE) / 1000 + 1)
        self.assertIsNotNone(seen, f"the race did not start: {state}")
        driver = Driver(self, timeline)
        driver.ride(1.0)
        driver.shift("Up")
        driver.ride(0.5)
        session.key("Escape")
        assert_ended_cleanly(self, session, program)

        output = audio.read_output(session.audio_path)
        start_tune = audio.read_wave(os.path.join(harness.PATHS.sound_dir, "Start.wav"))
        lights_tune = audio.read_wave(os.path.join(harness.PATHS.sound_dir, "Semaph.wav"))
        start, match = audio.place_effect(output, start_tune, frames_before_ctrl)
        self.assertGreater(match, 0.95, "no start tune")
        alone = (RACE - LIGHTS_ON - AUDIO_SLACK) * audio.RATE // 1000
        lights, match = audio.place_effect(audio.without_effects(output, [(start_tune, start)], 0, len(output)),
                                           lights_tune, start, alone)
        self.assertGreater(match, 0.95, "no start lights' effect")
        rest = audio.without_effects(output, [(start_tune, start), (lights_tune, lights)], lights, len(output))
        loud = next((i for i, v in enumerate(rest) if v != 0), None)
        self.assertIsNone(loud, f"something sounds {(lights + (loud or 0) - start) * 1000 // audio.RATE} ms "
                                f"after the start tune, besides the two effects")

    def check_audio(self, timeline, frames_before_ctrl, gear_changes):
        output = audio.read_output(self.session.audio_path)
        sounds = harness.PATHS.sound_dir
        start_tune = audio.read_wave(os.path.join(sounds, "Start.wav"))
        lights_tune = audio.read_wave(os.path.join(sounds, "Semaph.wav"))

        def ms(frames):
            return frames * 1000.0 / audio.RATE

        # Silence until CTRL, then the start tune.
        self.assertGreater(len(output), frames_before_ctrl + audio.RATE * 10, "the audio output is too short")
        noise = audio.first_sound(output, 0, frames_before_ctrl)
        self.assertIsNone(noise, f"sound at {ms(noise or 0):.0f} ms, before CTRL")
        start, match = audio.place_effect(output, start_tune, frames_before_ctrl)
        self.assertIsNotNone(start, "nothing sounds after CTRL")
        self.assertGreater(match, 0.95, "what sounds after CTRL is not the start tune")
        self.assertGreaterEqual(ms(start - frames_before_ctrl), -200, "the start tune began before CTRL")
        self.assertLessEqual(ms(start - frames_before_ctrl), 600, "the start tune came late")

        # The start lights' effect, 4125 ms after the tune began (compared
        # up to the race, where the engine tone joins it): the next sound once
        # the tune is taken out, as the two may overlap in the output (SDL's
        # disk driver writes the output late on a busy machine, and does not
        # catch up).
        alone = (RACE - LIGHTS_ON - AUDIO_SLACK) * audio.RATE // 1000
        lights, match = audio.place_effect(audio.without_effects(output, [(start_tune, start)], 0, len(output)),
                                           lights_tune, start, alone)
        self.assertIsNotNone(lights, "no sound after the start tune")
        self.assertGreater(match, 0.95, "the next sound is not the start lights' effect")

        def ms_between(first, second):
            """Milliseconds between the output's reaching two frames."""
            return (timeline.written_at(second) - timeline.written_at(first)) * 1000

        self.assertAlmostEqual(ms_between(start, lights), LIGHTS_ON, delta=AUDIO_SLACK)

        # The engine tone from the race on: what is left once the two
        # effects are taken out.
        race_audio = audio.without_effects(output, [(start_tune, start), (lights_tune, lights)],
                                           lights, len(output))
        tone_start = next((i for i, v in enumerate(race_audio) if abs(v) > 4096), None)
        self.assertIsNotNone(tone_start, "no engine tone")
        self.assertAlmostEqual(ms_between(start, lights + tone_start), RACE, delta=AUDIO_SLACK,
                               msg="the engine tone did not start with the race")
        runs = audio.tone_runs(race_audio, offset=lights)
        print(f"start tune {ms(start - frames_before_ctrl):.0f} ms after CTRL, lights' effect "
              f"{ms_between(start, lights):.0f} ms and engine tone {ms_between(start, lights + tone_start):.0f} ms "
              f"after it (output frames apart: {ms(lights - start):.0f} and {ms(lights + tone_start - start):.0f} ms); "
              f"tone: {runs}", flush=True)
        self.assertEqual([run.gear for run in runs], [1] + [gear for _, gear in gear_changes],
                         f"the engine tone's pitches by gear: {runs}")
        for run in runs:
            expected = audio.tone_frequency(audio.GEAR_TONES[run.gear])
            self.assertAlmostEqual(run.frequency, expected, delta=expected * 0.005, msg=f"gear {run.gear}: {run}")
        # The tone runs on without a break through the changes of pitch.
        gaps = sum(1 for v in race_audio[tone_start:runs[-1].last - lights] if v == 0)
        self.assertEqual(gaps, 0, "the engine tone has silent samples between its changes of pitch")
        # Each change of pitch comes with its key press.
        for run, (pressed, gear) in zip(runs[1:], gear_changes):
            heard = timeline.written_at(run.first)
            self.assertAlmostEqual(heard, pressed, delta=0.4, msg=f"gear {gear}'s pitch came apart from its key")


if __name__ == "__main__":
    harness.main()
