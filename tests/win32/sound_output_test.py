"""The Windows sound outputs heard from outside: the probe program plays the
engine tone and the start tune through waveOut ("Windows MM") and through
DirectSound under wine, a private PulseAudio server's null sink takes the
sound, and its monitor is recorded. Without any sound device the same
program runs through silently.

Usage: sound_output_test.py --probe win32-sound-probe.exe --sound-dir assets/SOUND"""

import argparse
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import audio  # noqa: E402
from wine_session import PulseServer, WineSession, windows_path  # noqa: E402

ARGS = None
GEAR1_HZ = audio.tone_frequency(20)


def matched_share(recording, place, effect, window=256, slip=600):
    """The share of the effect's windows found exactly in the recording,
    following the effect from `place` on and letting its position slip by up
    to `slip` samples where a window is not where it was expected."""
    found = 0
    offset = place
    starts = range(0, len(effect) - window, window)
    for start in starts:
        wanted = effect[start:start + window]
        at = offset + start
        if recording[at:at + window] == wanted:
            found += 1
            continue
        for shift in range(-slip, slip + 1):
            at = offset + start + shift
            if at >= 0 and recording[at:at + window] == wanted:
                offset += shift
                found += 1
                break
    return found / len(starts)


class SoundOutputs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pulse = PulseServer()
        cls.session = WineSession(pulse=cls.pulse)
        cls.effect = audio.read_wave(os.path.join(ARGS.sound_dir, "Start.wav"))

    @classmethod
    def tearDownClass(cls):
        cls.session.close()
        cls.pulse.close()

    def play_and_record(self, output):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "recording.raw")
            self.pulse.start_recording(path)
            status, text = self.session.run(ARGS.probe, output, windows_path(ARGS.sound_dir), timeout=60)
            self.pulse.stop_recording()
            return status, text, audio.read_output(path)

    def check_heard(self, output):
        # wine drops stretches of sound when the machine is busy: one more
        # try, told on the output, before a failure counts.
        try:
            self.check_heard_once(output)
        except AssertionError as first:
            print(f"{output}: trying again after: {first}", file=sys.stderr)
            self.check_heard_once(output)

    def check_heard_once(self, output):
        status, text, recording = self.play_and_record(output)
        self.assertEqual(status, 0, text)
        self.assertIn("open 1, Start.wav loaded", text)

        tones = [run for run in audio.tone_runs(recording) if run.gear == 1]
        self.assertTrue(tones, f"no 20 Hz engine tone in {len(recording)} samples")
        # Half a second of it at least, in one piece or several.
        heard = sum(run.last - run.first for run in tones)
        self.assertGreaterEqual(heard, PulseServer.RATE // 2, tones)
        half_periods = sum(run.half_periods for run in tones)
        self.assertAlmostEqual(half_periods * PulseServer.RATE / (2.0 * heard), GEAR1_HZ, delta=0.1)

        # The tune, sample for sample, from where it begins after the tone.
        # Under load wine may drop a stretch of sound or slip a few samples
        # (which may also split the tone): nearly all of it must be found.
        tone_end = max(run.last for run in tones)
        place, _ = audio.place_effect(recording, self.effect, tone_end + PulseServer.RATE // 4)
        self.assertIsNotNone(place, "nothing sounds after the tone")
        share = matched_share(recording, place, self.effect)
        self.assertGreater(share, 0.8, f"only {share:.0%} of Start.wav is heard after the tone")

    def test_windows_mm(self):
        self.check_heard("winmm")

    def test_direct_sound(self):
        self.check_heard("dsound")

    def test_without_a_sound_device_both_play_silently_without_an_error(self):
        # No server answers there, and the machine has no sound card.
        for output in ("winmm", "dsound"):
            status, text = self.session.run(ARGS.probe, output, windows_path(ARGS.sound_dir), timeout=60,
                                            extra_env={"PULSE_SERVER": "unix:/nonexistent/socket"})
            self.assertEqual(status, 0, text)
            self.assertIn("open 0, Start.wav loaded", text)
            self.assertIn("channel -1", text)



if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    parser.add_argument("--sound-dir", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
