#!/bin/bash
# Converting two listed files as a user does, in fast mode, into each of the seven output kinds (3GP;
# MP4 and AVI each with H.263, MPEG-4 and H.264 pictures), one output per file and merged into one:
# the kind, the codec, the picture size and the merge mode are chosen on the settings pages and the
# main dialog, the output folder typed on the 3GP page. ffprobe reads each output's codecs, streams,
# picture size (the size its kind's page names), picture count and stream lengths (merged: the sum of
# both sources' within a picture); the names carry the start time and the source's name; the status
# line and the box name the output. (One kind in normal mode: main_convert_controls.)
#   main_convert_test.sh BIN_DIR ARTIFACT_DIR PART   (DISPLAY and WORK are set by wine-run.sh)
# PART is per-file or merged (the merge mode of all its runs), so that ctest runs them side by side.
set -u
src_bin=$1; artifacts=$2; part=$3
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
case $part in
  per-file) merge=0 ;;
  merged) merge=1 ;;
  *) fail "unknown part $part" ;;
esac
own_program_folder "$src_bin"

# Two sources of one second (25 pictures each): an MPEG-1 program stream and an AVI (MPEG-4 and MP3).
media=$WORK/media
out=$WORK/out
mkdir -p "$media" "$out"
mpeg1_fixture 1 "$media/first.mpg"
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=frequency=1000:duration=1 \
  -c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k -ar 44100 -f avi "$media/second.avi" || fail "no AVI fixture"
pictures() { ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$1"; }
# Length in seconds of a file's first stream of a type (v or a): its decoded length, as ffmpeg reads
# it to the end (the last timestamp plus its duration), which every container gives alike.
length() {
  ffmpeg -v error -i "$1" -map "0:$2:0" -f null - -progress pipe:1 2>/dev/null |
    awk -F= '$1 == "out_time_us" { t = $2 } END { printf "%.3f\n", t / 1e6 }'
}
first_pictures=$(pictures "$media/first.mpg"); second_pictures=$(pictures "$media/second.avi")
echo "sources: $first_pictures and $second_pictures pictures at 25 a second, each with a second of tone"

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
start_program
shot "convert-$part-start"
add_through_seam "$media/first.mpg" 1
add_through_seam "$media/second.avi" 2
shot "convert-$part-listed"

# Each settings page shown once (only a page the user has opened gives its settings to a run), on the
# screen in one part; the output folder typed on the 3GP page.
page_names=(files 3gp mp4 avi)
for page in 1 2 3 0; do
  "$bin/winprobe.exe" tab "$caption" 1003 $page || fail "no tab $page"
  sleep 0.3
  [ "$part" = per-file ] && [ "$page" != 0 ] && shot "convert-page-${page_names[page]}"
done
"$bin/winprobe.exe" type "$caption" 1003/148/1020 "$(wine_path "$out")\\" || fail "cannot type the output folder"
pick() { "$bin/winprobe.exe" pick "$caption" "$1" "$2" || fail "cannot pick item $2 of $1"; }
pick 1012 1   # fast conversion
pick 1003/148/1019 "$merge"
# Picture sizes by kind: 3GP keeps its page's first start default, the MP4 and AVI pages each get
# another of their sizes, so that a kind taking another kind's size shows. The pages' size items are
# "宽176 高144", "宽352 高288", "宽704 高576", "宽128 高96", ...
sizes=(176x144 352x288 704x576 128x96)
ini_choice=$(iconv -f GBK -t UTF-8 "$bin/pravolin.ini" | tr -d '\r' | sed -n 's/^H263标准视频大小选择方式=//p')
[ "$ini_choice" = 0 ] || fail "the 3GP size is not at its default: ${ini_choice:-missing}"
pick 1003/179/1022 1
pick 1003/149/1026 3
declare -A kind_size=([0]=${sizes[0]} [1]=${sizes[1]} [2]=${sizes[3]})
echo "picture sizes: 3GP ${kind_size[0]}, MP4 ${kind_size[1]}, AVI ${kind_size[2]}"

# Whether $1 lies within $3 of $2.
near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }

