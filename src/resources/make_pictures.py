#!/usr/bin/env python3
"""Draws the progress control's state pictures (bitmaps 129 to 134, 32x32, 24 bits)
and the program's icon 137. Re-running it rewrites the same bytes.

    python3 src/resources/make_pictures.py [output directory]
"""
import math
import os
import struct
import sys

SIZE = 32
SUB = 4  # sub-samples per pixel side, for smooth edges
FACE = (240, 240, 240)  # the control's button-face background


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_in, r_out, start_deg, end_deg):
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_in * r_in <= d2 <= r_out * r_out):
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360  # y grows downwards
        return start_deg <= a <= end_deg if start_deg <= end_deg else (a >= start_deg or a <= end_deg)
    return inside


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def render(layers, background=FACE):
    """Layers are (shape, colour) pairs painted in order; returns rows top-down."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = background
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i]
            row.append(tuple(int(round(v / (SUB * SUB))) for v in acc))
        rows.append(row)
    return rows


def pixel_bytes(rows):
    """24-bit DIB pixels: bottom-up, BGR, rows padded to 4 bytes (32*3 already is)."""
    out = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            out += bytes((b, g, r))
    return bytes(out)


def bmp(rows):
    pixels = pixel_bytes(rows)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def ico(rows):
    pixels = pixel_bytes(rows)
    mask = bytes(4 * SIZE)  # every pixel opaque: 32 bits per mask row, all zero
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 24, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


GREEN = (0, 160, 0)
BLUE = (30, 80, 200)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
DARK = (40, 40, 40)
RED = (210, 0, 0)
YELLOW = (250, 210, 0)

PICTURES = {
    'state_tick_129.bmp': [
        (segment(6, 17, 13, 24, 2.6), GREEN),
        (segment(13, 24, 26, 8, 2.6), GREEN),
    ],
    'state_question_130.bmp': [
        (disc(16, 16, 14), BLUE),
        (ring(16, 11.5, 3.2, 6.0, 180, 90), WHITE),
        (box(14.5, 16, 17.5, 20.5), WHITE),
        (disc(16, 24.5, 2.0), WHITE),
    ],
    'state_dots_131.bmp': [
        (disc(7, 16, 3.2), GREY),
        (disc(16, 16, 3.2), GREY),
        (disc(25, 16, 3.2), GREY),
    ],
    'state_warning_132.bmp': [
        (triangle((16, 1.5), (31, 29), (1, 29)), DARK),
        (triangle((16, 4.8), (28.2, 27.3), (3.8, 27.3)), YELLOW),
        (rounded(14.5, 10, 17.5, 20, 1.2), DARK),
        (disc(16, 23.8, 1.8), DARK),
    ],
    'state_cross_133.bmp': [
        (segment(7, 7, 25, 25, 3.0), RED),
        (segment(25, 7, 7, 25, 3.0), RED),
    ],
    'state_disk_134.bmp': [
        (rounded(2, 8, 30, 25, 3), (90, 90, 90)),
        (rounded(3.5, 9.5, 28.5, 23.5, 2), (170, 170, 170)),
        (box(5, 18.5, 19, 19.5), (110, 110, 110)),
        (box(5, 21, 19, 22), (110, 110, 110)),
        (disc(25, 20, 1.6), (0, 200, 0)),
    ],
}

ICON = [
    (rounded(1, 1, 31, 31, 5), BLUE),
    (box(12.5, 5, 19.5, 17), WHITE),
    (triangle((6, 16), (26, 16), (16, 26)), WHITE),
    (box(6, 27, 26, 29), WHITE),
]


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, layers in PICTURES.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(bmp(render(layers)))
    with open(os.path.join(out_dir, 'velmorin_137.ico'), 'wb') as f:
        f.write(ico(render(ICON, background=(255, 255, 255))))


if __name__ == '__main__':
    main()
