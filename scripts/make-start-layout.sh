#!/usr/bin/env bash
# Makes the start screen's layout in both forms: data/gui/start.psd (layers
# drawn by ImageMagick, grouped and saved by GIMP) and the layer folder
# data/gui/start/ ("layers.xml", one PNG per picture layer, the menu button in
# an atlas). The menu holds only the buttons that lead somewhere: Options. The results are committed; neither the game nor the tests need
# these tools. Needs ImageMagick 6, GIMP 2.10 (gimp-console) and
# python3-psd-tools (to read back the record indices GIMP gave the layers).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
im=/usr/bin/convert
font=DejaVu-Sans-Bold
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- Pictures ----------------------------------------------------------------
# Background: a night-sky gradient with soft glows, opaque.
"$im" -size 1024x768 gradient:'#1d0b3a-#0a4a78' \
  \( -size 1024x768 xc:none -fill 'rgba(255,255,255,0.06)' \
     -draw 'circle 160,180 160,330' -draw 'circle 880,520 880,720' -draw 'circle 560,700 560,790' \) \
  -composite -alpha off -depth 8 "PNG32:$work/back.png"

# Title: the game's name in gold with a dark outline.
"$im" -size 560x150 xc:none -font "$font" -pointsize 104 -gravity center \
  -stroke '#3a1a00' -strokewidth 10 -fill '#3a1a00' -annotate +0+6 'ORVANE' \
  -stroke none -fill '#ffcf3a' -annotate +0+0 'ORVANE' -depth 8 "PNG32:$work/title.png"

# A row of chips along the bottom: red, green, blue and yellow.
chips=()
colors=('#e23b3b' '#3bbf4a' '#3b6fe2' '#f2d13a')
for i in $(seq 0 11); do
  x=$((48 + i * 84)); y=$((64 + (i % 2) * 20)); c=${colors[$((i % 4))]}
  chips+=(-fill "$c" -stroke '#ffffff' -strokewidth 3 -draw "circle $x,$y $((x + 34)),$y")
done
"$im" -size 1024x128 xc:none "${chips[@]}" -depth 8 "PNG32:$work/chips.png"

# The panel behind the menu.
"$im" -size 320x300 xc:none -fill 'rgba(20,10,50,0.85)' -stroke '#c9a8ff' -strokewidth 4 \
  -draw 'roundrectangle 2,2 317,297 24,24' -depth 8 "PNG32:$work/panel.png"

