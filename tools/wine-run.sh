#!/bin/bash
# Runs a Winelib program in a throw-away Wine prefix, a hard-link clone of a template prefix that is
# made once per build tree.
#   wine-run.sh [--sound] [--x] prog.exe [args...]   console program (--x: with a private Xvfb)
#   wine-run.sh [--sound] --gui body.sh prog.exe ... body.sh runs with DISPLAY set to a private Xvfb
# --sound starts a private PulseAudio server with a real-time null sink. --expect TEXT fails the run
# unless the program's output holds TEXT: a Winelib program that crashes can still end with exit
# code 0, so a test must show a positive marker too. Everything started here is stopped here, by PID.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
gui=""; xvfb=""; sound=""; expect=""
while [ $# -gt 0 ]; do
  case "$1" in
    --gui) gui=$2; xvfb=1; shift 2 ;;
    --x) xvfb=1; shift ;;
    --sound) sound=1; shift ;;
    --expect) expect=$2; shift 2 ;;
    *) break ;;
  esac
done

export LC_ALL=zh_CN.UTF-8
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
TEMPLATE=${WINE_TEMPLATE:-${TMPDIR:-/tmp}/tarmelo-wine-template}
bash "$here/wine-template.sh" "$TEMPLATE" || { echo "wine-run: no template prefix" >&2; exit 1; }

work=""; XPID=""; PPID_PULSE=""
cleanup() {
  if [ -d "$work/pfx" ]; then
    WINEPREFIX=$work/pfx timeout 20 wineserver -k 2>/dev/null; WINEPREFIX=$work/pfx timeout 20 wineserver -w 2>/dev/null
  fi
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null
  [ -n "$PPID_PULSE" ] && kill "$PPID_PULSE" 2>/dev/null && wait "$PPID_PULSE" 2>/dev/null
  [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT

# The prefix is a hard-link clone, and hard links cannot cross file systems: when TMPDIR lies on
# another one than the template, the throw-away folder goes beside the template instead.
clone_into() { work=$(mktemp -d "$1/wine-run.XXXXXX") && cp -al "$TEMPLATE" "$work/pfx" 2>/dev/null; }
if ! clone_into "${TMPDIR:-/tmp}"; then
  rm -rf "$work"; work=""
  clone_into "$(dirname "$TEMPLATE")" || { echo "wine-run: cannot clone the template prefix $TEMPLATE" >&2; exit 1; }
fi
export WINEPREFIX=$work/pfx HOME=$work/home WORK=$work
mkdir -p "$HOME"
# Registry writes must not reach the template through the hard links.
for f in system.reg user.reg userdef.reg; do
  cp --remove-destination "$TEMPLATE/$f" "$WINEPREFIX/$f" || { echo "wine-run: cannot copy $f" >&2; exit 1; }
done
[ -d "$TEMPLATE.gst" ] && export GST_REGISTRY=$work/gst-registry.bin && cp "$TEMPLATE.gst/registry.bin" "$GST_REGISTRY" 2>/dev/null

if [ -n "$sound" ]; then
  run=$work/pulse; mkdir -p "$run"; chmod 700 "$run"
  XDG_RUNTIME_DIR=$run HOME=$run pulseaudio -n --daemonize=no --exit-idle-time=-1 --realtime=no \
    --high-priority=no --log-target=file:$run/pulse.log \
    -L "module-null-sink sink_name=nullsink rate=44100 norewinds=1" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$run/pulse-native" >/dev/null 2>&1 &
  PPID_PULSE=$!
  for _ in $(seq 200); do [ -S "$run/pulse-native" ] && break; sleep 0.05; done
  export PULSE_SERVER=unix:$run/pulse-native
fi

if [ -n "$xvfb" ]; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  XPID=$!
  export WINE_RUN_XVFB_PID=$XPID  # lets a caller check the server really stopped
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=:$(head -1 "$work/display")
else
  unset DISPLAY
fi

run() {
  if [ -n "$gui" ]; then
    timeout "${WINE_RUN_TIMEOUT:-240}" bash "$gui" "$@"
  else
    timeout "${WINE_RUN_TIMEOUT:-240}" "$@"
  fi
}
if [ -z "$expect" ]; then
  run "$@"
  exit
fi
run "$@" 2>&1 | tee "$work/output"
rc=${PIPESTATUS[0]}
if [ "$rc" = 0 ] && ! grep -qF -- "$expect" "$work/output"; then
  echo "wine-run: the program ended without printing '$expect' (did it crash?)"
  rc=1
fi
exit "$rc"
