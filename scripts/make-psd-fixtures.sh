#!/usr/bin/env bash
# Makes the PSD reader's fixtures from three writers and their expected values
# from an independent reader. The results are committed; tests never need the
# writers. Needs ImageMagick 6, GIMP 2.10 (gimp-console), node with npm (for
# ag-psd, which writes layer effects and fill layers), python3-psd-tools and
# python3-pil.
#   scripts/make-psd-fixtures.sh           all writers
#   scripts/make-psd-fixtures.sh --ours    only the fixtures of our own writer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/tests/Core/Psd/fixtures"
mkdir -p "$out"

if [[ "${1:-}" != "--ours" ]]; then
  im=/usr/bin/convert
  # ImageMagick: the first image is the merged one, the others are layers,
  # bottom first, named by their label.
  layers=(
    \( -size 24x16 xc:'#3366cc' -set label bg \)
    \( -size 10x6 gradient:'#ff2000-#ffe040' -alpha set -channel A -evaluate set 60% +channel
       -set label play -repage +5+7 \)
    \( -size 7x5 xc:'rgba(20,200,90,0.5)' -set label 'logo|box' -repage +15+9 \)
  )
  merged=(-size 24x16 xc:'#3366cc')
  "$im" "${merged[@]}" "${layers[@]}" -depth 8 -compress RLE "$out/im_rgb8_rle.psd"
  "$im" "${merged[@]}" "${layers[@]}" -depth 8 -compress None "$out/im_rgb8_raw.psd"
  "$im" "${merged[@]}" "${layers[@]}" -depth 8 -compress Zip "$out/im_rgb8_zip.psd"
  "$im" "${merged[@]}" "${layers[@]}" -depth 16 -compress RLE "$out/im_rgb16_rle.psd"
  "$im" "${merged[@]}" "${layers[@]}" -depth 8 -colorspace Gray "$out/im_gray8.psd"
  "$im" "${merged[@]}" "${layers[@]}" -depth 8 -colorspace CMYK "$out/im_cmyk8.psd"
  "$im" -seed 3 -size 20x12 plasma:fractal -depth 8 -type Palette "$out/im_indexed.psd"
  "$im" -size 21x9 pattern:checkerboard -monochrome -depth 1 "$out/im_bitmap.psd"
  "$im" -size 20x12 gradient:'#ff0000-#0000ff' -depth 8 "$out/im_flat_rgb.psd"
  "$im" -size 24x16 xc:'#ffeedd' \( -size 24x16 xc:'#ffeedd' -set label bg \) \
    \( -size 12x8 xc:'rgb(200,30,30)' -set label edge -repage -5-3 \) \
    \( -size 12x8 xc:'rgb(30,30,200)' -set label far -repage +18+12 \) \
    -depth 8 "$out/im_offcanvas.psd"

  # GIMP: groups (its end markers, "lsdk" deep down), masks, opacity, modes,
  # hidden layers, option names, duplicate names; greyscale and indexed.
  gimp=(gimp-console-2.10 -i -d -f)
  "${gimp[@]}" -b "
  (define (fill-layer image parent name w h x y color opacity mode)
    (let ((layer (car (gimp-layer-new image w h RGBA-IMAGE name opacity mode))))
      (gimp-image-insert-layer image layer parent 0)
      (gimp-layer-set-offsets layer x y)
      (gimp-context-set-foreground color)
      (gimp-drawable-fill layer FILL-FOREGROUND)
      layer))
  (define (group image parent name)
    (let ((g (car (gimp-layer-group-new image))))
      (gimp-image-insert-layer image g parent 0)
      (gimp-item-set-name g name)
      g))
  (let* ((image (car (gimp-image-new 32 24 RGB)))
         (bg (fill-layer image 0 \"bg\" 32 24 0 0 '(200 40 20) 100 LAYER-MODE-NORMAL))
         (menu (group image 0 \"menu\"))
         (play (fill-layer image menu \"play\" 8 6 3 4 '(10 200 90) 50 LAYER-MODE-MULTIPLY))
         (inner (group image menu \"inner\"))
         (icon (fill-layer image inner \"icon\" 5 5 20 2 '(250 250 10) 100 LAYER-MODE-SCREEN))
         (box (fill-layer image menu \"area|box\" 9 7 12 14 '(0 0 255) 100 LAYER-MODE-NORMAL))
         (pivot (fill-layer image 0 \"pivot|center\" 5 3 10 10 '(90 90 90) 100 LAYER-MODE-NORMAL))
         (hidden (fill-layer image 0 \"hidden\" 4 4 1 1 '(255 0 255) 100 LAYER-MODE-NORMAL))
         (dup1 (fill-layer image menu \"twin\" 3 3 0 0 '(1 2 3) 100 LAYER-MODE-NORMAL))
         (dup2 (fill-layer image inner \"twin\" 3 3 5 5 '(4 5 6) 100 LAYER-MODE-NORMAL)))
    (gimp-item-set-visible hidden FALSE)
    (let ((mask (car (gimp-layer-create-mask play ADD-MASK-WHITE))))
      (gimp-layer-add-mask play mask)
      (gimp-context-set-foreground '(0 0 0))
      (gimp-image-select-rectangle image CHANNEL-OP-REPLACE 3 4 4 3)
      (gimp-drawable-edit-fill mask FILL-FOREGROUND)
      (gimp-selection-none image))
    (file-psd-save RUN-NONINTERACTIVE image bg \"$out/gimp_groups.psd\" \"gimp_groups.psd\" 0 0)
    (gimp-image-delete image))
  (let* ((image (car (gimp-image-new 16 12 RGB)))
         (bg (fill-layer image 0 \"bg\" 16 12 0 0 '(255 255 255) 100 LAYER-MODE-NORMAL))
         (parent 0))
    (let loop ((i 1) (parent 0))
      (if (<= i 7)
          (let ((g (group image parent (string-append \"level\" (number->string i)))))
            (fill-layer image g (string-append \"leaf\" (number->string i)) 2 2 i i
                        (list (* i 30) 100 200) 100 LAYER-MODE-NORMAL)
            (loop (+ i 1) g))))
    (file-psd-save RUN-NONINTERACTIVE image bg \"$out/gimp_deep.psd\" \"gimp_deep.psd\" 0 0)
    (gimp-image-delete image))
  (let* ((image (car (gimp-image-new 12 10 GRAY)))
         (bg (car (gimp-layer-new image 12 10 GRAYA-IMAGE \"bg\" 100 LAYER-MODE-NORMAL)))
         (dot (car (gimp-layer-new image 4 3 GRAYA-IMAGE \"dot\" 70 LAYER-MODE-NORMAL))))
    (gimp-image-insert-layer image bg 0 0)
    (gimp-context-set-foreground '(60 60 60))
    (gimp-drawable-fill bg FILL-FOREGROUND)
    (gimp-image-insert-layer image dot 0 0)
    (gimp-layer-set-offsets dot 2 5)
    (gimp-context-set-foreground '(230 230 230))
    (gimp-drawable-fill dot FILL-FOREGROUND)
    (file-psd-save RUN-NONINTERACTIVE image bg \"$out/gimp_gray.psd\" \"gimp_gray.psd\" 0 0)
    (gimp-image-convert-rgb image)
    (gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 16 FALSE FALSE \"\")
    (file-psd-save RUN-NONINTERACTIVE image bg \"$out/gimp_indexed.psd\" \"gimp_indexed.psd\" 0 0)
    (gimp-image-delete image))
  " -b '(gimp-quit 0)'

  # ag-psd: layer effects in both forms and fill layers, from another writer.
  ag=$(mktemp -d)
  (cd "$ag" && npm install --silent --no-audit --no-fund ag-psd@31.0.2 >/dev/null)
  node "$root/scripts/make-psd-agpsd.js" "$ag/node_modules/ag-psd" "$out"
  rm -rf "$ag"
fi

# Our own writer: every mode, depth, compression, mask form and tagged block
# psd-tools can read too, and the thumbnail JPEGs.
/usr/bin/python3 "$root/scripts/make-psd-writer-fixtures.py" "$out"

/usr/bin/python3 "$root/scripts/psd-expected.py" "$out"
