#!/usr/bin/env python3
"""Draws Marvanto's artwork and writes it under assets/.

Everything is drawn SS times larger than its final size and scaled down, so
the small card pictures get smooth edges; the GIFs are then reduced to a
palette of their own. The table comes in three sizes, and each picture is
drawn afresh at each of them from the same shapes, so a larger table shows
the same artwork with more detail rather than stretched pixels.
"""

import math
import os

from PIL import Image, ImageChops, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ASSETS = os.path.join(ROOT, "assets")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

SS = 8
CARD_W, CARD_H = 71, 96

# The table's sizes: the zoom of each and the folder under assets/ that holds
# its pictures. Each zoom times SS (and times the hang-jack and banner
# supersampling) is a whole number, so the drawings stay on whole pixels.
ZOOMS = ((1, ""), (1.5, "x1.5"), (2, "x2"))

# Suit numbers as the game numbers them.
DIAMONDS, CLUBS, HEARTS, SPADES = range(4)
SUIT_GLYPHS = "\u2666\u2663\u2665\u2660"

RED = (205, 18, 40)
BLACK = (22, 22, 28)
GOLD = (236, 180, 38)
DARK_GOLD = (160, 108, 12)
BLUE = (36, 72, 168)
NAVY = (24, 36, 92)
SKIN = (250, 214, 178)
INK = (30, 24, 20)
CREAM = (253, 248, 232)
WHITE = (255, 255, 255)
TABLE_GREEN = (0, 120, 50)

# FOX makes this colour transparent in icons; it appears nowhere else.
TRANSPARENT = (192, 192, 192)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), round(size))


def suit_colour(suit):
    return RED if suit in (DIAMONDS, HEARTS) else BLACK


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


_glyph_masks = {}


def glyph_mask(suit):
    """The suit symbol as a tightly cropped, large greyscale mask."""
    if suit not in _glyph_masks:
        f = font("DejaVuSans.ttf", 800)
        ch = SUIT_GLYPHS[suit]
        right, bottom = f.getbbox(ch)[2:]
        mask = Image.new("L", (right + 20, bottom + 20), 0)
        ImageDraw.Draw(mask).text((10, 10), ch, font=f, fill=255)
        _glyph_masks[suit] = mask.crop(mask.getbbox())
    return _glyph_masks[suit]


def text_mask(text, font_name, height, max_width=None):
    """Text cropped to its ink, scaled to the given height (and squeezed to max_width)."""
    f = font(font_name, 400)
    right, bottom = f.getbbox(text)[2:]
    mask = Image.new("L", (right + 40, bottom + 40), 0)
    ImageDraw.Draw(mask).text((20, 20), text, font=f, fill=255)
    mask = mask.crop(mask.getbbox())
    width = mask.width * height / mask.height
    if max_width is not None:
        width = min(width, max_width)
    return mask, width


class Layer:
    """An RGBA surface addressed in final pixels but drawn `scale` times larger."""

    def __init__(self, w, h, fill=(0, 0, 0, 0), scale=SS):
        self.w, self.h, self.s = w, h, scale
        self.img = Image.new("RGBA", (round(w * scale), round(h * scale)), fill)
        self.draw = ImageDraw.Draw(self.img)

    def _pts(self, pts):
        return [(x * self.s, y * self.s) for x, y in pts]

    def _width(self, width):
        return max(1, round(width * self.s))

    def polygon(self, pts, fill=None, outline=None, width=0.4):
        self.draw.polygon(self._pts(pts), fill=fill)
        if outline:
            self.line(list(pts) + [pts[0]], outline, width)

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=0.4):
        box = [(cx - rx) * self.s, (cy - ry) * self.s, (cx + rx) * self.s, (cy + ry) * self.s]
        self.draw.ellipse(box, fill=fill, outline=outline,
                          width=self._width(width) if outline else 0)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=0.4, radius=0):
        box = [x0 * self.s, y0 * self.s, x1 * self.s, y1 * self.s]
        self.draw.rounded_rectangle(box, radius=radius * self.s, fill=fill, outline=outline,
                                    width=self._width(width) if outline else 0)

    def line(self, pts, fill, width=0.4):
        self.draw.line(self._pts(pts), fill=fill, width=self._width(width), joint="curve")
        r = width / 2
        for x, y in (pts[0], pts[-1]):
            self.ellipse(x, y, r, r, fill=fill)

    def paste_mask(self, mask, x, y, w, h, colour, angle=0):
        """Fills colour through mask scaled to w x h with its centre at (x, y)."""
        size = (max(1, round(w * self.s)), max(1, round(h * self.s)))
        m = mask.resize(size, Image.LANCZOS)
        if angle:
            m = m.rotate(angle, resample=Image.BICUBIC, expand=True)
        solid = Image.new("RGBA", m.size, colour)
        solid.putalpha(m)
        self.img.alpha_composite(solid, (round(x * self.s - m.width / 2),
                                         round(y * self.s - m.height / 2)))

    def pip(self, suit, x, y, h, colour=None, flip=False):
        mask = glyph_mask(suit)
        w = h * mask.width / mask.height
        self.paste_mask(mask, x, y, w, h, colour or suit_colour(suit), 180 if flip else 0)

    def text(self, text, font_name, x, y, h, colour, max_width=None):
        """Text with its ink centred on (x, y) and its ink h pixels tall."""
        mask, w = text_mask(text, font_name, h, max_width)
        self.paste_mask(mask, x, y, w, h, colour)

    def add(self, other):
        self.img.alpha_composite(other.img)

    def add_turned(self, other):
        """Adds other turned half a turn, as the lower half of a card mirrors the upper."""
        self.img.alpha_composite(other.img.rotate(180))

    def clip(self, mask_layer):
        """Keeps only what lies where mask_layer is opaque."""
        alpha = self.img.getchannel("A")
        self.img.putalpha(ImageChops.multiply(alpha, mask_layer.img.getchannel("A")))

    def size(self, zoom=1):
        """The final size of this layer in pixels at a zoom of the table."""
        return round(self.w * zoom + 0.01), round(self.h * zoom + 0.01)

    def final(self, zoom=1):
        return self.img.resize(self.size(zoom), Image.LANCZOS)


# ---------------------------------------------------------------- card faces

CX, CY = CARD_W / 2, CARD_H / 2
RANK_NAMES = {11: "J", 12: "Q", 13: "K", 14: "A"}

COL_L, COL_C, COL_R = CX - 13.5, CX, CX + 13.5
ROW_TOP, ROW_BOTTOM = 17, 79

