#!/usr/bin/python3
"""Writes <name>.expected beside every <name>.psd given (or found in the given
folders), read with psd-tools, an independent PSD reader (Debian package
python3-psd-tools). The PSD reader's tests compare their results with these
files: header, layer records (kind, folder, bounds, opacity, blend mode,
flags, name), pixels and masks turned into ARGB by the reader's documented
rules, the merged image, and the layers' effects, fills and the patterns,
whose values psd-tools parses and the reader's documented rules (defaults,
keys, units, contour tables) turn into what the reader keeps.

Usage: scripts/psd-expected.py tests/Core/Psd/fixtures
"""

import glob
import math
import os
import struct
import sys
import zlib

from psd_tools.constants import BlendMode

# ImageMagick 6 writes "mron" for a normal layer; an unknown key reads as normal.
BlendMode._missing_ = classmethod(lambda cls, value: cls.NORMAL)

from psd_tools.psd import PSD  # noqa: E402

BLEND_KEYS = [b"norm", b"diss", b"dark", b"mul ", b"idiv", b"lbrn", b"lite", b"scrn",
              b"div ", b"lddg", b"over", b"sLit", b"hLit", b"vLit", b"lLit", b"pLit",
              b"hMix", b"diff", b"smud", b"hue ", b"sat ", b"colr", b"lum ", b"pass"]

KIND_OF_KEY = {b"SoCo": 3, b"GdFl": 4, b"levl": 6, b"curv": 7, b"brit": 8, b"blnc": 9,
               b"hue2": 10, b"selc": 11, b"thrs": 12, b"nvrt": 13, b"post": 14,
               b"mixr": 15, b"grdm": 16, b"phfl": 17, b"PtFl": 19}

MIN_CHANNELS = {3: 3, 9: 3, 4: 4}


def key_bytes(key):
    return getattr(key, "value", key)


# --- Samples and colours, as the reader documents them ---------------------------

def row_bytes(width, depth):
    return (width + 7) // 8 if depth == 1 else width * (2 if depth == 16 else 1)


