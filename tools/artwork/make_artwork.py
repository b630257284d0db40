#!/usr/bin/env python3
"""Draws Velquor's artwork into resources/images/.

Icons, backgrounds and the help picture are written as SVG (Qt SVG renders them); the vehicle
pictures are PNG, because the updates page finds them by listing the png resources. The PNGs are
rasterised here in pure Python (outlines of a DejaVu font, a small scan-line filler and a zlib PNG
writer), so the result depends only on this file and the font file, never on the machine's Qt.

Usage:
    tools/artwork/make_artwork.py                      # vehicle names from resources/car_ini.txt
    tools/artwork/make_artwork.py --car-ini FILE       # vehicle names from another table
    tools/artwork/make_artwork.py NAME [NAME ...]      # extra vehicle pictures besides the table's

Re-running gives byte-identical files; files whose content is unchanged are not rewritten, and
vehicle pictures this script made earlier for names that are gone are removed.
"""

import argparse
import itertools
import math
import struct
import subprocess
import sys
import zlib
import pathlib

REPO = pathlib.Path(__file__).resolve().parents[2]
IMAGES = REPO / "resources" / "images"
CAR_INI = REPO / "resources" / "car_ini.txt"

# Marker written into every PNG this script makes, so a later run can tell its own files apart.
PNG_MARKER = (b"Software", b"Velquor make_artwork")

# ---------------------------------------------------------------------------------------------
# Palette: one teal accent family and neutral greys. Amber only for the warning sign, red only
# for the required-field star (which the caption button tints red anyway).
# ---------------------------------------------------------------------------------------------
ACCENT_900 = "#0A3540"
ACCENT_800 = "#0E4553"
ACCENT_700 = "#135A6B"
ACCENT_600 = "#177587"
ACCENT_500 = "#1E8DA1"
ACCENT_400 = "#46A8B9"
ACCENT_200 = "#A9DCE4"
ACCENT_100 = "#E0F2F5"
GREY_900 = "#1F2A33"
GREY_700 = "#46535F"
GREY_500 = "#8593A0"
GREY_400 = "#A5B0BA"
GREY_300 = "#C8D0D7"
GREY_200 = "#E1E6EA"
GREY_100 = "#F2F4F6"
WHITE = "#FFFFFF"
AMBER = "#E09F0B"
RED = "#D64545"

# Badge backgrounds of the vehicle pictures, picked per name so that neighbouring rows differ.
BADGE_SHADES = (ACCENT_600, ACCENT_700, ACCENT_500)
SYSTEM_BADGE_SHADE = ACCENT_900

# Names that always get a picture: the two system rows and the picture the IVECO row falls back to.
SYSTEM_VEHICLES = ("OS-SOFTWARE", "MAC_UPDATETOOLS")
ALWAYS_VEHICLES = SYSTEM_VEHICLES + ("IMMO-IVECO",)

# Vehicle names used until the vehicle table exists: the makes and families the application
# names itself (brand table keys, renamed maintenance families).
FALLBACK_VEHICLES = (
    "BENZ", "VAG", "BMW", "FIAT", "HONDA", "HYUNDAI", "LANDROVER", "OPEL", "RENAULT", "TOYOTA",
    "FORD", "PEUGEOT", "IVECO", "FORDAU", "MAINTENANCE_JAL", "MAINTENANCE_SANGYONG",
)

FONT_CANDIDATES = (
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
    "/usr/share/fonts/TTF/DejaVuSansCondensed-Bold.ttf",
    "/usr/share/fonts/dejavu/DejaVuSansCondensed-Bold.ttf",
)


