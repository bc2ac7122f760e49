#!/usr/bin/env python3
"""Makes the image loader's fixtures: one small picture in the BMP, TGA, GIF,
DDS and PNG forms that tools write, by ImageMagick 6 where it writes the form
and byte by byte here where it does not. The results are committed; tests
never need ImageMagick.

The picture is 7x5: pixel (x, y) has colour COLOURS[(x + y) % 7], and the
2x2 block at the lower right is transparent in the forms that keep alpha.
tests/Core/Render/ImageLoaderTest.cpp knows the same picture.

    scripts/make-image-fixtures.py

It also copies them into the image fuzz targets' corpora.
"""
import os
import struct
import subprocess
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "Core", "Render", "fixtures")
IM = "/usr/bin/convert"

W, H = 7, 5
COLOURS = [(0xFF, 0, 0), (0, 0xFF, 0), (0, 0, 0xFF), (0xFF, 0xFF, 0xFF), (0, 0, 0), (0x84, 0x84, 0x84),
           (0xFF, 0x84, 0)]


def pixel(x, y):
    r, g, b = COLOURS[(x + y) % 7]
    a = 0 if (x >= 5 and y >= 3) else 255
    return r, g, b, a


def rows(bottom_up):
    order = range(H - 1, -1, -1) if bottom_up else range(H)
    return [[pixel(x, y) for x in range(W)] for y in order]


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def read(name):
    with open(os.path.join(OUT, name), "rb") as f:
        return f.read()


def convert(name, alpha, *args, kind=""):
    """ImageMagick writes the picture (with or without alpha) as name; kind
    names a format variant ("BMP3")."""
    depth = 4 if alpha else 3
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n" % (
        W, H, depth, "RGB_ALPHA" if alpha else "RGB")
    body = bytes(c for row in rows(False) for p in row for c in p[:depth])
    with tempfile.NamedTemporaryFile(suffix=".pam") as src:
        src.write(header.encode() + body)
        src.flush()
        target = (kind + ":" if kind else "") + os.path.join(OUT, name)
        subprocess.run([IM, src.name] + list(args) + [target], check=True)


# --- BMP -----------------------------------------------------------------------------


def bmp_file(header, extra, pixels):
    """File header, info header, masks or palette, pixel data."""
    offset = 14 + len(header) + len(extra)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + extra + pixels


