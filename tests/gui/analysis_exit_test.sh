#!/bin/bash
# Exit while a file's analysis runs: a long SWF (its analysis decodes every picture) is added and the
# list saved, so its index file stays; about a second later Exit. Three runs: the program ends at once
# with exit code 0, and the index file is either absent or a complete index (every entry, each
# thumbnail whole, the trailer exact).
#   analysis_exit_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"

own_program_folder "$src_bin"

media=$WORK/media
mkdir -p "$media"
ffmpeg -v error -f lavfi -i testsrc2=size=320x240:rate=25 -t 120 -c:v flv -g 25 -an -f swf "$media/long.swf" \
  || fail "no fixture"
winpath="Z:$(echo "$media/long.swf" | tr / '\\')"
export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log TARMELO_DIALOG_VALUE=$winpath

# The index file's whole layout: header, entries each followed by its thumbnail, the two-block trailer.
check_index() {
  python3 - "$1" <<'PY' || fail "index file $1 is not whole"
import struct, sys
b = open(sys.argv[1], 'rb').read()
codec, w, h, fps, n = struct.unpack_from('<iiidi', b, 0)
at = 24
assert 0 < w <= 4096 and 0 < h <= 4096 and n > 0, (w, h, n)
thumbs = 0
for _ in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    assert 0 <= size <= 34 * 1024, size
    at += 28 + size
    thumbs += size > 0
    assert at <= len(b)
for _ in range(2):
    l = struct.unpack_from('<i', b, at)[0]
    assert 0 <= l <= 512
    at += 4 + l
assert at == len(b), (at, len(b))
print("index: %d entries, %d thumbnails" % (n, thumbs))
PY
}

for run in 1 2 3; do
  rm -rf "$bin/dat" "$bin/mpgmp4info.dat"
  : >"$TARMELO_MODAL_LOG"
  start_program
  click 1003/1006
  wait_until '[ -n "$(rows)" ]' 60 || fail "run $run: no row after Add; modal log: $(cat "$TARMELO_MODAL_LOG")"
  click 1003/1009
  sleep 1
  [ "$run" = 1 ] && shot analysis-running
  exit_program
  index=$(ls "$bin"/dat/* 2>/dev/null | head -1)
  if [ -n "$index" ]; then check_index "$index"; else echo "run $run: no index file"; fi
done
echo "PASS"