def num(value):
    """Shortest text of a coordinate, two decimals at most, so the SVG text is stable."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("", "-0") else text


# ---------------------------------------------------------------------------------------------
# Paths: one geometry for both outputs (SVG path data and polygons for the PNG filler).
# ---------------------------------------------------------------------------------------------
KAPPA = 0.5522847498  # cubic control distance of a quarter circle of radius 1


class Path:
    def __init__(self):
        self.cmds = []

    def move(self, x, y):
        self.cmds.append(("M", x, y))
        return self

    def line(self, x, y):
        self.cmds.append(("L", x, y))
        return self

    def quad(self, cx, cy, x, y):
        self.cmds.append(("Q", cx, cy, x, y))
        return self

    def cubic(self, c1x, c1y, c2x, c2y, x, y):
        self.cmds.append(("C", c1x, c1y, c2x, c2y, x, y))
        return self

    def close(self):
        self.cmds.append(("Z",))
        return self

    def extend(self, other):
        self.cmds.extend(other.cmds)
        return self

    def rounded_rect(self, x, y, w, h, r):
        r = min(r, w / 2, h / 2)
        k = r * KAPPA
        self.move(x + r, y).line(x + w - r, y)
        self.cubic(x + w - r + k, y, x + w, y + r - k, x + w, y + r).line(x + w, y + h - r)
        self.cubic(x + w, y + h - r + k, x + w - r + k, y + h, x + w - r, y + h).line(x + r, y + h)
        self.cubic(x + r - k, y + h, x, y + h - r + k, x, y + h - r).line(x, y + r)
        self.cubic(x, y + r - k, x + r - k, y, x + r, y)
        return self.close()

    def circle(self, cx, cy, r):
        k = r * KAPPA
        self.move(cx + r, cy)
        self.cubic(cx + r, cy + k, cx + k, cy + r, cx, cy + r)
        self.cubic(cx - k, cy + r, cx - r, cy + k, cx - r, cy)
        self.cubic(cx - r, cy - k, cx - k, cy - r, cx, cy - r)
        self.cubic(cx + k, cy - r, cx + r, cy - k, cx + r, cy)
        return self.close()

    def svg_d(self):
        parts = []
        for cmd in self.cmds:
            parts.append(cmd[0] + " ".join(num(v) for v in cmd[1:]))
        return "".join(parts)

    def polygons(self, tolerance=0.15):
        """Closed polylines approximating the path (curves cut into short straight pieces)."""
        polys, current, start, pos = [], [], (0.0, 0.0), (0.0, 0.0)
        for cmd in self.cmds:
            op = cmd[0]
            if op == "M":
                if len(current) > 2:
                    polys.append(current)
                pos = start = (cmd[1], cmd[2])
                current = [pos]
            elif op == "L":
                pos = (cmd[1], cmd[2])
                current.append(pos)
            elif op == "Q":
                p0, p1, p2 = pos, (cmd[1], cmd[2]), (cmd[3], cmd[4])
                n = _pieces(_dist(p0, p1) + _dist(p1, p2), tolerance)
                for i in range(1, n + 1):
                    t = i / n
                    a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
                    current.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
                pos = p2
            elif op == "C":
                p0, p1, p2, p3 = pos, (cmd[1], cmd[2]), (cmd[3], cmd[4]), (cmd[5], cmd[6])
                n = _pieces(_dist(p0, p1) + _dist(p1, p2) + _dist(p2, p3), tolerance)
                for i in range(1, n + 1):
                    t = i / n
                    a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
                    current.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
                pos = p3
            elif op == "Z":
                if len(current) > 2:
                    polys.append(current)
                current, pos = [start], start
        if len(current) > 2:
            polys.append(current)
        return polys


def _dist(a, b):
    return math.hypot(b[0] - a[0], b[1] - a[1])


def _pieces(length, tolerance):
    return max(1, min(64, int(math.ceil(math.sqrt(length / (tolerance * 8.0)) * 2))))


# ---------------------------------------------------------------------------------------------
# TrueType outlines (enough of the format for a Latin font: cmap 4/12, simple and composite
# glyphs, horizontal metrics). Text becomes paths, so no SVG or PNG here depends on fonts at
# render time.
# ---------------------------------------------------------------------------------------------
class TrueTypeFont:
    def __init__(self, path):
        self.data = pathlib.Path(path).read_bytes()
        count = self._u16(4)
        self.tables = {}
        for i in range(count):
            tag, _checksum, offset, length = struct.unpack_from(">4sIII", self.data, 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = (offset, length)
        head = self.tables["head"][0]
        self.units_per_em = self._u16(head + 18)
        self.long_loca = self._s16(head + 50) == 1
        self.glyph_count = self._u16(self.tables["maxp"][0] + 4)
        hhea = self.tables["hhea"][0]
        self.metric_count = self._u16(hhea + 34)
        self.cmap = self._read_cmap()
        self.cap_height = self._glyph_bounds(self.glyph_index("H"))[3]

    def _u16(self, at):
        return struct.unpack_from(">H", self.data, at)[0]

    def _s16(self, at):
        return struct.unpack_from(">h", self.data, at)[0]

    def _u32(self, at):
        return struct.unpack_from(">I", self.data, at)[0]

    def _read_cmap(self):
        base = self.tables["cmap"][0]
        records = {}
        for i in range(self._u16(base + 2)):
            platform, encoding, offset = struct.unpack_from(">HHI", self.data, base + 4 + 8 * i)
            records[(platform, encoding)] = base + offset
        for key in ((3, 10), (0, 4), (3, 1), (0, 3)):
            if key in records:
                at = records[key]
                fmt = self._u16(at)
                if fmt in (4, 12):
                    return (fmt, at)
        raise ValueError("font has no usable character map")

    def glyph_index(self, char):
        code = ord(char)
        fmt, at = self.cmap
        if fmt == 12:
            for i in range(self._u32(at + 12)):
                start, end, first = struct.unpack_from(">III", self.data, at + 16 + 12 * i)
                if start <= code <= end:
                    return first + code - start
            return 0
        seg2 = self._u16(at + 6)
        ends, starts = at + 14, at + 16 + seg2
        deltas, ranges = starts + seg2, starts + 2 * seg2
        for i in range(seg2 // 2):
            if self._u16(ends + 2 * i) >= code:
                start = self._u16(starts + 2 * i)
                if start > code:
                    return 0
                delta, range_offset = self._s16(deltas + 2 * i), self._u16(ranges + 2 * i)
                if range_offset == 0:
                    return (code + delta) & 0xFFFF
                glyph = self._u16(ranges + 2 * i + range_offset + 2 * (code - start))
                return (glyph + delta) & 0xFFFF if glyph else 0
        return 0

    def advance(self, glyph):
        hmtx = self.tables["hmtx"][0]
        return self._u16(hmtx + 4 * min(glyph, self.metric_count - 1))

    def _glyph_offset(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_loca:
            start, end = self._u32(loca + 4 * glyph), self._u32(loca + 4 * glyph + 4)
        else:
            start, end = self._u16(loca + 2 * glyph) * 2, self._u16(loca + 2 * glyph + 2) * 2
        return None if start == end else self.tables["glyf"][0] + start

    def _glyph_bounds(self, glyph):
        at = self._glyph_offset(glyph)
        return (0, 0, 0, 0) if at is None else struct.unpack_from(">hhhh", self.data, at + 2)

    def contours(self, glyph, matrix=(1, 0, 0, 1, 0, 0)):
        """The glyph's contours as lists of (x, y, on_curve) in font units, y upwards."""
        at = self._glyph_offset(glyph)
        if at is None:
            return []
        count = self._s16(at)
        if count >= 0:
            return self._simple_contours(at, count, matrix)
        result, p = [], at + 10
        while True:
            flags, component = self._u16(p), self._u16(p + 2)
            p += 4
            if flags & 0x0001:
                dx, dy = self._s16(p), self._s16(p + 2)
                p += 4
            else:
                dx, dy = struct.unpack_from(">bb", self.data, p)
                p += 2
            if not flags & 0x0002:  # point-matched placement: not used by the glyphs drawn here
                dx = dy = 0
            a, b, c, d = 1.0, 0.0, 0.0, 1.0
            if flags & 0x0008:
                a = d = self._s16(p) / 16384.0
                p += 2
            elif flags & 0x0040:
                a, d = self._s16(p) / 16384.0, self._s16(p + 2) / 16384.0
                p += 4
            elif flags & 0x0080:
                a, b, c, d = (self._s16(p + 2 * i) / 16384.0 for i in range(4))
                p += 8
            ma, mb, mc, md, me, mf = matrix
            combined = (a * ma + b * mc, a * mb + b * md, c * ma + d * mc, c * mb + d * md,
                        dx * ma + dy * mc + me, dx * mb + dy * md + mf)
            result.extend(self.contours(component, combined))
            if not flags & 0x0020:
                return result

    def _simple_contours(self, at, count, matrix):
        ends = [self._u16(at + 10 + 2 * i) for i in range(count)]
        if not ends:
            return []
        p = at + 10 + 2 * count
        p += 2 + self._u16(p)  # skip the hinting instructions
        total = ends[-1] + 1
        flags = []
        while len(flags) < total:
            flag = self.data[p]
            p += 1
            flags.append(flag)
            if flag & 0x08:
                flags.extend([flag] * self.data[p])
                p += 1
        coords = []
        for short_bit, same_bit in ((0x02, 0x10), (0x04, 0x20)):
            value, values = 0, []
            for flag in flags[:total]:
                if flag & short_bit:
                    step = self.data[p]
                    p += 1
                    value += step if flag & same_bit else -step
                elif not flag & same_bit:
                    value += self._s16(p)
                    p += 2
                values.append(value)
            coords.append(values)
        ma, mb, mc, md, me, mf = matrix
        points = [(x * ma + y * mc + me, x * mb + y * md + mf, bool(f & 1))
                  for x, y, f in zip(coords[0], coords[1], flags)]
        result, first = [], 0
        for end in ends:
            result.append(points[first:end + 1])
            first = end + 1
        return result

    def text_width(self, text, size):
        return sum(self.advance(self.glyph_index(ch)) for ch in text) * size / self.units_per_em

    def text_path(self, text, size, x, baseline):
        """Outline of the text at `size` pixels per em, pen starting at (x, baseline), y down."""
        scale = size / self.units_per_em
        path, pen = Path(), 0
        for ch in text:
            glyph = self.glyph_index(ch)
            for contour in self.contours(glyph):
                _append_contour(path, contour, lambda px, py: (x + (pen + px) * scale, baseline - py * scale))
            pen += self.advance(glyph)
        return path


