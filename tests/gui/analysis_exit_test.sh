#!/bin/bash
# Exit while a file's analysis runs: a 10-minute SWF (its analysis decodes every picture) is added and
# the list saved, so its index file stays; about a second later Exit. Ten runs: the program ends with
# exit code 0 and no crash output, and the index file is either absent or a complete index (every
# entry, each thumbnail whole, the trailer exact). Then, in one more start, the row is removed while
# its analysis runs, twice: each time the analysis thread ends and no thread is left behind.
# Under Wine most of a GUI test's time is Wine starting a process, and winprobe is one: the first run
# finds the buttons with winprobe, the others click them with xdotool at the same places in the
# program's window and watch the program folder for the index file.
#   analysis_exit_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"

own_program_folder "$src_bin"

media=$WORK/media
mkdir -p "$media"
ffmpeg -v error -f lavfi -i testsrc2=size=320x240:rate=10 -t 600 -c:v flv -g 10 -an -f swf "$media/long.swf" \
  || fail "no fixture"
winpath="Z:$(echo "$media/long.swf" | tr / '\\')"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=$winpath

# The index file's whole layout: header, entries each followed by its thumbnail, the two-block trailer.
check_index() {
  python3 - "$1" <<'PY' || fail "index file $1 is not whole"
import struct, sys
b = open(sys.argv[1], 'rb').read()
codec, w, h, fps, n = struct.unpack_from('<iiidi', b, 0)
at = 24
assert 0 < w <= 4096 and 0 < h <= 4096 and n > 0, (w, h, n)
thumbs = 0
for _ in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    assert 0 <= size <= 34 * 1024, size
    at += 28 + size
    thumbs += size > 0
    assert at <= len(b)
for _ in range(2):
    l = struct.unpack_from('<i', b, at)[0]
    assert 0 <= l <= 512
    at += 4 + l
assert at == len(b), (at, len(b))
# A key picture a second, each with a thumbnail when the analysis ends: fewer means it was stopped.
assert thumbs < n // 10, ("the analysis had ended before Exit", n, thumbs)
print("index: %d entries, %d thumbnails" % (n, thumbs))
PY
}

# The program's window (X id) once it is shown, and its place on the screen.
window=""
find_window() {
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "$caption" | head -1)
  [ -n "$window" ] || fail "no window titled $caption"
}
window_origin() { xdotool getwindowgeometry "$window" | awk '/Position/ { split($2, p, ","); print p[1], p[2] }'; }
# Button offsets from the window's origin: Add, Save (list page) and Exit, measured in the first run.
declare -A offset
measure_buttons() {
  local ox oy x y w h
  read -r ox oy < <(window_origin)
  for id in 1003/1006 1003/1009 1036; do
    read -r x y w h < <(probe client "$caption" "$id")
    [ -n "$h" ] || fail "no place for button $id"
    offset[$id]="$((x + w / 2 - ox)) $((y + h / 2 - oy))"
  done
}
press() {
  local ox oy dx dy
  read -r ox oy < <(window_origin)
  read -r dx dy <<<"${offset[$1]}"
  xdotool mousemove $((ox + dx)) $((oy + dy)) click 1
}
crashed() { grep -qiE "unhandled exception|page fault|backtrace|assertion" "$WORK/app.out"; }

for run in $(seq 10); do
  t0=$SECONDS
  rm -rf "$bin/dat" "$bin/mpgmp4info.dat"
  : >"$TARMELO_MODAL_LOG"
  "$bin/tarmelo.exe" >"$WORK/app.out" 2>&1 &
  app=$!
  find_window
  sleep 1
  [ "$run" = 1 ] && measure_buttons
  t1=$SECONDS
  press 1003/1006
  wait_until '[ -n "$(ls "$bin"/dat/ 2>/dev/null)" ]' 60 || fail "run $run: no index file after Add; modal log: $(cat "$TARMELO_MODAL_LOG")"
  press 1003/1009
  sleep 1
  [ "$run" = 1 ] && shot analysis-running
  t2=$SECONDS
  press 1036
  for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "run $run: still running 15 s after Exit"
  wait "$app"; rc=$?
  [ "$rc" = 0 ] || fail "run $run: exit code $rc"
  crashed && fail "run $run: crash output"
  [ -s "$bin/mpgmp4info.dat" ] || fail "run $run: the list was not saved before Exit"
  echo "run $run: start $((t1 - t0)) s, Add to Exit $((t2 - t1)) s, Exit $((SECONDS - t2)) s"
  index=$(ls "$bin"/dat/* 2>/dev/null | head -1)
  if [ -n "$index" ]; then check_index "$index"; else echo "run $run: no index file"; fi
done
# The thread count of the program's Wine process: each Win32 thread of it is one Linux task.
threads() { ls "/proc/$1/task" | wc -l; }

rm -rf "$bin/dat" "$bin/mpgmp4info.dat"
start_program
pid=$(program_pid)
[ -n "$pid" ] || fail "no Wine process for the program"
sleep 2
start_threads=$(threads "$pid")
before=100000   # the first pass may make threads Wine keeps (its own helpers); the second may not
for pass in 1 2; do
  click 1003/1006
  wait_until '[ "$(rows | wc -l)" = 1 ]' 30 || fail "pass $pass: no row after Add; modal log: $(cat "$TARMELO_MODAL_LOG")"
  sleep 1
  during=$(threads "$pid")
  "$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
  click 1003/1008
  wait_until '[ -z "$(rows)" ]' 10 || fail "pass $pass: the row was not removed"
  # The analysis stops at its next entry; its thread is gone, and no other is left from the pass.
  wait_until '[ "$(threads "$pid")" -lt "$during" ] && [ "$(threads "$pid")" -le "$before" ]' 20 ||
    fail "pass $pass: $start_threads threads at the start, $during during the analysis, $(threads "$pid") after the row went"
  echo "pass $pass: threads $start_threads at the start, $during during the analysis, $(threads "$pid") after the row went"
  before=$(threads "$pid")
done
exit_program
crashed && fail "crash output after removing rows"
echo "PASS"
