#!/usr/bin/env bash
# Renders the PNG icons from velk.svg (ImageMagick); run after editing the SVG.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for s in 16 22 24 32 48 64 128 256; do
    convert -background none -density 300 velk.svg -resize "${s}x${s}" "png32:velk-$s.png"
done
