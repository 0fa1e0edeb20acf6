#!/usr/bin/env bash
# Installs what Quadrivo needs on Debian 12 (only what is missing) and
# builds it into build/. Safe to run again: it does nothing it need not do.
#
#   scripts/setup.sh [--sanitizers] [--package] [--no-build] [package...]
#
# --sanitizers (implied when CI is set) also installs what the sanitizer
# pass and the fuzz targets need: clang, its sanitizer and libFuzzer
# runtimes, and llvm-symbolizer for readable reports. --package (implied
# when CI is set) installs what building and validating the Debian package
# needs. --no-build only installs. Further arguments are more Debian
# packages to install.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# qt6-charts-dev needs libqt6opengl6-dev for its CMake package but does not
# depend on it in Debian 12.
packages=(cmake ninja-build g++ qt6-base-dev libsqlite3-dev libsqlitecpp-dev qt6-translations-l10n qt6-charts-dev
          libqt6opengl6-dev fonts-liberation)
sanitizer_packages=(clang libclang-rt-14-dev llvm)
package_packages=(dpkg-dev file desktop-file-utils appstream)

build=yes
sanitizers=no
packaging=no
[ -z "${CI:-}" ] || sanitizers=yes packaging=yes
for arg in "$@"; do
    case "$arg" in
        --sanitizers) sanitizers=yes ;;
        --package) packaging=yes ;;
        --no-build) build=no ;;
        *) packages+=("$arg") ;;
    esac
done
[ "$sanitizers" = no ] || packages+=("${sanitizer_packages[@]}")
[ "$packaging" = no ] || packages+=("${package_packages[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installazione dei pacchetti mancanti: ${missing[*]}"
    $sudo apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

[ "$build" = yes ] || exit 0

if [ ! -f "$top/build/build.ninja" ]; then
    cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRIVO_WERROR=ON
fi
cmake --build "$top/build" -j "$(nproc)"
