#!/bin/bash
# Sets up, builds and starts tarmelo. With $DISPLAY set the window opens there; without one it opens
# on a private virtual display and a screenshot of the window is saved and its path printed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARMELO_BUILD_DIR:-$root/build}
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

bin=$build/winelib/bin
export LC_ALL=zh_CN.UTF-8 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# The program keeps its own prefix (settings, lists) under the build tree, made from the template.
export WINEPREFIX=${TARMELO_WINEPREFIX:-$build/run-prefix}
if [ ! -f "$WINEPREFIX/.ready" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$build/wine-template" "$WINEPREFIX"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$bin/tarmelo.exe" "$@"
fi

work=$(mktemp -d); xvfb=""; app=""
stop() {
  set +e   # every step of the clean-up must run
  [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
# Armed before anything starts, so an interrupt at any point stops what was started.
trap stop EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "run: the virtual display did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
"$bin/tarmelo.exe" "$@" &
app=$!
"$bin/winprobe.exe" wait 'Orvane多媒体MP4转换器' 60 >/dev/null
sleep 1
shot=$build/tarmelo-window.png
import -window root "$shot"
echo "tarmelo is running on the private display $DISPLAY; screenshot of its window: $shot"
if [ -t 0 ]; then
  echo "Press Enter to close it."
  read -r _
fi
"$bin/winprobe.exe" close 'Orvane多媒体MP4转换器' >/dev/null 2>&1 || true
wait "$app" 2>/dev/null || true