def _append_contour(path, contour, to_pixels):
    """One quadratic TrueType contour (implied on-curve points between two off-curve ones)."""
    n = len(contour)
    if n == 0:
        return
    start = next((i for i, pt in enumerate(contour) if pt[2]), None)
    if start is None:  # all off-curve: start half-way between the first two
        first = ((contour[0][0] + contour[1][0]) / 2, (contour[0][1] + contour[1][1]) / 2, True)
        contour = [first] + contour
        n, start = n + 1, 0
    ordered = contour[start:] + contour[:start]
    path.move(*to_pixels(ordered[0][0], ordered[0][1]))
    control = None
    for x, y, on in ordered[1:] + [ordered[0]]:
        if on:
            if control is None:
                path.line(*to_pixels(x, y))
            else:
                path.quad(*to_pixels(*control), *to_pixels(x, y))
                control = None
        else:
            if control is not None:
                mid = ((control[0] + x) / 2, (control[1] + y) / 2)
                path.quad(*to_pixels(*control), *to_pixels(*mid))
            control = (x, y)
    path.close()


def find_font():
    for candidate in FONT_CANDIDATES:
        if pathlib.Path(candidate).is_file():
            return candidate
    try:
        found = subprocess.run(["fc-match", "-f", "%{file}", "DejaVu Sans Condensed:bold"],
                               capture_output=True, text=True, check=False).stdout.strip()
    except OSError:
        found = ""
    if found.endswith(".ttf") and pathlib.Path(found).is_file():
        return found
    sys.exit("make_artwork: DejaVu Sans Condensed Bold (fonts-dejavu-core) is needed for the lettering")


# ---------------------------------------------------------------------------------------------
# SVG writing
# ---------------------------------------------------------------------------------------------
def el(tag, **attrs):
    """One SVG element; attribute names take '-' for '_' (stroke_width -> stroke-width)."""
    parts = []
    for key, value in attrs.items():
        if value is None:
            continue
        name = key.rstrip("_").replace("_", "-")
        parts.append(f'{name}="{num(value) if isinstance(value, (int, float)) else value}"')
    return f"<{tag} {' '.join(parts)}/>"


def stroke(d, color, width, **extra):
    return el("path", d=d, fill="none", stroke=color, stroke_width=width,
              stroke_linecap="round", stroke_linejoin="round", **extra)


def fill(d, color, **extra):
    return el("path", d=d, fill=color, **extra)


def group(body, transform=None, opacity=None):
    attrs = []
    if transform:
        attrs.append(f'transform="{transform}"')
    if opacity is not None:
        attrs.append(f'opacity="{num(opacity)}"')
    head = "<g" + ("" if not attrs else " " + " ".join(attrs)) + ">"
    return head + "".join(body) + "</g>"


def svg(width, height, body):
    inner = "\n  ".join(body)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{num(width)}" height="{num(height)}" '
            f'viewBox="0 0 {num(width)} {num(height)}">\n  {inner}\n</svg>\n')


# 24-unit line glyphs (stroke 2, round ends) shared by the tab bar and the help picture.
GLYPH_UPDATE = ["M12 3.5v11.5", "M7 10l5 5 5-5", "M4 16.5v2.5a1.5 1.5 0 0 0 1.5 1.5h13a1.5 1.5 0 0 0 1.5-1.5v-2.5"]
GLYPH_PROFILE = ["M15.75 7.75a3.75 3.75 0 1 1-7.5 0a3.75 3.75 0 1 1 7.5 0z",
                 "M4.5 20.25c0-4 3.4-6.5 7.5-6.5s7.5 2.5 7.5 6.5"]
GLYPH_FEEDBACK = ["M4 6a2 2 0 0 1 2-2h12a2 2 0 0 1 2 2v9a2 2 0 0 1-2 2h-6.5l-4.5 3.5v-3.5h-1a2 2 0 0 1-2-2z",
                  "M8.5 10.5h0.01", "M12 10.5h0.01", "M15.5 10.5h0.01"]
