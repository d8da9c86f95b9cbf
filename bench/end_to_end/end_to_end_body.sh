#!/bin/bash
# Body of run_end_to_end_bench.sh for the program's window, run by wine-run.sh with a private display:
# for each kind, the settings written to pravolin.ini before the start (as the conversion bench writes
# them for the host), the source added, fast mode and the output format chosen, then Convert clicked
# RUNS times, each timed from the output's creation to its last write (and, quoted beside, from the
# click to the completion text). Prints "[window] KIND: MEDIAN s".
#   end_to_end_body.sh BIN_DIR SECONDS RUNS KIND...
set -u
src_bin=$1; seconds=$2; runs=$3; shift 3
caption='Orvane多媒体MP4转换器'
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
artifacts=$WORK/artifacts
mkdir -p "$artifacts"
source "$here/../../tests/gui/gui_steps.sh"
own_program_folder "$src_bin"

clip=$WORK/src_720x576.mpg
ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=48000 \
  -ac 2 -t "$seconds" -c:v mpeg2video -b:v 6000k -g 12 -bf 2 -c:a mp2 -b:a 224k -f vob "$clip" || fail "ffmpeg could not make the source"
out=$WORK/out
mkdir -p "$out"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"

# The conversion bench's settings for a kind: output format (combo 1013), video codec, size choice.
settings_of() {
  case $1 in
    "MP4 H.264") echo 1 2 4 ;;
    "AVI MPEG-4") echo 2 1 4 ;;
    "3GP H.263") echo 0 0 0 ;;
    *) fail "unknown kind $1" ;;
  esac
}
write_settings() {
  python3 - "$bin/pravolin.ini" "$(wine_path "$out")\\" "$2" "$3" <<'PY'
import sys
path, out_dir, codec, size = sys.argv[1:]
keys = [("MP4文件保存路径", out_dir), ("MP4视频编码方式", codec), ("MP4视频大小选择方式", size),
        ("AVI视频大小选择方式", size), ("H263标准视频大小选择方式", size), ("MP4文件保存方式", "0"),
        ("关键帧出现频率", "25"), ("转换AMR编码速率", "7"), ("音频MP3音频模式", "0"),
        ("音频MP3音频采样速率", "44100"), ("音频MP3恒定速率", "128")]
text = "[Orvane多媒体MP4转换器]\r\n" + "".join("%s=%s\r\n" % k for k in keys)
open(path, "wb").write(text.encode("gbk"))
PY
}
for kind in "$@"; do
  read -r format codec size < <(settings_of "$kind")
  rm -rf "$bin/pravolin.ini" "$bin/mpgmp4info.dat" "$bin/dat"
  write_settings "$kind" "$codec" "$size"
  start_program
  add_through_seam "$clip" 1   # an MPEG program stream gets no key-picture analysis
  "$bin/winprobe.exe" pick "$caption" 1012 1 || fail "no fast mode"
  "$bin/winprobe.exe" pick "$caption" 1013 "$format" || fail "no output format $format"
  times=()
  for run in $(seq "$runs"); do
    rm -f "$out"/*
    "$bin/winprobe.exe" select "$caption" 1003/1007 0 || fail "cannot select the row"
    began=$(date +%s.%N)
    click 1025
    wait_until 'status_text | grep -q "转换完成"' 1200 || fail "$kind: no completion: $(status_text)"
    ended=$(date +%s.%N)
    wait_until '[ "$(enabled 1025)" = 1 ]' 30 || fail "$kind: Convert stays disabled"
    [ "$(ls "$out" | wc -l)" = 1 ] || fail "$kind: outputs: $(ls "$out")"
    # The figure is the output's life, from its creation to its last write: the click and the polling
    # are Wine programs of their own, each a second or so under Wine, which the job does not spend.
    read -r born written < <(stat -c '%.9W %.9Y' "$out"/*)
    times+=("$(awk -v a="$written" -v b="$born" 'BEGIN { printf "%.2f", a - b }')")
    echo "$kind run $run: ${times[-1]} s written, $(awk -v a="$ended" -v b="$began" 'BEGIN { printf "%.2f", a - b }') s click to completion text ($(ls "$out"))"
  done
  shot "end-to-end-$(echo "$kind" | tr ' .' '__')"
  exit_program
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  echo "[window] $kind: $median s"
done
