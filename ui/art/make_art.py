#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draw every picture of the "Ступенион?" quiz show used by Квизора.

Run from the repository root:

    /usr/bin/python3 ui/art/make_art.py

All pictures are drawn from scratch with Pillow primitives (shapes,
gradients, text).  Smooth shapes are drawn at SS times the final size and
scaled down with LANCZOS; palette formats (GIF, 8-bit BMP) are quantized
without dithering at the end.  Nothing random is used unseeded, so every
run produces byte-for-byte identical files.

Every picture the game shows is drawn twice: at its own size, and at twice
its pixels each way for high-density screens (`name@2x.png`, or
`name@2x.gif` for the used-lifeline pictures in data/gfx).  The 2x pass
draws the same design with every coordinate doubled (SCALE), so it is drawn
at that resolution, not enlarged.
"""

import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor for smooth edges
SCALE = 1  # pixels per design pixel of the pass being drawn: 1, or 2 for the @2x pictures

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ART_DIR = os.path.join(ROOT, "ui", "art")
GFX_DIR = os.path.join(ROOT, "data", "gfx")

FONT_DIR = "/usr/share/fonts/truetype"
FONTS = {
    "sans_bold": ["dejavu/DejaVuSans-Bold.ttf", "liberation2/LiberationSans-Bold.ttf"],
    "narrow_bold": ["paratype/PTN77F.ttf", "dejavu/DejaVuSansCondensed-Bold.ttf"],
    "serif_bold": ["paratype/PTF75F.ttf", "dejavu/DejaVuSerif-Bold.ttf"],
    "pt_bold": ["paratype/PTS75F.ttf", "dejavu/DejaVuSans-Bold.ttf"],
}


# ----------------------------------------------------------------------------
# Small helpers
# ----------------------------------------------------------------------------

def font(name, size):
    """Load one of the Cyrillic-capable fonts above, first one found wins."""
    for rel in FONTS[name]:
        path = os.path.join(FONT_DIR, rel)
        if os.path.exists(path):
            # The basic layout engine keeps glyph placement independent of
            # whether libraqm happens to be installed.
            return ImageFont.truetype(path, size, layout_engine=ImageFont.Layout.BASIC)
    sys.exit("no usable font for %s under %s" % (name, FONT_DIR))


def mix(c1, c2, t):
    """Linear blend of two RGB(A) tuples, t=0 gives c1, t=1 gives c2."""
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


def s(v):
    """Scale a coordinate (or a tuple of them) from design pixels to the supersampled canvas."""
    if isinstance(v, (tuple, list)):
        return type(v)(s(x) for x in v)
    return int(round(v * SS * SCALE))


def vgradient(size, top, bottom):
    """RGB image fading vertically from colour top to colour bottom."""
    w, h = size
    mask = Image.linear_gradient("L").resize((w, h), Image.BILINEAR)
    return Image.composite(Image.new("RGB", size, bottom), Image.new("RGB", size, top), mask)


def hgradient(size, left, right):
    """RGB image fading horizontally from colour left to colour right."""
    w, h = size
    mask = Image.linear_gradient("L").rotate(90, expand=True).transpose(Image.FLIP_LEFT_RIGHT)
    mask = mask.resize((w, h), Image.BILINEAR)
    return Image.composite(Image.new("RGB", size, right), Image.new("RGB", size, left), mask)


def radial_mask(size, center, radius):
    """L mask: 0 at center rising to 255 at distance radius and beyond."""
    w, h = size
    out = Image.new("L", size, 255)
    r = max(1, int(round(radius)))
    disc = Image.radial_gradient("L").resize((2 * r, 2 * r), Image.BILINEAR)
    # radial_gradient reaches 255 only in its corners (distance 181 of 256);
    # stretch it so the value is 255 exactly at the round edge.
    disc = disc.point(lambda v: min(255, v * 255 // 181))
    out.paste(disc, (int(round(center[0])) - r, int(round(center[1])) - r))
    return out


def radial(size, center, radius, inner, outer):
    """RGB image with a round glow: colour inner at center fading to outer."""
    mask = radial_mask(size, center, radius)
    return Image.composite(Image.new("RGB", size, outer), Image.new("RGB", size, inner), mask)


def fill_mask(base, mask, colour_or_image):
    """Paint colour (or a same-size RGB image) onto base through an L mask."""
    if isinstance(colour_or_image, tuple):
        colour_or_image = Image.new(base.mode, base.size, colour_or_image)
    base.paste(colour_or_image, (0, 0), mask)


def add_light(base, mask, colour):
    """Additively blend a coloured light through an L mask (returns a new image)."""
    light = Image.composite(Image.new("RGB", base.size, colour), Image.new("RGB", base.size, 0), mask)
    return ImageChops.add(base, light)


def vstops(size, stops):
    """RGB image with a vertical gradient through several (position, colour) stops."""
    w, h = size
    col = Image.new("RGB", (1, h))
    px = col.load()
    for y in range(h):
        f = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= f <= p1:
                px[0, y] = mix(c0, c1, (f - p0) / max(1e-9, p1 - p0))
                break
    return col.resize((w, h), Image.NEAREST)


def star_points(cx, cy, r_out, r_in, points=5, rot=-90):
    """Polygon vertices of a star centred at (cx, cy)."""
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def arc_text_mask(size, center, radius, text, fnt, tracking=0):
    """L mask with text laid along the top of a circle, letters upright
    towards the outside, centred on the top of the circle."""
    mask = Image.new("L", size, 0)
    widths = [fnt.getlength(ch) for ch in text]
    total = sum(widths) + tracking * (len(text) - 1)
    angle = -math.pi / 2 - (total / 2) / radius
    tile = int(fnt.size * 2)
    for ch, w in zip(text, widths):
        mid = angle + (w / 2) / radius
        m, d = new_mask((tile, tile))
        d.text((tile / 2, tile / 2), ch, font=fnt, fill=255, anchor="mm")
        m = m.rotate(-math.degrees(mid + math.pi / 2), resample=Image.BICUBIC)
        x = center[0] + radius * math.cos(mid) - tile / 2
        y = center[1] + radius * math.sin(mid) - tile / 2
        box = (int(round(x)), int(round(y)))
        region = mask.crop(box + (box[0] + tile, box[1] + tile))
        mask.paste(ImageChops.lighter(region, m), box)
        angle += (w + tracking) / radius
    return mask


def shift(mask, dx, dy):
    """Copy of a mask moved by whole pixels, without wrapping around."""
    out = Image.new("L", mask.size, 0)
    out.paste(mask, (dx, dy))
    return out


def new_mask(size):
    """Blank L mask plus a drawing context for it."""
    m = Image.new("L", size, 0)
    return m, ImageDraw.Draw(m)


def text_mask(size, xy, text, fnt, anchor="mm", fill=255):
    """L mask with text drawn at xy using the given anchor."""
    m, d = new_mask(size)
    d.text(xy, text, font=fnt, fill=fill, anchor=anchor)
    return m


def glow(mask, radius, strength=1.0):
    """Soft blurred copy of a mask, used for halos and shadows."""
    g = mask.filter(ImageFilter.GaussianBlur(radius))
    if strength != 1.0:
        g = g.point(lambda v: min(255, int(v * strength)))
    return g


def down(img, size):
    """Scale the supersampled drawing to its final size (size in design pixels)."""
    return img.resize((size[0] * SCALE, size[1] * SCALE), Image.LANCZOS)


def out_path(folder, name):
    """Where the pass being drawn writes picture `name`: the name itself at
    1x; at 2x `stem@2x.png`, or `stem@2x.gif` for a GIF outside ui/art (a
    content file, kept in the format of its 1x twin)."""
    if SCALE == 1:
        return os.path.join(folder, name)
    stem, ext = os.path.splitext(name)
    ext = ext if folder != ART_DIR and ext == ".gif" else ".png"
    return os.path.join(folder, "%s@%dx%s" % (stem, SCALE, ext))


def save_picture(img, folder, name):
    """Saves a finished RGB picture of the current pass: in the format its
    name asks for at 1x (GIF and BMP with a 256-colour palette); the 2x PNGs
    keep every colour."""
    path = out_path(folder, name)
    if path.endswith(".gif"):
        save_gif(img, path)
    elif path.endswith(".bmp"):
        to_palette(img, 256).save(path, "BMP")
    else:
        img.save(path, "PNG")


def to_palette(img, colours=256):
    """Quantize an RGB image to an adaptive palette without dithering.

    Median cut keeps smooth gradients best but can swallow a small patch of
    a distinct colour (a lit ladder step, a red cross); octree keeps those.
    Both are tried and the one with the smaller worst-pixel error wins."""
    rgb = img.convert("RGB")
    best = None
    for method in (Image.Quantize.MEDIANCUT, Image.Quantize.FASTOCTREE):
        pal = rgb.quantize(colours, method=method, dither=Image.Dither.NONE)
        diff = ImageChops.difference(rgb, pal.convert("RGB")).convert("L")
        score = (diff.getextrema()[1], sum(diff.histogram()[i] * i for i in range(256)))
        if best is None or score < best[0]:
            best = (score, pal)
    return best[1]


def save_gif(img, path, colours=256):
    pal = to_palette(img, colours)
    pal.save(path, "GIF", optimize=False)
    return pal


def save_ico(img, path):
    """Write a single-image 32-bit ICO the classic way (BMP data plus AND mask),
    which every icon reader understands, including Windows XP and Qt."""
    img = img.convert("RGBA")
    w, h = img.size
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):            # bottom-up rows
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    andmask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        andmask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    data = header + bytes(xor) + bytes(andmask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + data)


# ----------------------------------------------------------------------------
# Lifeline buttons (61x29), available and used
# ----------------------------------------------------------------------------

BTN = (61, 29)


def lifeline_motif(kind):
    """Supersampled L mask of one lifeline symbol, centred in the button."""
    size = s(BTN)
    m, d = new_mask(size)
    if kind == "5050":
        f = font("sans_bold", s(13))
        d.text((s(30.5), s(14.6)), "50/50", font=f, fill=255, anchor="mm")
    elif kind == "phone":
        # desk telephone: handset resting above a rounded base with a dial
        d.rounded_rectangle(s((19, 4.5, 42, 8.5)), radius=s(2), fill=255)      # handle
        d.rounded_rectangle(s((16.5, 5.5, 24, 11.5)), radius=s(2.2), fill=255)  # ear cup
        d.rounded_rectangle(s((37, 5.5, 44.5, 11.5)), radius=s(2.2), fill=255)  # mouth cup
        d.polygon(s([(21, 13.2), (40, 13.2), (44, 23.5), (17, 23.5)]), fill=255)  # base
        d.rounded_rectangle(s((16.5, 20.5, 44.5, 24)), radius=s(1.2), fill=255)
        d.rectangle(s((28.5, 8, 32.5, 13.2)), fill=255)            # cradle
        d.ellipse(s((26, 14.3, 35, 23.3)), fill=0)                  # dial ring
        d.ellipse(s((27.3, 15.6, 33.7, 22.0)), fill=255)
        d.ellipse(s((29.3, 17.6, 31.7, 20.0)), fill=0)               # dial centre
    elif kind == "audience":
        # three voting bars on a base line, the middle one winning
        bars = [(18.5, 15.5), (27.5, 6.5), (36.5, 11.5)]
        for x, top in bars:
            d.rectangle(s((x, top, x + 6, 22.5)), fill=255)
        d.rectangle(s((16, 23.5, 45, 24.5)), fill=255)
    return m


def lifeline(kind, used):
    """A lifeline button: glossy oval with the motif; used ones are dimmed and crossed out."""
    size = s(BTN)
    w, h = size
    img = Image.new("RGB", size, (0, 0, 0))
    if used:
        rim_top, rim_bot = (70, 78, 98), (38, 42, 56)
        fill_top, fill_bot = (18, 20, 28), (6, 7, 10)
        motif_top, motif_bot = (100, 110, 136), (66, 74, 96)
    else:
        rim_top, rim_bot = (120, 190, 255), (30, 80, 190)
        fill_top, fill_bot = (12, 34, 92), (2, 8, 30)
        motif_top, motif_bot = (150, 210, 255), (60, 150, 255)

    outer, od = new_mask(size)
    od.ellipse(s((0.6, 0.6, 60.4, 28.4)), fill=255)
    inner, idr = new_mask(size)
    idr.ellipse(s((2.0, 2.0, 59.0, 27.0)), fill=255)
    fill_mask(img, outer, vgradient(size, rim_top, rim_bot))
    fill_mask(img, inner, vgradient(size, fill_top, fill_bot))

    # soft gloss on the upper half of the oval
    gloss, gd = new_mask(size)
    gd.ellipse(s((5, 2.6, 56, 14)), fill=70 if not used else 25)
    gloss = ImageChops.multiply(gloss.filter(ImageFilter.GaussianBlur(s(1.2))), inner)
    fill_mask(img, gloss, (200, 225, 255))

    motif = lifeline_motif(kind)
    fill_mask(img, glow(motif, s(1.4), 0.6), (0, 0, 0))           # dark halo for contrast
    fill_mask(img, motif, vgradient(size, motif_top, motif_bot))

    if used:
        cross, cd = new_mask(size)
        cd.line(s([(9, 3), (52, 26)]), fill=255, width=s(2.6))
        cd.line(s([(52, 3), (9, 26)]), fill=255, width=s(2.6))
        fill_mask(img, glow(cross, s(0.8)), (60, 0, 0))
        fill_mask(img, cross, vgradient(size, (255, 70, 60), (200, 20, 20)))
    return down(img, BTN)


def make_lifelines():
    """5050/phone/audience (available) into ui/art, their used twins into data/gfx."""
    names = {"5050": ("5050.gif", "5050d.gif"),
             "phone": ("phone.gif", "Phoned.gif"),
             "audience": ("audience.gif", "Audid.gif")}
    for kind, (avail, used) in names.items():
        save_picture(lifeline(kind, False), ART_DIR, avail)
        save_picture(lifeline(kind, True), GFX_DIR, used)


# ----------------------------------------------------------------------------
# Host portrait (84x91, 8-bit palette BMP)
# ----------------------------------------------------------------------------

HOST = (84, 91)


def make_host():
    """Illustrated, fictional presenter: greying hair, friendly smile, dark suit
    and tie, head and shoulders on a dark blue studio backdrop with blue rim light."""
    size = s(HOST)
    img = radial(size, s((42, 30)), s(62), (36, 70, 150), (3, 6, 26))

    # out-of-focus studio lights
    rnd = random.Random(84)
    bokeh, d = new_mask(size)
    for _ in range(14):
        x, y, r = rnd.uniform(0, 84), rnd.uniform(0, 56), rnd.uniform(1.5, 3.5)
        d.ellipse(s((x - r, y - r, x + r, y + r)), fill=rnd.randint(30, 70))
    fill_mask(img, bokeh.filter(ImageFilter.GaussianBlur(s(0.8))), (150, 130, 255))

    # faint light beams behind the host
    beams, bd = new_mask(size)
    for x0, x1 in ((2, 14), (66, 80)):
        bd.polygon(s([(x0, 0), (x1, 0), (42 + (x1 - 42) * 0.2, 91), (42 + (x0 - 42) * 0.2, 91)]), fill=40)
    fill_mask(img, beams.filter(ImageFilter.GaussianBlur(s(3))), (120, 140, 255))

    # --- suit, shirt and tie ---------------------------------------------
    body, d = new_mask(size)
    # smooth shoulder line: flat near the collar, dropping towards the edges
    pts = []
    for i in range(0, 41):
        t_ = i / 34.0
        pts.append((42 + 8 + i, 59.5 + 6 * t_ + 6 * t_ ** 4))
    left = [(84 - x, y) for x, y in reversed(pts)]
    d.polygon(s([(-2, 92)] + left + pts + [(86, 92)]), fill=255)
    fill_mask(img, body, vgradient(size, (48, 54, 72), (18, 20, 30)))
    # blue rim light along the shoulders
    rim = ImageChops.subtract(body, body.transform(size, Image.AFFINE, (1, 0, 0, 0, 1, -s(1.2))))
    fill_mask(img, rim.filter(ImageFilter.GaussianBlur(s(0.6))), (110, 150, 240))

    shirt, d = new_mask(size)
    d.polygon(s([(33, 60), (51, 60), (49, 70), (42, 88), (35, 70)]), fill=255)
    fill_mask(img, shirt, vgradient(size, (246, 248, 252), (196, 204, 220)))

    lapels, d = new_mask(size)
    d.polygon(s([(33, 59), (36, 68), (32, 71), (38, 75), (42, 90), (30, 91), (24, 66)]), fill=255)
    d.polygon(s([(51, 59), (48, 68), (52, 71), (46, 75), (42, 90), (54, 91), (60, 66)]), fill=255)
    fill_mask(img, glow(lapels, s(0.9), 0.8), (8, 9, 14))
    fill_mask(img, lapels, vgradient(size, (60, 66, 88), (26, 29, 42)))

    tie, d = new_mask(size)
    d.polygon(s([(39.5, 62), (44.5, 62), (43.6, 66.5), (40.4, 66.5)]), fill=255)      # knot
    d.polygon(s([(40.6, 67), (43.4, 67), (45.5, 84), (42, 89), (38.5, 84)]), fill=255)  # blade
    fill_mask(img, tie, vgradient(size, (200, 40, 56), (110, 14, 30)))
    stripes, d = new_mask(size)
    for y in range(66, 92, 4):
        d.line(s([(36, y), (48, y + 4)]), fill=255, width=s(0.9))
    fill_mask(img, ImageChops.multiply(stripes, tie), (236, 186, 80))
    # collar points over the knot
    collar, d = new_mask(size)
    d.polygon(s([(33, 58), (40, 62.5), (37.5, 67)]), fill=255)
    d.polygon(s([(51, 58), (44, 62.5), (46.5, 67)]), fill=255)
    fill_mask(img, collar, (250, 251, 255))

    # pocket square and a small gold lapel pin
    extras, d = new_mask(size)
    d.polygon(s([(55, 79), (62, 78), (61.5, 80.5), (55.3, 81)]), fill=255)
    fill_mask(img, extras, (236, 240, 250))
    pin, d = new_mask(size)
    d.ellipse(s((27.8, 71.5, 30.4, 74.1)), fill=255)
    fill_mask(img, pin, (240, 196, 80))

    # --- neck, ears and face ---------------------------------------------
    skin_lit, skin_mid, skin_dark = (246, 204, 168), (226, 170, 132), (170, 112, 86)
    neck, d = new_mask(size)
    d.rounded_rectangle(s((34.5, 44, 49.5, 62)), radius=s(4), fill=255)
    fill_mask(img, neck, vgradient(size, skin_dark, (140, 90, 70)))

    ears, d = new_mask(size)
    d.ellipse(s((24.5, 32, 30.5, 44)), fill=255)
    d.ellipse(s((53.5, 32, 59.5, 44)), fill=255)
    fill_mask(img, ears, skin_mid)
    inner_ear, d = new_mask(size)
    d.arc(s((26, 34, 30, 42)), 100, 260, fill=255, width=s(0.8))
    d.arc(s((54, 34, 58, 42)), 280, 80, fill=255, width=s(0.8))
    fill_mask(img, inner_ear, skin_dark)

    face, d = new_mask(size)
    d.ellipse(s((28, 15, 56, 50)), fill=255)
    d.rounded_rectangle(s((30.5, 32, 53.5, 54)), radius=s(9), fill=255)  # firmer jaw
    face_col = radial(size, s((39, 32)), s(22), skin_lit, skin_dark)
    fill_mask(img, face, face_col)
    # gentle shadow under the jaw on the neck
    jaw, d = new_mask(size)
    d.ellipse(s((32, 50, 52, 58)), fill=110)
    fill_mask(img, ImageChops.multiply(jaw.filter(ImageFilter.GaussianBlur(s(1))), neck), (90, 52, 40))

    # --- hair: dark grey on top, silver at the temples, neat side part --------
    hair_area, d = new_mask(size)
    d.ellipse(s((26.2, 12.5, 57.8, 46)), fill=255)
    hairline, d = new_mask(size)
    d.polygon(s([(10, 0), (74, 0), (74, 40), (56.3, 40), (55.5, 30), (52.5, 24.5), (47, 22.5),
                 (42, 23.5), (36, 22), (31.5, 24.5), (28.5, 30), (27.7, 40), (10, 40)]), fill=255)
    hair = ImageChops.multiply(hair_area, hairline.filter(ImageFilter.GaussianBlur(s(0.5))))
    hair_col = hgradient(size, (180, 182, 190), (120, 120, 128))
    top_col = vgradient(size, (92, 90, 96), (150, 150, 158))
    top, d = new_mask(size)
    d.ellipse(s((24, 6, 60, 34)), fill=255)
    hair_col.paste(top_col, (0, 0), top.filter(ImageFilter.GaussianBlur(s(3))))
    fill_mask(img, hair, hair_col)
    strands, d = new_mask(size)
    d.arc(s((35, 13, 62, 30)), 195, 260, fill=200, width=s(1))   # part / sheen
    d.arc(s((30, 14, 56, 28)), 200, 250, fill=120, width=s(0.8))
    d.arc(s((38, 15, 60, 27)), 275, 330, fill=110, width=s(0.8))
    fill_mask(img, ImageChops.multiply(strands, hair), (214, 216, 226))

    # --- features ---------------------------------------------------------
    feat, d = new_mask(size)
    d.arc(s((32, 29.5, 40, 35)), 200, 330, fill=255, width=s(1.3))   # eyebrows
    d.arc(s((44, 29.5, 52, 35)), 210, 340, fill=255, width=s(1.3))
    fill_mask(img, feat, (110, 104, 108))

    eyes, d = new_mask(size)
    d.ellipse(s((34, 34.2, 38.6, 38)), fill=255)
    d.ellipse(s((45.4, 34.2, 50, 38)), fill=255)
    fill_mask(img, eyes, (250, 250, 250))
    iris, d = new_mask(size)
    d.ellipse(s((35.3, 34.3, 38.1, 37.9)), fill=255)
    d.ellipse(s((46.3, 34.3, 49.1, 37.9)), fill=255)
    fill_mask(img, iris, (60, 90, 120))
    pupil, d = new_mask(size)
    d.ellipse(s((36.1, 35.1, 37.5, 37.1)), fill=255)
    d.ellipse(s((47.1, 35.1, 48.5, 37.1)), fill=255)
    fill_mask(img, pupil, (16, 16, 24))
    lids, d = new_mask(size)
    d.arc(s((33.6, 33.6, 39, 39)), 190, 350, fill=255, width=s(0.7))
    d.arc(s((45, 33.6, 50.4, 39)), 190, 350, fill=255, width=s(0.7))
    d.arc(s((34, 36.5, 38.6, 40.2)), 20, 160, fill=120, width=s(0.5))   # smile lines under eyes
    d.arc(s((45.4, 36.5, 50, 40.2)), 20, 160, fill=120, width=s(0.5))
    fill_mask(img, lids, (90, 50, 40))
    shine, d = new_mask(size)
    d.ellipse(s((37.0, 35.3, 37.7, 36.0)), fill=255)
    d.ellipse(s((48.0, 35.3, 48.7, 36.0)), fill=255)
    fill_mask(img, shine, (255, 255, 255))

    nose, d = new_mask(size)
    d.line(s([(42.8, 37), (43.6, 42.5)]), fill=90, width=s(0.8))
    d.arc(s((39.5, 40.5, 45.5, 44.5)), 20, 160, fill=200, width=s(1.0))
    fill_mask(img, nose.filter(ImageFilter.GaussianBlur(s(0.4))), (150, 92, 70))
    cheeks, d = new_mask(size)
    d.ellipse(s((31, 40, 37, 45)), fill=60)
    d.ellipse(s((47, 40, 53, 45)), fill=60)
    fill_mask(img, cheeks.filter(ImageFilter.GaussianBlur(s(1.2))), (230, 110, 100))

    # open, friendly grin: lower half-ellipse with a curved upper lip
    mouth, d = new_mask(size)
    d.chord(s((36.8, 41, 47.2, 50.2)), 0, 180, fill=255)
    d.ellipse(s((37.3, 39.6, 46.7, 47.0)), fill=0)
    fill_mask(img, mouth, (116, 30, 36))
    teeth, d = new_mask(size)
    d.ellipse(s((37.3, 41.0, 46.7, 48.4)), fill=255)
    fill_mask(img, ImageChops.multiply(teeth, mouth), (250, 248, 240))
    lip, d = new_mask(size)
    d.arc(s((36.4, 40.7, 47.6, 50.6)), 5, 175, fill=200, width=s(0.6))
    d.arc(s((33.8, 43, 37, 47)), 120, 230, fill=120, width=s(0.6))     # dimples
    d.arc(s((47, 43, 50.2, 47)), 310, 60, fill=120, width=s(0.6))
    fill_mask(img, lip, (150, 70, 60))

    # blue studio rim light on the shadow side of the head
    head = ImageChops.lighter(face, hair)
    head = ImageChops.lighter(head, ears)
    rim = ImageChops.subtract(head, head.transform(size, Image.AFFINE, (1, 0, -s(1.0), 0, 1, 0)))
    fill_mask(img, rim.filter(ImageFilter.GaussianBlur(s(0.5))).point(lambda v: v * 7 // 10), (120, 160, 255))

    save_picture(down(img, HOST), ART_DIR, "host.bmp")


# ----------------------------------------------------------------------------
# Studio (179x124)
# ----------------------------------------------------------------------------

STUDIO = (179, 124)


def ladder_screen(img, box):
    """Back-wall screen showing the 15-step prize ladder, step 5 lit."""
    size = img.size
    x0, y0, x1, y1 = box
    frame, d = new_mask(size)
    d.rounded_rectangle(s(box), radius=s(1.5), fill=255)
    fill_mask(img, glow(frame, s(3), 0.5), (40, 60, 160))
    fill_mask(img, frame, (70, 90, 160))
    panel, d = new_mask(size)
    d.rectangle(s((x0 + 1, y0 + 1, x1 - 1, y1 - 1)), fill=255)
    fill_mask(img, panel, vgradient(size, (8, 18, 70), (4, 8, 36)))
    rows = 15
    step = (y1 - y0 - 4) / rows
    for i in range(rows):
        y = y0 + 2.5 + i * step
        level = rows - i                      # top row is step 15
        bar, d = new_mask(size)
        d.rounded_rectangle(s((x0 + 3, y, x1 - 3, y + step * 0.62)), radius=s(0.4), fill=255)
        if level == 5:
            colour = (255, 170, 40)
        elif level in (10, 15):
            colour = (230, 230, 255)
        else:
            colour = (60, 110, 230)
        fill_mask(img, bar, colour)


def make_studio():
    """Dark studio: light beams, round glowing stage, two desks with a player
    (left) and the host (right) facing each other, ladder screen behind."""
    size = s(STUDIO)
    img = vgradient(size, (2, 2, 12), (14, 8, 38))

    # back wall arches and dim audience tiers at the sides
    arches, d = new_mask(size)
    for cx in (30, 149):
        for r in (40, 30):
            d.arc(s((cx - r, 18 - r * 0.3, cx + r, 18 + r * 1.7)), 190, 350, fill=120, width=s(1))
    img = add_light(img, glow(arches, s(0.8)), (60, 40, 140))
    crowd, d = new_mask(size)
    rnd = random.Random(179)
    for row in range(4):
        y = 62 + row * 6
        for side in (0, 1):
            for k in range(9 - row):
                x = (3 + k * 5.5 + row * 2.5) if side == 0 else (176 - k * 5.5 - row * 2.5)
                x += rnd.uniform(-0.8, 0.8)
                d.ellipse(s((x - 1.6, y - 1.6, x + 1.6, y + 1.6)), fill=255)
                d.rounded_rectangle(s((x - 2.4, y + 1.2, x + 2.4, y + 5)), radius=s(1.2), fill=255)
    fill_mask(img, crowd, (24, 18, 56))

    # light beams fanning down from the rig
    beams = [((18, -2), (70, 100), 5, (60, 80, 255)), ((161, -2), (109, 100), 5, (60, 80, 255)),
             ((50, -2), (30, 110), 4, (150, 60, 255)), ((129, -2), (149, 110), 4, (150, 60, 255)),
             ((89.5, -2), (89.5, 98), 6, (90, 120, 255)), ((0, 20), (60, 104), 4, (120, 50, 230)),
             ((179, 20), (119, 104), 4, (120, 50, 230))]
    for (sx, sy), (ex, ey), wdt, col in beams:
        beam, d = new_mask(size)
        dx, dy = ex - sx, ey - sy
        ln = math.hypot(dx, dy)
        nx, ny = -dy / ln, dx / ln
        spread = wdt * 2.6
        d.polygon(s([(sx + nx * wdt * 0.25, sy + ny * wdt * 0.25), (sx - nx * wdt * 0.25, sy - ny * wdt * 0.25),
                     (ex - nx * spread, ey - ny * spread), (ex + nx * spread, ey + ny * spread)]), fill=70)
        img = add_light(img, beam.filter(ImageFilter.GaussianBlur(s(2))), col)
    ladder_screen(img, (72, 6, 107, 50))

    # bright lamp heads along the top rig
    lamps, d = new_mask(size)
    for x in (18, 50, 89.5, 129, 161):
        d.ellipse(s((x - 2, -1.5, x + 2, 2.5)), fill=255)
    img = add_light(img, glow(lamps, s(2), 1.5), (140, 150, 255))
    img = add_light(img, lamps, (200, 210, 255))

    # round stage floor with glowing rings
    cx, cy, rx, ry = 89.5, 98, 84, 23
    floor, d = new_mask(size)
    d.ellipse(s((cx - rx, cy - ry, cx + rx, cy + ry)), fill=255)
    fill_mask(img, floor, radial(size, s((cx, cy)), s(rx), (40, 50, 140), (8, 10, 40)))
    rings, d = new_mask(size)
    for k, w in ((1.0, 1.2), (0.78, 0.8), (0.52, 0.8), (0.22, 0.8)):
        d.ellipse(s((cx - rx * k, cy - ry * k, cx + rx * k, cy + ry * k)), outline=255, width=s(w))
    for a in range(0, 360, 30):
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        d.line(s([(cx + rx * 0.22 * ca, cy + ry * 0.22 * sa), (cx + rx * 0.78 * ca, cy + ry * 0.78 * sa)]),
               fill=110, width=s(0.6))
    img = add_light(img, glow(rings, s(1.2), 1.2), (40, 90, 255))
    img = add_light(img, rings, (90, 140, 255))
    centre, d = new_mask(size)
    d.ellipse(s((cx - 30, cy - 8, cx + 30, cy + 8)), fill=150)
    img = add_light(img, centre.filter(ImageFilter.GaussianBlur(s(5))), (120, 100, 255))

    # two desks facing each other, player on the left, host on the right
    for side in (-1, 1):
        dx = cx + side * 36
        person, d = new_mask(size)
        hx = dx + side * 2.5
        d.ellipse(s((hx - 4.2, 58, hx + 4.2, 67)), fill=255)                      # head
        d.rounded_rectangle(s((hx - 8, 67.5, hx + 8, 88)), radius=s(5), fill=255)  # shoulders
        d.polygon(s([(hx - side * 4.2, 61.5), (hx - side * 5.6, 63.2), (hx - side * 4.2, 64.5)]), fill=255)  # nose
        fill_mask(img, person, (6, 6, 16))
        edge = ImageChops.subtract(person, person.transform(size, Image.AFFINE, (1, 0, side * s(1), 0, 1, 0)))
        img = add_light(img, edge.filter(ImageFilter.GaussianBlur(s(0.4))),
                        (150, 110, 255) if side < 0 else (90, 150, 255))

        desk, d = new_mask(size)
        d.polygon(s([(dx - 12, 79), (dx + 12, 79), (dx + 8, 101), (dx - 8, 101)]), fill=255)
        fill_mask(img, desk, hgradient(size, (20, 24, 70), (8, 8, 30)) if side < 0
                  else hgradient(size, (8, 8, 30), (20, 24, 70)))
        top, d = new_mask(size)
        d.rounded_rectangle(s((dx - 14, 76.5, dx + 14, 80)), radius=s(1.2), fill=255)
        fill_mask(img, top, vgradient(size, (120, 150, 255), (40, 60, 170)))
        trim, d = new_mask(size)
        d.line(s([(dx - 10.5, 84), (dx - 7, 99)]), fill=255, width=s(0.8))
        d.line(s([(dx + 10.5, 84), (dx + 7, 99)]), fill=255, width=s(0.8))
        d.line(s([(dx - 10, 90), (dx + 10, 90)]), fill=200, width=s(0.8))
        img = add_light(img, glow(trim, s(0.8)), (60, 80, 220))
        img = add_light(img, trim, (90, 130, 255))
        monitor, d = new_mask(size)
        mx = dx - side * 5
        d.polygon(s([(mx - 4, 76.5), (mx + 4, 76.5), (mx + 3 - side, 73), (mx - 3 - side, 73)]), fill=255)
        img = add_light(img, monitor, (60, 100, 200))

    save_picture(down(img, STUDIO), ART_DIR, "studio.gif")


# ----------------------------------------------------------------------------
# Show logo (260x260 on black) and program icon (32x32)
# ----------------------------------------------------------------------------

GOLD = [(0.0, (255, 244, 190)), (0.30, (236, 190, 80)), (0.50, (160, 100, 22)),
        (0.62, (206, 150, 50)), (0.80, (255, 226, 130)), (1.0, (170, 112, 28))]
GOLD_DARK = (90, 54, 8)


def ring_mask(size, c, r_out, r_in):
    """Supersampled L mask of an annulus (coordinates in final pixels)."""
    m, d = new_mask(size)
    d.ellipse(s((c - r_out, c - r_out, c + r_out, c + r_out)), fill=255)
    d.ellipse(s((c - r_in, c - r_in, c + r_in, c + r_in)), fill=0)
    return m


def disc_mask(size, c, r):
    m, d = new_mask(size)
    d.ellipse(s((c - r, c - r, c + r, c + r)), fill=255)
    return m


def staircase_mask(size, x0, base, n, step_w, step_h, depth):
    """Masks (top faces, front faces, side faces) of n blocks rising to the right."""
    tops, td = new_mask(size)
    fronts, fd = new_mask(size)
    sides, sd = new_mask(size)
    for i in range(n):
        xl = x0 + i * step_w
        xr = xl + step_w
        yt = base - (i + 1) * step_h
        fd.rectangle(s((xl, yt, xr, base)), fill=255)
        td.polygon(s([(xl, yt), (xr, yt), (xr + depth, yt - depth), (xl + depth, yt - depth)]), fill=255)
        if i == n - 1:
            sd.polygon(s([(xr, yt), (xr + depth, yt - depth), (xr + depth, base - depth), (xr, base)]), fill=255)
    return tops, fronts, sides


def logo_art(px, with_text=True):
    """The round show emblem drawn for a final size of px x px, RGB on black
    plus its coverage mask (for the transparent icon)."""
    size = s((px, px))
    k = px / 260.0                       # all geometry designed at 260 px
    c = px / 2.0
    img = Image.new("RGB", size, (0, 0, 0))

    # blue halo behind the emblem
    halo = disc_mask(size, c, 126 * k)
    img = add_light(img, glow(halo, s(6 * k), 0.6), (30, 70, 200))

    outer = 124 * k
    ring_in = 106 * k if with_text else 100 * k
    band_in = 82 * k if with_text else ring_in
    # gold outer ring with a dark bevel line inside and out
    fill_mask(img, disc_mask(size, c, outer), GOLD_DARK)
    fill_mask(img, ring_mask(size, c, outer - 1.5 * k, ring_in + 1.5 * k), vstops(size, GOLD))
    hl, d = new_mask(size)
    d.arc(s((c - outer + 4 * k, c - outer + 4 * k, c + outer - 4 * k, c + outer - 4 * k)), 200, 290,
          fill=255, width=s(max(0.6, 2.5 * k)))
    img = add_light(img, hl.filter(ImageFilter.GaussianBlur(s(1.2 * k))), (120, 110, 80))

    # deep blue inner field with a bright centre-top
    field = disc_mask(size, c, ring_in)
    fill_mask(img, field, radial(size, s((c, c - 20 * k)), s(ring_in * 1.15), (46, 100, 220), (4, 12, 60)))

    if with_text:
        # blue band carrying the name, closed by a thin gold ring
        fill_mask(img, ring_mask(size, c, ring_in, band_in),
                  radial(size, s((c, c)), s(ring_in), (4, 14, 70), (10, 36, 130)))
        fill_mask(img, ring_mask(size, c, band_in + 1.2 * k, band_in - 1.5 * k), vstops(size, GOLD))
        fnt = font("pt_bold", s(21 * k))
        txt = arc_text_mask(size, s((c, c)), s(94 * k), "СТУПЕНИОН", fnt, tracking=s(2.6 * k))
        fill_mask(img, glow(txt, s(1.2 * k)), (0, 0, 20))
        fill_mask(img, txt, vstops(size, [(0.0, (255, 250, 210)), (0.2, (255, 214, 100)),
                                          (0.4, (220, 150, 40)), (1.0, (220, 150, 40))]))
        stars, d = new_mask(size)
        for a in (55, 72, 90, 108, 125):
            ax, ay = c + 94 * k * math.cos(math.radians(a)), c + 94 * k * math.sin(math.radians(a))
            r = (6.5 if a == 90 else 4.5) * k
            d.polygon(s(star_points(ax, ay, r, r * 0.42)), fill=255)
        fill_mask(img, stars, (255, 214, 100))
        inner = band_in - 1.5 * k
    else:
        inner = ring_in

    # staircase geometry (260 px design units): steps, width, height, left, base
    n, sw, sh, left, bottom, qsize = (5, 18, 11.5, -66, 58, 94) if with_text else (3, 34, 22, -76, 66, 128)
    step_w, step_h, depth = sw * k, sh * k, 5 * k
    x0, base = c + left * k, c + bottom * k
    top_x = x0 + (n - 1) * step_w + step_w / 2 + depth / 2   # middle of the top step
    top_y = base - n * step_h - depth / 2
    qx, qy = top_x, top_y - 2 * k                              # baseline of the question mark

    # sunburst rays from behind the question mark
    rays, d = new_mask(size)
    rx, ry = qx, qy - 36 * k
    for i in range(16):
        a = math.radians(i * 22.5 + 5)
        b = math.radians(i * 22.5 + 13)
        d.polygon(s([(rx, ry), (rx + 200 * k * math.cos(a), ry + 200 * k * math.sin(a)),
                     (rx + 200 * k * math.cos(b), ry + 200 * k * math.sin(b))]), fill=38)
    img = add_light(img, ImageChops.multiply(rays, disc_mask(size, c, inner)), (90, 140, 255))
    spot, d = new_mask(size)
    d.ellipse(s((rx - 40 * k, ry - 40 * k, rx + 40 * k, ry + 40 * k)), fill=120)
    img = add_light(img, ImageChops.multiply(spot.filter(ImageFilter.GaussianBlur(s(14 * k))),
                                             disc_mask(size, c, inner)), (60, 90, 200))

    # staircase climbing from lower left up to the question mark
    clip = disc_mask(size, c, inner - 0.5 * k)
    tops, fronts, sides = staircase_mask(size, x0, base, n, step_w, step_h, depth)
    for m in (tops, fronts, sides):
        m.paste(ImageChops.multiply(m, clip))
    shadow = ImageChops.lighter(ImageChops.lighter(tops, fronts), sides)
    fill_mask(img, glow(shadow, s(2 * k)), (0, 0, 20))
    fill_mask(img, fronts, vstops(size, [(0.0, (250, 250, 255)), (0.55, (160, 190, 240)),
                                         (1.0, (60, 90, 170))]))
    fill_mask(img, sides, (80, 110, 190))
    fill_mask(img, tops, (255, 226, 130))
    edges, d = new_mask(size)
    for i in range(n):
        xl = x0 + i * step_w
        yt = base - (i + 1) * step_h
        d.line(s([(xl, yt), (xl, base)]), fill=140, width=s(max(0.4, 0.8 * k)))
    fill_mask(img, ImageChops.multiply(edges, clip), (30, 50, 110))

    # the big golden question mark standing on the top step
    qf = font("serif_bold", s(qsize * k))
    q = text_mask(size, s((qx, qy)), "?", qf, anchor="ms")
    fill_mask(img, glow(q, s(3 * k)), (0, 0, 10))
    outline = q.filter(ImageFilter.MaxFilter(2 * int(s(max(0.5, 1.6 * k))) + 1))
    fill_mask(img, outline, GOLD_DARK)
    fill_mask(img, q, vstops(size, GOLD))
    shine, d = new_mask(size)
    d.ellipse(s((qx - 40 * k, qy - 100 * k, qx + 10 * k, qy - 50 * k)), fill=90)
    img = add_light(img, ImageChops.multiply(shine.filter(ImageFilter.GaussianBlur(s(6 * k))), q),
                    (120, 110, 80))

    coverage = disc_mask(size, c, outer)
    return down(img, (px, px)), down(coverage, (px, px))


def make_logo():
    """Large emblem with the curved name, for the title screen."""
    img, _ = logo_art(260, with_text=True)
    save_picture(img, ART_DIR, "logo.gif")


def make_icon():
    """Small emblem without lettering: a bigger staircase and '?' stay readable at 32 px."""
    img, cover = logo_art(32, with_text=False)
    rgba = img.convert("RGBA")
    rgba.putalpha(cover)
    rgba.save(out_path(ART_DIR, "icon.png"), "PNG")
    if SCALE == 1:
        save_ico(rgba, os.path.join(ART_DIR, "icon.ico"))


DESKTOP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
HICOLOR_DIR = os.path.join(ART_DIR, "hicolor")


def make_desktop_icons():
    """The launcher icon in every size a desktop asks for, each drawn for its
    own size: up to 64 px the emblem without lettering (as the window icon),
    larger with the show's name along the ring, where it can be read."""
    os.makedirs(HICOLOR_DIR, exist_ok=True)
    for px in DESKTOP_ICON_SIZES:
        img, cover = logo_art(px, with_text=px >= 128)
        rgba = img.convert("RGBA")
        rgba.putalpha(cover)
        rgba.save(os.path.join(HICOLOR_DIR, "kvizora-%d.png" % px), "PNG")