# Pip layouts: (column, fraction of the way from the top row to the bottom row).
_SIDES4 = [(COL_L, 0), (COL_R, 0), (COL_L, 1), (COL_R, 1)]
_SIDES6 = _SIDES4 + [(COL_L, 0.5), (COL_R, 0.5)]
_SIDES8 = [(c, t) for c in (COL_L, COL_R) for t in (0, 1 / 3, 2 / 3, 1)]
PIP_LAYOUTS = {
    2: [(COL_C, 0), (COL_C, 1)],
    3: [(COL_C, 0), (COL_C, 0.5), (COL_C, 1)],
    4: _SIDES4,
    5: _SIDES4 + [(COL_C, 0.5)],
    6: _SIDES6,
    7: _SIDES6 + [(COL_C, 0.25)],
    8: _SIDES6 + [(COL_C, 0.25), (COL_C, 0.75)],
    9: _SIDES8 + [(COL_C, 0.5)],
    10: _SIDES8 + [(COL_C, 1 / 6), (COL_C, 5 / 6)],
}


CARD_EDGE = (40, 40, 44)
CARD_RADIUS = 5


def card_blank(scale=SS):
    """White card with rounded corners, clear outside them.

    A thin dark edge stands in for a frame, so a card shows against the
    cloth, a picture and the card below it alike.
    """
    layer = Layer(CARD_W, CARD_H, scale=scale)
    layer.rect(0, 0, CARD_W - 0.01, CARD_H - 0.01, fill=CARD_EDGE, radius=CARD_RADIUS)
    layer.rect(0.9, 0.9, CARD_W - 0.91, CARD_H - 0.91, fill=WHITE, radius=CARD_RADIUS - 0.9)
    return layer


def draw_indices(card, suit, rank):
    """Rank and suit in the top left corner and, turned, in the bottom right one.

    They stay within the left 19 pixels, the part of a card still visible
    when a hand is fanned, and are as large as that strip allows so that
    they read at the smallest size.
    """
    corner = Layer(CARD_W, CARD_H, scale=card.s)
    colour = suit_colour(suit)
    label = RANK_NAMES.get(rank, str(rank))
    corner.text(label, "DejaVuSansCondensed-Bold.ttf", 8.2, 8.4, 11, colour, max_width=12.5)
    corner.pip(suit, 8.2, 19.4, 7.6)
    card.add(corner)
    card.add_turned(corner)


def draw_pips(card, suit, rank):
    for x, t in PIP_LAYOUTS[rank]:
        y = ROW_TOP + t * (ROW_BOTTOM - ROW_TOP)
        card.pip(suit, x, y, 13, flip=t > 0.5)


def draw_ace(card, suit):
    if suit == SPADES:
        # The ace of spades is the grand one of the pack.
        card.ellipse(CX, CY, 22, 22, outline=GOLD, width=1.2)
        card.ellipse(CX, CY, 19.8, 19.8, outline=DARK_GOLD, width=0.5)
        card.pip(suit, CX, CY, 32)
    else:
        card.pip(suit, CX, CY, 30)


# Court cards: a framed, double-ended half-figure, split on a slant.
FRAME = (14, 6, CARD_W - 14, CARD_H - 6)
SPLIT_SLOPE = 8 / (FRAME[2] - FRAME[0])
HAIR_WHITE = (246, 246, 242)
HAIR_GREY = (140, 140, 136)
STEEL = (222, 228, 238)
WOOD = (140, 90, 40)


# Every court card is a person of its own: the suit chooses the robes, the
# hair and what the figure holds, while the bust, the face and the frame
# keep one style across the twelve.
ROBES = {
    DIAMONDS: (RED, (30, 118, 70)),
    CLUBS: ((28, 104, 62), NAVY),
    HEARTS: ((168, 22, 64), BLUE),
    SPADES: (NAVY, RED),
}
HAIR = {
    DIAMONDS: ((232, 190, 92), (150, 110, 40)),
    CLUBS: ((44, 36, 32), (16, 12, 10)),
    HEARTS: ((186, 88, 34), (110, 46, 16)),
    SPADES: (HAIR_WHITE, HAIR_GREY),
}
QUEEN_HAIR = dict(HAIR)
QUEEN_HAIR[SPADES] = ((104, 62, 30), (60, 32, 12))
JACK_HAIR = dict(HAIR)
JACK_HAIR[SPADES] = ((120, 74, 34), (70, 40, 16))
FLAME = (255, 150, 30)


def court_colours(suit):
    return ROBES[suit]


def draw_bust(half, suit, robe, sleeve):
    half.polygon([(CX - 8, 28), (CX + 8, 28), (CX + 16, 30.5), (CX + 20.5, 35), (CX + 22, 56),
                  (CX - 22, 56), (CX - 20.5, 35), (CX - 16, 30.5)], fill=sleeve, outline=INK)
    for side in (-1, 1):
        half.line([(CX + side * 15, 31), (CX + side * 17.5, 56)], GOLD, 0.7)
        half.line([(CX + side * 18.5, 34), (CX + side * 20, 56)], DARK_GOLD, 0.35)
    half.polygon([(CX - 10, 28.5), (CX + 10, 28.5), (CX + 15, 56), (CX - 15, 56)],
                 fill=robe, outline=INK)
    half.polygon([(CX - 3, 30), (CX + 3, 30), (CX + 4.2, 56), (CX - 4.2, 56)],
                 fill=GOLD, outline=DARK_GOLD, width=0.3)
    for y in (34.5, 46.5):
        half.line([(CX - 3.3, y), (CX + 3.3, y)], DARK_GOLD, 0.3)
    half.rect(CX - 2.7, 37.4, CX + 2.7, 43.6, fill=WHITE, outline=DARK_GOLD, width=0.3, radius=0.8)
    half.pip(suit, CX, 40.5, 4.4)


def draw_face(half, cy=20, lips=RED):
    half.ellipse(CX, cy, 5.3, 6.2, fill=SKIN, outline=INK, width=0.35)
    for side in (-1, 1):
        half.ellipse(CX + side * 3, cy + 2, 1.1, 0.8, fill=(246, 186, 170))
        half.ellipse(CX + side * 2, cy - 0.3, 0.6, 0.65, fill=INK)
        half.line([(CX + side * 3.0, cy - 1.9), (CX + side * 1.1, cy - 2.1)], INK, 0.3)
    half.line([(CX, cy - 0.2), (CX - 0.6, cy + 1.8), (CX + 0.2, cy + 2)], (176, 112, 92), 0.3)
    half.line([(CX - 1.3, cy + 3.5), (CX + 1.3, cy + 3.5)], lips, 0.65)


def draw_hand(half, x, y):
    half.ellipse(x, y, 2.1, 1.9, fill=SKIN, outline=INK, width=0.3)


# What the figures hold at their side; each takes the x of the hand.