GLYPH_SOFTWARE = ["M5.5 4h3.5a1.5 1.5 0 0 1 1.5 1.5v3.5a1.5 1.5 0 0 1-1.5 1.5h-3.5a1.5 1.5 0 0 1-1.5-1.5v-3.5a1.5 1.5 0 0 1 1.5-1.5z",
                  "M15 4h3.5a1.5 1.5 0 0 1 1.5 1.5v3.5a1.5 1.5 0 0 1-1.5 1.5h-3.5a1.5 1.5 0 0 1-1.5-1.5v-3.5a1.5 1.5 0 0 1 1.5-1.5z",
                  "M5.5 13.5h3.5a1.5 1.5 0 0 1 1.5 1.5v3.5a1.5 1.5 0 0 1-1.5 1.5h-3.5a1.5 1.5 0 0 1-1.5-1.5v-3.5a1.5 1.5 0 0 1 1.5-1.5z",
                  "M16.75 13.5v6.5", "M13.5 16.75h6.5"]
GLYPH_CARD = ["M8 3.5h7.5l4 4v12a1.5 1.5 0 0 1-1.5 1.5h-10a1.5 1.5 0 0 1-1.5-1.5v-14.5a1.5 1.5 0 0 1 1.5-1.5z",
              "M10 7v3", "M13 7v3", "M16 8.5v1.5"]
GLYPH_DEVICE = ["M7 3h10a2 2 0 0 1 2 2v14a2 2 0 0 1-2 2h-10a2 2 0 0 1-2-2v-14a2 2 0 0 1 2-2z",
                "M8 6h8v7h-8z", "M10.5 17.5h3"]


def glyph(paths, color, x, y, size, width=2.0):
    """A 24-unit glyph placed at (x, y) and drawn `size` pixels wide, stroke `width` in glyph units."""
    return group([stroke(d, color, width) for d in paths], transform=f"translate({num(x)} {num(y)}) scale({num(size / 24)})")


# ---------------------------------------------------------------------------------------------
# The icons and backgrounds (SVG)
# ---------------------------------------------------------------------------------------------
def button_background(color):
    # The push buttons are 130 x 48 and draw their picture unscaled behind a white title.
    return svg(130, 48, [el("rect", x=1, y=1, width=128, height=46, rx=8, fill=color)])


def check_box(ticked):
    # 18 x 18: the picture column of the check cells is 18 points wide.
    if not ticked:
        return svg(18, 18, [el("rect", x=1.75, y=1.75, width=14.5, height=14.5, rx=3.5,
                               fill=WHITE, stroke=GREY_500, stroke_width=1.5)])
    return svg(18, 18, [el("rect", x=1, y=1, width=16, height=16, rx=4, fill=ACCENT_600),
                        stroke("M5.2 9.2l2.6 2.6 5-5.2", WHITE, 2)])


def title_bar():
    # Resized (cut at the centre) to the window width plus 40 by the title bar height; a flat
    # band survives any such cut.
    return svg(1180, 44, [el("rect", x=0, y=0, width=1180, height=44, fill=ACCENT_800),
                          el("rect", x=0, y=43, width=1180, height=1, fill=ACCENT_900)])


def footer():
    # Stretched as nine parts with 8-point insets to the window width by 25.
    return svg(40, 25, [el("rect", x=0, y=0, width=40, height=25, fill=GREY_100),
                        el("rect", x=0, y=0, width=40, height=1, fill=GREY_300)])


def close_cross(color):
    return svg(24, 24, [stroke("M7 7l10 10M17 7l-10 10", color, 2)])


def minimize_bar(color):
    return svg(24, 24, [stroke("M7 12h10", color, 2)])


TAB_WIDTH = 285  # 1140 / 4 items
TAB_GLYPHS = (GLYPH_UPDATE, GLYPH_PROFILE, GLYPH_FEEDBACK, GLYPH_SOFTWARE)


def tab_bar(selected):
    # The whole 1140 x 44 bar, stretched over the bar, one picture per selected item. Captions
    # (white) start a sixth of the item width in, so each glyph sits in that first sixth.
    body = [el("rect", x=0, y=0, width=1140, height=44, fill=ACCENT_700)]
    body.append(el("rect", x=selected * TAB_WIDTH, y=0, width=TAB_WIDTH, height=44, fill=ACCENT_600))
    body.append(el("rect", x=selected * TAB_WIDTH, y=40, width=TAB_WIDTH, height=4, fill=ACCENT_200))
    for k in range(1, 4):
        if selected not in (k - 1, k):
            body.append(el("rect", x=k * TAB_WIDTH, y=12, width=1, height=20, fill=ACCENT_800))
    for i, paths in enumerate(TAB_GLYPHS):
        body.append(glyph(paths, WHITE, i * TAB_WIDTH + 17, 11, 22))
    return svg(1140, 44, body)


STATE_SIZE = 64  # the download-state button shows its picture in a 64 x 64 view


def state_filled(color, glyph_body):
    return svg(64, 64, [el("circle", cx=32, cy=32, r=28, fill=color)] + glyph_body)


def state_outlined(color, glyph_body):
    return svg(64, 64, [el("circle", cx=32, cy=32, r=27, fill=WHITE, stroke=color, stroke_width=3)] + glyph_body)


def download_icon():
    return state_filled(ACCENT_600, [stroke("M32 18v21M23.5 30.5l8.5 8.5 8.5-8.5M22 46h20", WHITE, 4.5)])


def pause_icon():
    return state_filled(ACCENT_600, [el("rect", x=22.5, y=20, width=6.5, height=24, rx=2, fill=WHITE),
                                     el("rect", x=35, y=20, width=6.5, height=24, rx=2, fill=WHITE)])


def continue_icon():
    return state_filled(ACCENT_600, [fill("M27 20.6v22.8a1.8 1.8 0 0 0 2.7 1.55l18-11.4a1.8 1.8 0 0 0 0-3.1"
                                          "l-18-11.4a1.8 1.8 0 0 0-2.7 1.55z", WHITE)])


def waiting_icon():
    return state_outlined(GREY_400, [stroke("M32 19.5v13l8.5 5", GREY_500, 4.5)])


def install_icon():
    card = "M26 17h10.5l6.5 6.5v21a2.5 2.5 0 0 1-2.5 2.5h-14.5a2.5 2.5 0 0 1-2.5-2.5v-24a2.5 2.5 0 0 1 2.5-2.5z"
    return state_outlined(ACCENT_600, [stroke(card, ACCENT_600, 3.5),
                                       stroke("M32.5 26v11.5M28 33l4.5 4.5 4.5-4.5", ACCENT_600, 3.5)])


