#!/usr/bin/env bash
# Renders the PNG icons of the menu entry from packaging/linux/icons/quadrivo.svg
# (rsvg-convert, Debian package librsvg2-bin). Run it after changing the SVG
# and commit the PNGs, so that building and packaging need no renderer.
set -euo pipefail

icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/linux/icons" && pwd)
command -v rsvg-convert >/dev/null || {
    echo "rsvg-convert non trovato: installare il pacchetto librsvg2-bin" >&2
    exit 1
}
for size in 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" -o "$icons/quadrivo-$size.png" "$icons/quadrivo.svg"
done
