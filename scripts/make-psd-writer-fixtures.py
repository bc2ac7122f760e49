#!/usr/bin/env python3
"""Writes the PSD reader's own fixtures, tests/Core/Psd/fixtures/w_*.psd, field
by field, so that they hold every mode, depth, compression, mask form and
tagged block the reader meets and psd-tools reads too; the single documents
of the reader's tests, cases/*.psd, valid or deliberately broken (psd-tools
does not read these); and the JPEG thumbnails thumb_*.jpg the thumbnail tests
wrap in resources. The results are committed; tests never run this. Run scripts/psd-expected.py afterwards for
the .expected files (scripts/make-psd-fixtures.sh --ours does both).

    /usr/bin/python3 scripts/make-psd-writer-fixtures.py [folder]

Needs python3-pil (for the JPEGs; it uses the system libjpeg).
"""
import io
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "tests", "Core", "Psd", "fixtures")


# --- Big-endian fields ------------------------------------------------------

def u8(v): return struct.pack(">B", v & 0xFF)
def u16(v): return struct.pack(">H", v & 0xFFFF)
def u32(v): return struct.pack(">I", v & 0xFFFFFFFF)
def f64(v): return struct.pack(">d", v)
def block(data): return u32(len(data)) + data
def unicode(text): return u32(len(text)) + b"".join(u16(ord(c)) for c in text)


def pascal(text, align):
    data = text.encode("latin-1")
    return u8(len(data)) + data + bytes((align - (len(data) + 1) % align) % align)


# --- Encoders ---------------------------------------------------------------

def row_bytes(width, depth):
    return (width + 7) // 8 if depth == 1 else width * (2 if depth == 16 else 1)


def packbits_row(row):
    out, i, n = bytearray(), 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 128 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes([257 - run, row[i]])
            i += run
            continue
        literal = 1
        while i + literal < n and literal < 128 and not (i + literal + 1 < n and row[i + literal] == row[i + literal + 1]):
            literal += 1
        out += bytes([literal - 1]) + row[i:i + literal]
        i += literal
    return bytes(out)


def encode_planes(planes, compression, width, rows, depth):
    """Planes compressed one after the other: RLE row tables first, ZIP with
    prediction as deltas of rows of samples."""
    joined = bytearray(b"".join(planes))
    if compression == 0:
        return bytes(joined)
    if compression == 1:
        table, data, rb = b"", b"", row_bytes(width, depth)
        for plane in planes:
            for y in range(rows):
                row = packbits_row(plane[y * rb:(y + 1) * rb])
                table += u16(len(row))
                data += row
        return table + data
    if compression >= 3:
        sample = 2 if depth == 16 else 1
        rb = row_bytes(width, 1) if depth == 1 else width * sample
        row = 0
        while row + rb <= len(joined):
            at = row + rb - sample
            while at >= row + sample:
                if sample == 1:
                    joined[at] = (joined[at] - joined[at - 1]) & 0xFF
                else:
                    delta = ((joined[at] << 8 | joined[at + 1]) - (joined[at - 2] << 8 | joined[at - 1])) & 0xFFFF
                    joined[at], joined[at + 1] = delta >> 8, delta & 0xFF
                at -= sample
            row += rb
    return zlib.compress(bytes(joined), 6)