def info_header(bits, compression, image_bytes, colours=0, height=H):
    return struct.pack("<IiiHHIIiiII", 40, W, height, 1, bits, compression, image_bytes, 2835, 2835, colours, 0)


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def make_bmps():
    # ImageMagick: V5 headers (its default) and a V3 header with bit fields.
    convert("bmp_v5_argb32.bmp", True)
    convert("bmp_v5_rgb24.bmp", False)
    convert("bmp_v5_rgb565.bmp", False, "-define", "bmp:subtype=RGB565")
    convert("bmp_v5_argb1555.bmp", True, "-define", "bmp:subtype=ARGB1555")
    convert("bmp_v5_argb4444.bmp", True, "-define", "bmp:subtype=ARGB4444")
    # ImageMagick 6 marks this file as having bit fields but writes no masks.
    convert("bmp_v3_rgb555_nomasks.bmp", False, "-define", "bmp:subtype=RGB555", kind="BMP3")
    convert("bmp_v3_rle8.bmp", False, "-type", "Palette", "-compress", "RLE", kind="BMP3")
    convert("bmp_v3_pal4.bmp", False, "-type", "Palette", "-compress", "None", kind="BMP3")
    convert("bmp_v3_mono.bmp", False, "-monochrome", kind="BMP3")

    # A V4 header (108 bytes), as older editors write: ImageMagick's V5 file
    # with the last 16 header bytes left out.
    v5 = read("bmp_v5_argb32.bmp")
    size, offset = struct.unpack("<I", v5[14:18])[0], struct.unpack("<I", v5[10:14])[0]
    header = struct.pack("<I", 108) + v5[18:14 + 108]
    write("bmp_v4_argb32.bmp", bmp_file(header, v5[14 + size:offset], v5[offset:]))
    # The V5 file stored from the top, as a negative height says.
    top_down = bytearray(v5[:offset])
    struct.pack_into("<i", top_down, 22, -H)
    write("bmp_v5_argb32_topdown.bmp", bytes(top_down) + b"".join(v5[offset + 4 * W * y:offset + 4 * W * (y + 1)]
                                                                  for y in range(H - 1, -1, -1)))

    # Plain 16 bits: 5:5:5 without masks.
    data = b"".join(pad(b"".join(struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3) for r, g, b, a in row))
                    for row in rows(True))
    write("bmp_v3_rgb555.bmp", bmp_file(info_header(16, 0, len(data)), b"", data))

    # 5:6:5 bit fields that also carry a (meaningless) palette after the masks.
    data = b"".join(pad(b"".join(struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3) for r, g, b, a in row))
                    for row in rows(True))
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    palette = b"".join(struct.pack("<BBBB", 255 - i, i, 7 * i, 0) for i in range(16))
    write("bmp_v3_rgb565_palette.bmp", bmp_file(info_header(16, 3, len(data), colours=16), masks + palette, data))

    # RLE4 as Windows Paint writes it: runs of two alternating indices and
    # literal runs, each line closed by an end of line.
    palette_rgb = sorted(set(COLOURS))
    bgr0 = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette_rgb)
    index = {c: i for i, c in enumerate(palette_rgb)}
    data = b""
    for row in rows(True):
        idx = [index[p[:3]] for p in row]
        data += bytes([2, idx[0] << 4 | idx[1]])                          # encoded run of 2
        literal = idx[2:7]                                                # literal run of 5
        packed = bytes((literal[i] << 4 | (literal[i + 1] if i + 1 < 5 else 0)) for i in range(0, 5, 2))
        data += bytes([0, 5]) + packed + b"\0"                            # padded to 16 bits
        data += b"\0\0"
    data += b"\0\1"
    write("bmp_v3_rle4.bmp", bmp_file(info_header(4, 2, len(data), colours=len(palette_rgb)), bgr0, data))

    # RLE8 that leaves pixels out (rows from the bottom): row 0 gives two
    # pixels and jumps by (3, 1); row 1 gives its last two; row 2 its first
    # and ends early; row 3 is one run of the colour of its first pixel; the
    # data stops before row 4. What is left out is transparent black.
    idx = [[index[p[:3]] for p in row] for row in rows(True)]
    data = bytes([1, idx[0][0], 1, idx[0][1], 0, 2, 3, 1])
    data += bytes([1, idx[1][5], 1, idx[1][6], 0, 0])
    data += bytes([1, idx[2][0], 0, 0])
    data += bytes([7, idx[3][0]])
    write("bmp_v3_rle8_gaps.bmp", bmp_file(info_header(8, 1, len(data), colours=len(palette_rgb)), bgr0, data))

    # ImageMagick's RLE8 file cut after its second line (from the bottom).
    full = read("bmp_v3_rle8.bmp")
    at = struct.unpack("<I", full[10:14])[0]
    lines = 0
    while lines < 2:
        count, value = full[at], full[at + 1]
        at += 2
        if count == 0 and value == 0:
            lines += 1
        elif count == 0 and value > 2:
            at += (value + 1) & ~1
    write("bmp_v3_rle8_cut.bmp", full[:at])


# --- TGA -----------------------------------------------------------------------------


def tga_header(image_type, bits, descriptor, map_length=0, map_bits=0):
    return struct.pack("<BBBHHBHHHHBB", 0, 1 if map_length else 0, image_type, 0, map_length, map_bits, 0, 0, W, H,
                       bits, descriptor)


