#!/usr/bin/env bash
# Renders the icon's four pictures from its drawing (needs rsvg-convert from
# librsvg2-bin and convert from imagemagick). The pictures are committed; run
# this after editing the SVG. The 32-pixel picture is 24-bit RGB: its edge is
# cut at half coverage and the outside kept transparent by one colour key.
set -euo pipefail
cd "$(dirname "$0")"
for size in 32 48 128 256; do
  rsvg-convert -w "$size" -h "$size" orvanta.svg -o "orvanta-$size.png"
done
convert orvanta-32.png -channel A -threshold 50% +channel -strip -define png:exclude-chunks=date,time \
  PNG24:orvanta-32.png
