#!/usr/bin/env bash
# Validates what a Debian package of Quadrivo ships for the desktop: its
# desktop entries with desktop-file-validate and its AppStream metainfo
# with `appstreamcli validate --no-net` (a file passes with no error and no
# warning). Ends with a line `package: N passed, N failed`: the package
# itself (it must hold one of each) and each file validated.
#
#   scripts/validate-package.sh quadrivo_<version>_<architecture>.deb
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "uso: $0 pacchetto.deb" >&2
    exit 2
fi
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$1" "$tree"

passed=0
failed=0
result() { # result OK DESCRIPTION
    if [ "$1" = yes ]; then
        passed=$((passed + 1))
        echo "$2: valido"
    else
        failed=$((failed + 1))
        echo "$2: NON VALIDO"
    fi
}

shopt -s nullglob
desktops=("$tree"/usr/share/applications/*.desktop)
metainfos=("$tree"/usr/share/metainfo/*.metainfo.xml)
if [ ${#desktops[@]} -eq 1 ] && [ ${#metainfos[@]} -eq 1 ]; then
    result yes "$(basename "$1") (una voce di menu e un file metainfo)"
else
    result no "$(basename "$1") (voci di menu: ${#desktops[@]}, file metainfo: ${#metainfos[@]}; ne serve uno per tipo)"
fi
for f in "${desktops[@]}"; do
    ok=yes
    desktop-file-validate "$f" || ok=no
    result "$ok" "desktop-file-validate ${f#"$tree"}"
done
for f in "${metainfos[@]}"; do
    ok=yes
    appstreamcli validate --no-net "$f" || ok=no
    result "$ok" "appstreamcli validate --no-net ${f#"$tree"}"
done

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
