#!/usr/bin/env bash
# Renders the program icon (data/icons/korvane.svg) to the PNG sizes the
# desktop looks for; run after changing the drawing and commit the PNGs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$root/data/icons/korvane.svg" \
    -o "$root/data/icons/korvane-$size.png"
done
