#!/bin/bash
# Playing a listed file as a user does: Play shows the pictures in the video window (moving, and the
# source's pictures), the sound device gets the 1 kHz tone, the wave scope draws, the clock counts the
# seconds, Pause holds picture and progress, and the end restores the buttons with "播放%s结束".
# A double click on the row plays too, and Stop ends that run early.
#   main_play_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY, WORK and PULSE_SERVER are set by wine-run.sh)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

media=$WORK/media
mkdir -p "$media"
clip=$media/clip.mpg
mpeg1_fixture 24 "$clip"   # long enough to be still playing at the pause on a loaded machine
winpath=$(wine_path "$clip")
video="Delmora播放$winpath"   # the video window's caption

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
# The playing status names the file, then its playing second ("正在播放%s", "正在播放%s [%.2f]秒").
playing_status() { local s; s=$(status_text); [ "$s" = "正在播放$winpath" ] || [[ $s == "正在播放$winpath ["*"]秒" ]]; }

start_program
shot play-start
add_through_seam "$clip" 1
shot play-listed

# The scope and the clock at rest.
read -r _ _ sx sy sw sh _ < <(probe controls "$caption" | grep -a '^1002 ')
crop_screen "$sx" "$sy" "$sw" "$sh" "$WORK/scope-idle.png"

# Play by the button: the worker's first status, the commands it disables.
"$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
start_recording "$WORK/sink.raw"
click 1006
wait_until 'playing_status' 20 || fail "no playing status: $(status_text)"
[ "$(enabled 1006)" = 0 ] && [ "$(enabled 1025)" = 0 ] || fail "Play or Convert enabled while playing"
# The clock counts the playing seconds (read first: on a loaded machine each step below takes seconds).
clock1=$(probe text "$caption" 1055)
sleep 1.2
clock2=$(probe text "$caption" 1055)
echo "clock: $clock1 then $clock2"
[[ $clock1 =~ ^00:00:[01][0-9]$ ]] && [[ $clock2 =~ ^00:00:[012][0-9]$ ]] && [[ $clock2 > $clock1 ]] ||
  fail "the clock does not count the playing seconds: $clock1, $clock2"
"$bin/winprobe.exe" wait "$video" 10 >/dev/null || fail "no video window titled $video"
sleep 1
shot play-running
read -r vx vy vw vh < <(probe client "$video")
echo "video window client ${vw}x$vh at $vx,$vy"
[ "${vw:-0}" -gt 100 ] && [ "${vh:-0}" -gt 100 ] || fail "video window client ${vw}x$vh"
crop_screen "$vx" "$vy" "$vw" "$vh" "$WORK/video-1.png"
sleep 1.5
crop_screen "$vx" "$vy" "$vw" "$vh" "$WORK/video-2.png"
moved=$(picture_difference "$WORK/video-1.png" "$WORK/video-2.png")
cp "$WORK/video-1.png" "$artifacts/play-picture.png"
echo "picture change over 1.5 s: $moved"
awk -v d="$moved" 'BEGIN { exit !(d > 0.005) }' || fail "the picture does not move ($moved)"
crop_screen "$sx" "$sy" "$sw" "$sh" "$WORK/scope-playing.png"
scope_change=$(picture_difference "$WORK/scope-idle.png" "$WORK/scope-playing.png")
echo "scope change against rest: $scope_change"
awk -v d="$scope_change" 'BEGIN { exit !(d > 0.01) }' || fail "the scope (1002) draws nothing while playing"

