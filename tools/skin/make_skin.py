#!/usr/bin/env python3
"""Generates the skins and language files that Tavrin ships.

Run from the repository root:

    python3 tools/skin/make_skin.py

Needs Python 3 with Pillow (Debian/Ubuntu: apt-get install python3-pil; where python3 is a
separate installation without it, run /usr/bin/python3) and the DejaVu fonts for the logo
word. Captions are measured with Liberation Sans when it is installed, and any that would
not fit their control is reported. The output is the same on every run, so regenerated files
only show up in a diff when this script changed.

Writes:
  resources/Skin/<Midnight|Ember>/SkinSetting.ini, *.png, MainForm_Frame.rgn
  resources/Language/English/Language.ini   (ASCII)
  resources/Language/Russian/Language.ini   (UTF-16LE with BOM: the profile API reads
                                              non-ASCII text correctly only from Unicode files)
  resources/SetupBackground/<screen-size folder>/SetupBackground.jpg (the setup's background)

Geometry comes from resources/MainForm.design: every picture is drawn at the size of the
control that shows it, so SkinSetting.ini mostly names files and the controls keep their
designed positions. Pictures of controls that never move are flattened onto whatever lies
beneath them on their page; pictures that move (slider thumbs, speakers) keep an alpha
channel.

Options: --out DIR writes below DIR instead of the repository's resources folder.
"""

import argparse
import hashlib
import io
import math
import os
import re
import struct
import sys
from collections import OrderedDict

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:  # pragma: no cover - environment problem, not a code path
    sys.exit("make_skin.py needs Pillow (apt-get install python3-pil)")

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DESIGN = os.path.join(REPO, "resources", "MainForm.design")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

S = 4  # supersampling factor for anti-aliased drawing
try:
    BOX = Image.Resampling.BOX
    NEAREST = Image.Resampling.NEAREST
    BILINEAR = Image.Resampling.BILINEAR
except AttributeError:  # Pillow < 9.1
    BOX, NEAREST, BILINEAR = Image.BOX, Image.NEAREST, Image.BILINEAR


# --------------------------------------------------------------------------------------------
# Window design


class Comp:
    def __init__(self, kind, name, page, x, y, w, h, props):
        self.kind, self.name, self.page = kind, name, page
        self.x, self.y, self.w, self.h = x, y, w, h
        self.props = props

    @property
    def rect(self):
        return (self.x, self.y, self.x + self.w, self.y + self.h)


def load_design(path=DESIGN):
    comps = OrderedDict()
    page = 0
    client = None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line:
                continue
            if line.startswith("#"):
                m = re.match(r"#\s*Page\s+(\d+)", line)
                if m:
                    page = int(m.group(1))
                continue
            parts = line.split()
            if parts[0] == "Form":
                client = tuple(int(v) for v in parts[1].split("=")[1].split(","))
                continue
            kind, name = parts[0], parts[1]
            props = {}
            for tok in parts[2:]:
                if "=" in tok:
                    k, v = tok.split("=", 1)
                    props[k] = v
                else:
                    props[tok] = True
            x, y, w, h = (int(v) for v in props["at"].split(","))
            comps[name] = Comp(kind, name, page, x, y, w, h, props)
    if client is None:
        raise SystemExit("design has no Form line")
    return client, comps


# --------------------------------------------------------------------------------------------
# Colours


def mix(a, b, t):
    """a at t=0, b at t=1; keeps a's alpha unless both carry one."""
    t = max(0.0, min(1.0, t))
    n = max(len(a), len(b))
    a = tuple(a) + (255,) * (n - len(a))
    b = tuple(b) + (255,) * (n - len(b))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(n))


def alpha(c, a):
    return (c[0], c[1], c[2], int(round(a * 255)) if isinstance(a, float) else a)


def rgba(c):
    return tuple(c) if len(c) == 4 else (c[0], c[1], c[2], 255)


WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def hexc(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


class Theme:
    def __init__(self, name, **kw):
        self.name = name
        self.__dict__.update({k: hexc(v) if isinstance(v, str) else v for k, v in kw.items()})
        # Derived tones used by every state picture.
        self.down_top = mix(self.accent, self.panel, 0.50)
        self.down_bot = mix(self.accent, self.panel, 0.70)
        self.down_border = mix(self.accent, WHITE, 0.15)


THEMES = [
    Theme(
        "Midnight",
        accent="#3d9bff", accent_hi="#8cc8ff", accent_deep="#1b58c4", accent2="#9a7cff",
        warm="#ff8a5c",
        corner="#06080b", win_top="#141a24", win_bot="#0b0e14",
        header_top="#1a212e", header_bot="#121720", header_line="#252e3e",
        card_top="#171d28", card_bot="#131821", card_border="#242d3c",
        panel="#121722", panel_border="#242d3c", panel_hi="#1c2330",
        well="#0d1119", well_border="#1f2735",
        btn_top="#222a39", btn_bot="#1a2030", btn_border="#323d51",
        glyph="#8794a8", glyph_hi="#d3dcea", track="#0a0d13", tick="#3a4558",
        room_a="#1a2233", room_b="#101622", skin="#c9d2de",
    ),
    Theme(
        "Ember",
        accent="#ffa13d", accent_hi="#ffd08f", accent_deep="#d4661a", accent2="#ff5f6d",
        warm="#ff6a3d",
        corner="#080605", win_top="#1e1814", win_bot="#0f0c0a",
        header_top="#261f1a", header_bot="#1a1512", header_line="#352b23",
        card_top="#201a16", card_bot="#1a1512", card_border="#352b23",
        panel="#1a1511", panel_border="#352b23", panel_hi="#261f1a",
        well="#13100d", well_border="#2b231d",
        btn_top="#2d2520", btn_bot="#231d18", btn_border="#45382e",
        glyph="#a89886", glyph_hi="#ece0d2", track="#0e0b09", tick="#54473c",
        room_a="#2a211b", room_b="#17120f", skin="#e2d6c8",
    ),
]


# --------------------------------------------------------------------------------------------
# Drawing surface: everything is drawn at S times the size and box-filtered down, which gives
# clean anti-aliased edges without any anti-aliasing support in ImageDraw.


class Pic:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))

    # geometry ------------------------------------------------------------------------------
    @staticmethod
    def b(box):
        x0, y0, x1, y1 = box
        return [round(x0 * S), round(y0 * S), round(x1 * S) - 1, round(y1 * S) - 1]

    @staticmethod
    def pt(points):
        return [(x * S, y * S) for x, y in points]

    def mask(self):
        return Image.new("L", self.im.size, 0)

    def rr_mask(self, box, r):
        m = self.mask()
        if box[2] - box[0] > 0 and box[3] - box[1] > 0:
            r = max(0, min(r, (box[2] - box[0]) / 2, (box[3] - box[1]) / 2))
            ImageDraw.Draw(m).rounded_rectangle(self.b(box), radius=round(r * S), fill=255)
        return m

    def rect_mask(self, box):
        m = self.mask()
        ImageDraw.Draw(m).rectangle(self.b(box), fill=255)
        return m

    def ellipse_mask(self, box):
        m = self.mask()
        ImageDraw.Draw(m).ellipse(self.b(box), fill=255)
        return m

    def poly_mask(self, points):
        m = self.mask()
        ImageDraw.Draw(m).polygon(self.pt(points), fill=255)
        return m

    def stroke_mask(self, points, width, caps=True):
        m = self.mask()
        d = ImageDraw.Draw(m)
        w = max(1, round(width * S))
        d.line(self.pt(points), fill=255, width=w, joint="curve")
        if caps:
            r = width * S / 2
            for x, y in (points[0], points[-1]):
                d.ellipse([x * S - r, y * S - r, x * S + r - 1, y * S + r - 1], fill=255)
        return m

    def arc_mask(self, box, start, end, width, caps=True):
        m = self.mask()
        d = ImageDraw.Draw(m)
        d.arc(self.b(box), start, end, fill=255, width=max(1, round(width * S)))
        if caps:
            cx, cy = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
            rx, ry = (box[2] - box[0]) / 2 - width / 2, (box[3] - box[1]) / 2 - width / 2
            r = width * S / 2
            for a in (start, end):
                x = (cx + rx * math.cos(math.radians(a))) * S
                y = (cy + ry * math.sin(math.radians(a))) * S
                d.ellipse([x - r, y - r, x + r - 1, y + r - 1], fill=255)
        return m

    def text_mask(self, xy, text, size, bold=True, spacing=0.0):
        m = self.mask()
        path = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf")
        font = ImageFont.truetype(path, round(size * S))
        d = ImageDraw.Draw(m)
        x, y = xy
        for ch in text:
            d.text((x * S, y * S), ch, font=font, fill=255)
            x += font.getlength(ch) / S + spacing
        return m

    # paints --------------------------------------------------------------------------------
    def vgrad(self, c0, c1, y0=0.0, y1=None):
        y1 = self.h if y1 is None else y1
        H = self.im.size[1]
        col = Image.new("RGBA", (1, H))
        col.putdata([rgba(mix(rgba(c0), rgba(c1), ((yy + 0.5) / S - y0) / max(1e-6, y1 - y0)))
                     for yy in range(H)])
        return col.resize(self.im.size, NEAREST)

    def hgrad(self, c0, c1, x0=0.0, x1=None, stops=None):
        x1 = self.w if x1 is None else x1
        W = self.im.size[0]
        stops = stops or [(0.0, c0), (1.0, c1)]
        row = []
        for xx in range(W):
            t = max(0.0, min(1.0, ((xx + 0.5) / S - x0) / max(1e-6, x1 - x0)))
            for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
                if t <= tb:
                    row.append(rgba(mix(rgba(ca), rgba(cb), (t - ta) / max(1e-6, tb - ta))))
                    break
            else:
                row.append(rgba(stops[-1][1]))
        line = Image.new("RGBA", (W, 1))
        line.putdata(row)
        return line.resize(self.im.size, NEAREST)

    def rgrad(self, centre, radius, c_in, c_out):
        """Radial paint: c_in at the centre, c_out from radius outwards."""
        g = Image.radial_gradient("L")  # 256x256, 0 in the centre, 255 at radius 128
        size = round(radius * 2 * S * 255 / 256 * 256 / 255)
        g = g.resize((size, size), BILINEAR)
        t = Image.new("L", self.im.size, 255)
        cx, cy = centre
        t.paste(g, (round(cx * S - size / 2), round(cy * S - size / 2)))
        inner = Image.new("RGBA", self.im.size, rgba(c_in))
        outer = Image.new("RGBA", self.im.size, rgba(c_out))
        return Image.composite(outer, inner, t)

    # compositing ---------------------------------------------------------------------------
    def fill(self, mask, paint, clip=None, opacity=1.0):
        # Work on the mask's bounding box only: most shapes are small on large pictures.
        box = mask.getbbox()
        if box is None:
            return
        mask = mask.crop(box)
        size = mask.size
        layer = paint.crop(box) if isinstance(paint, Image.Image) else \
            Image.new("RGBA", size, rgba(paint))
        a = ImageChops.multiply(layer.getchannel("A"), mask)
        if clip is not None:
            a = ImageChops.multiply(a, clip.crop(box))
        if opacity < 1.0:
            a = a.point(lambda v: int(v * opacity))
        layer.putalpha(a)
        self.im.alpha_composite(layer, dest=box[:2])

    def glow(self, mask, colour, radius, strength=1.0, clip=None):
        g = mask.filter(ImageFilter.GaussianBlur(radius * S))
        if strength != 1.0:
            g = g.point(lambda v: min(255, int(v * strength)))
        self.fill(g, colour, clip=clip)

    # shapes --------------------------------------------------------------------------------
    def rrect(self, box, r, paint, clip=None):
        self.fill(self.rr_mask(box, r), paint, clip)

    def rrect_line(self, box, r, colour, width=1.0, clip=None):
        outer = self.rr_mask(box, r)
        inner = self.rr_mask((box[0] + width, box[1] + width, box[2] - width, box[3] - width),
                             max(0, r - width))
        self.fill(ImageChops.subtract(outer, inner), colour, clip)

    def rect(self, box, paint, clip=None):
        self.fill(self.rect_mask(box), paint, clip)

    def ellipse(self, box, paint, clip=None):
        self.fill(self.ellipse_mask(box), paint, clip)

    def circle(self, cx, cy, r, paint, clip=None):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), paint, clip)

    def ring(self, cx, cy, r, colour, width=1.0, clip=None):
        outer = self.ellipse_mask((cx - r, cy - r, cx + r, cy + r))
        ri = r - width
        inner = self.ellipse_mask((cx - ri, cy - ri, cx + ri, cy + ri))
        self.fill(ImageChops.subtract(outer, inner), colour, clip)

    def line(self, points, colour, width=1.0, caps=True, clip=None):
        self.fill(self.stroke_mask(points, width, caps), colour, clip)

    def arc(self, cx, cy, r, start, end, colour, width=1.0, caps=True, clip=None):
        self.fill(self.arc_mask((cx - r, cy - r, cx + r, cy + r), start, end, width, caps),
                  colour, clip)

    def poly(self, points, paint, clip=None):
        self.fill(self.poly_mask(points), paint, clip)

    # output --------------------------------------------------------------------------------
    def small(self):
        return self.im.convert("RGBa").resize((self.w, self.h), BOX).convert("RGBA")

    def flatten(self, bg):
        """Opaque picture: the drawing over bg (an RGB image of the same size or a colour)."""
        under = bg.convert("RGBA") if isinstance(bg, Image.Image) else \
            Image.new("RGBA", (self.w, self.h), rgba(bg))
        under.alpha_composite(self.small())
        return under.convert("RGB")

    def transparent(self, bg_colour):
        """Picture with alpha; fully transparent pixels carry bg_colour so that a painter
        without alpha support still shows a sensible square."""
        out = self.small()
        px = out.load()
        for y in range(self.h):
            for x in range(self.w):
                r, g, b_, a = px[x, y]
                if a == 0:
                    px[x, y] = (bg_colour[0], bg_colour[1], bg_colour[2], 0)
        return out


def merge(*masks):
    m = masks[0]
    for other in masks[1:]:
        m = ImageChops.lighter(m, other)
    return m


def cut(a, b):
    return ImageChops.subtract(a, b)


def both(a, b):
    return ImageChops.multiply(a, b)


# --------------------------------------------------------------------------------------------
# Glyphs: drawn on a 24-unit grid placed at (x, y) with the given size.


class G:
    def __init__(self, pic, x, y, size):
        self.p, self.x, self.y, self.k = pic, x, y, size / 24.0

    def P(self, pts):
        return [(self.x + px * self.k, self.y + py * self.k) for px, py in pts]

    def B(self, box):
        x0, y0, x1, y1 = box
        return (self.x + x0 * self.k, self.y + y0 * self.k,
                self.x + x1 * self.k, self.y + y1 * self.k)

    def line(self, pts, c, w=2.0, caps=True):
        self.p.line(self.P(pts), c, w * self.k, caps)

    def poly(self, pts, c):
        self.p.poly(self.P(pts), c)

    def rrect(self, box, r, c):
        self.p.rrect(self.B(box), r * self.k, c)

    def rline(self, box, r, c, w=2.0):
        self.p.rrect_line(self.B(box), r * self.k, c, w * self.k)

    def circle(self, cx, cy, r, c):
        self.p.circle(self.x + cx * self.k, self.y + cy * self.k, r * self.k, c)

    def ring(self, cx, cy, r, c, w=2.0):
        self.p.ring(self.x + cx * self.k, self.y + cy * self.k, r * self.k, c, w * self.k)

    def arc(self, cx, cy, r, a0, a1, c, w=2.0, caps=True):
        self.p.arc(self.x + cx * self.k, self.y + cy * self.k, r * self.k, a0, a1, c,
                   w * self.k, caps)


def glyph_power(g, c):
    g.arc(12, 13, 8, -60, 240, c, 2.2)
    g.line([(12, 3.5), (12, 11)], c, 2.2)


