#!/bin/bash
# The whole sweep of the sound effects (rates x channels x slider ends and hostile records x block
# sizes x signals, each effect alone, plus the silence tails), under the sanitizers of the native tree.
# ctest runs a seeded sample of it; this runs every case.
#   soundfx/tests/run_sweep.sh [build dir]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-${TARMELO_BUILD_DIR:-$root/build}}
cmake --build "$build" --target soundfx_sweep -j4 >/dev/null
sweep=$(find "$build/soundfx" -name soundfx_sweep -type f -perm -u+x | head -1)
time "$sweep"