def upright_sword(half, sx):
    half.polygon([(sx - 1, 38), (sx - 1, 11), (sx, 8), (sx + 1, 11), (sx + 1, 38)],
                 fill=STEEL, outline=INK, width=0.3)
    half.line([(sx, 11), (sx, 37)], (170, 176, 190), 0.3)
    half.rect(sx - 3.8, 38, sx + 3.8, 39.8, fill=GOLD, outline=DARK_GOLD, width=0.3, radius=0.6)
    draw_hand(half, sx, 42)
    half.ellipse(sx, 45, 1.1, 1.1, fill=GOLD, outline=DARK_GOLD, width=0.3)


def raised_sword(half, sx):
    """A sword swung up behind the head; drawn before the figure, which covers its middle."""
    tip, hilt = (CX - 15, 5), (sx - 1, 37)
    dx, dy = hilt[0] - tip[0], hilt[1] - tip[1]
    n = math.hypot(dx, dy)
    px, py = -dy / n, dx / n
    base = (hilt[0] - dx / n * 4, hilt[1] - dy / n * 4)
    half.polygon([tip, (base[0] + px, base[1] + py), (base[0] - px, base[1] - py)],
                 fill=STEEL, outline=INK, width=0.3)
    half.line([(base[0] + 3.4 * px, base[1] + 3.4 * py), (base[0] - 3.4 * px, base[1] - 3.4 * py)], GOLD, 1.3)


def axe(half, ax):
    half.line([(ax, 9), (ax, 52)], WOOD, 1.2)
    half.polygon([(ax + 0.5, 10), (ax + 6.5, 7), (ax + 7.5, 12.5), (ax + 6.5, 18), (ax + 0.5, 15)],
                 fill=STEEL, outline=INK, width=0.3)
    half.ellipse(ax, 8.5, 1, 1, fill=GOLD, outline=DARK_GOLD, width=0.25)
    draw_hand(half, ax, 40)


def orb(half, ox):
    half.ellipse(ox, 34, 3.4, 3.4, fill=GOLD, outline=DARK_GOLD, width=0.35)
    half.line([(ox - 3.4, 34), (ox + 3.4, 34)], DARK_GOLD, 0.35)
    half.line([(ox, 30.6), (ox, 26.4)], DARK_GOLD, 0.6)
    half.line([(ox - 1.5, 28), (ox + 1.5, 28)], DARK_GOLD, 0.6)
    half.ellipse(ox, 33, 0.9, 0.9, fill=RED)
    draw_hand(half, ox, 38.5)


def sceptre(half, sx):
    half.line([(sx, 12), (sx, 50)], GOLD, 0.9)
    half.line([(sx + 0.35, 12), (sx + 0.35, 50)], DARK_GOLD, 0.25)
    for k in range(4):
        a = k * math.pi / 2
        half.ellipse(sx + 1.8 * math.cos(a), 9.5 + 1.8 * math.sin(a), 1.1, 1.1,
                     fill=GOLD, outline=DARK_GOLD, width=0.25)
    half.ellipse(sx, 9.5, 1.1, 1.1, fill=BLUE)
    draw_hand(half, sx, 40)


def flower(half, fx, petals, centre, stalk_top=31.5):
    fy = stalk_top
    half.line([(fx - 0.5, fy + 12), (fx, fy)], (40, 130, 50), 0.6)
    half.polygon([(fx - 0.3, fy + 5), (fx + 3.6, fy + 3.2), (fx + 0.3, fy + 6.4)],
                 fill=(60, 160, 70), outline=(30, 90, 40), width=0.25)
    fill, edge = petals
    for k in range(5):
        a = k * 2 * math.pi / 5 - math.pi / 2
        half.ellipse(fx + 1.7 * math.cos(a), fy + 1.7 * math.sin(a), 1.4, 1.4,
                     fill=fill, outline=edge, width=0.25)
    half.ellipse(fx, fy, 1, 1, fill=centre)
    draw_hand(half, fx - 0.4, fy + 9)


def rose(half, x):
    flower(half, x, ((240, 80, 130), (150, 30, 60)), GOLD)


def tulip(half, x):
    fy = 29
    half.line([(x - 0.5, fy + 14), (x, fy)], (40, 130, 50), 0.6)
    half.polygon([(x - 0.3, fy + 7), (x - 3.8, fy + 4.2), (x + 0.3, fy + 8.2)],
                 fill=(60, 160, 70), outline=(30, 90, 40), width=0.25)
    half.polygon([(x - 2.6, fy - 3.5), (x - 1.2, fy - 1.6), (x, fy - 3.8), (x + 1.2, fy - 1.6),
                  (x + 2.6, fy - 3.5), (x + 2.4, fy + 0.4), (x, fy + 1.6), (x - 2.4, fy + 0.4)],
                 fill=(250, 200, 40), outline=(180, 110, 10), width=0.3)
    draw_hand(half, x - 0.4, fy + 11)


def fan(half, x):
    """A folding fan held open above the hand."""
    cx, cy = x - 0.5, 38
    pts = [(cx, cy)]
    for k in range(9):
        a = math.radians(-150 + k * 15)
        pts.append((cx + 8 * math.cos(a), cy + 8 * math.sin(a)))
    half.polygon(pts, fill=(250, 232, 200), outline=INK, width=0.3)
    for k in range(1, 8):
        a = math.radians(-150 + k * 15)
        half.line([(cx, cy), (cx + 7.6 * math.cos(a), cy + 7.6 * math.sin(a))], (190, 60, 80), 0.3)
    draw_hand(half, cx, cy + 1)


def halberd(half, hx):
    half.line([(hx, 12), (hx, 56)], WOOD, 1.1)
    half.polygon([(hx, 5.5), (hx + 1.1, 9.5), (hx, 12.5), (hx - 1.1, 9.5)],
                 fill=STEEL, outline=INK, width=0.3)
    half.polygon([(hx + 0.4, 10.5), (hx + 4.6, 8.6), (hx + 5.4, 12), (hx + 4.6, 15.4), (hx + 0.4, 13.5)],
                 fill=STEEL, outline=INK, width=0.3)
    half.polygon([(hx - 0.4, 11), (hx - 3.2, 12), (hx - 0.4, 13.2)],
                 fill=STEEL, outline=INK, width=0.3)
    draw_hand(half, hx, 40)


def torch(half, tx):
    half.line([(tx, 16), (tx, 52)], WOOD, 1.3)
    half.rect(tx - 1.6, 14, tx + 1.6, 17, fill=(90, 90, 96), outline=INK, width=0.3, radius=0.4)
    half.polygon([(tx - 2.6, 14), (tx - 1.8, 9), (tx - 0.6, 10.5), (tx, 5), (tx + 1, 10),
                  (tx + 2.2, 8.5), (tx + 2.6, 14)], fill=FLAME, outline=(200, 60, 10), width=0.3)
    half.polygon([(tx - 1.2, 14), (tx, 9.5), (tx + 1.2, 14)], fill=SUN_YELLOW)
    draw_hand(half, tx, 40)


