#!/bin/bash
# The test wrapper itself: with TMPDIR on another file system than the template prefix (where hard
# links cannot go) the command still runs in a clone of the template, its exit code comes back,
# and the throw-away folder and the private X server are gone afterwards; --expect fails a program
# that ends with 0 without its marker (as a crashed Winelib program can).
#   wine_run_test.sh WINE_RUN      (WINE_TEMPLATE set as for every Winelib test)
set -u
wine_run=$1
fail=0
bash "$wine_run" --expect '[  PASSED  ]' bash -c 'echo "[  PASSED  ] 1 test."' >/dev/null 2>&1 \
  || { echo "FAIL: --expect refused a run that printed the marker"; fail=1; }
if bash "$wine_run" --expect '[  PASSED  ]' bash -c 'echo "[ RUN      ] Crashes"; exit 0' >/dev/null 2>&1; then
  echo "FAIL: --expect passed a run without the marker"; fail=1
fi
bash "$wine_run" --expect '[  PASSED  ]' bash -c 'echo "[  PASSED  ] 1 test."; exit 3' >/dev/null 2>&1
[ $? = 3 ] || { echo "FAIL: --expect lost the exit code"; fail=1; }

other_fs=/dev/shm
if [ ! -d "$other_fs" ] || [ ! -w "$other_fs" ] || [ "$(stat -c %d "$other_fs")" = "$(stat -c %d "$(dirname "$WINE_TEMPLATE")")" ]; then
  echo "no writable file system apart from the build tree: the clone case is skipped"
  [ $fail = 0 ] && exit 77
  exit 1
fi
out=$(mktemp)
other_tmp=$(mktemp -d "$other_fs/wine-run-test.XXXXXX")  # Wine leaves its server folders in TMPDIR
trap 'rm -rf "$out" "$other_tmp"' EXIT
probe='echo "work $WORK"; echo "xserver $WINE_RUN_XVFB_PID"
  [ -f "$WINEPREFIX/.ready" ] && grep -q "\"Managed\"=\"N\"" "$WINEPREFIX/user.reg" && echo "cloned"; exit 7'
TMPDIR=$other_tmp bash "$wine_run" --x bash -c "$probe" >"$out" 2>&1
rc=$?
cat "$out"
[ "$rc" = 7 ] || { echo "FAIL: exit code $rc, want the command's 7"; fail=1; }
grep -q '^cloned$' "$out" || { echo "FAIL: the command did not run in a clone of the template"; fail=1; }
work=$(sed -n 's/^work //p' "$out")
[ -n "$work" ] && [ ! -e "$work" ] || { echo "FAIL: throw-away folder '$work' left behind"; fail=1; }
# The display number is no proof: a test running beside this one may start its own server on it.
xserver=$(sed -n 's/^xserver //p' "$out")
[ -n "$xserver" ] && ! kill -0 "$xserver" 2>/dev/null || { echo "FAIL: X server (process $xserver) still running"; fail=1; }
[ $fail = 0 ] && echo "wine-run test passed"
exit $fail
