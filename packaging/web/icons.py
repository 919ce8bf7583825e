#!/usr/bin/env python3
"""icons.py XPM FOLDER SIZE...: draws the window's 32 by 32 icon picture as
FOLDER/icon-SIZE.png for each SIZE, every pixel a square block (nearest
neighbour), so the hamburger stays as crisp as the original."""
import re
import sys

from PIL import Image


def read_xpm(path):
    with open(path, encoding="ascii") as xpm:
        rows = re.findall(r'"([^"]*)"', xpm.read())
    width, height, colours, per_pixel = (int(n) for n in rows[0].split()[:4])
    palette = {}
    for line in rows[1:1 + colours]:
        key, value = line[:per_pixel], line[per_pixel:].split()
        colour = value[value.index("c") + 1]
        palette[key] = (0, 0, 0, 0) if colour.lower() == "none" else \
            tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5)) + (255,)
    image = Image.new("RGBA", (width, height))
    for y, line in enumerate(rows[1 + colours:1 + colours + height]):
        for x in range(width):
            image.putpixel((x, y), palette[line[x * per_pixel:(x + 1) * per_pixel]])
    return image


def main():
    if len(sys.argv) < 4:
        sys.exit("usage: icons.py XPM FOLDER SIZE...")
    picture = read_xpm(sys.argv[1])
    for size in sys.argv[3:]:
        size = int(size)
        picture.resize((size, size), Image.NEAREST).save(
            f"{sys.argv[2]}/icon-{size}.png", optimize=True)


main()
