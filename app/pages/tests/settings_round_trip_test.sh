#!/bin/bash
# Every control of the 3GP, MP4 and AVI pages as a user sets it: each is set through winprobe, Save
# writes its key into "pravolin.ini", and after a restart the page shows it again. A VBR maximum below
# the minimum is refused with its text and writes nothing.
#   settings_round_trip_test.sh BIN_DIR ARTIFACT_DIR   (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../../tests/gui/gui_steps.sh"

bin=$WORK/app
mkdir -p "$bin" "$WORK/out"
for f in "$src_bin"/*; do ln -s "$f" "$bin/"; done
out_dir="Z:$(echo "$WORK/out/" | tr / '\\')"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE="${out_dir}a.3gp"
: >"$TARMELO_MODAL_LOG"
ini() { iconv -f GBK -t UTF-8 "$bin/pravolin.ini" | tr -d '\r'; }
key() { ini | sed -n "s/^$1=//p"; }

# page control how value | key written | shown after the restart
controls=(
  "148 1019 pick 1     | MP4文件保存方式=1 | 1"
  "148 1016 slide 50   | 关键帧出现频率=50 | 50"
  "148 1022 pick 1     | H263标准视频大小选择方式=1 | 1"
  "148 1013 pick 2     | 3GP视频大小调整方式=2 | 2"
  "148 1012 pick 7     | 转换AMR编码速率=7 | 7"
  "148 1014 pick 1     | 转换AMR音频通道模式=1 | 1"
  "179 1024 pick 2     | MP4视频编码方式=2 | 2"
  "179 1022 pick 7     | MP4视频大小选择方式=7 | 7"
  "179 1020 pick 1     | MP4视频大小调整方式=1 | 1"
  "179 1021 type 400   | MP4视频编码宽度=400 | 400"
  "179 1023 type 300   | MP4视频编码高度=300 | 300"
  "179 1012 pick 2     | 转换AAC编码类型=2 | 2"
  "179 1014 pick 0     | 转换AAC编码速率=64000 | 0"
  "179 1015 pick 4     | 转换AAC音频采样速率=22050 | 4"
  "179 1013 pick 3     | 转换AAC编码质量=40 | 3"
  "179 1019 pick 1     | 转换AAC音频通道数=1 | 1"
  "179 1017 pick 1     | 转换AAC音频通道模式=1 | 1"
  "149 1029 pick 0     | - | 2"
  "149 1026 pick 4     | AVI视频大小选择方式=4 | 4"
  "149 1025 pick 2     | AVI视频大小调整方式=2 | 2"
  "149 1012 pick 0     | 音频MP3音频模式=0 | 0"
  "149 1013 pick 2     | 音频MP3编码类型=2 | 2"
  "149 1015 pick 10    | 音频MP3恒定速率=192 | 10"
  "149 1019 pick 3     | 音频MP3可变速率最小值=56 | 3"
  "149 1020 pick 12    | 音频MP3可变速率最大值=256 | 12"
  "149 1014 pick 2     | 音频MP3可变速率编码质量=2 | 2"
  "149 1021 type 160   | 音频MP3平均编码速率=160 | 160"
  "149 1022 pick 1     | 音频MP3音频通道数=1 | 1"
  "149 1023 pick 2     | 音频MP3音频通道模式=2 | 2"
)
tab_of() { case $1 in 148) echo 1 ;; 179) echo 2 ;; 149) echo 3 ;; esac; }
# What a control shows: an edit's text, a combo's item, a slider's position.
shown() {
  case $2 in
    type) probe text "$caption" "1003/$1" ;;
    *) probe state "$caption" "1003/$1" | cut -d' ' -f1 ;;
  esac
}

start_program
for page in 148 179 149; do
  probe tab "$caption" 1003 "$(tab_of $page)" >/dev/null
  wait_until "probe state '$caption' 1003/$page/1012 | grep -q 'visible 1'" 10 || fail "page $page not shown"
done
shot settings-avi-page
# The AVI page opens with the MP3 mode's sample rate; the edit is read-only.
[ "$(probe text "$caption" 1003/149/1024)" = "22050 Hz" ] || fail "sample rate text $(probe text "$caption" 1003/149/1024)"

# The folder dialog (answered by the seam) fills the folder edit with the chosen file's folder.
probe tab "$caption" 1003 1 >/dev/null
click 1003/148/1006
wait_until '[ "$(probe text "$caption" 1003/148/1020)" = "$out_dir" ]' 10 ||
  fail "folder text $(probe text "$caption" 1003/148/1020), want $out_dir"

for row in "${controls[@]}"; do
  IFS='|' read -r set _ _ <<<"$row"
  read -r page id how value <<<"$set"
  "$bin/winprobe.exe" "$how" "$caption" "1003/$page/$id" "$value" || fail "cannot set $page/$id"
done
[ "$(probe text "$caption" 1003/148/1018 | utf8)" = "每50帧出现一个关键帧" ] || fail "slider label $(probe text "$caption" 1003/148/1018 | utf8)"
[ "$(probe text "$caption" 1003/149/1024)" = "44100" ] || fail "sample rate after MPEG-1: $(probe text "$caption" 1003/149/1024)"
# Coding type ABR: only the ABR edit of the four; one channel enables the channel mode.
for id in 1015:0 1014:0 1019:0 1020:0 1021:1 1023:1; do
  read -r _ _ on _ < <(probe state "$caption" "1003/149/${id%:*}")
  [ "$on" = "${id#*:}" ] || fail "AVI control ${id%:*} enabled $on"
done
shot settings-set

click 1003/148/1005
wait_until '[ "$(key 音频MP3音频通道模式)" = 2 ]' 10 || fail "Save wrote nothing: $(ini)"
for row in "${controls[@]}"; do
  IFS='|' read -r _ written _ <<<"$row"
  written=$(echo $written)
  [ "$written" = - ] && continue
  ini | grep -qx "$written" || fail "no $written in pravolin.ini: $(key "${written%%=*}")"
done
[ "$(key 音频MP3音频采样速率)" = 44100 ] || fail "MP3 sample rate $(key 音频MP3音频采样速率)"
[ "$(key MP4文件保存路径)" = "$out_dir" ] || fail "folder $(key MP4文件保存路径)"

# A VBR maximum below the minimum: the message, and the MP3 keys stay as saved.
probe tab "$caption" 1003 3 >/dev/null
"$bin/winprobe.exe" pick "$caption" 1003/149/1020 1
cp "$bin/pravolin.ini" "$WORK/saved.ini"
click 1003/148/1005
wait_until 'iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG" | grep -q "MP3可变速率(VBR)的最小编码速率不能大于最大编码速率"' 10 ||
  fail "no VBR refusal: $(iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG")"
cmp -s "$bin/pravolin.ini" "$WORK/saved.ini" || fail "the refused save changed pravolin.ini"
"$bin/winprobe.exe" pick "$caption" 1003/149/1020 12
exit_program

# The restart shows every saved value (the AVI codec has no key: it starts as the MP4 codec).
start_program
[ "$(probe text "$caption" 1003/148/1020)" = "$out_dir" ] || fail "folder after restart: $(probe text "$caption" 1003/148/1020)"
for row in "${controls[@]}"; do
  IFS='|' read -r set _ want <<<"$row"
  read -r page id how _ <<<"$set"
  want=$(echo $want)
  got=$(shown "$page/$id" "$how")
  [ "$got" = "$want" ] || fail "after restart $page/$id shows $got, want $want"
done
probe tab "$caption" 1003 3 >/dev/null
shot settings-restarted
exit_program
echo "PASS: ${#controls[@]} controls set, saved, shown after a restart; VBR refusal writes nothing"
