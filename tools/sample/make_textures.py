#!/usr/bin/env python3
"""The sample frigate's three textures, drawn here: hull plating with panel lines,
an engine glow and armour plates. Writes uncompressed 24-bit TGA files, as the game
reads them, into the folder given (docs/sample).

    python3 tools/sample/make_textures.py docs/sample
"""
import struct
import sys
from pathlib import Path

SIZE = 64


def tga(pixels):
    # Header: no id, no colour map, uncompressed true colour, origin at the top left.
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, SIZE, SIZE, 24, 0x20)
    body = bytearray()
    for y in range(SIZE):
        for x in range(SIZE):
            r, g, b = pixels(x, y)
            body += bytes((b, g, r))
    return header + bytes(body)


def hull(x, y):
    line = x % 16 == 0 or y % 32 == 0
    shade = 158 + (x // 16 + y // 32) % 2 * 12
    return (90, 92, 98) if line else (shade, shade + 4, shade + 12)


def engine(x, y):
    d = abs(x - SIZE / 2) + abs(y - SIZE / 2)
    glow = max(0, 255 - int(d * 7))
    return (40 + glow // 3, 80 + glow // 2, min(255, 140 + glow))


def plating(x, y):
    rivet = x % 8 == 4 and y % 8 == 4
    return (40, 44, 38) if rivet else (88 + (x * 7 + y * 13) % 9, 96, 82)


def main():
    folder = Path(sys.argv[1])
    for name, pixels in (("hull", hull), ("engine", engine), ("plating", plating)):
        (folder / f"frigate_{name}.tga").write_bytes(tga(pixels))


if __name__ == "__main__":
    main()
