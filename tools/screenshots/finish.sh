#!/bin/bash
# The views take.sh saved, made ready for the README: the main window gets its numbered callouts (the
# README's legend follows these numbers) and every picture is brought down to 64 colours (PNG8).
#   finish.sh RAW_DIR OUT_DIR
set -u
raw=$1; out=$2
mkdir -p "$out"

# ---- Callouts on the main window: a numbered red disc beside each part ----
# Part (a name in take.sh's places.txt) and where its disc sits: the disc's centre is the part's
# top-left corner plus (dx, dy), negative values counted from its right or bottom edge.
callouts=(
  "1 list -40 -40"      # the media list (over its empty rows)
  "2 timeline 285 -9"   # the timeline under the tabs (over its scroll bar)
  "3 pause 12 14"       # Play, Pause and Stop (on the middle one's icon)
  "4 convert 12 14"     # Convert (on its icon)
  "5 tabs 340 11"       # the settings tabs (right of the last one)
  "6 preview 14 14"     # the preview picture
)
read -r width height < <(identify -format '%w %h\n' "$raw/main-window.png")
draw=()
for c in "${callouts[@]}"; do
  read -r n part dx dy <<<"$c"
  read -r _ x y w h < <(awk -v p="$part" '$1 == p' "$raw/places.txt")
  [ -n "${h:-}" ] || { echo "finish: no place for $part"; exit 1; }
  cx=$(( dx < 0 ? x + w + dx : x + dx )); cy=$(( dy < 0 ? y + h + dy : y + dy ))
  draw+=(-fill '#D01818' -stroke white -strokewidth 2 -draw "circle $cx,$cy $((cx + 10)),$cy"
         -stroke none -fill white -annotate "+$((cx - width / 2))+$((cy - height / 2 + 1))" "$n")
done
labelled=$(mktemp --suffix=.png)
trap 'rm -f "$labelled"' EXIT
convert "$raw/main-window.png" -font DejaVu-Sans-Bold -pointsize 14 -gravity center "${draw[@]}" "$labelled" ||
  { echo "finish: no callouts"; exit 1; }

# ---- 64 colours, no dithering (flat interface colours and text stay clean) ----
for name in main-window timeline-range settings-mp4 effects colour; do
  from=$raw/$name.png; [ "$name" = main-window ] && from=$labelled
  convert "$from" +dither -colors 64 -strip "PNG8:$out/$name.png" || { echo "finish: cannot write $name"; exit 1; }
  printf '%-16s %4dx%-4d %6d bytes\n' "$name.png" $(identify -format '%w %h' "$out/$name.png") "$(stat -c %s "$out/$name.png")"
done
