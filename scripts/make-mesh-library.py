#!/usr/bin/python3
"""Writes the sample mesh library data/scene/sample.lib and its texture
data/scene/sample.png (the format is described in Core/Lightwave/MeshLibraryFile.h).

The texture is a 32x32 picture of four coloured quadrants with a light
border; the meshes are a square showing all of it, a diamond, and a ring of
triangles around a centre. Triangles run clockwise on screen (y down).

  scripts/make-mesh-library.py [output folder]     (default: data/scene)

It also writes the layer tests' library to tests/Core/Layer/fixtures.

Needs only python3; the generated files are committed.
"""

import math
import os
import struct
import sys
import zlib

SIZE = 32


def texel(x, y):
    if x in (0, SIZE - 1) or y in (0, SIZE - 1):
        return (240, 240, 240, 255)
    left, top = x < SIZE // 2, y < SIZE // 2
    if top:
        return (220, 40, 40, 255) if left else (40, 200, 60, 255)
    return (40, 80, 220, 255) if left else (240, 200, 40, 255)


def png(width, height, pixel):
    rows = b"".join(
        b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def number(value):
    text = ("%.4f" % value).rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def mesh(name, vertices, indices):
    lines = ['  <mesh name="%s">' % name, '    <vertices count="%d">' % len(vertices)]
    for x, y, u, v, color in vertices:
        attributes = 'x="%s" y="%s" u="%s" v="%s"' % (number(x), number(y), number(u), number(v))
        if color:
            attributes += ' color="%s"' % color
        lines.append("      <v %s/>" % attributes)
    lines.append("    </vertices>")
    lines.append('    <indices count="%d">%s</indices>' % (len(indices), " ".join(map(str, indices))))
    lines.append("  </mesh>")
    return lines


def ring(segments, radius):
    vertices = [(0, 0, 0.5, 0.5, None)]
    for i in range(segments):
        a = 2 * math.pi * i / segments
        c, s = math.cos(a), math.sin(a)
        color = "FFFFFFFF" if i % 2 == 0 else "80FFFFFF"
        vertices.append((radius * c, radius * s, 0.5 + 0.5 * c, 0.5 + 0.5 * s, color))
    indices = []
    for i in range(segments):
        # Centre, this rim vertex, the next: clockwise with y pointing down.
        indices += [0, 1 + i, 1 + (i + 1) % segments]
    return vertices, indices


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "data/scene"
    os.makedirs(folder, exist_ok=True)
    lines = ['<meshlib texture="sample.png">']
    lines += mesh("square", [(0, 0, 0, 0, None), (64, 0, 1, 0, None), (64, 64, 1, 1, None), (0, 64, 0, 1, None)],
                  [0, 1, 2, 0, 2, 3])
    lines += mesh("diamond", [(0, -32, 0.5, 0, None), (32, 0, 1, 0.5, "FFFFC0C0"), (0, 32, 0.5, 1, None),
                              (-32, 0, 0, 0.5, "FFC0C0FF")], [0, 1, 2, 0, 2, 3])
    lines += mesh("ring", *ring(24, 48))
    lines.append("</meshlib>")
    with open(os.path.join(folder, "sample.lib"), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    with open(os.path.join(folder, "sample.png"), "wb") as out:
        out.write(png(SIZE, SIZE, texel))

    # The layer tests': an 8x8 texture of red, green, blue and white
    # quadrants, a square showing all of it and a triangle over its red corner.
    fixtures = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "Core", "Layer",
                            "fixtures")
    os.makedirs(fixtures, exist_ok=True)
    lines = ['<meshlib texture="quadrants.png">']
    lines += mesh("square", [(0, 0, 0, 0, None), (8, 0, 1, 0, None), (8, 8, 1, 1, None), (0, 8, 0, 1, None)],
                  [0, 1, 2, 0, 2, 3])
    lines += mesh("triangle", [(0, 0, 0, 0, None), (16, 0, 0, 0, None), (0, 16, 0, 0, None)], [0, 1, 2])
    lines.append("</meshlib>")
    with open(os.path.join(fixtures, "shapes.lib"), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    quadrants = ((255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 255, 255))
    with open(os.path.join(fixtures, "quadrants.png"), "wb") as out:
        out.write(png(8, 8, lambda x, y: quadrants[(y >= 4) * 2 + (x >= 4)]))


if __name__ == "__main__":
    main()
