#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/ (without the
# tests and the benchmark), then CPack's DEB generator writes
# build-package/quadrivo_<version>_<architecture>.deb and this script prints
# its path on the last line.
#
#   scripts/package.sh
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-package

"$top/scripts/setup.sh" --no-build --package

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUADRIVO_WERROR=ON \
    -DQUADRIVO_BUILD_TESTS=OFF \
    -DQUADRIVO_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/quadrivo_*.deb
(cd "$build" && cpack -G DEB)

deb=$(ls "$build"/quadrivo_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "$deb"
