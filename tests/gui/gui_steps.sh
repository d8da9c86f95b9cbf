# Steps of a GUI test as a user would take them, over tools/winprobe and xdotool. Sourced by the GUI
# test scripts; needs $bin (the program folder with winprobe.exe), $caption, $WORK and $artifacts.

fail() { echo "FAIL: $*"; [ -f "$WORK/app.out" ] && tail -20 "$WORK/app.out"; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; exit 1; }
probe() { "$bin/winprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
# Converts a GBK line of winprobe's output for comparisons in UTF-8.
utf8() { iconv -f GBK -t UTF-8; }

start_program() {
  "$bin/tarmelo.exe" >"$WORK/app.out" 2>&1 &
  app=$!
  "$bin/winprobe.exe" wait "$caption" 60 >/dev/null || fail "no window titled $caption"
  sleep 1
}

# Waits (up to $2 seconds) until the command in $1 succeeds.
wait_until() {
  local what=$1 seconds=$2
  for _ in $(seq $((seconds * 5))); do eval "$what" && return 0; sleep 0.2; done
  return 1
}

click() { "$bin/winprobe.exe" click "$caption" "$1" || fail "cannot click $1"; sleep 0.3; }
shot() { import -window root "$artifacts/$1.png" || fail "no screenshot $1"; }
rows() { probe rows "$caption" 1003/1007 | utf8; }
status_text() { probe text "$caption" 1008 | utf8; }

exit_program() {
  click 1036
  for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "still running 15 s after Exit"
  wait "$app"; local rc=$?
  [ "$rc" = 0 ] || fail "exit code $rc"
}
