#!/bin/bash
# Drives the program through the views the README's user guide shows and saves each as it is on
# screen, cropped to its window: the main window during a conversion (two files listed), the timeline
# with a range being cut, the MP4 settings page, the effects window during a play, the colour dialog.
# Writes RAW_DIR/<name>.png and RAW_DIR/places.txt ("name x y w h": controls inside the main window,
# for the callouts that tools/make_screenshots.sh draws).
#   take.sh BIN_DIR RAW_DIR     (in the GUI tests' harness: tools/wine-run.sh --sound --gui)
set -u
src_bin=$1; raw=$2
caption='Orvane多媒体MP4转换器'
effects='Orvane音效器'
colour='软件界面颜色设置'
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$raw"
artifacts=$raw
source "$root/tests/gui/gui_steps.sh"
own_program_folder "$src_bin"
# The clips lie in C:\media, so that the list and the status line show short paths.
media=$WINEPREFIX/drive_c/media; mkdir -p "$media"

# A 7 s test card with a key picture every 2 s: the timeline (3 pixels a picture) holds it whole, and
# between its thumbnails the range band shows. 20 s of colour bars: played long enough for the effects.
# The sound, two loud tones, draws a wave the scope shows plainly.
clip() {  # file, seconds, picture source, encoder arguments...
  local file=$1 seconds=$2 source=$3; shift 3
  ffmpeg -nostdin -v error -y -f lavfi -i "$source=size=320x240:rate=25:duration=$seconds" \
    -f lavfi -i "aevalsrc=0.5*sin(2*PI*440*t)+0.3*sin(2*PI*660*t):s=44100:c=stereo:d=$seconds" "$@" "$media/$file" ||
    fail "no clip $file"
}
clip testcard.mp4 7 testsrc2 -c:v libx264 -pix_fmt yuv420p -g 50 -c:a aac -b:a 128k
clip colourbars.avi 20 smptehdbars -c:v mpeg4 -vtag XVID -q:v 3 -g 50 -c:a libmp3lame -b:a 128k
pictures=175

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
add() {  # file in C:\media, rows wanted after it
  echo "C:\\media\\$1" >"$dialog_answer"
  click 1003/1006
  wait_until '[ "$(rows | wc -l)" -ge '"$2"' ]' 30 || fail "no row for $1; modal log: $(cat "$TARMELO_MODAL_LOG")"
}
start_program
add testcard.mp4 1
add colourbars.avi 2

# A window's rectangle on screen (its frame included): "x y w h".
window_rect() { "$bin/winprobe.exe" wait "$1" 10 2>/dev/null | tr -d '\r' | awk '$1 == "window" { print $2, $3, $4, $5 }'; }
crop_window() {  # caption, name
  local x y w h
  read -r x y w h < <(window_rect "$1")
  [ -n "${h:-}" ] || fail "no window $1"
  crop_screen "$x" "$y" "$w" "$h" "$raw/$2.png"
}
# A control's place inside the main window, for the callouts: "name x y w h".
place() {  # name, control
  local wx wy x y w h
  read -r wx wy _ _ < <(window_rect "$caption")
  read -r x y w h _ < <(probe rect "$caption" "$2")
  [ -n "${h:-}" ] || fail "no control $2"
  echo "$1 $((x - wx)) $((y - wy)) $w $h" >>"$raw/places.txt"
}