def spear(half, sx):
    half.line([(sx, 10), (sx, 56)], WOOD, 1)
    half.polygon([(sx, 3.5), (sx + 1.8, 8), (sx, 11.5), (sx - 1.8, 8)], fill=STEEL, outline=INK, width=0.3)
    half.line([(sx - 1.4, 13), (sx + 1.4, 13)], RED, 0.8)
    draw_hand(half, sx, 40)


def quill(half, qx):
    half.polygon([(qx + 0.5, 42), (qx - 1, 30), (qx - 0.6, 20), (qx + 2.4, 11), (qx + 3.6, 18),
                  (qx + 2.6, 28)], fill=WHITE, outline=INK, width=0.3)
    half.line([(qx + 0.5, 42), (qx + 2.4, 13)], (150, 150, 150), 0.3)
    draw_hand(half, qx, 40)


def draw_hair(half, colours, cy=20):
    hair, edge = colours
    for side in (-1, 1):
        half.ellipse(CX + side * 5.2, cy - 0.5, 1.6, 3.2, fill=hair, outline=edge, width=0.3)


def draw_beard(half, suit, hair, edge):
    """The kings' beards differ in cut as well as colour."""
    if suit == HEARTS:  # forked
        half.polygon([(CX - 5.2, 20.5), (CX - 4.2, 27), (CX - 1.6, 30), (CX, 26.6), (CX + 1.6, 30),
                      (CX + 4.2, 27), (CX + 5.2, 20.5), (CX + 2.6, 23.6), (CX - 2.6, 23.6)],
                     fill=hair, outline=edge, width=0.3)
    elif suit == CLUBS:  # short and full
        half.polygon([(CX - 5.3, 20.5), (CX - 4.4, 25.5), (CX, 27.8), (CX + 4.4, 25.5), (CX + 5.3, 20.5),
                      (CX + 2.6, 23.6), (CX - 2.6, 23.6)], fill=hair, outline=edge, width=0.3)
    else:  # long and pointed
        tip = 32 if suit == SPADES else 30
        half.polygon([(CX - 5.2, 20.5), (CX - 3.6, 25.5), (CX, tip), (CX + 3.6, 25.5), (CX + 5.2, 20.5),
                      (CX + 2.6, 23.6), (CX - 2.6, 23.6)], fill=hair, outline=edge, width=0.3)
    half.polygon([(CX - 3.6, 23.9), (CX, 22.5), (CX + 3.6, 23.9), (CX, 23.7)], fill=hair, outline=edge, width=0.3)


KING_ITEMS = {DIAMONDS: axe, CLUBS: orb, HEARTS: raised_sword, SPADES: upright_sword}
QUEEN_ITEMS = {DIAMONDS: fan, CLUBS: tulip, HEARTS: rose, SPADES: sceptre}
JACK_ITEMS = {DIAMONDS: spear, CLUBS: quill, HEARTS: torch, SPADES: halberd}
CROWN_JEWELS = {DIAMONDS: (RED, RED), CLUBS: ((40, 150, 80), BLUE), HEARTS: (BLUE, RED), SPADES: (RED, BLUE)}


def draw_king(half, suit):
    robe, sleeve = court_colours(suit)
    hair, edge = HAIR[suit]
    item = KING_ITEMS[suit]
    if item is raised_sword:
        item(half, CX + 14)
    draw_bust(half, suit, robe, sleeve)
    # Ermine collar.
    half.polygon([(CX - 11, 27.5), (CX + 11, 27.5), (CX + 13, 31.5), (CX, 34), (CX - 13, 31.5)],
                 fill=WHITE, outline=INK, width=0.3)
    for x, y in ((CX - 9, 30), (CX - 5, 31.5), (CX + 5, 31.5), (CX + 9, 30)):
        half.polygon([(x, y - 0.9), (x + 0.5, y + 0.7), (x - 0.5, y + 0.7)], fill=INK)
    draw_hair(half, (hair, edge))
    draw_face(half)
    draw_beard(half, suit, hair, edge)
    side_jewel, centre_jewel = CROWN_JEWELS[suit]
    if suit in (CLUBS, HEARTS):
        # An arched crown.
        half.polygon([(CX - 6.2, 15), (CX - 6.6, 10), (CX - 3, 7.4), (CX, 6.8), (CX + 3, 7.4),
                      (CX + 6.6, 10), (CX + 6.2, 15)], fill=GOLD, outline=DARK_GOLD, width=0.35)
        half.line([(CX, 7), (CX, 12.6)], DARK_GOLD, 0.4)
        half.line([(CX, 5.8), (CX, 3.6)], DARK_GOLD, 0.6)
        half.line([(CX - 1.2, 4.6), (CX + 1.2, 4.6)], DARK_GOLD, 0.6)
    else:
        half.polygon([(CX - 6.2, 15), (CX - 7, 8), (CX - 3.6, 11.5), (CX, 6.5), (CX + 3.6, 11.5),
                      (CX + 7, 8), (CX + 6.2, 15)], fill=GOLD, outline=DARK_GOLD, width=0.35)
        for x, y in ((CX - 7, 8), (CX, 6.5), (CX + 7, 8)):
            half.ellipse(x, y, 0.9, 0.9, fill=WHITE, outline=DARK_GOLD, width=0.25)
    half.rect(CX - 6.4, 12.6, CX + 6.4, 15.4, fill=GOLD, outline=DARK_GOLD, width=0.3)
    for x, colour in ((CX - 3.4, side_jewel), (CX, centre_jewel), (CX + 3.4, side_jewel)):
        half.ellipse(x, 14, 0.8, 0.8, fill=colour)
    if item is raised_sword:
        draw_hand(half, CX + 13, 38.5)
    else:
        item(half, CX + 14)


