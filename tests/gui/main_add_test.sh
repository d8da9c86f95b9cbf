#!/bin/bash
# Adding files to the media list as a user does: through Wine's own open-file dialog (the path typed
# into it) and through the dialog seam. Each row is the probe's record (the saved list holds it) and
# agrees with ffprobe; adding a listed file again, or a file of a CD-ROM drive, is refused with its
# text; the CD-ROM drive's VCD and DVD files are listed at start-up, and by the disc refresh; a damaged
# saved list (count -5, 100000, cut short) loads the records that are whole.
#   main_add_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY, WORK and WINEPREFIX are set by wine-run.sh)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

# Fixtures of one second: an MPEG-1 program stream, an AVI (MPEG-4 and MP3), an MP4 (H.264 and AAC).
media=$WORK/media
mkdir -p "$media"
mpeg1_fixture 1 "$media/clip.mpg"
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=frequency=1000:duration=1 \
  -c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k -ar 44100 -f avi "$media/clip.avi" || fail "no AVI fixture"
ffmpeg -v error -f lavfi -i testsrc=size=352x288:rate=25:duration=1 -f lavfi -i sine=frequency=1000:duration=1 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -ar 44100 -ac 2 -f mp4 "$media/clip.mp4" || fail "no MP4 fixture"

# Drive D: is a CD-ROM for Wine (as winecfg sets it): a video CD's mpegav folder with a .dat file, a
# DVD's VIDEO_TS folder with a .vob file, and a file at its root.
cd_root=$WORK/cd
mkdir -p "$cd_root/mpegav" "$cd_root/VIDEO_TS"
mpeg1_fixture 1 "$cd_root/mpegav/avseq01.dat"
ffmpeg -v error -f lavfi -i testsrc=size=352x288:rate=25:duration=1 -f lavfi -i sine=frequency=1000:duration=1 \
  -c:v mpeg2video -b:v 2000k -c:a mp2 -ar 48000 -f vob "$cd_root/VIDEO_TS/vts_01_1.vob" || fail "no VOB fixture"