def argb1555(r, g, b, a):
    return struct.pack("<H", (0x8000 if a else 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)


def make_tgas():
    # ImageMagick 6 flags rows of an unoriented picture as bottom-up but
    # writes them top-down; with an orientation it flags them right.
    convert("tga_rgba32_rle.tga", True, "-orient", "TopLeft", "-compress", "RLE")
    convert("tga_mapped_rle.tga", False, "-orient", "TopLeft", "-type", "Palette", "-compress", "RLE")
    # 16 bits with one alpha bit, bottom-up, as Photoshop writes it.
    data = b"".join(argb1555(*p) for row in rows(True) for p in row)
    write("tga_argb1555.tga", tga_header(2, 16, 1) + data)
    # 8-bit indices into a map of 16-bit entries.
    palette_rgb = sorted(set(COLOURS))
    index = {c: i for i, c in enumerate(palette_rgb)}
    colour_map = b"".join(argb1555(r, g, b, 255) for r, g, b in palette_rgb)
    data = bytes(index[p[:3]] for row in rows(True) for p in row)
    write("tga_map16.tga", tga_header(1, 8, 0, len(palette_rgb), 16) + colour_map + data)
    # Grey and alpha, 16 bits, top-down; the grey is the green channel.
    data = b"".join(bytes([p[1], p[3]]) for row in rows(False) for p in row)
    write("tga_grey_alpha16.tga", tga_header(3, 16, 0x28) + data)
    # ImageMagick's run-length file cut after the packets of its first two
    # rows (from the top).
    full = read("tga_rgba32_rle.tga")
    at, done = 18, 0
    while done < 2 * W:
        run = (full[at] & 0x7F) + 1
        at += 1 + (4 if full[at] & 0x80 else 4 * run)
        done += run
    assert done == 2 * W
    write("tga_rgba32_rle_cut.tga", full[:at])


# --- GIF, DDS, PNG -------------------------------------------------------------------


def make_gifs():
    # Two frames, the second a small one over the first, with each common
    # disposal method.
    for name, dispose in (("gif_anim_none.gif", "None"), ("gif_anim_background.gif", "Background"),
                          ("gif_anim_previous.gif", "Previous")):
        depth = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (W, H)
        body = bytes(c for row in rows(False) for p in row for c in p)
        with tempfile.NamedTemporaryFile(suffix=".pam") as src:
            src.write(depth.encode() + body)
            src.flush()
            subprocess.run([IM, "-dispose", dispose, "-delay", "10", src.name, "(", "-size", "3x2", "xc:#00ff00",
                            "-repage", "+1+1", ")", "-loop", "0", os.path.join(OUT, name)], check=True)


def dds(flags, bits, masks, pixels, w=W, h=H, levels=1, four_cc=bytes(4)):
    header = bytearray(128)
    header[0:4] = b"DDS "
    struct.pack_into("<IIIIIII", header, 4, 124, 0x100F, h, w, w * 4, 0, levels)
    struct.pack_into("<II4s", header, 76, 32, flags, four_cc)
    struct.pack_into("<IIIII", header, 88, bits, *masks)
    struct.pack_into("<I", header, 108, 0x1000)
    return bytes(header) + pixels


def make_dds():
    convert("dds_a8r8g8b8.dds", True, "-define", "dds:compression=none", "-define", "dds:mipmaps=0")
    picture = [p for row in rows(False) for p in row]
    # As texconv and the DirectX tools write the other orders.
    write("dds_x8r8g8b8.dds", dds(0x40, 32, (0xFF0000, 0xFF00, 0xFF, 0),
                                   b"".join(bytes([b, g, r, 0x5A]) for r, g, b, a in picture)))
    write("dds_a8b8g8r8.dds", dds(0x41, 32, (0xFF, 0xFF00, 0xFF0000, 0xFF000000),
                                   b"".join(bytes([r, g, b, a]) for r, g, b, a in picture)))
    write("dds_x8b8g8r8.dds", dds(0x40, 32, (0xFF, 0xFF00, 0xFF0000, 0),
                                   b"".join(bytes([r, g, b, 0]) for r, g, b, a in picture)))
    # Forms the loader refuses.
    write("dds_a2r10g10b10.dds", dds(0x41, 32, (0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000),
                                      b"".join(struct.pack("<I", 3 << 30 | r << 22 | g << 12 | b << 2)
                                               for r, g, b, a in picture)))
    write("dds_g16r16.dds", dds(0x40, 32, (0xFFFF, 0xFFFF0000, 0, 0),
                                 b"".join(struct.pack("<HH", r * 257, g * 257) for r, g, b, a in picture)))
    convert("dds_r8g8b8.dds", False, "-define", "dds:compression=none", "-define", "dds:mipmaps=0")
    # Two rows of three, alpha one below the mask's threshold and then at
    # it; no level count, which means one level.
    words = (10 << 24, 11 << 24 | 1, 0xFF0000FF, 0, 0xFF000001, 0xFF000002)
    write("dds_rows_3x2.dds", dds(0x41, 32, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), struct.pack("<6I", *words), 3, 2, 0))
    # Compressed blocks of one alpha each, side by side: DXT1 opaque and
    # three-colour transparent, DXT3 nibbles, DXT5 endpoints and a code for
    # every pixel.
    def dxt1(transparent):
        return bytes([0, 0, 0x1F, 0] if transparent else [0x1F, 0, 0, 0]) + b"\xFF" * 4

    def dxt3(a4):
        return bytes([a4 | a4 << 4]) * 8 + bytes(8)

    def dxt5(a0, a1, code):
        codes = sum(code << (3 * i) for i in range(16))
        return bytes([a0, a1]) + codes.to_bytes(6, "little") + bytes(8)

    for name, four_cc, blocks in (
            ("dds_dxt1_alpha.dds", b"DXT1", [dxt1(False), dxt1(True)]),
            ("dds_dxt3_alpha.dds", b"DXT3", [dxt3(0), dxt3(1)]),
            ("dds_dxt5_alpha.dds", b"DXT5", [dxt5(10, 0, 0), dxt5(11, 0, 0), dxt5(100, 200, 6), dxt5(0, 0, 7),
                                             dxt5(0, 50, 5), dxt5(70, 0, 7), dxt5(255, 0, 2)])):
        write(name, dds(0x4, 0, (0, 0, 0, 0), b"".join(blocks), 4 * len(blocks), 4, 1, four_cc))
    # 6x5 DXT3: two rows of two blocks, the first and last transparent.
    write("dds_dxt3_6x5.dds", dds(0x4, 0, (0, 0, 0, 0), dxt3(0) + dxt3(15) * 2 + dxt3(0), 6, 5, 1, b"DXT3"))