def finish_icon():
    return state_outlined(ACCENT_600, [stroke("M21 33l7.5 7.5 15.5-16", ACCENT_600, 4.5)])


def help_icon():
    # 20 x 20 beside the help button's title (the button is 22 points high).
    return svg(20, 20, [el("circle", cx=10, cy=10, r=9, fill=ACCENT_600),
                        stroke("M7.6 7.8a2.45 2.45 0 1 1 3.5 2.2c-0.7 0.35-1.1 0.85-1.1 1.6v0.35", WHITE, 2),
                        el("circle", cx=10, cy=14.7, r=1.2, fill=WHITE)])


def row_information_icon():
    # "Information": the notes button of an update row, drawn 20 x 20.
    return svg(20, 20, [el("circle", cx=10, cy=10, r=8.25, fill=WHITE, stroke=ACCENT_600, stroke_width=1.5),
                        el("circle", cx=10, cy=6.4, r=1.2, fill=ACCENT_600),
                        stroke("M10 9.4v4.8", ACCENT_600, 2)])


def alert_information_icon():
    # "information": the icon of the alerts that report a success, 44 x 44 like the notes alert's.
    return svg(44, 44, [el("circle", cx=22, cy=22, r=20, fill=ACCENT_600),
                        el("circle", cx=22, cy=13.5, r=2.6, fill=WHITE),
                        stroke("M22 20.5v11", WHITE, 4.5)])


def warning_icon():
    return svg(44, 44, [el("path", d="M22 7.5L40.5 38.5H3.5z", fill=AMBER, stroke=AMBER,
                           stroke_width=4, stroke_linejoin="round"),
                        stroke("M22 18v9.5", WHITE, 4),
                        el("circle", cx=22, cy=32.6, r=2.3, fill=WHITE)])


def star_icon():
    # "xing": the required-field star, 10 x 10 (the caption buttons are sized for a 10-point
    # picture); the caption tints it red, so only its shape counts.
    path = Path()
    for i in range(10):
        radius = 5.0 if i % 2 == 0 else 2.05
        angle = -math.pi / 2 + i * math.pi / 5
        x, y = 5 + radius * math.cos(angle), 5.35 + radius * math.sin(angle)
        (path.move if i == 0 else path.line)(x, y)
    path.close()
    return svg(10, 10, [fill(path.svg_d(), RED)])


def app_icon():
    card = "M86 58h62l30 30v104a12 12 0 0 1-12 12h-80a12 12 0 0 1-12-12v-122a12 12 0 0 1 12-12z"
    body = [el("rect", x=8, y=8, width=240, height=240, rx=56, fill=ACCENT_700),
            fill(card, WHITE)]
    for i in range(4):
        body.append(el("rect", x=92 + i * 17, y=72, width=9, height=26, rx=3, fill=ACCENT_500))
    body.append(stroke("M128 116v58M104 151l24 24 24-24", ACCENT_700, 14))
    return svg(256, 256, body)


def help_picture(font):
    """ "sdCard": the card help, shown full-window (1140 x 724) with the close box at the top right.
    Three wordless steps: put the tool's card into the computer, choose card and device, download."""
    width, height = 1140, 724
    body = [el("rect", x=0, y=0, width=width, height=height, fill=GREY_100),
            el("rect", x=0, y=0, width=width, height=96, fill=ACCENT_800)]
    # Heading: the application's mark and a card glyph, no words (the picture serves every language).
    body.append(group([el("rect", x=0, y=0, width=256, height=256, rx=56, fill=ACCENT_600),
                       fill("M86 58h62l30 30v104a12 12 0 0 1-12 12h-80a12 12 0 0 1-12-12v-122a12 12 0 0 1 12-12z", WHITE),
                       stroke("M128 116v58M104 151l24 24 24-24", ACCENT_600, 14)],
                      transform="translate(50 22) scale(0.2)"))
    for i, (x, w) in enumerate(((118, 220), (118, 150))):
        body.append(el("rect", x=x, y=34 + i * 18, width=w, height=9, rx=4.5, fill=ACCENT_400 if i else ACCENT_200))

    card_w, card_h, top = 320, 440, 200
    xs = (50, 410, 770)
    for step, x in enumerate(xs, start=1):
        body.append(el("rect", x=x, y=top, width=card_w, height=card_h, rx=18, fill=WHITE, stroke=GREY_200, stroke_width=1.5))
        cx = x + card_w / 2
        body.append(el("circle", cx=cx, cy=top, r=30, fill=ACCENT_600, stroke=GREY_100, stroke_width=6))
        digit = str(step)
        size = 36
        text_w = font.text_width(digit, size)
        cap = font.cap_height * size / font.units_per_em
        body.append(fill(font.text_path(digit, size, cx - text_w / 2, top + cap / 2).svg_d(), WHITE))
    for x in (xs[0] + card_w, xs[1] + card_w):  # chevrons between the steps
        mid = x + 20
        body.append(stroke(f"M{num(mid - 6)} {top + card_h / 2 - 14}l12 14-12 14", ACCENT_400, 4))

    body.extend(_step_insert_card(xs[0], top, card_w, card_h))
    body.extend(_step_choose(xs[1], top, card_w, card_h))
    body.extend(_step_download(xs[2], top, card_w, card_h))
    return svg(width, height, body)


def _sd_card(x, y, w, color, contacts=WHITE):
    """An SD card outline (notched top-right corner) filled with `color`, `w` wide, 1.3 w high."""
    h, notch, r = w * 1.3, w * 0.28, w * 0.08
    d = (f"M{num(x + r)} {num(y)}h{num(w - notch - r)}l{num(notch)} {num(notch)}v{num(h - notch - r)}"
         f"a{num(r)} {num(r)} 0 0 1-{num(r)} {num(r)}h-{num(w - 2 * r)}a{num(r)} {num(r)} 0 0 1-{num(r)}-{num(r)}"
         f"v-{num(h - 2 * r)}a{num(r)} {num(r)} 0 0 1 {num(r)}-{num(r)}z")
    parts = [fill(d, color)]
    pad, gap = w * 0.14, w * 0.13
    for i in range(4):
        parts.append(el("rect", x=x + pad + i * gap, y=y + w * 0.1, width=w * 0.075, height=w * 0.26,
                        rx=w * 0.03, fill=contacts, opacity=0.85))
    return parts


