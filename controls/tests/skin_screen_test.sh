#!/bin/bash
# Screenshot and drag test of a skinned dialog (run by wine-run.sh --gui: DISPLAY and WORK are set).
#   skin_screen_test.sh skin_gui_test.exe
# The program prints the window's place and the colours that must be on screen; the screenshot must
# show them, and dragging the client area must move the window by the mouse's way.
set -u
"$1" --show > "$WORK/out" 2>&1 &
APP=$!
fail=0
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^SkinTest$' | head -1) || { echo "no window"; cat "$WORK/out"; exit 1; }
for _ in $(seq 100); do grep -q '^READY' "$WORK/out" && break; sleep 0.1; done
sleep 0.5
import -window root "$WORK/shot.png"
while read -r _ x y want what; do
  got=$(convert "$WORK/shot.png" -format "%[hex:p{$x,$y}]" info: | cut -c1-6)
  if [ "$got" = "$want" ]; then echo "ok   $what ($x,$y) $got"; else echo "FAIL $what ($x,$y) want $want got $got"; fail=1; fi
done < <(grep '^PIXEL' "$WORK/out")

read -r _ left top _ _ < <(grep '^WINDOW' "$WORK/out")
sx=$((left + 200)); sy=$((top + 150))
xdotool mousemove "$sx" "$sy"; sleep 0.2
xdotool mousedown 1; sleep 0.3
for step in 1 2 3 4 5 6; do xdotool mousemove $((sx + 10 * step)) $((sy + 7 * step)); sleep 0.1; done
sleep 0.3
xdotool mouseup 1; sleep 0.5
xdotool mousemove $((sx + 60)) $((sy + 42)); sleep 0.2
xdotool key Escape
for _ in $(seq 100); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
kill "$APP" 2>/dev/null
wait "$APP" 2>/dev/null
read -r _ fl ft _ _ < <(grep '^FINAL' "$WORK/out")
echo "moved from $left,$top to ${fl:-?},${ft:-?}"
if [ "${fl:-x}" != $((left + 60)) ] || [ "${ft:-x}" != $((top + 42)) ]; then echo "FAIL drag"; fail=1; fi
[ $fail = 0 ] && echo "skin screen test passed"
exit $fail
