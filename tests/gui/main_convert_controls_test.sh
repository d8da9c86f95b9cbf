#!/bin/bash
# The run controls of a conversion in normal mode (pictures in the preview, sound at the device), as a
# user presses them:
# - idle, Video and Audio change no text and Sound effects shows its text and no window;
# - Pause shows "暂停文件%s转换" and holds the progress, a second press resumes without a new text;
# - Sound effects during the run shows and hides the effects window, press by press;
# - the run completes into MP4 (MPEG-4 and AAC) that ffprobe reads;
# - in a second run Video off holds the preview and Video on moves it again, and Stop mid-run leaves an
#   output ffmpeg decodes to its end; in a third Audio off leaves the device silent to the end.
#   main_convert_controls_test.sh BIN_DIR ARTIFACT_DIR   (DISPLAY, WORK and PULSE_SERVER are set by wine-run.sh)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
effects='Orvane音效器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

media=$WORK/media
out=$WORK/out
mkdir -p "$media" "$out"
# 6 s each: a quiet machine converts a 2 s file in normal mode before the Pause click lands.
mpeg1_fixture 6 "$media/first.mpg"
mpeg1_fixture 6 "$media/second.mpg"
# Normal mode converts ahead of the sound device by what its queue holds: the second run, which the
# user switches and stops, needs a longer file.
mpeg1_fixture 16 "$media/long.mpg"
long=$(wine_path "$media/long.mpg")
first=$(wine_path "$media/first.mpg")

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
start_program
add_through_seam "$media/first.mpg" 1
add_through_seam "$media/second.mpg" 2
add_through_seam "$media/long.mpg" 3
"$bin/winprobe.exe" tab "$caption" 1003 1 && sleep 0.3 && "$bin/winprobe.exe" tab "$caption" 1003 0 || fail "no tabs"
"$bin/winprobe.exe" type "$caption" 1003/148/1020 "$(wine_path "$out")\\" || fail "cannot type the output folder"
"$bin/winprobe.exe" pick "$caption" 1012 0 && "$bin/winprobe.exe" pick "$caption" 1013 1 || fail "cannot pick the mode or kind"
effects_shown() { window_shown "$effects"; }
read -r _ _ px py pw ph _ < <(probe controls "$caption" | grep -a '^1000 ' | head -1)
preview() { crop_screen "$px" "$py" "$pw" "$ph" "$1"; }

# Idle: Video and Audio change neither text nor button; Sound effects shows its text and no window.
# (The analysis of an added file may still write the status line: wait until it rests.)
settled() { local a b; a=$(status_text); sleep 1; b=$(status_text); [ "$a" = "$b" ]; }
wait_until settled 20 || fail "the status line does not rest: $(status_text)"
status0=$(status_text)
states0="$(state_value 1026) $(state_value 1027)"
echo "idle: status $status0, Video and Audio $states0"
click 1026; click 1027
# (The buttons latch as check boxes do, whatever the handler does; what they switch is the run's.)
echo "idle Video and Audio pressed: status $(status_text), buttons $(state_value 1026) $(state_value 1027)"
[ "$(status_text)" = "$status0" ] || fail "idle Video or Audio changed the status: $(status_text)"
click 1005
wait_until '[ "$(status_text)" = "只有播放或转换状态下才能开启音频效果窗口" ]' 5 || fail "idle Sound effects: $(status_text)"
effects_shown && fail "idle Sound effects shows the effects window"
shot controls-idle

# Run 1, both rows: Pause holds, the effects window follows each press, the run completes.
"$bin/winprobe.exe" select "$caption" 1003/1007 0 1 || fail "cannot select the rows"
click 1025
# Pause early in the first file (a loaded machine may otherwise reach a file's end first, whose text
# then follows the pause's).
wait_until '[ "$(enabled 1025)" = 0 ]' 30 || fail "Convert does not start: $(status_text)"
sleep 0.5
click 1011
# (The text names the file being converted: on a loaded machine the run may be at the second one.)
second=$(wine_path "$media/second.mpg")
wait_until '[ "$(status_text)" = "暂停文件${first}转换" ] || [ "$(status_text)" = "暂停文件${second}转换" ]' 5 ||
  fail "pause status: $(status_text)"
paused_text=$(status_text)
bar1=$(state_value 1009)
sleep 1
bar2=$(state_value 1009)
shot convert-paused
echo "paused: bar $bar1 then $bar2, status $(status_text)"
[ "$bar1" = "$bar2" ] || fail "progress moves while paused: $bar1, $bar2"
[ "$(status_text)" = "$paused_text" ] || fail "the pause text does not stay: $(status_text)"
for press in 1 2 3 4; do
  click 1005
  if [ $((press % 2)) = 1 ]; then
    wait_until effects_shown 5 || fail "Sound effects press $press does not show the effects window"
    [ "$press" = 1 ] && shot controls-effects-window
  else
    wait_until '! effects_shown' 5 || fail "Sound effects press $press does not hide the effects window"
  fi
  echo "Sound effects press $press: window $(effects_shown && echo shown || echo hidden)"
