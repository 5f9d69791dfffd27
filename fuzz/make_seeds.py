#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: small wave files of every
encoding the wave reader takes, and outline blocks beside the console's own.
Its output is committed; run it again only to change the seeds:
    python3 fuzz/make_seeds.py"""

import math
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def wave(encoding, channels, rate, bits, data, extensible=False, extra=b""):
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 0xFFFE if extensible else encoding, channels, rate, rate * align, align, bits)
    if extensible:
        guid = struct.pack("<H", encoding) + bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
        fmt += struct.pack("<HHI", 22, bits, (1 << channels) - 1) + guid
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra
    body += b"data" + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tone(count, scale):
    return [math.sin(2 * math.pi * i / 16) * scale for i in range(count)]


def write(folder, name, content):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


def wave_seeds(folder):
    t = tone(24, 1.0)
    write(folder, "pcm8.wav", wave(1, 1, 22050, 8, bytes(int(128 + 127 * v) for v in t)))
    write(folder, "pcm16-stereo.wav", wave(1, 2, 44100, 16, struct.pack(f"<{2 * len(t)}h", *[int(32767 * v) for v in t + t])))
    write(folder, "pcm24.wav", wave(1, 1, 48000, 24, b"".join(struct.pack("<i", int(8388607 * v))[:3] for v in t)))
    write(folder, "pcm32.wav", wave(1, 1, 96000, 32, struct.pack(f"<{len(t)}i", *[int(2147483647 * v) for v in t])))
    odd = t[:20] + [float("nan"), float("inf"), float("-inf"), 1.5]
    write(folder, "float32.wav", wave(3, 1, 22050, 32, struct.pack(f"<{len(odd)}f", *odd)))
    write(folder, "float64-stereo.wav", wave(3, 2, 8000, 64, struct.pack(f"<{len(odd)}d", *odd)))
    write(folder, "alaw.wav", wave(6, 1, 8000, 8, bytes(range(0, 256, 11))))
    write(folder, "mulaw.wav", wave(7, 1, 8000, 8, bytes(range(3, 256, 11))))
    listing = b"LIST" + struct.pack("<I", 5) + b"INFOx\0"
    write(folder, "extensible-list.wav",
          wave(1, 2, 22050, 16, struct.pack("<8h", 1, -1, 2, -2, 3, -3, 4, -4), extensible=True, extra=listing))
    write(folder, "empty-data.wav", wave(1, 1, 22050, 16, b""))
    # An effect as the console's own are made: a 50 ms beep.
    beep = [int(12000 if (i // 10) % 2 else -12000) for i in range(1102)]
    write(folder, "beep.wav", wave(1, 1, 22050, 16, struct.pack(f"<{len(beep)}h", *beep)))


def block(rects):
    header = struct.pack("<iiii", 32, 1, len(rects), 16 * len(rects))
    if rects:
        bounds = (min(r[0] for r in rects), min(r[1] for r in rects), max(r[2] for r in rects), max(r[3] for r in rects))
    else:
        bounds = (0, 0, 0, 0)
    data = header + struct.pack("<iiii", *bounds) + b"".join(struct.pack("<iiii", *r) for r in rects)
    return struct.pack("<I", len(data)) + data


def outline_seeds(folder):
    shutil.copy(os.path.join(ROOT, "assets", "outline", "CoolForm1.Mask2.bin"), os.path.join(folder, "console.bin"))
    write(folder, "no-outline.bin", struct.pack("<I", 0))
    write(folder, "empty-region.bin", block([]))
    write(folder, "one-rectangle.bin", block([(2, 1, 460, 737)]))
    write(folder, "out-of-band-order.bin", block([(0, 10, 5, 20), (0, 0, 10, 10), (-3, -2, 1, 1)]))


def main():
    for name, make in (("wave", wave_seeds), ("outline", outline_seeds)):
        folder = os.path.join(HERE, "corpus", name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        make(folder)


if __name__ == "__main__":
    main()
