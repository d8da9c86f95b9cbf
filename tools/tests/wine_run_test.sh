#!/bin/bash
# The test wrapper itself: with TMPDIR on another file system than the template prefix (where hard
# links cannot go) the command still runs in a clone of the template, its exit code comes back,
# and the throw-away folder and the private X server are gone afterwards.
#   wine_run_test.sh WINE_RUN      (WINE_TEMPLATE set as for every Winelib test)
set -u
wine_run=$1
other_fs=/dev/shm
if [ ! -d "$other_fs" ] || [ ! -w "$other_fs" ] || [ "$(stat -c %d "$other_fs")" = "$(stat -c %d "$(dirname "$WINE_TEMPLATE")")" ]; then
  echo "no writable file system apart from the build tree: skipped"
  exit 77
fi
out=$(mktemp)
other_tmp=$(mktemp -d "$other_fs/wine-run-test.XXXXXX")  # Wine leaves its server folders in TMPDIR
trap 'rm -rf "$out" "$other_tmp"' EXIT
probe='echo "work $WORK"; echo "display ${DISPLAY#:}"
  [ -f "$WINEPREFIX/.ready" ] && grep -q "\"Managed\"=\"N\"" "$WINEPREFIX/user.reg" && echo "cloned"; exit 7'
TMPDIR=$other_tmp bash "$wine_run" --x bash -c "$probe" >"$out" 2>&1
rc=$?
cat "$out"
fail=0
[ "$rc" = 7 ] || { echo "FAIL: exit code $rc, want the command's 7"; fail=1; }
grep -q '^cloned$' "$out" || { echo "FAIL: the command did not run in a clone of the template"; fail=1; }
work=$(sed -n 's/^work //p' "$out")
[ -n "$work" ] && [ ! -e "$work" ] || { echo "FAIL: throw-away folder '$work' left behind"; fail=1; }
display=$(sed -n 's/^display //p' "$out")
[ -n "$display" ] && [ ! -e "/tmp/.X11-unix/X$display" ] || { echo "FAIL: X server :$display still running"; fail=1; }
[ $fail = 0 ] && echo "wine-run test passed"
exit $fail
