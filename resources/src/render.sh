#!/usr/bin/env sh
# Renders the hand-drawn SVG sources to the pictures the program compiles in (resources/<id>.png),
# each at the size its viewBox gives. Needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for source in *.svg; do
  rsvg-convert "$source" -o "../${source%.svg}.png"
done