def chunks(png):
    at = 8
    while at < len(png):
        length = struct.unpack(">I", png[at:at + 4])[0]
        yield at, length, png[at + 4:at + 8]
        at += 12 + length


def make_pngs():
    # Without the time chunks a remake gives the same bytes.
    convert("png_rgba.png", True, "-define", "png:exclude-chunks=date,time")
    png = read("png_rgba.png")
    at, length, _ = next(c for c in chunks(png) if c[2] == b"IDAT")
    bad_crc = bytearray(png)
    bad_crc[at + 8 + length] ^= 0xFF
    write("png_bad_crc.png", bytes(bad_crc))
    # Deflate data that does not inflate, under a right CRC.
    bad_zlib = bytearray(png)
    for i in range(at + 10, at + 8 + length - 4):
        bad_zlib[i] ^= 0x5A
    struct.pack_into(">I", bad_zlib, at + 8 + length, zlib.crc32(bytes(bad_zlib[at + 4:at + 8 + length])))
    write("png_bad_zlib.png", bytes(bad_zlib))
    os.remove(os.path.join(OUT, "png_rgba.png"))


def make_corpora():
    """Every fixture as a starting input of its fuzz target: fuzz_ImageDevil
    takes the extension's index in its table before the file."""
    devil = os.path.join(ROOT, "fuzz", "corpus", "ImageDevil")
    dds = os.path.join(ROOT, "fuzz", "corpus", "ImageDds")
    for name in sorted(os.listdir(OUT)):
        stem, extension = name.rsplit(".", 1)
        data = read(name)
        if extension == "dds":
            path, data = os.path.join(dds, stem), data
        elif extension not in ("bmp", "gif", "jpg", "png", "tga"):
            continue  # the font and particle tests' files share the folder
        else:
            path, data = os.path.join(devil, stem), bytes([["bmp", "gif", "jpg", "png", "tga"].index(extension)]) + data
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    make_bmps()
    make_tgas()
    make_gifs()
    make_dds()
    make_pngs()
    make_corpora()
