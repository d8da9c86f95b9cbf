#!/bin/bash
# Sets up, builds and runs every test (native and Winelib) with one ctest.
#   tools/test.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARMELO_BUILD_DIR:-$root/build}
bash "$root/tools/setup.sh"
jobs=$(nproc)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"
cd "$build"
ctest -j"$jobs" --output-on-failure "$@"
