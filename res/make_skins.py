#!/usr/bin/env python3
"""Draws the skins the program ships and writes them as skin folders.

    make_skins.py <skin folder>

writes
    simple/simple.ini, simple/face.bmp
        A plain skin: a rounded dark-blue band with the news box inside it, no buttons, no
        animation.
    パネル/panel.ini, パネル/face.bmp, パネル/btn_bitmap.btn
        A panel with everything a skin can have: the site name and its icon above the news box,
        the description below it, a lamp beside the headline animated in four rows (old, new,
        read, idle), four masked buttons (previous, next, open, fold) and an area on the right
        for a plug-in window (the clock).

Everything is computed here (24-bit Windows bitmaps, magenta as the transparent colour key), so
the build needs no image files.
"""
import struct
import sys
from pathlib import Path

MAGENTA = (255, 0, 255)
NAVY = (20, 34, 72)
NAVY_LIGHT = (44, 66, 122)
NAVY_DARK = (10, 18, 40)
BOX = (6, 10, 24)          # the news box's background: the headline's colour key
EDGE = (120, 150, 210)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GOLD = (255, 200, 40)
LAMP_OFF = (60, 60, 70)


class Canvas:
    def __init__(self, width, height, colour=MAGENTA):
        self.width = width
        self.height = height
        self.px = [[colour] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = colour

    def rounded(self, x0, y0, x1, y1, radius, colour, edge=None):
        """Fills the rectangle with rounded corners; `edge` draws a one-pixel border."""
        def inside(x, y):
            cx = min(max(x, x0 + radius), x1 - 1 - radius)
            cy = min(max(y, y0 + radius), y1 - 1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius // 2

        for y in range(y0, y1):
            for x in range(x0, x1):
                if not inside(x, y):
                    continue
                border = edge is not None and not (
                    inside(x - 1, y) and inside(x + 1, y) and inside(x, y - 1) and
                    inside(x, y + 1))
                self.set(x, y, edge if border else colour)

    def gradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / span
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            for x in range(x0, x1):
                if self.px[y][x] != MAGENTA:
                    self.px[y][x] = colour

    def disc(self, cx, cy, r, colour):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, colour)

    def blit(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                self.set(x0 + x, y0 + y, other.px[y][x])

    def bmp(self):
        """A 24-bit bottom-up Windows bitmap."""
        stride = (self.width * 3 + 3) & ~3
        pixels = bytearray()
        for y in range(self.height - 1, -1, -1):
            row = bytearray()
            for r, g, b in self.px[y]:
                row += bytes((b, g, r))
            row += b"\0" * (stride - len(row))
            pixels += row
        header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(pixels),
                           2835, 2835, 0, 0)
        return header + info + bytes(pixels)


def write(path, data, binary=True):
    path.parent.mkdir(parents=True, exist_ok=True)
    if binary:
        path.write_bytes(data)
    else:
        path.write_bytes(data.replace("\n", "\r\n").encode("cp932"))


# --- simple ---------------------------------------------------------------------------------

def simple(folder):
    w, h = 400, 32
    face = Canvas(w, h)
    face.rounded(0, 0, w, h, 8, NAVY, EDGE)
    face.gradient(1, 1, w - 1, h - 1, NAVY_LIGHT, NAVY_DARK)
    face.fill(8, 6, w - 8, h - 6, BOX)
    write(folder / "face.bmp", face.bmp())
    write(folder / "simple.ini", """[newsbox]
x=8
y=6
width=384
height=20
scroll=13
hold_time=4000

[skininfo]
colorkey=255 0 255
new_color=255 220 80
read_color=150 160 180
old_color=235 240 255
grip_x=6
grip_y=4
""", binary=False)


# --- パネル ------------------------------------------------------------------------------------

PANEL_W, PANEL_H = 520, 76
BOX_X, BOX_Y, BOX_W, BOX_H = 24, 24, 388, 22
LAMP = 12            # the animated lamp: LAMP x LAMP at (6, 29)
FRAMES = 4
ROWS = 4             # 0 old, 1 new, 2 read, 3 idle
BUTTON_W, BUTTON_H = 18, 16
PLUGIN_X, PLUGIN_Y, PLUGIN_W, PLUGIN_H = 420, 24, 94, 46


def panel_face():
    face = Canvas(PANEL_W, PANEL_H)
    face.rounded(0, 0, PANEL_W, PANEL_H, 10, NAVY, EDGE)
    face.gradient(1, 1, PANEL_W - 1, PANEL_H - 1, NAVY_LIGHT, NAVY_DARK)
    face.fill(BOX_X, BOX_Y, BOX_X + BOX_W, BOX_Y + BOX_H, BOX)
    # The description's well and the plug-in's frame.
    face.fill(6, PANEL_H - 24, BOX_X + BOX_W, PANEL_H - 6, NAVY_DARK)
    face.rounded(PLUGIN_X - 1, PLUGIN_Y - 1, PLUGIN_X + PLUGIN_W + 1, PLUGIN_Y + PLUGIN_H + 1, 3,
                 NAVY_DARK, EDGE)
    return face


def lamp(colour, glow):
    tile = Canvas(LAMP, LAMP, NAVY)
    tile.disc(LAMP // 2, LAMP // 2, 5, NAVY_DARK)
    shade = tuple(round(LAMP_OFF[i] + (colour[i] - LAMP_OFF[i]) * glow) for i in range(3))
    tile.disc(LAMP // 2, LAMP // 2, 4, shade)
    tile.set(LAMP // 2 - 2, LAMP // 2 - 2, WHITE)
    return tile


def panel(folder):
    face = panel_face()
    # Rows of whole faces (column 0, the still face) with the lamp frames to their right.
    rows = [((120, 200, 255), [0.6, 0.6, 0.6, 0.6]),   # old: steady blue
            (GOLD, [1.0, 0.2, 1.0, 0.2]),              # new: blinking gold
            ((140, 140, 150), [0.3, 0.3, 0.3, 0.3]),   # read: dim
            ((90, 230, 160), [0.2, 0.5, 0.9, 0.5])]    # idle: slow green glow
    bitmap = Canvas(PANEL_W + FRAMES * LAMP, PANEL_H * ROWS)
    for r, (colour, glows) in enumerate(rows):
        still = panel_face()
        still.blit(lamp(colour, glows[0]), 6, 29)
        bitmap.blit(still, 0, r * PANEL_H)
        for f, glow in enumerate(glows):
            bitmap.blit(lamp(colour, glow), PANEL_W + f * LAMP, r * PANEL_H)
    write(folder / "face.bmp", bitmap.bmp())

    # Buttons: images in row 0 (white where the face shows through), masks in row 1 (black
    # where the button is); three states side by side per button.
    glyphs = ["prev", "next", "open", "fold"]
    buttons = Canvas(len(glyphs) * 3 * BUTTON_W, 2 * BUTTON_H, WHITE)
    for n, glyph in enumerate(glyphs):
        for state, (fill, ink) in enumerate([(NAVY_LIGHT, WHITE), (NAVY_DARK, GOLD),
                                             ((70, 100, 170), WHITE)]):
            x0 = (3 * n + state) * BUTTON_W
            image = Canvas(BUTTON_W, BUTTON_H, WHITE)
            image.rounded(0, 0, BUTTON_W, BUTTON_H, 4, fill, EDGE)
            draw_glyph(image, glyph, ink)
            buttons.blit(image, x0, 0)
            mask = Canvas(BUTTON_W, BUTTON_H, WHITE)
            mask.rounded(0, 0, BUTTON_W, BUTTON_H, 4, BLACK, BLACK)
            buttons.blit(mask, x0, BUTTON_H)
    write(folder / "btn_bitmap.btn", buttons.bmp())

    sections = []
    for n, (glyph, action, tip) in enumerate([("prev", 0, "前のニュース"), ("next", 1, "次のニュース"),
                                              ("open", 2, "ブラウザで開く"),
                                              ("fold", 18, "たたむ / 広げる")]):
        sections.append(f"""[btn{n}]
xpos={-(4 - n) * (BUTTON_W + 4) - 4}
ypos=4
action={action}
width={BUTTON_W}
height={BUTTON_H}
btnx={3 * n * BUTTON_W}
btny=0
maskx={3 * n * BUTTON_W}
masky={BUTTON_H}
tooltip={tip}
""")
    write(folder / "panel.ini", f"""[newsbox]
x={BOX_X}
y={BOX_Y}
width={BOX_W}
height={BOX_H}
scroll=0
hold_time=3000
add_desc=0

[skininfo]
width={PANEL_W}
height={PANEL_H}
new_number=1
read_number=2
old_number=0
idle_number=3
colorkey=255 0 255
new_color=255 220 80
read_color=150 160 180
old_color=235 240 255
grip_x=6
grip_y=5
stretch_y_st={BOX_Y}
stretch_y_end={BOX_Y + BOX_H}

[animeinfo]
interval=400
anime_x_pos=6
anime_y_pos=29
anime_width={LAMP}
anime_height={LAMP}

[site_info]
site_color=170 200 255
site_x_pos=26
site_y_pos=5
site_width=300
site_height=14

[desc_info]
desc_color=200 210 230
desc_x_pos=8
desc_y_pos=-23
desc_width={BOX_X + BOX_W - 10}
desc_height=16
desc_font_size=12
desc_bold_off=1

[icon_info]
icon=1
blend=0
icon_x_pos=6
icon_y_pos=4
icon_width=16
icon_height=16

[button_info]
width={BUTTON_W}
height={BUTTON_H}
transparent=1

[plugin_info]
x_pos={PLUGIN_X - PANEL_W}
y_pos={PLUGIN_Y}
width={PLUGIN_W}
height={PLUGIN_H}
flag=0
plugin_path=tictell.dll

""" + "\n".join(sections), binary=False)


def draw_glyph(image, glyph, ink):
    cx, cy = BUTTON_W // 2, BUTTON_H // 2
    if glyph in ("prev", "next"):
        for i in range(5):
            x = cx - 2 + i if glyph == "next" else cx + 2 - i
            for y in range(cy - 4 + i, cy + 5 - i):
                image.set(x, y, ink)
    elif glyph == "open":
        image.fill(cx - 4, cy - 4, cx + 4, cy - 3, ink)
        image.fill(cx - 4, cy - 4, cx - 3, cy + 4, ink)
        image.fill(cx - 4, cy + 3, cx + 4, cy + 4, ink)
        image.fill(cx + 3, cy - 4, cx + 4, cy + 4, ink)
        for i in range(4):
            image.set(cx + i - 1, cy - i, ink)
    else:  # fold: a bar over a downward chevron
        image.fill(cx - 4, cy - 4, cx + 5, cy - 2, ink)
        for i in range(4):
            image.fill(cx - 4 + i, cy + i - 1, cx + 5 - i, cy + i, ink)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = Path(sys.argv[1])
    simple(out / "simple")
    panel(out / "パネル")


if __name__ == "__main__":
    main()
