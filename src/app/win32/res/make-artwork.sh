#!/usr/bin/env bash
# Draws the Windows dialog's pictures with ImageMagick: the numbered step badges, the word-mark
# and the application icon (the same drawing as ../../tessel.svg). The results are kept in the
# repository; run this again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
magick=/usr/bin/convert
grey='rgb(220,220,220)'   # the dialog's background, so the pictures need no transparency

badge() {
  "$magick" -size 29x29 "xc:$grey" -fill '#2f72cc' -stroke '#16428a' -strokewidth 1 \
    -draw 'circle 14,14 14,1' -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 17 \
    -gravity center -annotate +0+0 "$1" -type TrueColor "BMP3:badge$1.bmp"
}
badge 1
badge 2

"$magick" -size 143x33 "xc:$grey" -fill '#3f9f48' -stroke '#236e2e' -strokewidth 1 \
  -draw 'roundrectangle 1,1 141,31 8,8' -stroke none -fill white -font DejaVu-Sans-Bold \
  -pointsize 22 -gravity center -annotate +0+0 'Tessel' -type TrueColor BMP3:wordmark.bmp

# The icon at the sizes Windows asks for, drawn from the same tiles as the desktop icon.
icon_layer() {
  local s=$1
  "$magick" -size 64x64 xc:none -fill '#1f3b63' -draw 'roundrectangle 2,2 61,61 12,12' \
    -fill '#4a8fe7' -draw 'roundrectangle 11,11 30,30 4,4' -draw 'roundrectangle 33,33 52,52 4,4' \
    -fill '#5fbf5a' -draw 'roundrectangle 33,11 52,30 4,4' -draw 'roundrectangle 11,33 30,52 4,4' \
    -resize "${s}x${s}" "PNG32:icon-$s.png"
}
sizes=(16 24 32 48 64 256)
for s in "${sizes[@]}"; do icon_layer "$s"; done
"$magick" $(printf 'icon-%s.png ' "${sizes[@]}") tessel.ico
rm -f icon-*.png
