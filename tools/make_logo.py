#!/usr/bin/env python3
"""Draws the bridges' logo, bitmap 105: a fingerprint mark, 120 x 137, 256 colours.

Run once when the picture changes; the BMP it writes is committed beside the
resource script.  python3 tools/make_logo.py bridge/resources/logo.bmp
"""
import math
import struct
import sys

WIDTH, HEIGHT = 120, 137


def palette():
    # 0..127: white to deep blue for the ridges; 128..255: greys (unused but a
    # full table keeps every 8-bit index meaningful).
    colours = []
    for i in range(128):
        t = i / 127
        colours.append((int(255 - t * (255 - 120)), int(255 - t * (255 - 40)), int(255 - t * (255 - 20))))
    for i in range(128):
        g = i * 2
        colours.append((g, g, g))
    return colours  # (blue, green, red) order as a BMP stores them


def ridge_intensity(x, y):
    cx, cy = WIDTH / 2, HEIGHT * 0.47
    dx, dy = (x - cx) / 46.0, (y - cy) / 58.0
    outline = dx * dx + dy * dy
    if outline > 1.0:
        return 0.0
    # Ridges: a loop around the core above, arches bending under it below,
    # blended by height, with a slow wobble so that no two ridges look alike.
    ly = y - cy
    loop = math.hypot(x - cx, ly * 0.8)
    arch = (HEIGHT - y) * 0.9 + ((x - cx) ** 2) / 55.0
    blend = min(1.0, max(0.0, (ly - 5.0) / 25.0))
    distance = (1 - blend) * loop + blend * (arch - (HEIGHT - cy) * 0.9 + 18.0)
    phase = distance / 4.3 + 0.35 * math.sin((x + 2 * y) / 17.0)
    wave = 0.5 + 0.5 * math.cos(2 * math.pi * phase)
    ridge = max(0.0, (wave - 0.45) / 0.55)
    fade = min(1.0, (1.0 - outline) * 6.0)  # soft edge of the fingertip
    return ridge * fade


def main(path):
    rows = []
    stride = (WIDTH + 3) & ~3
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytearray(stride)
        for x in range(WIDTH):
            row[x] = min(127, int(round(ridge_intensity(x + 0.5, y + 0.5) * 127)))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in palette())
    header_size = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    with open(path, "wb") as out:
        out.write(file_header + info + table + pixels)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "logo.bmp")
