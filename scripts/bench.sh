#!/usr/bin/env bash
# Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
# Builds the benchmark in Release into build-bench/ and runs it headless.
# Arguments go to the benchmark, e.g. --sizes 300,3000 or --runs 1.
# Safe to run again: the build only redoes what changed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-bench"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUADRIVO_WERROR=ON
fi
cmake --build "$build" --target quadrivo_bench -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
exec "$build/bench/quadrivo_bench" "$@"