def glyph_reset(g, c):
    g.arc(12, 12, 7.5, -20, 250, c, 2.2)
    g.poly([(18.5, 1.8), (20.6, 9.6), (13.0, 7.4)], c)


def glyph_headset(g, c, w=2.0):
    g.arc(12, 13, 8.5, 180, 360, c, w)
    g.rrect((2.2, 12.5, 7.2, 21.5), 2, c)
    g.rrect((16.8, 12.5, 21.8, 21.5), 2, c)


def glyph_mic(g, c, w=2.0):
    g.rrect((8.5, 2.5, 15.5, 14.5), 3.5, c)
    g.arc(12, 10, 7, 10, 170, c, w)
    g.line([(12, 17), (12, 21)], c, w)
    g.line([(8, 21.2), (16, 21.2)], c, w)


def glyph_mic_off(g, c, w=2.0):
    glyph_mic(g, c, w)
    g.line([(4, 3), (20, 21)], c, w)


def glyph_boost(g, c, w=2.2):
    g.line([(6, 13), (12, 7), (18, 13)], c, w)
    g.line([(6, 19), (12, 13), (18, 19)], c, w)


def glyph_rotate(g, c, clockwise=True, w=2.2):
    if clockwise:
        g.arc(12, 12, 7.5, 200, 470, c, w)
        g.poly([(17.5, 1.2), (20.8, 8.4), (13.4, 7.6)], c)
    else:
        g.arc(12, 12, 7.5, 70, 340, c, w)
        g.poly([(6.5, 1.2), (3.2, 8.4), (10.6, 7.6)], c)


def glyph_narrow(g, c, w=2.2):
    g.line([(2, 12), (9, 12)], c, w)
    g.line([(6, 8.5), (9.5, 12), (6, 15.5)], c, w)
    g.line([(22, 12), (15, 12)], c, w)
    g.line([(18, 8.5), (14.5, 12), (18, 15.5)], c, w)


def glyph_enlarge(g, c, w=2.2):
    g.line([(9, 12), (2.5, 12)], c, w)
    g.line([(6, 8.5), (2.5, 12), (6, 15.5)], c, w)
    g.line([(15, 12), (21.5, 12)], c, w)
    g.line([(18, 8.5), (21.5, 12), (18, 15.5)], c, w)


def glyph_speaker7(g, c, w=2.0):
    g.ring(12, 12, 9, c, w)
    for i in range(8):
        a = math.radians(i * 45 + 22.5)
        g.circle(12 + 9 * math.cos(a), 12 - 9 * math.sin(a), 1.9, c)
    g.circle(12, 12, 2.6, c)


def glyph_led(g, c, w=2.0):
    g.arc(12, 10, 6, 180, 360, c, w, caps=False)
    g.line([(6, 10), (6, 16), (18, 16), (18, 10)], c, w, caps=False)
    g.line([(4.5, 16.5), (19.5, 16.5)], c, w)
    g.line([(9, 17), (9, 22)], c, w)
    g.line([(15, 17), (15, 20)], c, w)


def glyph_wave(g, c, cycles, amp, shape="sine", w=2.0):
    pts = []
    for i in range(61):
        t = i / 60
        ph = t * cycles * 2 * math.pi
        if shape == "sine":
            v = math.sin(ph)
        elif shape == "saw":
            v = 2 * ((t * cycles) % 1.0) - 1
        elif shape == "jag":
            v = math.sin(ph) + 0.45 * math.sin(ph * 3.7 + 1)
            v /= 1.3
        else:
            v = 0.0
        pts.append((2 + 20 * t, 12 - amp * v))
    g.line(pts, c, w)


# Effect icons (24 x 24 units)
def icon_none(g, c):
    g.ring(12, 12, 8.5, c, 2.0)
    g.line([(6.2, 17.8), (17.8, 6.2)], c, 2.0)


def icon_theater(g, c):
    g.rline((3, 3.5, 21, 13.5), 1.5, c, 2.0)
    g.poly([(10.2, 6.2), (10.2, 10.8), (14.4, 8.5)], c)
    for x in (4.5, 10, 15.5):
        g.rrect((x, 16, x + 4, 21), 1.3, c)


def icon_bathroom(g, c):
    g.line([(5, 10), (5, 4.5), (9, 3.5)], c, 1.8)
    g.circle(11, 4.5, 1.8, c)
    g.rrect((2.5, 12, 21.5, 14.5), 1.2, c)
    g.poly([(4, 14), (20, 14), (18.2, 19.5), (5.8, 19.5)], c)
    g.line([(7, 19.5), (6, 21.5)], c, 1.6)
    g.line([(17, 19.5), (18, 21.5)], c, 1.6)
    g.circle(17, 7, 1.2, c)
    g.circle(14.5, 9.5, 1.0, c)


def icon_livingroom(g, c):
    g.rrect((5, 7, 19, 14), 2.5, c)
    g.rrect((2.5, 11, 6.5, 19), 1.8, c)
    g.rrect((17.5, 11, 21.5, 19), 1.8, c)
    g.rrect((5, 14.5, 19, 18.5), 1.2, c)
    g.line([(4.5, 19), (4.5, 21)], c, 1.6)
    g.line([(19.5, 19), (19.5, 21)], c, 1.6)


def icon_stonegallery(g, c):
    g.poly([(2, 8), (12, 2.5), (22, 8)], c)
    g.rrect((3, 8.8, 21, 10.4), 0.5, c)
    for x in (4.5, 10.5, 16.5):
        g.rrect((x, 11.5, x + 3, 18.5), 0.6, c)
    g.rrect((2.5, 19.3, 21.5, 21.3), 0.6, c)


# --------------------------------------------------------------------------------------------
# Building blocks of the look


def button(p, T, down, r=7.0, inset=0.5, strong=True):
    """Standard push button body: dark with a hairline when up, lit with the accent when down."""
    box = (inset, inset, p.w - inset, p.h - inset)
    shape = p.rr_mask(box, r)
    if down:
        p.fill(shape, p.vgrad(T.down_top, T.down_bot))
        inner = p.rr_mask((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), r - 1)
        p.glow(cut(shape, inner), T.accent_hi, 2.2, 0.9 if strong else 0.6, clip=shape)
        p.rrect_line(box, r, T.down_border, 1.0)
        p.rect((box[0] + r, box[1] + 1, box[2] - r, box[1] + 2), alpha(WHITE, 0.22), clip=shape)
    else:
        p.fill(shape, p.vgrad(T.btn_top, T.btn_bot))
        p.rrect_line(box, r, T.btn_border, 1.0)
        p.rect((box[0] + r, box[1] + 1, box[2] - r, box[1] + 2), alpha(WHITE, 0.06), clip=shape)


def panel(p, T, box, r=10.0):
    shape = p.rr_mask(box, r)
    p.fill(shape, T.panel)
    p.rect((box[0] + r, box[1] + 1, box[2] - r, box[1] + 2), T.panel_hi, clip=shape)
    p.rrect_line(box, r, T.panel_border, 1.0)


def well(p, T, box, r=9.0, fill=None):
    p.rrect(box, r, fill if fill is not None else T.well)
    p.rrect_line(box, r, T.well_border, 1.0)


def fade_line(p, colour, box, vertical=False):
    if vertical:
        grad = p.vgrad(alpha(colour, 0), alpha(colour, 255), box[1], (box[1] + box[3]) / 2)
        grad2 = p.vgrad(alpha(colour, 255), alpha(colour, 0), (box[1] + box[3]) / 2, box[3])
        mid = (box[1] + box[3]) / 2
        p.rect((box[0], box[1], box[2], mid), grad)
        p.rect((box[0], mid, box[2], box[3]), grad2)
    else:
        stops = [(0.0, alpha(colour, 0)), (0.2, alpha(colour, 255)), (0.8, alpha(colour, 255)),
                 (1.0, alpha(colour, 0))]
        p.rect(box, p.hgrad(None, None, box[0], box[2], stops))


def pill_track(p, T, box):
    r = (box[2] - box[0]) / 2
    p.rrect(box, r, T.track)
    p.rrect_line(box, r, mix(T.well_border, WHITE, 0.04), 1.0)


def pill_fill(p, T, box, vertical=True):
    r = min(box[2] - box[0], box[3] - box[1]) / 2
    shape = p.rr_mask(box, r)
    if vertical:
        p.fill(shape, p.vgrad(T.accent_hi, T.accent_deep, box[1], box[3]))
    else:
        p.fill(shape, p.hgrad(T.accent_deep, T.accent_hi, box[0], box[2]))
    p.glow(shape, alpha(WHITE, 0.35), 0.8, 0.6, clip=shape)


def thumb(p, T, down=True):
    """Slider thumb: a light pill with an accent notch; reads well over the lit bar."""
    box = (1.0, 1.5, p.w - 1.0, p.h - 0.5)
    r = (box[3] - box[1]) / 2
    shadow = p.rr_mask((box[0], box[1] + 0.8, box[2], box[3] + 0.5), r)
    p.glow(shadow, alpha(BLACK, 0.7), 1.0, 1.0)
    shape = p.rr_mask(box, r)
    p.fill(shape, p.vgrad((246, 248, 251), (196, 204, 216), box[1], box[3]))
    p.rrect_line(box, r, (120, 130, 146), 0.8)
    cy = (box[1] + box[3]) / 2
    cx = p.w / 2
    notch = p.rr_mask((cx - 7, cy - 1.5, cx + 7, cy + 1.5), 1.5)
    if down:
        p.glow(notch, T.accent, 1.2, 1.2, clip=shape)
    p.fill(notch, T.accent if down else (150, 160, 176))


def graduation(p, T, y0, y1, count, major, side="right", signs=True):
    """Tick scale between y0 and y1 (centre lines of the travel), no numbers."""
    tick = T.tick
    for i in range(count + 1):
        y = y0 + (y1 - y0) * i / count
        is_major = i in major
        length = 14 if is_major else 7
        x1 = p.w - 4 if side == "right" else 4 + length
        x0 = x1 - length
        p.line([(x0, y), (x1, y)], mix(tick, WHITE, 0.18) if is_major else tick,
               1.4 if is_major else 1.0, caps=False)
    if signs:
        c = mix(T.glyph, BLACK, 0.15)
        cx = 8
        p.line([(cx - 3.5, y0), (cx + 3.5, y0)], c, 1.5)
        p.line([(cx, y0 - 3.5), (cx, y0 + 3.5)], c, 1.5)
        p.line([(cx - 3.5, y1), (cx + 3.5, y1)], c, 1.5)
        p.ring(cx, (y0 + y1) / 2, 3.2, c, 1.3)


# --------------------------------------------------------------------------------------------
# Large pictures


def draw_main_form(T, W, H, left_card, content):
    p = Pic(W, H)
    p.rect((0, 0, W, H), T.corner)
    full = (0, 0, W, H)
    shape = p.rr_mask(full, 12)
    p.fill(shape, p.vgrad(T.win_top, T.win_bot))
    header = both(shape, p.rect_mask((0, 0, W, 56)))
    p.fill(header, p.vgrad(T.header_top, T.header_bot, 0, 56))
    p.rect((0, 56, W, 57), T.header_line)
    stops = [(0.0, alpha(T.accent, 0)), (0.15, alpha(T.accent, 230)), (0.6, alpha(T.accent, 90)),
             (1.0, alpha(T.accent, 0))]
    p.rect((6, 56, 300, 57), p.hgrad(None, None, 6, 300, stops))
    p.glow(p.rect_mask((20, 56, 200, 57)), alpha(T.accent, 0.6), 3.0, 0.8)
    p.rrect_line(full, 12, mix(T.header_line, WHITE, 0.06), 1.0)
    p.rect((12, 1, W - 12, 2), alpha(WHITE, 0.05))

    # left column card
    x0, y0, x1, y1 = left_card
    card = p.rr_mask(left_card, 10)
    p.fill(card, p.vgrad(T.card_top, T.card_bot, y0, y1))
    p.rect((x0 + 10, y0 + 1, x1 - 10, y0 + 2), alpha(WHITE, 0.05), clip=card)
    p.rrect_line(left_card, 10, T.card_border, 1.0)
    panel(p, T, content)
    return p


def draw_left_idle(p, T, box):
    """What the left column shows on pages without their own picture (lighting, ENC, voice)."""
    well(p, T, box, 10, fill=mix(T.well, T.card_bot, 0.4))
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    p.glow(p.ellipse_mask((cx - 60, cy - 60, cx + 60, cy + 60)), alpha(T.accent, 0.16), 30)
    glyph_headset(G(p, cx - 48, cy - 52, 96), mix(T.accent, T.well, 0.45), 1.6)
    for i, r in enumerate((70, 86, 102)):
        p.arc(cx, cy, r, 200, 250, alpha(T.accent, 0.35 - 0.09 * i), 1.4)
        p.arc(cx, cy, r, -70, -20, alpha(T.accent, 0.35 - 0.09 * i), 1.4)


def left_card_frame(p, T):
    box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
    p.rrect(box, 10, p.vgrad(mix(T.well, T.accent, 0.05), T.well))
    return box


def left_grid(p, T, box, step=24):
    x0, y0, x1, y1 = box
    clip = p.rr_mask(box, 10)
    c = alpha(mix(T.well_border, WHITE, 0.03), 0.9)
    x = x0 + step / 2
    while x < x1:
        p.rect((x, y0, x + 1, y1), c, clip=clip)
        x += step
    y = y0 + step / 2
    while y < y1:
        p.rect((x0, y, x1, y + 1), c, clip=clip)
        y += step


