#!/bin/bash
# Converting two listed files as a user does, in fast mode, into each of the seven output kinds (3GP;
# MP4 and AVI each with H.263, MPEG-4 and H.264 pictures), one output per file and merged into one:
# the kind, the codec and the merge mode are chosen on the settings pages and the main dialog, the
# output folder typed on the 3GP page. ffprobe reads each output's codecs, streams and length (merged:
# the sum of both sources' within a picture); the names carry the start time and the source's name; the
# status line and the box name the output.
#   main_convert_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

# Two sources of one second (25 pictures each): an MPEG-1 program stream and an AVI (MPEG-4 and MP3).
media=$WORK/media
out=$WORK/out
mkdir -p "$media" "$out"
mpeg1_fixture 1 "$media/first.mpg"
ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=frequency=1000:duration=1 \
  -c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k -ar 44100 -f avi "$media/second.avi" || fail "no AVI fixture"
pictures() { ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$1"; }
first_pictures=$(pictures "$media/first.mpg")
second_pictures=$(pictures "$media/second.avi")
echo "sources: $first_pictures and $second_pictures pictures at 25 a second"

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
start_program
add_through_seam "$media/first.mpg" 1
add_through_seam "$media/second.avi" 2

# Each settings page shown once (only a page the user has opened gives its settings to a run); the
# output folder typed on the 3GP page.
for page in 1 2 3 0; do "$bin/winprobe.exe" tab "$caption" 1003 $page || fail "no tab $page"; sleep 0.3; done
"$bin/winprobe.exe" type "$caption" 1003/148/1020 "$(wine_path "$out")\\" || fail "cannot type the output folder"
pick() { "$bin/winprobe.exe" pick "$caption" "$1" "$2" || fail "cannot pick item $2 of $1"; }
pick 1012 1   # fast conversion

# One run: convert NAME EXT FORMAT CODEC MERGE "VIDEO AUDIO"
convert() {
  local name=$1 ext=$2 format=$3 codec=$4 merge=$5 want=$6
  rm -f "$out"/*
  # (Only what changes is picked: each winprobe call is a Wine start.)
  [ "$merge" = "${merge_picked:-}" ] || { pick 1003/148/1019 "$merge"; merge_picked=$merge; }
  [ "$format" = 1 ] && pick 1003/179/1024 "$codec"
  [ "$format" = 2 ] && pick 1003/149/1029 "$codec"
  pick 1013 "$format"
  "$bin/winprobe.exe" select "$caption" 1003/1007 0 1 || fail "cannot select the rows"
  local at; at=$(wc -l <"$TARMELO_MODAL_LOG")
  local began=$SECONDS
  click 1025
  wait_until 'status_text | grep -q "^转换完成"' 120 || { shot "convert-$ext-$codec-$merge"; fail "$name: no completion; status $(status_text)"; }
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
    local streams count wanted
    streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 "$out/$f" | LC_ALL=C sort | tr '\n' ' ')
    count=$(pictures "$out/$f")
    case $f in
      *first.*) wanted=$((merge == 1 ? first_pictures + second_pictures : first_pictures)) ;;
      *) wanted=$second_pictures ;;
    esac
    local errors; errors=$(ffmpeg -v error -i "$out/$f" -f null - 2>&1 | head -3)
    echo "  $f: $streams; $count pictures (sources $wanted)${errors:+; decode: $errors}"
    [ "$streams" = "$want" ] || fail "$name: $f has streams $streams, expected $want"
    [ "${count:-0}" -ge $((wanted - 1)) ] && [ "${count:-0}" -le $((wanted + 1)) ] ||
      fail "$name: $f holds $count pictures, the sources $wanted"
    [ -z "$errors" ] || fail "$name: $f does not decode cleanly: $errors"
  done
}

# (ffprobe's sorted "codec,type" pairs.)
for merge in 0 1; do
  convert "3GP merge $merge"        3gp 0 0 $merge "amr_nb,audio h263,video "
  convert "MP4 H.263 merge $merge"  mp4 1 0 $merge "aac,audio h263,video "
  convert "MP4 MPEG-4 merge $merge" mp4 1 1 $merge "aac,audio mpeg4,video "
  convert "MP4 H.264 merge $merge"  mp4 1 2 $merge "aac,audio h264,video "
  convert "AVI H.263 merge $merge"  avi 2 0 $merge "h263,video mp3,audio "
  convert "AVI MPEG-4 merge $merge" avi 2 1 $merge "mp3,audio mpeg4,video "
  convert "AVI H.264 merge $merge"  avi 2 2 $merge "h264,video mp3,audio "
done
shot convert-done
exit_program
echo "PASS: two files into each of the seven output kinds, one output each and merged, in fast mode"
