"""Reads what the program played from SDL's disk audio output: raw 16-bit
signed mono samples in the machine's byte order, at the rate the sound layer
asks for."""

import array
import sys
import wave

RATE = 22050

# The engine tone is a square wave at 1193182 / divisor Hz, divisor =
# 1193280 / tone value; the gears' tone values are 20, 22 and 26.
TIMER_CLOCK = 1193182
DIVISOR_CLOCK = 1193280
GEAR_TONES = {1: 20, 2: 22, 3: 26}


def tone_frequency(tone):
    return TIMER_CLOCK / ((DIVISOR_CLOCK // tone) & 0xFFFF)


def read_output(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[:len(data) - len(data) % 2])
    return samples


def read_wave(path):
    with wave.open(path, "rb") as w:
        if w.getnchannels() != 1 or w.getsampwidth() != 2 or w.getframerate() != RATE:
            raise ValueError(f"{path}: expected 16-bit mono at {RATE} Hz")
        samples = array.array("h")
        samples.frombytes(w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    return samples


def first_sound(samples, start=0, end=None):
    """Index of the first sample that is not silence, from start on, or None."""
    end = len(samples) if end is None else min(end, len(samples))
    for i in range(max(start, 0), end):
        if samples[i] != 0:
            return i
    return None


def correlation(a, a_start, b, b_start, length):
    """Normalised correlation of two stretches (1.0: the same up to a gain)."""
    sab = saa = sbb = 0
    for i in range(length):
        x, y = a[a_start + i], b[b_start + i]
        sab += x * y
        saa += x * x
        sbb += y * y
    if saa == 0 or sbb == 0:
        return 0.0
    return sab / (saa * sbb) ** 0.5


def place_effect(output, effect, start, compared=None):
    """Where the effect lies in the output if it is the next sound from start
    on: (index of the effect's first sample, correlation over its first
    `compared` samples, all by default), or (None, 0.0) when nothing sounds."""
    onset = first_sound(output, start)
    lead = first_sound(effect)
    if onset is None or lead is None:
        return None, 0.0
    place = onset - lead
    wanted = len(effect) if compared is None else min(compared, len(effect))
    length = min(wanted, len(output) - place)
    if place < 0 or length < wanted:
        return place, 0.0
    return place, correlation(output, place, effect, 0, length)


def without_effects(output, placed, start, end):
    """output[start:end] with the placed effects taken out: [(effect, place)]."""
    residual = list(output[start:end])
    for effect, place in placed:
        for i in range(max(place, start), min(place + len(effect), start + len(residual))):
            residual[i - start] -= effect[i - place]
    return residual


class ToneRun:
    """A stretch of the engine tone at one gear's pitch."""

    def __init__(self, gear, first, last, half_periods):
        self.gear = gear
        self.first = first  # index of its first zero crossing
        self.last = last  # index of its last zero crossing
        self.half_periods = half_periods

    @property
    def frequency(self):
        return self.half_periods * RATE / (2.0 * (self.last - self.first))

    def __repr__(self):
        return (f"ToneRun(gear {self.gear}, {self.frequency:.3f} Hz, frames {self.first}..{self.last}, "
                f"{self.half_periods} half periods)")


def tone_runs(signal, offset=0, tolerance=0.03, shortest=4):
    """The engine tone's stretches by gear, found from the zero crossings of
    a signal that holds only the tone: each half period is matched to the
    nearest gear's half period; runs shorter than `shortest` half periods and
    half periods matching no gear are left out."""
    half = {gear: RATE / (2 * tone_frequency(tone)) for gear, tone in GEAR_TONES.items()}
    crossings = []
    sign = 0
    for i, value in enumerate(signal):
        s = (value > 0) - (value < 0)
        if s != 0:
            if sign != 0 and s != sign:
                crossings.append(i + offset)
            sign = s
    runs = []
    for a, b in zip(crossings, crossings[1:]):
        length = b - a
        gear = min(half, key=lambda g: abs(length - half[g]))
        if abs(length - half[gear]) > tolerance * half[gear]:
            gear = None
        if runs and runs[-1].gear == gear and runs[-1].last == a:
            runs[-1].last = b
            runs[-1].half_periods += 1
        else:
            runs.append(ToneRun(gear, a, b, 1))
    return [run for run in runs if run.gear is not None and run.half_periods >= shortest]
