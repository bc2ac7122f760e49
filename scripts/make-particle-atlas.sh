#!/usr/bin/env bash
# Draws the particle pictures of data/fx/fx2_atlas.png with ImageMagick: a
# 256x256 page of 64x64 white pictures whose shape is in the alpha channel, so
# that each particle's colour tints them. Cells, left to right, top down:
#   0 soft glow    1 four-point star   2 shard     3 streak
#   4 smoke puff   5 ring              6 spark dot 7 flash
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Grey masks: white is opaque.
convert -size 64x64 radial-gradient:white-black -level 0,100%,1.6 m0.png
convert -size 64x64 xc:black -fill white \
  -draw "polygon 32,2 36,28 62,32 36,36 32,62 28,36 2,32 28,28" -blur 0x1.2 \
  \( -size 64x64 radial-gradient:white-black -level 0,100%,0.8 \) -compose screen -composite m1.png
convert -size 64x64 xc:black -fill white -draw "polygon 14,20 44,10 52,40 24,52" -blur 0x0.8 m2.png
convert -size 64x64 xc:black -fill white -draw "ellipse 32,32 30,3 0,360" -blur 0x1.5 m3.png
convert -seed 7 -size 64x64 plasma:grey50-grey50 -colorspace gray -blur 0x3 -auto-level \
  \( -size 64x64 radial-gradient:white-black \) -compose multiply -composite -level 0,70% m4.png
convert -size 64x64 xc:black -fill none -stroke white -strokewidth 5 -draw "circle 32,32 32,6" -blur 0x1.5 m5.png
convert -size 64x64 xc:black -fill white -draw "circle 32,32 32,22" -blur 0x3 m6.png
convert -size 64x64 radial-gradient:white-black -level 30%,100%,1.0 m7.png

for i in 0 1 2 3 4 5 6 7; do
  convert -size 64x64 xc:white m$i.png -alpha off -compose CopyOpacity -composite c$i.png
done
convert \( c0.png c1.png c2.png c3.png +append \) \( c4.png c5.png c6.png c7.png +append \) -append \
  +repage -background none -extent 256x256 +repage -define png:color-type=6 "PNG32:$root/data/fx/fx2_atlas.png"
