#!/usr/bin/env bash
# Makes the game cursor, data/gui/cursor.png: a 32x32 arrow whose tip, the
# point that follows the mouse, is the top left pixel. Gold with a dark
# outline, so that it shows on every screen. Needs ImageMagick 6. The result
# is committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
/usr/bin/convert -size 32x32 xc:none \
  -fill '#ffcf3a' -stroke '#3a1a00' -strokewidth 2 \
  -draw 'polygon 1,1 1,26 8,20 13,30 18,28 13,18 22,18' \
  -depth 8 "PNG32:$root/data/gui/cursor.png"
echo "wrote $root/data/gui/cursor.png"