# ---- The timeline: the analysis has put its thumbnails into both index files ----
analysed() { local f n=0; for f in "$bin"/dat/*; do [ -f "$f" ] && has_thumbnails "$f" && n=$((n + 1)); done; [ "$n" -ge 2 ]; }
wait_until analysed 120 || fail "the analysis put no thumbnails into the index files"
pick_row() {  # a click on row $1 (from 0), as a user picks it: its file shows on the timeline
  local x y w h
  read -r x y w h < <(probe itemrect "$caption" 1003/1007 "$1") || fail "no rectangle for row $1"
  xdotool mousemove $((x + 30)) $((y + h / 2)) click 1
}
pick_row 0
wait_until '[ "$(button 1061)" = 0,1 ]' 30 || fail "the timeline shows nothing of the first row"
sleep 0.5

# ---- Main window: the first row converting in normal mode, its picture in the preview ----
rm -f "$raw/places.txt"
"$bin/winprobe.exe" pick "$caption" 1012 0 || fail "no mode combo"
"$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the first row"
click 1025
wait_until '[[ $(status_text) == 正在转换* ]]' 20 || fail "Convert does not start: $(status_text)"
sleep 2
xdotool mousemove 1 1
crop_window "$caption" main-window
place list 1003/1007; place tabs 1003; place timeline 2006; place play 1006; place pause 1011
place stop 1007; place convert 1025; place preview 1000
click 1007
wait_until '[ "$(enabled 1025)" = 1 ]' 20 || fail "Stop does not end the conversion"
sleep 1

# ---- A range being cut: Edit, both edges dragged ----
pick_row 0
wait_until '[ "$(button 1061)" = 0,1 ]' 30 || fail "the timeline shows nothing of the first row"
click 1061
drag 1 $((3 * pictures / 5 + 1))                         # the start edge to 1.2 s
drag $((3 * (pictures - 1))) $((3 * 4 * pictures / 5 + 1))   # the end edge to 4.8 s
xdotool mousemove 1 1
sleep 0.5
# The strip from the range's buttons down to the timeline's lower edge, across the window.
read -r wx wy ww _ < <(window_rect "$caption")
read -r _ ty _ _ _ < <(probe rect "$caption" 1061)
read -r _ vy _ vh _ < <(probe rect "$caption" 2006)
top=$((ty < vy ? ty : vy))
crop_screen "$wx" $((top - 4)) "$ww" $((vy + vh - top + 8)) "$raw/timeline-range.png"
click 1064
sleep 0.5

# ---- The MP4 settings page ----
"$bin/winprobe.exe" tab "$caption" 1003 2 || fail "no MP4 page"
sleep 0.5
read -r x y w h _ < <(probe rect "$caption" 1003)
crop_screen "$x" "$y" "$w" "$h" "$raw/settings-mp4.png"
"$bin/winprobe.exe" tab "$caption" 1003 0 || fail "no list page"
sleep 0.3

# ---- The effects window during a play ----
"$bin/winprobe.exe" select "$caption" 1003/1007 1 || fail "cannot select the second row"
click 1006
wait_until '[ "$(enabled 1006)" = 0 ]' 10 || fail "Play does not start"
click 1005
wait_until 'window_shown "$effects"' 10 || fail "Sound effects shows no window during a play"
sleep 0.5
read -r x y w h _ < <(probe rect "$effects" 3069)   # the echo switched on, as a listener would
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
# The picture's own window may lie over the effects window: the effects window is raised.
xdotool search --name "$effects" windowraise 2>/dev/null
xdotool mousemove 1 1
sleep 1
crop_window "$effects" effects
click 1005
click 1007
wait_until '[ "$(enabled 1006)" = 1 ]' 20 || fail "Stop does not end the play"

# ---- The colour dialog, its fourth preset chosen: the caption's green button ----
read -r _ wl wt ww _ < <(probe wait "$caption" 5)
xdotool mousemove $((wl + ww - 116 + 8)) $((wt + 6 + 10)) click 1
"$bin/winprobe.exe" wait "$colour" 10 >/dev/null || fail "the caption's colour button shows no colour dialog"
"$bin/winprobe.exe" click "$colour" 1029 || fail "no preset 3"
xdotool mousemove 1 1
sleep 1
crop_window "$colour" colour
"$bin/winprobe.exe" click "$colour" 1026 >/dev/null 2>&1   # back to the first preset
"$bin/winprobe.exe" close "$colour" >/dev/null 2>&1
sleep 0.5

exit_program
echo "taken: $(cd "$raw" && ls *.png | tr '\n' ' ')"
