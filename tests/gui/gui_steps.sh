# Steps of a GUI test as a user would take them, over tools/winprobe and xdotool. Sourced by the GUI
# test scripts; needs $bin (the program folder with winprobe.exe), $caption, $WORK and $artifacts.

fail() { echo "FAIL: $*"; [ -f "$WORK/app.out" ] && tail -20 "$WORK/app.out"; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; exit 1; }
probe() { "$bin/winprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
# Whether a visible top-level window has the caption $1 (probe's status is tr's, not winprobe's).
window_shown() { "$bin/winprobe.exe" client "$1" >/dev/null 2>&1; }
# Converts a GBK line of winprobe's output for comparisons in UTF-8.
utf8() { iconv -f GBK -t UTF-8; }

start_program() {
  "$bin/tarmelo.exe" >"$WORK/app.out" 2>&1 &
  app=$!
  "$bin/winprobe.exe" wait "$caption" 60 >/dev/null || fail "no window titled $caption"
  sleep 1
}

# Waits (up to $2 seconds) until the command in $1 succeeds.
# (Counted by the clock, not by tries: each try starts a Wine program, which a loaded machine makes slow.)
wait_until() {
  local what=$1 deadline=$((SECONDS + $2))
  while :; do
    eval "$what" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# The program's Wine process (the tarmelo.exe script started it; tests beside this one run their own
# copies from other folders).
program_pid() {
  local p
  for p in $(pgrep -f "$bin/tarmelo"); do
    case $(readlink "/proc/$p/exe") in *wine*) echo "$p"; return ;; esac
  done
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

# The program in a folder of its own under $WORK (it keeps its settings and lists beside itself);
# without the sibling player the end of a conversion is a plain OK box, which the seam answers.
# What the program writes beside itself (index folder, list, settings) is never linked from the
# build's folder: tests running side by side would share it. Sets $bin to that folder.
own_program_folder() {
  local from=$1
  bin=$WORK/app
  mkdir -p "$bin"
  for f in "$from"/*; do
    case $(basename "$f") in
      tolmmpegplay.exe | dat | mpgmp4info.dat | pravolin.ini) ;;
      *) ln -s "$f" "$bin/" ;;
    esac
  done
}

# Drive D: a CD-ROM for Wine (as winecfg sets it) on the folder $1. Wine is stopped: the drive types are
# read when its mount manager starts.
cdrom_drive() {
  ln -s "$1" "$WINEPREFIX/dosdevices/d:" || fail "cannot link drive D:"
  wine reg add 'HKLM\Software\Wine\Drives' /v d: /t REG_SZ /d cdrom /f >/dev/null 2>&1 || fail "cannot make D: a CD-ROM"
  wineserver -k; wineserver -w
}

# A Wine path (Z:\...) of a file under the Unix root.
wine_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

# Fixture: $1 seconds of a moving test picture (320x240, 25 fps) and a 1 kHz tone, MPEG-1 program
# stream, written to $2. The picture is softened: the video window stretches it to its client area,
# and on hard edges the two scalers' differences alone would outweigh what a comparison is after.
mpeg1_fixture() {
  ffmpeg -v error -y -f lavfi -i "testsrc=size=320x240:rate=25:duration=$1,gblur=sigma=2" -f lavfi -i "sine=frequency=1000:duration=$1" \
    -c:v mpeg1video -b:v 800k -c:a mp2 -ar 44100 -ac 2 -f mpeg "$2" || fail "no fixture $2"
}

# Adds a file through the list's Add button, the open-file dialog answered by the seam with its path;
# waits for the row count to reach $2.
# The program must have started with TARMELO_DIALOG_VALUE=@$dialog_answer.
dialog_answer=$WORK/dialog-answer
add_through_seam() {
  wine_path "$1" >"$dialog_answer"
  click 1003/1006
  wait_until '[ "$(rows | wc -l)" -ge '"$2"' ]' 30 || fail "no row for $1; modal log: $(cat "$TARMELO_MODAL_LOG")"
}

# Enabled flag of a control (the second field after "enabled").
enabled() { probe state "$caption" "$1" | awk '{print $3}'; }
# Progress position of a bar, check state of a button, selection of a combo box.
state_value() { probe state "$caption" "$1" | awk '{print $1}'; }

# A region of the screen as a picture: crop X Y W H FILE.
crop_screen() {
  import -window root -crop "${3}x${4}+${1}+${2}" +repage "$5" || fail "no screenshot of the region"
}
# Mean absolute difference of two pictures, 0..1.
picture_difference() { compare -metric MAE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/'; }

# The best PSNR (dB) of a picture on screen against any frame of a video, each frame brought to the
# picture's size as the video window shows it: its off-screen surface goes to the client area through a
# stretch Blt without filtering, each screen pixel the source pixel its 16.16 fixed-point step from the
# top-left lands on (ffmpeg's remap with those maps). A smoothing scaler (ffmpeg's bicubic) put the
# picture on screen at 24.2 dB, this stretch at 54 dB, and the pictures either side of it at 14-18 dB.
best_psnr() {
  local size pw ph sw sh
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$1") || { echo 0; return; }
  pw=${size%,*}; ph=${size#*,}
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$2") || { echo 0; return; }
  sw=${size%,*}; sh=${size#*,}
  python3 - "$sw" "$sh" "$pw" "$ph" "$WORK/xmap.pgm" "$WORK/ymap.pgm" <<'PY' || { echo 0; return; }
import struct, sys
sw, sh, pw, ph = map(int, sys.argv[1:5])
xs = [(x * ((sw << 16) // pw)) >> 16 for x in range(pw)]
ys = [(y * ((sh << 16) // ph)) >> 16 for y in range(ph)]
for path, value in ((sys.argv[5], lambda x, y: xs[x]), (sys.argv[6], lambda x, y: ys[y])):
    with open(path, 'wb') as f:
        f.write(b'P5\n%d %d\n65535\n' % (pw, ph))
        f.write(b''.join(struct.pack('>H', value(x, y)) for y in range(ph) for x in range(pw)))
PY
  ffmpeg -v error -i "$2" -loop 1 -i "$WORK/xmap.pgm" -loop 1 -i "$WORK/ymap.pgm" -loop 1 -t 60 -i "$1" \
    -lavfi "[0:v]format=rgb24[v];[v][1:v][2:v]remap[s];[3:v]format=rgb24[p];[p][s]psnr=stats_file=$WORK/psnr.log:shortest=1" \
    -f null - || { echo 0; return; }
  awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, a, ":"); v = a[2] == "inf" ? 99 : a[2] + 0; if (v > m) m = v } }
       END { printf "%.1f\n", m }' "$WORK/psnr.log"
}

# Records the private null sink (wine-run.sh --sound) into $1 until stop_recording.
start_recording() {
  parec --device=nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 >"$1" 2>/dev/null &
  recorder=$!
}
stop_recording() { [ -n "${recorder:-}" ] && kill "$recorder" 2>/dev/null; wait "$recorder" 2>/dev/null; recorder=""; }

# Pressed state and enabled flag of a button, as "pressed,enabled".
button() { probe state "$caption" "$1" | awk '{ print $1 "," $3 }'; }
# Presses at the timeline view's (2006) client x $1 and lets go at $2, in the strip's middle, moving in
# three steps as a hand does.
drag() {
  local vx vy
  read -r vx vy _ _ < <(probe client "$caption" 2006)
  local y=$((vy + 30))
  xdotool mousemove $((vx + $1)) $y mousedown 1
  sleep 0.3
  for k in 1 2 3; do xdotool mousemove $((vx + $1 + ($2 - $1) * k / 3)) $y; sleep 0.1; done
  xdotool mouseup 1
  sleep 0.5
}
# Whether the analysis has put its thumbnails into the index file $1 (an entry with a picture block).
has_thumbnails() {
  python3 - "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
n, at = struct.unpack_from('<i', b, 20)[0], 24
for i in range(n):
    size = struct.unpack_from('<i', b, at + 20)[0]
    if size > 0:
        sys.exit(0)
    at += 28 + size
sys.exit(1)
PY
}