# ----------------------------------------------------------------------------
# Banknotes of the game (152x65 each)
# ----------------------------------------------------------------------------

NOTE = (152, 65)
PAPER = (246, 241, 226)
NOTES = {  # value: (ink colour, value in words)
    5: ((24, 112, 118), "ПЯТЬ РУБЛЕЙ"),
    50: ((66, 92, 124), "ПЯТЬДЕСЯТ РУБЛЕЙ"),
    100: ((112, 92, 38), "СТО РУБЛЕЙ"),
    500: ((104, 60, 150), "ПЯТЬСОТ РУБЛЕЙ"),
}


def guilloche_rosette(d, cx, cy, r_in, r_out, lobes, rings, width):
    """Interlaced wavy rings, the classic engraved rosette, into drawing d."""
    steps = 360
    for j in range(rings):
        phase = j * 2 * math.pi / (rings * lobes)
        pts = []
        for i in range(steps + 1):
            a = i * 2 * math.pi / steps
            r = (r_in + r_out) / 2 + (r_out - r_in) / 2 * math.sin(lobes * a + phase * lobes)
            pts.append(s((cx + r * math.cos(a), cy + r * math.sin(a))))
        d.line(pts, fill=255, width=width)


def make_note(value):
    """One invented banknote: tinted paper, wave guilloche, rope frame, big
    value on the left, engraved rosette with the show's staircase emblem on
    the right, lettering in the note's own colour."""
    ink, words = NOTES[value]
    size = s(NOTE)
    w, h = NOTE
    paper_top = mix(ink, PAPER, 0.86)
    paper_bot = mix(ink, PAPER, 0.74)
    img = vgradient(size, paper_top, paper_bot)
    light_ink = mix(ink, PAPER, 0.45)

    # background wave guilloche: two families of sine lines crossing
    waves, d = new_mask(size)
    for k in range(-2, 14):
        for sign in (1, -1):
            pts = []
            for i in range(0, 153 * 2 + 1):
                x = i / 2.0
                y = k * 5.5 + sign * 2.4 * math.sin(x * 2 * math.pi / 19 + k * 0.6)
                pts.append(s((x, y)))
            d.line(pts, fill=150, width=s(0.3))
    fill_mask(img, waves, light_ink)

    # lighter oval under the big value so it stands out of the pattern
    plate, d = new_mask(size)
    d.ellipse(s((10, 15, 72, 53)), fill=200)
    fill_mask(img, plate.filter(ImageFilter.GaussianBlur(s(3))), paper_top)

    # frame: solid outer line, twisted rope band, thin inner line
    frame, d = new_mask(size)
    d.rectangle(s((1, 1, w - 1, h - 1)), outline=255, width=s(1.2))
    d.rectangle(s((6.2, 6.2, w - 6.2, h - 6.2)), outline=255, width=s(0.5))
    for phase in (0, math.pi):
        for edge in range(4):
            pts = []
            length = (w - 7) if edge in (0, 2) else (h - 7)
            for i in range(int(length * 3) + 1):
                u = i / 3.0
                off = 1.3 * math.sin(u * 2 * math.pi / 5 + phase)
                if edge == 0:
                    pts.append((3.5 + u, 3.6 + off))
                elif edge == 1:
                    pts.append((w - 3.6 + off, 3.5 + u))
                elif edge == 2:
                    pts.append((3.5 + u, h - 3.6 + off))
                else:
                    pts.append((3.6 + off, 3.5 + u))
            d.line([s(p) for p in pts], fill=255, width=s(0.5))
    fill_mask(img, frame, ink)
    corners, d = new_mask(size)
    for cx, cy in ((4, 4), (w - 4, 4), (4, h - 4), (w - 4, h - 4)):
        d.ellipse(s((cx - 3.2, cy - 3.2, cx + 3.2, cy + 3.2)), fill=255)
    fill_mask(img, corners, ink)
    dots, d = new_mask(size)
    for cx, cy in ((4, 4), (w - 4, 4), (4, h - 4), (w - 4, h - 4)):
        d.polygon(s(star_points(cx, cy, 2.4, 1.0, 4, -90)), fill=255)
    fill_mask(img, dots, paper_top)

    # engraved rosette with the show's question mark in its centre
    mx, my = 117, 35
    ros, d = new_mask(size)
    guilloche_rosette(d, mx, my, 14, 19.5, 12, 4, s(0.5))
    guilloche_rosette(d, mx, my, 9.5, 13, 8, 3, s(0.45))
    d.ellipse(s((mx - 20.5, my - 20.5, mx + 20.5, my + 20.5)), outline=255, width=s(0.6))
    fill_mask(img, ros, ink)
    centre, d = new_mask(size)
    d.ellipse(s((mx - 8.5, my - 8.5, mx + 8.5, my + 8.5)), fill=255)
    fill_mask(img, centre, mix(ink, PAPER, 0.55))
    emb, d = new_mask(size)
    d.ellipse(s((mx - 8.5, my - 8.5, mx + 8.5, my + 8.5)), outline=255, width=s(0.7))
    d.text(s((mx, my + 0.5)), "?", font=font("serif_bold", s(15)), fill=255, anchor="mm")
    fill_mask(img, emb, mix(ink, (0, 0, 0), 0.3))

    # big value with a paper-coloured outline, shadowed in a darker ink
    dark = mix(ink, (0, 0, 0), 0.35)
    big = font("serif_bold", s(30 if value < 100 else 26))
    num = text_mask(size, s((41, 31)), str(value), big)
    fill_mask(img, num.filter(ImageFilter.MaxFilter(2 * s(1) + 1)), PAPER)
    fill_mask(img, shift(num, s(0.8), s(0.8)), mix(ink, (0, 0, 0), 0.6))
    fill_mask(img, num, vgradient(size, mix(ink, (255, 255, 255), 0.15), dark))

    img = down(img, NOTE)

    # small lettering drawn at final size, where hinting keeps it sharp (at
    # 2x on the 2x canvas with twice the type size, sharp there too)
    d = ImageDraw.Draw(img)
    d.text((43 * SCALE, 12 * SCALE), "БИЛЕТ СТУПЕНИОНА", font=font("narrow_bold", 8 * SCALE), fill=dark, anchor="mm")
    d.text((41 * SCALE, 50 * SCALE), words, font=font("narrow_bold", 8 * SCALE), fill=dark, anchor="mm")
    serial = "СТ %07d" % (value * 13579 % 10000000)
    d.text((117 * SCALE, 11.5 * SCALE), serial, font=font("narrow_bold", 7 * SCALE), fill=(176, 30, 30), anchor="mm")
    return img


