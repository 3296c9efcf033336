#!/usr/bin/env bash
# Makes the programs' desktop icons, and the Mini window's logo, from the window's logo
# (app/resources/logo.png, 100 x 100):
# the logo itself for TolviNumbers3, and the logo with a "mini" tag for TolviNumbersMini, each
# at the hicolor sizes 48, 64 and 96 (the logo is not drawn larger than it is). The larger sizes,
# 128 and 256, are drawn from the scalable icons tolvi-numbers3.svg and tolvi-numbersmini.svg with
# rsvg-convert (librsvg2-bin; the text in DejaVu Sans Bold, fonts-dejavu-core).
# The PNGs are kept in the repository; run this again only when the logo or an SVG changes.
set -euo pipefail
cd "$(dirname "$0")"
logo=../resources/logo.png
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
# The logo's corners outside its rounded tile become transparent.
corners=(-fuzz 12% -fill none)
for corner in 0,0 99,0 0,99 99,99; do
  corners+=(-draw "color $corner floodfill")
done

convert "$logo" -alpha on "${corners[@]}" tolvi-numbers3-100.png
convert "$logo" -alpha on "${corners[@]}" \
  -fill '#f46036' -stroke white -strokewidth 2 -draw 'roundrectangle 52,2 98,24 6,6' \
  -stroke none -fill white -font "$font" -pointsize 15 -gravity northeast -annotate +7+4 'mini' \
  tolvi-numbersmini-100.png

# The Mini window's own logo (Image1 of its side panel): the logo with the same tag, kept as a
# 16-colour bitmap like the logo.
convert "$logo" \
  -fill '#f46036' -stroke white -strokewidth 2 -draw 'roundrectangle 52,2 98,24 6,6' \
  -stroke none -fill white -font "$font" -pointsize 15 -gravity northeast -annotate +7+4 'mini' \
  -colors 16 PNG8:../resources/logo-mini.png

for name in tolvi-numbers3 tolvi-numbersmini; do
  for size in 48 64 96; do
    convert "$name-100.png" -filter Lanczos -resize "${size}x${size}" "$name-$size.png"
  done
  rm "$name-100.png"
done
for name in tolvi-numbers3 tolvi-numbersmini; do
  for size in 128 256; do
    rsvg-convert --width "$size" --height "$size" "$name.svg" --output "$name-$size.png"
  done
done
