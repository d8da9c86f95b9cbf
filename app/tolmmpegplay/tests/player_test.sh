#!/bin/bash
# tolmmpegplay.exe under the private X server and sound server of wine-run.sh, on clips ffmpeg makes
# in a folder whose name holds a blank and Chinese characters (Wine quotes such an argument on the
# Windows command line, as the converter quotes the path it starts the player with):
#   - a short clip: a window titled with the file name shows the picture, and the player ends by
#     itself with exit code 0 and no message;
#   - a long clip: closing the window ends it with exit code 0;
#   - a missing file, a file that is no media and an empty command line: the message
#     "无法播放 <name>" through the modal seam and exit code 1.
#   player_test.sh BIN_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
bin=$1
export TARMELO_MODAL_LOG=$WORK/modal.log
pid=""
fail() {
  echo "FAIL: $*"
  [ -f "$WORK/player.out" ] && cat "$WORK/player.out"
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

clips="$WORK/我的 短片"
mkdir -p "$clips"
make_clip() {  # seconds file
  ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=44100 \
    -t "$1" -c:v mjpeg -q:v 4 -c:a pcm_s16le "$2" || fail "ffmpeg cannot make $2"
}
make_clip 4 "$clips/片段 1.avi"
make_clip 60 "$clips/long.avi"
head -c 200000 /dev/urandom >"$clips/noise.avi"

windows_path() { winepath -w "$1" 2>/dev/null; }

start() {  # command-line text
  "$bin/tolmmpegplay.exe" "$@" >"$WORK/player.out" 2>&1 &
  pid=$!
}

# Waits for the player to end (at most $1 seconds); sets rc.
finish() {
  for _ in $(seq $(($1 * 10))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the player is still running after $1 s"
  wait "$pid"; rc=$?; pid=""
}

# Prints the id of the visible window titled $1 (a pattern), waiting up to 30 s. Searches are repeated
# rather than run with --sync: xdotool aborts on a window that goes away while it walks the tree.
wait_window() {
  local found
  for _ in $(seq 60); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.5
  done
  return 1
}

modal_lines() { [ -f "$WORK/modal.log" ] && iconv -f GBK -t UTF-8 "$WORK/modal.log"; }

# 1. The short clip plays to its end in a window titled with its name.
start "$(windows_path "$clips/片段 1.avi")"
wid=$(wait_window '^片段 1\.avi$')
[ -n "$wid" ] || fail "no window titled 片段 1.avi"
sleep 1.5  # the picture is on screen by now
eval "$(xdotool getwindowgeometry --shell "$wid")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$WORK/shot.png" 2>/dev/null
colours=$(convert "$WORK/shot.png" -format '%k' info: 2>/dev/null)
echo "window ${WIDTH}x${HEIGHT}, $colours colours on screen"
[ "${colours:-0}" -gt 100 ] || fail "the window shows no picture ($colours colours)"
finish 30
[ "$rc" = 0 ] || fail "exit code $rc at the clip's end"
[ -z "$(modal_lines)" ] || fail "unexpected message: $(modal_lines)"

# 2. Closing the window of a long clip ends the player at once.
start "$(windows_path "$clips/long.avi")"
wait_window '^long\.avi$' >/dev/null || fail "no window titled long.avi"
"$bin/winprobe.exe" close "long.avi" || fail "winprobe cannot close the window"
finish 15
[ "$rc" = 0 ] || fail "exit code $rc after closing the window"
[ -z "$(modal_lines)" ] || fail "unexpected message: $(modal_lines)"

# 3. What cannot be played: one message each, exit code 1.
check_refused() {  # expected message, command-line arguments...
  local want=$1; shift
  rm -f "$WORK/modal.log"
  start "$@"
  finish 60
  [ "$rc" = 1 ] || fail "exit code $rc for [$*], not 1"
  got=$(modal_lines)
  [ "$got" = "tolmmpegplay	$want" ] || fail "message for [$*] is [$got], not [$want]"
}
check_refused "无法播放 不在这里.avi" "$(windows_path "$clips")\\不在这里.avi"
check_refused "无法播放 noise.avi" "$(windows_path "$clips/noise.avi")"
check_refused "无法播放 "
echo "PASS: played to the end, closed, refused what cannot be played"
