#!/bin/bash
# The wave scope's cost: tarmelo plays a 60 s 720 x 576 MPEG-2 program stream (25 fps, MP2 sound,
# made by ffmpeg) through its own dialog; the processor time of the wave-scope thread is compared with
# the playback thread's of the same run (both read from outside by winprobe, which holds the threads
# so their times stay readable after they end). Target: the scope at most 5% of the playback. A
# loaded machine plays slower than real time; the figure is a ratio of processor times and stands.
#   bench/ui/run_ui_bench.sh [WINELIB_BIN_DIR]
# Without a folder it builds a Release Winelib tree in /tmp/tarmelo-ui-bench (as the other benches
# take their figures from Release builds) and runs from its bin folder.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=${1:-}
if [ -z "$bin" ]; then
  tree=${TARMELO_UI_BENCH_TREE:-/tmp/tarmelo-ui-bench}
  cmake -S "$root" -B "$tree/portable" -DCMAKE_BUILD_TYPE=Release -DTARMELO_PORTABLE_ONLY=ON -DTARMELO_SANITIZE=OFF >/dev/null
  cmake -S "$root" -B "$tree/winelib" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/winelib-toolchain.cmake" \
    -DTARMELO_PORTABLE_LIB_DIR="$tree/portable/lib" >/dev/null
  cmake --build "$tree/portable" -j"$(nproc)"
  cmake --build "$tree/winelib" -j"$(nproc)"
  bin=$tree/winelib/bin
  export WINE_TEMPLATE=$tree/winelib/wine-template
fi
exec bash "$root/tools/wine-run.sh" --sound --gui "$here/ui_bench_body.sh" "$bin"
