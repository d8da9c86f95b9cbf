#!/bin/bash
# Builds a Release tree of the Winelib half (the portable libraries without sanitizers, then the
# conversion bench and the DLLs it loads) and runs the bench under Wine with a private X server.
#   bench/convert/run_convert_bench.sh [seconds] [runs] [kind]
# Defaults: a 60 s source, the median of 3 runs, every output kind (a part of a kind's name picks
# one, "H.264" for instance). A quick look: run_convert_bench.sh 5 1.
# The tree goes to $TARMELO_BENCH_DIR (default: build-bench in the checkout); the bench's whole output
# (the host's statuses, ffmpeg's complaints) goes to convert_bench.log there, the result rows to the
# terminal. The run is bounded by $TARMELO_BENCH_TIMEOUT seconds (default 4 hours: wine-run.sh's own
# 240 s would cut a 60 s bench of every kind long before its first row).
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
log=$build/convert_bench.log
echo "[bench] load before: $(cut -d' ' -f1-3 /proc/loadavg); whole output in $log"
set +e
WINE_TEMPLATE="$build/wine-template" WINE_RUN_TIMEOUT=${TARMELO_BENCH_TIMEOUT:-14400} \
  bash "$root/tools/wine-run.sh" --x "$build/winelib/bin/convert_bench.exe" "$@" >"$log" 2>&1
rc=$?
set -e
grep -a '^\[bench\]' "$log"
echo "[bench] load after: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "$rc" != 0 ]; then
  [ "$rc" = 124 ] && echo "[bench] stopped: the run took longer than ${TARMELO_BENCH_TIMEOUT:-14400} s"
  echo "[bench] exit code $rc; the log's last lines:"
  tail -n 5 "$log"
fi
exit "$rc"