done
click 1011
# The resume sets no text of its own: the next one is the worker's (progress or completion).
wait_until '[[ $(status_text) == 正在转换* ]] || [[ $(status_text) == 转换完成* ]]' 10 || fail "no progress after the resume: $(status_text)"
bar3=$(state_value 1009)
echo "resumed: bar $bar3, status $(status_text)"
wait_until 'status_text | grep -q "^转换完成"' 60 || fail "no completion; status $(status_text)"
shot controls-run1-done
made=$(ls "$out")
echo "run 1: $made"
[ "$(echo "$made" | wc -l)" = 2 ] || fail "run 1 outputs: $made"
for f in $made; do
  streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 "$out/$f" | LC_ALL=C sort | tr '\n' ' ')
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/$f")
  echo "  $f: $streams$duration s"
  [ "$streams" = "aac,audio mpeg4,video " ] || fail "run 1 output $f: $streams"
  awk -v d="$duration" 'BEGIN { exit !(d > 5.9 && d < 6.2) }' || fail "run 1 output $f lasts $duration s"
done

# Run 2, the long file (paced by the sound device): Video off holds the preview while the run goes
# on, Video on again moves it; then Stop mid-run.
rm -f "$out"/*
"$bin/winprobe.exe" select "$caption" 1003/1007 2 || fail "cannot select the row"
click 1025
wait_until '[ "$(enabled 1025)" = 0 ]' 30 || fail "run 2 does not start: $(status_text)"
sleep 0.5
click 1026
preview "$WORK/preview-1.png"
sleep 1
preview "$WORK/preview-2.png"
busy=$(enabled 1025)
click 1026
sleep 0.5
preview "$WORK/preview-3.png"
held=$(picture_difference "$WORK/preview-1.png" "$WORK/preview-2.png")
moved=$(picture_difference "$WORK/preview-2.png" "$WORK/preview-3.png")
echo "video off: preview change $held (Convert enabled: $busy); on again: $moved"
click 1007
wait_until '[ "$(enabled 1025)" = 1 ]' 10 || fail "Stop does not end the run"
status_text | grep -q "^转换完成" || fail "Stop: status $(status_text)"
shot convert-stopped
[ "$busy" = 0 ] || fail "the run ended before Video was on again"
awk -v d="$held" 'BEGIN { exit !(d < 0.001) }' || fail "the preview moves with Video off ($held)"
awk -v d="$moved" 'BEGIN { exit !(d > 0.005) }' || fail "the preview stands with Video on again ($moved)"
# Stop left a whole file: ffmpeg decodes it to its end without an error, and the run was cut short.
made=$(ls "$out")
[ "$(echo "$made" | wc -l)" = 1 ] || fail "run 2 outputs: $made"
errors=$(ffmpeg -v error -i "$out/$made" -f null - 2>&1 | head -3)
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$out/$made")
echo "after Stop: $made, $frames pictures decoded${errors:+, errors: $errors}"
[ -z "$errors" ] && [ "${frames:-0}" -gt 0 ] || fail "the stopped output does not decode whole: $frames, $errors"
[ "$frames" -lt 395 ] || fail "Stop did not end the run early: $frames pictures of 400"

# Run 3, the long file again: the tone reaches the device until Audio off, then nothing more does
# (the rest of the run, no longer paced by the device, goes to the output alone).
rm -f "$out"/*
start_recording "$WORK/sink.raw"
click 1025
wait_until '[ "$(enabled 1025)" = 0 ]' 30 || fail "run 3 does not start: $(status_text)"
sleep 1
click 1027
shot controls-converting-audio-off   # (the converting state: run 2 has no time to spare before Stop)
wait_until 'status_text | grep -q "^转换完成"' 60 || fail "run 3: no completion; status $(status_text)"
sleep 1
stop_recording
made=$(ls "$out")
sound_s=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$out/$made")
read -r _ recorded _ level _ share _ steady _ _ < <(python3 "$here/tone_check.py" "$WORK/sink.raw" 44100 2 1000)
loud=$(python3 - "$WORK/sink.raw" <<'PY'
import math, struct, sys
data = open(sys.argv[1], 'rb').read()
left = struct.unpack('<%dh' % (len(data) // 2), data[:len(data) // 2 * 2])[0::2]
block = 2205  # 50 ms
print('%.2f' % (0.05 * sum(1 for i in range(0, len(left) - block + 1, block)
                           if math.sqrt(sum(v * v for v in left[i:i + block]) / block) > 32768 * 10 ** (-40 / 20))))
PY
)
echo "run 3: output $made with $sound_s s of sound; the device got $loud s of sound in $recorded s ($level dB, 1 kHz share $share, where it plays on $steady)"
awk -v s="$steady" 'BEGIN { exit !(s > 0.9) }' || fail "the device did not get the 1 kHz tone before Audio off"
awk -v l="$loud" -v o="$sound_s" 'BEGIN { exit !(l > 0.2 && l < o - 6) }' || fail "the device got $loud s of the output's $sound_s s with Audio off"
echo "modal log:"; utf8 <"$TARMELO_MODAL_LOG"
exit_program
echo "PASS: idle toggles, pause, effects window, normal-mode MP4, Audio off, Video off, Stop"
