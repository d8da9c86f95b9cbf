#!/bin/bash
# Starts tarmelo.exe under the private Xvfb of wine-run.sh, finds its window by the Chinese caption,
# takes a screenshot, checks that the Chinese status text draws as glyphs, and closes the program,
# which must exit with code 0.
#   app_start_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
bin=$1; artifacts=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
export TARMELO_MODAL_LOG=$WORK/modal.log

# The program keeps its settings beside itself: give this run a program folder of its own.
app_dir=$WORK/app
mkdir -p "$app_dir"
for f in "$bin"/*; do ln -s "$f" "$app_dir/"; done
bin=$app_dir

"$bin/tarmelo.exe" >"$WORK/app.out" 2>&1 &
app=$!
fail() { echo "FAIL: $*"; cat "$WORK/app.out"; kill "$app" 2>/dev/null; exit 1; }

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "$caption" | head -1)
[ -n "$wid" ] || fail "no window titled $caption"
"$bin/winprobe.exe" wait "$caption" 30 >/dev/null || fail "winprobe cannot see the window"
sleep 1   # let the first paint finish
"$bin/winprobe.exe" controls "$caption" >"$WORK/controls.txt" || fail "no controls"
import -window root "$artifacts/tarmelo-start.png" || fail "no screenshot"

# The caption's buttons are the skin's (close 27 from the right edge, button 1 49, button 4 116), not
# the platform's: the screen shows each strip's first cell.
read -r _ wl wt ww _ < <("$bin/winprobe.exe" wait "$caption" 5)
for button in "skin_button_close 27 5" "skin_button_min 49 5" "skin_button_colour 116 6"; do
  read -r name from_right top <<<"$button"
  want=$(convert "$here/controls/res/$name.bmp" -format '%[hex:p{3,10}]' info: | cut -c1-6)
  got=$(convert "$artifacts/tarmelo-start.png" -format "%[hex:p{$((wl + ww - from_right + 3)),$((wt + top + 10))}]" info: | cut -c1-6)
  [ -n "$want" ] && [ "$want" = "$got" ] || fail "caption button $name shows $got, the skin's is $want"
done

# The status line (control 1008) starts with six different Chinese characters.
# (The file page inside the tab control has a button 1008 too: the status line is the static one.)
read -r _ _ x y w h _ < <(grep -a '^1008 Static ' "$WORK/controls.txt")
[ -n "${h:-}" ] || fail "status line not found"
convert "$artifacts/tarmelo-start.png" -crop "${w}x${h}+${x}+${y}" +repage "$artifacts/status-line.png"
python3 "$here/tools/glyph_check.py" "$artifacts/status-line.png" 6 || fail "Chinese text is not drawn as glyphs"

"$bin/winprobe.exe" close "$caption" || fail "cannot close"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app"; rc=$?
echo "tarmelo exit code $rc"
[ "$rc" = 0 ] || fail "exit code $rc"
[ ! -s "$WORK/modal.log" ] || fail "unexpected message box: $(cat "$WORK/modal.log")"
# A first start writes the settings file with its defaults, the UI colour among them.
[ -f "$app_dir/pravolin.ini" ] || fail "no pravolin.ini after the first start"
iconv -f GBK -t UTF-8 "$app_dir/pravolin.ini" | grep -q '^软件界面颜色=' || fail "pravolin.ini lacks the UI colour"
echo "PASS: window, glyphs, clean exit; screenshot $artifacts/tarmelo-start.png"
