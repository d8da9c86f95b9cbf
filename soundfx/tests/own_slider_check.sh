#!/bin/sh
# olumbra.dll's slider is its own: every CSkinSliderCtrl member in the library comes from
# soundfx/window (the program's slider class of the same name is never linked in beside it, which
# would leave one of the two definitions unused at random).
#   own_slider_check.sh olumbra.dll.so
files=$(nm -C -l "$1" | grep 'CSkinSliderCtrl::' | sed 's/.*\t//; s/:[0-9]*$//' | sort -u)
echo "$files"
[ -n "$files" ] || { echo "FAIL: no CSkinSliderCtrl member in $1"; exit 1; }
others=$(echo "$files" | grep -v 'soundfx/window/SkinSliderCtrl.cpp$')
[ -z "$others" ] || { echo "FAIL: slider members from elsewhere: $others"; exit 1; }
echo "PASS: one slider class, from soundfx/window"