def sample(plane, width, depth, x, y, missing):
    if plane is None:
        return missing
    row = y * row_bytes(width, depth)
    if depth == 16:
        return plane[row + 2 * x]
    if depth == 1:
        return 0 if (plane[row + x // 8] >> (7 - x % 8)) & 1 else 255
    return plane[row + x]


def argb(a, r, g, b):
    return (a & 255) << 24 | (r & 255) << 16 | (g & 255) << 8 | (b & 255)


def clamp_channel(v):
    if not v > 0.0:
        return 0
    if v >= 255.0:
        return 255
    return int(v)


def cmyk(a, c, m, y, k):
    def ch(v):
        return min(max((65535 - (v * (255 - k) + 256 * k)) >> 8, 0), 255)
    return argb(a, ch(c), ch(m), ch(y))


def xyz(a, x, y, z):
    x, y, z = x / 100.0, y / 100.0, z / 100.0
    lin = [3.2406 * x - 1.5372 * y - 0.4986 * z,
           -0.9689 * x + 1.8758 * y + 0.0415 * z,
           0.0557 * x - 0.2040 * y + 1.0570 * z]
    out = []
    for v in lin:
        e = 1.055 * math.pow(v, 1.0 / 2.4) - 0.055 if v > 0.0031308 else 12.92 * v
        out.append(clamp_channel(e * 256.0))
    return argb(a, *out)


def lab(a, l, aa, bb):
    fy = (l + 16.0) / 116.0
    fx = fy + aa / 500.0
    fz = fy - bb / 200.0

    def f(t):
        cube = t * t * t
        return cube if cube > 0.008856 else (t - 16.0 / 116.0) / 7.787
    return xyz(a, 95.047 * f(fx), 100.0 * f(fy), 108.883 * f(fz))


class Doc:
    def __init__(self, psd):
        h = psd.header
        self.width, self.height = h.width, h.height
        self.channels, self.depth, self.mode = h.channels, h.depth, int(h.color_mode)
        resources = psd.image_resources
        self.indexed_count = None
        self.transparent = -1
        alpha_count = None
        for key, resource in resources.items():
            rid = int(getattr(key, "value", key))
            data = resource.data
            if rid == 1046:
                self.indexed_count = self.short(data)
            elif rid == 1047:
                self.transparent = self.short(data)
            elif rid in (1006, 1045, 1053) and alpha_count is None:
                alpha_count = len(data) if not isinstance(data, bytes) else self.count_alpha(
                    rid, data)
        room = self.channels - MIN_CHANNELS.get(self.mode, 1)
        self.alpha_count = min(alpha_count or 0, room)
        self.color_channels = self.channels - self.alpha_count
        self.palette = []
        if self.mode == 2:
            table = psd.color_mode_data.value
            n = min(len(table) // 3, 256)
            self.palette = [argb(255, table[i], table[n + i], table[2 * n + i]) for i in range(n)]

    @staticmethod
    def short(data):
        if isinstance(data, bytes):
            return struct.unpack(">h", data[:2])[0]
        value = int(data)
        return value - 65536 if value >= 32768 else value

    @staticmethod
    def count_alpha(rid, data):
        count, at = 0, 0
        if rid == 1006:
            while at < len(data):
                at += 1 + data[at]
                count += 1
        elif rid == 1045:
            while at + 4 <= len(data):
                n = struct.unpack(">I", data[at:at + 4])[0]
                if at + 4 + 2 * n > len(data):
                    break
                at += 4 + 2 * n
                count += 1
        else:
            count = len(data) // 4
        return count

    def convert(self, planes, width, height, merged):
        """planes: dict with keys 'a', 0, 1, 2, 3 (bytes or None)."""
        out = bytearray()
        d = self.depth
        count = self.indexed_count if self.indexed_count is not None else len(self.palette)
        count = min(count, len(self.palette))
        for y in range(height):
            for x in range(width):
                def s(key, missing=0):
                    return sample(planes.get(key), width, d, x, y, missing)
                a = s("a", 255)
                m = self.mode
                if m == 2:
                    i = s(0)
                    p = self.palette[i] if i < count and i != self.transparent else 0x00FFFFFF
                elif m == 3:
                    p = argb(a, s(0), s(1), s(2))
                elif m == 4:
                    p = cmyk(a, 255 - s(0), 255 - s(1), 255 - s(2), 255 - s(3))
                elif m == 7:
                    fourth = s(3, 255) if merged else a
                    p = cmyk(255, 255 - s(0), 255 - s(1), 255 - s(2), 255 - fourth)
                elif m == 9:
                    p = lab(a, s(0) * 100 // 256, s(1) - 128, s(2) - 128)
                else:
                    g = s(0)
                    p = argb(a, g, g, g)
                out += struct.pack("<I", p)
        return bytes(out)


# --- Layers ---------------------------------------------------------------------

def layer_kind(record):
    kind = 0
    blocks = record.tagged_blocks.items() if record.tagged_blocks else []
    for key, block in blocks:
        k = key_bytes(key)
        if k in (b"lsct", b"lsdk"):
            divider = int(getattr(block.data.kind, "value", block.data.kind))
            if divider in (1, 2):
                kind = 2
            elif divider == 3:
                kind = 1
        elif k in KIND_OF_KEY:
            kind = KIND_OF_KEY[k]
    return kind


def link_folders(kinds):
    folders = [-1] * len(kinds)
    current = -1
    for i in range(len(kinds) - 1, -1, -1):
        if kinds[i] == 2:
            current = i
        elif kinds[i] == 1:
            current = -1
        elif kinds[i] == 0:
            folders[i] = current
    return folders


def crc(data):
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


def layer_infos(psd):
    info = psd.layer_and_mask_information
    layer_info = info.layer_info
    # 16-bit documents may keep their layers in "Lr16".
    blocks = info.tagged_blocks
    if blocks:
        for key, block in blocks.items():
            if key_bytes(key) == b"Lr16":
                layer_info = block.data
    return layer_info


# --- Effects, fills and patterns, as the reader documents them ------------------

def kb(key):
    return key_bytes(key)


def ostype(value):
    return kb(getattr(value, "ostype", None))


def to_int(value):
    if value != value:
        return 0
    if value >= 2147483647.0:
        return 2147483647
    if value <= -2147483648.0:
        return -2147483648
    return int(value)


def s16(value):
    value &= 0xFFFF
    return value - 65536 if value >= 32768 else value


def fixed(value):
    return s16((value & 0xFFFFFFFF) >> 16)


def number(value):
    if ostype(value) in (b"doub", b"UntF", b"long", b"comp"):
        return float(value.value)
    return None


def integer(value):
    n = number(value)
    return None if n is None else to_int(n)


def opacity(value):
    n = number(value)
    if n is None:
        return None
    v = n * 2.55 + 0.5
    if v != v or v < 0.0:
        return 0
    return 255 if v >= 255.0 else int(v)


def boolean(value):
    return bool(value.value) if ostype(value) == b"bool" else None


def enum_key(value):
    return kb(value.enum) if ostype(value) == b"enum" else None


def level(v):
    return 0 if v != v or v < 0.0 else (255.0 if v >= 255.0 else v)


def component(v):
    return 0 if v != v or v < 0.0 else (255 if v >= 255.0 else int(v))


def color_descriptor(value):
    if ostype(value) != b"Objc":
        return None
    rgb = [0.0, 0.0, 0.0]
    for key, item in value.items():
        k = kb(key)
        for c, (classic, floating) in enumerate(((b"Rd  ", b"redFloat"), (b"Grn ", b"greenFloat"),
                                                 (b"Bl  ", b"blueFloat"))):
            if k in (classic, floating):
                n = number(item)
                if n is not None:
                    rgb[c] = n * (255.0 if k == floating else 1.0)
    return argb(255, *[component(v) for v in rgb])


def binary_color(color):
    space = int(getattr(color.id, "value", color.id))
    if space != 0:
        raise ValueError("fixtures use RGB colours only")
    return argb(255, *[(v >> 8) & 0xFF for v in color.values[:3]])


BLEND_ENUMS = {b"Nrml": 0, b"Dslv": 1, b"Drkn": 2, b"Mltp": 3, b"CBrn": 4, b"linearBurn": 5,
               b"Lghn": 6, b"Scrn": 7, b"CDdg": 8, b"linearDodge": 9, b"Ovrl": 10, b"SftL": 11,
               b"HrdL": 12, b"vividLight": 13, b"linearLight": 14, b"pinLight": 15,
               b"hardMix": 16, b"Dfrn": 17, b"Xclu": 18, b"H   ": 19, b"Strt": 20, b"Clr ": 21,
               b"Lmns": 22}
TECHNIQUES = {b"SfBL": 0, b"PrBL": 1, b"Slmt": 2}
GRADIENT_STYLES = {b"Lnr ": 0, b"Rdl ": 1, b"Angl": 2, b"Rflc": 3, b"Dmnd": 4}


def blend_key_number(key):
    key = kb(key)
    return BLEND_KEYS.index(key) if key in BLEND_KEYS else 0


def units_hex(text):
    return "".join("%04x" % ord(c) for c in text) or "-"


def gradient(value):
    g = {"name": "", "smooth": 0, "colors": [], "alphas": []}
    for key, item in value.items():
        k = kb(key)
        if k == b"Nm  " and ostype(item) == b"TEXT":
            g["name"] = item.value
        elif k == b"Intr":
            n = integer(item)
            if n is not None:
                g["smooth"] = n
        elif k in (b"Clrs", b"Trns") and ostype(item) == b"VlLs":
            stops = []
            for stop in item:
                if ostype(stop) != b"Objc":
                    continue
                if k == b"Clrs":
                    entry = [0, 0, 0, 0]  # colour, type, location, midpoint
                    for sk, sv in stop.items():
                        sk = kb(sk)
                        if sk == b"Clr ":
                            c = color_descriptor(sv)
                            entry[0] = entry[0] if c is None else c
                        elif sk == b"Type" and enum_key(sv) is not None:
                            entry[1] = {b"FrgC": 0, b"BckC": 1}.get(enum_key(sv), 2)
                        elif sk in (b"Lctn", b"Mdpn") and integer(sv) is not None:
                            entry[2 if sk == b"Lctn" else 3] = integer(sv) & 0xFFFFFFFF
                    stops.append(entry)
                else:
                    entry = [0, 0, 0]  # opacity, location, midpoint
                    for sk, sv in stop.items():
                        sk = kb(sk)
                        if sk == b"Opct" and integer(sv) is not None:
                            entry[0] = min(max(integer(sv), 0), 65535)
                        elif sk in (b"Lctn", b"Mdpn") and integer(sv) is not None:
                            entry[1 if sk == b"Lctn" else 2] = integer(sv) & 0xFFFFFFFF
                    stops.append(entry)
            g["colors" if k == b"Clrs" else "alphas"] = stops
    return g


def gradient_token(g):
    if g is None:
        return "-/0//"
    colors = ";".join("%08x:%d:%d:%d" % tuple(c) for c in g["colors"])
    alphas = ";".join("%d:%d:%d" % tuple(a) for a in g["alphas"])
    return "%s/%d/%s/%s" % (units_hex(g["name"]), g["smooth"], colors, alphas)


def pattern_ref(value):
    ref = {"name": "", "id": b""}
    for key, item in value.items():
        k = kb(key)
        if k == b"Idnt" and ostype(item) == b"TEXT":
            ref["id"] = bytes(ord(c) & 0xFF for c in item.value)[:255]
        elif k == b"Nm  " and ostype(item) == b"TEXT":
            ref["name"] = item.value
    return ref


def pattern_token(ref):
    if ref is None:
        return "-/-"
    return "%s/%s" % (units_hex(ref["name"]), ref["id"].hex() or "-")


def point(value, x, y):
    for key, item in value.items():
        k = kb(key)
        if k == b"Hrzn" and integer(item) is not None:
            x = integer(item)
        elif k == b"Vrtc" and integer(item) is not None:
            y = integer(item)
    return x, y


def contour_table(points):
    table = list(range(256))
    count = len(points)
    if count < 1:
        return table

    def inp(i):
        return level(float(points[i][0]))

    def out(i):
        return level(float(points[i][1]))
    first = int(out(0))
    for x in range(0, int(inp(0))):
        table[x] = first
    last = int(out(count - 1))
    for x in range(int(inp(count - 1)), 256):
        table[x] = last
    basis = ((-0.5, 1.5, -1.5, 0.5), (1.0, -2.5, 2.0, -0.5), (-0.5, 0.0, 0.5, 0.0),
             (0.0, 1.0, 0.0, 0.0))
    h = 1.0 / 512.0
    for i in range(count - 1):
        control = [max(i - 1, 0), i, i + 1, min(i + 2, count - 1)]
        if points[i][2]:
            control[0] = i
        if points[i + 1][2]:
            control[3] = i + 1
        xs = [inp(c) for c in control]
        ys = [out(c) for c in control]
        cx, cy = [], []
        for row in range(4):
            ax = ay = 0.0
            for k in range(4):
                ax += basis[row][k] * xs[k]
                ay += basis[row][k] * ys[k]
            cx.append(ax)
            cy.append(ay)

        def differences(c):
            return [c[3], c[0] * h * h * h + c[1] * h * h + c[2] * h,
                    6.0 * c[0] * h * h * h + 2.0 * c[1] * h * h, 6.0 * c[0] * h * h * h]
        dx, dy = differences(cx), differences(cy)
        for _ in range(513):
            table[int(level(dx[0]))] = int(level(dy[0]))
            for k in range(3):
                dx[k] += dx[k + 1]
                dy[k] += dy[k + 1]
    return table


def contour(value, table):
    if ostype(value) != b"Objc":
        return table
    points, curve = [], False
    for key, item in value.items():
        if kb(key) == b"Crv " and ostype(item) == b"VlLs":
            curve, points = True, []
            for p in item:
                if ostype(p) != b"Objc":
                    continue
                x = y = 0
                continuous = True
                for pk, pv in p.items():
                    pk = kb(pk)
                    if pk == b"Hrzn" and integer(pv) is not None:
                        x = integer(pv)
                    elif pk == b"Vrtc" and integer(pv) is not None:
                        y = integer(pv)
                    elif pk == b"Cnty" and boolean(pv) is not None:
                        continuous = boolean(pv)
                points.append((x, y, not continuous))
    return contour_table(points) if curve else table


def table_crc(table):
    return crc(bytes(table))


IDENTITY = list(range(256))

# Effect fields in the order the tests print them, with their defaults.
SHADOW = [("enabled", 0), ("blend", 3), ("color", 0xFF000000), ("native", 0xFF000000),
          ("opacity", 191), ("angle", 120), ("global", 1), ("distance", 5), ("choke", 0),
          ("size", 5), ("contour", IDENTITY), ("aa", 0), ("noise", 0), ("knockout", 0)]
GLOW = [("enabled", 0), ("blend", 7), ("opacity", 191), ("noise", 0), ("fill", 0),
        ("color", 0xFFFFFFBE), ("native", 0xFFFFFFBE), ("gradient", None), ("technique", 0),
        ("source", 0), ("spread", 0), ("size", 5), ("contour", IDENTITY), ("aa", 0),
        ("range", 50), ("jitter", 0)]
BEVEL = [("enabled", 0), ("style", 1), ("technique", 2), ("depth", 100), ("direction", 0),
         ("size", 5), ("soften", 0), ("angle", 120), ("global", 1), ("altitude", 30),
         ("gloss", IDENTITY), ("aaGloss", 0), ("hBlend", 7), ("hColor", 0xFFFFFFFF),
         ("hNative", 0xFFFFFFFF), ("hOpacity", 191), ("sBlend", 7), ("sColor", 0xFF000000),
         ("sNative", 0xFF000000), ("sOpacity", 191), ("useShape", 0), ("contour", IDENTITY),
         ("aa", 0), ("range", 50), ("useTexture", 0), ("pattern", None), ("scale", 100),
         ("textureDepth", 100), ("invertTexture", 0), ("align", 1), ("phaseX", 0), ("phaseY", 0)]
SATIN = [("enabled", 0), ("blend", 3), ("color", 0xFF000000), ("opacity", 128), ("angle", 19),
         ("distance", 11), ("size", 14), ("contour", IDENTITY), ("aa", 0), ("invert", 1)]
COLOR_OVERLAY = [("enabled", 0), ("blend", 0), ("color", 0xFFFF0000), ("opacity", 255),
                 ("native", 0)]
GRADIENT_OVERLAY = [("enabled", 0), ("blend", 0), ("opacity", 255), ("gradient", None),
                    ("reverse", 0), ("style", 0), ("align", 1), ("angle", 90), ("scale", 100),
                    ("offsetX", 0), ("offsetY", 0)]
PATTERN_OVERLAY = [("enabled", 0), ("blend", 0), ("opacity", 0), ("pattern", None), ("scale", 0),
                   ("align", 0), ("phaseX", 0), ("phaseY", 0)]
STROKE = [("enabled", 0), ("size", 3), ("position", 0), ("blend", 0), ("opacity", 255),
          ("fill", 0), ("color", 0xFFFF0000), ("gradient", None), ("reverse", 0),
          ("gradientStyle", 0), ("align", 1), ("angle", 90), ("gradientScale", 100),
          ("offsetX", 0), ("offsetY", 0), ("pattern", None), ("patternScale", 100),
          ("linked", 1), ("phaseX", 0), ("phaseY", 0)]

# Effect index (present flags' order), record fields, glow or not.
EFFECT_FIELDS = {0: SHADOW, 1: SHADOW, 2: GLOW, 3: GLOW, 4: SATIN, 5: COLOR_OVERLAY,
                 6: GRADIENT_OVERLAY, 7: PATTERN_OVERLAY, 8: STROKE, 9: BEVEL}
OBJECT_EFFECTS = {b"DrSh": 0, b"IrSh": 1, b"OrGl": 2, b"IrGl": 3, b"ChFX": 4, b"SoFi": 5,
                  b"GrFl": 6, b"patternFill": 7, b"FrFX": 8, b"ebbl": 9}


def defaults(index):
    e = {name: (list(v) if isinstance(v, list) else v) for name, v in EFFECT_FIELDS[index]}
    if index == 3:
        e["source"] = 1
    return e


def effect_line(index, e):
    words = []
    for name, _ in EFFECT_FIELDS[index]:
        v = e[name]
        if name in ("contour", "gloss"):
            v = table_crc(v)
        elif name == "gradient":
            v = gradient_token(v)
        elif name == "pattern":
            v = pattern_token(v)
        elif name.lower().endswith("color") or name in ("color", "native", "hNative", "sNative"):
            v = "%08x" % v
        else:
            v = str(int(v))
        words.append("%s=%s" % (name, v))
    return " ".join(words)


def read_effect_descriptor(index, value):
    e = defaults(index)
    glow = index in (2, 3)
    stroke = index == 8
    # key -> field, per effect (the keys each effect's reader takes)
    for key, item in value.items():
        k = kb(key)

        def set_int(field):
            n = integer(item)
            if n is not None:
                e[field] = n

        def set_bool(field):
            b = boolean(item)
            if b is not None:
                e[field] = int(b)

        def has(field):
            return field in e
        if k == b"enab":
            set_bool("enabled")
        elif k == b"Md  " and has("blend") and index != 9:
            if enum_key(item) is not None:
                e["blend"] = BLEND_ENUMS.get(enum_key(item), 0)
        elif k == b"Opct" and has("opacity"):
            if opacity(item) is not None:
                e["opacity"] = opacity(item)
        elif k == b"Clr " and has("color"):
            c = color_descriptor(item)
            if c is not None:
                e["color"] = c
                if has("native") and index not in (8,):
                    e["native"] = c
                if glow:
                    e["fill"] = 0
        elif k == b"uglg" and has("global"):
            set_bool("global")
        elif k == b"lagl" and index in (0, 1, 4, 9):
            set_int("angle")
        elif k == b"Dstn" and has("distance"):
            set_int("distance")
        elif k == b"Ckmt" and (has("choke") or has("spread")):
            set_int("choke" if has("choke") else "spread")
        elif k == b"blur" and has("size") and not stroke:
            set_int("size")
        elif k == b"Nose" and has("noise"):
            set_int("noise")
        elif k == b"AntA" and has("aa"):
            set_bool("aa")
        elif k == b"TrnS" and (index in (0, 1, 2, 3, 9)):
            field = "gloss" if index == 9 else "contour"
            e[field] = contour(item, e[field])
        elif k == b"layerConceals" and index == 0:
            set_bool("knockout")
        elif k == b"GlwT" and glow:
            if enum_key(item) is not None:
                e["technique"] = TECHNIQUES.get(enum_key(item), 0)
        elif k == b"Grad" and has("gradient"):
            if ostype(item) == b"Objc":
                e["gradient"] = gradient(item)
                if glow:
                    e["fill"] = 1
        elif k == b"Inpr" and has("range"):
            set_int("range")
        elif k == b"ShdN" and has("jitter"):
            set_int("jitter")
        elif k == b"glwS" and index == 3:
            v = enum_key(item)
            if v in (b"SrcC", b"SrcE"):
                e["source"] = 0 if v == b"SrcC" else 1
        elif k == b"bvlS" and index == 9:
            v = enum_key(item)
            styles = {b"OtrB": 0, b"InrB": 1, b"Embs": 2, b"PlEb": 3, b"strokeEmboss": 4}
            if v in styles:
                e["style"] = styles[v]
        elif k == b"bvlT" and index == 9:
            if enum_key(item) is not None:
                e["technique"] = TECHNIQUES.get(enum_key(item), 0)
        elif k == b"bvlD" and index == 9:
            v = enum_key(item)
            if v in (b"In  ", b"Out "):
                e["direction"] = 0 if v == b"In  " else 1
        elif k == b"srgR" and index == 9:
            set_int("depth")
        elif k == b"Sftn" and index == 9:
            set_int("soften")
        elif k == b"Lald" and index == 9:
            set_int("altitude")
        elif k in (b"hglM", b"sdwM") and index == 9:
            if enum_key(item) is not None:
                e["hBlend" if k == b"hglM" else "sBlend"] = BLEND_ENUMS.get(enum_key(item), 0)
        elif k in (b"hglC", b"sdwC") and index == 9:
            c = color_descriptor(item)
            if c is not None:
                p = "h" if k == b"hglC" else "s"
                e[p + "Color"] = e[p + "Native"] = c
        elif k in (b"hglO", b"sdwO") and index == 9:
            if opacity(item) is not None:
                e["hOpacity" if k == b"hglO" else "sOpacity"] = opacity(item)
        elif k == b"MpgS" and index in (4, 9):
            e["contour"] = contour(item, e["contour"])
        elif k in (b"antialiasGloss", b"useShape", b"useTexture") and index == 9:
            set_bool({b"antialiasGloss": "aaGloss", b"useShape": "useShape",
                      b"useTexture": "useTexture"}[k])
        elif k == b"textureDepth" and index == 9:
            set_int("textureDepth")
        elif k == b"phase" and has("phaseX"):
            if ostype(item) == b"Objc":
                e["phaseX"], e["phaseY"] = point(item, e["phaseX"], e["phaseY"])
        elif k == b"Ptrn" and has("pattern"):
            if ostype(item) == b"Objc":
                e["pattern"] = pattern_ref(item)
        elif k == b"Scl " and stroke:
            n = integer(item)
            if n is not None and e["fill"] in (1, 2):
                e["gradientScale" if e["fill"] == 1 else "patternScale"] = n
        elif k == b"Scl " and has("scale"):
            set_int("scale")
        elif k == b"InvT" and index == 9:
            set_bool("invertTexture")
        elif k == b"Algn" and has("align"):
            set_bool("align")
        elif k == b"Invr" and index == 4:
            set_bool("invert")
        elif k == b"Rvrs" and has("reverse"):
            set_bool("reverse")
        elif k == b"Type" and (has("style") and index == 6 or stroke):
            if enum_key(item) is not None:
                e["gradientStyle" if stroke else "style"] = GRADIENT_STYLES.get(enum_key(item), 0)
        elif k == b"Angl" and index in (6, 8):
            set_int("angle")
        elif k == b"Ofst" and has("offsetX"):
            if ostype(item) == b"Objc":
                e["offsetX"], e["offsetY"] = point(item, e["offsetX"], e["offsetY"])
        elif k == b"Styl" and stroke:
            v = enum_key(item)
            positions = {b"OutF": 0, b"InsF": 1, b"CtrF": 2}
            if v in positions:
                e["position"] = positions[v]
        elif k == b"PntT" and stroke:
            v = enum_key(item)
            fills = {b"SClr": 0, b"GrFl": 1, b"Ptrn": 2}
            if v in fills:
                e["fill"] = fills[v]
        elif k == b"Sz  " and stroke:
            set_int("size")
        elif k == b"Lnkd" and stroke:
            set_bool("linked")
    return e


def object_effects(block):
    count, master = 0, 0
    found = {}
    for key, item in block.items():
        k = kb(key)
        if k == b"masterFXSwitch" and boolean(item) is not None:
            master = int(boolean(item))
        elif ostype(item) == b"Objc" and k in OBJECT_EFFECTS:
            index = OBJECT_EFFECTS[k]
            found[index] = read_effect_descriptor(index, item)
            count += 1
    return count, master, found


def binary_effects(block):
    found = {}
    master = 0
    for ostype_key, info in block.items():
        k = kb(ostype_key)
        if k == b"cmnS":
            master = int(info.visible)
            continue
        if k in (b"dsdw", b"isdw"):
            index = 0 if k == b"dsdw" else 1
            e = defaults(index)
            e.update(size=fixed(info.blur), choke=fixed(info.intensity), angle=fixed(info.angle),
                     distance=fixed(info.distance), color=binary_color(info.color),
                     blend=blend_key_number(info.blend_mode), enabled=info.enabled,
                     opacity=info.opacity)
            e["global"] = info.use_global_angle
            if info.version == 2:
                e["native"] = binary_color(info.native_color)
        elif k in (b"oglw", b"iglw"):
            index = 2 if k == b"oglw" else 3
            e = defaults(index)
            e.update(size=fixed(info.blur), spread=fixed(info.intensity),
                     color=binary_color(info.color), blend=blend_key_number(info.blend_mode),
                     enabled=info.enabled, opacity=info.opacity)
            if info.version == 2:
                if index == 3 and info.invert:
                    e["source"] = 0
                e["native"] = binary_color(info.native_color)
        elif k == b"bevl":
            index = 9
            e = defaults(index)
            e.update(angle=fixed(info.angle), depth=fixed(info.depth), size=fixed(info.blur),
                     hBlend=blend_key_number(info.highlight_blend_mode),
                     sBlend=blend_key_number(info.shadow_blend_mode),
                     hColor=binary_color(info.highlight_color),
                     sColor=binary_color(info.shadow_color), style=info.bevel_style,
                     hOpacity=info.highlight_opacity, sOpacity=info.shadow_opacity,
                     enabled=info.enabled, direction=info.direction)
            e["global"] = info.use_global_angle
            if info.version == 2:
                e["hNative"] = binary_color(info.real_highlight_color)
                e["sNative"] = binary_color(info.real_shadow_color)
        elif k == b"sofi":
            index = 5
            e = defaults(index)
            e.update(blend=blend_key_number(info.blend_mode), color=binary_color(info.color),
                     opacity=info.opacity, enabled=info.enabled,
                     native=binary_color(info.native_color))
        else:
            raise ValueError("unknown effect %r" % k)
        found[index] = e
    return s16(len(block)), master, found


def effects_lines(index, record):
    lines = []
    blocks = record.tagged_blocks.items() if record.tagged_blocks else []
    for key, block in blocks:
        k = key_bytes(key)
        if k == b"lrFX":
            kind, (count, master, found) = 15, binary_effects(block.data)
        elif k == b"lfx2":
            kind, (count, master, found) = 16, object_effects(block.data)
        else:
            continue
        present = "".join("1" if i in found else "0" for i in range(10))
        lines.append("effects %d %d count %d master %d present %s" % (index, kind, count, master,
                                                                     present))
        for i in sorted(found):
            lines.append("effect %d %d %d %s" % (index, kind, i, effect_line(i, found[i])))
    return lines


def fill_lines(index, record):
    lines = []
    blocks = record.tagged_blocks.items() if record.tagged_blocks else []
    for key, block in blocks:
        k = key_bytes(key)
        d = block.data
        if k not in (b"SoCo", b"GdFl", b"PtFl"):
            continue
        class_id = kb(d.classID)
        class_hex = class_id.hex() if len(class_id) == 4 else "00000000"
        if k == b"SoCo":
            c = 0
            for ik, iv in d.items():
                if kb(ik) == b"Clr ":
                    c = color_descriptor(iv) if color_descriptor(iv) is not None else c
            lines.append("fill %d 17 class %s color %08x" % (index, class_hex, c))
        elif k == b"GdFl":
            g = {"gradient": None, "align": 1, "angle": 0.0, "dither": 0, "reverse": 0,
                 "scale": 100, "style": 0}
            for ik, iv in d.items():
                ik = kb(ik)
                if ik == b"Grad" and ostype(iv) == b"Objc":
                    g["gradient"] = gradient(iv)
                elif ik in (b"Algn", b"Dthr", b"Rvrs") and boolean(iv) is not None:
                    g[{b"Algn": "align", b"Dthr": "dither", b"Rvrs": "reverse"}[ik]] = int(boolean(iv))
                elif ik == b"Angl" and number(iv) is not None:
                    g["angle"] = number(iv)
                elif ik == b"Scl " and integer(iv) is not None:
                    g["scale"] = integer(iv)
                elif ik == b"Type" and enum_key(iv) is not None:
                    g["style"] = GRADIENT_STYLES.get(enum_key(iv), 0)
            lines.append("fill %d 18 class %s gradient %s align %d angle %.6f dither %d "
                         "reverse %d scale %d style %d"
                         % (index, class_hex, gradient_token(g["gradient"]), g["align"],
                            g["angle"], g["dither"], g["reverse"], g["scale"], g["style"]))
        else:
            ref, scale = None, 0
            for ik, iv in d.items():
                ik = kb(ik)
                if ik == b"Ptrn" and ostype(iv) == b"Objc":
                    ref = pattern_ref(iv)
                elif ik == b"Scl " and integer(iv) is not None:
                    scale = integer(iv)
            lines.append("fill %d 19 class %s pattern %s scale %d"
                         % (index, class_hex, pattern_token(ref), scale))
    return lines


PATTERN_FULL = {3: 4, 9: 4, 7: 4, 1: 2, 8: 2, 4: 5}


def pattern_lines(psd):
    lines = []
    blocks = psd.layer_and_mask_information.tagged_blocks
    number = 0
    for key, block in (blocks.items() if blocks else []):
        if key_bytes(key) not in (b"Patt", b"Pat2"):
            continue
        for pattern in block.data:
            mode = int(pattern.image_mode)
            height, width = pattern.point
            full = PATTERN_FULL.get(mode, 1)
            written = [c for c in pattern.data.channels if c.is_written][:full]
            # The reader leaves out a pattern of samples it cannot read.
            if any(c.depth not in (1, 8, 16) or c.depth != written[0].depth for c in written):
                continue
            depth = written[0].depth if written else 0
            planes = {}
            colors = full - 1 if mode not in (0, 2, 7) and full > 1 else full
            for i, c in enumerate(written):
                data = c.get_data()
                if i < colors:
                    planes[i] = data
                elif i == colors:
                    planes["a"] = data
            if len(written) < full and "a" in planes:
                del planes["a"]
            convertible = {0: depth == 1, 2: depth == 8, 7: depth == 8}.get(mode, depth in (8, 16))

            class Format:
                pass
            f = Format()
            f.mode, f.depth = mode, depth
            f.palette = [argb(255, *rgb) for rgb in pattern.color_table] if pattern.color_table else []
            f.indexed_count, f.transparent = (256 if f.palette else 0), -1
            if width * height == 0:
                pixels = b""
            elif not written or not convertible:
                pixels = bytes(4 * width * height)
            else:
                pixels = Doc.convert(f, planes, width, height, True)
            lines.append("pattern %d mode %d size %d %d depth %d decoded %d name %s id %s pixels %s"
                         % (number, mode, width, height, depth, len(written),
                            units_hex(pattern.name), pattern.pattern_id.encode().hex() or "-",
                            crc(pixels) if pixels else "-"))
            number += 1
    return lines


def describe(path):
    with open(path, "rb") as f:
        psd = PSD.read(f)
    doc = Doc(psd)
    lines = ["# %s read by psd-tools; regenerate with scripts/psd-expected.py"
             % os.path.basename(path)]
    lines.append("header %d %d %d %d %d" % (doc.width, doc.height, doc.channels, doc.depth,
                                            doc.mode))
    lines.append("alpha %d" % doc.alpha_count)
    layer_info = layer_infos(psd)
    records = list(layer_info.layer_records) if layer_info and layer_info.layer_records else []
    kinds = [layer_kind(r) for r in records]
    folders = link_folders(kinds)
    lines.append("layers %d" % len(records))
    for index, record in enumerate(records):
        width = max(record.right - record.left, 0)
        height = max(record.bottom - record.top, 0)
        channels = layer_info.channel_image_data[index]
        planes = {}
        mask_plane = None
        mask = record.mask_data
        for channel_info, data in zip(record.channel_info, channels):
            cid = int(getattr(channel_info.id, "value", channel_info.id))
            if cid == -2:
                if mask and mask.width * mask.height > 0 and mask_plane is None and doc.depth != 1:
                    mask_plane = data.get_data(mask.width, mask.height, doc.depth)
                continue
            if cid < -2 or width * height == 0:
                continue
            decoded = data.get_data(width, height, doc.depth) if len(data.data) else b""
            if doc.depth == 1:
                decoded = decoded[:row_bytes(width, 1) * height]
            decoded = decoded.ljust(row_bytes(width, doc.depth) * height, b"\0")
            planes["a" if cid == -1 else cid] = decoded
        pixels = doc.convert(planes, width, height, False) if width * height else b""
        name = record.name.encode("macroman") if isinstance(record.name, str) else record.name
        flags = record.flags
        blend = key_bytes(record.blend_mode)
        blend_number = BLEND_KEYS.index(blend) if blend in BLEND_KEYS else 0
        mask_text = "-"
        if mask is not None:
            step = 2 if doc.depth == 16 else 1
            mask_bytes = bytes(mask_plane[::step]) if mask_plane is not None else b""
            mask_text = "%d %d %d %d %d %s" % (mask.top, mask.left, mask.bottom, mask.right,
                                               mask.background_color,
                                               crc(mask_bytes) if mask_plane is not None else "-")
        lines.append("layer %d kind %d folder %d rect %d %d %d %d opacity %d blend %d "
                     "visible %d clipping %d pixels %s mask %s name %s"
                     % (index, kinds[index], folders[index], record.top, record.left,
                        record.bottom, record.right, record.opacity, blend_number,
                        0 if flags.visible is False else 1,
                        int(getattr(record.clipping, "value", record.clipping)),
                        crc(pixels) if pixels else "-", mask_text, name.hex() or "-"))
        lines += effects_lines(index, record)
        lines += fill_lines(index, record)
    lines += pattern_lines(psd)
    planes = psd.image_data.get_data(psd.header)
    planes = [p.ljust(row_bytes(doc.width, doc.depth) * doc.height, b"\0") for p in planes]
    mode_colors = {3: 3, 9: 3, 4: 4}.get(doc.mode, doc.color_channels if doc.mode == 7 else 1)
    merged = {}
    for i in range(min(mode_colors, doc.color_channels, 4)):
        merged[i] = planes[i]
    if doc.mode != 7 and doc.color_channels > mode_colors:
        merged["a"] = planes[mode_colors]
    if doc.mode == 7 and doc.color_channels != 4:
        merged.pop(3, None)
    lines.append("composite %s" % crc(doc.convert(merged, doc.width, doc.height, True)))
    return "\n".join(lines) + "\n"


def main(arguments):
    paths = []
    for argument in arguments:
        if os.path.isdir(argument):
            paths += sorted(glob.glob(os.path.join(argument, "*.psd")))
        else:
            paths.append(argument)
    for path in paths:
        text = describe(path)
        with open(os.path.splitext(path)[0] + ".expected", "w") as f:
            f.write(text)
        print("wrote", os.path.splitext(path)[0] + ".expected")


if __name__ == "__main__":
    main(sys.argv[1:])