def draw_queen(half, suit):
    robe, sleeve = court_colours(suit)
    hair, hair_edge = QUEEN_HAIR[suit]
    half.polygon([(CX - 5.5, 14), (CX - 8, 20), (CX - 9, 31), (CX - 5, 32), (CX - 4.5, 24),
                  (CX + 4.5, 24), (CX + 5, 32), (CX + 9, 31), (CX + 8, 20), (CX + 5.5, 14)],
                 fill=hair, outline=hair_edge, width=0.35)
    draw_bust(half, suit, robe, sleeve)
    half.polygon([(CX - 9, 28.5), (CX + 9, 28.5), (CX + 6, 32), (CX, 30.6), (CX - 6, 32)],
                 fill=WHITE, outline=INK, width=0.3)
    for side in (-1, 1):
        half.polygon([(CX + side * 5.2, 20), (CX + side * 7.6, 24), (CX + side * 7, 31.5),
                      (CX + side * 5, 30.5), (CX + side * 5.6, 25)],
                     fill=hair, outline=hair_edge, width=0.3)
    draw_face(half, lips=(214, 30, 70))
    half.polygon([(CX - 5.3, 18.5), (CX - 4, 14.8), (CX, 13.8), (CX + 4, 14.8), (CX + 5.3, 18.5),
                  (CX + 2, 16.2), (CX, 17), (CX - 2, 16.2)], fill=hair, outline=hair_edge, width=0.3)
    # A tiara: pearls on stalks for the red suits, points for the black.
    half.rect(CX - 5, 12.2, CX + 5, 14.4, fill=GOLD, outline=DARK_GOLD, width=0.3, radius=0.6)
    if suit in (DIAMONDS, HEARTS):
        for x, y in ((CX - 3.8, 10.2), (CX, 8.4), (CX + 3.8, 10.2)):
            half.line([(x, y + 1.2), (x, 12.2)], DARK_GOLD, 0.5)
            half.ellipse(x, y, 1.3, 1.3, fill=WHITE, outline=DARK_GOLD, width=0.3)
    else:
        half.polygon([(CX - 5, 12.4), (CX - 4.2, 9.4), (CX - 2.2, 11.2), (CX, 7.8), (CX + 2.2, 11.2),
                      (CX + 4.2, 9.4), (CX + 5, 12.4)], fill=GOLD, outline=DARK_GOLD, width=0.3)
    half.ellipse(CX, 13.3, 0.75, 0.75, fill=RED if suit != CLUBS else (40, 150, 80))
    half.line([(CX - 4, 31.2), (CX, 33.6), (CX + 4, 31.2)], GOLD, 0.5)
    half.ellipse(CX, 34.3, 0.9, 0.9, fill=RED, outline=DARK_GOLD, width=0.25)
    QUEEN_ITEMS[suit](half, CX + 13.5)


def draw_jack(half, suit):
    robe, sleeve = court_colours(suit)
    draw_bust(half, suit, robe, sleeve)
    for side in (-1, 1):
        half.polygon([(CX, 29), (CX + side * 8.5, 28.3), (CX + side * 5.5, 32.5)],
                     fill=WHITE, outline=INK, width=0.3)
    hair, edge = JACK_HAIR[suit]
    for side in (-1, 1):
        for k in range(3):
            half.ellipse(CX + side * (5.3 + k * 0.35), 17.5 + k * 2.5, 1.5, 1.4,
                         fill=hair, outline=edge, width=0.25)
    draw_face(half, cy=20.5)
    if suit == DIAMONDS:
        # A moustache.
        half.polygon([(CX - 3.2, 23.6), (CX, 22.6), (CX + 3.2, 23.6), (CX, 23.4)],
                     fill=hair, outline=edge, width=0.3)
    # The cap: a feathered flat cap, or a round one with a plume of the sleeve colour.
    if suit in (HEARTS, SPADES):
        half.polygon([(CX + 4, 13), (CX + 10, 5.5), (CX + 12.2, 5.8), (CX + 7.4, 12), (CX + 5.6, 14)],
                     fill=WHITE, outline=INK, width=0.3)
        half.line([(CX + 4.8, 13.4), (CX + 11.2, 5.8)], sleeve, 0.35)
        half.ellipse(CX, 13, 8, 3, fill=robe, outline=INK, width=0.35)
    else:
        half.polygon([(CX - 4, 12), (CX - 8, 5.5), (CX - 9.6, 6.4), (CX - 6.6, 12.6)],
                     fill=sleeve, outline=INK, width=0.3)
        half.polygon([(CX - 6.2, 14), (CX - 5, 9), (CX, 7.4), (CX + 5, 9), (CX + 6.2, 14)],
                     fill=robe, outline=INK, width=0.35)
    half.rect(CX - 5.6, 13.4, CX + 5.6, 15.6, fill=GOLD, outline=DARK_GOLD, width=0.3, radius=0.6)
    half.ellipse(CX, 14.5, 0.8, 0.8, fill=sleeve)
    JACK_ITEMS[suit](half, CX + 14)


COURT_DRAWERS = {11: draw_jack, 12: draw_queen, 13: draw_king}


def draw_court(card, suit, rank):
    x0, y0, x1, y1 = FRAME
    colour = suit_colour(suit)
    card.rect(x0, y0, x1, y1, fill=CREAM, radius=1.5)
    half = Layer(CARD_W, CARD_H, scale=card.s)
    COURT_DRAWERS[rank](half, suit)
    half.pip(suit, x0 + 4.2, y0 + 5, 5.5)
    inside = Layer(CARD_W, CARD_H, scale=card.s)
    inside.rect(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, fill=WHITE, radius=1.2)
    upper = Layer(CARD_W, CARD_H, scale=card.s)
    rise = CX * SPLIT_SLOPE
    upper.polygon([(0, 0), (CARD_W, 0), (CARD_W, CY + rise), (0, CY - rise)], fill=WHITE)
    half.clip(upper)
    half.clip(inside)
    card.add(half)
    card.add_turned(half)
    dx = CX - x0 - 0.5
    card.line([(CX - dx, CY - dx * SPLIT_SLOPE), (CX + dx, CY + dx * SPLIT_SLOPE)], colour, 0.7)
    card.rect(x0, y0, x1, y1, outline=colour, width=0.9, radius=1.5)
    card.rect(x0 + 1.1, y0 + 1.1, x1 - 1.1, y1 - 1.1, outline=GOLD, width=0.4, radius=1)


def card_face(index, scale=SS):
    """Face of the card with this index (suit * 13 + rank - 2), drawn large."""
    suit, rank = divmod(index, 13)
    rank += 2
    card = card_blank(scale)
    if rank <= 10:
        draw_pips(card, suit, rank)
    elif rank == 14:
        draw_ace(card, suit)
    else:
        draw_court(card, suit, rank)
    draw_indices(card, suit, rank)
    return card


# ---------------------------------------------------------------- card back

SEA_DEEP = (10, 62, 112)
SEA_LIGHT = (46, 170, 196)
SUN_YELLOW = (255, 214, 64)
SUN_ORANGE = (248, 132, 34)


