#!/bin/bash
# Fuzzes the MPEG audio decoder (mpadec_decode) and the MPEG demultiplexer (mpgdemux_feed) with
# libFuzzer for a while each, outside ctest. Seeds are made with ffmpeg and lame.
#   tools/fuzz_mpeg.sh [seconds per target, default 60] [work folder, default build/fuzz-mpeg]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
work=${2:-$root/build/fuzz-mpeg}
bash "$root/tools/setup.sh"
mkdir -p "$work"
cd "$work"

flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$root" -DNOMINMAX)
mpa=("$root"/media/mpa/*.cpp)
mpeg=("$root"/media/mpeg/{mpgdemux,audio_route,video_decoder,pcm_writer,mpeg_headers,audio_framer,ac3_framer,ps_parser}.cpp
      "$root"/base/{message_seam,picture,fileio_common,fileio_posix}.cpp)
echo "fuzz: building"
clang++ "${flags[@]}" -o mpadec_fuzz "$root/media/mpa/fuzz/mpadec_fuzz.cpp" "${mpa[@]}"
clang++ "${flags[@]}" -o mpgdemux_fuzz "$root/media/mpeg/fuzz/mpgdemux_fuzz.cpp" "${mpeg[@]}" "${mpa[@]}" \
  -lmpeg2 -lswscale

# Seeds: a prefix byte picks options or the stream kind, as the targets read them.
seed() {  # seed folder, prefix bytes (octal escapes), file
  { printf "$2"; head -c 60000 "$3"; } > "$1/$(basename "$3").seed"
}
mkdir -p seeds/mpa seeds/mpeg
if [ ! -f seeds/.made ]; then
  src="-f lavfi -i testsrc=size=176x144:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=44100 -t 1 -ac 2"
  ffmpeg -v error -y -f lavfi -i sine=frequency=1000:sample_rate=44100 -t 1 -c:a libmp3lame -b:a 128k -f mp3 a.mp3
  ffmpeg -v error -y -f lavfi -i sine=frequency=1000:sample_rate=22050 -t 1 -c:a libmp3lame -b:a 32k -f mp3 b.mp3
  ffmpeg -v error -y $src -c:v mpeg2video -c:a mp2 -f mpegts c.ts
  ffmpeg -v error -y $src -c:v mpeg1video -c:a mp2 -f mpeg d.mpg
  ffmpeg -v error -y $src -c:v mpeg2video -c:a ac3 -f vob e.vob
  ffmpeg -v error -y $src -c:v mpeg2video -an -f mpeg2video f.m2v
  ffmpeg -v error -y -f lavfi -i sine=frequency=1000:sample_rate=48000 -t 1 -c:a ac3 -f ac3 g.ac3
  seed seeds/mpa '\000\020' a.mp3; seed seeds/mpa '\011\003' b.mp3
  seed seeds/mpeg '\003\001\377' c.ts; seed seeds/mpeg '\006\000\352' d.mpg; seed seeds/mpeg '\006\001\100' e.vob
  seed seeds/mpeg '\002\000\377' f.m2v; seed seeds/mpeg '\007\001\020' a.mp3; seed seeds/mpeg '\010\000\377' g.ac3
  touch seeds/.made
fi
mkdir -p corpus/mpa corpus/mpeg
echo "fuzz: mpadec_decode for $seconds s"
./mpadec_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=20 -print_final_stats=1 corpus/mpa seeds/mpa
echo "fuzz: mpgdemux_feed for $seconds s"
./mpgdemux_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=20 -print_final_stats=1 corpus/mpeg seeds/mpeg
echo "fuzz: no fault found"
