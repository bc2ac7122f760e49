#!/usr/bin/env bash
# Makes the layouts of the game's dialogs as layer folders ("layers.xml" and
# one PNG per picture layer), in the form of data/gui/start/:
#   data/gui/profile/  the first-profile dialog: panel, name field, and the
#                      markers where the title, the name and the hint go;
#   data/gui/options/  the options dialog: panel, the windowed check box (on
#                      and off), the close button (at rest and pressed), and
#                      the markers of the title, the label and the click area.
# The texts are drawn by the game with its bitmap fonts. Needs ImageMagick 6;
# the results are committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
im=/usr/bin/convert
# Without the time chunks a remake gives the same bytes.
nodate=(-define png:exclude-chunks=date,time)

# layout <folder> then lines "name x y width height [file]" bottom first; a
# line without a file is a marker.
layout() {
  local folder=$1; shift
  local xml="$folder/layers.xml" lines=() index=1
  while read -r name x y w h file; do
    [[ -z "$name" ]] && continue
    lines=("  <Layer name=\"$name\" x=\"$x\" y=\"$y\" width=\"$w\" height=\"$h\" opacity=\"255\" ind=\"$index\"/>" "${lines[@]}")
    if [[ -n "${file:-}" ]]; then
      mkdir -p "$folder/$(dirname "$name")"
      mv "$file" "$folder/$name.png"
    fi
    index=$((index + 1))
  done
  { echo '<?xml version="1.0" encoding="utf-8"?>'; echo '<Layers>'; printf '%s\n' "${lines[@]}"; echo '</Layers>'; } > "$xml"
}

panel() { # width height file
  "$im" -size "$1x$2" xc:none -fill 'rgb(20,10,50)' -stroke '#c9a8ff' -strokewidth 4 \
    -draw "roundrectangle 2,2 $(($1 - 3)),$(($2 - 3)) 24,24" "${nodate[@]}" -depth 8 "PNG32:$3"
}
button() { # width height fill stroke file
  "$im" -size "$1x$2" xc:none -fill "$3" -stroke "$4" -strokewidth 3 \
    -draw "roundrectangle 2,2 $(($1 - 3)),$(($2 - 3)) 16,16" "${nodate[@]}" -depth 8 "PNG32:$5"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- First profile --------------------------------------------------------------
profile="$root/data/gui/profile"
rm -rf "$profile"; mkdir -p "$profile"
panel 440 260 "$work/panel.png"
"$im" -size 360x52 xc:none -fill 'rgba(255,255,255,0.12)' -stroke '#c9a8ff' -strokewidth 2 \
  -draw 'roundrectangle 1,1 358,50 10,10' "${nodate[@]}" -depth 8 "PNG32:$work/field.png"
layout "$profile" <<LINES
profile/panel 292 254 440 260 $work/panel.png
profile/field 332 354 360 52 $work/field.png
profile/title|box 312 274 400 60
profile/name|box 332 354 360 52
profile/hint|box 302 420 420 40
LINES

# --- Options --------------------------------------------------------------------
options="$root/data/gui/options"
rm -rf "$options"; mkdir -p "$options"
panel 360 300 "$work/panel.png"
"$im" -size 40x40 xc:none -fill 'rgba(255,255,255,0.12)' -stroke '#c9a8ff' -strokewidth 3 \
  -draw 'roundrectangle 2,2 37,37 6,6' "${nodate[@]}" -depth 8 "PNG32:$work/off.png"
"$im" "$work/off.png" -fill none -stroke '#ffcf3a' -strokewidth 5 \
  -draw 'polyline 9,20 17,29 31,11' "${nodate[@]}" -depth 8 "PNG32:$work/on.png"
button 200 56 '#2f9e44' '#b2f2bb' "$work/out.png"
button 200 56 '#51cf66' '#ffffff' "$work/in.png"
layout "$options" <<LINES
options/panel 332 234 360 300 $work/panel.png
options/check/off 382 336 40 40 $work/off.png
options/check/on 382 336 40 40 $work/on.png
options/close/in 412 444 200 56 $work/in.png
options/close/out 412 444 200 56 $work/out.png
options/title|box 352 250 320 60
options/label|box 432 326 240 60
options/windowed|box 372 326 300 60
LINES
echo "wrote $profile/ and $options/"
