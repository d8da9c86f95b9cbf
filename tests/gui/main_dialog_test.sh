#!/bin/bash
# The main dialog as a user meets it: the program in a folder of its own starts with its defaults, a
# file is added through the open-file dialog (the modal seam answers with the path), the list shows the
# probe's record, Convert makes a 3GP file that ffprobe reads, the colour dialog recolours the dialog,
# Save and Exit keep the list and the colour, and a restart lists the file again.
#   main_dialog_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"

# Without the sibling player the end of a conversion is a plain OK box, which the seam answers.
own_program_folder "$src_bin"

# A 3 s MPEG-1 program stream: a moving test picture and a 1 kHz tone.
media=$WORK/media
mkdir -p "$media"
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=3 -f lavfi -i sine=frequency=1000:duration=3 \
  -c:v mpeg1video -b:v 800k -c:a mp2 -ar 44100 -ac 2 -f mpeg "$media/clip.mpg" || fail "no fixture"
winpath="Z:$(echo "$media/clip.mpg" | tr / '\\')"

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=$winpath
: >"$TARMELO_MODAL_LOG"

# Start: no rows, both combo boxes on their first item, the welcome status.
start_program
shot main-start
[ -z "$(rows)" ] || fail "rows at the first start: $(rows)"
for combo in 1012 1013; do
  read -r sel _ < <(probe state "$caption" $combo)
  [ "$sel" = 0 ] || fail "combo $combo starts at $sel"
done
[ "$(status_text)" = "请添加多媒体文件后选择播放或转换MP4/3GP/AVI文件" ] || fail "status: $(status_text)"

# Add: the open-file dialog, answered with the clip's path; one row with the probe's record.
click 1003/1006
wait_until '[ -n "$(rows)" ]' 30 || fail "no row after Add; modal log: $(cat "$TARMELO_MODAL_LOG")"
grep -q "Open" "$TARMELO_MODAL_LOG" || grep -q "open" "$TARMELO_MODAL_LOG" || fail "no file dialog: $(cat "$TARMELO_MODAL_LOG")"
shot main-added
IFS=$'\t' read -r number path size type secs width height rate srate channels kind _ < <(rows)
size_on_disk=$(stat -c %s "$media/clip.mpg")
probed=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$media/clip.mpg")
echo "row: $number|$path|$size|$type|$secs|$width|$height|$rate|$srate|$channels|$kind"
[ "$number" = 0 ] || fail "running number $number"
[ "$path" = "$winpath" ] || fail "path $path"
[ "$size" = "$size_on_disk" ] || fail "size $size, on disk $size_on_disk"
[ "$width,$height" = "$probed" ] || fail "size ${width}x$height, ffprobe $probed"
[ "$srate" = 44100 ] && [ "$channels" = 2 ] || fail "sound $srate Hz $channels ch"
[ "$secs" -ge 2 ] && [ "$secs" -le 4 ] || fail "duration $secs s"

# A second Add of the same file is refused with its text and leaves one row.
click 1003/1006
wait_until 'grep -q "多媒体文件已在列表中存在" <(iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG")' 10 || fail "no duplicate text"
[ "$(rows | wc -l)" = 1 ] || fail "rows after the duplicate: $(rows)"

