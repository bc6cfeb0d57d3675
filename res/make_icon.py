#!/usr/bin/env python3
"""Draws the application icon (a printer with a sheet of paper) and writes res/app.ico.

The drawing is described once in a 48 x 48 grid and rendered, anti-aliased, at every size the
icon holds, so it stays sharp at high dpi. Output is byte-for-byte reproducible.
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 24, 32, 48)
SAMPLES = 4  # per axis, for anti-aliasing


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# Painted in order, later shapes over earlier ones: (shape, (r, g, b, a)).
SHAPES = [
    (rounded_rect(13, 3, 35, 22, 1.5), (0x9A, 0xA4, 0xAE, 255)),   # paper edge
    (rounded_rect(14, 4, 34, 22, 1), (0xFF, 0xFF, 0xFF, 255)),     # paper going in
    (rounded_rect(17, 8, 31, 9.5, 0.5), (0x3B, 0x82, 0xC4, 255)),  # text lines
    (rounded_rect(17, 12, 28, 13.5, 0.5), (0x9A, 0xC4, 0xE8, 255)),
    (rounded_rect(3, 16, 45, 38, 5), (0x1F, 0x3A, 0x56, 255)),     # body outline
    (rounded_rect(4, 17, 44, 37, 4), (0x2F, 0x5D, 0x8A, 255)),     # body
    (rounded_rect(4, 17, 44, 24, 4), (0x4A, 0x7F, 0xB5, 255)),     # lit top of the body
    (rounded_rect(9, 29, 39, 32, 1), (0x14, 0x26, 0x38, 255)),     # output slot
    (circle(37.5, 21, 2.2), (0x4C, 0xD9, 0x64, 255)),              # ready light
    (rounded_rect(11, 31, 37, 45, 1.5), (0x9A, 0xA4, 0xAE, 255)),  # printed sheet edge
    (rounded_rect(12, 31, 36, 44, 1), (0xFF, 0xFF, 0xFF, 255)),    # printed sheet
    (rounded_rect(15, 35, 33, 36.5, 0.5), (0x3B, 0x82, 0xC4, 255)),
    (rounded_rect(15, 39, 27, 40.5, 0.5), (0x9A, 0xC4, 0xE8, 255)),
]


def render(size):
    """Returns rows of (r, g, b, a), top row first, with premultiplied averaging."""
    scale = 48.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    color = (0, 0, 0, 0)
                    for inside, paint in SHAPES:
                        if inside(x, y):
                            color = paint
                    a = color[3] / 255.0
                    acc[0] += color[0] * a
                    acc[1] += color[1] * a
                    acc[2] += color[2] * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(alpha * 255),))
        rows.append(row)
    return rows


def dib(size):
    rows = render(size)
    pixels = b"".join(
        struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("app.ico")
    images = [dib(s) for s in SIZES]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out.write_bytes(data + b"".join(images))


if __name__ == "__main__":
    main()
