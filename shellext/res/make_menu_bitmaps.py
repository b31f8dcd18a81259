#!/usr/bin/env python3
"""Draws the two menu bitmaps of Marrowgate.dll: a page copied onto another.

Menu16.bmp: 16 x 16 pixels, 24 bits per pixel (Windows Vista and later).
Menu12.bmp: 12 x 12 pixels, 32 bits per pixel (earlier versions; alpha 0 on
the background). Run it from this folder after changing a picture; the .bmp
files it writes are committed.
"""
import struct

COLOURS = {
    '.': (255, 255, 255),  # background: the menu's own
    'g': (128, 128, 128),  # outline of the page behind
    'l': (224, 224, 224),  # fill of the page behind
    'b': (32, 80, 160),    # outline of the page in front
    'w': (255, 255, 255),  # fill of the page in front
    'a': (40, 150, 60),    # the arrow
}

PICTURE_16 = [
    "................",
    ".ggggggg........",
    ".glllllg........",
    ".glllllg........",
    ".glllbbbbbbbb...",
    ".glllbwwwwwwb...",
    ".glllbwwwawwb...",
    ".glllbwwwaawb...",
    ".glllbaaaaaab...",
    ".ggggbwwwaawb...",
    ".....bwwwawwb...",
    ".....bwwwwwwb...",
    ".....bwwwwwwb...",
    ".....bbbbbbbb...",
    "................",
    "................",
]

PICTURE_12 = [
    "............",
    ".ggggg......",
    ".glllg......",
    ".gllbbbbbb..",
    ".gllbwwawb..",
    ".gllbwwaab..",
    ".gggbaaaab..",
    "....bwwaab..",
    "....bwwawb..",
    "....bbbbbb..",
    "............",
    "............",
]


def bitmap(picture, bits):
    height = len(picture)
    width = len(picture[0])
    row_bytes = (width * bits // 8 + 3) & ~3
    rows = []
    for line in reversed(picture):  # bottom-up
        row = bytearray()
        for cell in line:
            red, green, blue = COLOURS[cell]
            row += bytes((blue, green, red))
            if bits == 32:
                row.append(0 if cell == '.' else 255)
        row += bytes(row_bytes - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pixels


def main():
    assert all(len(line) == 16 for line in PICTURE_16) and len(PICTURE_16) == 16
    assert all(len(line) == 12 for line in PICTURE_12) and len(PICTURE_12) == 12
    with open("Menu16.bmp", "wb") as out:
        out.write(bitmap(PICTURE_16, 24))
    with open("Menu12.bmp", "wb") as out:
        out.write(bitmap(PICTURE_12, 32))


if __name__ == "__main__":
    main()
