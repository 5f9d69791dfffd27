#!/usr/bin/env python3
"""Packs the icon's PNG pictures (assets/icon/vorlak-<size>.png) into one
Windows icon file, each size as a PNG entry, largest last:
    make_icon.py ASSETS_ICON_DIR OUTPUT.ico
The result is committed (frontends/win32/resources/vorlak.ico); the test
`make_icon.py --check ASSETS_ICON_DIR vorlak.ico` fails when it is not what
this script makes of the current pictures."""

import struct
import sys

SIZES = (16, 24, 32, 48, 64, 128, 256)
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(data):
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        raise ValueError("not a PNG picture")
    return struct.unpack(">II", data[16:24])


def make_icon(icon_dir):
    pictures = []
    for size in SIZES:
        with open(f"{icon_dir}/vorlak-{size}.png", "rb") as f:
            data = f.read()
        if png_size(data) != (size, size):
            raise ValueError(f"vorlak-{size}.png is not {size} x {size}")
        pictures.append((size, data))
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries = b""
    for size, data in pictures:
        side = 0 if size == 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(data for _, data in pictures)


if __name__ == "__main__":
    args = sys.argv[1:]
    check = args[:1] == ["--check"]
    if check:
        args = args[1:]
    if len(args) != 2:
        sys.exit("usage: make_icon.py [--check] ASSETS_ICON_DIR OUTPUT.ico")
    icon = make_icon(args[0])
    if check:
        with open(args[1], "rb") as f:
            if f.read() != icon:
                sys.exit(f"{args[1]} is not what make_icon.py makes of {args[0]}: run it and commit the result")
    else:
        with open(args[1], "wb") as f:
            f.write(icon)
