#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz/ (clang's libFuzzer with
# AddressSanitizer, leak checking and UndefinedBehaviorSanitizer) and runs
# each for a bounded time, starting from the seeds in fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [seconds per target, 60 when not given]
#
# QUADRIVO_FUZZ_SEED fixes libFuzzer's random seed, so that a run explores
# the same inputs each time (CI sets it); without it every run differs.
#
# The inputs libFuzzer adds go to build-fuzz/fuzz-run/<target>/corpus/,
# never to the committed seeds; an input that crashes, hangs, leaks or
# trips a sanitizer is saved in build-fuzz/fuzz-run/<target>/findings/ and
# makes the script fail. Replay one with: build-fuzz/fuzz/<target> FILE
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "uso: $0 [secondi per bersaglio]" >&2
    exit 2
fi
fuzz_seed=${QUADRIVO_FUZZ_SEED:-}
if [ -n "$fuzz_seed" ] && ! [[ "$fuzz_seed" =~ ^[1-9][0-9]*$ ]]; then
    echo "QUADRIVO_FUZZ_SEED deve essere un numero intero positivo" >&2
    exit 2
fi
build="$top/build-fuzz"
run="$build/fuzz-run"
"$top/scripts/setup.sh" --sanitizers --no-build

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUADRIVO_WERROR=ON -DQUADRIVO_FUZZ=ON -DQUADRIVO_BUILD_TESTS=OFF -DQUADRIVO_BUILD_BENCH=OFF
fi
cmake --build "$build" --target fuzz -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LC_ALL=C.UTF-8
command -v llvm-symbolizer >/dev/null && export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"
# The import target's database lives in a temporary folder: in memory when
# the machine offers it, so that its commits cost no disk writes.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

# target, longest input in bytes, seconds one input may take.
targets=(
    "fuzz_leggiriga 65536 10"
    "fuzz_leggivoce 65536 10"
    "fuzz_import 16384 30"
)

passed=0
failed=0
for entry in "${targets[@]}"; do
    read -r target max_len timeout <<<"$entry"
    dir="$run/$target"
    mkdir -p "$dir/corpus"
    rm -rf "$dir/findings"
    mkdir -p "$dir/findings"
    log="$dir/log.txt"
    echo "== $target: ${seconds} s"
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout="$timeout" \
        -rss_limit_mb=4096 -dict="$top/fuzz/quadrivo.dict" -print_final_stats=1 ${fuzz_seed:+-seed="$fuzz_seed"} \
        -artifact_prefix="$dir/findings/" "$dir/corpus" "$top/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    findings=$(find "$dir/findings" -type f | sort)
    if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
        failed=$((failed + 1))
        grep -E -A40 'Quadrivo fuzz check failed|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log" \
            | head -n 80 || tail -n 60 "$log"
        echo "$target: NON RIUSCITO (uscita $status) dopo ${executions:-?} esecuzioni; registro: $log"
        [ -z "$findings" ] || printf 'input trovato: %s\n' $findings
    else
        passed=$((passed + 1))
        echo "$target: ${executions:-?} esecuzioni in ${seconds} s, nessun problema"
    fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
