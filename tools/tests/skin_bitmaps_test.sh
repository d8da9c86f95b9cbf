#!/bin/bash
# The skin bitmaps kept in controls/res are exactly what tools/make_skin_bitmaps.py writes.
#   skin_bitmaps_test.sh SOURCE-TREE
set -eu
tree=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 "$tree/tools/make_skin_bitmaps.py" "$out"
status=0
count=0
for made in "$out"/*.bmp; do
  name=$(basename "$made")
  count=$((count + 1))
  if ! cmp -s "$made" "$tree/controls/res/$name"; then
    echo "controls/res/$name differs from what the generator writes"
    status=1
  fi
done
for kept in "$tree"/controls/res/*.bmp; do
  [ -f "$out/$(basename "$kept")" ] || { echo "controls/res/$(basename "$kept") is not generated"; status=1; }
done
[ $status = 0 ] && echo "$count skin bitmaps match the generator"
exit $status
