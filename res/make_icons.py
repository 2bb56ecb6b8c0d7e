#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files.

    make_icons.py <output folder>

writes
    korvo.ico     application icon (16, 32 and 48 pixels, 32-bit with alpha)
    tray.ico      tray icon (16 and 32 pixels, 32-bit with alpha)
    tray_old.ico  tray icon for systems without alpha icons (16 and 32 pixels, 16 colours)
    site.ico      the default site icon beside headlines (16 and 32 pixels): a globe

The picture: a blue rounded square (a screen) with three white headline lines and a gold ticker
band across its lower half carrying a dark arrow. Everything is computed here, so the build needs
no image files.
"""
import struct
import sys
from pathlib import Path

BLUE = (32, 72, 160)
BLUE_DARK = (16, 40, 104)
WHITE = (255, 255, 255)
GOLD = (255, 200, 32)
INK = (24, 24, 48)

# The 16 colours of the standard Windows palette, for the 4-bit icon.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def draw(size, accent=GOLD):
    """Returns size x size pixels, rows top to bottom, each (r, g, b, a)."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    radius = max(2, size // 6)
    inset = 0 if size <= 16 else 1

    def inside_rounded(x, y):
        lo, hi = inset, size - 1 - inset
        if x < lo or x > hi or y < lo or y > hi:
            return False
        cx = min(max(x, lo + radius), hi - radius)
        cy = min(max(y, lo + radius), hi - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    for y in range(size):
        for x in range(size):
            if inside_rounded(x, y):
                edge = not (inside_rounded(x - 1, y) and inside_rounded(x + 1, y) and
                            inside_rounded(x, y - 1) and inside_rounded(x, y + 1))
                px[y][x] = (*(BLUE_DARK if edge else BLUE), 255)

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(size, y1)):
            for x in range(max(0, x0), min(size, x1)):
                if px[y][x][3]:
                    px[y][x] = (*colour, 255)

    unit = size / 16.0
    # Three headline lines.
    for i, length in enumerate((10, 8, 9)):
        y = round((3 + 2 * i) * unit)
        fill(round(3 * unit), y, round((3 + length) * unit), y + max(1, round(unit)), WHITE)
    # The ticker band with an arrow pointing left, the way headlines move.
    band_top, band_bottom = round(10 * unit), round(14 * unit)
    fill(inset + 1, band_top, size - inset - 1, band_bottom, accent)
    mid = (band_top + band_bottom - 1) / 2.0
    half = (band_bottom - band_top) / 2.0
    tip = round(4 * unit)
    for y in range(band_top, band_bottom):
        if abs(y - mid) <= half - 0.5:
            fill(round(tip + abs(y - mid) * 1.2), y, round(12 * unit), y + 1, INK)
    return px


def bmp_rows(pixels):
    """Rows bottom to top, as the icon format stores them."""
    return list(reversed(pixels))


def and_mask(pixels):
    size = len(pixels)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in bmp_rows(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def image_32(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in bmp_rows(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    return header + bytes(xor) + and_mask(pixels)


def nearest16(colour):
    r, g, b = colour
    return min(range(16), key=lambda i: (PALETTE16[i][0] - r) ** 2 + (PALETTE16[i][1] - g) ** 2 +
               (PALETTE16[i][2] - b) ** 2)


def image_4(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
    stride = ((size * 4 + 31) // 32) * 4
    xor = bytearray()
    for row in bmp_rows(pixels):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            index = nearest16((r, g, b)) if a >= 128 else 0
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += line
    return header + palette + bytes(xor) + and_mask(pixels)


def draw_globe(size):
    """A blue globe with a white meridian and equator, transparent around it."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    for y in range(size):
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d > r:
                continue
            colour = BLUE_DARK if d > r - 1.2 else BLUE
            # Equator, meridian and one parallel on each side.
            if abs(y - c) < 0.6 or abs(x - c) < 0.6 or abs(abs(y - c) - r / 2) < 0.5:
                colour = WHITE
            px[y][x] = (*colour, 255)
    return px


def write_ico(path, images):
    """images: list of (size, bits per pixel, colour count, bytes)."""
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, colours, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bpp, len(data),
                           offset)
        offset += len(data)
    for *_, data in images:
        out += data
    tmp = path.with_suffix('.tmp')
    tmp.write_bytes(bytes(out))
    tmp.replace(path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    write_ico(folder / 'korvo.ico', [(s, 32, 0, image_32(draw(s))) for s in (16, 32, 48)])
    write_ico(folder / 'tray.ico', [(s, 32, 0, image_32(draw(s))) for s in (16, 32)])
    write_ico(folder / 'tray_old.ico',
              [(s, 4, 16, image_4(draw(s, accent=(255, 255, 0)))) for s in (16, 32)])
    write_ico(folder / 'site.ico', [(s, 32, 0, image_32(draw_globe(s))) for s in (16, 32)])


if __name__ == '__main__':
    main()
