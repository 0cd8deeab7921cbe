#!/usr/bin/env python3
"""Draws the tip of the day's light bulb into res/bulb.bmp (no image library needed).

    python3 scripts/draw_look_art.py
"""
import math
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")

FACE = (236, 233, 216)  # the dialog face, so the picture sits on it seamlessly


def bmp(path, width, height, pixels):
    """pixels[y][x] = (r, g, b), y = 0 is the top row; 24 bits per pixel."""
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            row += bytes((b, g, r))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    filehdr = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(filehdr + header + data)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# The bulb as a function of a point; sampled several times per pixel.
CX, CY, R = 13.0, 11.5, 10.0


def glass_half_width(y):
    """Half-width of the glass at height y (sphere above, tapering neck below)."""
    if y < CY:
        d = R * R - (y - CY) ** 2
        return math.sqrt(d) if d > 0 else -1
    if y <= CY + 6:
        d = R * R - (y - CY) ** 2
        return math.sqrt(d) if d > 0 else -1
    # the neck narrows from the sphere to the base
    top = math.sqrt(R * R - 36)
    return top + (5.0 - top) * min(1.0, (y - CY - 6) / 4.5)


def colour_at(x, y):
    # screw base: grey bands, then the dark contact
    if 22.5 <= y < 31 and abs(x - CX) <= 5.2:
        band = int((y - 22.5) / 1.7) % 2
        shade = 1 - abs(x - CX) / 6.5
        light, dark = (205, 205, 210), (125, 125, 135)
        return mix(dark, light, shade * (1.0 if band == 0 else 0.55))
    if 31 <= y < 34.5:
        half = 3.6 - (y - 31) * 0.6
        if abs(x - CX) <= half:
            return (60, 60, 66)
        return None
    if y >= 22.5:
        return None
    half = glass_half_width(y)
    if half < 0 or abs(x - CX) > half:
        return None
    edge = half - abs(x - CX)
    if y < CY:
        edge = min(edge, R - math.hypot(x - CX, y - CY))
    if edge < 0.9:
        return (150, 110, 20)  # the glass outline
    # glow: bright towards the upper left, deeper yellow at the rim
    glow = math.hypot(x - (CX - 3), y - (CY - 3)) / (R * 1.5)
    c = mix((255, 255, 225), (250, 200, 30), glow)
    # highlight on the upper left
    if math.hypot(x - (CX - 4.5), y - (CY - 4.5)) < 1.8:
        c = mix(c, (255, 255, 255), 0.85)
    # filament: a zigzag with two supports
    fy = CY + 2.0
    if abs(y - (fy - abs(((x - CX) % 3.0) - 1.5) * 0.9)) < 0.45 and abs(x - CX) <= 4.0:
        c = (215, 90, 20)
    if abs(abs(x - CX) - 4.0) < 0.45 and fy - 0.5 <= y <= 22.5:
        c = (150, 130, 90)
    return c


def light_bulb():
    w, h = 26, 35
    n = 4
    px = []
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at(x + (sx + 0.5) / n, y + (sy + 0.5) / n) or FACE
                    for i in range(3):
                        acc[i] += c[i]
            row.append(tuple(int(round(a / (n * n))) for a in acc))
        px.append(row)
    bmp(os.path.join(RES, "bulb.bmp"), w, h, px)


if __name__ == "__main__":
    light_bulb()
