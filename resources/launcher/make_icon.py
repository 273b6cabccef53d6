#!/usr/bin/env python3
"""Draws the launcher's icon (a clock over a disk, 16, 32 and 48 pixels, 32-bit colour
with alpha) and writes it as launcher.ico. Standard library only; run it from any folder:

    python3 resources/launcher/make_icon.py
"""
import math
import os
import struct

DISK = (0x2E, 0x6B, 0xB8)   # blue
FACE = (0xFF, 0xFF, 0xFF)
HANDS = (0x20, 0x20, 0x20)
RIM = (0x1B, 0x45, 0x7A)


def coverage(size, inside, samples=4):
    """Anti-aliased coverage grid of a shape given as inside(x, y) in 0..1 units."""
    grid = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    px = (x + (sx + 0.5) / samples) / size
                    py = (y + (sy + 0.5) / samples) / size
                    hits += inside(px, py)
            row.append(hits / (samples * samples))
        grid.append(row)
    return grid


def near_segment(px, py, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy)) <= width


def draw(size):
    """Rows of (r, g, b, a), top row first."""
    width = max(0.045, 1.2 / size)
    layers = [
        (RIM, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.48),
        (DISK, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.43),
        (FACE, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.33),
        (HANDS, lambda x, y: near_segment(x, y, 0.5, 0.5, 0.5, 0.25, width)),
        (HANDS, lambda x, y: near_segment(x, y, 0.5, 0.5, 0.68, 0.58, width)),
    ]
    pixels = [[(0, 0, 0, 0.0)] * size for _ in range(size)]
    for colour, shape in layers:
        grid = coverage(size, shape)
        for y in range(size):
            for x in range(size):
                a = grid[y][x]
                if a == 0:
                    continue
                r0, g0, b0, a0 = pixels[y][x]
                out = a + a0 * (1 - a)
                mix = [(c * a + c0 * a0 * (1 - a)) / out for c, c0 in zip(colour, (r0, g0, b0))]
                pixels[y][x] = (*mix, out)
    return [[(round(r), round(g), round(b), round(a * 255)) for r, g, b, a in row] for row in pixels]


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + colour + mask


def main():
    sizes = [16, 32, 48]
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "launcher.ico")
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
