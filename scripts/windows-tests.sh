#!/usr/bin/env bash
# Builds the whole test suite and the benchmark for 64-bit Windows on the Qt
# for Windows that scripts/windows.sh keeps in its cache, and runs them
# under Wine (64-bit, a fresh WINEPREFIX, headless on Qt's offscreen
# platform).
#
#   scripts/windows-tests.sh [--bench [benchmark arguments...]]
#
# Each test program runs on its own; its QtTest totals are added up, a
# skipped test prints its reason, and the run ends with the line
# "N passed, N failed, N skipped". A program that crashes or gives no
# totals counts as one failure. With --bench it then runs the benchmark
# (quadrivo_bench.exe of the same build) with the arguments that
# follow, its floor measured under the same Wine in the same run.
# Build in build-windows/tests/, logs in build-windows/tests-log/.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench=no
if [ "${1:-}" = --bench ]; then
    bench=yes
    shift
fi

"$top/scripts/setup.sh" --no-build wine wine64 g++-mingw-w64-x86-64-posix qt6-base-dev qt6-charts-dev \
    qt6-translations-l10n libsqlite3-dev libsqlitecpp-dev bsdutils
# shellcheck source=scripts/windows-env.sh
. "$top/scripts/windows-env.sh"
for part in qtbase qtcharts sqlite sqlitecpp; do
    [ -f "$cache/$part.ok" ] || { echo "windows-tests.sh: $part per Windows manca: eseguire prima scripts/windows.sh" >&2; exit 1; }
done

build="$top/build-windows/tests"
logs="$top/build-windows/tests-log"
mkdir -p "$logs"
nice -n 10 cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUADRIVO_WERROR=ON \
    -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" \
    -DSQLiteCpp_DIR="$sqlitecpp/lib/cmake/SQLiteCpp" > "$logs/configure.log"
nice -n 10 cmake --build "$build" -j"${JOBS:-2}" > "$logs/build.log" 2>&1 \
    || { tail -30 "$logs/build.log"; echo "windows-tests.sh: compilazione non riuscita (vedi $logs/build.log)" >&2; exit 1; }

# Qt's DLLs, those of the MinGW runtime, the plugins and Qt's Italian
# texts, laid out as a Qt of their own (bin, plugins, translations): Qt
# finds its plugins and texts from where its DLLs are, and the tests find
# the DLLs through the path, as on a developer's Windows machine. Each
# image is copied as the zip's are, its sections on page boundaries.
runtime="$build/runtime"
rm -rf "$runtime"
mkdir -p "$runtime/bin" "$runtime/translations"
cp /usr/share/qt6/translations/qtbase_it.qm "$runtime/translations/"
for plugin in platforms/qoffscreen.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
    mkdir -p "$runtime/plugins/$(dirname "$plugin")"
    copy_image "$qt/plugins/$plugin" "$runtime/plugins/$(dirname "$plugin")"
    copy_dlls "$qt/plugins/$plugin" "$runtime/bin"
done
while IFS= read -r exe; do
    copy_dlls "$exe" "$runtime/bin"
done < <(find "$build" -name '*.exe' -not -path '*/CMakeFiles/*')

tmp=$(mktemp -d)
cleanup() {
    WINEPREFIX="$tmp/prefix" wineserver -k 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wineboot -i > /dev/null 2>&1 || true
export WINEPATH="Z:${runtime//\//\\}\\bin"
# Wine hands a program no variable of the Unix environment whose name
# begins with QT_: Qt's own are set in the prefix's user environment.
for setting in QT_QPA_PLATFORM=offscreen 'QT_LOGGING_RULES=qt.qpa.*=false'; do
    wine reg add 'HKCU\Environment' /v "${setting%%=*}" /d "${setting#*=}" /f < /dev/null > /dev/null 2>&1
done
wineserver -w

passed=0 failed=0 skipped=0
while IFS= read -r exe; do
    name=$(basename "$exe" .exe)
    log="$logs/$name.txt"
    status=0
    rm -f "$log"
    # QtTest writes its log itself: what a console program of Wine's prints
    # does not always reach a pipe or a file here.
    (cd "$(dirname "$exe")" && timeout 600 wine "$exe" -o "Z:${log//\//\\},txt" < /dev/null > "$log.wine" 2>&1) \
        || status=$?
    totals=$(grep -E '^Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$log" | tail -n 1 || true)
    if [ -z "$totals" ]; then
        echo "FAIL $name: nessun totale (uscita $status; vedi $log)"
        failed=$((failed + 1))
        continue
    fi
    read -r p f s <<<"$(sed -E 's/^Totals: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped.*/\1 \2 \3/' <<<"$totals")"
    passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
    echo "$name: $p passed, $f failed, $s skipped"
    grep -E '^(FAIL!|SKIP) ' -A2 "$log" | sed 's/^/    /' || true
done < <(find "$build" -name 'tst_*.exe' -not -path '*/CMakeFiles/*' | sort)
echo "$passed passed, $failed failed, $skipped skipped"

if [ "$bench" = yes ]; then
    exe=$(find "$build" -name quadrivo_bench.exe -not -path '*/CMakeFiles/*' -print -quit)
    [ -n "$exe" ] || { echo "windows-tests.sh: quadrivo_bench.exe non trovato" >&2; exit 1; }
    # Under a terminal of its own (script), so that what it prints arrives;
    # Wine's console draws it with cursor moves, made plain text again.
    (cd "$(dirname "$exe")" && script -qec "$(printf '%q ' wine "$exe" "$@")" /dev/null < /dev/null) 2>&1 \
        | perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/\r//g' | tee "$logs/bench.txt"
fi
[ "$failed" -eq 0 ]
