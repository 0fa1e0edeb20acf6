#!/usr/bin/env bash
# Renders the PNG icons of the menu entry from packaging/linux/icons/quadrivo.svg
# (rsvg-convert, Debian package librsvg2-bin), and from them the Windows
# icon packaging/windows/quadrivo.ico (ImageMagick, package imagemagick).
# Run it after changing the SVG and commit the results, so that building
# and packaging need no renderer.
set -euo pipefail

icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/linux/icons" && pwd)
command -v rsvg-convert >/dev/null || {
    echo "rsvg-convert non trovato: installare il pacchetto librsvg2-bin" >&2
    exit 1
}
for size in 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" -o "$icons/quadrivo-$size.png" "$icons/quadrivo.svg"
done
# 256 (kept as PNG inside the icon), 48, 32 and 16 pixels, as Windows asks.
/usr/bin/convert "$icons/quadrivo-256.png" "$icons/quadrivo-48.png" "$icons/quadrivo-32.png" \
    \( "$icons/quadrivo-32.png" -resize 16x16 \) "$icons/../../windows/quadrivo.ico"