def draw_left_eq(T, w, h):
    p = Pic(w, h)
    box = left_card_frame(p, T)
    left_grid(p, T, box)
    clip = p.rr_mask(box, 10)
    # response curve through five band points
    pts_y = [0.36, 0.50, 0.62, 0.44, 0.30]
    xs = [22, 62, 108, 154, 194]
    ys = [20 + v * 150 for v in pts_y]
    curve = []
    for i in range(121):
        x = 10 + (w - 20) * i / 120
        # smooth blend of the band points (gaussian bumps around each band)
        num = den = 0.0
        for bx, by in zip(xs, ys):
            k = math.exp(-((x - bx) / 26.0) ** 2)
            num += k * by
            den += k
        curve.append((x, num / den))
    area = curve + [(w - 10, 196), (10, 196)]
    p.fill(p.poly_mask(area), p.vgrad(alpha(T.accent, 0.42), alpha(T.accent, 0.0), 40, 196),
           clip=clip)
    stroke = p.stroke_mask(curve, 2.4)
    p.glow(stroke, T.accent, 4.0, 1.2, clip=clip)
    p.fill(stroke, T.accent_hi)
    for bx in xs:
        by = min(curve, key=lambda q: abs(q[0] - bx))[1]
        p.circle(bx, by, 5.2, T.well)
        p.ring(bx, by, 5.2, T.accent_hi, 2.0)
    # frequency bars at the foot
    heights = [10, 16, 24, 30, 26, 34, 40, 36, 30, 34, 28, 22, 26, 30, 24, 18, 20, 15, 12, 16,
               12, 9, 7, 5]
    bw = (w - 28) / len(heights)
    for i, hh in enumerate(heights):
        x = 14 + i * bw
        p.rrect((x + 1, 238 - hh, x + bw - 1.5, 238), 1.5,
                p.vgrad(alpha(T.accent_hi, 0.9), alpha(T.accent_deep, 0.35), 238 - hh, 238),
                clip=clip)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_left_effect(T, w, h):
    p = Pic(w, h)
    box = left_card_frame(p, T)
    clip = p.rr_mask(box, 10)
    # a room in one-point perspective: back wall, floor lines
    bw = (64, 62, 152, 140)
    vp = (108, 101)
    edge = alpha(mix(T.well_border, WHITE, 0.12), 1.0)
    p.rect(bw, alpha(T.accent, 0.05))
    p.rrect_line(bw, 1, edge, 1.0)
    for cx, cy in ((0, 0), (w, 0), (0, h), (w, h)):
        tx = bw[0] if cx == 0 else bw[2]
        ty = bw[1] if cy == 0 else bw[3]
        p.line([(cx, cy), (tx, ty)], edge, 1.0, caps=False, clip=clip)
    for i in range(1, 6):
        t = i / 6
        x_l = bw[0] + (0 - bw[0]) * t
        x_r = bw[2] + (w - bw[2]) * t
        y = bw[3] + (h - bw[3]) * t
        p.line([(x_l, y), (x_r, y)], alpha(edge, 0.45), 1.0, caps=False, clip=clip)
    for i in range(1, 5):
        x = bw[0] + (bw[2] - bw[0]) * i / 5
        p.line([(x, bw[3]), (vp[0] + (x - vp[0]) * 3.2, h)], alpha(edge, 0.45), 1.0,
               caps=False, clip=clip)
    # a source with its reflections
    sx, sy = 108, 150
    for i in range(6):
        r = 18 + i * 16
        a = 0.85 - i * 0.13
        p.arc(sx, sy, r, 200, 340, alpha(T.accent_hi, a), 2.0, clip=clip)
    for i in range(3):
        r = 14 + i * 14
        p.arc(bw[0] + 2, 104, r, -50, 50, alpha(T.accent, 0.5 - 0.14 * i), 1.6, clip=clip)
        p.arc(bw[2] - 2, 104, r, 130, 230, alpha(T.accent, 0.5 - 0.14 * i), 1.6, clip=clip)
    p.glow(p.ellipse_mask((sx - 10, sy - 10, sx + 10, sy + 10)), T.accent, 6, 1.4, clip=clip)
    p.circle(sx, sy, 7, T.accent_hi)
    p.circle(sx, sy, 3, WHITE)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_left_mic(T, w, h):
    p = Pic(w, h)
    box = left_card_frame(p, T)
    clip = p.rr_mask(box, 10)
    cx = w / 2
    # voice waveform
    n = 33
    amp = [0.10, 0.16, 0.22, 0.35, 0.30, 0.48, 0.62, 0.55, 0.72, 0.90, 0.70, 0.82, 1.0, 0.76,
           0.60, 0.78, 0.66, 0.50, 0.64, 0.85, 0.58, 0.42, 0.55, 0.38, 0.46, 0.30, 0.24, 0.34,
           0.20, 0.14, 0.18, 0.10, 0.06]
    cy = 168
    step = (w - 24) / n
    for i, a in enumerate(amp):
        x = 12 + step * (i + 0.5)
        hh = 4 + a * 54
        col = mix(T.accent_deep, T.accent_hi, a)
        p.rrect((x - step * 0.3, cy - hh, x + step * 0.3, cy + hh), step * 0.3, col, clip=clip)
    p.rect((12, cy - 0.5, w - 12, cy + 0.5), alpha(T.accent_hi, 0.25))
    # microphone badge
    by = 64
    p.glow(p.ellipse_mask((cx - 34, by - 34, cx + 34, by + 34)), alpha(T.accent, 0.7), 10, 1.0)
    p.circle(cx, by, 34, p.vgrad(mix(T.accent, T.well, 0.2), mix(T.accent_deep, T.well, 0.3),
                                 by - 34, by + 34))
    p.ring(cx, by, 34, alpha(WHITE, 0.25), 1.2)
    glyph_mic(G(p, cx - 20, by - 20, 40), WHITE, 2.0)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_left_virtual(T, w, h):
    p = Pic(w, h)
    box = left_card_frame(p, T)
    cx, cy = w / 2, 122
    p.glow(p.ellipse_mask((cx - 70, cy - 70, cx + 70, cy + 70)), alpha(T.accent, 0.22), 20)
    for r, a in ((84, 0.5), (60, 0.3), (36, 0.2)):
        p.ring(cx, cy, r, alpha(T.accent, a), 1.2)
    for i in range(8):
        ang = math.radians(i * 45 + 22.5)
        p.line([(cx + 20 * math.cos(ang), cy - 20 * math.sin(ang)),
                (cx + 84 * math.cos(ang), cy - 84 * math.sin(ang))],
               alpha(T.accent, 0.18), 1.0, caps=False)
    for i in range(8):
        ang = math.radians(i * 45 + 22.5)
        x, y = cx + 84 * math.cos(ang), cy - 84 * math.sin(ang)
        p.glow(p.ellipse_mask((x - 7, y - 7, x + 7, y + 7)), T.accent, 4, 1.0)
        p.circle(x, y, 7, T.well)
        p.ring(x, y, 7, T.accent_hi, 2.0)
        p.circle(x, y, 2.4, T.accent_hi)
    # listener seen from above
    listener(p, T, cx, cy, 0.8)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def listener(p, T, cx, cy, k=1.0):
    """A head with headphones seen from above, facing up."""
    p.glow(p.ellipse_mask((cx - 26 * k, cy - 26 * k, cx + 26 * k, cy + 26 * k)),
           alpha(BLACK, 0.6), 4 * k, 1.0)
    p.ellipse((cx - 10 * k, cy - 18 * k, cx + 10 * k, cy + 4 * k), mix(T.skin, T.well, 0.25))
    p.ellipse((cx - 17 * k, cy - 15 * k, cx + 17 * k, cy + 17 * k),
              p.vgrad(mix(T.skin, WHITE, 0.1), mix(T.skin, T.well, 0.35), cy - 15 * k,
                      cy + 17 * k))
    p.arc(cx, cy + 1 * k, 19 * k, 200, 340, mix(T.btn_border, WHITE, 0.25), 3.2 * k)
    for sx in (-1, 1):
        x = cx + sx * 19 * k
        p.rrect((x - 5 * k, cy - 8 * k, x + 5 * k, cy + 9 * k), 4 * k,
                p.vgrad(T.accent_hi, T.accent_deep, cy - 8 * k, cy + 9 * k))
    p.poly([(cx - 3.5 * k, cy - 14 * k), (cx + 3.5 * k, cy - 14 * k), (cx, cy - 20 * k)],
           mix(T.skin, T.well, 0.1))


def scene_frame(p, T, top, bottom):
    box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
    clip = p.rr_mask(box, 10)
    p.fill(clip, p.vgrad(top, bottom))
    return box, clip


def scene_waves(p, T, x, y, clip, count=5, start=16, step=14, a0=200, a1=340, colour=None):
    colour = colour or T.accent_hi
    for i in range(count):
        p.arc(x, y, start + i * step, a0, a1, alpha(colour, 0.9 - i * 0.16), 2.0, clip=clip)