def card_back(scale=SS):
    """Sea-blue lattice around a sunburst medallion; the same either way up."""
    card = card_blank(scale)
    x0, y0, x1, y1 = 3.5, 3.5, CARD_W - 3.5, CARD_H - 3.5
    card.rect(x0, y0, x1, y1, fill=SEA_DEEP, radius=2.5)
    lattice = Layer(CARD_W, CARD_H, scale=scale)
    step = 7
    for k in range(-16, 17):
        c = CX + k * step
        lattice.line([(c - 60, CY - 60 * 1.25), (c + 60, CY + 60 * 1.25)], SEA_LIGHT, 0.45)
        lattice.line([(c - 60, CY + 60 * 1.25), (c + 60, CY - 60 * 1.25)], SEA_LIGHT, 0.45)
    for i in range(-6, 7):
        for j in range(-8, 9):
            if (i + j) % 2 == 0:
                x, y = CX + i * step / 2, CY + j * step * 1.25 / 2
                lattice.polygon([(x, y - 1.1), (x + 0.9, y), (x, y + 1.1), (x - 0.9, y)], fill=GOLD)
    panel = Layer(CARD_W, CARD_H, scale=scale)
    panel.rect(x0 + 1.8, y0 + 1.8, x1 - 1.8, y1 - 1.8, fill=WHITE, radius=1.5)
    lattice.clip(panel)
    card.add(lattice)
    card.rect(x0 + 1.2, y0 + 1.2, x1 - 1.2, y1 - 1.2, outline=GOLD, width=0.5, radius=1.6)
    # Medallion: a sun whose rays alternate gold and orange.
    card.ellipse(CX, CY, 17, 22, fill=SEA_DEEP, outline=GOLD, width=0.9)
    card.ellipse(CX, CY, 15.2, 20.2, outline=SEA_LIGHT, width=0.4)
    rays = 16
    for k in range(rays):
        a0 = 2 * math.pi * k / rays
        a1 = a0 + math.pi / rays
        a2 = a0 + 2 * math.pi / rays
        card.polygon([(CX + 6 * math.cos(a0), CY + 6 * math.sin(a0)),
                      (CX + 13.5 * math.cos(a1), CY + 18 * math.sin(a1)),
                      (CX + 6 * math.cos(a2), CY + 6 * math.sin(a2))],
                     fill=SUN_YELLOW if k % 2 else SUN_ORANGE)
    card.ellipse(CX, CY, 7, 7, fill=SUN_ORANGE, outline=GOLD, width=0.6)
    card.ellipse(CX, CY, 5, 5, fill=SUN_YELLOW)
    for suit, (x, y) in zip(range(4), ((x0 + 5, y0 + 5.5), (x1 - 5, y0 + 5.5),
                                       (x1 - 5, y1 - 5.5), (x0 + 5, y1 - 5.5))):
        card.ellipse(x, y, 3.6, 3.6, fill=SEA_DEEP, outline=GOLD, width=0.5)
        card.pip(suit, x, y, 4, colour=GOLD, flip=y > CY)
    return card


# ---------------------------------------------------------------- window icon

def small_card(w, h, scale, face):
    card = Layer(w, h, scale=scale)
    card.rect(0.3, 0.3, w - 0.3, h - 0.3, fill=WHITE, outline=INK, width=0.7, radius=1.6)
    face(card)
    return card


ICON_GRID = 32


def window_icon(size=ICON_GRID):
    """A jack of hearts fanned over the ace of spades on the green cloth.

    Laid out on a 32-unit grid and drawn at size x size pixels, so the window
    icon and the desktop's icons of every size show one picture.
    """
    scale = SS * size / ICON_GRID
    icon = Layer(ICON_GRID, ICON_GRID, TABLE_GREEN + (255,), scale)
    icon.rect(0, 0, ICON_GRID - 0.01, ICON_GRID - 0.01, outline=(0, 78, 32), width=1.2)
    w, h = 15, 21

    def ace(card):
        card.pip(SPADES, w / 2 - 2.5, h / 2 + 1.5, 7.5)
        card.text("A", "DejaVuSans-Bold.ttf", 3.3, 4, 4.4, BLACK)

    def jack(card):
        card.text("J", "DejaVuSerif-Bold.ttf", w / 2 + 0.5, h / 2 - 1.6, 11.5, RED)
        card.pip(HEARTS, w / 2 + 0.5, h - 4, 5)

    for face, angle, x, y in ((ace, 18, 10.5, 16.5), (jack, -10, 21.2, 16)):
        card = small_card(w, h, scale, face).img.rotate(angle, resample=Image.BICUBIC, expand=True)
        icon.img.alpha_composite(card, (round(x * scale - card.width / 2), round(y * scale - card.height / 2)))
    return icon.img.resize((size, size), Image.LANCZOS).convert("RGB")


# ---------------------------------------------------------------- hang jack

HANG_SS = 4
SHIRT = (240, 96, 36)
SHIRT_DARK = (170, 54, 14)
HAND = (232, 176, 128)
HAND_DARK = (120, 70, 40)
OUTLINE = (26, 16, 10)


def styled_text(img, text, font_name, centre, width, height, colours, outlines, shadow=0):
    """Big outlined text on img, its ink fitted into width x height around centre.

    colours holds (top, bottom) gradient pairs used letter by letter in turn;
    outlines holds (colour, width) pairs, widest first; the shadow falls from
    the widest.
    """
    f = font(font_name, 200)
    left, top, right, bottom = f.getbbox(text)
    f = font(font_name, 200 * min(width / (right - left), height / (bottom - top)))
    left, top, right, bottom = f.getbbox(text)
    origin = (centre[0] - (left + right) / 2, centre[1] - (top + bottom) / 2)
    clear = Image.new("RGBA", img.size)

    def mask(stroke=0):
        m = Image.new("L", img.size, 0)
        ImageDraw.Draw(m).text(origin, text, font=f, fill=255, stroke_width=round(stroke),
                               stroke_fill=255)
        return m

    for n, (colour, stroke) in enumerate(outlines):
        m = mask(stroke)
        if n == 0 and shadow:
            moved = Image.new("L", img.size, 0)
            moved.paste(m, (round(shadow), round(shadow)))
            img.alpha_composite(Image.composite(Image.new("RGBA", img.size, (0, 0, 0, 150)), clear, moved))
        img.alpha_composite(Image.composite(Image.new("RGBA", img.size, colour + (255,)), clear, m))
    fill = Image.new("RGBA", img.size)
    fill_draw = ImageDraw.Draw(fill)
    y0, y1 = origin[1] + top, origin[1] + bottom
    for i in range(len(text)):
        x0 = origin[0] + f.getlength(text[:i]) if i else 0
        x1 = origin[0] + f.getlength(text[:i + 1]) if i + 1 < len(text) else img.width
        light, deep = colours[i % len(colours)]
        for y in range(int(y0), int(y1) + 1):
            fill_draw.line([(x0, y), (x1, y)], fill=lerp(light, deep, (y - y0) / (y1 - y0)) + (255,))
    img.alpha_composite(Image.composite(fill, clear, mask()))


GRIP_BOX = 460


