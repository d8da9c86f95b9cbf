#!/bin/bash
# Leaving the main dialog while it works, and working without leaking:
# - ten play and convert cycles in one run leave the process's GDI objects, USER objects and kernel
#   handles where one cycle left them;
# - twenty starts, play and convert alternating, Exit at seeded times 0.2-3 s into the run, the
#   question answered Yes: each program ends with code 0 within 15 s and prints no crash;
# - answered No, Exit, the caption's close button and WM_CLOSE each ask and the run goes on.
#   main_exits_test.sh BIN_DIR ARTIFACT_DIR PART   (DISPLAY and WORK are set by wine-run.sh --gui)
# PART is one of cycles, yes-1 (exits 1-10), yes-2 (exits 11-20) and no, so that ctest runs them side
# by side; each part starts from a fresh prefix with the same saved list.
set -u
src_bin=$1; artifacts=$2; part=$3
caption='Orvane多媒体MP4转换器'
question='Orvane多媒体MP4转换器 正在播放或转换，确认是否退出'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

media=$WORK/media
mkdir -p "$media"
long=$media/long.mpg; short=$media/short.mpg
mpeg1_fixture 30 "$long"
mpeg1_fixture 1 "$short"
long_w=$(wine_path "$long"); short_w=$(wine_path "$short")

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
questions() { iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -c "$question"; }
idle() { [ "$(enabled 1006)" = 1 ] && [ "$(enabled 1025)" = 1 ]; }
busy() { [ "$(enabled 1006)" = 0 ]; }
crashed() { grep -aiE "unhandled|page fault|backtrace|terminate called|assert|sanitizer|segmentation" "$WORK/app.out"; }
select_row() {
  wait_until '"$bin/winprobe.exe" select "$caption" 1003/1007 '"$1" 5 || fail "cannot select row $1 of: $(rows)"
}
# The smallest of three readings a second apart: a kernel handle held for a moment (a thread just
# ending) is not a leak.
counts() {
  for _ in 1 2 3; do probe gdi "$caption"; sleep 1; done |
    awk '{ for (i = 2; i <= 6; i += 2) if (NR == 1 || $i < m[i]) m[i] = $i } END { print "gdi", m[2], "user", m[4], "handles", m[6] }'
}

# ---- Every part: the list of both files, saved so that the later starts list them ----
start_program
add_through_seam "$long" 1
add_through_seam "$short" 2
click 1003/1009

# ---- Ten play and convert cycles of the 1 s clip in one run ----
cycles() {
cycle() {
  select_row 1
  click 1006
  wait_until '[ "$(status_text)" = "播放${short_w}结束" ] && idle' 30 || fail "cycle $1: no play end: $(status_text)"
  select_row 1
  click 1025
  wait_until 'status_text | grep -q "转换完成" && idle' 60 || fail "cycle $1: no conversion end: $(status_text)"
}
# The cycles convert in fast mode (no picture, no sound): the same worker, without its real-time pace.
"$bin/winprobe.exe" pick "$caption" 1012 1 || fail "no fast mode"
cycle 0
sleep 1
read -r _ gdi0 _ user0 _ handles0 < <(counts)
started=$SECONDS
for i in $(seq 1 10); do cycle "$i"; done
# A window or handle still going away (a thread ending, a window being destroyed) is given up to ten
# seconds more; what a cycle leaks stays.
for _ in $(seq 10); do
  sleep 1
  read -r _ gdi1 _ user1 _ handles1 < <(counts)
  [ "$gdi1" = "$gdi0" ] && [ "$user1" = "$user0" ] && [ "$handles1" = "$handles0" ] && break
done
shot exits-after-cycles
echo "after 1 cycle: gdi $gdi0 user $user0 handles $handles0; after 10 more ($((SECONDS - started)) s): gdi $gdi1 user $user1 handles $handles1"
[ "$gdi1" = "$gdi0" ] && [ "$user1" = "$user0" ] && [ "$handles1" = "$handles0" ] ||
  fail "ten play and convert cycles changed the counts: gdi $gdi0 -> $gdi1, user $user0 -> $user1, handles $handles0 -> $handles1"
"$bin/winprobe.exe" pick "$caption" 1012 0 || fail "no normal mode"
echo "PASS: 10 play and convert cycles (gdi $gdi1, user $user1, handles $handles1 unchanged)"
}

