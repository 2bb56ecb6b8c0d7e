#!/usr/bin/env python3
"""Draws the browse window's bitmaps and writes them as 24-bit .bmp files.

    make_browse_bitmaps.py <output folder>

writes
    browse_back.bmp     8 x 8 pattern of the frame's background brush (bitmap 138)
    collapse_down.bmp   100 x 7: the bottom-right pane's collapse button (bitmap 157); the left
                        half is drawn while the pane is open (arrow down), the right half while it
                        is collapsed (arrow up)
    collapse_left.bmp   100 x 7: the left pane's button (bitmap 162); left half open (arrow left),
                        right half collapsed (arrow right)

Everything is computed here, so the build needs no image files.
"""
import struct
import sys
from pathlib import Path

PANEL = (0xEF, 0xEB, 0xDE)   # the panels' background 0xDEEBEF (BGR), as RGB
FRAME = (0xAC, 0xAA, 0x9C)   # the frame pen 0x9CAAAC (BGR), as RGB
LIGHT = (0xF7, 0xF5, 0xEE)
ARROW = (0x40, 0x48, 0x60)


def write_bmp(path, pixels):
    """pixels: rows top to bottom of (r, g, b)."""
    height = len(pixels)
    width = len(pixels[0])
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_bytes - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)


def background():
    px = [[PANEL] * 8 for _ in range(8)]
    for i in range(8):
        px[i][i] = LIGHT
    return px


def button(directions):
    """Two 50 x 7 halves side by side, each a framed bar with a small arrow in its middle."""
    width, height = 50, 7
    out = [[PANEL] * (2 * width) for _ in range(height)]
    for half, direction in enumerate(directions):
        x0 = half * width
        for x in range(width):
            out[0][x0 + x] = FRAME
            out[height - 1][x0 + x] = FRAME
        for y in range(height):
            out[y][x0] = FRAME
            out[y][x0 + width - 1] = FRAME
        cx = x0 + width // 2
        if direction in ("down", "up"):
            for step in range(3):  # a triangle 5, 3, 1 pixels wide
                y = 2 + step if direction == "down" else 4 - step
                for dx in range(-2 + step, 3 - step):
                    out[y][cx + dx] = ARROW
        else:
            for step in range(3):
                x = cx - 1 + step if direction == "right" else cx + 1 - step
                for dy in range(-2 + step, 3 - step):
                    if 1 <= 3 + dy <= height - 2:
                        out[3 + dy][x] = ARROW
    return out


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    write_bmp(out / "browse_back.bmp", background())
    write_bmp(out / "collapse_down.bmp", button(("down", "up")))
    write_bmp(out / "collapse_left.bmp", button(("left", "right")))


if __name__ == "__main__":
    main()
