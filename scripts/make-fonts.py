#!/usr/bin/python3
"""Renders the game's bitmap fonts data/font/24, 32 and 42 from DejaVu Sans.

Each font is an XML description "<size>.fnt" (the AngelCode bitmap font
layout) and its page images "<size>_<page>.png": white glyphs whose alpha is
the coverage, packed in rows onto 512x256 pages. It covers printable ASCII,
the Latin-1 punctuation the texts use and the Russian alphabet.

  scripts/make-fonts.py [output folder]     (default: data/font)

Needs python3-pil and fonts-dejavu-core; the generated files are committed, so
neither is needed to build or test.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

FACE = "DejaVu Sans"
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SIZES = (24, 32, 42)
PAGE_WIDTH = 512
PAGE_HEIGHT = 256
PADDING = 1
SPACING = 1

CHARS = (
    [chr(c) for c in range(32, 127)]
    + list("«»—–…№©°")
    + ["Ё", "ё"]
    + [chr(c) for c in range(0x410, 0x450)]
)
# Pairs whose kerning is written out; the layout measures kerned widths.
KERNING_CHARS = "AFLPTVWYakoyАГДЛПРТУЯаоуя.,"


def render_glyph(font, size, ch):
    """The coverage of ch cut to its ink, and where the ink lies from the pen
    at the line top; None for a glyph without ink."""
    ox = oy = size
    canvas = Image.new("L", (int(font.getlength(ch)) + 3 * size, 3 * size), 0)
    ImageDraw.Draw(canvas).text((ox, oy), ch, font=font, fill=255, anchor="la")
    box = canvas.getbbox()
    if not box:
        return None
    left, top, right, bottom = box
    return canvas.crop(box), left - ox, top - oy


def render_font(size, folder):
    font = ImageFont.truetype(FONT_FILE, size)
    ascent, descent = font.getmetrics()

    # Place the glyphs row by row, page by page.
    pages = []
    placed = []
    x, y = PAGE_WIDTH, PAGE_HEIGHT
    row = 0
    for ch in CHARS:
        ink = render_glyph(font, size, ch)
        if ink is None:
            placed.append((ch, 0, 0, 0, 0, 0, 0, max(0, len(pages) - 1)))
            continue
        mask, left, top = ink
        w, h = mask.width + 2 * PADDING, mask.height + 2 * PADDING
        if x + w > PAGE_WIDTH:
            x = 0
            y += row + SPACING
            row = 0
        if y + h > PAGE_HEIGHT:
            pages.append(Image.new("RGBA", (PAGE_WIDTH, PAGE_HEIGHT), (255, 255, 255, 0)))
            x = y = row = 0
        glyph = Image.new("RGBA", (w, h), (255, 255, 255, 0))
        alpha = Image.new("L", (w, h), 0)
        alpha.paste(mask, (PADDING, PADDING))
        glyph.putalpha(alpha)
        pages[-1].paste(glyph, (x, y))
        placed.append((ch, x, y, w, h, left - PADDING, top - PADDING, len(pages) - 1))
        x += w + SPACING
        row = max(row, h)

    kernings = []
    for first in KERNING_CHARS:
        for second in KERNING_CHARS:
            amount = round(font.getlength(first + second) - font.getlength(first) - font.getlength(second))
            if amount != 0:
                kernings.append((ord(first), ord(second), amount))

    name = str(size)
    lines = [
        '<?xml version="1.0"?>',
        "<font>",
        f'  <info face="{FACE}" size="{size}" bold="0" italic="0" charset="" unicode="1" stretchH="100" '
        f'smooth="1" aa="1" padding="{PADDING},{PADDING},{PADDING},{PADDING}" spacing="{SPACING},{SPACING}" '
        'outline="0"/>',
        f'  <common lineHeight="{ascent + descent}" base="{ascent}" scaleW="{PAGE_WIDTH}" scaleH="{PAGE_HEIGHT}" '
        f'pages="{len(pages)}" packed="0"/>',
        "  <pages>",
    ]
    for index in range(len(pages)):
        lines.append(f'    <page id="{index}" file="{name}_{index}.png"/>')
    lines.append("  </pages>")
    lines.append(f'  <chars count="{len(placed)}">')
    for ch, gx, gy, w, h, xoffset, yoffset, page in placed:
        advance = round(font.getlength(ch))
        lines.append(
            f'    <char id="{ord(ch)}" x="{gx}" y="{gy}" width="{w}" height="{h}" xoffset="{xoffset}" '
            f'yoffset="{yoffset}" xadvance="{advance}" page="{page}" chnl="15"/>'
        )
    lines.append("  </chars>")
    lines.append(f'  <kernings count="{len(kernings)}">')
    for first, second, amount in kernings:
        lines.append(f'    <kerning first="{first}" second="{second}" amount="{amount}"/>')
    lines.append("  </kernings>")
    lines.append("</font>")

    with open(os.path.join(folder, name + ".fnt"), "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    for index, page in enumerate(pages):
        page.save(os.path.join(folder, f"{name}_{index}.png"), optimize=True)
    print(f"{name}: {len(placed)} glyphs, {len(pages)} pages, {len(kernings)} kerning pairs")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "font")
    os.makedirs(folder, exist_ok=True)
    for size in SIZES:
        render_font(size, folder)


if __name__ == "__main__":
    main()
