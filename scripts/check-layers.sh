#!/usr/bin/env bash
# Keeps the includes of the program to the table of layers in
# CONTRIBUTING.md: every `#include "folder/File.h"` under src/ must name
# the file's own folder or one that the file's row of the table lists as
# "may include". A folder the table does not list, an include that names
# no folder, or a row that lists a folder standing above it fails too, and
# so does a file under src/ of more than 300 lines.
#
#   scripts/check-layers.sh
#
# Prints one line for each include out of place and exits 1 when there is
# any; prints one line and exits 0 when all point down.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
table="$top/CONTRIBUTING.md"

# The table's rows: | level | `folder` | target | links | may include |
declare -A level allowed
rows=0
while IFS='|' read -r _ lvl folder _ _ may _; do
    lvl=${lvl//[[:space:]]/}
    [[ "$lvl" =~ ^[0-9]+$ ]] || continue
    folder=$(sed -n 's/^ *`src\/\([^`]*\)`.*$/\1/p' <<<"$folder")
    [ -n "$folder" ] || continue
    level[$folder]=$lvl
    allowed[$folder]=" $({ grep -o '`[^`]*`' <<<"$may" || true; } | tr -d '`' | tr '\n' ' ')"
    rows=$((rows + 1))
done < <(sed -n '/^## Layers/,/^## /p' "$table")
[ "$rows" -gt 0 ] || { echo "check-layers: nessuna tabella dei livelli in $table" >&2; exit 1; }

faults=0
fault() { echo "$*"; faults=$((faults + 1)); }

# The table itself points down: a row may list only folders below it.
for folder in "${!level[@]}"; do
    for other in ${allowed[$folder]}; do
        if [ -z "${level[$other]:-}" ]; then
            fault "CONTRIBUTING.md: la riga di $folder nomina $other, che la tabella non elenca"
        elif [ "${level[$other]}" -ge "${level[$folder]}" ]; then
            fault "CONTRIBUTING.md: $folder (livello ${level[$folder]}) non può includere $other (livello ${level[$other]})"
        fi
    done
done

while IFS= read -r -d '' file; do
    rel=${file#"$top"/}
    lines=$(wc -l < "$file")
    [ "$lines" -le 300 ] || fault "$rel: $lines righe, più di 300"
    own=$(dirname "${rel#src/}")
    if [ -z "${level[$own]:-}" ]; then
        fault "$rel: la cartella $own non è nella tabella dei livelli di CONTRIBUTING.md"
        continue
    fi
    while IFS= read -r inc; do
        case "$inc" in
        */*) ;;
        *) fault "$rel: #include \"$inc\" non nomina la sua cartella"; continue ;;
        esac
        dir=$(dirname "$inc")
        [ "$dir" != "$own" ] || continue
        if [ -z "${level[$dir]:-}" ]; then
            fault "$rel: #include \"$inc\": la cartella $dir non è nella tabella dei livelli"
        elif [[ "${allowed[$own]}" != *" $dir "* ]]; then
            fault "$rel: #include \"$inc\": $own (livello ${level[$own]}) non può includere $dir (livello ${level[$dir]})"
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*$/\1/p' "$file")
done < <(find "$top/src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$faults" -gt 0 ]; then
    [ "$faults" -eq 1 ] && echo "check-layers: 1 problema" || echo "check-layers: $faults problemi"
    exit 1
fi
echo "check-layers: ogni include punta verso il basso (${rows} cartelle)"
