#!/usr/bin/env bash
# The sanitizer pass: builds the whole project with clang, AddressSanitizer
# (leak checking included) and UndefinedBehaviorSanitizer in build-asan/ and
# runs every test under them. Any report fails the test that caused it.
# Safe to run again: it configures once and rebuilds only what changed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-asan"
"$top/scripts/setup.sh" --sanitizers --no-build

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUADRIVO_WERROR=ON -DQUADRIVO_SANITIZE=ON -DQUADRIVO_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$(nproc)"

# Every leak counts: no report is suppressed, Qt's and the font libraries'
# included, since none shows up with the offscreen platform.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
command -v llvm-symbolizer >/dev/null && export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"

ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
