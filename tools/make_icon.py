#!/usr/bin/env python3
"""Draws app/Icon.ico: a 32 x 32, 16-colour icon of an open account book
with a yen sign. Run it again after changing the picture below."""
import struct
import sys

# The standard 16-colour palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One character per pixel: '.' transparent, else a palette index in hex.
def picture():
    grid = [["."] * 32 for _ in range(32)]

    def put(x, y, c):
        grid[y][x] = c

    for y in range(3, 25):                      # two pages, navy edges
        for x in range(2, 30):
            put(x, y, "4" if x in (2, 29) or y in (3, 24) else "f")
    for y in range(3, 27):                      # the spine
        put(15, y, "7"), put(16, y, "7")
    for x in range(3, 30):                      # the cover below the pages
        put(x, 25, "3")
    for y in range(6, 22, 2):                   # written lines, left page
        for x in range(5, 13 - (y % 3)):
            put(x, y, "8")
    for i in range(4):                          # the yen sign, right page
        put(19 + i, 7 + i, "9"), put(26 - i, 7 + i, "9")
    for y in range(11, 19):
        put(22, y, "9"), put(23, y, "9")
    for x in range(19, 27):
        put(x, 12, "9"), put(x, 15, "9")
    for x in range(19, 27):                     # a green total line
        put(x, 21, "2")
    return ["".join(row) for row in grid]


def icon_bytes():
    rows = picture()
    xor = bytearray()
    mask = bytearray()
    for line in reversed(rows):  # bitmaps run bottom-up
        for x in range(0, 32, 2):
            hi, lo = (0 if c == "." else int(c, 16) for c in line[x:x + 2])
            xor.append(hi << 4 | lo)
        bits = 0
        for c in line:
            bits = bits << 1 | (1 if c == "." else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "app/Icon.ico", "wb") as out:
        out.write(icon_bytes())
