#!/bin/bash
# Conversions follow what the pages show, without Save: Convert copies the pages into the settings.
#   3GP: size 352x288, a key picture every 5 pictures, AMR 12.2 (32-byte frames), mono from the left
#        channel (the source's left is 1 kHz, its right 500 Hz);
#   MP4: MPEG-4 at a custom 400x300 keeping proportions (black bands above and below a 320x176 source),
#        AAC 64 kbit/s at 22050 Hz, one channel taken from the left;
#   AVI: MP3 MPEG-1 CBR 192 kbit/s, then ABR 160 kbit/s;
#   each video codec the pages offer, told by ffprobe: 3GP H.263; MP4 H.263 (the size list refilled with
#   the standard sizes), MPEG-4 and H.264; AVI H.263, MPEG-4 and H.264;
#   merge mode: two rows converted into one AVI holding the pictures of both;
#   and an ABR rate outside 80..320 stops Convert before anything is written.
#   settings_conversions_test.sh BIN_DIR ARTIFACT_DIR   (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../../tests/gui/gui_steps.sh"

bin=$WORK/app
mkdir -p "$bin" "$WORK/made"
# Without the sibling player the end of a conversion is a plain OK box, which the seam answers.
for f in "$src_bin"/*; do [ "$(basename "$f")" = tolmmpegplay.exe ] || ln -s "$f" "$bin/"; done

# 3 s: a moving test picture; left 1 kHz, right 500 Hz, each with a little noise (so the AAC encoder
# has something to spend its rate on).
media=$WORK/media
mkdir -p "$media"
ffmpeg -v error -f lavfi -i testsrc=size=320x176:rate=25:duration=3 \
  -f lavfi -i "aevalsrc=0.5*sin(2*PI*1000*t)+0.05*(random(0)*2-1)|0.5*sin(2*PI*500*t)+0.05*(random(1)*2-1):s=44100:d=3" \
  -c:v mpeg1video -b:v 1500k -c:a mp2 -b:a 192k -ar 44100 -ac 2 -f mpeg "$media/clip.mpg" || fail "no fixture"
cp "$media/clip.mpg" "$media/clip2.mpg"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
done_count() { iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -c "转换完成,输出文件保存在"; }
set_control() { "$bin/winprobe.exe" "$1" "$caption" "$2" "$3" || fail "cannot set $2"; }
show_tab() { probe tab "$caption" 1003 "$1" >/dev/null; sleep 0.3; }

# Converts the listed file (or the rows $4) to output type $1 (0 3GP, 1 MP4, 2 AVI); the output's path.
convert_to() {
  local before ext=$2
  before=$(done_count)
  set_control pick 1013 "$1"
  "$bin/winprobe.exe" select "$caption" 1003/1007 ${4:-0} || fail "cannot select the rows"
  click 1025
  wait_until '[ "$(done_count)" -gt "$before" ]' 120 || fail "no completion; status: $(status_text)"
  local out
  out=$(ls "$bin"/*."$ext" 2>/dev/null | head -1)
  [ -n "$out" ] || fail "no .$ext output"
  [ "$(ls "$bin"/*."$ext" | wc -l)" = 1 ] || fail "more than one .$ext output: $(ls "$bin"/*."$ext")"
  mv "$out" "$WORK/made/$3.$ext"
  echo "$WORK/made/$3.$ext"
}
stream() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 "$3"; }
# Mean audio bit rate from the packets: bytes * 8 / seconds.
audio_kbit() {
  ffprobe -v error -select_streams a -show_entries packet=size,duration_time -of default=nw=1 "$1" |
    awk -F= '$1 == "size" { b += $2 } $1 == "duration_time" { t += $2 } END { printf "%.1f\n", b * 8 / t / 1000 }'
}
# Loudness of a band around $2 Hz in dB.
band_db() {
  ffmpeg -v info -i "$1" -af "bandpass=f=$2:width_type=h:w=80,volumedetect" -f null - 2>&1 |
    sed -n 's/.*mean_volume: \(-*[0-9.]*\) dB/\1/p'
}
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
left_only() {
  local one half
  one=$(band_db "$1" 1000); half=$(band_db "$1" 500)
  echo "$2 bands: 1 kHz $one dB, 500 Hz $half dB"
  awk -v a="$one" -v b="$half" 'BEGIN { exit !(a - b > 15) }' || fail "$2 is not the left channel"
}

start_program
add_through_seam "$media/clip.mpg" 1

# 3GP.
show_tab 1
set_control pick 1003/148/1022 1
set_control slide 1003/148/1016 5
set_control pick 1003/148/1012 7
set_control pick 1003/148/1014 1
out=$(convert_to 0 3gp 3gp) || { echo "$out"; exit 1; }
size=$(stream v:0 codec_name,width,height "$out")
[ "$size" = "h263,352,288" ] || fail "3GP video $size"
keys=$(ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 "$out" |
       awk '{ k = (substr($0, 1, 1) == "K") } k != (NR % 5 == 1) { bad++ } END { print NR, bad + 0 }')
read -r pictures misplaced <<<"$keys"
echo "3GP: $size, $pictures pictures, $misplaced key flags off the 5-picture grid"
[ "$pictures" -ge 70 ] && [ "$misplaced" = 0 ] || fail "key pictures not every 5th ($keys)"
sizes=$(ffprobe -v error -select_streams a:0 -show_entries packet=size -of csv=p=0 "$out" | sort -u | tr '\n' ' ')
first=$(ffprobe -v error -select_streams a:0 -show_packets -show_data "$out" | sed -n 's/^00000000: \(..\).*/\1/p' | head -1)
echo "AMR packet sizes: $sizes; first frame header 0x$first"
for s in $sizes; do [ $((s % 32)) = 0 ] || fail "AMR packet of $s bytes"; done
[ "$first" = 3c ] || fail "AMR frame header 0x$first, not 12.2 kbit/s"
left_only "$out" "3GP sound"