# ---- Twenty exits while busy, answered Yes (runs FIRST..LAST of them) ----
busy_exits() {
local first=$1 last=$2 run at
# The seeded exit times of all twenty runs, so that each part uses the same ones.
RANDOM=21
local times=()
for run in $(seq 1 20); do times[run]=$((200 + RANDOM % 2801)); done
asked=0
for run in $(seq "$first" "$last"); do
  run_started=$SECONDS
  start_program
  wait_until '[ "$(rows | wc -l)" = 2 ]' 20 || fail "run $run: the saved list is not loaded: $(rows)"
  select_row 0
  if [ $((run % 2)) = 1 ]; then what=play; click 1006; else what=convert; click 1025; fi
  wait_until busy 10 || fail "run $run: $what did not start: $(status_text)"
  at=${times[run]}
  sleep "$(printf '%d.%03d' $((at / 1000)) $((at % 1000)))"
  before=$(questions)
  started=$SECONDS
  "$bin/winprobe.exe" click "$caption" 1036 || fail "run $run: no Exit button"
  for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "run $run ($what, Exit at $at ms): still running 15 s after Exit"
  wait "$app"; rc=$?
  [ "$rc" = 0 ] || fail "run $run ($what, Exit at $at ms): exit code $rc"
  crashed && fail "run $run ($what, Exit at $at ms): crash output"
  [ "$(questions)" -gt "$before" ] && asked=$((asked + 1))
  echo "run $run ($((SECONDS - run_started)) s): $what, Exit at $at ms, asked $([ "$(questions)" -gt "$before" ] && echo yes || echo no), ended in $((SECONDS - started)) s"
done
local count=$((last - first + 1))
[ "$asked" = "$count" ] || fail "only $asked of $count exits found the program busy"
echo "PASS: busy exits $first-$last answered Yes (code 0 within 15 s)"
}

# ---- Answered No: Exit, the caption's close button and WM_CLOSE ask and the run goes on ----
answered_no() {
export TARMELO_MODAL_ANSWER=7
start_program
wait_until '[ "$(rows | wc -l)" = 2 ]' 20 || fail "the saved list is not loaded"
for what in play convert; do
  select_row 0
  [ $what = play ] && click 1006 || click 1025
  wait_until busy 10 || fail "$what did not start"
  sleep 0.5
  before=$(questions)
  click 1036
  wait_until '[ "$(questions)" = $((before + 1)) ]' 5 || fail "$what: Exit does not ask"
  # The close button's click is posted where the mouse would send it: during a run the video window
  # (topmost) may lie over the caption.
  probe ncclick "$caption" 20 >/dev/null || fail "no close button on the caption"
  wait_until '[ "$(questions)" = $((before + 2)) ]' 5 || fail "$what: the caption's close button does not ask"
  "$bin/winprobe.exe" close "$caption"
  wait_until '[ "$(questions)" = $((before + 3)) ]' 5 || fail "$what: WM_CLOSE does not ask"
  bar1=$(state_value 1009)
  sleep 1
  bar2=$(state_value 1009)
  kill -0 "$app" 2>/dev/null || fail "$what: the program ended after No"
  busy || fail "$what: the run ended after No: $(status_text)"
  [ "$bar2" -gt "$bar1" ] || fail "$what: progress stands still after No ($bar1, $bar2)"
  echo "$what: three questions answered No, the run goes on (progress $bar1 -> $bar2)"
  shot "exits-no-$what"
  click 1007
  wait_until idle 10 || fail "$what: Stop does not end the run"
done
before=$(questions)
exit_program
[ "$(questions)" = "$before" ] || fail "Exit asked while idle"
crashed && fail "crash output"
echo "PASS: No keeps the run (Exit, caption, WM_CLOSE)"
}

case $part in
  cycles) cycles; exit_program ;;
  yes-1) exit_program; busy_exits 1 10 ;;
  yes-2) exit_program; busy_exits 11 20 ;;
  no) exit_program; answered_no ;;
  *) fail "unknown part $part" ;;
esac
