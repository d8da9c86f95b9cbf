#!/bin/bash
# Body of run_ui_bench.sh, run by wine-run.sh with a private display and null sink.
set -u
src_bin=$1
caption='Orvane多媒体MP4转换器'
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
artifacts=$WORK/artifacts
source "$here/../../tests/gui/gui_steps.sh"
own_program_folder "$src_bin"

clip=$WORK/ui_bench.mpg
ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=48000 \
  -ac 2 -t 60 -c:v mpeg2video -b:v 6000k -c:a mp2 -b:a 192k -f vob "$clip" || fail "ffmpeg could not make the source"
winpath=$(wine_path "$clip")
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"

start_program
add_through_seam "$clip" 1
"$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
click 1006
wait_until '[ "$(enabled 1006)" = 0 ]' 20 || fail "the play does not start: $(status_text)"
started=$SECONDS
"$bin/winprobe.exe" threads "$caption" 900 | tr -d '\r' >"$WORK/threads.txt" &
holder=$!
wait_until '[ "$(status_text)" = "播放${winpath}结束" ]' 600 || fail "no end of the play: $(status_text)"
played=$((SECONDS - started))
sleep 1
exit_program
wait "$holder"
scope=$(awk '/"tarmelo wave scope"/ { print $2 }' "$WORK/threads.txt")
playback=$(awk '/"tarmelo playback"/ { print $2 }' "$WORK/threads.txt")
[ -n "$scope" ] && [ -n "$playback" ] || fail "threads not found: $(cat "$WORK/threads.txt")"
echo "60 s 720x576 MPEG-2 PS play (ended after about $played s): playback thread $playback ms, wave-scope thread $scope ms of processor time"
awk -v s="$scope" -v p="$playback" 'BEGIN { r = p > 0 ? 100 * s / p : 100; printf "scope / playback = %.2f%% (target at most 5%%): %s\n", r, r <= 5 ? "met" : "MISSED"; exit !(r <= 5) }'
