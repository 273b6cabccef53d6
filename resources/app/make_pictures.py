#!/usr/bin/env python3
"""Draws the main program's icons (16 and 32 pixels, 32-bit with alpha) and writes them
as .ico files beside this script, in pictures/. Standard library only; the output is
committed, so the build does not need this script.

Every picture is a list of layers drawn on the unit square; each pixel is sampled 4x4
times so edges come out smooth at both sizes.
"""
import math
import os
import struct

SAMPLES = 4
DARK = (40, 40, 48)


def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def polygon(*pts):
    def inside(x, y):
        result = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def line(p, q, w):
    (ax, ay), (bx, by) = p, q
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= (w / 2) ** 2
    return inside


def polyline(points, w):
    parts = [line(points[i], points[i + 1], w) for i in range(len(points) - 1)]
    return lambda x, y: any(part(x, y) for part in parts)


def outlined(shape_outer, shape_inner, fill, edge=DARK):
    return [(shape_outer, edge), (shape_inner, fill)]


def render(layers, size):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    if colour is not None:
                        a = colour[3] if len(colour) > 3 else 255
                        for k in range(3):
                            acc[k] += colour[k] * a / 255
                        acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                row.append(tuple(int(round(acc[k] / n * 255 / alpha)) for k in range(3)) +
                           (int(round(alpha)),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(stride)
        for i, p in enumerate(row):
            if p[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bytes(bits)
    return header + colour + mask


def write_icon(path, layers):
    images = [icon_image(render(layers, size)) for size in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


BLUE, LIGHT_BLUE = (40, 90, 190), (120, 170, 240)
YELLOW, DARK_YELLOW = (250, 205, 70), (200, 150, 30)
GREEN, RED, ORANGE = (40, 160, 60), (210, 50, 40), (240, 140, 30)
WHITE, GREY = (250, 250, 250), (150, 150, 160)


def database(cx, top, bottom, rx, fill):
    ry = rx * 0.35
    return [(rect(cx - rx - 0.04, top, cx + rx + 0.04, bottom), DARK),
            (ellipse(cx, bottom, rx + 0.04, ry + 0.04), DARK),
            (ellipse(cx, top, rx + 0.04, ry + 0.04), DARK),
            (rect(cx - rx, top, cx + rx, bottom), fill),
            (ellipse(cx, bottom, rx, ry), fill),
            (ellipse(cx, (top + bottom) / 2, rx, ry), LIGHT_BLUE),
            (ellipse(cx, (top + bottom) / 2 - 0.04, rx, ry), fill),
            (ellipse(cx, top, rx, ry), LIGHT_BLUE)]


def folder(fill=YELLOW, edge=DARK_YELLOW):
    return [(rect(0.06, 0.2, 0.46, 0.4, 0.05), edge),
            (rect(0.04, 0.28, 0.96, 0.88, 0.06), edge),
            (rect(0.1, 0.34, 0.9, 0.82, 0.04), fill)]


def page():
    return outlined(polygon((0.16, 0.04), (0.64, 0.04), (0.86, 0.26), (0.86, 0.96), (0.16, 0.96)),
                    polygon((0.22, 0.1), (0.6, 0.1), (0.8, 0.3), (0.8, 0.9), (0.22, 0.9)), WHITE)


def check(colour=GREEN, w=0.16):
    return [(polyline([(0.14, 0.52), (0.4, 0.78), (0.88, 0.22)], w + 0.08), DARK),
            (polyline([(0.14, 0.52), (0.4, 0.78), (0.88, 0.22)], w), colour)]


def cross(colour=RED, w=0.18):
    return [(line((0.2, 0.2), (0.8, 0.8), w + 0.08), DARK), (line((0.8, 0.2), (0.2, 0.8), w + 0.08), DARK),
            (line((0.2, 0.2), (0.8, 0.8), w), colour), (line((0.8, 0.2), (0.2, 0.8), w), colour)]


def badge(cx, cy, r, colour):
    return [(circle(cx, cy, r + 0.05), DARK), (circle(cx, cy, r), colour)]


def question_mark(colour=WHITE, s=1.0, ox=0.0, oy=0.0):
    def arc(x, y):
        d = math.hypot(x - (0.5 + ox), y - (0.36 + oy))
        return 0.1 * s <= d <= 0.22 * s and not (y > 0.36 + oy and x < 0.5 + ox)
    return [(arc, colour), (line((0.5 + ox + 0.1 * s, 0.42 + oy), (0.5 + ox, 0.58 + oy), 0.12 * s), colour),
            (circle(0.5 + ox, 0.76 + oy, 0.07 * s), colour)]


def lines_on_page():
    return [(rect(0.3, y, 0.72, y + 0.06), GREY) for y in (0.36, 0.52, 0.68)]


PICTURES = {
    # Window, tray and prompt window icon: an infobase with an arrow into the archive.
    'zorvan': database(0.42, 0.18, 0.74, 0.3, BLUE) +
              [(polygon((0.62, 0.5), (0.98, 0.5), (0.8, 0.94)), DARK),
               (polygon((0.68, 0.55), (0.92, 0.55), (0.8, 0.84)), ORANGE)],
    'prompt_info': badge(0.5, 0.5, 0.42, BLUE) + [(rect(0.44, 0.42, 0.56, 0.78), WHITE),
                                                  (circle(0.5, 0.28, 0.07), WHITE)],
    'prompt_warning': outlined(polygon((0.5, 0.02), (0.98, 0.92), (0.02, 0.92)),
                               polygon((0.5, 0.14), (0.89, 0.86), (0.11, 0.86)), YELLOW) +
                      [(rect(0.45, 0.36, 0.55, 0.64), DARK), (circle(0.5, 0.75, 0.06), DARK)],
    'prompt_error': badge(0.5, 0.5, 0.42, RED) +
                    [(line((0.33, 0.33), (0.67, 0.67), 0.13), WHITE),
                     (line((0.67, 0.33), (0.33, 0.67), 0.13), WHITE)],
    'folder': folder(),
    'folder_chosen': folder() + [(polyline([(0.3, 0.58), (0.46, 0.74), (0.76, 0.42)], 0.2), DARK),
                                 (polyline([(0.3, 0.58), (0.46, 0.74), (0.76, 0.42)], 0.12), GREEN)],
    'folder_default': folder((205, 205, 210), (120, 120, 130)),
    'program': outlined(rect(0.04, 0.12, 0.96, 0.88, 0.04), rect(0.1, 0.3, 0.9, 0.82), WHITE) +
               [(rect(0.1, 0.17, 0.9, 0.26), BLUE),
                (polygon((0.36, 0.4), (0.36, 0.74), (0.66, 0.57)), GREEN)],
    'journal': page() + lines_on_page(),
    'new': page() + [(polygon(*[(0.62 + (0.3 if i % 2 == 0 else 0.13) * math.cos(math.pi * i / 5 - math.pi / 2),
                                 0.66 + (0.3 if i % 2 == 0 else 0.13) * math.sin(math.pi * i / 5 - math.pi / 2))
                                for i in range(10)]), ORANGE)],
    'open': folder() + [(polygon((0.5, 0.36), (0.8, 0.6), (0.62, 0.6), (0.62, 0.8), (0.38, 0.8),
                                 (0.38, 0.6), (0.2, 0.6)), DARK),
                        (polygon((0.5, 0.43), (0.69, 0.56), (0.56, 0.56), (0.56, 0.74), (0.44, 0.74),
                                 (0.44, 0.56), (0.31, 0.56)), GREEN)],
    'save': outlined(rect(0.06, 0.06, 0.94, 0.94, 0.06), rect(0.12, 0.12, 0.88, 0.88, 0.03), BLUE) +
            [(rect(0.26, 0.12, 0.74, 0.4), WHITE), (rect(0.58, 0.16, 0.68, 0.36), BLUE),
             (rect(0.22, 0.56, 0.78, 0.88), (225, 225, 230))],
    'help': badge(0.5, 0.5, 0.42, BLUE) + question_mark(),
    'apply': check(),
    'run': [(polygon((0.2, 0.08), (0.92, 0.5), (0.2, 0.92)), DARK),
            (polygon((0.27, 0.2), (0.8, 0.5), (0.27, 0.8)), GREEN)],
    'close': cross(),
}


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'pictures')
    os.makedirs(here, exist_ok=True)
    for name, layers in PICTURES.items():
        write_icon(os.path.join(here, name + '.ico'), layers)


if __name__ == '__main__':
    main()
