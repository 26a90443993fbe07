#!/usr/bin/env python3
"""Draws the cleaner's icon (a folder with a broom stroke) as a 32 x 32,
16-colour .ico, written to cleaner.ico beside this script."""
import os
import struct

# The standard 16-colour palette, as (blue, green, red, 0).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]


def rgb_to_index(r, g, b):
    return PALETTE.index((b, g, r))


def draw():
    px = [[None] * 32 for _ in range(32)]  # None = transparent; rows top to bottom
    dark = rgb_to_index(128, 128, 0)
    yellow = rgb_to_index(255, 255, 0)
    black = rgb_to_index(0, 0, 0)
    red = rgb_to_index(255, 0, 0)
    brown = rgb_to_index(128, 0, 0)
    for y in range(8, 12):            # folder tab
        for x in range(3, 14):
            px[y][x] = dark
    for y in range(11, 28):           # folder body
        for x in range(2, 30):
            px[y][x] = yellow if 3 <= x <= 28 and 12 <= y <= 26 else black
    for i in range(22):               # broom handle, corner to corner
        x, y = 8 + i, 25 - i
        if 0 <= y < 32:
            px[y][x] = brown
            if x + 1 < 32:
                px[y][x + 1] = brown
    for y in range(22, 30):           # broom head
        for x in range(3, 11):
            if abs((x - 7) + (y - 26)) <= 3:
                px[y][x] = red
    return px


def write_ico(px, path):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):           # bitmaps are stored bottom-up
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    write_ico(draw(), os.path.join(os.path.dirname(os.path.abspath(__file__)), "cleaner.ico"))
