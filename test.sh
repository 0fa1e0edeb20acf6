#!/usr/bin/env bash
# Checks that every include points down (scripts/check-layers.sh), then
# sets up, builds and runs every test headless (Qt's offscreen platform).
# With CI set (CI=true in CI) it then also runs the sanitizer pass
# (scripts/sanitize.sh), a short fuzz run (scripts/fuzz.sh, 20 seconds a
# target) and builds and validates the Debian package (scripts/package.sh,
# scripts/validate-package.sh), and ends with one line that counts every
# test, sanitized test, fuzz target and package check that passed or failed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$top/scripts/check-layers.sh"

if [ -z "${CI:-}" ]; then
    "$top/scripts/setup.sh"
    exec ctest --test-dir "$top/build" --output-on-failure -j "$(nproc)"
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
passed=0
failed=0

# Adds the counts of the CTest summary in the log; a stage that ended
# before its summary counts as one failure.
count_ctest() {
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1 || true)
    if [ -z "$summary" ]; then
        failed=$((failed + 1))
        return
    fi
    local bad total
    bad=$(sed -E 's/^.* ([0-9]+) tests? failed out of.*$/\1/' <<<"$summary")
    total=$(sed -E 's/^.* out of ([0-9]+).*$/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

status=0
echo "=== Suite normale"
{ "$top/scripts/setup.sh" && ctest --test-dir "$top/build" --output-on-failure -j "$(nproc)"; } 2>&1 \
    | tee "$logs/normal.txt" || status=1
count_ctest "$logs/normal.txt"

echo "=== Sanitizer (AddressSanitizer, LeakSanitizer, UndefinedBehaviorSanitizer)"
"$top/scripts/sanitize.sh" 2>&1 | tee "$logs/sanitize.txt" || status=1
count_ctest "$logs/sanitize.txt"

echo "=== Fuzz (20 s per bersaglio)"
QUADRIVO_FUZZ_SEED=1 "$top/scripts/fuzz.sh" 20 2>&1 | tee "$logs/fuzz.txt" || status=1
fuzz=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed$' "$logs/fuzz.txt" | tail -n 1 || true)
if [ -n "$fuzz" ]; then
    read -r fuzz_passed fuzz_failed <<<"$(sed -E 's/^fuzz: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/' <<<"$fuzz")"
    passed=$((passed + fuzz_passed))
    failed=$((failed + fuzz_failed))
else
    failed=$((failed + 1))
fi

echo "=== Pacchetto Debian (scripts/package.sh, desktop-file-validate, appstreamcli validate)"
: >"$logs/package.txt"
if "$top/scripts/package.sh" 2>&1 | tee "$logs/package-build.txt"; then
    "$top/scripts/validate-package.sh" "$(tail -n 1 "$logs/package-build.txt")" 2>&1 \
        | tee "$logs/package.txt" || status=1
else
    status=1
fi
package=$(grep -E '^package: [0-9]+ passed, [0-9]+ failed$' "$logs/package.txt" | tail -n 1 || true)
if [ -n "$package" ]; then
    read -r package_passed package_failed <<<"$(sed -E 's/^package: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/' <<<"$package")"
    passed=$((passed + package_passed))
    failed=$((failed + package_failed))
else
    failed=$((failed + 1))
fi

[ "$failed" -eq 0 ] || status=1
echo
grep -E '^[0-9]+% tests passed' "$logs/normal.txt" | sed 's/^/Suite normale: /' || true
grep -E '^[0-9]+% tests passed' "$logs/sanitize.txt" | sed 's/^/Sanitizer: /' || true
[ -z "$fuzz" ] || echo "Fuzz: ${fuzz#fuzz: }"
[ -z "$package" ] || echo "Pacchetto Debian: ${package#package: }"
echo "totale: $passed passed, $failed failed"
exit "$status"
