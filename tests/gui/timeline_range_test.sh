#!/bin/bash
# The timeline and its range editing in the real program, over files added through the list (the probe
# writes each index file, the analysis puts thumbnails in it and shows the list on the timeline):
#   - a one-picture AVI: Edit, then Done with start = end keeps the editing; Edit again cancels it;
#   - an all-intra AVI: Edit, both range edges dragged with the mouse (exact 9991/9992 texts), Start
#     and End swapping, Done; Convert gives exactly the chosen pictures (ffprobe); Edit during the run
#     is refused;
#   - an MPEG-4 MP4 with a key picture every 10: a range starting at picture 23 is read from the key
#     picture 20 the MP4 branch walks back to and written from 23;
#   - Save and restart: the restored row reads its index back, so the same range converts again, and
#     hovering a thumbnail draws it into control 1000 (pixels compared with the index's thumbnail);
#   - hostile index files in the restored row's place: refused, nothing shown, the file unchanged.
#   timeline_range_test.sh BIN_DIR ARTIFACT_DIR PART   (DISPLAY and WORK are set by wine-run.sh --gui)
# PART is range (everything but the hostile files), hostile-1 or hostile-2 (four hostile files each,
# after a list with the analysed all-intra AVI is saved), so that ctest runs them side by side.
set -u
src_bin=$1; artifacts=$2; part=$3
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"

own_program_folder "$src_bin"

media=$WORK/media
mkdir -p "$media"
# 3 s at 25 pictures a second, every picture a key picture: entry i is picture i at 40 i ms.
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=3 -f lavfi -i sine=frequency=1000:duration=3 \
  -c:v mpeg4 -vtag XVID -q:v 3 -g 1 -c:a libmp3lame -b:a 128k -f avi "$media/intra.avi" || fail "no fixture"
# 60 s, small pictures: a conversion that lasts while the test clicks.
ffmpeg -v error -f lavfi -i testsrc=size=160x120:rate=25:duration=60 -c:v mpeg4 -vtag XVID -q:v 5 -an \
  -f avi "$media/long.avi" || fail "no long fixture"
# One picture only.
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25 -frames:v 1 -c:v mpeg4 -vtag XVID -q:v 3 -an \
  -f avi "$media/one.avi" || fail "no one-picture fixture"
# 2.4 s (entries 0..59), a key picture every 10 pictures (0, 10, 20 …), no B pictures.
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=2.4 -c:v mpeg4 -q:v 3 -g 10 -keyint_min 10 \
  -sc_threshold 0 -bf 0 -an "$media/gop.mp4" || fail "no GOP fixture"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"