def _step_insert_card(x, top, w, h):
    """Step 1: the card leaves the scan tool and goes into the computer's card slot."""
    parts = []
    # scan tool: a hand-held with screen and keys, the card standing out of its top slot
    tx, ty = x + 30, top + 110
    parts.extend(_sd_card(tx + 27, ty - 40, 36, ACCENT_500))
    parts.append(el("rect", x=tx, y=ty, width=90, height=150, rx=14, fill=GREY_700))
    parts.append(el("rect", x=tx + 10, y=ty + 12, width=70, height=60, rx=5, fill=ACCENT_200))
    parts.append(el("rect", x=tx + 18, y=ty + 24, width=40, height=6, rx=3, fill=ACCENT_600))
    parts.append(el("rect", x=tx + 18, y=ty + 38, width=54, height=6, rx=3, fill=WHITE))
    parts.append(el("rect", x=tx + 18, y=ty + 52, width=30, height=6, rx=3, fill=WHITE))
    for row in range(2):
        for col in range(3):
            parts.append(el("circle", cx=tx + 22 + col * 23, cy=ty + 96 + row * 26, r=8, fill=GREY_500))
    # laptop; the card goes into the slot in the front edge of its base
    lx, ly = x + 140, top + 262
    card_x, card_y = lx + 92, ly + 94
    parts.extend(_sd_card(card_x, card_y, 34, ACCENT_500))
    parts.append(el("rect", x=lx, y=ly, width=140, height=92, rx=8, fill=GREY_700))
    parts.append(el("rect", x=lx + 8, y=ly + 8, width=124, height=76, rx=3, fill=ACCENT_100))
    parts.append(el("rect", x=lx + 22, y=ly + 24, width=60, height=7, rx=3.5, fill=ACCENT_400))
    parts.append(el("rect", x=lx + 22, y=ly + 40, width=90, height=7, rx=3.5, fill=GREY_300))
    parts.append(el("rect", x=lx + 22, y=ly + 56, width=74, height=7, rx=3.5, fill=GREY_300))
    parts.append(el("path", d=f"M{lx - 14} {ly + 92}h168l10 14a4 4 0 0 1-3.3 6.3h-181.4a4 4 0 0 1-3.3-6.3z", fill=GREY_500))
    parts.append(el("rect", x=lx + 48, y=ly + 97, width=36, height=4, rx=2, fill=GREY_400))
    parts.append(el("rect", x=card_x - 3, y=ly + 108, width=40, height=4, rx=2, fill=GREY_900))
    parts.append(stroke(f"M{card_x + 10} {card_y + 38}l7-7 7 7", WHITE, 3))
    # dotted path of the card from the tool to the slot
    sx, sy = tx + 45, ty - 48
    ex, ey, rx = card_x + 46, card_y + 30, x + w - 12
    parts.append(stroke(f"M{sx} {sy}C{sx + 110} {sy - 50} {rx} {top + 120} {rx} {top + 250}"
                        f"L{rx} {ey - 14}Q{rx} {ey} {ex} {ey}", ACCENT_400, 4, stroke_dasharray="1 10"))
    parts.append(stroke(f"M{ex + 10} {ey - 9}l-10 9 10 9", ACCENT_400, 4))
    return parts


def _combo(x, y, w, icon, open_list=False):
    """A mock of the card or device box: glyph caption, text, arrow button."""
    parts = [glyph(icon, ACCENT_600, x, y + 4, 28),
             el("rect", x=x + 40, y=y, width=w - 40, height=36, rx=8, fill=WHITE, stroke=GREY_300, stroke_width=1.5),
             el("rect", x=x + 54, y=y + 14, width=w * 0.35, height=8, rx=4, fill=GREY_400),
             el("rect", x=x + w - 36, y=y, width=36, height=36, rx=8, fill=ACCENT_600),
             stroke(f"M{x + w - 24} {y + 15}l6 6 6-6", WHITE, 2.5)]
    if open_list:
        ly = y + 42
        parts.append(el("rect", x=x + 40, y=ly, width=w - 40, height=96, rx=8, fill=WHITE, stroke=GREY_300, stroke_width=1.5))
        for i in range(3):
            if i == 1:
                parts.append(el("rect", x=x + 44, y=ly + 4 + i * 30, width=w - 48, height=28, rx=5, fill=ACCENT_100))
            parts.append(el("rect", x=x + 54, y=ly + 15 + i * 30, width=w * (0.45 if i != 1 else 0.55), height=7, rx=3.5,
                            fill=ACCENT_600 if i == 1 else GREY_300))
        # pointer on the chosen entry
        px, py = x + w - 70, ly + 42
        parts.append(el("path", d=f"M{px} {py}l0 26 7-6.5 5 11 5-2.2-5-10.8 9.5-0.5z", fill=GREY_900,
                        stroke=WHITE, stroke_width=2, stroke_linejoin="round"))
    return parts


def _step_choose(x, top, w, h):
    """Step 2: choose the card, then the device (serial number)."""
    parts = []
    parts.extend(_combo(x + 30, top + 80, w - 60, GLYPH_CARD, open_list=True))
    parts.extend(_combo(x + 30, top + 280, w - 60, GLYPH_DEVICE))
    return parts


