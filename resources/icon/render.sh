#!/usr/bin/env bash
# Renders the icon's four pictures from its drawing (needs rsvg-convert from
# librsvg2-bin). The pictures are committed; run this after editing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 32 48 128 256; do
  rsvg-convert -w "$size" -h "$size" orvanta.svg -o "orvanta-$size.png"
done