# "check,enabled" of a control, e.g. "1,1" for a pressed, enabled button.
expect_buttons() {  # $1 what is checked, then id=check,enabled pairs
  local what=$1; shift
  for pair in "$@"; do
    local id=${pair%%=*} want=${pair#*=} got
    got=$(button "$id")
    [ "$got" = "$want" ] || fail "$what: button $id is $got, wanted $want"
  done
}
expect_status() { [ "$(status_text)" = "$2" ] || fail "$1: status \"$(status_text)\", wanted \"$2\""; }
# The timeline view's client area on the screen.
view_place() { probe client "$caption" 2006; }
frames_of() { ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }
# Converts row $1 to 3GP (the default output) and moves the output to $WORK/$2.3gp; its frame count.
convert_row() {
  local before
  before=$(iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -c "转换完成")
  "$bin/winprobe.exe" select "$caption" 1003/1007 "$1" || fail "cannot select row $1"
  click 1025
  [ -n "${3:-}" ] && eval "$3"
  wait_until '[ "$(iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -c "转换完成")" -gt '"$before"' ]' 120 ||
    fail "no completion of row $1; status: $(status_text)"
  local out
  out=$(ls -t "$bin"/*.3gp 2>/dev/null | head -1)
  [ -n "$out" ] || fail "no output of row $1"
  mv "$out" "$WORK/$2.3gp"
  frames_of "$WORK/$2.3gp"
}
# The newest index file, and its thumbnails ("entry x" per thumbnail the view draws: at least 65 pixels
# apart, 3 pixels an entry).
newest_index() { ls -t "$bin"/dat/* 2>/dev/null | grep -v '\.part$' | head -1; }
thumbnails() {
  python3 - "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<i', b, 20)[0]
at, last = 24, -1999
for i in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    if size > 0 and 3 * i > last + 64:
        print(i, 3 * i)
        last = 3 * i
    at += 28 + size
PY
}
# Thumbnail $2 of index $1 as a picture file $3 (the index keeps 128 x 88 B,G,R rows top-down, packed).
thumbnail_picture() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys, zlib
b = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<i', b, 20)[0]
at = 24
for i in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    if i == int(sys.argv[2]):
        bgr = zlib.decompress(b[at + 28:at + 28 + size])
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        open(sys.argv[3], 'wb').write(b'P6 128 88 255\n' + bytes(rgb))
        break
    at += 28 + size
PY
}
# Entry count of an index file.
entry_count() { python3 -c 'import struct, sys; print(struct.unpack_from("<i", open(sys.argv[1], "rb").read(), 20)[0])' "$1"; }
# A range status text: $1 its words, entries $3 and $4 of index $2 (times as the program shows them:
# float milliseconds times 0.001f).
range_text() {
  python3 - "$@" <<'PY'
import struct, sys
words, path, s, e = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
b = open(path, 'rb').read()
n = struct.unpack_from('<i', b, 20)[0]
times, at = [], 24
for i in range(n):
    times.append(struct.unpack_from('<i', b, at + 12)[0])
    at += 28 + struct.unpack_from('<i', b, at + 20)[0]
f32 = lambda v: struct.unpack('<f', struct.pack('<f', v))[0]
sec = lambda i: f32(f32(float(times[i])) * f32(0.001))
print("%s 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒" % (words, sec(s), sec(e), sec(e) - sec(s)))
PY
}
within_one() { [ "$1" -ge $(($2 - 1)) ] && [ "$1" -le $(($2 + 1)) ]; }

range_part() {
start_program
expect_buttons "at the start" 1061=0,0 1062=0,0 1063=0,0 1064=0,0

# A one-picture list: Done with start = end stays in editing; Edit again cancels.
add_through_seam "$media/one.avi" 1
wait_until '[ "$(button 1061)" = 0,1 ]' 60 || fail "the one-picture file is not shown on the timeline"
click 1061
expect_buttons "one picture, editing" 1061=1,1 1062=1,1 1063=0,1 1064=0,1
click 1064
expect_buttons "one picture, Done with start = end" 1061=1,1 1062=1,1 1063=0,1 1064=0,1 1025=0,0 1036=0,0
click 1061
expect_buttons "one picture, cancelled" 1061=0,1 1062=0,0 1063=0,0 1064=0,0 1025=0,1 1036=0,1
expect_status "cancel" "取消编辑转换多媒体文件视频 开始时间0.00秒 结束时间0.00秒 总计0.00秒"
"$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
click 1003/1008
wait_until '[ -z "$(rows)" ]' 10 || fail "the row was not removed"
expect_buttons "row removed" 1061=0,0

# The all-intra AVI: the analysis shows its list (entries 0..74) on the timeline.
add_through_seam "$media/intra.avi" 1
wait_until '[ "$(button 1061)" = 0,1 ]' 60 || fail "the AVI is not shown on the timeline"
intra_index=$(newest_index)
last=$(($(entry_count "$intra_index") - 1))
echo "all-intra AVI: entries 0..$last"
shot timeline-shown
# Edit: Start pressed, End released, Done enabled; Play, Convert, Stop and Exit off.
click 1061
expect_buttons "editing" 1061=1,1 1062=1,1 1063=0,1 1064=0,1 1006=0,0 1025=0,0 1007=0,0 1036=0,0
expect_status "edit" "$(range_text 开始编辑转换多媒体文件视频 "$intra_index" 0 "$last")"
# The start from entry 0 (x 0) to entry 20 (x 60), the end from the last entry to entry 50 (x 150).
drag 1 61
expect_status "9991" "$(range_text 选择转换多媒体文件视频开始位置 "$intra_index" 20 "$last")"
drag $((3 * last)) 151
expect_status "9992" "$(range_text 选择转换多媒体文件视频结束位置 "$intra_index" 20 50)"
# The end onto the start changes nothing.
drag 150 61
expect_status "end onto the start" "$(range_text 选择转换多媒体文件视频结束位置 "$intra_index" 20 50)"
# End pressed releases Start; Start pressed releases End.
click 1063
expect_buttons "End" 1062=0,1 1063=1,1
expect_status "End" "$(range_text 选择转换多媒体文件视频结束位置 "$intra_index" 20 50)"
click 1062
expect_buttons "Start" 1062=1,1 1063=0,1
expect_status "Start" "$(range_text 选择转换多媒体文件视频开始位置 "$intra_index" 20 50)"
read -r vx vy vw vh < <(view_place)
crop_screen "$vx" "$vy" "$vw" "$vh" "$artifacts/timeline-editing.png"
click 1064
expect_status "Done" "$(range_text 确认转换多媒体文件视频 "$intra_index" 20 50)"
expect_buttons "Done" 1061=0,1 1062=0,0 1063=0,0 1064=0,0 1006=0,1 1025=0,1 1007=0,1 1036=0,1

# Convert: entries 20 up to 50, 30 pictures.
cut=$(convert_row 0 intra-cut) || { echo "$cut"; exit 1; }
echo "all-intra AVI, range 0.80..2.00 s: $cut pictures (30 wanted)"
within_one "$cut" 30 || fail "$cut pictures converted, wanted 30 (entries 20..49)"

# Edit during a run is refused and leaves it alone: a 60 s file converting (a range of the short
# files can end before a click lands on a loaded machine), then Stop; the row is removed again while
# its analysis may still run.
add_through_seam "$media/long.avi" 2
"$bin/winprobe.exe" select "$caption" 1003/1007 1 || fail "cannot select the long row"
click 1025
wait_until '[ "$(enabled 1025)" = 0 ]' 30 || fail "the long conversion does not start: $(status_text)"
click 1061
[ "$(enabled 1025)" = 0 ] || fail "the long conversion ended before Edit was pressed"
expect_buttons "Edit during the run" 1061=0,1 1064=0,0
status_text | grep -q "播放或转换时不能编辑转换范围" || echo "note: the refusal text was overwritten: $(status_text)" >&2
click 1007
wait_until '[ "$(enabled 1025)" = 1 ]' 30 || fail "Stop does not end the long conversion"
"$bin/winprobe.exe" select "$caption" 1003/1007 1 || fail "cannot select the long row"
click 1003/1008
wait_until '[ "$(rows | wc -l)" = 1 ]' 10 || fail "the long row was not removed"
rm -f "$bin"/*.3gp

# The GOP file: a start at entry 23 walks back to the key picture at entry 20.
add_through_seam "$media/gop.mp4" 2
gop_index=""
wait_until 'gop_index=$(newest_index); [ "$gop_index" != "$intra_index" ] && [ -n "$(thumbnails "$gop_index")" ]' 60 ||
  fail "the MP4 got no thumbnails"
sleep 1
glast=$(($(entry_count "$gop_index") - 1))
click 1061
expect_status "GOP edit" "$(range_text 开始编辑转换多媒体文件视频 "$gop_index" 0 "$glast")"
drag 1 70
drag $((3 * glast)) 151
click 1064
expect_status "GOP Done" "$(range_text 确认转换多媒体文件视频 "$gop_index" 23 50)"
gop=$(convert_row 1 gop-cut) || { echo "$gop"; exit 1; }
# The MP4 branch reads from the key picture 20 and writes from entry 23 on (as the conversion's own
# range tests have it): 27 pictures.
echo "GOP MP4, range from entry 23 (key pictures every 10): $gop pictures (27 wanted: read from 20, written from 23)"
within_one "$gop" 27 || fail "$gop pictures converted, wanted 27 (entries 23..49)"

# Save, Exit, restart: the first row reads its index back and keeps its range.
click 1003/1009
exit_program
start_program
wait_until '[ -n "$(rows)" ]' 20 || fail "no rows after the restart"
wait_until '[ "$(button 1061)" = 0,1 ]' 20 || fail "the restored row is not on the timeline"
# Hovering the second thumbnail drawn draws it into control 1000.
read -r entry x < <(thumbnails "$intra_index" | sed -n 2p)
[ -n "$entry" ] || fail "fewer than two thumbnails drawn"
read -r vx vy vw vh < <(view_place)
xdotool mousemove $((vx + x + 30)) $((vy + 30))
sleep 0.3
xdotool mousemove $((vx + x + 31)) $((vy + 31))
sleep 0.7
read -r px py _ _ < <(probe client "$caption" 1000)
crop_screen "$px" "$py" 128 88 "$WORK/shown.png"
thumbnail_picture "$intra_index" "$entry" "$WORK/thumb.ppm"
read -r first _ < <(thumbnails "$intra_index")
thumbnail_picture "$intra_index" "$first" "$WORK/other.ppm"
same=$(picture_difference "$WORK/shown.png" "$WORK/thumb.ppm")
other=$(picture_difference "$WORK/shown.png" "$WORK/other.ppm")
echo "hover over entry $entry: control 1000 differs from its thumbnail by $same, from entry $first's by $other (mean, 0..1)"
awk -v a="$same" -v b="$other" 'BEGIN { exit !(a < 0.01 && b > 2 * a + 0.005) }' || fail "control 1000 does not show thumbnail $entry"
cp "$WORK/shown.png" "$artifacts/timeline-hover-preview.png"
crop_screen "$vx" "$vy" "$vw" "$vh" "$artifacts/timeline-restored.png"
again=$(convert_row 0 intra-again) || { echo "$again"; exit 1; }
echo "after the restart: $again pictures"
[ "$again" = "$cut" ] || fail "after the restart $again pictures, before $cut"
exit_program
echo "PASS: timeline range edit, convert, GOP walk back, restart, hover"
}

# Hostile index files in the restored row's place: refused, the file unchanged, no crash. The list
# with the analysed all-intra AVI is saved first.
hostile_part() {
start_program
add_through_seam "$media/intra.avi" 1
wait_until '[ "$(button 1061)" = 0,1 ]' 60 || fail "the AVI is not shown on the timeline"
intra_index=$(newest_index)
click 1003/1009
exit_program
cp "$intra_index" "$WORK/good.idx"
put32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) $(($2 >> 16 & 255)) $(($2 >> 24 & 255)))" |
  dd of="$3" bs=1 seek="$1" conv=notrunc status=none; }
for case in "$@"; do
  cp "$WORK/good.idx" "$intra_index"
  case $case in
    huge_count) put32 20 2147483647 "$intra_index" ;;
    thumb_past_end) put32 44 30000000 "$intra_index" ;;
    thumb_64k) put32 44 70000 "$intra_index"; head -c 70000 /dev/zero >>"$intra_index" ;;
    block_1025) printf '\x01\x04\x00\x00' >>"$intra_index"; head -c 1025 /dev/zero >>"$intra_index"; printf '\0\0\0\0' >>"$intra_index" ;;
    short_header) head -c 16 "$WORK/good.idx" >"$intra_index" ;;
    width0) put32 4 0 "$intra_index" ;;
    width100000) put32 4 100000 "$intra_index" ;;
    trailing) printf '\x01\x02\x03' >>"$intra_index" ;;
  esac
  before=$(md5sum <"$intra_index")
  start_program
  wait_until '[ -n "$(rows)" ]' 20 || fail "$case: the rows are not listed"
  sleep 0.5
  [ "$(button 1061)" = 0,0 ] || fail "hostile $case: the row is shown on the timeline (index files: $(ls -l --time-style=+%T "$bin"/dat | tr '\n' ' '); status: $(status_text))"
  [ "$(md5sum <"$intra_index")" = "$before" ] || fail "$case: the index file changed"
  exit_program
  echo "hostile $case: refused"
done
cp "$WORK/good.idx" "$intra_index"
echo "PASS: hostile index files $*"
}

case $part in
  range) range_part ;;
  hostile-1) hostile_part huge_count thumb_past_end thumb_64k block_1025 ;;
  hostile-2) hostile_part short_header width0 width100000 trailing ;;
  *) fail "unknown part $part" ;;
esac