def make_notes():
    """note5.gif, note50.gif, note100.gif and note500.gif."""
    for value in NOTES:
        save_picture(make_note(value), ART_DIR, "note%d.gif" % value)


# ----------------------------------------------------------------------------
# Pointing-hand cursor (32x32 RGBA, hot spot at the index fingertip)
# ----------------------------------------------------------------------------

HAND = (32, 32)
HAND_HOTSPOT = (12, 1)

# Pixel map of the cursor: '#' black outline, 'o' white, '+' light grey
# shading, '.' transparent.  A cursor has to be pixel-exact (crisp edges and
# a known hot spot), so it is laid out pixel by pixel instead of being
# drawn smooth and scaled down.
HAND_PIXELS = [
    "................................",
    "...........###..................",
    "..........#ooo#.................",
    ".........#oooo+#................",
    ".........#oooo+#................",
    ".........#oooo+#................",
    ".........#oooo+#................",
    ".........#oooo+#................",
    ".........#oooo+####.............",
    ".........#oooo+#ooo####.........",
    ".........#oooo+#oo+#ooo#........",
    ".........#oooo+#oo+#oo+###......",
    ".........#oooo+#oo+#oo+#o+#.....",
    ".........#oooo+#oo+#oo+#o+#.....",
    "....###..#oooo+#oo+#oo+#o+#.....",
    "...#ooo#.#oooo+#oo+#oo+#o+#.....",
    "...#oooo##ooooooooooooooo+#.....",
    "....#oooo#ooooooooooooooo+#.....",
    ".....#ooooooooooooooooooo+#.....",
    "......#oooooooooooooooooo+#.....",
    ".......#ooooooooooooooooo+#.....",
    "........#oooooooooooooooo+#.....",
    "........#oooooooooooooooo+#.....",
    "........#oooooooooooooooo+#.....",
    ".........#ooooooooooooooo+#.....",
    "..........#################.....",
    "..........#oooooooooooooo+#.....",
    "..........#oooooooooooooo+#.....",
    "..........#oooooooooooooo+#.....",
    "..........#################.....",
    "................................",
    "................................",
]

