#!/bin/bash
# The skin bitmaps kept in controls/res, soundfx/res and videofx/res, and the button icons in
# app/res/icons, are exactly what tools/make_skin_bitmaps.py, tools/make_olumbra_res.py and
# tools/make_button_icons.py write.
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
icons=app/res/icons
python3 "$tree/tools/make_button_icons.py" "$out/$icons"
for made in "$out/$icons"/*.ico; do
  name=$(basename "$made")
  count=$((count + 1))
  cmp -s "$made" "$tree/$icons/$name" || { echo "$icons/$name differs from what the generator writes"; status=1; }
done
for kept in "$tree/$icons"/*.ico; do
  [ -f "$out/$icons/$(basename "$kept")" ] || { echo "$icons/$(basename "$kept") is not generated"; status=1; }
done
[ $status = 0 ] && echo "$count skin bitmaps and icons match the generators"
exit $status
