#!/bin/bash
# Start-up with each library the main dialog binds missing from the program folder: the binder's text
# is the only message, the program ends with code 0 within 10 s, no window was shown and no settings
# file was written. Then a folder with a filter library as "RealMediaSplitter.ax": its registration
# runs once per start.
#   startup_libraries_test.sh BIN_DIR MARKER_DLL   (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; marker=$2
caption='Orvane多媒体MP4转换器'
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
export TARMELO_MODAL_LOG=$WORK/modal.log

folder_without() {  # a program folder of its own without the named file
  local dir=$WORK/$1
  rm -rf "$dir"; mkdir -p "$dir"
  for f in "$src_bin"/*; do [ "$(basename "$f")" = "$1" ] || ln -s "$f" "$dir/"; done
  echo "$dir"
}

declare -A texts=(
  [tolmpicpack.dll]='load tolmpicpack.dll error'
  [tolmx264decode.dll]='装载动态库tolmx264decode.dll错误'
  [tolmmpeg4decode.dll]='装载动态库tolmmpeg4decode.dll错误'
  [tolmmux.dll]='装载动态库tolmmux.dll错误'
  [olumbra.dll]='装载动态库olumbra.dll错误'
  [tolmmp3enc.dll]='装载动态库tolmmp3enc.dll错误'
)
for lib in tolmpicpack.dll tolmx264decode.dll tolmmpeg4decode.dll tolmmux.dll olumbra.dll tolmmp3enc.dll; do
  bin=$(folder_without "$lib")
  : >"$TARMELO_MODAL_LOG"
  "$bin/tarmelo.exe" >"$WORK/app.out" 2>&1 &
  app=$!
  seen=no
  for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    xdotool search --onlyvisible --name "$caption" >/dev/null 2>&1 && seen=yes
    sleep 0.1
  done
  kill -0 "$app" 2>/dev/null && fail "without $lib: still running after 10 s"
  wait "$app"; rc=$?
  [ "$rc" = 0 ] || fail "without $lib: exit code $rc"
  [ "$seen" = no ] || fail "without $lib: the main window was shown"
  got=$(iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG")
  [ "$(echo "$got" | wc -l)" = 1 ] && echo "$got" | grep -qF "${texts[$lib]}" || fail "without $lib: modal log '$got'"
  [ ! -e "$bin/pravolin.ini" ] || fail "without $lib: pravolin.ini written"
  echo "without $lib: '$(echo "$got" | cut -f2)', exit 0, no window"
done

# The filter's registration: once per start, and the program runs with it as without it.
bin=$(folder_without none)
cp "$marker" "$bin/RealMediaSplitter.ax"
export TARMELO_REGISTER_LOG=$WORK/register.log
: >"$TARMELO_REGISTER_LOG"; : >"$TARMELO_MODAL_LOG"
artifacts=$WORK
for run in 1 2; do
  start_program
  exit_program
  [ "$(wc -l <"$TARMELO_REGISTER_LOG")" = "$run" ] || fail "DllRegisterServer calls after $run starts: $(wc -l <"$TARMELO_REGISTER_LOG")"
done
[ ! -s "$TARMELO_MODAL_LOG" ] || fail "unexpected message: $(cat "$TARMELO_MODAL_LOG")"
echo "PASS: six missing libraries end the start unseen with their texts; the filter registers once per start"