HAND_COLOURS = {"#": (0, 0, 0, 255), "o": (255, 255, 255, 255),
                "+": (196, 198, 208, 255), ".": (0, 0, 0, 0)}


def make_hand():
    """White pointing hand, index finger up with its tip outline on
    HAND_HOTSPOT, the other fingers folded, thumb out to the left."""
    img = Image.new("RGBA", HAND, (0, 0, 0, 0))
    px = img.load()
    for y, row in enumerate(HAND_PIXELS):
        for x, ch in enumerate(row):
            px[x, y] = HAND_COLOURS[ch]
    assert px[HAND_HOTSPOT][3] == 255 and not any(px[x, 0][3] for x in range(32))
    img.save(os.path.join(ART_DIR, "hand.png"), "PNG")


def hand_shapes(d, grow):
    """The 2x hand as smooth shapes in design pixels (those of HAND_PIXELS,
    pixel edges as coordinates), each grown by `grow` design pixels all
    round: grown by the outline width they give the outline, ungrown the
    white fill."""
    def rrect(box, radius):
        x0, y0, x1, y1 = box
        d.rounded_rectangle(s((x0 - grow, y0 - grow, x1 + grow, y1 + grow)), radius=s(radius + grow), fill=255)

    def capsule(a, b, radius):
        r = radius + grow
        d.line(s([a, b]), fill=255, width=s(2 * r))
        for cx, cy in (a, b):
            d.ellipse(s((cx - r, cy - r, cx + r, cy + r)), fill=255)

    def polygon(points):
        d.polygon(s(points), fill=255)
        if grow:
            for p, q in zip(points, points[1:] + points[:1]):
                capsule(p, q, 0)

    rrect((10, 2, 15, 17), 2.5)        # index finger, its tip on the hot spot
    rrect((16, 9, 19, 17), 1.5)        # folded middle,
    rrect((20, 10, 23, 17), 1.5)       # ring
    rrect((24, 12, 26, 17), 1.0)       # and little finger
    polygon([(10, 16), (26, 16), (26, 25), (10.5, 25), (9, 23.5), (9, 19)])   # palm
    capsule((5.6, 17.0), (10.0, 21.0), 2.1)                                   # thumb
    rrect((11, 26, 26, 29), 0.5)       # cuff


