#!/bin/bash
# An analysis whose decoder library is missing from the program folder: the binder's text, then an
# analysis that ends without a word (MP4, here an H.263 3GP without tolmh263dec1.dll) or with the status
# "装载解码动态库失败" (AVI without tolmdivxplay.dll). Either way the dialog stays hidden, nothing comes
# back to the list (the timeline stays empty), the index file keeps the probe's entries without
# thumbnails, and the program goes on and exits with code 0.
#   analysis_missing_library_test.sh BIN_DIR ARTIFACT_DIR   (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"

own_program_folder "$src_bin"
rm "$bin/tolmdivxplay.dll" "$bin/tolmh263dec1.dll" || fail "the program folder has no decoder library to take away"

media=$WORK/media
mkdir -p "$media"
ffmpeg -v error -f lavfi -i testsrc=size=176x144:rate=25:duration=2 -c:v h263 -g 12 -an -f 3gp "$media/h263.3gp" ||
  fail "no 3GP fixture"
ffmpeg -v error -f lavfi -i testsrc=size=176x144:rate=25:duration=2 -c:v mpeg4 -vtag XVID -g 12 -an -f avi "$media/clip.avi" ||
  fail "no AVI fixture"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_DIALOG_VALUE=@$dialog_answer
: >"$TARMELO_MODAL_LOG"
modal() { iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG"; }
# The hidden analysis dialog's status line.
analysis_status() { probe text '~分析文件' 1008 | utf8; }
# Entries and thumbnails of an index file.
index_counts() {
  python3 - "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<i', b, 20)[0]
at, thumbs = 24, 0
for _ in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    thumbs += size > 0
    at += 28 + size
print(n, thumbs)
PY
}

start_program
[ "$(analysis_status)" = "欢迎使用Orvane多媒体MP4转换器" ] || fail "the analysis dialog's status: $(analysis_status)"
for case in "h263.3gp|tolmh263dec1.dll|欢迎使用Orvane多媒体MP4转换器" "clip.avi|tolmdivxplay.dll|装载解码动态库失败"; do
  IFS='|' read -r file library status <<<"$case"
  rows_before=$(rows | wc -l)
  add_through_seam "$media/$file" $((rows_before + 1))
  wait_until 'modal | grep -q "装载动态库${library}错误"' 30 || fail "$file: no text for the missing $library; modal log: $(modal)"
  sleep 1
  shown=$(analysis_status)
  echo "$file without $library: binder's text \"装载动态库${library}错误\", analysis status \"$shown\""
  [ "$shown" = "$status" ] || fail "$file: analysis status \"$shown\", wanted \"$status\""
  [ "$(probe state "$caption" 1061 | awk '{ print $3 }')" = 0 ] || fail "$file: a list came back to the timeline"
  index=$(ls -t "$bin"/dat/* | head -1)
  read -r entries thumbs < <(index_counts "$index")
  echo "$file: index of $entries entries, $thumbs thumbnails"
  [ "$entries" -ge 50 ] && [ "$thumbs" = 0 ] || fail "$file: index of $entries entries with $thumbs thumbnails"
done
[ "$(rows | wc -l)" = 2 ] || fail "rows: $(rows)"
exit_program
grep -aiE "unhandled exception|page fault" "$WORK/app.out" && fail "the program crashed"
echo "PASS: a missing decoder library ends the analysis silently (MP4) or with its status (AVI)"
