#!/usr/bin/env bash
# Sets up, builds and starts Quadrivo in a data folder (./data by default,
# or the folder given), seeded with example files where they are absent.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh"

data=${1:-"$top/data"}
mkdir -p "$data"
for f in Gradi.txt Esempio1.txt Esempio2.txt; do
    [ -e "$data/$f" ] || cp "$top/examples/$f" "$data/$f"
done
cd "$data"
exec "$top/build/quadrivo"
