#!/usr/bin/env python3
"""Draws the two picture strips of the infobase tree as 8-bit .bmp files.

tree_items.bmp: 19 pictures of 16x16 (drives, folders, user, padlock, form, clocks,
question mark, task sheets); tree_marks.bmp: 7 check boxes (0 is empty, 1..5 are the
marks 0..4). Teal RGB(0,128,128) is the see-through colour. Standard library only:
    python3 resources/app/make_tree_pictures.py
"""
import os
import struct

SIZE = 16
PALETTE = {
    "mask": (0, 128, 128), "black": (0, 0, 0), "white": (255, 255, 255),
    "grey": (192, 192, 192), "dark": (96, 96, 96), "mid": (150, 150, 150),
    "red": (220, 30, 30), "green": (20, 170, 40), "yellow": (250, 215, 40),
    "folder": (240, 200, 80), "folderdark": (170, 120, 20), "blue": (40, 80, 200),
    "lightblue": (150, 190, 240), "skin": (245, 200, 160), "gold": (220, 170, 30),
    "darkred": (140, 0, 0), "paleface": (235, 235, 235), "orange": (235, 140, 40),
}
NAMES = list(PALETTE)
INDEX = {name: i for i, name in enumerate(NAMES)}


class Picture:
    def __init__(self):
        self.px = [["mask"] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, colour)
            self.dot(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, colour)
            self.dot(x1, y, colour)

    def disc(self, cx, cy, r, colour, edge=None):
        for y in range(SIZE):
            for x in range(SIZE):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if d <= r * r:
                    self.dot(x, y, colour)
                if edge and r * r - 2 * r < d <= r * r:
                    self.dot(x, y, edge)

    def shape(self, rows, x0, y0, colour):
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c == "#":
                    self.dot(x0 + dx, y0 + dy, colour)


CHECK = [(0, 2), (1, 3), (2, 4), (3, 3), (4, 2), (5, 1), (6, 0)]


def check(p, x0, y0, colour):
    for dx, dy in CHECK:
        for t in range(3):
            p.dot(x0 + dx, y0 + dy + t, colour)


def drive(lamp):
    p = Picture()
    p.fill(1, 5, 14, 11, "grey")
    p.frame(1, 5, 14, 11, "dark")
    p.fill(2, 10, 13, 10, "mid")
    p.fill(3, 7, 8, 8, "dark")
    p.fill(11, 7, 12, 8, lamp)
    return p


def folder(body, edge, flap=None):
    p = Picture()
    p.fill(1, 3, 6, 4, edge)
    p.fill(1, 4, 14, 13, body)
    p.frame(1, 4, 14, 13, edge)
    p.fill(2, 6, 13, 6, flap or edge)
    return p


def person(checked=False):
    p = Picture()
    p.disc(7, 4, 3, "skin", "dark")
    p.fill(3, 9, 11, 14, "blue")
    p.fill(4, 8, 10, 8, "blue")
    if checked:
        check(p, 8, 8, "green")
    return p


def padlock():
    p = Picture()
    p.frame(5, 2, 10, 8, "dark")
    p.frame(6, 3, 9, 8, "mid")
    p.fill(3, 7, 12, 14, "gold")
    p.frame(3, 7, 12, 14, "folderdark")
    p.fill(7, 9, 8, 12, "black")
    return p


def form(checked=False):
    p = Picture()
    p.fill(3, 1, 13, 14, "white")
    p.frame(3, 1, 13, 14, "dark")
    for y in (4, 6, 8):
        p.fill(5, y, 11, y, "blue")
    p.shape([".##.", "####", "#####", ".####"], 0, 10, "orange")  # the hand holding it
    if checked:
        check(p, 8, 8, "green")
    return p


def clock(face="white", checked=False):
    p = Picture()
    p.disc(7, 7, 7, face, "black")
    p.fill(7, 3, 7, 7, "black")
    p.fill(7, 7, 10, 7, "black")
    for x, y in ((7, 1), (13, 7), (7, 13), (1, 7)):
        p.dot(x, y, "dark")
    if checked:
        check(p, 8, 8, "green")
    return p


def question():
    p = Picture()
    p.shape([".####.", "##..##", "....##", "...##.", "..##..", "..##..", "......", "..##..",
             "..##.."], 5, 3, "blue")
    return p


def flagged_folder():
    p = folder("folder", "folderdark")
    p.fill(9, 0, 9, 9, "black")
    p.fill(10, 0, 14, 3, "red")
    return p


DIGITS = {1: [".#.", "##.", ".#.", ".#.", ".#.", "###"],
          2: ["##.", "..#", "..#", ".#.", "#..", "###"]}


def task(digit, checked=False):
    p = Picture()
    p.fill(2, 1, 12, 14, "white")
    p.frame(2, 1, 12, 14, "dark")
    p.fill(4, 3, 10, 3, "mid")
    p.shape(DIGITS[digit], 4, 6, "black")
    if checked:
        check(p, 8, 8, "green")
    return p


def box(fill, tick=None, edge="dark"):
    p = Picture()
    if fill is None:
        return p
    p.fill(2, 2, 14, 14, fill)
    p.frame(2, 2, 14, 14, edge)
    if tick:
        check(p, 5, 5, tick)
    return p


ITEMS = [drive("red"), drive("green"), drive("yellow"),
         folder("lightblue", "blue"), folder("folder", "folderdark"),
         person(), person(True), padlock(), form(), form(True),
         clock(), clock(checked=True), clock("paleface"), question(), flagged_folder(),
         task(1), task(1, True), task(2), task(2, True)]
MARKS = [box(None), box("white"), box("white", "black"), box("grey", "dark", "mid"),
         box("darkred", "white", "black"), box("darkred", "yellow", "black"),
         box("grey", None, "mid")]


def write_strip(path, pictures):
    width = SIZE * len(pictures)
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for p in pictures:
            row.extend(INDEX[c] for c in p.px[y])
        row.extend(b"\0" * (-len(row) % 4))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE.values())
    palette += b"\0" * (4 * 256 - len(palette))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures")
    write_strip(os.path.join(here, "tree_items.bmp"), ITEMS)
    write_strip(os.path.join(here, "tree_marks.bmp"), MARKS)
