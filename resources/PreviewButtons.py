#!/usr/bin/env python3
"""Draws the preview's toolbar images and packs them as the program reads them.

The strip is 25 images of 16 x 16 side by side (400 x 16), a 24-bit bitmap on
a silver (C0C0C0) background, compressed with gzip. Each image keeps its
bottom-left pixel silver: the reader takes that pixel's colour as the image's
transparent colour. Run it from this folder to rewrite PreviewButtons.bmp.gz;
the output is the same on every run (no time stamp in the gzip header).

Image numbers: 0 open, 1 save, 2 print, 3 export, 4 find, 5 thumbnails,
6 page, 7 page settings, 8 first, 9 prior, 10 next, 11 last, 12 outline,
13 collapse, 14 expand, 15 zoom in, 16 zoom out, 17 close tab, 18 hand,
19 zoom tool, 20 text tool, 21 edit, 22 full screen, 23 e-mail, 24 PDF.
"""
import gzip
import struct

W, H, N = 16, 16, 25
SILVER = (0xC0, 0xC0, 0xC0)
BLACK = (0, 0, 0)
WHITE = (0xFF, 0xFF, 0xFF)
GREY = (0x80, 0x80, 0x80)
DARK = (0x40, 0x40, 0x40)
NAVY = (0x1F, 0x3F, 0x8F)
BLUE = (0x3A, 0x6E, 0xD8)
LIGHTBLUE = (0xA8, 0xC8, 0xF0)
YELLOW = (0xF0, 0xC8, 0x40)
DARKYELLOW = (0xB0, 0x88, 0x10)
GREEN = (0x20, 0x90, 0x30)
RED = (0xD0, 0x20, 0x20)
BROWN = (0x90, 0x60, 0x30)

strip = [[SILVER] * (W * N) for _ in range(H)]


class Icon:
    def __init__(self, index):
        self.x0 = index * W

    def px(self, x, y, c):
        # The bottom-left pixel stays silver: it names the transparent colour.
        if 0 <= x < W and 0 <= y < H and not (x == 0 and y == H - 1):
            strip[y][self.x0 + x] = c

    def fill(self, x1, y1, x2, y2, c):
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                self.px(x, y, c)

    def frame(self, x1, y1, x2, y2, c):
        for x in range(x1, x2 + 1):
            self.px(x, y1, c)
            self.px(x, y2, c)
        for y in range(y1, y2 + 1):
            self.px(x1, y, c)
            self.px(x2, y, c)

    def line(self, x1, y1, x2, y2, c):
        dx, dy = abs(x2 - x1), -abs(y2 - y1)
        sx, sy = (1 if x1 < x2 else -1), (1 if y1 < y2 else -1)
        err = dx + dy
        while True:
            self.px(x1, y1, c)
            if x1 == x2 and y1 == y2:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x1 += sx
            if e2 <= dx:
                err += dx
                y1 += sy

    def circle(self, cx, cy, r, c, inside=None):
        for y in range(H):
            for x in range(W):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if inside is not None and d < r - 0.5:
                    self.px(x, y, inside)
                elif abs(d - r) < 0.6:
                    self.px(x, y, c)

    def triangle(self, tip_x, cy, base_x, half, c):
        step = 1 if base_x > tip_x else -1
        for i, x in enumerate(range(tip_x, base_x + step, step)):
            h = min(half, i)
            for y in range(cy - h, cy + h + 1):
                self.px(x, y, c)

    def page(self, x1, y1, x2, y2, fold=3):
        self.fill(x1, y1, x2, y2, WHITE)
        self.frame(x1, y1, x2, y2, DARK)
        for i in range(fold):
            self.px(x2 - i, y1 + fold - 1 - i, DARK)
            for x in range(x2 - i + 1, x2 + 1):
                self.px(x, y1 + fold - 1 - i, SILVER)

    def text_lines(self, x1, x2, ys, c=GREY):
        for y in ys:
            self.line(x1, y, x2, y, c)

    def magnifier(self, sign=None):
        self.circle(6, 6, 4.5, NAVY, inside=LIGHTBLUE)
        self.line(10, 10, 14, 14, DARK)
        self.line(10, 11, 13, 14, DARK)
        if sign:
            self.line(4, 6, 8, 6, BLACK)
            if sign == '+':
                self.line(6, 4, 6, 8, BLACK)