def _step_download(x, top, w, h):
    """Step 3: rows of the update list: press download, watch the bar, then it is installed."""
    parts = []
    for i, (progress, state) in enumerate(((0.0, "download"), (0.62, "pause"), (1.0, "done"))):
        ry = top + 72 + i * 112
        parts.append(el("rect", x=x + 24, y=ry, width=w - 48, height=96, rx=12, fill=GREY_100))
        parts.append(el("rect", x=x + 38, y=ry + 20, width=56, height=56, rx=11, fill=BADGE_SHADES[i]))
        parts.append(el("rect", x=x + 48, y=ry + 44, width=36, height=8, rx=4, fill=WHITE))
        parts.append(el("rect", x=x + 108, y=ry + 22, width=80, height=9, rx=4.5, fill=GREY_700))
        parts.append(el("rect", x=x + 108, y=ry + 40, width=60, height=7, rx=3.5, fill=GREY_400))
        bar_x, bar_w = x + 108, 88
        parts.append(el("rect", x=bar_x, y=ry + 62, width=bar_w, height=8, rx=4, fill=WHITE, stroke=GREY_300, stroke_width=1))
        if progress > 0:
            parts.append(el("rect", x=bar_x, y=ry + 62, width=bar_w * progress, height=8, rx=4, fill=ACCENT_500))
        bx, by = x + w - 62, ry + 48
        if state == "download":
            parts.append(el("circle", cx=bx, cy=by, r=22, fill=ACCENT_600))
            parts.append(stroke(f"M{bx} {by - 11}v16M{bx - 7} {by - 2}l7 7 7-7M{bx - 9} {by + 11}h18", WHITE, 3.5))
        elif state == "pause":
            parts.append(el("circle", cx=bx, cy=by, r=22, fill=ACCENT_600))
            parts.append(el("rect", x=bx - 8, y=by - 9, width=5, height=18, rx=1.5, fill=WHITE))
            parts.append(el("rect", x=bx + 3, y=by - 9, width=5, height=18, rx=1.5, fill=WHITE))
        else:
            parts.append(el("circle", cx=bx, cy=by, r=21, fill=WHITE, stroke=ACCENT_600, stroke_width=2.5))
            parts.append(stroke(f"M{bx - 9} {by + 1}l6 6 12-12.5", ACCENT_600, 3.5))
    return parts


def build_svgs(font):
    """Every picture the application asks for by name, except the vehicle pictures."""
    return {
        "Btn_Nor": button_background(ACCENT_600),
        "Btn_Fcs": button_background(ACCENT_500),
        "element_check_off": check_box(False),
        "element_check_on": check_box(True),
        "head": title_bar(),
        "Bottom": footer(),
        "close_black": close_cross(GREY_900),
        "close_white": close_cross(WHITE),
        "minimize_white": minimize_bar(WHITE),
        "Toolbar_update": tab_bar(0),
        "Toolbar_info": tab_bar(1),
        "Toolbar_feedback": tab_bar(2),
        "Toolbar_print": tab_bar(3),
        "Download": download_icon(),
        "Pause": pause_icon(),
        "waiting": waiting_icon(),
        "Continue": continue_icon(),
        "install": install_icon(),
        "Finish": finish_icon(),
        "xing": star_icon(),
        "help": help_icon(),
        "Information": row_information_icon(),
        "information": alert_information_icon(),
        "warning": warning_icon(),
        "sdCard": help_picture(font),
        "AppIcon": app_icon(),
    }


# ---------------------------------------------------------------------------------------------
# Raster output: a premultiplied RGBA canvas filled polygon by polygon (non-zero winding,
# 16 sub-scan-lines per pixel with exact horizontal coverage), written as PNG.
# ---------------------------------------------------------------------------------------------
class Canvas:
    SUBROWS = 16

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [0.0] * (width * height * 4)

    def fill(self, path, color, opacity=1.0):
        red, green, blue = (int(color[i:i + 2], 16) / 255.0 for i in (1, 3, 5))
        edges = []
        for poly in path.polygons():
            for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
                if y0 == y1:
                    continue
                winding = 1 if y1 > y0 else -1
                if y0 > y1:
                    x0, y0, x1, y1 = x1, y1, x0, y0
                edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), winding))
        if not edges:
            return
        rows = {}
        for edge in edges:
            for row in range(max(0, int(math.floor(edge[0]))), min(self.height, int(math.ceil(edge[1])))):
                rows.setdefault(row, []).append(edge)
        sub = self.SUBROWS
        for row in sorted(rows):
            row_edges = rows[row]
            coverage = [0.0] * (self.width + 1)
            for s in range(sub):
                sy = row + (s + 0.5) / sub
                crossings = sorted((x0 + (sy - y0) * slope, w) for y0, y1, x0, slope, w in row_edges if y0 <= sy < y1)
                winding, span_start = 0, 0.0
                for x, w in crossings:
                    if winding == 0:
                        span_start = x
                    winding += w
                    if winding == 0:
                        self._add_span(coverage, span_start, x, 1.0 / sub)
            base = row * self.width * 4
            for col in range(self.width):
                cov = coverage[col]
                if cov <= 0.0:
                    continue
                alpha = min(1.0, cov) * opacity
                i = base + col * 4
                keep = 1.0 - alpha
                px = self.pixels
                px[i] = red * alpha + px[i] * keep
                px[i + 1] = green * alpha + px[i + 1] * keep
                px[i + 2] = blue * alpha + px[i + 2] * keep
                px[i + 3] = alpha + px[i + 3] * keep

    def _add_span(self, coverage, left, right, weight):
        left, right = max(0.0, left), min(float(self.width), right)
        if right <= left:
            return
        first, last = int(left), int(right)
        if first == last:
            coverage[first] += (right - left) * weight
            return
        coverage[first] += (first + 1 - left) * weight
        for col in range(first + 1, last):
            coverage[col] += weight
        if last < self.width:
            coverage[last] += (right - last) * weight

    def png(self, text_chunks=()):
        raw = bytearray()
        for row in range(self.height):
            raw.append(0)  # no row filter
            for col in range(self.width):
                i = (row * self.width + col) * 4
                alpha = self.pixels[i + 3]
                if alpha <= 0.0:
                    raw.extend(b"\0\0\0\0")
                    continue
                raw.extend(_byte(self.pixels[i + c] / alpha) for c in range(3))
                raw.append(_byte(alpha))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
        for key, value in text_chunks:
            out += chunk(b"tEXt", key + b"\0" + value)
        return out + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def _byte(value):
    return max(0, min(255, int(value * 255.0 + 0.5)))


# ---------------------------------------------------------------------------------------------
# Vehicle pictures: the name on a rounded badge. The rows show them resized to 70 x 70; they are
# drawn at twice that so they stay sharp on high-density screens.
# ---------------------------------------------------------------------------------------------
BADGE_SIZE = 140
BADGE_INSET = 4
BADGE_TEXT_WIDTH = 112
BADGE_TEXT_HEIGHT = 84
BADGE_MAX_SIZE = {1: 50, 2: 38, 3: 30}


