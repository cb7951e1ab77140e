#!/usr/bin/env bash
# Draws the product logo of the About window with ImageMagick:
#   assets/about/make-logo.sh [output.jpg]
# The result is a baseline JFIF JPEG of 200 x 60 pixels with three colour
# components, the only kind the About window's decoder is asked to read. It
# is committed beside this script (logo.jpg); run the script again after
# changing the drawing. The background is white like the strip the logo sits
# on, and the last row stays white because the strip's client area shows only
# 59 of the picture's 60 rows below its two-pixel margin.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/logo.jpg}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The emblem: a rounded tile in a blue-to-teal gradient holding a white,
# stylised package (a box with its lid folded open) drawn with strokes.
convert -size 46x46 -define gradient:angle=135 gradient:'#1d4f91-#1aa39a' "$work/gradient.png"
convert -size 46x46 xc:none -fill white -draw "roundrectangle 0,0 45,45 9,9" "$work/tile-mask.png"
convert "$work/gradient.png" "$work/tile-mask.png" -alpha off -compose CopyOpacity -composite "$work/tile.png"
convert "$work/tile.png" \
  -stroke white -strokewidth 2.5 -fill none \
  -draw "polygon 12,20 23,25 34,20 23,15" \
  -draw "polyline 12,20 12,32 23,37 34,32 34,20" \
  -draw "line 23,25 23,37" \
  -draw "polyline 12,20 8,14 19,10 23,15" \
  -draw "polyline 34,20 38,14 27,10 23,15" \
  "$work/emblem.png"

convert -size 200x60 xc:white \
  "$work/emblem.png" -geometry +6+6 -composite \
  -font DejaVu-Sans-Bold -pointsize 22 -fill '#1d3557' -annotate +60+29 'Quorvel' \
  -font DejaVu-Sans -pointsize 11 -fill '#4a5a6a' -annotate +61+45 'EXE Packager' \
  -fill '#1aa39a' -stroke none -draw "rectangle 61,50 190,51" \
  -fill white -draw "rectangle 0,59 199,59" \
  -alpha off -colorspace sRGB -type TrueColor \
  -strip -interlace none -sampling-factor 2x2,1x1,1x1 -quality 92 \
  "JPEG:$out"
echo "$out"