def hand_with_card(card_img, hs, squeeze=1.0):
    """A cartoon hand in a shirt cuff, its fist gripping the card's lower edge.

    Drawn on a square layer with the fist at its centre, so that it can be
    turned about the fist.
    """
    hand = Layer(GRIP_BOX, GRIP_BOX, scale=hs)
    g = GRIP_BOX / 2
    card = card_img.resize((max(1, round(card_img.width * squeeze)), card_img.height), Image.LANCZOS)
    hand.img.alpha_composite(card, (round(g * hs - card.width / 2),
                                    round((g + 30) * hs - card.height)))
    hand.polygon([(g - 30, g + 40), (g + 28, g + 40), (g + 32, g + 78), (g - 34, g + 78)],
                 fill=HAND, outline=OUTLINE, width=3)
    hand.rect(g - 48, g + 70, g + 44, g + 118, fill=SHIRT, outline=OUTLINE, width=3, radius=14)
    hand.rect(g - 48, g + 70, g + 44, g + 84, fill=SHIRT_DARK, outline=OUTLINE, width=3, radius=7)
    for k in range(3):
        hand.ellipse(g - 24 + k * 24, g + 101, 5, 5, fill=SUN_YELLOW, outline=OUTLINE, width=1.5)
    hand.rect(g - 42, g - 8, g + 38, g + 56, fill=HAND, outline=OUTLINE, width=3, radius=24)
    for k in range(4):
        y = g - 6 + k * 15
        hand.rect(g - 50 + k * 2, y, g + 18 - k * 3, y + 17, fill=HAND, outline=OUTLINE,
                  width=2.6, radius=8.5)
        hand.line([(g - 32 + k * 2, y + 5), (g - 32 + k * 2, y + 12)], HAND_DARK, 1.6)
    hand.polygon([(g - 6, g - 14), (g + 28, g - 32), (g + 44, g - 26), (g + 42, g - 8),
                  (g + 32, g + 8), (g + 4, g + 8)], fill=HAND, outline=OUTLINE, width=3)
    hand.ellipse(g + 36, g - 23, 6.5, 5.5, fill=(244, 206, 170), outline=HAND_DARK, width=1.2)
    return hand


def place(layer, hand, grip, angle):
    """Puts the hand's fist at grip, turned by angle degrees clockwise."""
    turned = hand.img.rotate(-angle, resample=Image.BICUBIC)
    layer.img.alpha_composite(turned, (round((grip[0] - GRIP_BOX / 2) * layer.s),
                                       round((grip[1] - GRIP_BOX / 2) * layer.s)))


def burst(layer, cx, cy, r_out, r_in, points, colour, outline=None):
    pts = []
    for k in range(2 * points):
        a = math.pi * k / points + 0.2
        r = (r_out if k % 2 == 0 else r_in) * (1 + 0.1 * math.sin(k * 2.3))
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    layer.polygon(pts, fill=colour, outline=outline, width=4)


def motion_arcs(layer, centre, radius, a0, a1):
    """Whoosh lines along a swing about centre, angles in degrees from straight up."""
    cx, cy = centre
    for k in range(3):
        r = radius - k * 34
        pts = [(cx + r * math.sin(math.radians(a)), cy - r * math.cos(math.radians(a)))
               for a in range(a0 + 6 * k, a1 + 1, 2)]
        layer.line(pts, (255, 255, 255, 235), 6 - 1.5 * k)


def caption(layer):
    styled_text(layer.img, "HANG JACK!", "DejaVuSans-Bold.ttf",
                (layer.w / 2 * layer.s, 50 * layer.s), (layer.w - 24) * layer.s, 62 * layer.s,
                [(SUN_YELLOW, SUN_ORANGE)], [((140, 10, 20), 5 * layer.s)], 6 * layer.s)


def hang_card(hs, index=None, zoom=1.9):
    """A large card for the pictures: the back, or the face of card index."""
    scale = zoom * hs
    layer = card_back(scale) if index is None else card_face(index, scale)
    shape = Layer(CARD_W, CARD_H, scale=scale)
    shape.rect(0, 0, CARD_W - 0.01, CARD_H - 0.01, fill=WHITE, radius=4.5)
    layer.img.putalpha(shape.img.getchannel("A"))
    layer.rect(0, 0, CARD_W - 0.01, CARD_H - 0.01, outline=OUTLINE, width=1.2, radius=4.5)
    return layer.img


def hang_jack_frames(zoom):
    """Held ready, swung over (the card turning), slapped down face up."""
    hs = round(HANG_SS * zoom)
    jack_of_hearts = HEARTS * 13 + 11 - 2
    back = hang_card(hs)
    first = Layer(411, 408, scale=hs)
    place(first, hand_with_card(back, hs), (150, 292), -18)
    second = Layer(413, 410, scale=hs)
    motion_arcs(second, (215, 420), 290, -62, -14)
    place(second, hand_with_card(back, hs, squeeze=0.3), (215, 290), 12)
    third = Layer(439, 410, scale=hs)
    burst(third, 258, 228, 152, 102, 14, SUN_YELLOW + (255,), SUN_ORANGE + (255,))
    burst(third, 258, 228, 110, 74, 11, (255, 250, 214, 255))
    place(third, hand_with_card(hang_card(hs, jack_of_hearts, zoom=2.3), hs), (236, 312), 12)
    for frame in (first, second, third):
        caption(frame)
    return first, second, third


def flatten(layer, zoom, under):
    """The picture at its final size over a colour, and its transparency.

    GIF transparency is all or nothing: pixels less than half covered are
    clear, and the edge pixels kept take the colour of what lies under them
    in the drawing (the table for the hang-jack pictures, a card's own dark
    edge for the cards).
    """
    solid = Image.new("RGBA", layer.img.size, under + (255,))
    solid.alpha_composite(layer.img)
    size = layer.size(zoom)
    rgb = solid.convert("RGB").resize(size, Image.LANCZOS)
    alpha = layer.img.getchannel("A").resize(size, Image.BOX)
    return rgb, alpha.point(lambda a: 255 if a < 128 else 0)


# ---------------------------------------------------------------- banner

def palm(layer, base, top, lean, fronds, colour, frond_colour=None):
    """A palm: a curved trunk from base to top and drooping fronds, a silhouette
    unless the fronds get a colour of their own."""
    bx, by = base
    tx, ty = top
    trunk = []
    for k in range(21):
        t = k / 20
        x = bx + (tx - bx) * t + lean * math.sin(math.pi * t)
        y = by + (ty - by) * t
        trunk.append((x, y, 7 - 3.5 * t))
    left = [(x - w, y) for x, y, w in trunk]
    right = [(x + w, y) for x, y, w in reversed(trunk)]
    layer.polygon(left + right, fill=colour)
    for x, y, w in trunk[2::2]:
        layer.line([(x - w - 1, y), (x + w + 1, y - 2)], colour, 2.2)
    leaves = frond_colour or colour
    for angle, length in fronds:
        a = math.radians(angle)
        pts_top, pts_bottom = [], []
        for k in range(13):
            t = k / 12
            x = tx + math.cos(a) * length * t
            y = ty - math.sin(a) * length * t + 0.9 * length * t * t * (0.4 + 0.3 * abs(math.cos(a)))
            w = 6 * math.sin(math.pi * min(1, t * 1.15)) + 0.5
            pts_top.append((x, y - w))
            pts_bottom.append((x + 1.5 * w * math.sin(a), y + w))
        layer.polygon(pts_top + list(reversed(pts_bottom)), fill=leaves)
    for dx, dy in ((-4, 5), (3, 6), (0, 9)):
        layer.ellipse(tx + dx, ty + dy, 3.4, 3.4, fill=colour)


