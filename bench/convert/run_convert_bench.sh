#!/bin/bash
# Builds a Release tree of the Winelib half (the portable libraries without sanitizers, then the
# conversion bench and the DLLs it loads) and runs the bench under Wine with a private X server.
#   bench/convert/run_convert_bench.sh [seconds] [runs]
# The tree goes to $TARMELO_BENCH_DIR (default: build-bench in the checkout).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${TARMELO_BENCH_DIR:-$root/build-bench}
jobs=${TARMELO_BENCH_JOBS:-4}
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build/portable" -DCMAKE_BUILD_TYPE=Release -DTARMELO_PORTABLE_ONLY=ON \
  -DTARMELO_SANITIZE=OFF >/dev/null
cmake --build "$build/portable" -j"$jobs"
cmake -S "$root" -B "$build/winelib" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/winelib-toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTARMELO_TEMPLATE_PREFIX="$build/wine-template" \
  -DTARMELO_PORTABLE_LIB_DIR="$build/portable/lib" >/dev/null
cmake --build "$build/winelib" -j"$jobs" --target convert_bench wine_template
WINE_TEMPLATE="$build/wine-template" bash "$root/tools/wine-run.sh" --x \
  "$build/winelib/bin/convert_bench.exe" "$@" | grep '^\[bench\]'