def make_hand_2x():
    """The pointing hand of HAND_PIXELS drawn smooth at 64x64: the same
    fingers, thumb, palm and cuff, a 2-pixel black outline, grey shading down
    the right side of each finger, and the fingertip's outline on the hot
    spot (12, 1) in design pixels, (24, 2) in its own.  Drawn 4x over and
    reduced by averaging (BOX), which cannot ring into a faint halo round
    the cursor as LANCZOS can."""
    size = s(HAND)
    outline, d = new_mask(size)
    hand_shapes(d, 1.0)
    fill, d = new_mask(size)
    hand_shapes(d, 0)
    # the thumb's edge where it folds against the palm
    d.line(s([(9.4, 15.8), (9.6, 18.2)]), fill=0, width=s(1))
    for cx, cy in ((9.4, 15.8), (9.6, 18.2)):
        d.ellipse(s((cx - 0.5, cy - 0.5, cx + 0.5, cy + 0.5)), fill=0)

    img = Image.new("RGB", size, (0, 0, 0))
    fill_mask(img, fill, HAND_COLOURS["o"][:3])
    shade, d = new_mask(size)
    for x0, x1, y1 in ((14, 15, 16), (18, 19, 16), (22, 23, 16), (25, 26, 30)):
        d.rectangle(s((x0, 0, x1, y1)), fill=255)
    fill_mask(img, ImageChops.multiply(shade, fill), HAND_COLOURS["+"][:3])

    final = (HAND[0] * SCALE, HAND[1] * SCALE)
    rgba = img.resize(final, Image.BOX)
    rgba.putalpha(outline.resize(final, Image.BOX))
    hot = (HAND_HOTSPOT[0] * SCALE, HAND_HOTSPOT[1] * SCALE)
    px = rgba.load()
    assert px[hot][3] >= 192 and not any(px[x, y][3] for x in range(final[0]) for y in range(SCALE))
    rgba.save(out_path(ART_DIR, "hand.png"), "PNG")

def main():
    """Regenerate every picture; running it twice gives identical files."""
    global SCALE
    os.makedirs(ART_DIR, exist_ok=True)
    os.makedirs(GFX_DIR, exist_ok=True)
    for SCALE in (1, 2):
        make_lifelines()
        make_host()
        make_studio()
        make_logo()
        make_icon()
        make_notes()
        if SCALE == 1:
            make_desktop_icons()   # one file per size already
            make_hand()
        else:
            make_hand_2x()
    SCALE = 1


if __name__ == "__main__":
    main()