def gradient(layer, top, bottom, stops):
    """Fills the rows from top to bottom with colours running through stops."""
    s = layer.s
    for y in range(top * s, bottom * s):
        t = (y / s - top) / (bottom - top) * (len(stops) - 1)
        i = min(int(t), len(stops) - 2)
        layer.draw.line([(0, y), (layer.w * s, y)], fill=lerp(stops[i], stops[i + 1], t - i) + (255,))


SKY = [(58, 16, 96), (170, 40, 110), (246, 104, 60), (255, 180, 70)]
SEA = [(24, 150, 170), (8, 70, 120), (4, 34, 80)]
BANNER_HORIZON = 80


def banner(zoom):
    w, h, s = 640, 120, round(4 * zoom)
    horizon = BANNER_HORIZON
    layer = Layer(w, h, scale=s)
    gradient(layer, 0, horizon, SKY)
    # A setting sun with the stripes of the evening haze.
    sun = Layer(w, h, scale=s)
    sx, sr = 520, 52
    for y in range(int((horizon - sr) * s), horizon * s):
        t = (y / s - (horizon - sr)) / sr
        half = math.sqrt(max(0, sr * sr - (horizon - y / s) ** 2)) * s
        sun.draw.line([(sx * s - half, y), (sx * s + half, y)],
                      fill=lerp(SUN_YELLOW, SUN_ORANGE, t) + (255,))
    for k in range(5):
        y0 = horizon - 30 + k * 6.5
        sun.rect(sx - sr, y0, sx + sr, y0 + 1.2 + k * 0.6, fill=(0, 0, 0, 0))
    layer.add(sun)
    gradient(layer, horizon, h, SEA)
    for k in range(9):
        y = horizon + 3 + k * 4.2
        half = 46 - k * 3.5
        layer.line([(sx - half, y), (sx + half, y)], lerp(SUN_YELLOW, SUN_ORANGE, k / 9) + (255,), 1.2)
    for k in range(26):
        x = (k * 53) % w
        y = horizon + 6 + (k * 17) % 32
        layer.line([(x, y), (x + 8, y - 1.2), (x + 16, y)], (150, 220, 230, 255), 0.9)
    dark = (30, 12, 40, 255)
    palm(layer, (38, 122), (64, 24), -14, [(150, 62), (110, 56), (60, 60), (20, 66), (-10, 48), (185, 48)], dark)
    palm(layer, (84, 122), (96, 52), 8, [(140, 40), (90, 38), (40, 42), (0, 44), (175, 36)], dark)
    palm(layer, (626, 122), (596, 30), 12, [(170, 60), (130, 58), (80, 52), (30, 56), (200, 44)], dark)
    letters = [((255, 236, 120), (240, 170, 20)), ((255, 180, 110), (230, 80, 30)),
               ((255, 140, 150), (210, 20, 50)), ((140, 240, 160), (20, 150, 70)),
               ((140, 230, 250), (10, 130, 200)), ((255, 236, 120), (240, 170, 20)),
               ((255, 180, 110), (230, 80, 30)), ((255, 140, 150), (210, 20, 50))]
    styled_text(layer.img, "Marvanto", "DejaVuSerif-BoldItalic.ttf", (300 * s, 56 * s), 340 * s,
                80 * s, letters, [((255, 255, 255), 6 * s), ((34, 14, 44), 3 * s)], 5 * s)
    return layer.final(zoom).convert("RGB")


def banner_side(zoom):
    """One column of the banner's sky and sea, repeated beside a banner
    narrower than the window."""
    layer = Layer(1, 120, scale=round(4 * zoom))
    gradient(layer, 0, BANNER_HORIZON, SKY)
    gradient(layer, BANNER_HORIZON, 120, SEA)
    return layer.final(zoom).convert("RGB")


# ---------------------------------------------------------------- GIF output

def save_gif(img, path, transparent_mask=None):
    """Writes img (RGB) as a GIF with its own palette.

    FOX's GIF loader makes the background colour index transparent whatever
    the file says, so that index is reserved: unused in opaque pictures, and
    the transparent colour where transparent_mask (L, 255 = transparent) is set.
    """
    img = img.convert("RGB")
    if transparent_mask is not None:
        img = img.copy()
        img.paste((0, 0, 0), mask=transparent_mask)
    q = img.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = q.getpalette()[:255 * 3]
    palette += [0, 0, 0] * (255 - len(palette) // 3)
    for i in range(0, len(palette), 3):
        if tuple(palette[i:i + 3]) == TRANSPARENT:
            palette[i] -= 1
    indices = Image.frombytes("L", q.size, q.tobytes()).point(lambda i: i + 1)
    if transparent_mask is not None:
        indices.paste(0, mask=transparent_mask)
    out = Image.frombytes("P", img.size, indices.tobytes())
    out.putpalette(list(TRANSPARENT) + palette)
    options = {"background": 0, "optimize": False}
    if transparent_mask is not None:
        options["transparency"] = 0
    out.save(path, "GIF", **options)


def write_pictures(zoom, folder):
    out = os.path.join(ASSETS, folder)
    os.makedirs(os.path.join(out, "cards"), exist_ok=True)
    for index in range(52):
        rgb, clear = flatten(card_face(index, SS * zoom), zoom, CARD_EDGE)
        save_gif(rgb, os.path.join(out, "cards", "card_%02d.gif" % index), clear)
    rgb, clear = flatten(card_back(SS * zoom), zoom, CARD_EDGE)
    save_gif(rgb, os.path.join(out, "card_back.gif"), clear)
    for n, frame in enumerate(hang_jack_frames(zoom), 1):
        rgb, clear = flatten(frame, zoom, TABLE_GREEN)
        save_gif(rgb, os.path.join(out, "hangjack_%d.gif" % n), clear)
    banner(zoom).save(os.path.join(out, "banner.jpg"), "JPEG", quality=92)
    save_gif(banner_side(zoom), os.path.join(out, "banner_side.gif"))
    save_gif(window_icon(round(ICON_GRID * zoom)), os.path.join(out, "icon.gif"))


def main():
    for zoom, folder in ZOOMS:
        write_pictures(zoom, folder)


if __name__ == "__main__":
    main()
