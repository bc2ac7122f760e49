#!/usr/bin/python3
"""Writes <name>.expected beside every <name>.psd given (or found in the given
folders), read with psd-tools, an independent PSD reader (Debian package
python3-psd-tools). The PSD reader's tests compare their results with these
files: header, layer records (kind, folder, bounds, opacity, blend mode,
flags, name), pixels and masks turned into ARGB by the reader's documented
rules, and the merged image.

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
