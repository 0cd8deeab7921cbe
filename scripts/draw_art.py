#!/usr/bin/env python3
"""Draws the shell's own bitmaps and icons into res/ (no image library needed).

    python3 scripts/draw_art.py
"""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")


def bmp(path, width, height, pixels, bits):
    """pixels[y][x] = (r, g, b), y = 0 is the top row."""
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            if bits == 24:
                row += bytes((b, g, r))
            else:  # 16 bits per pixel, 5-5-5
                v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                row += struct.pack("<H", v)
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    filehdr = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(filehdr + header + data)


def ico(path, size, pixels):
    """pixels[y][x] = (r, g, b, a); one 32-bit image with its mask."""
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = 0
        mrow = bytearray()
        for x in range(size):
            r, g, b, a = pixels[y][x]
            xor += bytes((b, g, r, a))
            bits = (bits << 1) | (0 if a else 1)
            if x % 8 == 7:
                mrow.append(bits)
                bits = 0
        while len(mrow) % 4:
            mrow.append(0)
        mask += mrow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def disc(pixels, cx, cy, radius, colour, width, height):
    for y in range(height):
        for x in range(width):
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                pixels[y][x] = colour


GLYPHS = {  # 4 x 6 lower-case letters
    "s": ["", ".###", "#...", ".##.", "...#", "###."],
    "t": [".#..", "####", ".#..", ".#..", ".#..", "..##"],
    "a": ["", ".##.", "...#", ".###", "#..#", ".###"],
    "r": ["", "#.##", "##..", "#...", "#...", "#..."],
}


def text(pixels, x, y, word, colour):
    for ch in word:
        for dy, row in enumerate(GLYPHS[ch]):
            for dx, c in enumerate(row):
                if c == "#":
                    pixels[y + dy][x + dx] = colour
        x += 5


def taskbar_strip():
    top, bottom = (74, 148, 230), (24, 65, 164)
    rows = [[mix(top, bottom, y / 29)] for y in range(30)]
    bmp(os.path.join(RES, "taskbar.bmp"), 1, 30, rows, 16)


def start_button():
    w, h = 56, 24
    light, dark = (96, 184, 72), (40, 120, 32)
    px = [[mix(light, dark, y / (h - 1)) for _ in range(w)] for y in range(h)]
    for x in range(w):
        px[0][x] = (150, 215, 130)
        px[h - 1][x] = (20, 70, 16)
    for y in range(h):
        px[y][0] = (150, 215, 130)
        px[y][w - 1] = (20, 70, 16)
    disc(px, 10, 8, 3.2, (220, 40, 30), w, h)
    disc(px, 7, 15, 3.2, (40, 90, 220), w, h)
    disc(px, 13, 15, 3.2, (70, 200, 60), w, h)
    text(px, 21, 9, "start", (255, 255, 255))
    bmp(os.path.join(RES, "start.bmp"), w, h, px, 24)


def shell_icon():
    s = 32
    px = [[(0, 0, 0, 0) for _ in range(s)] for _ in range(s)]
    for y in range(3, 24):
        for x in range(2, 30):
            edge = y in (3, 23) or x in (2, 29)
            px[y][x] = (20, 40, 90, 255) if edge else mix((74, 148, 230), (24, 65, 164), (y - 3) / 20) + (255,)
    for y in range(24, 29):
        for x in range(12, 20):
            px[y][x] = (90, 90, 100, 255)
    for x in range(8, 24):
        px[29][x] = (60, 60, 70, 255)
    blobs = [(16, 9, (220, 40, 30)), (12, 16, (40, 90, 220)), (20, 16, (70, 200, 60))]
    for cx, cy, c in blobs:
        for y in range(s):
            for x in range(s):
                if (x - cx) ** 2 + (y - cy) ** 2 <= 12:
                    px[y][x] = c + (255,)
    ico(os.path.join(RES, "halcyne.ico"), s, px)


def document_icon():
    s = 32
    px = [[(0, 0, 0, 0) for _ in range(s)] for _ in range(s)]
    for y in range(2, 30):
        for x in range(6, 26):
            if x - 6 > 13 and y - 2 < (x - 6) - 13:
                continue  # folded corner
            edge = y in (2, 29) or x in (6, 25) or (x - 6) - 13 == y - 2
            px[y][x] = (60, 60, 60, 255) if edge else (255, 255, 255, 255)
    for y in range(10, 27, 3):
        for x in range(9, 23):
            px[y][x] = (74, 148, 230, 255)
    ico(os.path.join(RES, "document.ico"), s, px)


if __name__ == "__main__":
    taskbar_strip()
    start_button()
    shell_icon()
    document_icon()
