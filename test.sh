#!/usr/bin/env bash
# Sets up, builds and runs every test headless (Qt's offscreen platform).
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh"
ctest --test-dir "$top/build" --output-on-failure -j "$(nproc)"