# Convert the selected row to 3GP: a file ffprobe reads with H.263 picture and AMR sound.
"$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
click 1025
wait_until 'status_text | grep -q "转换完成"' 120 || fail "no completion; status: $(status_text)"
out=$(ls "$bin"/*.3gp 2>/dev/null | head -1)
[ -n "$out" ] || fail "no 3GP output in the program folder"
shot main-converted
codecs=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$out" | sort | tr '\n' ' ')
echo "output $(basename "$out"): $codecs"
[ "$codecs" = "amr_nb h263 " ] || fail "output streams: $codecs"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
awk -v d="$duration" 'BEGIN { exit !(d > 2.5 && d < 3.5) }' || fail "output duration $duration"
iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -q "转换完成,输出文件保存在" || fail "no completion box"

# Colour: the caption's colour button shows the colour dialog; preset 2 (R72 G56 B8) recolours at once
# the caption bands (the colour darkened by 17: R55 G39 B0), the buttons' faces (the colour itself)
# and the list (shades of the colour, each channel moved alike: red 16 above green).
colour_dialog='软件界面颜色设置'
# Pixels of the colour $6 (RRGGBB) in the region X Y W H of the picture $1.
colour_count() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage txt:- | grep -ci "#$6"; }
# Pixels of the region X Y W H of the picture $1 whose red is 16 above their green (and not black).
shade_count() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage txt:- |
    awk -F'[(,)]' 'NR > 1 && $3 - $4 == 16 && $3 > 0 { n++ } END { print n + 0 }'
}
read -r _ wl wt ww _ < <(probe wait "$caption" 5)
read -r _ _ lx ly lw lh _ < <(probe controls "$caption" | grep -a '^1007 SysListView32')
read -r _ _ ex ey ew eh _ < <(probe controls "$caption" | grep -a '^1036 ')
# Caption band, Exit button, list.
colour_counts() {
  echo "$(colour_count "$1" $((wl + 3)) $((wt + 2)) $((ww - 140)) 28 372700)" \
       "$(colour_count "$1" "$ex" "$ey" "$ew" "$eh" 483808)" "$(shade_count "$1" "$lx" "$ly" "$lw" "$lh")"
}
xdotool mousemove $((wl + ww - 116 + 8)) $((wt + 6 + 10)) click 1
"$bin/winprobe.exe" wait "$colour_dialog" 10 >/dev/null || fail "the caption's colour button shows no colour dialog"
sleep 0.5
shot main-colour-dialog
read -r band0 face0 list0 < <(colour_counts "$artifacts/main-colour-dialog.png")
"$bin/winprobe.exe" click "$colour_dialog" 1028 || fail "no preset 2"
sleep 1
shot main-colour
read -r band1 face1 list1 < <(colour_counts "$artifacts/main-colour.png")
echo "preset 2: pixels of the caption band's, button face's and list's colours before $band0 $face0 $list0, after $band1 $face1 $list1"
[ "$band0" = 0 ] && [ "$face0" = 0 ] || fail "the preset's colours are on screen before it is chosen"
[ "$band1" -ge 200 ] || fail "preset 2 leaves the caption band ($band1 pixels of R55 G39 B0)"
[ "$face1" -ge 200 ] || fail "preset 2 leaves the Exit button's face ($face1 pixels of R72 G56 B8)"
[ "$list1" -ge $((list0 + 1000)) ] || fail "preset 2 leaves the list ($list0 -> $list1 pixels of its shades)"
# A drag of the red trackbar not yet released (to 200) changes only the custom button and the red
# label; the main dialog keeps the preset (and the settings file gets it at Exit).
read -r _ _ cx cy cw ch _ < <(probe controls "$colour_dialog" | grep -a '^1030 ')
custom0=$(colour_count "$artifacts/main-colour.png" "$cx" "$cy" "$cw" "$ch" C83808)
"$bin/winprobe.exe" slide "$colour_dialog" 1016 200 || fail "no red trackbar"
sleep 1
shot main-colour-drag
read -r band2 face2 list2 < <(colour_counts "$artifacts/main-colour-drag.png")
custom2=$(colour_count "$artifacts/main-colour-drag.png" "$cx" "$cy" "$cw" "$ch" C83808)
red=$(probe text "$colour_dialog" 1051)
echo "drag to red 200: custom button $custom0 -> $custom2 pixels of R200 G56 B8, red label $red; main dialog $band2 $face2 $list2"
[ "$red" = 200 ] || fail "the red label shows $red during the drag"
[ "$custom0" = 0 ] && [ "$custom2" -ge 200 ] || fail "the custom button does not follow the drag ($custom0 -> $custom2)"
[ "$band2 $face2" = "$band1 $face1" ] && [ "$list2" -ge $((list0 + 1000)) ] ||
  fail "an unreleased drag recoloured the main dialog ($band1 $face1 $list1 -> $band2 $face2 $list2)"

# Save, Exit; the list file holds one whole record.
click 1003/1009
exit_program
[ "$(stat -c %s "$bin/mpgmp4info.dat")" = $((4 + 2400)) ] || fail "mpgmp4info.dat: $(stat -c %s "$bin/mpgmp4info.dat")"
iconv -f GBK -t UTF-8 "$bin/pravolin.ini" | grep -q '^软件界面颜色=4732936' || fail "UI colour not saved: $(iconv -f GBK -t UTF-8 "$bin/pravolin.ini" | grep 软件界面颜色)"

# A restart lists the saved file again under number 0.
start_program
wait_until '[ -n "$(rows)" ]' 20 || fail "the saved list is not shown after a restart"
IFS=$'\t' read -r number path _ < <(rows)
[ "$number" = 0 ] && [ "$path" = "$winpath" ] || fail "after restart: $number $path"
shot main-restarted
exit_program
echo "PASS: start, add, duplicate, convert ($codecs), colour preset and drag, save, exit, restart"
