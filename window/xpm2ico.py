#!/usr/bin/env python3
"""Writes hamburger.ico, the Windows program icon, from hamburger.xpm, so that
the two stay one picture: 32 by 32, 256 colours, transparent where the XPM says
None. Run it after changing the XPM:  python3 window/xpm2ico.py"""
import pathlib
import re
import struct

here = pathlib.Path(__file__).parent
strings = re.findall(r'"([^"]*)"', (here / "hamburger.xpm").read_text())
width, height, ncolours, _ = map(int, strings[0].split())
colours = {}
for entry in strings[1 : 1 + ncolours]:
    value = entry.split(" c ")[1].strip()
    colours[entry[0]] = None if value == "None" else tuple(int(value[i : i + 2], 16) for i in (1, 3, 5))
rows = strings[1 + ncolours : 1 + ncolours + height][::-1]  # bitmaps run bottom up

keys = list(colours)
palette = [colours[k] or (0, 0, 0) for k in keys] + [(0, 0, 0)] * (256 - len(keys))
pixels = b"".join(bytes(keys.index(c) for c in row) for row in rows)
mask = b""
for row in rows:  # one bit a pixel, set where transparent; rows of 32 bits
    bits = 0
    for c in row:
        bits = (bits << 1) | (colours[c] is None)
    mask += struct.pack(">I", bits)

header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0, len(pixels) + len(mask), 0, 0, 256, 0)
image = header + b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + pixels + mask
directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", width, height, 0, 0, 1, 8, len(image), 22)
(here / "hamburger.ico").write_bytes(directory + image)
