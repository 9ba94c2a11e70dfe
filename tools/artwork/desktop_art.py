#!/usr/bin/env python3
"""Draws the pictures that come with the installed program, not inside it.

- data/icons/hicolor/NxN/apps/marvanto.png: the desktop's icons, the window
  icon's design at each size the icon theme looks for
- backgrounds/maracas-beach1.jpg: the 640 x 480 beach the table starts on
"""

import math
import os

from PIL import Image

from make_artwork import (GOLD, DARK_GOLD, INK, RED, ROOT, SUN_ORANGE, SUN_YELLOW, WHITE, Layer, gradient,
                          lerp, palm, window_icon)

ICON_SIZES = (16, 32, 48, 64, 128, 256)
ICON_NAME = "marvanto"
BEACH_W, BEACH_H = 640, 480


def write_icons():
    for size in ICON_SIZES:
        folder = os.path.join(ROOT, "data", "icons", "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        window_icon(size).save(os.path.join(folder, ICON_NAME + ".png"), "PNG", optimize=True)


# ---------------------------------------------------------------- beach

HORIZON = 232
SHORE = 318
SAND = (238, 206, 150)
WET_SAND = (206, 168, 112)
FOAM = (250, 250, 240)
PALM_GREEN = (22, 92, 52)
PALM_TRUNK = (96, 62, 30)


def overlay(layer, opacity, draw):
    """Runs draw on a clear layer of its own and lays that over layer, see-through."""
    top = Layer(layer.w, layer.h, scale=layer.s)
    draw(top)
    top.img.putalpha(top.img.getchannel("A").point(lambda a: round(a * opacity)))
    layer.add(top)


def sky(layer):
    gradient(layer, 0, HORIZON, [(32, 74, 160), (60, 140, 210), (150, 210, 236), (255, 214, 150)])
    sx, sy, r = 540, 118, 34
    for k in range(6, 0, -1):
        overlay(layer, 0.16, lambda top: top.ellipse(sx, sy, r + k * 7, r + k * 7, fill=SUN_YELLOW + (255,)))
    layer.ellipse(sx, sy, r, r, fill=(255, 236, 160, 255))

    def clouds(top):
        for cx, cy, size in ((130, 60, 1.0), (300, 104, 0.7), (420, 40, 0.55)):
            for dx, dy, rc in ((-30, 6, 18), (-10, -4, 24), (16, 0, 22), (36, 8, 15), (0, 12, 20)):
                top.ellipse(cx + dx * size * 1.4, cy + dy * size, rc * size * 1.3, rc * size * 0.8,
                            fill=WHITE + (255,))
    overlay(layer, 0.85, clouds)


def sea(layer):
    gradient(layer, HORIZON, SHORE, [(40, 150, 190), (24, 170, 180), (60, 200, 190)])
    for k in range(34):
        x = (k * 97) % BEACH_W
        y = HORIZON + 6 + (k * 29) % (SHORE - HORIZON - 20)
        length = 8 + (y - HORIZON) * 0.12
        layer.line([(x, y), (x + length / 2, y - 1), (x + length, y)], (200, 240, 240, 255), 0.9)
    for k in range(7):
        y = HORIZON + 4 + k * 5
        half = 30 - k * 3.5
        layer.line([(540 - half, y), (540 + half, y)], (255, 240, 190, 255), 1.1)


def shore_line(x, base, amplitude):
    return base + amplitude * math.sin(x / 53) + amplitude * 0.6 * math.sin(x / 21 + 1.3)


def sand(layer):
    xs = range(0, BEACH_W + 8, 8)
    wet = [(x, shore_line(x, SHORE - 6, 4)) for x in xs]
    layer.polygon(wet + [(BEACH_W, BEACH_H), (0, BEACH_H)], fill=WET_SAND + (255,))
    dry = [(x, shore_line(x, SHORE + 14, 5)) for x in xs]
    layer.polygon(dry + [(BEACH_W, BEACH_H), (0, BEACH_H)], fill=SAND + (255,))
    layer.line(wet, FOAM + (255,), 2.4)
    layer.line([(x, y - 3) for x, y in wet], (190, 235, 230, 255), 1)
    # Ripples in the sand, and the odd shell.
    for k in range(40):
        x = (k * 131) % BEACH_W
        y = SHORE + 36 + (k * 43) % (BEACH_H - SHORE - 46)
        layer.line([(x, y), (x + 7, y - 1.5), (x + 14, y)], (222, 186, 128, 255), 1)
    for x, y, colour in ((150, 420, (246, 170, 150)), (380, 448, (250, 236, 220)), (470, 380, (236, 150, 120))):
        layer.ellipse(x, y, 4, 3, fill=colour + (255,), outline=(150, 100, 70, 255), width=0.6)


def maraca(layer, x, y, angle, colour, band):
    """A maraca lying on the sand: a round head on a handle, angle in degrees."""
    a = math.radians(angle)
    dx, dy = math.cos(a), math.sin(a)
    hx, hy = x + dx * 30, y + dy * 30
    head_x, head_y = x - dx * 14, y - dy * 14
    overlay(layer, 0.35, lambda top: top.ellipse(x + 4, y + 10, 30, 7, fill=(120, 80, 40, 255)))
    layer.line([(x, y), (hx, hy)], (120, 70, 30, 255), 6)
    layer.line([(x, y), (hx, hy)], (170, 110, 50, 255), 3.4)
    layer.ellipse(head_x, head_y, 17, 17, fill=colour + (255,), outline=INK + (255,), width=1.2)
    # A painted band round the head, across the handle's line, dotted on one side.
    px, py = -dy, dx
    for offset, width in ((-3, 1.6), (3, 1.6), (0, 3.4)):
        cx, cy = head_x - dx * offset, head_y - dy * offset
        layer.line([(cx - px * 15.5, cy - py * 15.5), (cx + px * 15.5, cy + py * 15.5)],
                   band + (255,), width)
    for k in (-2, -1, 0, 1, 2):
        layer.ellipse(head_x - dx * 9 + px * k * 5, head_y - dy * 9 + py * k * 5, 1.4, 1.4,
                      fill=WHITE + (255,))
    overlay(layer, 0.5, lambda top: top.ellipse(head_x - 6, head_y - 8, 4, 3, fill=WHITE + (255,)))


def beach():
    s = 4
    layer = Layer(BEACH_W, BEACH_H, scale=s)
    sky(layer)
    sea(layer)
    sand(layer)
    trunk, fronds = PALM_TRUNK + (255,), PALM_GREEN + (255,)
    palm(layer, (40, 480), (78, 150), -22, [(160, 80), (120, 70), (70, 76), (25, 84), (-10, 62), (190, 60)],
         trunk, fronds)
    palm(layer, (110, 470), (122, 236), 10, [(145, 52), (95, 48), (45, 54), (5, 56), (180, 46)], trunk, fronds)
    palm(layer, (612, 480), (574, 170), 18, [(170, 76), (130, 72), (85, 64), (35, 70), (205, 56)], trunk, fronds)
    for x, y, angle, colour, band in ((470, 430, 200, RED, GOLD), (520, 446, 160, SUN_ORANGE, DARK_GOLD)):
        maraca(layer, x, y, angle, colour, band)
    return layer.final().convert("RGB")


def write_beach():
    folder = os.path.join(ROOT, "backgrounds")
    os.makedirs(folder, exist_ok=True)
    beach().save(os.path.join(folder, "maracas-beach1.jpg"), "JPEG", quality=90)


def main():
    write_icons()
    write_beach()


if __name__ == "__main__":
    main()