cp "$media/clip.mpg" "$cd_root/clip.mpg"
cdrom_drive "$cd_root"

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
modal_lines() { wc -l <"$TARMELO_MODAL_LOG"; }
# Cells of a row without the trailing "selected".
cells() { cut -f1-11; }
unix_path() { local p=${1//\\//}; case $p in Z:*) echo "${p#Z:}" ;; D:*) echo "$cd_root${p#D:}" ;; esac; }

# A row against ffprobe: file size, picture size and rate, sound rate and channels, whole seconds.
agree_with_ffprobe() {
  local number path size type secs width height rate srate channels kind file
  IFS=$'\t' read -r number path size type secs width height rate srate channels kind <<<"$1"
  file=$(unix_path "$path")
  [ -f "$file" ] || fail "row $number names no file: $path"
  local v a d
  v=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,r_frame_rate -of csv=p=0 "$file")
  a=$(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels -of csv=p=0 "$file")
  d=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
  echo "row $number ($type): $width x $height at $rate, $srate Hz $channels ch, $secs s; ffprobe $v | $a | $d s"
  [ "$size" = "$(stat -c %s "$file")" ] || fail "row $number: size $size, on disk $(stat -c %s "$file")"
  [ "$width,$height" = "$(echo "$v" | cut -d, -f1-2)" ] || fail "row $number: picture ${width}x$height, ffprobe $v"
  awk -v r="$rate" -v f="$(echo "$v" | cut -d, -f3)" 'BEGIN { split(f, q, "/"); exit !(r - q[1] / q[2] < 0.01 && q[1] / q[2] - r < 0.01) }' ||
    fail "row $number: frame rate $rate, ffprobe $v"
  [ "$channels,$srate" = "$(echo "$a" | awk -F, '{print $2 "," $1}')" ] || fail "row $number: sound $srate Hz $channels ch, ffprobe $a"
  awk -v s="$secs" -v d="$d" 'BEGIN { exit !(s >= int(d) - 1 && s <= d + 1) }' || fail "row $number: $secs s, ffprobe $d s"
}

start_program
shot add-start

# The CD-ROM drive's files are listed at start-up, typed "VCD" and "DVD", numbered first.
wait_until '[ "$(rows | wc -l)" -ge 2 ]' 20 || fail "the CD-ROM's files are not listed: $(rows)"
rows | cells >"$WORK/rows-start.txt"
cat "$WORK/rows-start.txt"
vcd=$(awk -F'\t' '$2 == "D:\\mpegav\\avseq01.dat"' "$WORK/rows-start.txt")
dvd=$(awk -F'\t' '$2 == "D:\\VIDEO_TS\\vts_01_1.vob"' "$WORK/rows-start.txt")
[ "$(echo "$vcd" | cut -f4)" = VCD ] || fail "the .dat row is not VCD: $vcd"
[ "$(echo "$dvd" | cut -f4)" = DVD ] || fail "the .vob row is not DVD: $dvd"
[ "$(rows | wc -l)" = 2 ] || fail "rows at start: $(rows)"
[ "$(cut -f1 "$WORK/rows-start.txt" | sort | tr '\n' ' ')" = "0 1 " ] || fail "numbers at start: $(cut -f1 "$WORK/rows-start.txt")"
agree_with_ffprobe "$vcd"
agree_with_ffprobe "$dvd"

# Add through Wine's open-file dialog: the user types the path of the MPEG file and presses Enter.
echo '*' >"$dialog_answer"
before=$(modal_lines)
click 1003/1006
wait_until '[ "$(modal_lines)" -gt '"$before"' ]' 10 || fail "Add shows no file dialog"
sed -n '$p' "$TARMELO_MODAL_LOG" | utf8
file_dialog() { xdotool search --onlyvisible --name '^(打开|Open)$' 2>/dev/null | head -1; }
wait_until '[ -n "$(file_dialog)" ]' 20 || fail "no open-file dialog on the screen"
sleep 1
shot add-file-dialog
xdotool key --delay 50 Home shift+End
xdotool type --delay 30 "$(wine_path "$media/clip.mpg")"
sleep 0.3
xdotool key Return
wait_until '[ -z "$(file_dialog)" ]' 10 || { shot add-file-dialog-stuck; fail "the open-file dialog stays open"; }
wait_until '[ "$(rows | wc -l)" -ge 3 ]' 30 || fail "no row for the file chosen in the open-file dialog: $(rows)"

# Add through the seam: the AVI and the MP4 file.
add_through_seam "$media/clip.avi" 4
add_through_seam "$media/clip.mp4" 5
shot add-added

# Refusals: the listed MPEG file again, and a file of the CD-ROM drive; the list keeps its rows.
refused() {  # refused PATH TEXT
  echo "$1" >"$dialog_answer"
  local at; at=$(modal_lines)
  click 1003/1006
  wait_until '[ "$(modal_lines)" -ge $((at + 2)) ]' 10 || fail "no refusal for $1: $(utf8 <"$TARMELO_MODAL_LOG")"
  local said; said=$(sed -n "$((at + 2))p" "$TARMELO_MODAL_LOG" | utf8)
  echo "Add $1: $said"
  [ "$said" = "多媒体文件增加	$2" ] || fail "Add $1 says: $said"
  [ "$(rows | wc -l)" = 5 ] || fail "rows after refusing $1: $(rows)"
}
refused "$(wine_path "$media/clip.mpg")" "多媒体文件已在列表中存在"
refused 'D:\clip.mpg' "请不要选择光驱多媒体文件，它是自动添加"

# Each added row is the probe's record as the saved list holds it, and agrees with ffprobe.
rows | cells >"$WORK/rows-added.txt"
cat "$WORK/rows-added.txt"
[ "$(cut -f1 "$WORK/rows-added.txt" | tr '\n' ' ')" = "0 1 2 3 4 " ] || fail "numbers: $(cut -f1 "$WORK/rows-added.txt")"
for f in clip.mpg clip.avi clip.mp4; do
  grep -qF "$(wine_path "$media/$f")" "$WORK/rows-added.txt" || fail "no row for $f"
done
click 1003/1009
wait_until '[ -s "$bin/mpgmp4info.dat" ]' 10 || fail "Save writes no list"
python3 "$here/list_records.py" "$bin/mpgmp4info.dat" >"$WORK/records.txt" || fail "cannot read the saved list"
[ "$(wc -l <"$WORK/records.txt")" = 3 ] || fail "saved records: $(cat "$WORK/records.txt")"
grep -v $'\tD:\\\\' "$WORK/rows-added.txt" | diff "$WORK/records.txt" - || fail "the rows are not the probe's records"
while IFS= read -r row; do agree_with_ffprobe "$row"; done <"$WORK/records.txt"

# The disc refresh lists the drive's files again, then the table's.
click 1003/1010
sleep 1
rows | cells >"$WORK/rows-refreshed.txt"
[ "$(cut -f4 "$WORK/rows-refreshed.txt" | head -2 | sort | tr '\n' ' ')" = "DVD VCD " ] ||
  fail "after the disc refresh: $(cat "$WORK/rows-refreshed.txt")"
[ "$(wc -l <"$WORK/rows-refreshed.txt")" = 5 ] || fail "rows after the disc refresh: $(cat "$WORK/rows-refreshed.txt")"
shot add-disc-refreshed

echo "modal log:"; utf8 <"$TARMELO_MODAL_LOG"
exit_program

# A damaged saved list loads the records that are whole: the saved list of three records (2400 bytes
# each after the 4-byte count) with its count made negative or far too large, or cut inside its third
# record. Each start lists the CD-ROM's two files, then the saved records it could read, in order.
cp "$bin/mpgmp4info.dat" "$WORK/saved.dat"
cut -f2 "$WORK/records.txt" >"$WORK/saved-paths.txt"
damaged() {  # damaged NAME COUNT RECORD_BYTES WHOLE_RECORDS
  local name=$1 count=$2 bytes=$3 whole=$4
  { python3 -c "import struct, sys; sys.stdout.buffer.write(struct.pack('<i', $count))"
    tail -c +5 "$WORK/saved.dat" | head -c "$bytes"; } >"$bin/mpgmp4info.dat"
  start_program
  wait_until '[ "$(rows | wc -l)" -ge $((2 + whole)) ]' 20 || fail "damaged list ($name): rows $(rows)"
  sleep 1
  rows | cells >"$WORK/rows-damaged.txt"
  shot "add-damaged-$name"
  echo "damaged list ($name, count $count, $bytes bytes of records): $(($(wc -l <"$WORK/rows-damaged.txt") - 2)) saved rows"
  [ "$(wc -l <"$WORK/rows-damaged.txt")" = $((2 + whole)) ] || fail "damaged list ($name): rows $(cat "$WORK/rows-damaged.txt")"
  grep -v $'\tD:\\\\' "$WORK/rows-damaged.txt" | cut -f2 | diff <(head -n "$whole" "$WORK/saved-paths.txt") - ||
    fail "damaged list ($name): not the first $whole saved records"
  exit_program
}
damaged negative-count -5 7200 0
damaged huge-count 100000 7200 3
damaged cut-short 3 $((2 * 2400 + 1000)) 2
echo "PASS: Add through the open-file dialog and the seam (rows = saved records = ffprobe), duplicate and CD-ROM refusals, VCD and DVD rows, damaged lists (count -5, 100000, cut short) load their whole records"