# Buttons: "out" at rest, "in" while pressed.
button() { # name label top bottom file
  "$im" -size 240x64 xc:none -fill "$3" -stroke "$4" -strokewidth 3 \
    -draw 'roundrectangle 2,2 237,61 18,18' -stroke none -fill white -font "$font" \
    -pointsize 28 -gravity center -annotate +0+0 "$2" -depth 8 "PNG32:$5"
}
for entry in options:OPTIONS; do
  name=${entry%%:*}; label=${entry#*:}
  button "$name" "$label" '#2f9e44' '#b2f2bb' "$work/$name-out.png"
  button "$name" "$label" '#51cf66' '#ffffff' "$work/$name-in.png"
done

# Markers a designer draws for the anchors: a text box and a star.
"$im" -size 400x40 xc:'rgba(255,255,255,0.25)' -depth 8 "PNG32:$work/profile.png"
"$im" -size 64x64 xc:none -fill '#fff3a0' \
  -draw 'polygon 32,0 40,24 64,32 40,40 32,64 24,40 0,32 24,24' -depth 8 "PNG32:$work/sparkle.png"
"$im" -size 1024x768 xc:black -alpha off -depth 8 "PNG32:$work/background.png"

# --- The PSD -------------------------------------------------------------------
# Layers are inserted bottom first, each on top of its group.
gimp-console-2.10 -i -d -f -b "
(define image (car (gimp-image-new 1024 768 RGB)))
(define (add parent file name x y opacity visible)
  (let ((layer (car (gimp-file-load-layer RUN-NONINTERACTIVE image (string-append \"$work/\" file)))))
    (gimp-image-insert-layer image layer parent 0)
    (gimp-item-set-name layer name)
    (gimp-layer-set-offsets layer x y)
    (gimp-layer-set-opacity layer opacity)
    (gimp-item-set-visible layer visible)
    layer))
(define (group parent name)
  (let ((g (car (gimp-layer-group-new image))))
    (gimp-image-insert-layer image g parent 0)
    (gimp-item-set-name g name)
    g))
(add 0 \"background.png\" \"Background\" 0 0 100 TRUE)
(define start (group 0 \"start\"))
(add start \"back.png\" \"back\" 0 0 100 TRUE)
(add start \"chips.png\" \"chips\" 0 640 100 TRUE)
(add start \"title.png\" \"title\" 232 50 100 TRUE)
(define menu (group start \"menu\"))
(add menu \"panel.png\" \"panel\" 352 260 (/ 20000 255.0) TRUE)
(define (buttons name top)
  (let ((g (group menu name)))
    (add g (string-append name \"-in.png\") (string-append \"in@\" name) 392 top 100 FALSE)
    (add g (string-append name \"-out.png\") (string-append \"out@\" name) 392 top 100 TRUE)))
(buttons \"options\" 380)
(add start \"profile.png\" \"profile|box\" 312 600 100 TRUE)
(add start \"sparkle.png\" \"sparkle|center\" 792 36 100 TRUE)
(file-psd-save RUN-NONINTERACTIVE image (car (gimp-image-get-active-drawable image))
               \"$work/start.psd\" \"start.psd\" 1 0)
(gimp-image-delete image)
" -b '(gimp-quit 0)'

# --- The folder ------------------------------------------------------------------
/usr/bin/python3 - "$work" "$root/data/gui" <<'EOF'
import os, shutil, subprocess, sys
from psd_tools import PSDImage

work, out = sys.argv[1], sys.argv[2]
# GIMP keeps layer names unique across the image; every button has its own
# "in" and "out", so they were saved as "in@options" and are renamed here.
path = os.path.join(work, 'start.psd')
psd = PSDImage.open(path)
for layer in psd.descendants():
    if '@' in layer.name:
        layer.name = layer.name.split('@')[0]
psd.save(path)
psd = PSDImage.open(path)
records = psd._record.layer_and_mask_information.layer_info.layer_records

# Walk the records from the top down as the engine does: group records
# push a name, end markers pop one, the bottom record is never a layer.
layers, groups = [], []
for index in range(len(records) - 1, 0, -1):
    r = records[index]
    name = r.name
    kind = 0
    for key, block in (r.tagged_blocks.items() if r.tagged_blocks else []):
        if getattr(key, 'value', key) in (b'lsct', b'lsdk'):
            divider = int(getattr(block.data.kind, 'value', block.data.kind))
            kind = {1: 2, 2: 2, 3: 1}.get(divider, 0)
    if kind == 2:
        groups.append(name)
    elif kind == 1:
        groups.pop()
    else:
        layers.append(('/'.join(groups + [name]), index, r))

# The menu buttons share one atlas: out states in the left column, in
# states in the right one, one row per button from the top.
atlas_w, atlas_h, cell_w, cell_h = 512, 64, 240, 64
cells = {}
for row, button in enumerate(['options']):
    for column, state in enumerate(['out', 'in']):
        cells['start/menu/%s/%s' % (button, state)] = (column * cell_w, row * cell_h, '%s-%s.png' % (button, state))

folder = os.path.join(out, 'start')
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
subprocess.check_call(['/usr/bin/convert', '-size', '%dx%d' % (atlas_w, atlas_h), 'xc:none'] +
                      sum([[os.path.join(work, f), '-geometry', '+%d+%d' % (x, y), '-composite']
                           for x, y, f in cells.values()], []) +
                      ['-depth', '8', 'PNG32:' + os.path.join(folder, 'menu.png')])

def number(v):
    return ('%.6f' % v).rstrip('0').rstrip('.')

lines = ['<?xml version="1.0" encoding="utf-8"?>', '<Layers>']
for name, index, r in layers:
    x, y, w, h = r.left, r.top, r.right - r.left, r.bottom - r.top
    if '|box' not in name and '|center' in name:
        x, y, w, h = x + w // 2, y + h // 2, 0, 0
    entry = '  <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="%d" ind="%d"' % (
        name, x, y, w, h, r.opacity, index)
    if name in cells:
        px, py, _ = cells[name]
        entry += ' atlas="menu.png" tu1="%s" tv1="%s" tu2="%s" tv2="%s"' % (
            number(px / atlas_w), number(1 - (py + h) / atlas_h),
            number((px + w) / atlas_w), number(1 - py / atlas_h))
    elif '|' not in name:
        target = os.path.join(folder, name + '.png')
        os.makedirs(os.path.dirname(target), exist_ok=True)
        source = {'start/menu/panel': 'panel.png'}.get(name, os.path.basename(name) + '.png')
        shutil.copy(os.path.join(work, source), target)
    lines.append(entry + '/>')
lines.append('</Layers>')
with open(os.path.join(folder, 'layers.xml'), 'w') as f:
    f.write('\n'.join(lines) + '\n')
shutil.copy(os.path.join(work, 'start.psd'), os.path.join(out, 'start.psd'))
EOF
echo "wrote $root/data/gui/start.psd and $root/data/gui/start/"
