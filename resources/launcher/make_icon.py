#!/usr/bin/env python3
"""Draws the launcher's icon (a clock over a disk, 16, 32 and 48 pixels, 32-bit colour
with alpha) and writes it as launcher.ico, and the same clock under a yellow warning
triangle as launcher_warning.ico (shown while a run failed or a schedule was skipped). Standard library only; run it from any folder:

    python3 resources/launcher/make_icon.py
"""
import math
import os
import struct

DISK = (0x2E, 0x6B, 0xB8)   # blue
FACE = (0xFF, 0xFF, 0xFF)
HANDS = (0x20, 0x20, 0x20)
RIM = (0x1B, 0x45, 0x7A)
WARN = (0xF2, 0xB7, 0x05)   # amber
WARN_RIM = (0x8A, 0x5A, 0x00)


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


def in_triangle(px, py, top, left, right):
    """Inside the triangle top-left-right (points as (x, y))."""
    def side(a, b):
        return (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])
    s1, s2, s3 = side(top, left), side(left, right), side(right, top)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def warning_layers(size):
    """A triangle with an exclamation mark over the lower right of the clock."""
    outer = ((0.70, 0.36), (0.38, 0.98), (1.02, 0.98))
    inner = ((0.70, 0.46), (0.46, 0.93), (0.94, 0.93))
    bar = max(0.04, 1.1 / size)
    return [
        (WARN_RIM, lambda x, y: in_triangle(x, y, *outer)),
        (WARN, lambda x, y: in_triangle(x, y, *inner)),
        (HANDS, lambda x, y: near_segment(x, y, 0.70, 0.58, 0.70, 0.76, bar)),
        (HANDS, lambda x, y: math.hypot(x - 0.70, y - 0.85) <= bar * 1.1),
    ]


def draw(size, warning=False):
    """Rows of (r, g, b, a), top row first."""
    width = max(0.045, 1.2 / size)
    layers = [
        (RIM, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.48),
        (DISK, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.43),
        (FACE, lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.33),
        (HANDS, lambda x, y: near_segment(x, y, 0.5, 0.5, 0.5, 0.25, width)),
        (HANDS, lambda x, y: near_segment(x, y, 0.5, 0.5, 0.68, 0.58, width)),
    ]
    if warning:
        layers += warning_layers(size)
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


def icon_image(size, warning):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask."""
    rows = draw(size, warning)
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


def write_icon(name, warning):
    sizes = [16, 32, 48]
    images = [icon_image(s, warning) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(target, "wb") as f:
        f.write(out)


def main():
    write_icon("launcher.ico", False)
    write_icon("launcher_warning.ico", True)


if __name__ == "__main__":
    main()