# One run: convert NAME EXT FORMAT CODEC "VIDEO AUDIO"
convert() {
  local name=$1 ext=$2 format=$3 codec=$4 want=$5
  rm -f "$out"/*
  # (Only what changes is picked: each winprobe call is a Wine start.)
  [ "$format" = 1 ] && pick 1003/179/1024 "$codec"
  [ "$format" = 2 ] && pick 1003/149/1029 "$codec"
  pick 1013 "$format"
  "$bin/winprobe.exe" select "$caption" 1003/1007 0 1 || fail "cannot select the rows"
  local at; at=$(wc -l <"$TARMELO_MODAL_LOG")
  local began=$SECONDS
  click 1025
  wait_until 'status_text | grep -q "^转换完成"' 120 || { shot "convert-$part-$ext-$codec-stuck"; fail "$name: no completion; status $(status_text)"; }
  shot "convert-$part-$ext-$codec-done"
  wait_until '[ "$(enabled 1006)" = 1 ] && [ "$(enabled 1025)" = 1 ]' 10 || fail "$name: Play or Convert stays disabled"
  local made; made=$(cd "$out" && ls)
  echo "$name ($((SECONDS - began)) s): $(echo "$made" | tr '\n' ' ')"
  # Names: the start time (14 digits) and the source's name; merged: one output, named after the first.
  local expect='^[0-9]{14}first\.'$ext'$'
  [ "$merge" = 1 ] || expect="$expect"'|^[0-9]{14}second\.'$ext'$'
  [ "$(echo "$made" | wc -l)" = $((merge == 1 ? 1 : 2)) ] || fail "$name: outputs $made"
  echo "$made" | grep -Evq "$expect" && fail "$name: output names $made"
  local last; last=$(echo "$made" | grep -E "second\.$ext$" || echo "$made" | head -1)
  local done_text="转换完成,输出文件保存在$(wine_path "$out")\\$last"
  [ "$(status_text)" = "$done_text" ] || fail "$name: status $(status_text), expected $done_text"
  sed -n "$((at + 1)),\$p" "$TARMELO_MODAL_LOG" | utf8 | grep -qxF "$caption	$done_text" ||
    fail "$name: no completion box; modal log $(sed -n "$((at + 1)),\$p" "$TARMELO_MODAL_LOG" | utf8)"
  local f
  for f in $made; do
    local streams size count video audio wanted wanted_length
    streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 "$out/$f" | LC_ALL=C sort | tr '\n' ' ')
    size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$out/$f")
    count=$(pictures "$out/$f")
    video=$(length "$out/$f" v); audio=$(length "$out/$f" a)
    case $f in
      *first.*) wanted=$((merge == 1 ? first_pictures + second_pictures : first_pictures)) ;;
      *) wanted=$second_pictures ;;
    esac
    # The sources' length: their pictures at 25 a second (the tone lasts as long).
    wanted_length=$(awk -v n="$wanted" 'BEGIN { printf "%.3f\n", n / 25 }')
    local errors; errors=$(ffmpeg -v error -i "$out/$f" -f null - 2>&1 | head -3)
    echo "  $f: $streams; $size; $count pictures (sources $wanted); pictures $video s, sound $audio s (sources $wanted_length s)${errors:+; decode: $errors}"
    [ "$streams" = "$want" ] || fail "$name: $f has streams $streams, expected $want"
    [ "$size" = "${kind_size[$format]}" ] || fail "$name: $f is $size, its page says ${kind_size[$format]}"
    [ "${count:-0}" -ge $((wanted - 1)) ] && [ "${count:-0}" -le $((wanted + 1)) ] ||
      fail "$name: $f holds $count pictures, the sources $wanted"
    # Pictures within one picture (1/25 s) of the sources' length; the sound within one picture and two
    # frames of its coder (at most 2 x 1152 samples, 0.052 s: MP3 in AVI keeps the coder's start-up
    # delay, and a last frame is padded whole).
    near "$video" "$wanted_length" 0.04 || fail "$name: $f's pictures last $video s, the sources $wanted_length s"
    near "$audio" "$wanted_length" 0.092 || fail "$name: $f's sound lasts $audio s, the sources $wanted_length s"
    [ -z "$errors" ] || fail "$name: $f does not decode cleanly: $errors"
  done
}

# (ffprobe's sorted "codec,type" pairs.)
convert "3GP"        3gp 0 0 "amr_nb,audio h263,video "
convert "MP4 H.263"  mp4 1 0 "aac,audio h263,video "
convert "MP4 MPEG-4" mp4 1 1 "aac,audio mpeg4,video "
convert "MP4 H.264"  mp4 1 2 "aac,audio h264,video "
convert "AVI H.263"  avi 2 0 "h263,video mp3,audio "
convert "AVI MPEG-4" avi 2 1 "mp3,audio mpeg4,video "
convert "AVI H.264"  avi 2 2 "h264,video mp3,audio "
exit_program
echo "PASS: two files into each of the seven output kinds, $part, in fast mode"