def draw_all():
    i = Icon(0)  # open: a yellow folder, lid lifted
    i.fill(1, 4, 6, 5, DARKYELLOW)
    i.fill(1, 5, 12, 13, DARKYELLOW)
    i.fill(3, 8, 14, 13, YELLOW)
    i.line(3, 8, 1, 13, DARKYELLOW)
    i.frame(1, 4, 12, 13, BROWN)
    i.line(3, 8, 14, 8, BROWN)
    i.line(14, 8, 12, 13, BROWN)
    i.line(10, 2, 13, 2, GREEN)
    i.line(13, 2, 13, 5, GREEN)
    i.line(12, 4, 14, 4, GREEN)

    i = Icon(1)  # save: a floppy disk
    i.fill(2, 1, 13, 14, NAVY)
    i.fill(4, 2, 11, 7, WHITE)
    i.text_lines(5, 10, [3, 5], GREY)
    i.fill(5, 10, 11, 14, GREY)
    i.fill(9, 11, 10, 13, NAVY)
    i.px(13, 1, SILVER)

    i = Icon(2)  # print: a printer with paper
    i.page(4, 1, 11, 6, fold=2)
    i.fill(1, 6, 14, 11, GREY)
    i.frame(1, 6, 14, 11, DARK)
    i.px(12, 8, GREEN)
    i.fill(4, 10, 11, 14, WHITE)
    i.frame(4, 10, 11, 14, DARK)
    i.text_lines(5, 10, [12], GREY)

    i = Icon(3)  # export: a page and an arrow leaving it
    i.page(1, 1, 10, 14)
    i.text_lines(3, 7, [5, 7, 9, 11])
    i.fill(8, 7, 12, 8, GREEN)
    i.triangle(15, 7, 12, 3, GREEN)

    i = Icon(4)  # find: a magnifier over a page
    i.page(1, 1, 11, 14)
    i.text_lines(3, 8, [4, 6, 8])
    i.circle(9, 9, 3.5, NAVY, inside=LIGHTBLUE)
    i.line(12, 12, 15, 15, DARK)
    i.line(12, 13, 14, 15, DARK)

    i = Icon(5)  # thumbnails: four small pages
    for x, y in [(1, 1), (9, 1), (1, 9), (9, 9)]:
        i.fill(x, y, x + 5, y + 5, WHITE)
        i.frame(x, y, x + 5, y + 5, DARK)
        i.line(x + 1, y + 2, x + 4, y + 2, GREY)

    i = Icon(6)  # page
    i.page(3, 1, 12, 14)
    i.text_lines(5, 10, [5, 7, 9, 11])

    i = Icon(7)  # page settings: a page with its margins marked
    i.page(2, 1, 12, 14)
    for y in range(3, 13, 2):
        i.px(4, y, BLUE)
        i.px(10, y, BLUE)
    for x in range(4, 11, 2):
        i.px(x, 3, BLUE)
        i.px(x, 12, BLUE)
    i.fill(11, 10, 15, 14, SILVER)
    i.line(11, 12, 15, 12, DARK)
    i.line(13, 10, 13, 14, DARK)
    i.fill(12, 11, 14, 13, DARKYELLOW)

    i = Icon(8)  # first: bar and triangle pointing left
    i.fill(3, 3, 4, 12, NAVY)
    i.triangle(5, 7, 12, 5, NAVY)
    i.triangle(5, 8, 12, 5, NAVY)

    i = Icon(9)  # prior
    i.triangle(4, 7, 11, 5, NAVY)
    i.triangle(4, 8, 11, 5, NAVY)

    i = Icon(10)  # next
    i.triangle(11, 7, 4, 5, NAVY)
    i.triangle(11, 8, 4, 5, NAVY)

    i = Icon(11)  # last: triangle pointing right and bar
    i.triangle(10, 7, 3, 5, NAVY)
    i.triangle(10, 8, 3, 5, NAVY)
    i.fill(11, 3, 12, 12, NAVY)

    i = Icon(12)  # outline: a tree of entries
    i.line(3, 3, 3, 12, GREY)
    i.line(3, 7, 6, 7, GREY)
    i.line(3, 12, 6, 12, GREY)
    i.fill(1, 1, 5, 4, BLUE)
    i.fill(7, 6, 14, 8, WHITE)
    i.frame(7, 6, 14, 8, DARK)
    i.fill(7, 11, 14, 13, WHITE)
    i.frame(7, 11, 14, 13, DARK)
    i.line(7, 2, 14, 2, DARK)

    i = Icon(13)  # collapse: a box with a minus
    i.fill(3, 3, 12, 12, WHITE)
    i.frame(3, 3, 12, 12, GREY)
    i.line(5, 7, 10, 7, BLACK)
    i.line(5, 8, 10, 8, BLACK)

    i = Icon(14)  # expand: a box with a plus
    i.fill(3, 3, 12, 12, WHITE)
    i.frame(3, 3, 12, 12, GREY)
    i.line(5, 7, 10, 7, BLACK)
    i.line(5, 8, 10, 8, BLACK)
    i.line(7, 5, 7, 10, BLACK)
    i.line(8, 5, 8, 10, BLACK)

    Icon(15).magnifier('+')  # zoom in
    Icon(16).magnifier('-')  # zoom out

    i = Icon(17)  # close tab: a cross
    for d in (0, 1):
        i.line(4 + d, 4, 11, 11 - d, DARK)
        i.line(4, 4 + d, 11 - d, 11, DARK)
        i.line(11 - d, 4, 4, 11 - d, DARK)
        i.line(11, 4 + d, 4 + d, 11, DARK)

    i = Icon(18)  # hand
    for x in (4, 6, 8, 10):
        i.fill(x, 3 if x in (6, 8) else 4, x + 1, 9, WHITE)
        i.frame(x, 3 if x in (6, 8) else 4, x + 1, 9, DARK)
    i.fill(4, 8, 11, 13, WHITE)
    i.frame(4, 8, 11, 13, DARK)
    i.line(2, 7, 4, 10, DARK)

    i = Icon(19)  # zoom tool
    i.magnifier()

    i = Icon(20)  # text tool
    i.line(3, 2, 12, 2, BLACK)
    i.line(3, 3, 12, 3, BLACK)
    i.line(7, 2, 7, 13, BLACK)
    i.line(8, 2, 8, 13, BLACK)
    i.line(5, 13, 10, 13, BLACK)

    i = Icon(21)  # edit: a pencil over a page
    i.page(1, 1, 10, 14)
    i.text_lines(3, 7, [5, 7, 9])
    for d in range(3):
        i.line(7 + d, 13, 14, 6 + d, YELLOW if d == 1 else BROWN)
    i.px(6, 14, BLACK)
    i.px(7, 14, DARK)
    i.px(6, 13, DARK)

    i = Icon(22)  # full screen: a frame with corner arrows
    i.frame(1, 2, 14, 13, DARK)
    i.fill(2, 3, 13, 12, LIGHTBLUE)
    for (x, y, dx, dy) in [(3, 4, 1, 1), (12, 4, -1, 1), (3, 11, 1, -1), (12, 11, -1, -1)]:
        i.line(x, y, x + 2 * dx, y + 2 * dy, NAVY)
        i.line(x, y, x + 2 * dx, y, NAVY)
        i.line(x, y, x, y + 2 * dy, NAVY)

    i = Icon(23)  # e-mail: an envelope
    i.fill(1, 4, 14, 12, WHITE)
    i.frame(1, 4, 14, 12, DARK)
    i.line(1, 4, 7, 9, DARK)
    i.line(14, 4, 8, 9, DARK)

    i = Icon(24)  # PDF: a page with a red band
    i.page(2, 1, 13, 14)
    i.fill(2, 8, 13, 12, RED)
    i.frame(2, 1, 13, 14, DARK)
    for x in (4, 7, 10):
        i.line(x, 9, x, 11, WHITE)
    i.px(5, 9, WHITE)
    i.px(8, 9, WHITE)
    i.px(8, 11, WHITE)
    i.px(11, 9, WHITE)
    i.px(11, 10, WHITE)


def bitmap():
    row = W * N * 3
    pad = (4 - row % 4) % 4
    pixels = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        for (r, g, b) in strip[y]:
            pixels += bytes((b, g, r))
        pixels += b'\0' * pad
    header = struct.pack('<IiiHHIIiiII', 40, W * N, H, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + bytes(pixels)


if __name__ == '__main__':
    draw_all()
    with open('PreviewButtons.bmp.gz', 'wb') as out:
        out.write(gzip.compress(bitmap(), compresslevel=9, mtime=0))
