#!/usr/bin/env sh
# Renders the hand-drawn SVG sources to the pictures the program compiles in (resources/<id>.png),
# each at the size its viewBox gives, and the program's icon (128) to the larger sizes of the
# desktop icon (dist/icons/hicolor). The desktop icon's 16 and 32 pixel sizes are the window
# icon's own pictures, so the two are the same picture. Needs rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for source in *.svg; do
  rsvg-convert "$source" -o "../${source%.svg}.png"
done
for size in 48 64 128 256; do
  mkdir -p "../../dist/icons/hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" 128.svg \
    -o "../../dist/icons/hicolor/${size}x${size}/apps/org.lunaret.Lunaret.png"
done
