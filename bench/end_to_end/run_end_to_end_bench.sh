#!/bin/bash
# One conversion three ways in one run: through the program's own window (Convert clicked; timed from
# the output's creation to its last write, the click-to-completion time quoted beside), through the
# headless host, and by ffmpeg with the stand-ins' settings. The source is an MPEG-2 program stream,
# 720 x 576 at 25 fps with MP2 sound, converted in fast mode to MP4 H.264+AAC 320x240, AVI MPEG-4+MP3
# 320x240 and 3GP H.263+AMR; median of the runs each way.
# Targets: the window at most 1.05 x the host; at most 1.1 x ffmpeg for the first two (the third is
# quoted only: its video encoder is our own).
#   bench/end_to_end/run_end_to_end_bench.sh [seconds] [runs]      (defaults 60 and 3)
# Builds the Release tree of bench/convert/run_convert_bench.sh ($TARMELO_BENCH_DIR, default
# build-bench) with the program too, and runs everything with a private X server.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${TARMELO_BENCH_DIR:-$root/build-bench}
seconds=${1:-60}; runs=${2:-3}
kinds=("MP4 H.264" "AVI MPEG-4" "3GP H.263")

# The host and ffmpeg, through the conversion bench (which builds the tree).
host_lines=$(mktemp)
for kind in "${kinds[@]}"; do
  bash "$root/bench/convert/run_convert_bench.sh" "$seconds" "$runs" "$kind" | grep -v 'source:' | tee -a "$host_lines"
done
cmake --build "$build/winelib" -j"${TARMELO_BENCH_JOBS:-4}" --target tarmelo winprobe >/dev/null

# The program's window.
window_lines=$(mktemp)
WINE_TEMPLATE="$build/wine-template" WINE_RUN_TIMEOUT=${TARMELO_BENCH_TIMEOUT:-14400} bash "$root/tools/wine-run.sh" --gui "$here/end_to_end_body.sh" \
  "$build/winelib/bin" "$seconds" "$runs" "${kinds[@]}" | tee "$window_lines"

# One table: window, host and ffmpeg seconds, the two ratios and their targets.
python3 - "$host_lines" "$window_lines" <<'PY'
import re, sys
host = {}
for line in open(sys.argv[1], encoding='utf-8', errors='replace'):
    m = re.match(r'\[bench\] (.+?)\s+ours\s+([\d.]+) s\s+ffmpeg\s+([\d.]+) s', line)
    if m: host[m.group(1).strip()] = (float(m.group(2)), float(m.group(3)))
window = {}
for line in open(sys.argv[2], encoding='utf-8', errors='replace'):
    m = re.match(r'\[window\] (.+?): ([\d.]+) s', line)
    if m: window[m.group(1)] = float(m.group(2))
print('| conversion | window s | host s | ffmpeg s | window / host (<= 1.05) | window / ffmpeg |')
print('|---|---|---|---|---|---|')
failed = False
for name, (h, f) in host.items():
    w = next((v for k, v in window.items() if name.startswith(k)), None)
    if w is None:
        print('| %s | missing | %.2f | %.2f | | |' % (name, h, f)); failed = True; continue
    quoted = name.startswith('3GP')
    wh, wf = w / h, w / f
    print('| %s | %.2f | %.2f | %.2f | %.3f %s | %.3f %s |' % (name, w, h, f, wh, 'met' if wh <= 1.05 else 'MISSED',
          wf, 'quoted' if quoted else ('met' if wf <= 1.1 else 'MISSED')))
sys.exit(1 if failed else 0)
PY
