#!/bin/bash
# The main dialog as a user meets it: the program in a folder of its own starts with its defaults, a
# file is added through the open-file dialog (the modal seam answers with the path), the list shows the
# probe's record, Convert makes a 3GP file that ffprobe reads, Save and Exit keep the list, and a
# restart lists it again.
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

# Colour: the caption's colour button shows the colour dialog; preset 2 (R72 G56 B8) recolours the
# caption bands (the colour darkened by 17: R55 G39 B0), the list's cells (column 0 darkened by 21:
# R51 G35 B0) and the buttons' faces (the colour itself) at once.
colour_dialog='软件界面颜色设置'
# Pixels of the colour $6 (RRGGBB) in the region X Y W H of the picture $1.
colour_count() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage txt:- | grep -ci "#$6"; }
read -r _ wl wt ww _ < <(probe wait "$caption" 5)
read -r _ _ lx ly lw lh _ < <(probe controls "$caption" | grep -a '^1007 SysListView32')
read -r _ _ ex ey ew eh _ < <(probe controls "$caption" | grep -a '^1036 ')
# Caption band, list, Exit button: the pixels of each region's expected colour.
colour_counts() {
  echo "$(colour_count "$1" $((wl + 3)) $((wt + 2)) $((ww - 140)) 28 372700)" \
       "$(colour_count "$1" "$lx" "$ly" "$lw" "$lh" 332300)" "$(colour_count "$1" "$ex" "$ey" "$ew" "$eh" 483808)"
}
xdotool mousemove $((wl + ww - 116 + 8)) $((wt + 6 + 10)) click 1
"$bin/winprobe.exe" wait "$colour_dialog" 10 >/dev/null || fail "the caption's colour button shows no colour dialog"
sleep 0.5
shot main-colour-dialog
read -r band0 cells0 face0 < <(colour_counts "$artifacts/main-colour-dialog.png")
"$bin/winprobe.exe" click "$colour_dialog" 1028 || fail "no preset 2"
sleep 1
shot main-colour
read -r band1 cells1 face1 < <(colour_counts "$artifacts/main-colour.png")
echo "pixels of the preset's caption band, list cell and button face colours: before $band0 $cells0 $face0, after $band1 $cells1 $face1"
probe controls "$colour_dialog" | grep -a '^10[0-9][0-9] '

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
echo "PASS: start, add, duplicate, convert ($codecs), save, exit, restart"