def make_plane(width, height, depth, value):
    """width x height samples from value(x, y), a byte: 16-bit samples repeat
    it with 0x5A in the low byte, 1-bit ones are set below 128."""
    rb = row_bytes(width, depth)
    plane = bytearray(rb * height)
    for y in range(height):
        for x in range(width):
            v = value(x, y) & 0xFF
            if depth == 16:
                plane[y * rb + 2 * x], plane[y * rb + 2 * x + 1] = v, v ^ 0x5A
            elif depth != 1:
                plane[y * rb + x] = v
            elif v < 128:
                plane[y * rb + x // 8] |= 0x80 >> (x % 8)
    return bytes(plane)


# --- Document model ---------------------------------------------------------

class Channel:
    def __init__(self, id, samples=b"", compression=0, encoded=None):
        self.id, self.samples, self.compression, self.encoded = id, samples, compression, encoded


class Layer:
    def __init__(self, name="layer", top=0, left=0, bottom=0, right=0, blocks=()):
        self.top, self.left, self.bottom, self.right, self.name = top, left, bottom, right, name
        self.channels, self.blocks = [], list(blocks)  # blocks: (key, data)
        self.blend, self.opacity, self.clipping, self.flags, self.mask = "norm", 255, 0, 0, b""
        self.extra_tail = b""  # after the blocks


class Document:
    def __init__(self, mode=3, depth=8, channels=3, width=4, height=3, compression=0, art=True):
        self.mode, self.depth, self.channels, self.width, self.height = mode, depth, channels, width, height
        self.compression, self.color_mode_data, self.resources, self.layers = compression, b"", [], []
        self.layer_section, self.negative_count, self.in_lr16, self.section_blocks = True, False, False, []
        # Merged planes with content that compresses like real art.
        self.composite = [make_plane(width, height, depth,
                                     lambda x, y, c=c: 40 * c + 30 if x < 6 else x * 13 + y * 29 + c * 71)
                          for c in range(channels)] if art else []


def layer_info(doc):
    count = len(doc.layers)
    info, data = u16(-count if doc.negative_count else count), b""
    for layer in doc.layers:
        def side(i):
            m = layer.mask
            at = lambda j: struct.unpack(">i", m[j:j + 4])[0]
            return 0 if len(m) < 16 else at(i + 8) - at(i)
        info += struct.pack(">iiii", layer.top, layer.left, layer.bottom, layer.right) + u16(len(layer.channels))
        for c in layer.channels:
            mask = c.id == -2
            encoded = u16(c.compression)
            if c.encoded is not None:
                encoded += c.encoded
            elif c.samples:
                encoded += encode_planes([c.samples], c.compression,
                                         side(4) if mask else layer.right - layer.left,
                                         side(0) if mask else layer.bottom - layer.top, doc.depth)
            info += u16(c.id) + u32(len(encoded))
            data += encoded
        info += b"8BIM" + layer.blend.encode() + u8(layer.opacity) + u8(layer.clipping) + u8(layer.flags) + u8(0)
        extra = block(layer.mask) + block(b"") + pascal(layer.name, 4)
        for key, content, *padded in layer.blocks:
            extra += b"8BIM" + key.encode() + block(content) + bytes(len(content) % 2 if padded != [False] else 0)
        info += block(extra + layer.extra_tail)
    info += data
    return info + bytes(len(info) % 2)


def write_document(doc):
    out = b"8BPS" + u16(1) + bytes(6) + u16(doc.channels) + u32(doc.height) + u32(doc.width)
    out += u16(doc.depth) + u16(doc.mode) + block(doc.color_mode_data)
    resources = b""
    for id, data, *name in doc.resources:
        resources += b"8BIM" + u16(id) + pascal("".join(name), 2) + block(data) + bytes(len(data) % 2)
    out += block(resources)
    section = b""
    if doc.layer_section:
        section = block(b"" if doc.in_lr16 else layer_info(doc)) + u32(0)
        if doc.in_lr16:
            section += b"8BIMLr16" + block(layer_info(doc))
        for key, content in doc.section_blocks:
            section += b"8BIM" + key.encode() + block(content)
    out += block(section)
    size = row_bytes(doc.width, doc.depth) * doc.height
    planes = [(doc.composite[c] if c < len(doc.composite) else b"").ljust(size, b"\0") for c in range(doc.channels)]
    return out + u16(doc.compression) + encode_planes(planes, doc.compression, doc.width, doc.height, doc.depth)


def pattern_sample(id, x, y):
    return (x * 37 + y * 11 + (id + 3) * 50) & 0xFF


def pattern_layer(top, left, bottom, right, ids, depth, compression, name):
    """A layer with one channel per id, each filled by its own pattern."""
    layer = Layer(name, top, left, bottom, right)
    for id in ids:
        layer.channels.append(Channel(id, make_plane(right - left, bottom - top, depth,
                                                     lambda x, y, id=id: pattern_sample(id, x, y)), compression))
    return layer


def section_divider(type, blend=None, sub_type=False):
    return u32(type) + (b"8BIM" + blend.encode() if blend else b"") + (u32(1) if sub_type else b"")


def mask_block(top, left, bottom, right, default_color=0, flags=0):
    return struct.pack(">iiii", top, left, bottom, right) + u8(default_color) + u8(flags) + u16(0)


# --- Descriptors ------------------------------------------------------------

def dkey(key): return u32(0 if len(key) == 4 else len(key)) + key.encode()
def body(items, class_id="null"): return unicode("") + dkey(class_id) + u32(len(items)) + b"".join(dkey(k) + v for k, v in items)
def obj(items, class_id="null"): return b"Objc" + body(items, class_id)
def boolean(v): return b"bool" + u8(1 if v else 0)
def long(v): return b"long" + struct.pack(">i", v)
def double(v): return b"doub" + f64(v)
def unit(u, v): return b"UntF" + u.encode() + f64(v)
def percent(v): return unit("#Prc", v)
def pixels(v): return unit("#Pxl", v)
def angle(v): return unit("#Ang", v)
def text(t): return b"TEXT" + unicode(t)
def enum(type, value): return b"enum" + dkey(type) + dkey(value)
def blend_mode(mode): return enum("BlnM", mode)
def vlist(values): return b"VlLs" + u32(len(values)) + b"".join(values)
def color(r, g, b): return obj([("Rd  ", double(r)), ("Grn ", double(g)), ("Bl  ", double(b))], "RGBC")
def point(x, y): return obj([("Hrzn", pixels(x)), ("Vrtc", pixels(y))], "Pnt ")
def pattern_ref(name, id): return obj([("Nm  ", text(name)), ("Idnt", text(id))], "Ptrn")
def object_effects(items): return u32(0) + u32(16) + body(items)
def versioned(items): return u32(16) + body(items)


def contour(points, name=""):
    """points: (input, output, corner)."""
    return obj([("Nm  ", text(name)), ("Crv ", vlist([obj([("Hrzn", double(i)), ("Vrtc", double(o)),
                                                            ("Cnty", boolean(not corner))], "CrPt")
                                                       for i, o, corner in points]))], "ShpC")


def gradient(name, stops, alphas, smoothness=4096):
    """stops: (r, g, b, location, midpoint, type); alphas: (opacity, location, midpoint)."""
    colors = [obj([("Clr ", color(r, g, b)), ("Type", enum("Clry", t)), ("Lctn", long(l)), ("Mdpn", long(m))], "Clrt")
              for r, g, b, l, m, t in stops]
    transparencies = [obj([("Opct", percent(o)), ("Lctn", long(l)), ("Mdpn", long(m))], "TrnS") for o, l, m in alphas]
    return obj([("Nm  ", text(name)), ("GrdF", enum("GrdF", "CstS")), ("Intr", double(smoothness)),
                ("Clrs", vlist(colors)), ("Trns", vlist(transparencies))], "Grdn")


# --- Binary layer effects ("lrFX") -------------------------------------------

def fx_color(r, g, b): return u16(0) + u16(r * 257) + u16(g * 257) + u16(b * 257) + u16(0)
def fixed(whole): return u32(whole << 16)
def fx_entry(key, content): return b"8BIM" + key.encode() + block(content)
def fx_block(entries): return u16(0) + u16(len(entries)) + b"".join(entries)


def shadow(blur, intensity, angle_, distance, rgb, blend, enabled, global_light, opacity):
    return (u32(2) + fixed(blur) + fixed(intensity) + fixed(angle_) + fixed(distance) + fx_color(*rgb) + b"8BIM" +
            blend.encode() + u8(enabled) + u8(global_light) + u8(opacity) + fx_color(*rgb))


def glow(blur, intensity, rgb, blend, enabled, opacity, invert=None):
    return (u32(2) + fixed(blur) + fixed(intensity) + fx_color(*rgb) + b"8BIM" + blend.encode() + u8(enabled) +
            u8(opacity) + (u8(invert) if invert is not None else b"") + fx_color(*rgb))


def bevel(angle_, strength, blur, hblend, sblend, style, hopacity, sopacity, enabled, global_light, direction):
    white, black = fx_color(255, 255, 255), fx_color(0, 0, 0)
    return (u32(2) + fixed(angle_) + fixed(strength) + fixed(blur) + b"8BIM" + hblend.encode() + b"8BIM" +
            sblend.encode() + white + black + u8(style) + u8(hopacity) + u8(sopacity) + u8(enabled) +
            u8(global_light) + u8(direction) + white + black)


# --- Patterns ---------------------------------------------------------------

def pattern_record(mode=3, width=1, height=1, name="", id="", depth=8, compression=0, channels=(), alpha=b"",
                   palette=b""):
    """One pattern record, its length first, padded to a multiple of 4."""
    head = u32(1) + u32(mode) + u16(height) + u16(width) + unicode(name) + u8(len(id)) + id.encode()
    if mode == 2:
        head += palette + bytes(4)
    array = u32(0) + u32(0) + u32(height) + u32(width) + u32(24)

    def written(plane):
        channel = u32(depth) + u32(0) + u32(0) + u32(height) + u32(width) + u16(depth) + u8(compression)
        return u32(1) + block(channel + encode_planes([plane], compression, width, height, depth))
    for i in range(24):
        array += written(channels[i]) if i < len(channels) else u32(0)
    array += written(alpha) if alpha else u32(0)
    record = block(head + u32(3) + block(array + u32(0)))
    return record + bytes((4 - len(record) % 4) % 4)


# --- JPEG thumbnails ----------------------------------------------------------

def jpeg(width, height, components, adobe=True):
    """A colour gradient: 1 component (grey), 3 (RGB) or 4 (CMYK, its samples
    stored as given, with or without the Adobe marker)."""
    from PIL import Image
    data = bytes((i // components * 255 // max(width - 1, 1) + y * 20 + i % components * 60) & 0xFF
                 for y in range(height) for i in range(width * components))
    out = io.BytesIO()
    mode = {1: "L", 3: "RGB", 4: "CMYK"}[components]
    if components == 4:
        data = bytes(255 - b for b in data)  # PIL stores CMYK inverted, as Photoshop does
    Image.frombytes(mode, (width, height), data).save(out, "JPEG", quality=95)
    out = out.getvalue()
    if not adobe:
        at = out.index(b"\xff\xee")
        out = out[:at] + out[at + 2 + (out[at + 2] << 8 | out[at + 3]):]
    return out


def thumbnail(width, height, data, id=1036, format=1):
    stride = (width * 24 + 31) // 32 * 4
    return (id, u32(format) + u32(width) + u32(height) + u32(stride) + u32(stride * height) + u32(len(data)) +
            u16(24) + u16(1) + data)


# --- The documents ----------------------------------------------------------

def fixtures():
    all = {}
    doc = Document(3, 8, 3, 16, 12, 3)
    doc.layers.append(pattern_layer(0, 0, 12, 16, [0, 1, 2], 8, 0, "bg"))
    play = pattern_layer(2, 3, 9, 13, [-1, 0, 1, 2], 8, 3, "play")
    play.mask = mask_block(3, 4, 8, 10, 255, 0)
    play.channels.append(Channel(-2, make_plane(6, 5, 8, lambda x, y: 255 if (x + y) % 2 else 0), 3))
    play.opacity, play.blend = 200, "scrn"
    doc.layers += [play, pattern_layer(5, 1, 8, 6, [-1, 0, 1, 2], 8, 1, "logo|box")]
    all["w_rgb8_zippred"] = doc

    # A background and a layer with transparency above it: mode, depth,
    # channels, size, the compressions of the merged image, the background
    # and the layer, the layer's rectangle and name.
    for (name, mode, depth, channels, width, height, merged, background, compression, top, left, bottom, right,
         layer_name) in [("w_rgb16_lr16", 3, 16, 3, 10, 8, 2, 3, 3, 1, 2, 7, 9, "deep"),
                         ("w_rgb16_rle", 3, 16, 3, 10, 8, 1, 1, 2, 1, 2, 7, 9, "zip"),
                         ("w_gray16_zip", 1, 16, 1, 9, 7, 2, 0, 1, 2, 2, 6, 7, "grey"),
                         ("w_cmyk8_alpha", 4, 8, 5, 9, 7, 1, 1, 2, 1, 1, 6, 8, "ink"),
                         ("w_cmyk16", 4, 16, 4, 8, 6, 0, 0, 3, 1, 1, 5, 7, "ink"),
                         ("w_lab8", 9, 8, 3, 8, 6, 1, 1, 2, 1, 2, 5, 7, "lab"),
                         ("w_lab16", 9, 16, 3, 8, 6, 1, 1, 2, 1, 2, 5, 7, "lab"),
                         ("w_multichannel", 7, 8, 3, 8, 6, 0, 0, 1, 1, 1, 4, 5, "inks")]:
        doc = Document(mode, depth, channels, width, height, merged)
        ids = [0, 1, 2, 3][:4 if mode == 4 else 1 if mode == 1 else 3]
        doc.layers.append(pattern_layer(0, 0, height, width, ids, depth, background, "bg"))
        doc.layers.append(pattern_layer(top, left, bottom, right, [-1] + ids, depth, compression, layer_name))
        doc.in_lr16, doc.negative_count = name == "w_rgb16_lr16", name == "w_cmyk8_alpha"
        all[name] = doc

    doc = Document(2, 8, 1, 12, 8, 1)
    doc.color_mode_data = bytes(range(256)) + bytes(255 - i for i in range(256)) + bytes(i * 7 & 0xFF for i in range(256))
    doc.resources = [(1046, bytes([0, 200])), (1047, bytes([0, 5]))]
    doc.composite[0] = make_plane(12, 8, 8, lambda x, y: x * 23 + y * 5)
    doc.layers = [pattern_layer(0, 0, 8, 12, [0], 8, 1, "bg"), pattern_layer(2, 2, 6, 9, [0], 8, 0, "index")]
    all["w_indexed"] = doc

    # Duotone data of an odd length; no layers.
    doc = Document(8, 8, 1, 10, 6, 2)
    doc.color_mode_data, doc.layer_section = bytes([1, 2, 3, 4, 5]), False
    all["w_duotone"] = doc

    # Both masks: the layer mask (-2) and the real user mask (-3) with their
    # own rectangles, then mask parameters (flags 16: the density) and padding.
    doc = Document(3, 8, 3, 16, 12, 1)
    masked = pattern_layer(1, 1, 11, 15, [-1, 0, 1, 2], 8, 1, "masked")
    masked.mask = (struct.pack(">iiii", 2, 2, 6, 9) + bytes([0, 16, 0, 255]) + struct.pack(">iiii", 0, 0, 12, 16) +
                   bytes([1, 128]) + u16(0))
    masked.channels += [Channel(-2, make_plane(7, 4, 8, lambda x, y: x * 30), 1),
                        Channel(-3, make_plane(16, 12, 8, lambda x, y: y * 20), 1)]
    doc.layers = [pattern_layer(0, 0, 12, 16, [0, 1, 2], 8, 1, "bg"), masked]
    all["w_masks36"] = doc

    # Groups in every form: "lsct" of 4, 12 and 16 bytes, "lsdk", and Unicode
    # names; a hidden and a clipped layer.
    doc = Document(3, 8, 3, 12, 10, 1)
    low = pattern_layer(1, 1, 3, 3, [0, 1, 2], 8, 1, "low")
    low.flags = 2
    clip = pattern_layer(2, 2, 5, 5, [-1, 0, 1, 2], 8, 2, "clip")
    clip.clipping = 1
    clip.blocks.append(("luni", unicode("clip\u00e9")))
    doc.layers = [pattern_layer(0, 0, 10, 12, [0, 1, 2], 8, 1, "bg"),
                  Layer("</Layer group>", blocks=[("lsct", section_divider(3))]), low,
                  Layer("</Layer group>", blocks=[("lsdk", section_divider(3))]), clip,
                  Layer("inner", blocks=[("lsdk", section_divider(1, "mul "))]),
                  Layer("outer", blocks=[("lsct", section_divider(2, "norm", True))]),
                  pattern_layer(6, 6, 9, 11, [0, 1, 2], 8, 1, "top")]
    all["w_groups"] = doc

    # Two named alpha channels after the colour channels.
    doc = Document(3, 8, 5, 8, 6, 1)
    doc.resources = [(1006, pascal("A", 1) + pascal("Bee", 1))]
    doc.layers = [pattern_layer(0, 0, 6, 8, [0, 1, 2], 8, 1, "bg")]
    all["w_alpha_channels"] = doc

    # A flattened RGBA document: the merged transparency after the colours.
    doc = Document(3, 8, 4, 9, 5, 0)
    doc.layer_section = False
    all["w_rgba_flat"] = doc

    # A 1-bit document with layers (widths of whole bytes: psd-tools reads no
    # others at depth 1).
    doc = Document(0, 1, 1, 24, 9, 1)
    doc.layers = [pattern_layer(0, 0, 9, 24, [0], 1, 1, "bits"), pattern_layer(2, 3, 7, 19, [0], 1, 0, "raw")]
    all["w_bitmap"] = doc

    # Image resources around a JPEG thumbnail.
    doc = Document(3, 8, 3, 16, 12, 1)
    doc.resources = [(1005, u32(72 << 16) + u16(1) + u16(1) + u32(72 << 16) + u16(1) + u16(1)),
                     (1037, bytes([0, 0, 0, 45])), (1049, bytes([0, 0, 0, 60])),
                     (1057, u32(1) + u8(1) + unicode("Test writer") + unicode("Test reader") + u32(1)),
                     thumbnail(16, 12, jpeg(16, 12, 3))]
    doc.layers = [pattern_layer(0, 0, 12, 16, [0, 1, 2], 8, 1, "bg")]
    all["w_resources"] = doc

    # Layer effects: the binary form on one layer, the descriptor form on
    # another, both on a third.
    doc = Document(3, 8, 3, 12, 10, 1)
    binary = pattern_layer(1, 1, 6, 7, [-1, 0, 1, 2], 8, 1, "binary")
    binary.blocks.append(("lrFX", fx_block([
        fx_entry("cmnS", u32(0) + u8(1) + u16(0)),
        fx_entry("dsdw", shadow(7, 12, -60, 5, (20, 40, 200), "mul ", 1, 1, 150)),
        fx_entry("isdw", shadow(5, 0, 120, 5, (0, 0, 0), "lbrn", 1, 0, 191)),
        fx_entry("oglw", glow(9, 4, (255, 255, 190), "scrn", 1, 191)),
        fx_entry("iglw", glow(5, 0, (10, 255, 190), "scrn", 1, 191, 1)),
        fx_entry("bevl", bevel(135, 300, 6, "scrn", "mul ", 2, 191, 191, 1, 1, 1)),
        fx_entry("sofi", u32(2) + b"8BIMover" + fx_color(250, 128, 0) + u8(200) + u8(1) + fx_color(250, 128, 0))])))
    glow_gradient = gradient("Glow", [(255, 255, 0, 0, 50, "UsrS"), (255, 0, 0, 4096, 30, "FrgC")],
                             [(100, 0, 50), (0, 4096, 50)])
    checks = pattern_ref("Checks", "check-1")
    on = ("enab", boolean(True))
    obj_layer = pattern_layer(2, 3, 8, 10, [-1, 0, 1, 2], 8, 1, "object")
    obj_layer.blocks.append(("lfx2", object_effects([
        ("Scl ", percent(100)),
        ("masterFXSwitch", boolean(True)),
        ("DrSh", obj([on, ("Md  ", blend_mode("Mltp")), ("Clr ", color(10, 20, 30)), ("Opct", percent(60)),
                      ("uglg", boolean(True)), ("lagl", angle(30)), ("Dstn", pixels(8)), ("Ckmt", pixels(10)),
                      ("blur", pixels(4)), ("Nose", percent(0)), ("AntA", boolean(False)),
                      ("TrnS", contour([(0, 0, False), (128, 200, True), (255, 40, False)], "Peak")),
                      ("layerConceals", boolean(True))])),
        ("IrSh", obj([("enab", boolean(False)), ("Md  ", blend_mode("linearBurn"))])),
        ("OrGl", obj([on, ("Md  ", blend_mode("Scrn")), ("Grad", glow_gradient), ("Opct", percent(75)),
                      ("GlwT", enum("BETE", "PrBL")), ("Ckmt", pixels(3)), ("blur", pixels(12)),
                      ("ShdN", percent(5)), ("Inpr", percent(45))])),
        ("IrGl", obj([on, ("Clr ", color(255, 255, 190)), ("glwS", enum("IGSr", "SrcC"))])),
        ("ebbl", obj([on, ("hglM", blend_mode("Scrn")), ("hglC", color(255, 250, 240)), ("hglO", percent(80)),
                      ("sdwM", blend_mode("Mltp")), ("sdwC", color(5, 5, 60)), ("sdwO", percent(40)),
                      ("bvlT", enum("bvlT", "SfBL")), ("bvlS", enum("BESl", "PlEb")), ("uglg", boolean(False)),
                      ("lagl", angle(100)), ("Lald", angle(45)), ("srgR", percent(250)), ("blur", pixels(7)),
                      ("bvlD", enum("BESs", "Out ")), ("TrnS", contour([(0, 30, False), (255, 255, False)])),
                      ("antialiasGloss", boolean(True)), ("Sftn", pixels(2)), ("useShape", boolean(True)),
                      ("MpgS", contour([(0, 0, False), (64, 128, False), (255, 255, False)])),
                      ("AntA", boolean(True)), ("Inpr", percent(60)), ("useTexture", boolean(True)),
                      ("Ptrn", checks), ("Scl ", percent(150)), ("textureDepth", percent(-50)),
                      ("InvT", boolean(True)), ("Algn", boolean(False)), ("phase", point(4, 5))])),
        ("ChFX", obj([on, ("Md  ", blend_mode("Ovrl")), ("Clr ", color(90, 0, 90)), ("AntA", boolean(True)),
                      ("Invr", boolean(False)), ("Opct", percent(35)), ("lagl", angle(-45)), ("Dstn", pixels(6)),
                      ("blur", pixels(9)), ("MpgS", contour([(0, 255, False), (255, 0, False)]))])),
        ("SoFi", obj([on, ("Md  ", blend_mode("Nrml")), ("Clr ", color(0, 128, 255)), ("Opct", percent(50))])),
        ("GrFl", obj([on, ("Md  ", blend_mode("Dslv")), ("Opct", percent(90)), ("Grad", glow_gradient),
                      ("Angl", angle(45)), ("Type", enum("GrdT", "Rflc")), ("Rvrs", boolean(True)),
                      ("Algn", boolean(True)), ("Scl ", percent(80)), ("Ofst", point(-5, 7))])),
        ("patternFill", obj([on, ("Md  ", blend_mode("Mltp")), ("Opct", percent(100)), ("Ptrn", checks),
                             ("Scl ", percent(200)), ("Algn", boolean(True)), ("phase", point(1, 2))])),
        ("FrFX", obj([on, ("Styl", enum("FStl", "InsF")), ("PntT", enum("FrFl", "GrFl")),
                      ("Md  ", blend_mode("Nrml")), ("Opct", percent(100)), ("Sz  ", pixels(2)),
                      ("Clr ", color(0, 0, 0)), ("Grad", glow_gradient), ("Angl", angle(-90)),
                      ("Type", enum("GrdT", "Rdl ")), ("Rvrs", boolean(False)), ("Algn", boolean(True)),
                      ("Scl ", percent(110)), ("Ofst", point(0, 0))]))])))
    both = pattern_layer(4, 4, 9, 11, [0, 1, 2], 8, 1, "both")
    both.blocks += [("lrFX", fx_block([fx_entry("cmnS", u32(0) + u8(1) + u16(0)),
                                       fx_entry("dsdw", shadow(5, 0, 120, 5, (0, 0, 0), "mul ", 1, 1, 191))])),
                    ("lfx2", object_effects([("masterFXSwitch", boolean(False)), ("Scl ", percent(100)),
                                             ("DrSh", obj([on, ("Clr ", color(1, 2, 3))]))]))]
    doc.layers = [pattern_layer(0, 0, 10, 12, [0, 1, 2], 8, 1, "bg"), binary, obj_layer, both]
    all["w_effects"] = doc

    # Patterns in several modes and compressions, and the three fill layers.
    doc = Document(3, 8, 3, 8, 6, 1)

    def pattern(mode, w, h, name, id, compression, depth, seeds, alpha_seed, palette=b""):
        plane = lambda seed: make_plane(w, h, depth, lambda x, y: x * 29 + y * 13 + seed * 50)
        return pattern_record(mode, w, h, name, id, depth, compression, [plane(s) for s in seeds],
                              plane(alpha_seed) if alpha_seed >= 0 else b"", palette)
    doc.section_blocks.append(("Patt", pattern(3, 5, 4, "Checks", "check-1", 1, 8, [0, 1, 2], 3) +
                               pattern(1, 4, 3, "Grey", "grey-2", 2, 16, [4], -1) +
                               pattern(2, 3, 3, "Indexed", "idx", 0, 8, [5], -1,
                                       bytes(i * 7 & 0xFF for i in range(768))) +
                               pattern(4, 2, 2, "Inks", "cmyk", 0, 8, [6, 7, 8, 9], -1) +
                               pattern(9, 3, 2, "Lab", "lab", 2, 8, [10, 11, 12], 13)))
    ramp = gradient("Ramp", [(0, 0, 0, 0, 50, "UsrS"), (255, 255, 255, 4096, 50, "UsrS")], [(100, 0, 50), (50, 4096, 50)])
    doc.layers = [pattern_layer(0, 0, 6, 8, [0, 1, 2], 8, 1, "bg"),
                  Layer("solid", blocks=[("SoCo", versioned([("Clr ", color(200, 100, 25))]))]),
                  Layer("ramp", blocks=[("GdFl", versioned([("Grad", ramp), ("Angl", angle(30)),
                                                            ("Type", enum("GrdT", "Dmnd")), ("Rvrs", boolean(True)),
                                                            ("Dthr", boolean(True)), ("Algn", boolean(False)),
                                                            ("Scl ", percent(65))]))]),
                  Layer("tiles", blocks=[("PtFl", versioned([("Ptrn", pattern_ref("Checks", "check-1")),
                                                             ("Scl ", percent(125))]))])]
    all["w_patterns_fills"] = doc

    # What Photoshop writes that the readers' published forms leave out: a
    # one-byte copyright flag, a fill layer of (0, 0, -1, 0), levels padded
    # past their records, gradient map version 3, photo filter version 2, and
    # a pattern of 32-bit samples before a readable one.
    doc = Document(3, 8, 3, 8, 6, 1)
    doc.resources = [(1034, bytes([1]))]
    fill = Layer("fill", bottom=-1, blocks=[("SoCo", versioned([("Clr ", color(200, 100, 25))]))])
    fill.channels = [Channel(id) for id in (-1, 0, 1, 2)]
    levels = u16(2)
    for i in range(62):
        levels += (b"Lvls" + u16(3) + u16(62) if i == 29 else b"") + u16(i) + u16(255) + u16(0) + u16(255) + u16(100)
    levels += bytes(2)
    gmap = u16(3) + u8(0) + u8(1) + b"Gcls" + unicode("Ramp") + u16(2)
    for i in range(2):
        gmap += u32(i * 4096) + u32(50) + u16(0) + u16(i * 0xFFFF) + bytes(8)
    gmap += (u16(1) + u32(0) + u32(50) + u16(255) + u16(2) + u16(0) + u16(32) + u16(0) + u32(7) + u16(0) + u16(0) +
             u32(2048) + u16(0) + bytes(20))
    photo_filter = u16(2) + u16(0) + u16(0xFFFF) + u16(0x8000) + u16(0) + u16(0) + u32(25) + u8(1)
    doc.layers = [pattern_layer(0, 0, 6, 8, [0, 1, 2], 8, 1, "bg"), fill,
                  Layer("levels", blocks=[("levl", levels)]), Layer("gradient map", blocks=[("grdm", gmap)]),
                  Layer("photo filter", blocks=[("phfl", photo_filter)]),
                  pattern_layer(1, 2, 5, 7, [-1, 0, 1, 2], 8, 1, "top")]
    doc.section_blocks.append(("Patt", pattern_record(depth=32, id="deep", channels=[bytes([9] * 4)] * 3) +
                               pattern_record(id="plain", channels=[bytes([10]), bytes([20]), bytes([30])])))
    all["w_photoshop_forms"] = doc
    return all


# --- Single documents of the reader's tests (cases/, not read by psd-tools) ----

def small(layers=None, **fields):
    """A 4 x 3 RGB document, its merged image zero, with the layers over a
    one-pixel background, or without layers."""
    doc = Document(art=False)
    doc.layers = [pattern_layer(0, 0, 1, 1, [0, 1, 2], 8, 0, "bg")] + layers if layers is not None else []
    for name, value in fields.items():
        setattr(doc, name, value)
    return doc


def bare(layers, **fields):
    """small() with only the given layers."""
    doc = small(**fields)
    doc.layers = layers
    return doc


def one_pixel(samples):
    layer = Layer("", 0, 0, 1, 1)
    layer.channels = [Channel(id, bytes([value])) for id, value in samples]
    return layer


def with_mask(layer, mask):
    layer.mask = mask
    return layer


def plane(width, height, depth, base):
    return make_plane(width, height, depth, lambda x, y: base + x * 10 + y)


def dots(compression, alpha, depth=8):
    return pattern_record(3, 3, 2, "Dots", "dots-1", depth, compression,
                          [plane(3, 2, depth, 100), plane(3, 2, depth, 50), plane(3, 2, depth, 0)],
                          plane(3, 2, depth, 200) if alpha else b"")


def cases():
    all = {}
    fields = pattern_layer(-2, -3, 4, 5, [0, 1, 2], 8, 0, "fields")
    fields.flags, fields.mask = 1 | 2 | 4 | 8 | 16, mask_block(1, 2, 4, 7, 200, 2 | 4)
    thirty_six = with_mask(Layer("36"), struct.pack(">iiii", 1, 2, 4, 7) + bytes([10, 0, 1, 30]) +
                           struct.pack(">iiii", 0, 0, 9, 9) + u16(0))
    single = pattern_layer(0, 0, 1, 1, [-1, 0, 1, 2], 8, 0, "layer")
    # Blending restrictions name channels -1 and 1 (9 is none).
    single.blocks = [("lspf", bytes([0, 0, 0, 5])), ("fxrp", f64(12.9) + f64(float("nan"))),
                     ("infx", bytes([1, 0, 0, 0])), ("iOpa", bytes([99, 0, 0, 0])),
                     ("lclr", bytes([10, 20, 30, 0, 0, 0, 0, 0])), ("luni", unicode("n\u00e4me")),
                     ("brst", bytes([0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 9]))]
    all["records"] = small([fields, thirty_six, single])

    padded = Layer("padded", blocks=[("lyid", bytes([0, 0, 0, 3]))])
    padded.extra_tail = bytes(6)
    all["blocks"] = small([Layer("odd", blocks=[("zzzz", bytes([1, 2, 3, 4, 5])), ("lyid", bytes([0, 0, 0, 9]))]),
                           padded, Layer("unpadded", blocks=[("zzzz", bytes([1, 2, 3]), False)]), Layer("next")])

    # Names of length 0, 1 and 2 and data of length 5 (stored as 6).
    all["resources"] = small(resources=[
        (1005, u32(72 << 16 | 0x8000) + u16(1) + u16(2) + u32(300 << 16) + u16(2) + u16(5)),
        (1007, u16(0) + u16(0xFF00) + u16(0x8000) + u16(0) + u16(0) + u16(50) + u8(1) + u8(0)),
        (1034, bytes([0, 1])), (1042, bytes([0, 9])), (1000, bytes([1, 2, 3, 4, 5]), "a"), (1037, u32(11), "ab"),
        (1049, u32(12), "abc"), (1008, u8(5) + b"hello"),
        (1057, u32(1) + u8(1) + unicode("Writer") + unicode("Reader") + u32(3)), (1026, bytes([0, 4, 0, 5, 0, 6]))])
    # Photoshop's one-byte copyright flag, half a u16, a resolution, a
    # thumbnail header cut short, a writer name past its resource.
    all["short_resources"] = small(resources=[
        (1034, bytes([1])), (1024, bytes([5])), (1005, bytes([0, 72, 0, 0, 0, 1])), (1036, bytes(10)),
        (1057, u32(1) + u8(1) + u32(0x40000000) + u16(ord("x"))), (1037, u32(3))])
    all["alpha_names"] = small(channels=4, resources=[
        (1006, pascal("A", 1) + pascal("B", 1) + pascal("C", 1) + pascal("D", 1)),
        (1045, unicode("Alpha") + unicode("Beta") + unicode("Gamma")), (1053, u32(10) + u32(11) + u32(12))])
    all["alpha_ids"] = small(channels=5, resources=[(1053, u32(7) + u32(8))])

    # Glows take their fill from the last colour or gradient; items skipped or
    # of the wrong type are not counted; a repeated effect starts again.
    stops = lambda *colors: [(c, c, c, i * 4096, 50, "UsrS") for i, c in enumerate(colors)]
    all["effect_items"] = small([Layer("block", blocks=[("lfx2", object_effects([
        ("OrGl", obj([("Clr ", color(0, 0, 255)), ("Grad", gradient("g", stops(1, 2), []))])),
        ("IrGl", obj([("Grad", gradient("h", stops(1), [])), ("Clr ", color(0, 255, 0))])),
        ("DrSh", long(3)),
        ("Xyzw", obj([("enab", boolean(True))])),
        ("dropShadowMulti", vlist([obj([("enab", boolean(True))])])),
        ("DrSh", obj([("enab", text("yes")), ("Opct", percent(10))])),
        ("FrFX", obj([("PntT", enum("FrFl", "GrFl")), ("Grad", gradient("a", stops(1), [])),
                      ("Ptrn", pattern_ref("p", "q"))])),
        ("FrFX", obj([("Sz  ", pixels(1))]))]))])])

    # Items the descriptor readers cannot skip: an unknown type, nesting past the limit.
    odd, nested = b"what" + bytes(4), long(1)
    for _ in range(200):
        nested = obj([("in", nested)])
    for name, key, content in [("odd", "lfx2", object_effects([("DrSh", obj([("odd", odd)]))])),
                               ("deep", "lfx2", object_effects([("DrSh", obj([("deep", nested)]))])),
                               ("fill", "SoCo", versioned([("odd", odd), ("Clr ", color(1, 2, 3))]))]:
        all["undecodable_" + name] = small([Layer("odd", blocks=[(key, content), ("lyid", u32(7))]), Layer("above")])

    # A mask rectangle without a mask channel makes no mask.
    all["missing_channels"] = small([one_pixel([(2, 30), (0, 10)]), Layer("", 0, 0, 2, 2),
                                     one_pixel([(0, 10), (0, 99), (1, 20), (2, 30)]),
                                     with_mask(pattern_layer(0, 0, 2, 2, [0, 1, 2], 8, 0, "layer"),
                                               mask_block(0, 0, 3, 3))])
    # The first layer to decode has no channels, and so no decode buffer yet;
    # Photoshop writes (0, 0, -1, 0) for some fill layers, masks get the same rule.
    empty = Layer("")
    empty.channels = [Channel(0, compression=1, encoded=bytes(4)) for _ in range(2)]
    inverted = with_mask(Layer("", 0, 0, -1, 0), mask_block(5, 0, 1, 3))
    inverted.channels = empty.channels
    all["empty_layers"] = bare([Layer("", 0, 0, 1, 1), empty, inverted,
                                pattern_layer(0, 0, 1, 1, [0, 1, 2], 8, 0, "after")])
    # The first layer fills the decode buffers; the second's RLE rows hold
    # nothing and its stream gives only its first row.
    shorter = pattern_layer(0, 0, 4, 4, [0, 1, 2], 8, 2, "layer")
    shorter.channels[0].encoded = zlib.compress(bytes([1, 2, 3, 4]), 6)
    shorter.channels[1].compression, shorter.channels[1].encoded = 1, bytes(8)
    all["zero_rows"] = bare([pattern_layer(0, 0, 4, 4, [0, 1, 2], 8, 0, "layer"), shorter])

    # "Lr16" after the layer info replaces its records.
    later = Document(art=False)
    later.layers = [Layer("a"), Layer("b")]
    all["lr16_replaces"] = bare([pattern_layer(0, 0, 2, 2, [0, 1, 2], 8, 1, "first")],
                                section_blocks=[("Lr16", layer_info(later))])
    # A failing "Lr16", then a tagged block that must not turn the failure into success.
    broken = pattern_layer(0, 0, 2, 2, [0, 1, 2], 16, 2, "layer")
    broken.channels[0].encoded = bytes([0x42] * 8)
    all["lr16_fails"] = bare([broken], depth=16, in_lr16=True, section_blocks=[("Patt", bytes(8))])

    # Inks, and indexed at 16 bits, which has no converter; then a pattern without layers.
    all["patterns_inks"] = small([], section_blocks=[("Patt", pattern_record(
        7, channels=[bytes([255]), bytes([255]), bytes([255]), bytes([0])]) + pattern_record(
        2, 2, 1, depth=16, channels=[plane(2, 1, 16, 1)], palette=bytes([200] * 768)))])
    all["patterns_flat"] = small(section_blocks=[("Patt", dots(0, False))])
    return all


if __name__ == "__main__":
    for name, doc in fixtures().items():
        with open(os.path.join(OUT, name + ".psd"), "wb") as f:
            f.write(write_document(doc))
    os.makedirs(os.path.join(OUT, "cases"), exist_ok=True)
    for name, doc in cases().items():
        with open(os.path.join(OUT, "cases", name + ".psd"), "wb") as f:
            f.write(write_document(doc))
    for name, components, adobe in [("rgb", 3, True), ("grey", 1, True), ("cmyk", 4, True),
                                     ("cmyk_plain", 4, False)]:
        with open(os.path.join(OUT, "thumb_" + name + ".jpg"), "wb") as f:
            f.write(jpeg(20, 10, components, adobe))