# Pause: the status names the file, picture and progress hold; the source's picture is on screen.
click 1011
wait_until '[ "$(status_text)" = "暂停文件${winpath}播放" ]' 5 || fail "pause status: $(status_text)"
# (Only the part of the video window beside the main dialog: on Wine the dialog's repaint can cover
# the picture where the two overlap, as the paused picture is not blitted again.)
read -r _ ml _ < <(probe wait "$caption" 5)
hw=$(( ml - vx < vw ? ml - vx : vw ))
sleep 0.5
bar1=$(state_value 1009)
crop_screen "$vx" "$vy" "$hw" "$vh" "$WORK/paused-1.png"
sleep 1
bar2=$(state_value 1009)
crop_screen "$vx" "$vy" "$hw" "$vh" "$WORK/paused-2.png"
shot play-paused
held=$(picture_difference "$WORK/paused-1.png" "$WORK/paused-2.png")
echo "paused: bar $bar1 then $bar2, picture change $held"
[ "$bar1" = "$bar2" ] && [ "$bar1" -gt 0 ] && [ "$bar1" -lt 1000 ] || fail "progress moves while paused: $bar1, $bar2"
awk -v d="$held" 'BEGIN { exit !(d < 0.001) }' || fail "the picture moves while paused ($held)"
click 1011
wait_until '[ "$(status_text)" != "暂停文件${winpath}播放" ]' 5 || fail "still paused: $(status_text)"

# The end: its status, the buttons back, the video window hidden, the tone recorded.
wait_until '[ "$(status_text)" = "播放${winpath}结束" ]' 60 || { shot play-no-end; fail "no end status: $(status_text)"; }
wait_until '[ "$(enabled 1006)" = 1 ] && [ "$(enabled 1025)" = 1 ]' 5 || fail "Play or Convert still disabled"
[ "$(enabled 1026)" = 1 ] && [ "$(enabled 1027)" = 1 ] || fail "Video or Audio still disabled"
wait_until '! window_shown "$video"' 5 || fail "the video window stays after the end"
shot play-ended
stop_recording
cp "$WORK/sink.raw" "$artifacts/main-play-sink.raw"
psnr=$(best_psnr "$WORK/video-1.png" "$clip")
echo "shown picture against the source: $psnr dB"
awk -v p="$psnr" 'BEGIN { exit !(p >= 25) }' || fail "the shown picture is not the source's ($psnr dB)"
read -r _ seconds _ level _ share _ steady _ peak < <(python3 "$here/tone_check.py" "$WORK/sink.raw" 44100 2 1000)
echo "sink: $seconds s recorded, $level dB, 1 kHz share $share (where the sound plays on: $steady), loudest sample $peak"
awk -v l="$level" -v s="$steady" 'BEGIN { exit !(l > -40 && s > 0.9) }' || fail "the sink did not get the 1 kHz tone"
# The tone (amplitude 1/8) peaks near 4096: nothing louder reaches the device, at the start, in the
# pause or at the end.
[ "${peak:-99999}" -lt 6000 ] || fail "something louder than the tone reached the device (peak $peak)"

# A double click on the row plays it; Stop ends the run early and restores the buttons.
read -r _ _ lx ly lw lh _ < <(probe controls "$caption" | grep -a '^1007 SysListView32')
start_recording "$WORK/sink-2.raw"
xdotool mousemove $((lx + 40)) $((ly + 28)) click --repeat 2 --delay 80 1
wait_until 'playing_status' 20 || fail "a double click does not play: $(status_text)"
sleep 1
click 1007
wait_until '[ "$(enabled 1006)" = 1 ]' 10 || fail "Stop does not end the run"
wait_until '! window_shown "$video"' 5 || fail "the video window stays after Stop"
shot play-stopped
sleep 0.5
stop_recording
cp "$WORK/sink-2.raw" "$artifacts/main-play-stop-sink.raw"
read -r _ seconds _ level _ _ _ _ _ peak < <(python3 "$here/tone_check.py" "$WORK/sink-2.raw" 44100 2 1000)
echo "double click to Stop: $seconds s recorded, $level dB, loudest sample $peak"
[ "${peak:-99999}" -lt 6000 ] || fail "something louder than the tone reached the device around the double click or Stop (peak $peak)"
echo "modal log:"; iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG"
exit_program
echo "PASS: play (moving picture, $psnr dB against the source, 1 kHz at $level dB, scope, clock, pause), double click, stop"
