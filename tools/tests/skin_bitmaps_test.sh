#!/bin/bash
# The skin bitmaps kept in controls/res, soundfx/res and videofx/res are exactly what
# tools/make_skin_bitmaps.py and tools/make_olumbra_res.py write.
#   skin_bitmaps_test.sh SOURCE-TREE
set -eu
tree=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
folders="controls/res soundfx/res videofx/res"
for f in $folders; do mkdir -p "$out/$f"; done
python3 "$tree/tools/make_skin_bitmaps.py" "$out"
python3 "$tree/tools/make_olumbra_res.py" "$out"
status=0
count=0
for f in $folders; do
  for made in "$out/$f"/*.bmp; do
    name=$(basename "$made")
    count=$((count + 1))
    if ! cmp -s "$made" "$tree/$f/$name"; then
      echo "$f/$name differs from what the generator writes"
      status=1
    fi
  done
  for kept in "$tree/$f"/*.bmp; do
    [ -f "$out/$f/$(basename "$kept")" ] || { echo "$f/$(basename "$kept") is not generated"; status=1; }
  done
done
[ $status = 0 ] && echo "$count skin bitmaps match the generator"
exit $status
