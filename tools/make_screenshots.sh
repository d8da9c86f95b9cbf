#!/bin/bash
# Makes the README's screenshots from the program as built: tools/screenshots/take.sh drives it in the
# GUI tests' harness (private Xvfb, null sink, fresh prefix) and saves each view cropped to its window;
# tools/screenshots/finish.sh draws the main window's numbered callouts (the README's legend follows
# them) and brings every picture down to 64 colours (PNG8) to stay small in the repository.
#   tools/make_screenshots.sh [BIN_DIR [OUT_DIR]]    (defaults: build/winelib/bin, docs/images)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin_dir=$(cd "${1:-$root/build/winelib/bin}" && pwd) || { echo "no program folder ${1:-$root/build/winelib/bin}"; exit 1; }
out=${2:-$root/docs/images}
mkdir -p "$out"
# (SCREENSHOTS_RAW=DIR keeps the views as taken, before callouts and colours, in DIR.)
raw=${SCREENSHOTS_RAW:-}
[ -n "$raw" ] || { raw=$(mktemp -d); trap 'rm -rf "$raw"' EXIT; }
mkdir -p "$raw"
[ -d "$root/build/wine-template" ] && export WINE_TEMPLATE=${WINE_TEMPLATE:-$root/build/wine-template}
began=$SECONDS
WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-600} "$root/tools/wine-run.sh" --sound --gui "$root/tools/screenshots/take.sh" \
  "$bin_dir" "$raw" || { echo "make_screenshots: the program could not be driven through its views"; exit 1; }

"$root/tools/screenshots/finish.sh" "$raw" "$out" || exit 1
echo "screenshots in $out, $((SECONDS - began)) s"