def badge_lines(name, font):
    """The name split at '_', '-' and spaces into at most three lines, as even as possible."""
    words = [w for w in name.upper().replace("_", " ").replace("-", " ").split() if w]
    if not words:
        words = [name.upper()]
    if len(words) <= 3:
        return words
    best = None
    for cuts in itertools.combinations(range(1, len(words)), 2):
        lines = [" ".join(words[a:b]) for a, b in zip((0,) + cuts, cuts + (len(words),))]
        widest = max(font.text_width(line, 10) for line in lines)
        if best is None or widest < best[0]:
            best = (widest, lines)
    return best[1]


def badge_png(name, font):
    lines = badge_lines(name, font)
    upem = font.units_per_em
    cap_ratio = font.cap_height / upem
    sizes = []
    for line in lines:
        width_at_one = max(font.text_width(line, 1.0), 1e-6)
        sizes.append(min(BADGE_MAX_SIZE[len(lines)], BADGE_TEXT_WIDTH / width_at_one))
    gap_ratio = 0.42  # line gap as a share of the larger neighbouring cap height
    caps = [s * cap_ratio for s in sizes]
    gaps = [max(a, b) * gap_ratio for a, b in zip(caps, caps[1:])]
    total = sum(caps) + sum(gaps)
    if total > BADGE_TEXT_HEIGHT:
        shrink = BADGE_TEXT_HEIGHT / total
        sizes = [s * shrink for s in sizes]
        caps = [c * shrink for c in caps]
        gaps = [g * shrink for g in gaps]
        total = BADGE_TEXT_HEIGHT

    system = name.upper() in SYSTEM_VEHICLES
    shade = SYSTEM_BADGE_SHADE if system else BADGE_SHADES[sum(name.upper().encode("utf-8")) % len(BADGE_SHADES)]
    canvas = Canvas(BADGE_SIZE, BADGE_SIZE)
    side = BADGE_SIZE - 2 * BADGE_INSET
    canvas.fill(Path().rounded_rect(BADGE_INSET, BADGE_INSET, side, side, 26), shade)
    # a short light bar under the lettering marks it as a badge rather than a button
    bar_y = BADGE_SIZE - BADGE_INSET - 20
    canvas.fill(Path().rounded_rect(BADGE_SIZE / 2 - 16, bar_y, 32, 5, 2.5), ACCENT_200)
    text_top = BADGE_INSET + 12 + (bar_y - 6 - BADGE_INSET - 12 - total) / 2
    y = text_top
    for line, size, cap, gap in zip(lines, sizes, caps, gaps + [0.0]):
        y += cap
        width = font.text_width(line, size)
        canvas.fill(font.text_path(line, size, (BADGE_SIZE - width) / 2, y), WHITE)
        y += gap
    return canvas.png([PNG_MARKER])


def vehicle_names_from_table(path):
    """Distinct vehicle names (second field of each data line) in file order, letter case ignored."""
    text = pathlib.Path(path).read_bytes().decode("utf-8", errors="replace")
    names = []
    for line in text.replace("\r\n", "\n").split("\n"):
        if line.startswith("//"):
            continue
        fields = line.split("\t\t")
        if len(fields) == 2 and fields[1].strip():
            names.append(fields[1].strip())
    return names


def usable_file_name(name):
    return name and name not in (".", "..") and not any(ch in name for ch in '/\\\0') and name.isprintable()


def wanted_vehicle_names(car_ini, extra, icon_names=()):
    if car_ini is not None and pathlib.Path(car_ini).is_file():
        base = vehicle_names_from_table(car_ini)
    else:
        base = list(FALLBACK_VEHICLES)
    # a picture is looked up by name alone, so a vehicle may not take an icon's name
    icons = {name.upper() for name in icon_names}
    result, seen = [], set()
    for name in list(ALWAYS_VEHICLES) + base + list(extra):
        key = name.upper()
        if key in icons:
            print(f"make_artwork: no picture for vehicle {name!r}: an icon has that name", file=sys.stderr)
            continue
        if usable_file_name(name) and key not in seen:
            seen.add(key)
            result.append(name)
    return result


# ---------------------------------------------------------------------------------------------
# Writing
# ---------------------------------------------------------------------------------------------
def write_if_changed(path, data):
    if path.exists() and path.read_bytes() == data:
        return False
    tmp = path.with_name(path.name + ".tmp")
    tmp.write_bytes(data)
    tmp.replace(path)
    return True


def made_by_us(path):
    data = path.read_bytes()
    return b"tEXt" + PNG_MARKER[0] + b"\0" + PNG_MARKER[1] in data[:256]


def main(argv=None):
    parser = argparse.ArgumentParser(description="Draw Velquor's artwork into resources/images/.")
    parser.add_argument("--car-ini", default=str(CAR_INI),
                        help="vehicle table whose names get pictures (default: resources/car_ini.txt; "
                             "without it, the makes the application names itself)")
    parser.add_argument("names", nargs="*", help="extra vehicle names to draw pictures for")
    args = parser.parse_args(argv)

    font = TrueTypeFont(find_font())
    IMAGES.mkdir(parents=True, exist_ok=True)
    written, kept = 0, 0
    svgs = build_svgs(font)
    for name, text in svgs.items():
        if write_if_changed(IMAGES / f"{name}.svg", text.encode("utf-8")):
            written += 1
        else:
            kept += 1

    names = wanted_vehicle_names(args.car_ini, args.names, svgs.keys())
    wanted = set()
    for name in names:
        target = IMAGES / f"{name}.png"
        wanted.add(target.name)
        if write_if_changed(target, badge_png(name, font)):
            written += 1
        else:
            kept += 1
    removed = 0
    for old in sorted(IMAGES.glob("*.png")):
        if old.name not in wanted and made_by_us(old):
            old.unlink()
            removed += 1
    source = args.car_ini if pathlib.Path(args.car_ini).is_file() else "built-in list (no vehicle table yet)"
    print(f"make_artwork: {len(names)} vehicle pictures from {source}; "
          f"{written} written, {kept} unchanged, {removed} removed")


if __name__ == "__main__":
    main()