# MP4.
show_tab 2
set_control pick 1003/179/1024 1
set_control pick 1003/179/1022 7
set_control pick 1003/179/1020 1
set_control type 1003/179/1021 400
set_control type 1003/179/1023 300
set_control pick 1003/179/1014 0
set_control pick 1003/179/1015 4
set_control pick 1003/179/1019 1
set_control pick 1003/179/1017 1
out=$(convert_to 1 mp4 mp4) || { echo "$out"; exit 1; }
size=$(stream v:0 codec_name,width,height "$out")
[ "$size" = "mpeg4,400,300" ] || fail "MP4 video $size"
# Rows of the picture that are black (mean luma below 24), from the top and from the bottom.
bands=$(ffmpeg -v error -i "$out" -vf "select=eq(n\,10)" -frames:v 1 -f rawvideo -pix_fmt gray - |
  python3 -c '
import sys
d = sys.stdin.buffer.read(); w, h = 400, 300
rows = [sum(d[y * w:(y + 1) * w]) / w for y in range(h)]
top = next(y for y in range(h) if rows[y] >= 24)
bottom = next(y for y in range(h) if rows[h - 1 - y] >= 24)
print(top, bottom)')
read -r top bottom <<<"$bands"
echo "MP4: $size, black bands $top rows above, $bottom below (320x176 fitted into 400x300: 40 each)"
within "$top" 37 43 && within "$bottom" 37 43 || fail "letterbox bands $top/$bottom"
audio=$(stream a:0 codec_name,sample_rate,channels "$out"); kbit=$(audio_kbit "$out")
echo "MP4 sound: $audio, $kbit kbit/s"
[ "$audio" = "aac,22050,1" ] || fail "MP4 sound $audio"
within "$kbit" 57.6 70.4 || fail "AAC rate $kbit kbit/s, want 64 +-10%"
left_only "$out" "MP4 sound"
# H.263: the size list holds the standard sizes only, the custom size shows the first (176x144).
set_control pick 1003/179/1024 0
[ "$(state_value 1003/179/1022)" = 0 ] || fail "MP4 size choice $(state_value 1003/179/1022) after H.263"
out=$(convert_to 1 mp4 mp4-h263) || { echo "$out"; exit 1; }
video=$(stream v:0 codec_name,width,height "$out")
echo "MP4 H.263: $video"
[ "$video" = "h263,176,144" ] || fail "MP4 H.263 video $video"
set_control pick 1003/179/1024 2
set_control pick 1003/179/1022 1
out=$(convert_to 1 mp4 mp4-h264) || { echo "$out"; exit 1; }
video=$(stream v:0 codec_name,width,height "$out")
echo "MP4 H.264: $video"
[ "$video" = "h264,352,288" ] || fail "MP4 H.264 video $video"

# AVI: MPEG-1 CBR 192 with H.263, then ABR 160 with MPEG-4 (176x144 both).
show_tab 3
set_control pick 1003/149/1029 0
set_control pick 1003/149/1026 0
set_control pick 1003/149/1012 0
set_control pick 1003/149/1013 0
set_control pick 1003/149/1015 10
out=$(convert_to 2 avi avi-cbr) || { echo "$out"; exit 1; }
audio=$(stream a:0 codec_name,sample_rate "$out"); kbit=$(audio_kbit "$out")
video=$(stream v:0 codec_name,width,height "$out")
echo "AVI CBR: $audio, $kbit kbit/s; video $video"
[ "$video" = "h263,176,144" ] || fail "AVI H.263 video $video"
[ "$audio" = "mp3,44100" ] || fail "AVI sound $audio"
within "$kbit" 188 196 || fail "CBR rate $kbit kbit/s"
set_control pick 1003/149/1013 2
set_control type 1003/149/1021 160
set_control pick 1003/149/1029 1
out=$(convert_to 2 avi avi-abr) || { echo "$out"; exit 1; }
audio=$(stream a:0 codec_name,sample_rate "$out"); kbit=$(audio_kbit "$out")
video=$(stream v:0 codec_name,width,height "$out")
echo "AVI ABR: $audio, $kbit kbit/s; video $video"
[ "$audio" = "mp3,44100" ] || fail "AVI sound $audio"
within "$kbit" 144 176 || fail "ABR rate $kbit kbit/s, want 160 +-10%"
[ "$video" = "mpeg4,176,144" ] || fail "AVI MPEG-4 video $video"

# Merge mode (3GP page) with H.264: both rows into one AVI of 2 x 75 pictures.
set_control pick 1003/149/1029 2
show_tab 1
set_control pick 1003/148/1019 1
show_tab 0
add_through_seam "$media/clip2.mpg" 2
out=$(convert_to 2 avi avi-merged "0 1") || { echo "$out"; exit 1; }
video=$(stream v:0 codec_name,width,height "$out")
pictures=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$out")
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
echo "AVI merged: $video, $pictures pictures, $seconds s"
[ "$video" = "h264,176,144" ] || fail "AVI H.264 video $video"
within "$pictures" 148 152 || fail "the merged AVI holds $pictures pictures, wanted 150"

# An ABR rate the page refuses: the text, and no conversion.
set_control type 1003/149/1021 400
before=$(done_count)
"$bin/winprobe.exe" select "$caption" 1003/1007 0
click 1025
wait_until 'iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -q "MP3平均编码速率应在80到320之间"' 10 || fail "no ABR refusal"
sleep 2
[ "$(done_count)" = "$before" ] && [ -z "$(ls "$bin"/*.avi 2>/dev/null)" ] || fail "Convert went on after the refusal"
shot settings-conversions
exit_program
echo "PASS: 3GP, MP4 and AVI conversions follow the pages; a refused page stops Convert"