def draw_scene_none(T, w, h):
    p = Pic(w, h)
    box, clip = scene_frame(p, T, mix(T.room_a, T.well, 0.3), T.well)
    left_grid(p, T, box, 20)
    cy = h / 2 + 26
    pts = [(20 + (w - 40) * i / 200, cy - 16 * math.sin(i / 200 * 6 * math.pi) *
            (0.4 + 0.6 * math.sin(i / 200 * math.pi))) for i in range(201)]
    stroke = p.stroke_mask(pts, 2.6)
    p.glow(stroke, T.accent, 5, 1.2, clip=clip)
    p.fill(stroke, T.accent_hi)
    cx = w / 2
    p.glow(p.ellipse_mask((cx - 36, 34, cx + 36, 106)), alpha(T.accent, 0.45), 12)
    p.circle(cx, 70, 34, mix(T.btn_top, T.well, 0.2))
    p.ring(cx, 70, 34, mix(T.btn_border, WHITE, 0.1), 1.2)
    glyph_headset(G(p, cx - 20, 50, 40), T.glyph_hi, 2.2)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_scene_theater(T, w, h):
    p = Pic(w, h)
    box, clip = scene_frame(p, T, (20, 14, 22), (9, 7, 12))
    curtain_a, curtain_b = (122, 24, 40), (70, 12, 24)
    # screen with light
    scr = (62, 28, w - 62, 116)
    p.glow(p.rect_mask(scr), alpha(T.accent_hi, 0.8), 14, 1.2, clip=clip)
    p.rrect(scr, 3, p.vgrad(mix(T.accent_hi, WHITE, 0.5), T.accent_hi, scr[1], scr[3]))
    p.poly([(scr[0] + 40, scr[1] + 60), (scr[0] + 90, scr[1] + 25), (scr[0] + 130, scr[1] + 55),
            (scr[0] + 160, scr[1] + 35), (scr[2], scr[1] + 62), (scr[2], scr[3]),
            (scr[0], scr[3])], alpha(T.accent_deep, 0.55), clip=p.rr_mask(scr, 3))
    # beam from the projector
    p.poly([(w / 2 - 3, h - 6), (scr[0] + 10, scr[3]), (scr[2] - 10, scr[3]), (w / 2 + 3, h - 6)],
           p.vgrad(alpha(T.accent_hi, 0.05), alpha(T.accent_hi, 0.18), scr[3], h), clip=clip)
    # curtains
    for side in (0, 1):
        for i in range(5):
            x = 2 + i * 10 if side == 0 else w - 12 - i * 10
            shade = mix(curtain_a, curtain_b, (i % 2) * 0.7)
            p.rect((x, 0, x + 10, h), p.hgrad(shade, mix(shade, BLACK, 0.35), x, x + 10),
                   clip=clip)
    p.rect((0, 0, w, 16), p.vgrad(curtain_a, curtain_b, 0, 16), clip=clip)
    for i in range(16):
        x = i * 20 + 10
        p.ellipse((x - 11, 10, x + 11, 22), curtain_b, clip=clip)
    # rows of seats
    for row, (y, seat_w, n, col) in enumerate(((150, 22, 9, (58, 30, 44)),
                                               (178, 26, 9, (48, 24, 36)),
                                               (208, 30, 9, (38, 19, 28)))):
        total = n * seat_w + (n - 1) * 3
        x0 = (w - total) / 2
        for i in range(n):
            x = x0 + i * (seat_w + 3)
            p.rrect((x, y, x + seat_w, y + seat_w * 0.9), seat_w * 0.25,
                    p.vgrad(mix(col, WHITE, 0.12), col, y, y + seat_w), clip=clip)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_scene_bathroom(T, w, h):
    p = Pic(w, h)
    wall_a, wall_b = (36, 64, 74), (22, 42, 50)
    box, clip = scene_frame(p, T, wall_a, wall_b)
    # tiles
    tile = 26
    for row in range(0, h // tile + 1):
        for col in range(0, w // tile + 1):
            x, y = col * tile, row * tile
            shade = 0.06 if (row + col) % 2 == 0 else 0.0
            p.rect((x + 1, y + 1, x + tile - 1, y + tile - 1),
                   alpha(mix(wall_a, WHITE, 0.12 + shade), 0.5), clip=clip)
    # floor
    p.rect((0, 190, w, h), p.vgrad((30, 38, 44), (18, 24, 28), 190, h), clip=clip)
    p.rect((0, 190, w, 192), alpha(BLACK, 0.3), clip=clip)
    # bathtub
    tub = (54, 136, 266, 204)
    p.glow(p.rr_mask((tub[0], tub[3] - 6, tub[2], tub[3] + 6), 6), alpha(BLACK, 0.6), 6)
    p.rrect((tub[0] - 6, tub[1] - 8, tub[2] + 6, tub[1] + 4), 5, (236, 242, 246))
    p.poly([(tub[0], tub[1]), (tub[2], tub[1]), (tub[2] - 14, tub[3]), (tub[0] + 14, tub[3])],
           p.vgrad((228, 236, 242), (170, 186, 198), tub[1], tub[3]))
    p.rect((tub[0] + 10, tub[1] + 4, tub[2] - 10, tub[1] + 8), alpha((120, 200, 230), 0.6))
    for x in (tub[0] + 22, tub[2] - 30):
        p.rrect((x, tub[3] - 2, x + 8, tub[3] + 10), 3, (170, 186, 198))
    # shower
    p.line([(250, 30), (250, 60), (232, 72)], (190, 204, 214), 4)
    p.ellipse((212, 66, 242, 80), (214, 226, 234))
    for i, (dx, dy) in enumerate(((0, 14), (8, 30), (-6, 42), (12, 56), (2, 70), (-10, 22),
                                  (16, 40), (-2, 90))):
        x, y = 226 + dx, 82 + dy
        p.ellipse((x - 1.6, y - 3, x + 1.6, y + 3), alpha((150, 220, 245), 0.8))
    # echo
    scene_waves(p, T, 80, 70, clip, 5, 10, 12, 150, 390)
    p.glow(p.ellipse_mask((74, 64, 86, 76)), T.accent, 5, 1.4, clip=clip)
    p.circle(80, 70, 5, T.accent_hi)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_scene_livingroom(T, w, h):
    p = Pic(w, h)
    wall_a, wall_b = (58, 44, 40), (38, 29, 27)
    box, clip = scene_frame(p, T, wall_a, wall_b)
    # window with night sky
    win = (30, 28, 118, 120)
    p.rrect(win, 4, p.vgrad((26, 40, 78), (58, 70, 120), win[1], win[3]))
    for sx, sy in ((48, 44), (92, 52), (70, 70), (104, 86), (44, 92)):
        p.circle(sx, sy, 1.2, (230, 236, 255))
    p.circle(96, 46, 8, (246, 236, 200))
    p.circle(100, 43, 7, (36, 48, 90))
    p.rrect_line(win, 4, (120, 96, 80), 3)
    p.rect((win[0], 72, win[2], 75), (120, 96, 80))
    p.rect((72.5, win[1], 75.5, win[3]), (120, 96, 80))
    # floor and rug
    p.rect((0, 186, w, h), p.vgrad((74, 52, 40), (50, 34, 27), 186, h), clip=clip)
    p.ellipse((70, 200, 250, 236), alpha(T.accent, 0.35), clip=clip)
    # lamp
    lx = 262
    p.glow(p.ellipse_mask((lx - 40, 40, lx + 40, 120)), alpha((255, 200, 120), 0.7), 18, 1.0,
           clip=clip)
    p.line([(lx, 70), (lx, 186)], (120, 100, 84), 3)
    p.ellipse((lx - 16, 182, lx + 16, 190), (110, 90, 76))
    p.poly([(lx - 20, 74), (lx + 20, 74), (lx + 13, 44), (lx - 13, 44)], (255, 214, 150))
    # sofa
    sofa = (96, 126, 236, 188)
    col = mix(T.accent_deep, (60, 60, 70), 0.55)
    p.glow(p.rr_mask((sofa[0], sofa[3] - 4, sofa[2], sofa[3] + 6), 6), alpha(BLACK, 0.6), 5)
    p.rrect((sofa[0] + 10, sofa[1], sofa[2] - 10, sofa[1] + 36), 8,
            p.vgrad(mix(col, WHITE, 0.18), col, sofa[1], sofa[1] + 36))
    p.rrect((sofa[0] + 14, sofa[1] + 30, sofa[2] - 14, sofa[1] + 50), 6, mix(col, WHITE, 0.1))
    p.line([(166, sofa[1] + 32), (166, sofa[1] + 48)], alpha(BLACK, 0.3), 1.2)
    for x in (sofa[0], sofa[2] - 18):
        p.rrect((x, sofa[1] + 20, x + 18, sofa[3] - 4), 7,
                p.vgrad(mix(col, WHITE, 0.2), mix(col, BLACK, 0.15), sofa[1] + 20, sofa[3]))
    p.rrect((sofa[0] + 6, sofa[3] - 10, sofa[2] - 6, sofa[3] - 2), 3, mix(col, BLACK, 0.3))
    # picture on the wall
    p.rrect((146, 44, 206, 92), 2, (90, 70, 60))
    p.rect((150, 48, 202, 88), p.vgrad(mix(T.accent, (70, 90, 120), 0.5), (40, 50, 70), 48, 88))
    p.poly([(150, 88), (168, 66), (180, 78), (190, 70), (202, 88)], (34, 40, 52))
    scene_waves(p, T, 166, 140, clip, 3, 60, 16, 200, 340)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_scene_stonegallery(T, w, h):
    p = Pic(w, h)
    box, clip = scene_frame(p, T, (46, 48, 54), (22, 23, 27))
    vx, vy = w / 2, 112
    stone = (92, 94, 102)
    # arches receding to the vanishing point
    for i in range(6):
        k = 0.78 ** i
        aw, ah = 250 * k, 210 * k
        x0, x1 = vx - aw / 2, vx + aw / 2
        top = vy - ah * 0.55
        bottom = vy + ah * 0.45 + 22 * k
        col = mix(stone, (30, 31, 36), i / 6)
        spring = p.rect_mask((0, 0, w, top + aw / 2 + 1))
        outer = merge(p.rect_mask((x0, top + aw / 2, x1, bottom)),
                      both(p.ellipse_mask((x0, top, x1, top + aw)), spring))
        ins = 16 * k
        inner = merge(p.rect_mask((x0 + ins, top + aw / 2, x1 - ins, bottom + 2)),
                      p.ellipse_mask((x0 + ins, top + ins, x1 - ins, top + aw - ins)))
        p.fill(cut(outer, inner), col, clip=clip)
        p.line([(x0 + ins, top + aw / 2), (x0 + ins, bottom)], alpha(WHITE, 0.1), 1.0,
               caps=False, clip=clip)
    # inner glow at the end of the gallery
    p.glow(p.ellipse_mask((vx - 20, vy - 26, vx + 20, vy + 26)), alpha(T.accent_hi, 0.8), 12,
           1.2, clip=clip)
    # floor slabs
    p.poly([(0, h), (w, h), (vx + 60, 190), (vx - 60, 190)], alpha((60, 62, 70), 0.5), clip=clip)
    for i in range(-4, 5):
        p.line([(vx + i * 16, 190), (vx + i * 60, h)], alpha(BLACK, 0.35), 1.0, caps=False,
               clip=clip)
    for y in (200, 214, 232):
        p.line([(0, y), (w, y)], alpha(BLACK, 0.25), 1.0, caps=False, clip=clip)
    scene_waves(p, T, vx, vy + 10, clip, 5, 24, 18, 200, 340)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_mic_picture(T, w, h):
    p = Pic(w, h)
    box = (0.5, 0.5, w - 0.5, h - 0.5)
    clip = p.rr_mask(box, 10)
    p.fill(clip, p.vgrad(mix(T.well, T.accent, 0.06), T.well))
    cx = w / 2
    p.glow(p.ellipse_mask((cx - 44, 20, cx + 44, 108)), alpha(T.accent, 0.4), 16, 1.0, clip=clip)
    # capsule
    cap = (cx - 26, 18, cx + 26, 104)
    capm = p.rr_mask(cap, 26)
    p.fill(capm, p.hgrad((70, 78, 92), (70, 78, 92), cap[0], cap[2],
                         [(0, (56, 62, 74)), (0.35, (150, 160, 176)), (0.6, (110, 118, 132)),
                          (1, (46, 52, 62))]))
    for i in range(12):
        y = cap[1] + 8 + i * 6.5
        p.rect((cap[0], y, cap[2], y + 1.4), alpha(BLACK, 0.45), clip=capm)
    for i in range(-3, 4):
        x = cx + i * 7
        p.rect((x, cap[1], x + 1.2, cap[3]), alpha(BLACK, 0.25), clip=capm)
    p.rect((cap[0], 58, cap[2], 64), p.hgrad((40, 44, 52), (40, 44, 52), cap[0], cap[2],
                                             [(0, (40, 44, 52)), (0.35, T.accent_hi),
                                              (1, T.accent_deep)]), clip=capm)
    # yoke and stand
    p.arc(cx, 62, 36, 0, 180, (120, 128, 142), 4.0)
    p.line([(cx - 36, 62), (cx - 36, 52)], (120, 128, 142), 4.0)
    p.line([(cx + 36, 62), (cx + 36, 52)], (120, 128, 142), 4.0)
    p.rect((cx - 3, 98, cx + 3, 150), p.hgrad((70, 76, 88), (140, 148, 160), cx - 3, cx + 3))
    p.rrect((cx - 30, 148, cx + 30, 158), 5, p.vgrad((130, 138, 150), (70, 76, 88), 148, 158))
    for side in (-1, 1):
        for i in range(3):
            p.arc(cx, 60, 48 + i * 12, 90 - side * 90 - 28, 90 - side * 90 + 28,
                  alpha(T.accent_hi, 0.7 - 0.2 * i), 2.0)
    p.rrect_line(box, 10, T.well_border, 1.0)
    return p


def draw_stage(T, w, h, centre, radius):
    """Virtual 7.1 stage: the circle the speakers travel on, with the listener at its centre."""
    p = Pic(w, h)
    cx, cy = centre
    R = radius + 20
    disc = p.ellipse_mask((cx - R, cy - R, cx + R, cy + R))
    p.fill(disc, p.rgrad(centre, R, mix(T.accent, T.well, 0.82), mix(T.well, T.panel, 0.2)))
    p.ring(cx, cy, R, T.well_border, 1.0)
    p.ring(cx, cy, radius + 1, alpha(T.accent, 0.45), 1.2)
    for r, a in ((radius * 0.66, 0.18), (radius * 0.33, 0.12)):
        p.ring(cx, cy, r, alpha(T.accent, a), 1.0)
    for i in range(8):
        a = math.radians(i * 45)
        p.line([(cx + 30 * math.cos(a), cy - 30 * math.sin(a)),
                (cx + (R - 2) * math.cos(a), cy - (R - 2) * math.sin(a))],
               alpha(T.accent, 0.10), 1.0, caps=False)
    # front marker
    p.poly([(cx - 6, cy - R + 3), (cx + 6, cy - R + 3), (cx, cy - R + 10)],
           alpha(T.accent_hi, 0.8))
    listener(p, T, cx, cy, 1.15)
    return p


SPEAKER_ANGLE = {"L": 135, "R": 45, "C": 90, "LS": 180, "RS": 0, "LB": 225, "RB": 315}


def draw_speaker(T, which):
    p = Pic(32, 32)
    cx = cy = 16
    if which == "SUB":
        ring_c, mark = T.warm, mix(T.warm, WHITE, 0.35)
    elif which in ("LB", "RB"):
        ring_c, mark = T.accent2, mix(T.accent2, WHITE, 0.4)
    else:
        ring_c, mark = T.accent, T.accent_hi
    shape = p.ellipse_mask((2, 2, 30, 30))
    p.glow(shape, alpha(ring_c, 0.9), 1.6, 1.0)
    p.fill(shape, p.vgrad(mix(T.btn_top, WHITE, 0.05), T.well, 2, 30))
    p.ring(cx, cy, 14, ring_c, 2.0)
    if which == "SUB":
        p.ring(cx, cy, 8.5, mark, 1.6)
        p.circle(cx, cy, 4.2, mark)
        p.ring(cx, cy, 11.2, alpha(mark, 0.45), 1.0)
    else:
        p.ring(cx, cy, 7.5, alpha(mark, 0.45), 1.2)
        a = math.radians(SPEAKER_ANGLE[which])
        x, y = cx + 7.5 * math.cos(a), cy - 7.5 * math.sin(a)
        p.circle(cx, cy, 1.6, alpha(mark, 0.6))
        p.circle(x, y, 3.2, mark)
        if which == "C":
            p.circle(cx, cy, 2.4, mark)
    return p


# --------------------------------------------------------------------------------------------
# Skin assembly


SKIN_KEYS = OrderedDict([
    ("Main", ["MainFormImage", "CloseImageUp", "CloseImageDown", "MinimizeImageUp",
              "MinimizeImageDown", "DeviceActiveImage", "Menu1ImageUp", "Menu1ImageDown",
              "Menu2ImageUp", "Menu2ImageDown", "Menu3ImageUp", "Menu3ImageDown", "LogoImage",
              "LedImageUp", "LedImageDown", "MainLeftImage1", "MainLeftImage2",
              "MainLeftImage3", "MainLeftImage4", "DeviceActiveUpImage",
              "DeviceActiveDownImage", "DeviceUnActiveUpImage", "DeviceUnActiveDownImage",
              "PageEQUpImage", "PageEffectUpImage", "PageMicUpImage", "PageVirtual7p1UpImage",
              "PageEQDownImage", "PageEffectDownImage", "PageMicDownImage",
              "PageVirtual7p1DownImage", "PageLEDUpImage", "PageLEDDownImage",
              "PageENCUpImage", "PageENCDownImage", "PageVMEffectUpImage",
              "PageVMEffectDownImage", "BevelLine", "BevelLine2", "BevelLine3"]),
    ("EQ", ["Back_EQImage", "EQEQENImageUp", "EQEQENImageDown", "EQ3DENImageUp",
            "EQ3DENImageDown", "EQResetImageUp", "EQResetImageDown", "EQS1ImageUp",
            "EQS1ImageDown", "EQS2ImageUp", "EQS2ImageDown", "EQS3ImageUp", "EQS3ImageDown",
            "EQS4ImageUp", "EQS4ImageDown", "EQButtonLineImage1", "EQButtonLineImage2",
            "EQButtonLineImage3", "EQButtonLineImage4", "EQButtonLineImage5",
            "EQGraduationImage", "EQ60HzBarImage", "EQ300HzBarImage", "EQ1200HzBarImage",
            "EQ3600HzBarImage", "EQ12000HzBarImage", "EQ60HzSliderImage",
            "EQ300HzSliderImage", "EQ1200HzSliderImage", "EQ3600HzSliderImage",
            "EQ12000HzSliderImage", "EQ60HzBarDownImage", "EQ300HzBarDownImage",
            "EQ1200HzBarDownImage", "EQ3600HzBarDownImage", "EQ12000HzBarDownImage",
            "EQSlider"]),
    ("3D", ["Back_3DImage", "D33DENImageUp", "D33DENImageDown", "D3FBMImageUp",
            "D3FBMImageDown", "D3ResetImageUp", "D3ResetImageDown", "D3LChannelImage",
            "D3RChannelImage", "D3ConnectionImage", "D3AlphaIndepImage", "D3AlphaDepImage",
            "D3AlphaInvImage", "D3BetaIndepImage", "D3BetaDepImage", "D3BetaInvImage",
            "D3ButtonLineImage1", "D3ButtonLineImage2", "D3LAlphaGraduationImage",
            "D3LBetaGraduationImage", "D3RAlphaGraduationImage", "D3RBetaGraduationImage",
            "D3LAlphaBarImage", "D3LBetaBarImage", "D3RAlphaBarImage", "D3RBetaBarImage",
            "D3LAlphaSliderImage", "D3LBetaSliderImage", "D3RAlphaSliderImage",
            "D3RBetaSliderImage"]),
    ("Effect", ["Back_EffectImage", "EffectButtonNonImageUp", "EffectButtonNonImageDown",
                "EffectButtonTheaterImageUp", "EffectButtonTheaterImageDown",
                "EffectButtonBathroomImageUp", "EffectButtonBathroomImageDown",
                "EffectButtonLivingroomImageUp", "EffectButtonLivingroomImageDown",
                "EffectButtonStoneGalleryImageUp", "EffectButtonStoneGalleryImageDown",
                "EffectButtonLineImage1", "EffectButtonLineImage2", "EffectButtonLineImage3",
                "EffectButtonLineImage4", "EffectPicNonImage", "EffectPicTheaterImage",
                "EffectPicBathroomImage", "EffectPicLivingroomImage",
                "EffectPicStoneGalleryImage", "EffectNonUpImage", "EffectNonDownImage",
                "EffectTheaterUpImage", "EffectTheaterDownImage", "EffectStoneGalleryUpImage",
                "EffectStoneGalleryDownImage", "EffectLivingroomUpImage",
                "EffectLivingroomDownImage", "EffectBathroomUpImage",
                "EffectBathroomDownImage"]),
    ("Mic", ["Back_MicImage", "MicBoostImageUp", "MicBoostImageDown", "MicMuteImageUp",
             "MicMuteImageDown", "MicMonitorImageUp", "MicMonitorImageDown",
             "MicButtonLineImage", "MicPicImage", "MicProgressImage", "MicGainImage",
             "MicGraduationImage", "MicBarImage", "MicSliderImage", "MicValueImage",
             "MicBarDownImage", "MicSlider", "MicProgressLength"]),
    ("Virtual7ch1", ["Back_Virtual7p1Image", "VirtualEnableImageUp", "VirtualEnableImageDown",
                     "VirtualDisableImageUp", "VirtualDisableImageDown",
                     "VirtualClockwiseUpImage", "VirtualClockwiseDownImage",
                     "VirtualCounterclockwiseUpImage", "VirtualCounterclockwiseDownImage",
                     "VirtualEnlargeUpImage", "VirtualEnlargeDownImage", "VirtualNarrowUpImage",
                     "VirtualNarrowDownImage", "VirtualResetUpImage", "VirtualResetDownImage",
                     "VirtualPicImage", "VirtualCImage", "VirtualLImage", "VirtualLSImage",
                     "VirtualLBImage", "VirtualRBImage", "VirtualRSImage", "VirtualRImage",
                     "VirtualSUBImage", "VirtualButtonLineImage1", "VirtualButtonLineImage2",
                     "VirtualButtonLineImage3", "VirtualCenter"]),
    ("LED", ["LEDPageMode", "LEDFastRightSide", "ColorBreatheBarImage", "ColorRainbowBarImage",
             "ColorPulsatingBarImage", "ColorBreatheSliderUpImage",
             "ColorBreatheSliderDownImage", "ColorRainbowSliderUpImage",
             "ColorRainbowSliderDownImage", "ColorPulsatingSliderUpImage",
             "ColorPulsatingSliderDownImage", "ColorBreatheCheckUpImage",
             "ColorBreatheCheckDownImage", "ColorRainbowCheckUpImage",
             "ColorRainbowCheckDownImage", "ColorPulsatingCheckUpImage",
             "ColorPulsatingCheckDownImage", "ColorLEDOffCheckUpImage",
             "ColorLEDOffCheckDownImage", "ColorSingleCheckUpImage", "ColorSingleCheckDownImage",
             "Color01Shape", "Color02Shape", "Color03Shape", "Color04Shape", "Color05Shape",
             "Color06Shape", "Color07Shape", "ColorSingleShape", "ColorBreatheShape"]),
    ("ENC", ["ENCFunctionUpImage", "ENCFunctionDownImage", "ENCBarImage", "ENCSliderImage",
             "ENCValueImage", "ENCSlider"]),
    ("VoiceMagic", ["VMEffectNoneUpImage", "VMEffectNoneDownImage", "VMEffect1UpImage",
                    "VMEffect2UpImage", "VMEffect3UpImage", "VMEffect4UpImage",
                    "VMEffect1DownImage", "VMEffect2DownImage", "VMEffect3DownImage",
                    "VMEffect4DownImage", "VMFunctionUpImage", "VMFunctionDownImage"]),
    ("About", ["LogoImage"]),
])

SECTION_PAGE = {"Main": 0, "EQ": 1, "Effect": 2, "Mic": 3, "Virtual7ch1": 4, "3D": 5,
                "LED": 6, "ENC": 7, "VoiceMagic": 8, "About": 0}

BANDS = ["60Hz", "300Hz", "1200Hz", "3600Hz", "12000Hz"]
SPEAKERS = ["L", "R", "C", "SUB", "LS", "RS", "LB", "RB"]

# Slider travel: the thumb's top edge moves between top and top + range.  The thumbs are
# centred on their bars, so the travel is the bar's length with half a thumb on either end.
EQ_SLIDER = (181, 208)
MIC_SLIDER = (155, 224)
ENC_SLIDER = (150, 209)
MIC_PROGRESS_LENGTH = 203
# Speaker circle in terms of the speakers' top-left corners: the stage's listener sits at
# 500,300, a 32-pixel speaker centred there has its corner at 484,284.
VIRTUAL_CENTER = (484, 284, 130)
# The drag of a speaker stays inside VirtualPicImage with a 10 pixel margin, so the stage
# picture has to hold the whole circle plus one speaker; it is placed around the listener.
STAGE = (332, 132, 336, 336)


class SkinWriter:
    def __init__(self, theme, client, comps, out_dir):
        self.T = theme
        self.W, self.H = client
        self.c = comps
        self.dir = out_dir
        self.values = {}  # (section, key) -> value text
        self.files = {}  # file name -> sha1 of its bytes
        self.by_hash = {}  # sha1 -> file name
        self.pages = {}
        self.base = None

    # bookkeeping ---------------------------------------------------------------------------
    def save(self, name, img):
        buf = io.BytesIO()
        img.save(buf, "PNG", optimize=True)
        data = buf.getvalue()
        digest = hashlib.sha1(data).hexdigest()
        if digest in self.by_hash:
            return self.by_hash[digest]
        if name in self.files:
            raise ValueError("%s: two different pictures under one name" % name)
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data)
        self.files[name] = digest
        self.by_hash[digest] = name
        return name

    def record(self, section, key, value):
        if key not in SKIN_KEYS[section]:
            raise KeyError("%s is not a key of [%s]" % (key, section))
        if (section, key) in self.values:
            raise KeyError("%s of [%s] given twice" % (key, section))
        self.values[(section, key)] = value

    def image(self, section, key, fname, img, page=None, pos=None):
        name = self.save(fname, img)
        items = [name]
        if pos is not None or page is not None:
            items += [str(v) for v in (pos or ("", ""))]
        if page is not None:
            items += ["", "", str(page)]
        self.record(section, key, ",".join(items))

    # scene ---------------------------------------------------------------------------------
    def comp_pages(self, comp):
        return list(range(1, 9)) if comp.page == 0 else [comp.page]

    def under(self, comp, page=None, rect=None):
        page = page if page is not None else self.comp_pages(comp)[0]
        return self.pages[page].crop(rect or comp.rect)

    def lay(self, comp, img, pages=None, at=None):
        at = at or (comp.x, comp.y)
        for pg in pages or self.comp_pages(comp):
            if img.mode == "RGBA":
                self.pages[pg].paste(img, at, img)
            else:
                self.pages[pg].paste(img, at)

    def static(self, section, key, name, fname, draw, page=None):
        comp = self.c[name]
        p = Pic(comp.w, comp.h)
        draw(p)
        img = p.flatten(self.under(comp))
        self.image(section, key, fname, img, page=page)
        self.lay(comp, img)
        return img

    def two_state(self, section, key_up, key_down, name, fname, draw):
        comp = self.c[name]
        bg = self.under(comp)
        imgs = []
        for down in (False, True):
            p = Pic(comp.w, comp.h)
            draw(p, down)
            imgs.append(p.flatten(bg))
        names = fname if isinstance(fname, tuple) else (fname + "_up.png", fname + "_down.png")
        self.image(section, key_up, names[0], imgs[0])
        self.image(section, key_down, names[1], imgs[1])
        self.lay(comp, imgs[0])
        return imgs

    def moving(self, section, key, name, fname, draw, under_colour):
        comp = self.c[name]
        p = Pic(comp.w, comp.h)
        draw(p)
        self.image(section, key, fname, p.transparent(under_colour))

    # the window ----------------------------------------------------------------------------
    def build(self):
        T, c = self.T, self.c
        os.makedirs(self.dir, exist_ok=True)
        content = c["Back_EQImage"].rect
        left_card = (10, 62, 242, 504)
        base = draw_main_form(T, self.W, self.H, left_card, content)
        ml = c["MainLeftImage"]
        draw_left_idle(base, T, (ml.x + 0.5, ml.y + 0.5, ml.x + ml.w - 0.5, ml.y + ml.h - 0.5))
        base_img = base.flatten(T.corner)
        self.base = base_img
        self.pages = {pg: base_img.copy() for pg in range(1, 9)}
        self.image("Main", "MainFormImage", "main_form.png", base_img)
        self.write_region(base)

        self.header()
        self.left_column()
        self.tabs()
        self.page_eq()
        self.page_effect()
        self.page_mic()
        self.page_virtual()
        self.page_3d()
        self.page_led()
        self.page_enc()
        self.page_voice()
        self.about()
        self.write_ini()

    def header(self):
        T = self.T

        def logo(p):
            mark = p.rr_mask((0.5, 2.5, 28.5, 30.5), 8)
            p.glow(mark, alpha(T.accent, 0.6), 2.5, 0.9)
            p.fill(mark, p.vgrad(T.accent_hi, T.accent_deep, 2, 30))
            glyph_headset(G(p, 4, 5.5, 20.5), WHITE, 2.4)
            p.fill(p.text_mask((38, 6.5), "TAVRIN", 15.5, True, 2.2),
                   p.vgrad(WHITE, mix(T.glyph_hi, T.accent_hi, 0.3), 8, 24))
        self.static("Main", "LogoImage", "LogoImage", "logo.png", logo)

        for i in (1, 2, 3):
            self.two_state("Main", "Menu%dImageUp" % i, "Menu%dImageDown" % i, "Menu%dImage" % i,
                           "menu", lambda p, d: button(p, T, d, 7))

        def window_button(kind):
            def draw(p, down):
                box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
                if down:
                    colour = (229, 72, 77) if kind == "close" else T.accent
                    p.rrect(box, 7, p.vgrad(mix(colour, WHITE, 0.1), colour))
                    glyph_c = WHITE
                else:
                    p.rrect(box, 7, alpha(WHITE, 0.04))
                    p.rrect_line(box, 7, alpha(T.btn_border, 0.8), 1.0)
                    glyph_c = T.glyph_hi
                m = p.w / 2
                if kind == "close":
                    p.line([(m - 4.5, m - 4.5), (m + 4.5, m + 4.5)], glyph_c, 1.8)
                    p.line([(m - 4.5, m + 4.5), (m + 4.5, m - 4.5)], glyph_c, 1.8)
                else:
                    p.line([(m - 5, m + 0.5), (m + 5, m + 0.5)], glyph_c, 1.8)
            return draw
        self.two_state("Main", "MinimizeImageUp", "MinimizeImageDown", "MinimizeImage",
                       "minimize", window_button("min"))
        self.two_state("Main", "CloseImageUp", "CloseImageDown", "CloseImage", "close",
                       window_button("close"))

    def left_column(self):
        T, c = self.T, self.c
        ml = c["MainLeftImage"]
        for n, (fname, draw) in enumerate((("left_eq.png", draw_left_eq),
                                           ("left_effect.png", draw_left_effect),
                                           ("left_mic.png", draw_left_mic),
                                           ("left_virtual.png", draw_left_virtual)), 1):
            p = draw(T, ml.w, ml.h)
            img = p.flatten(self.pages[n].crop(ml.rect))
            self.image("Main", "MainLeftImage%d" % n, fname, img, page=n)
            self.pages[n].paste(img, (ml.x, ml.y))

        def status_card(p):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            p.rrect(box, 9, p.vgrad(mix(T.card_top, WHITE, 0.035), T.card_bot))
            p.rrect_line(box, 9, T.card_border, 1.0)
            p.rect((12, 31, p.w - 12, 32), T.card_border)
            glyph_headset(G(p, p.w - 28, 8, 16), alpha(T.glyph, 0.8), 2.2)
        self.static("Main", "DeviceActiveImage", "DeviceActiveImage", "status_card.png",
                    status_card)

        def lamp(on_colour):
            def draw(p, down):
                cx, cy = p.w / 2, p.h / 2
                if down:
                    p.glow(p.ellipse_mask((cx - 4, cy - 4, cx + 4, cy + 4)), on_colour, 1.6, 1.6)
                    p.circle(cx, cy, 4.2, on_colour)
                    p.circle(cx - 1.2, cy - 1.2, 1.5, alpha(WHITE, 0.75))
                else:
                    p.circle(cx, cy, 4.2, mix(T.btn_bot, BLACK, 0.2))
                    p.ring(cx, cy, 4.2, T.btn_border, 1.0)
            return draw
        self.two_state("Main", "DeviceActiveUpImage", "DeviceActiveDownImage", "DeviceInImage",
                       ("lamp_dark.png", "lamp_online.png"), lamp((61, 220, 132)))
        self.two_state("Main", "DeviceUnActiveUpImage", "DeviceUnActiveDownImage",
                       "DeviceOutImage", ("lamp_dark.png", "lamp_offline.png"),
                       lamp((255, 98, 98)))

        def led_button(p, down):
            button(p, T, down, 10)
            colour = WHITE if down else T.glyph_hi
            if down:
                p.glow(p.ellipse_mask((12, 8, 28, 24)), alpha(T.accent_hi, 0.9), 4, 1.2)
            glyph_led(G(p, 8, 7, 24), colour, 1.9)
            for a in (200, 240, 300, 340) if down else ():
                r0, r1 = 12, 15.5
                ang = math.radians(a)
                p.line([(20 + r0 * math.cos(ang), 17 + r0 * math.sin(ang)),
                        (20 + r1 * math.cos(ang), 17 + r1 * math.sin(ang))], WHITE, 1.4)
        self.two_state("Main", "LedImageUp", "LedImageDown", "LEDImage", "led_button",
                       led_button)

    def tabs(self):
        T = self.T

        def tab(p, down):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            shape = p.rr_mask(box, 8)
            if down:
                p.fill(shape, p.vgrad(mix(T.accent, T.panel, 0.55), mix(T.accent, T.panel, 0.72)))
                inner = p.rr_mask((1.5, 1.5, p.w - 1.5, p.h - 1.5), 7)
                p.glow(cut(shape, inner), T.accent_hi, 2.0, 0.8, clip=shape)
                p.rrect_line(box, 8, T.down_border, 1.0)
                bar = p.rr_mask((p.w / 2 - 16, p.h - 4, p.w / 2 + 16, p.h - 2), 1)
                p.glow(bar, WHITE, 2.0, 0.9, clip=shape)
                p.fill(bar, mix(T.accent_hi, WHITE, 0.5))
            else:
                p.fill(shape, p.vgrad(mix(T.btn_top, T.win_top, 0.3), mix(T.btn_bot, T.win_top,
                                                                          0.4)))
                p.rrect_line(box, 8, alpha(T.btn_border, 0.75), 1.0)
        for name, up, down in (("PageEQImage", "PageEQUpImage", "PageEQDownImage"),
                               ("PageEffectImage", "PageEffectUpImage", "PageEffectDownImage"),
                               ("PageMicImage", "PageMicUpImage", "PageMicDownImage"),
                               ("PageVirtual7p1Image", "PageVirtual7p1UpImage",
                                "PageVirtual7p1DownImage"),
                               ("PageLEDImage", "PageLEDUpImage", "PageLEDDownImage"),
                               ("PageENCImage", "PageENCUpImage", "PageENCDownImage"),
                               ("PageVMEffectImage", "PageVMEffectUpImage",
                                "PageVMEffectDownImage")):
            imgs = self.two_state("Main", up, down, name, "tab", tab)
            # the selected page's tab is lit on that page
            page = {"PageEQImage": 1, "PageEffectImage": 2, "PageMicImage": 3,
                    "PageVirtual7p1Image": 4, "PageLEDImage": 6, "PageENCImage": 7,
                    "PageVMEffectImage": 8}[name]
            self.lay(self.c[name], imgs[1], pages=[page])
        self.record("Main", "BevelLine", "0")
        self.record("Main", "BevelLine2", "0")
        self.record("Main", "BevelLine3", "0")

    # shared controls -----------------------------------------------------------------------
    def toggle(self, p, down, r=7.0):
        button(p, self.T, down, r)

    def icon_button(self, glyph, size=16, x=None, r=7.0, momentary=False):
        T = self.T

        def draw(p, down):
            button(p, T, down, r)
            gx = x if x is not None else 8
            colour = WHITE if down else T.glyph
            if down and not momentary:
                g = Pic(p.w, p.h)
                glyph(G(g, gx, (p.h - size) / 2, size), WHITE)
                p.glow(g.im.getchannel("A"), T.accent_hi, 2.0, 1.0)
            glyph(G(p, gx, (p.h - size) / 2, size), colour)
        return draw

    def separator(self, section, key, name, fname, vertical=False):
        T = self.T
        self.static(section, key, name, fname,
                    lambda p: fade_line(p, mix(T.panel_border, WHITE, 0.04),
                                        (0, 0, p.w, p.h), vertical))

    def back(self, section, key, name, fname, extra=None):
        T = self.T

        def draw(p):
            panel(p, T, (0, 0, p.w, p.h))
            if extra:
                extra(p)
        self.static(section, key, name, fname, draw)

    def local(self, comp_name, origin):
        c = self.c[comp_name]
        return (c.x - origin.x, c.y - origin.y, c.x - origin.x + c.w, c.y - origin.y + c.h)

    # page 1 --------------------------------------------------------------------------------
    def page_eq(self):
        T, c = self.T, self.c
        back = c["Back_EQImage"]

        def deco(p):
            x0 = c["EQGraduationImage"].x - back.x - 8
            y0 = c["EQButtonLineImage1"].y - back.y + 14
            y1 = c["EQ60HzLabel"].y + c["EQ60HzLabel"].h - back.y + 8
            well(p, T, (x0, y0, p.w - 14, y1), 10)
        self.back("EQ", "Back_EQImage", "Back_EQImage", "eq_back.png", deco)

        self.two_state("EQ", "EQEQENImageUp", "EQEQENImageDown", "EQEQENImage", "btn96_toggle",
                       lambda p, d: self.toggle(p, d))
        self.two_state("EQ", "EQ3DENImageUp", "EQ3DENImageDown", "EQ3DENImage", "btn96_toggle",
                       lambda p, d: self.toggle(p, d))
        for i in range(1, 5):
            self.two_state("EQ", "EQS%dImageUp" % i, "EQS%dImageDown" % i, "EQS%dImage" % i,
                           "preset", lambda p, d: button(p, T, d, 7))
        self.separator("EQ", "EQButtonLineImage1", "EQButtonLineImage1", "eq_line_h.png")
        for i in range(2, 6):
            self.separator("EQ", "EQButtonLineImage%d" % i, "EQButtonLineImage%d" % i,
                           "eq_line_v.png", vertical=True)
        grad = c["EQGraduationImage"]
        top_centre = EQ_SLIDER[0] + c["EQ60HzSliderImage"].h / 2 - grad.y
        self.static("EQ", "EQGraduationImage", "EQGraduationImage", "eq_scale.png",
                    lambda p: graduation(p, T, top_centre, top_centre + EQ_SLIDER[1], 12,
                                         (0, 6, 12)))
        for band in BANDS:
            # The window sizes the Down bar from the bar's top to the thumb's bottom, so the
            # Down picture is the empty track above the thumb and the level shows beneath it.
            self.static("EQ", "EQ%sBarImage" % band, "EQ%sBarImage" % band, "eq_bar_fill.png",
                        lambda p: pill_fill(p, T, (0.5, 0.5, p.w - 0.5, p.h - 0.5)))
            self.static("EQ", "EQ%sBarDownImage" % band, "EQ%sBarDownImage" % band,
                        "eq_bar_track.png",
                        lambda p: pill_track(p, T, (0.5, 0.5, p.w - 0.5, p.h - 0.5)),
                        page=1)
        for band in BANDS:
            self.moving("EQ", "EQ%sSliderImage" % band, "EQ%sSliderImage" % band, "thumb.png",
                        lambda p: thumb(p, T), T.well)
        self.record("EQ", "EQSlider", "%d,%d" % EQ_SLIDER)
        self.two_state("EQ", "EQResetImageUp", "EQResetImageDown", "EQResetImage", "btn96_reset",
                       self.icon_button(glyph_reset, 14, 10, momentary=True))

    # page 2 --------------------------------------------------------------------------------
    def page_effect(self):
        T, c = self.T, self.c
        back = c["Back_EffectImage"]

        def deco(p):
            pic = self.local("EffectPicImage", back)
            # soft reflection of the scene below it
            y = pic[3] + 14
            pts = [(pic[0] + 10 + (pic[2] - pic[0] - 20) * i / 160,
                    y + 40 - 18 * math.sin(i / 160 * 5 * math.pi) * math.sin(i / 160 * math.pi))
                   for i in range(161)]
            for k, a in ((0, 0.5), (8, 0.25), (16, 0.12)):
                p.line([(x, yy + k) for x, yy in pts], alpha(T.accent, a), 1.6)
        self.back("Effect", "Back_EffectImage", "Back_EffectImage", "effect_back.png", deco)

        def effect_button(p, down):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            shape = p.rr_mask(box, 9)
            if down:
                button(p, T, True, 9)
                p.rrect((box[0] + 1, 12, box[0] + 3.5, p.h - 12), 1.2, T.accent_hi)
            else:
                p.fill(shape, alpha(WHITE, 0.025))
                p.rrect_line(box, 9, alpha(T.btn_border, 0.7), 1.0)
            well(p, T, (6, 6, 38, 38), 8)

        icon_of = {"Non": icon_none, "Theater": icon_theater, "Bathroom": icon_bathroom,
                   "Livingroom": icon_livingroom, "StoneGallery": icon_stonegallery}
        # Buttons and icons pair by tag, not by name: the control called
        # EffectButtonStoneGalleryImage carries the Bathroom tag and the other way round.
        slots = [("EffectButtonNonImage", "Non", "EffectNonImage"),
                 ("EffectButtonTheaterImage", "Theater", "EffectTheaterImage"),
                 ("EffectButtonStoneGalleryImage", "Bathroom", "EffectBathroomImage"),
                 ("EffectButtonLivingroomImage", "Livingroom", "EffectLivingroomImage"),
                 ("EffectButtonBathroomImage", "StoneGallery", "EffectStoneGalleryImage")]
        buttons = {}
        for ctrl, effect, icon in slots:
            buttons[effect] = self.two_state(
                "Effect", "EffectButton%sImageUp" % effect, "EffectButton%sImageDown" % effect,
                ctrl, "effect_button", effect_button)
        for ctrl, effect, icon in slots:
            comp = c[icon]
            btn = c[ctrl]
            rect = (comp.x - btn.x, comp.y - btn.y, comp.x - btn.x + comp.w,
                    comp.y - btn.y + comp.h)
            imgs = []
            for down in (False, True):
                p = Pic(comp.w, comp.h)
                colour = T.accent_hi if down else T.glyph
                if down:
                    g = Pic(comp.w, comp.h)
                    icon_of[effect](G(g, 2, 2, 20), WHITE)
                    p.glow(g.im.getchannel("A"), alpha(T.accent, 0.8), 1.5, 1.0)
                icon_of[effect](G(p, 2, 2, 20), colour)
                imgs.append(p.flatten(buttons[effect][1 if down else 0].crop(rect)))
            self.image("Effect", "Effect%sUpImage" % effect, "fx_%s_up.png" % effect.lower(),
                       imgs[0])
            self.image("Effect", "Effect%sDownImage" % effect,
                       "fx_%s_down.png" % effect.lower(), imgs[1])
            self.lay(comp, imgs[0])
        for i in range(1, 5):
            self.separator("Effect", "EffectButtonLineImage%d" % i, "EffectButtonLineImage%d" % i,
                           "effect_line.png")
        pic = c["EffectPicImage"]
        bg = self.under(pic)
        for key, fname, draw in (("EffectPicNonImage", "scene_none.png", draw_scene_none),
                                 ("EffectPicTheaterImage", "scene_theater.png",
                                  draw_scene_theater),
                                 ("EffectPicBathroomImage", "scene_bathroom.png",
                                  draw_scene_bathroom),
                                 ("EffectPicLivingroomImage", "scene_livingroom.png",
                                  draw_scene_livingroom),
                                 ("EffectPicStoneGalleryImage", "scene_stonegallery.png",
                                  draw_scene_stonegallery)):
            img = draw(T, pic.w, pic.h).flatten(bg)
            self.image("Effect", key, fname, img)
            if key == "EffectPicNonImage":
                self.lay(pic, img)

    # page 3 --------------------------------------------------------------------------------
    def page_mic(self):
        T, c = self.T, self.c
        back = c["Back_MicImage"]

        def deco(p):
            gain = self.local("MicGainImage", back)
            pr = self.local("MicProgressImage", back)
            well(p, T, (gain[0], gain[3] + 8, gain[2], pr[3] + 18), 10)
            meter_track(p, T, pr)
            glyph_mic(G(p, pr[0] - 20, pr[1] - 3, 16), T.glyph, 2.0)
        self.back("Mic", "Back_MicImage", "Back_MicImage", "mic_back.png", deco)
        self.static("Mic", "MicPicImage", "MicPicImage", "mic_picture.png",
                    lambda p: p.im.alpha_composite(draw_mic_picture(T, p.w, p.h).im))
        self.separator("Mic", "MicButtonLineImage", "MicButtonLineImage", "mic_line.png")
        self.two_state("Mic", "MicBoostImageUp", "MicBoostImageDown", "MicBoostImage",
                       "mic_boost", self.icon_button(glyph_boost, 16, 12))
        self.two_state("Mic", "MicMuteImageUp", "MicMuteImageDown", "MicMuteImage", "mic_mute",
                       self.icon_button(glyph_mic_off, 16, 12))
        self.two_state("Mic", "MicMonitorImageUp", "MicMonitorImageDown", "MicMonitorImage",
                       "mic_monitor", self.icon_button(glyph_headset, 16, 12))

        def header(p):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            shape = p.rr_mask(box, 8)
            p.fill(shape, p.hgrad(None, None, 0, p.w, [(0, alpha(T.accent, 0.05)),
                                                        (0.5, alpha(T.accent, 0.16)),
                                                        (1, alpha(T.accent, 0.05))]))
            p.rrect_line(box, 8, alpha(T.accent, 0.35), 1.0)
        self.static("Mic", "MicGainImage", "MicGainImage", "mic_header.png", header)
        grad = c["MicGraduationImage"]
        top_centre = MIC_SLIDER[0] + c["MicSliderImage"].h / 2 - grad.y
        self.static("Mic", "MicGraduationImage", "MicGraduationImage", "mic_scale.png",
                    lambda p: graduation(p, T, top_centre, top_centre + MIC_SLIDER[1], 10,
                                         (0, 5, 10)))
        self.static("Mic", "MicBarImage", "MicBarImage", "mic_bar_fill.png",
                    lambda p: pill_fill(p, T, (0.5, 0.5, p.w - 0.5, p.h - 0.5)))
        self.static("Mic", "MicBarDownImage", "MicBarDownImage", "mic_bar_track.png",
                    lambda p: pill_track(p, T, (0.5, 0.5, p.w - 0.5, p.h - 0.5)), page=3)
        self.moving("Mic", "MicSliderImage", "MicSliderImage", "thumb.png",
                    lambda p: thumb(p, T), T.well)
        self.static("Mic", "MicValueImage", "MicValueImage", "value_badge.png",
                    lambda p: value_badge(p, T))
        self.static("Mic", "MicProgressImage", "MicProgressImage", "mic_meter.png",
                    lambda p: meter_fill(p, T))
        self.record("Mic", "MicSlider", "%d,%d" % MIC_SLIDER)
        self.record("Mic", "MicProgressLength", str(MIC_PROGRESS_LENGTH))

    # page 4 --------------------------------------------------------------------------------
    def page_virtual(self):
        T, c = self.T, self.c
        back = c["Back_Virtual7p1Image"]

        def deco(p):
            first = self.local("VirtualEnableImage", back)
            last = self.local("VirtualButtonLineImage3", back)
            well(p, T, (first[0] - 8, first[1] - 8, first[2] + 8, last[3] + 8), 10,
                 fill=mix(T.well, T.panel, 0.5))
        self.back("Virtual7ch1", "Back_Virtual7p1Image", "Back_Virtual7p1Image",
                  "virtual_back.png", deco)

        sx, sy, sw, sh = STAGE
        cx = VIRTUAL_CENTER[0] + 16 - sx
        cy = VIRTUAL_CENTER[1] + 16 - sy
        p = draw_stage(T, sw, sh, (cx, cy), VIRTUAL_CENTER[2])
        bg = self.pages[4].crop((sx, sy, sx + sw, sy + sh))
        img = p.flatten(bg)
        self.image("Virtual7ch1", "VirtualPicImage", "virtual_stage.png", img, pos=(sx, sy))
        self.pages[4].paste(img, (sx, sy))
        stage_colour = img.getpixel((int(cx), int(cy - VIRTUAL_CENTER[2] * 0.8)))
        for spk in SPEAKERS:
            img_s = draw_speaker(T, spk).transparent(stage_colour)
            self.image("Virtual7ch1", "Virtual%sImage" % spk, "speaker_%s.png" % spk.lower(),
                       img_s)

        self.two_state("Virtual7ch1", "VirtualEnableImageUp", "VirtualEnableImageDown",
                       "VirtualEnableImage", "v71_toggle", self.icon_button(glyph_speaker7, 16, 9))

        def gpio(p, down):
            self.icon_button(glyph_speaker7, 16, 9)(p, down)
            # a small lock: the hardware switch owns this state
            lx, ly = p.w - 17, p.h / 2 - 5
            colour = WHITE if down else T.glyph
            p.rrect((lx, ly + 4, lx + 9, ly + 11), 1.5, colour)
            p.arc(lx + 4.5, ly + 4, 3, 180, 360, colour, 1.5, caps=False)
        # VirtualDisable* share the enable button's control (hardware switch mode).
        comp = c["VirtualEnableImage"]
        bgv = self.under(comp)
        for down, key in ((False, "VirtualDisableImageUp"), (True, "VirtualDisableImageDown")):
            q = Pic(comp.w, comp.h)
            gpio(q, down)
            self.image("Virtual7ch1", key, "v71_switch_%s.png" % ("down" if down else "up"),
                       q.flatten(bgv))

        for name, glyph in (("Clockwise", lambda g, col: glyph_rotate(g, col, True)),
                            ("Counterclockwise", lambda g, col: glyph_rotate(g, col, False)),
                            ("Narrow", glyph_narrow), ("Enlarge", glyph_enlarge)):
            self.two_state("Virtual7ch1", "Virtual%sUpImage" % name, "Virtual%sDownImage" % name,
                           "Virtual%sImage" % name, "v71_" + name.lower(),
                           self.icon_button(glyph, 14, 8))
        self.two_state("Virtual7ch1", "VirtualResetUpImage", "VirtualResetDownImage",
                       "VirtualResetImage", "v71_reset",
                       self.icon_button(glyph_reset, 14, 8, momentary=True))
        for i in (1, 2, 3):
            self.separator("Virtual7ch1", "VirtualButtonLineImage%d" % i,
                           "VirtualButtonLineImage%d" % i, "v71_line.png")
        self.record("Virtual7ch1", "VirtualCenter", "%d,%d,%d" % VIRTUAL_CENTER)

    # page 5 --------------------------------------------------------------------------------
    def page_3d(self):
        T, c = self.T, self.c
        back = c["Back_3DImage"]

        def deco(p):
            for side in ("L", "R"):
                a = self.local("D3%sBetaGraduationImage" % side, back)
                b = self.local("D3%sChannelImage" % side, back)
                well(p, T, (min(a[0], b[0]) - 8, a[1] - 6, b[2] + 8, b[3] + 6), 9)
        self.back("3D", "Back_3DImage", "Back_3DImage", "d3_back.png", deco)
        for side in ("L", "R"):
            for par in ("Beta", "Alpha"):
                g = c["D3%s%sGraduationImage" % (side, par)]
                bar = c["D3%s%sBarImage" % (side, par)]
                self.static("3D", "D3%s%sGraduationImage" % (side, par),
                            "D3%s%sGraduationImage" % (side, par), "d3_scale.png",
                            lambda p, g=g, bar=bar: graduation(
                                p, T, bar.y - g.y + 4, bar.y - g.y + bar.h - 4, 8, (0, 4, 8),
                                signs=False))
                self.static("3D", "D3%s%sBarImage" % (side, par), "D3%s%sBarImage" % (side, par),
                            "d3_bar.png",
                            lambda p: pill_track(p, T, (0.5, 0.5, p.w - 0.5, p.h - 0.5)))
        for side in ("L", "R"):
            for par in ("Beta", "Alpha"):
                self.moving("3D", "D3%s%sSliderImage" % (side, par),
                            "D3%s%sSliderImage" % (side, par), "d3_thumb.png",
                            lambda p: thumb(p, T), T.well)

        def channel(p):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            p.rrect(box, 7, alpha(T.accent, 0.10))
            p.rrect_line(box, 7, alpha(T.accent, 0.35), 1.0)
        self.static("3D", "D3LChannelImage", "D3LChannelImage", "d3_channel.png", channel)
        self.static("3D", "D3RChannelImage", "D3RChannelImage", "d3_channel.png", channel)

        def connection(p):
            cy = p.h / 2
            for x in (14, p.w - 14):
                p.circle(x, cy, 9, T.well)
                p.ring(x, cy, 9, T.accent, 2.0)
            p.line([(24, cy), (p.w - 24, cy)], alpha(T.accent, 0.6), 2.0)
            for i in range(3):
                p.arc(p.w / 2, cy + 26, 18 + i * 8, 235, 305, alpha(T.accent_hi, 0.6 - 0.18 * i),
                      1.6)
        self.static("3D", "D3ConnectionImage", "D3ConnectionImage", "d3_link.png", connection)

        def link(mode):
            def draw(p):
                button(p, T, mode != "indep", 9, strong=False)
                colour = WHITE if mode != "indep" else T.glyph
                cy = p.h / 2
                if mode == "indep":
                    p.rrect_line((6, cy - 5, 18, cy + 5), 5, colour, 2.0)
                    p.rrect_line((22, cy - 5, 34, cy + 5), 5, colour, 2.0)
                elif mode == "dep":
                    p.rrect_line((7, cy - 5, 22, cy + 5), 5, colour, 2.0)
                    p.rrect_line((18, cy - 5, 33, cy + 5), 5, colour, 2.0)
                else:
                    p.line([(12, cy + 8), (12, cy - 7)], colour, 2.0)
                    p.line([(8, cy - 3), (12, cy - 8), (16, cy - 3)], colour, 2.0)
                    p.line([(28, cy - 8), (28, cy + 7)], colour, 2.0)
                    p.line([(24, cy + 3), (28, cy + 8), (32, cy + 3)], colour, 2.0)
            return draw
        for par in ("Alpha", "Beta"):
            comp = c["D3%sImage" % par]
            bg = self.under(comp)
            first = None
            for mode in ("indep", "dep", "inv"):
                q = Pic(comp.w, comp.h)
                link(mode)(q)
                img = q.flatten(bg)
                first = first or img
                self.image("3D", "D3%s%sImage" % (par, mode.capitalize()),
                           "d3_link_%s.png" % mode, img)
            self.lay(comp, first)
        self.separator("3D", "D3ButtonLineImage1", "D3ButtonLineImage1", "d3_line.png")
        self.two_state("3D", "D33DENImageUp", "D33DENImageDown", "D33DENImage", "btn110_toggle",
                       lambda p, d: self.toggle(p, d))
        self.two_state("3D", "D3FBMImageUp", "D3FBMImageDown", "D3FBMImage", "btn110_toggle",
                       lambda p, d: self.toggle(p, d))
        self.two_state("3D", "D3ResetImageUp", "D3ResetImageDown", "D3ResetImage",
                       "btn110_reset", self.icon_button(glyph_reset, 14, 10, momentary=True))
        self.separator("3D", "D3ButtonLineImage2", "D3ButtonLineImage2", "d3_line.png")

    # page 6 --------------------------------------------------------------------------------
    def page_led(self):
        T, c = self.T, self.c

        def check(p, down):
            box = (1, 1, p.w - 1, p.h - 1)
            if down:
                shape = p.rr_mask(box, 5)
                p.glow(shape, alpha(T.accent, 0.8), 1.5, 1.0)
                p.fill(shape, p.vgrad(T.accent_hi, T.accent))
                p.line([(5.5, 10.5), (8.7, 13.6), (14.6, 6.8)], mix(T.accent_deep, BLACK, 0.55),
                       2.2)
            else:
                p.rrect(box, 5, T.well)
                p.rrect_line(box, 5, mix(T.btn_border, WHITE, 0.1), 1.3)
        for name in ("LEDOff", "Single", "Breathe", "Rainbow", "Pulsating"):
            self.two_state("LED", "Color%sCheckUpImage" % name, "Color%sCheckDownImage" % name,
                           "Color%sCheckImage" % name, "led_check", check)

        def speed_bar(p):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            r = (box[3] - box[1]) / 2
            p.rrect(box, r, T.track)
            p.rrect(box, r, p.hgrad(alpha(T.accent, 0.15), alpha(T.accent, 0.85)))
            p.rrect_line(box, r, alpha(WHITE, 0.06), 1.0)
        for name in ("Breathe", "Rainbow", "Pulsating"):
            self.static("LED", "Color%sBarImage" % name, "Color%sBarImage" % name,
                        "led_speed_bar.png", speed_bar)

        def knob(down):
            def draw(p):
                box = (1, 1, p.w - 1, p.h - 1)
                shape = p.rr_mask(box, 4)
                p.glow(shape, alpha(T.accent if down else BLACK, 0.8), 1.2, 1.0)
                if down:
                    p.fill(shape, p.vgrad(WHITE, mix(T.accent_hi, WHITE, 0.3)))
                    p.rrect_line(box, 4, T.accent, 1.2)
                    p.line([(p.w / 2, 6), (p.w / 2, p.h - 6)], T.accent, 1.6)
                else:
                    p.fill(shape, p.vgrad((200, 208, 220), (140, 150, 166)))
                    p.rrect_line(box, 4, (90, 100, 116), 1.0)
                    p.line([(p.w / 2, 6), (p.w / 2, p.h - 6)], (100, 110, 126), 1.4)
            return draw
        for name in ("Breathe", "Rainbow", "Pulsating"):
            for down in (False, True):
                self.moving("LED", "Color%sSlider%sImage" % (name, "Down" if down else "Up"),
                            "Color%sSliderImage" % name,
                            "led_knob_%s.png" % ("down" if down else "up"), knob(down), T.panel)
        self.record("LED", "LEDPageMode", "1")
        # The labels put SLOW on the left and FAST on the right.
        self.record("LED", "LEDFastRightSide", "1")
        for name in ["Color%02dShape" % i for i in range(1, 8)] + ["ColorSingleShape",
                                                                     "ColorBreatheShape"]:
            comp = c[name]
            self.record("LED", name, "%d,%d,%d,%d,%s" % (comp.x, comp.y, comp.w, comp.h,
                                                         comp.props.get("shape", "1")))

    # page 7 --------------------------------------------------------------------------------
    def page_enc(self):
        T, c = self.T, self.c
        comp = c["ENCFunctionImage"]
        bg = self.under(comp)
        for down, key in ((False, "ENCFunctionUpImage"), (True, "ENCFunctionDownImage")):
            q = Pic(comp.w, comp.h)
            self.icon_button(glyph_power, 16, 12)(q, down)
            img = q.flatten(bg)
            self.image("ENC", key, "power_%s.png" % ("down" if down else "up"), img)
            if not down:
                self.lay(comp, img)

        def enc_bar(p):
            box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
            pill_track(p, T, box)
            inner = (2.5, 2.5, p.w - 2.5, p.h - 2.5)
            p.rrect(inner, (inner[2] - inner[0]) / 2,
                    p.vgrad(alpha(T.accent_hi, 0.95), alpha(T.accent_deep, 0.12)))
        self.static("ENC", "ENCBarImage", "ENCBarImage", "enc_bar.png", enc_bar)
        self.moving("ENC", "ENCSliderImage", "ENCSliderImage", "thumb_panel.png",
                    lambda p: thumb(p, T), T.panel)
        # The value sits in a dial rather than a bare badge: this page has little else on it.
        val = c["ENCValueImage"]
        size = 176
        left, top = val.x + val.w // 2 - size // 2, val.y + val.h // 2 - size // 2
        p = Pic(size, size)
        enc_dial(p, T)
        img = p.flatten(self.pages[7].crop((left, top, left + size, top + size)))
        self.image("ENC", "ENCValueImage", "enc_dial.png", img, pos=(left, top))
        self.pages[7].paste(img, (left, top))
        self.record("ENC", "ENCSlider", "%d,%d" % ENC_SLIDER)

    # page 8 --------------------------------------------------------------------------------
    def page_voice(self):
        c = self.c
        comp = c["VMFunctionImage"]
        bg = self.under(comp)
        for down, key in ((False, "VMFunctionUpImage"), (True, "VMFunctionDownImage")):
            q = Pic(comp.w, comp.h)
            self.icon_button(glyph_power, 16, 12)(q, down)
            img = q.flatten(bg)
            self.image("VoiceMagic", key, "power_%s.png" % ("down" if down else "up"), img)
            if not down:
                self.lay(comp, img)
        waves = {"None": (2.0, 0.0, "flat"), "1": (1.5, 6.0, "sine"), "2": (4.0, 5.0, "sine"),
                 "3": (2.5, 7.0, "jag"), "4": (6.5, 3.5, "saw")}
        for tag, name in (("None", "VMEffectNone"), ("1", "VMEffect1"), ("2", "VMEffect2"),
                          ("3", "VMEffect3"), ("4", "VMEffect4")):
            cycles, amp, shape = waves[tag]
            self.two_state("VoiceMagic", "%sUpImage" % name, "%sDownImage" % name,
                           "%sImage" % name, "voice_%s" % tag.lower(),
                           self.icon_button(lambda g, col, cy=cycles, a=amp, s=shape:
                                            glyph_wave(g, col, cy, a, s, 2.0), 20, 10, r=9))

    def about(self):
        T = self.T
        p = Pic(57, 49)
        box = (4.5, 0.5, 52.5, 48.5)
        shape = p.rr_mask(box, 11)
        p.fill(shape, p.vgrad(T.accent_hi, T.accent_deep, 0, 49))
        p.fill(shape, p.rgrad((18, 8), 30, alpha(WHITE, 0.25), alpha(WHITE, 0)))
        glyph_headset(G(p, 12.5, 8.5, 32), WHITE, 2.4)
        name = self.save("about_logo.png", p.flatten((240, 240, 240)))
        self.record("About", "LogoImage", name)

    # outputs -------------------------------------------------------------------------------
    def write_region(self, base):
        """Window shape as RGNDATA, one rectangle per run of identical scan lines."""
        W, H = self.W, self.H
        m = base.rr_mask((0, 0, W, H), 12).resize((W, H), BOX)
        px = m.load()
        spans = []
        for y in range(H):
            xs = [x for x in range(W) if px[x, y] >= 128]
            spans.append((xs[0], xs[-1] + 1) if xs else None)
        rects = []
        y = 0
        while y < H:
            span = spans[y]
            y1 = y + 1
            while y1 < H and spans[y1] == span:
                y1 += 1
            if span:
                rects.append((span[0], y, span[1], y1))
            y = y1
        data = struct.pack("<IIII4i", 32, 1, len(rects), len(rects) * 16, 0, 0, W, H)
        data += b"".join(struct.pack("<4i", *r) for r in rects)
        with open(os.path.join(self.dir, "MainForm_Frame.rgn"), "wb") as f:
            f.write(data)

    def write_ini(self):
        lines = ["; %s skin for Tavrin. Generated by tools/skin/make_skin.py; edit the generator,"
                 % self.T.name,
                 "; not this file. Values: file[,left,top,width,height,page]; a picture without a"
                 " size",
                 "; takes its own size at the control's designed position.", ""]
        for section, keys in SKIN_KEYS.items():
            lines.append("[%s]" % section)
            for key in keys:
                if (section, key) not in self.values:
                    raise KeyError("no value for %s of [%s]" % (key, section))
                lines.append("%s=%s" % (key, self.values[(section, key)]))
            lines.append("")
        text = "\r\n".join(lines)
        text.encode("ascii")
        with open(os.path.join(self.dir, "SkinSetting.ini"), "wb") as f:
            f.write(text.encode("ascii"))


def value_badge(p, T):
    box = (0.5, 0.5, p.w - 0.5, p.h - 0.5)
    p.rrect(box, 8, p.vgrad(mix(T.well, T.accent, 0.10), T.well))
    p.rrect_line(box, 8, alpha(T.accent, 0.55), 1.0)
    p.rect((10, p.h - 2, p.w - 10, p.h - 1), alpha(T.accent_hi, 0.5))


def enc_dial(p, T):
    c = p.w / 2
    R = c - 1
    p.glow(p.ellipse_mask((c - R + 6, c - R + 6, c + R - 6, c + R - 6)), alpha(T.accent, 0.25),
           8, 1.0)
    p.circle(c, c, R, p.vgrad(mix(T.well, T.accent, 0.07), T.well))
    p.ring(c, c, R, T.well_border, 1.0)
    # scale of the 31 levels on a 270 degree arc, open at the bottom
    p.arc(c, c, R - 12, 135, 405, T.track, 7.0)
    for i in range(31):
        a = math.radians(135 + 270 * i / 30)
        major = i % 5 == 0
        r0, r1 = R - 24, R - (19 if major else 21)
        p.line([(c + r0 * math.cos(a), c + r0 * math.sin(a)),
                (c + r1 * math.cos(a), c + r1 * math.sin(a))],
               mix(T.tick, WHITE, 0.2) if major else T.tick, 1.3 if major else 1.0, caps=False)
    p.arc(c, c, R - 12, 135, 405, p.hgrad(None, None, 0, p.w, [(0, alpha(T.accent, 0.25)),
                                                                (1, alpha(T.accent_hi, 0.7))]),
          2.0)
    # noisy signal turning into a clean one
    pts = []
    for i in range(81):
        t = i / 80
        x = c - 30 + 60 * t
        noise = math.sin(t * 53.0) * 0.6 + math.sin(t * 31.0 + 1.3) * 0.4
        clean = math.sin(t * 4 * math.pi)
        k = min(1.0, max(0.0, (t - 0.35) / 0.3))
        pts.append((x, c - 40 + 7 * ((1 - k) * noise + k * clean)))
    p.line(pts, T.accent_hi, 1.6)
    p.rrect((c - 34, c + 26, c + 34, c + 28), 1, alpha(T.accent, 0.35))


# The level meter grows in 4-pixel steps from a 10-pixel start, so segments sit on that pitch
# and the cut always falls into a gap.
def meter_segments(width):
    x = 2
    while x + 3 <= width:
        yield x
        x += 4


def meter_track(p, T, box):
    x0, y0, x1, y1 = box
    p.rrect((x0 - 1, y0 - 1, x1 + 1, y1 + 1), 4, T.track)
    for x in meter_segments(x1 - x0):
        p.rrect((x0 + x, y0 + 2, x0 + x + 3, y1 - 2), 1, mix(T.track, WHITE, 0.07))


def meter_fill(p, T):
    stops = [(0.0, (52, 208, 126)), (0.6, (120, 220, 90)), (0.8, (245, 197, 66)),
             (1.0, (255, 90, 90))]
    paint = p.hgrad(None, None, 0, p.w, stops)
    p.rrect((0, 0, p.w, p.h), 4, T.track)
    for x in meter_segments(p.w):
        p.rrect((x, 2, x + 3, p.h - 2), 1, paint)


# --------------------------------------------------------------------------------------------
# Language files


def colour(r, g, b):
    """Windows colour value 0x00BBGGRR as the decimal the profile reader expects."""
    return (b << 16) | (g << 8) | r


TEXT_UP = colour(0xC6, 0xCD, 0xD7)
TEXT_DOWN = colour(0xFF, 0xFF, 0xFF)
TEXT_TITLE = colour(0xEC, 0xF0, 0xF5)
TEXT_DIM = colour(0x84, 0x8E, 0x9C)
TEXT_WARN = colour(0xFF, 0xA8, 0x96)
TEXT_DARK = colour(0x20, 0x20, 0x20)
TEXT_LINK = colour(0x00, 0x66, 0xCC)


def label(text, up=None, down=None, size=None, page=None):
    items = [text, up, down, None, size, None, None, None, None, page]
    while items and items[-1] is None:
        items.pop()
    return ",".join("" if v is None else str(v) for v in items)


# (section, key, control used for the width check or None, English, Russian, extra items)
LANGUAGE = [
    ("Main", "LabelMenu1", "Menu1Label", "Save", "Сохранить", {}),
    ("Main", "LabelMenu2", "Menu2Label", "Load", "Загрузить", {}),
    ("Main", "LabelMenu3", "Menu3Label", "About", "О программе", {}),
    ("Main", "LabelPageEQ", "PageEQLabel", "EQ", "Эквалайзер", {}),
    # The 3D page is never offered; an empty caption keeps its tab hidden.
    ("Main", "LabelPage3D", None, "", "", {}),
    ("Main", "LabelPageEffect", "PageEffectLabel", "Effects", "Эффекты", {}),
    ("Main", "LabelPageMic", "PageMicLabel", "Mic", "Микрофон", {}),
    ("Main", "LabelPageVirtual7ch1", "PageVirtual7p1Label", "7.1 Surround", "Объём 7.1", {}),
    ("Main", "LabelActive", "DeviceActiveLabel", "Headset connected", "Гарнитура подключена",
     {"up": TEXT_TITLE}),
    ("Main", "LabelUnDriver", "DeviceActiveLabel", "Driver not responding",
     "Драйвер не отвечает", {"up": TEXT_WARN}),
    ("Main", "LabelUnactive", "DeviceActiveLabel", "No headset", "Нет гарнитуры", {}),
    # The sync control has no function; an empty caption keeps it hidden.
    ("Main", "LabelSync", None, "", "", {}),
    ("Main", "LabelSetting", "SettingLabel", "Headset light", "Подсветка гарнитуры", {}),
    ("Main", "LabelSX", "SXLabel", "Preset 1", "Набор 1", {"up": TEXT_TITLE, "size": 10, "page": 1}),
    ("Main", "LabelFeatures", "FeaturesLabel", "Sound Features", "Функции звука",
     {"up": TEXT_TITLE, "size": 10}),
    ("Main", "LabelCompanyName", "CompanyNameLabel", "Tavrin Audio", "Tavrin Audio",
     {"up": TEXT_DIM, "size": 8}),
    ("Main", "DeviceInLabel", "DeviceInLabel", "Online", "В сети",
     {"up": TEXT_DIM, "size": 8}),
    ("Main", "DeviceOutLabel", "DeviceOutLabel", "Offline", "Не в сети",
     {"up": TEXT_DIM, "size": 8}),
    ("Main", "LabelPageLED", "PageLEDLabel", "Lighting", "Подсветка", {}),
    ("Main", "LabelPageENC", "PageENCLabel", "Noise Cancel", "Шумодав", {}),
    ("Main", "LabelPageVMEffect", "PageVMEffectLabel", "Voice Magic", "Голос", {}),
    ("Main", "LabelLanguage", None, "Language", "Язык", {}),
    ("Main", "LabelSkin", None, "Skin", "Оформление", {}),
    ("Main", "LabelClose", None, "Close", "Закрыть", {}),
    ("Main", "LabelPlugin", None, "Plugin", "Плагины", {}),
    ("Main", "LabelWarning", None, "Please connect the headset first.",
     "Сначала подключите гарнитуру.", {}),
    ("Main", "LabelWarning1", None, "This headset does not support noise cancellation.",
     "Эта гарнитура не поддерживает шумоподавление.", {}),
    ("EQ", "LabelEQEnable", "EQEQENLabel", "Equalizer", "Эквалайзер", {}),
    ("EQ", "LableEQ3DEnable", "EQ3DENLabel", "3D Sound", "3D-звук", {}),
    ("EQ", "LabelEQReset", "EQResetLabel", "Reset", "Сброс", {}),
    ("EQ", "LabelEQS1", "EQS1Label", "Preset 1", "Набор 1", {}),
    ("EQ", "LabelEQS2", "EQS2Label", "Preset 2", "Набор 2", {}),
    ("EQ", "LabelEQS3", "EQS3Label", "Preset 3", "Набор 3", {}),
    ("EQ", "LabelEQS4", "EQS4Label", "Preset 4", "Набор 4", {}),
    ("EQ", "LabelEQ60Hz", "EQ60HzLabel", "60 Hz", "60 Гц", {}),
    ("EQ", "LabelEQ300Hz", "EQ300HzLabel", "300 Hz", "300 Гц", {}),
    ("EQ", "LabelEQ1200Hz", "EQ1200HzLabel", "1.2 kHz", "1200 Гц", {}),
    ("EQ", "LabelEQ3600Hz", "EQ3600HzLabel", "3.6 kHz", "3600 Гц", {}),
    ("EQ", "LabelEQ12000Hz", "EQ12000HzLabel", "12 kHz", "12 кГц", {}),
    ("3D", "Label3DEnable", "D33DENLabel", "3D Sound", "3D-звук", {}),
    ("3D", "Label3DFBM", "D3FBMLabel", "FBM", "FBM", {}),
    ("3D", "Label3DReset", "D3ResetLabel", "Reset", "Сброс", {}),
    ("3D", "Label3DLeftChannel", "D3LChannelLabel", "Left channel", "Левый канал", {}),
    ("3D", "Label3DRightChannel", "D3RChannelLabel", "Right channel", "Правый канал", {}),
    ("3D", "Label3DConnection", "D3ConnectLabel", "Link", "Связь", {}),
    ("Effect", "LabelEffectNothing", "EffectNonLabel", "None", "Без эффекта", {}),
    ("Effect", "LabelEffectTheater", "EffectTheaterLabel", "Theater", "Кинотеатр", {}),
    ("Effect", "LabelEffectBathroom", "EffectBathroomLabel", "Bathroom", "Ванная", {}),
    ("Effect", "LabelEffectLivingroom", "EffectLivingroomLabel", "Living Room", "Гостиная", {}),
    ("Effect", "LabelEffectStoneGallery", "EffectStoneGalleryLabel", "Stone Gallery",
     "Каменный зал", {}),
    ("Mic", "LabelMicBoost", "MicBoostLabel", "Mic Boost", "Усиление", {}),
    ("Mic", "LabelMicMute", "MicMuteLabel", "Mic Mute", "Выкл. микрофон", {}),
    ("Mic", "LabelMicMonitor", "MicMonitorLabel", "Monitor", "Мониторинг", {}),
    ("Mic", "LabelMicGain", "MicGainLabel", "Mic Level", "Уровень микрофона", {}),
    ("Mic", "LabelMicValue", "MicValueLabel", "0", "0", {"up": TEXT_TITLE, "size": 11}),
    ("Virtual7ch1", "Label7ch1Enable", "VirtualENLabel", "Virtual 7.1", "Объём 7.1", {}),
    ("Virtual7ch1", "LabelVirtualClockwise", "VirtualClockwiseLabel", "Rotate right",
     "Вправо", {}),
    ("Virtual7ch1", "LabelVirtualCounterclockwise", "VirtualCounterclockwiseLabel",
     "Rotate left", "Влево", {}),
    ("Virtual7ch1", "LabelVirtualEnlarge", "VirtualEnlargeLabel", "Widen", "Шире", {}),
    ("Virtual7ch1", "LabelVirtualNarrow", "VirtualNarrowLabel", "Narrow", "Уже", {}),
    ("Virtual7ch1", "Label7ch1Reset", "VirtualResetLabel", "Reset", "Сброс", {}),
    ("LED", "ColorBreatheLabel", "ColorBreatheLabel", "Breathe", "Дыхание", {}),
    ("LED", "ColorRainbowLabel", "ColorRainbowLabel", "Rainbow", "Радуга", {}),
    ("LED", "ColorPulsatingLabel", "ColorPulsatingLabel", "Multi-breathe", "Мультидыхание",
     {}),
    ("LED", "ColorSelectLabel", "ColorSelectLabel", "Select Color", "Выбор цвета",
     {"up": TEXT_TITLE}),
    ("LED", "ColorEffectLabel", "ColorEffectLabel", "Lighting Effect", "Эффект подсветки",
     {"up": TEXT_TITLE}),
    ("LED", "ColorLEDOffLabel", "ColorLEDOffLabel", "Lights off", "Выключить", {}),
    ("LED", "ColorSingleLabel", "ColorSingleLabel", "Single color", "Один цвет", {}),
    ("LED", "ColorSlowLabel", "ColorSlowLabel", "Slow", "Медленно", {"up": TEXT_DIM}),
    ("LED", "ColorFastLabel", "ColorFastLabel", "Fast", "Быстро", {"up": TEXT_DIM}),
    ("ENC", "ENCFunctionLabel", "ENCFunctionLabel", "Noise Cancel", "Шумоподавление", {}),
    ("ENC", "LabelENCValue", "ENCValueLabel", "0", "0", {"up": TEXT_TITLE, "size": 11}),
    ("VoiceMagic", "VMEffectNoneLabel", "VMEffectNoneLabel", "Natural", "Обычный", {}),
    ("VoiceMagic", "VMEffect1Label", "VMEffect1Label", "Deep", "Низкий", {}),
    ("VoiceMagic", "VMEffect2Label", "VMEffect2Label", "Bright", "Высокий", {}),
    ("VoiceMagic", "VMEffect3Label", "VMEffect3Label", "Monster", "Монстр", {}),
    ("VoiceMagic", "VMEffect4Label", "VMEffect4Label", "Chipmunk", "Бурундук", {}),
    ("VoiceMagic", "VMFunctionLabel", "VMFunctionLabel", "Voice Magic", "Смена голоса", {}),
    # The About form is a light system dialog: dark text there, and a link colour.
    ("About", "LabelAbout", None, "Tavrin Audio Control - sound settings for Tavrin USB headsets.",
     "Tavrin Audio Control - настройка звука USB-гарнитур Tavrin.",
     {"up": TEXT_DARK, "size": 11}),
    ("About", "LabelWeb", None, "https://tavrin.example", "https://tavrin.example",
     {"up": TEXT_LINK, "down": TEXT_LINK, "size": 11}),
]

LANGUAGE_SECTIONS = ["Main", "EQ", "3D", "Effect", "Mic", "Virtual7ch1", "LED", "ENC",
                     "VoiceMagic", "About"]

# Section [Setup]: the setup wizard's captions and messages, and the uninstaller's messages
# (key, English, Russian). The wizard splits every value at commas like a label value, so the
# texts have none; a value that must keep a blank at its end is quoted.
SETUP = [
    ("LabelBackBtn", "< Back", "< Назад"),
    ("LabelNextBtn", "Next >", "Далее >"),
    ("LabelFinishBtn", "Finish", "Готово"),
    ("LabelCancelBtn", "Cancel", "Отмена"),
    ("LabelSelectLang", "Select language:", "Выберите язык:"),
    ("LabelVersion", "Choose the language in which", "Выберите язык для"),
    ("LabelAudioExt", "Tavrin Audio Control is installed.", "установки Tavrin Audio Control."),
    ("LabelInstall", "Installing Tavrin Audio Control...", "Установка Tavrin Audio Control..."),
    ("LabelReboot", "Setup has finished. Restart the computer now to complete the installation?",
     "Установка завершена. Перезагрузить компьютер сейчас для завершения установки?"),
    ("LabelRebootRadioBtn", "Restart now", "Перезагрузить сейчас"),
    ("LabelNoRebootRadioBtn", "Restart later", "Перезагрузить позже"),
    ("LabelTitle", "Tavrin Audio Control Setup", "Установка Tavrin Audio Control"),
    ("LabelWarning1", "An earlier audio driver is still active. Uninstall it and restart the "
     "computer before you install again.",
     "Прежний аудиодрайвер ещё активен. Удалите его и перезагрузите компьютер перед новой "
     "установкой."),
    ("LabelWarning2", '"Setup could not complete the installation. "',
     '"Не удалось завершить установку. "'),
    ("AntivirusTip", "If your antivirus program asks about the audio driver or its service "
     "allow them. Click Next again to install.",
     "Если антивирус спросит об аудиодрайвере или его службе - разрешите их. Нажмите «Далее» "
     "ещё раз."),
    ("LabelWarning3", "Setup needs administrator rights.",
     "Для установки нужны права администратора."),
    ("LabelWarning4", "Please close Tavrin Audio Control before you continue.",
     "Закройте Tavrin Audio Control перед продолжением."),
    ("KB3033929Tip", "Windows 7 needs update KB3033929 to check the driver signature. Setup "
     "installs it.", "Windows 7 нужно обновление KB3033929 для проверки подписи драйвера. "
     "Оно будет установлено."),
    ("UninstallConfirm", "Remove Tavrin Audio Control and all of its components?",
     "Удалить Tavrin Audio Control со всеми компонентами?"),
    ("UninstallProfiles", "Also remove your personal settings and profiles?",
     "Удалить также ваши личные настройки и профили?"),
    ("UninstallDone", "Tavrin Audio Control was removed.", "Tavrin Audio Control удалена."),
    ("UninstallIncomplete", "Tavrin Audio Control was removed except for these items:",
     "Tavrin Audio Control удалена кроме следующего:"),
]


def language_text(lang):
    russian = lang == "Russian"
    lines = ["; Tavrin texts (%s). Generated by tools/skin/make_skin.py." % lang,
             "; Value: text[,up colour,down colour,font,size,left,top,width,height,page];",
             "; colours are 0x00BBGGRR as decimal numbers. Texts cannot contain commas.", "",
             "[GlobalFont]", "ColorUp=%d" % TEXT_UP, "ColorDown=%d" % TEXT_DOWN, "Font=Tahoma",
             "FontSize=9", ""]
    for section in LANGUAGE_SECTIONS:
        lines.append("[%s]" % section)
        for sec, key, _ctrl, en, ru, extra in LANGUAGE:
            if sec != section:
                continue
            text = ru if russian else en
            if "," in text:
                raise ValueError("comma in the text of %s" % key)
            lines.append("%s=%s" % (key, label(text, **extra) if text else ""))
        lines.append("")
    lines.append("[Setup]")
    for key, en, ru in SETUP:
        text = ru if russian else en
        if "," in text:
            raise ValueError("comma in the text of %s" % key)
        if len(text.strip('"')) > 127:
            raise ValueError("the text of %s is longer than the 127 characters kept" % key)
        lines.append("%s=%s" % (key, text))
    lines.append("")
    return "\r\n".join(lines)


def check_text_widths(comps):
    """Warns about captions that will not fit their controls (Tahoma is a little narrower
    than Liberation Sans, so this errs on the safe side)."""
    path = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
    bold_path = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
    if not (os.path.exists(path) and os.path.exists(bold_path)):
        return []
    problems = []
    for _sec, key, ctrl, en, ru, extra in LANGUAGE:
        if ctrl is None:
            continue
        comp = comps[ctrl]
        size = extra.get("size", 9)
        font = ImageFont.truetype(bold_path if "bold" in comp.props else path,
                                  round(size * 96 / 72))
        room = comp.w - (4 if comp.props.get("align") == "center" else 2)
        if ctrl in ("DeviceInLabel", "DeviceOutLabel", "SXLabel"):
            room = comp.w
        for text in (en, ru):
            width = font.getlength(text)
            if width > room:
                problems.append("%s: '%s' is %.0f px wide, %s has %d" % (key, text, width, ctrl,
                                                                         room))
    return problems


def write_languages(root):
    for lang in ("English", "Russian"):
        folder = os.path.join(root, lang)
        os.makedirs(folder, exist_ok=True)
        text = language_text(lang)
        if lang == "English":
            data = text.encode("ascii")
        else:
            data = b"\xff\xfe" + text.encode("utf-16-le")
        with open(os.path.join(folder, "Language.ini"), "wb") as f:
            f.write(data)


# --------------------------------------------------------------------------------------------
# The setup program's background: one picture a screen-size folder, stretched over the screen by
# the setup, so it holds nothing that suffers from being stretched a little.

SETUP_BACKGROUNDS = [("1920x1080", 1920, 1080), ("1366x768", 1366, 768), ("960x540", 960, 540),
                     ("", 960, 540)]


def draw_setup_background(T, w, h):
    k = 2  # supersampling for the arcs and the word
    W, H = w * k, h * k
    img = Image.new("RGB", (W, H))
    # A diagonal wash from the window colour to a deep accent.
    top = Image.linear_gradient("L").resize((W, H))
    left = Image.linear_gradient("L").rotate(90).resize((W, H))
    ramp = ImageChops.add(top, left, scale=2.0)
    img = Image.composite(Image.new("RGB", (W, H), mix(T.accent_deep, T.win_bot, 0.55)),
                          Image.new("RGB", (W, H), T.win_bot), ramp)
    glow = Image.new("L", (W, H), 0)
    gd = ImageDraw.Draw(glow)
    cx, cy = int(W * 0.78), int(H * 0.62)
    for i in range(9):
        r = int(H * (0.12 + 0.085 * i))
        width = max(2, int(H * 0.004))
        gd.ellipse((cx - r, cy - r, cx + r, cy + r), outline=int(150 - 13 * i), width=width)
    glow = glow.filter(ImageFilter.GaussianBlur(H * 0.004))
    img = Image.composite(Image.new("RGB", (W, H), T.accent_hi), img, glow)
    halo = Image.new("L", (W, H), 0)
    ImageDraw.Draw(halo).ellipse((cx - H * 0.1, cy - H * 0.1, cx + H * 0.1, cy + H * 0.1),
                                 fill=120)
    halo = halo.filter(ImageFilter.GaussianBlur(H * 0.08))
    img = Image.composite(Image.new("RGB", (W, H), T.accent), img, halo)
    draw = ImageDraw.Draw(img)
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf"), int(H * 0.075))
    small = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans.ttf"), int(H * 0.03))
    x, y = int(W * 0.07), int(H * 0.09)
    draw.text((x, y), "Tavrin Audio", font=font, fill=T.glyph_hi)
    draw.text((x + int(H * 0.005), y + int(H * 0.1)), "Setup", font=small, fill=T.accent_hi)
    return img.resize((w, h), BOX)


def write_setup_backgrounds(root):
    theme = THEMES[0]
    for folder, w, h in SETUP_BACKGROUNDS:
        target = os.path.join(root, folder)
        os.makedirs(target, exist_ok=True)
        draw_setup_background(theme, w, h).save(os.path.join(target, "SetupBackground.jpg"),
                                                quality=88, optimize=True)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(REPO, "resources"),
                    help="folder that receives Skin/ and Language/")
    args = ap.parse_args(argv)
    client, comps = load_design()
    for theme in THEMES:
        folder = os.path.join(args.out, "Skin", theme.name)
        if os.path.isdir(folder):
            for name in os.listdir(folder):
                if name.endswith((".png", ".ini", ".rgn")):
                    os.remove(os.path.join(folder, name))
        SkinWriter(theme, client, comps, folder).build()
    write_languages(os.path.join(args.out, "Language"))
    write_setup_backgrounds(os.path.join(args.out, "SetupBackground"))
    for problem in check_text_widths(comps):
        print("warning: " + problem, file=sys.stderr)


if __name__ == "__main__":
    main()
