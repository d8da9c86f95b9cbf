#!/bin/bash
# The main dialog's smaller doors, as a user meets them: the Start-menu shortcuts made at start (read
# back through the shell's link object), the button and tab icons on screen, the About box (its links,
# closed by Back and by its caption), the system menu's About item (dialog 100) and the help window.
#   main_extras_test.sh BIN_DIR ARTIFACT_DIR      (DISPLAY and WORK are set by wine-run.sh --gui)
set -u
src_bin=$1; artifacts=$2
caption='Orvane多媒体MP4转换器'
about='关于Orvane多媒体MP4转换器'
mkdir -p "$artifacts"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/gui_steps.sh"
own_program_folder "$src_bin"

export TARMELO_MODAL_LOG=$WORK/modal.log TARMELO_SHELL_LOG=$WORK/shell.log
: >"$TARMELO_MODAL_LOG"; : >"$TARMELO_SHELL_LOG"
link() { "$bin/shell_link.exe" "$@" 2>/dev/null | tr -d '\r' | iconv -f GBK -t UTF-8; }
link_field() { link read "$1" | awk -F'\t' -v k="$2" '$1 == k { print $2 }'; }
same_file() { [ "$(readlink -f "$(winepath -u "$1" 2>/dev/null)")" = "$(readlink -f "$2")" ]; }
gone() { ! "$bin/winprobe.exe" wait "$1" 0 >/dev/null 2>&1; }

# ---- Shortcuts ----
programs=$(link programs)
[ -n "$programs" ] || fail "no common programs folder in the registry"
folder_w="$programs\\Delmora多媒体软件"
program_link="$folder_w\\Orvane多媒体MP4转换器.lnk"
web_link="$folder_w\\访问Delmora网站.lnk"
folder_u=$(winepath -u "$programs" 2>/dev/null)/Delmora多媒体软件
[ -e "$folder_u" ] && fail "the shortcut folder exists before the first start"

start_program
[ -f "$folder_u/Orvane多媒体MP4转换器.lnk" ] && [ -f "$folder_u/访问Delmora网站.lnk" ] ||
  fail "first start: links missing in $folder_u: $(ls "$folder_u" 2>&1)"
target=$(link_field "$program_link" target)
echo "program link: $target, hot key $(link_field "$program_link" hotkey)"
same_file "$target" "$bin/tarmelo.exe" || fail "the program link points at $target"
web_target=$(link_field "$web_link" target)
echo "web link: $web_target, hot key $(link_field "$web_link" hotkey)"
[[ $web_target == *delmora.example* ]] || fail "the web link points at $web_target"
for l in "$program_link" "$web_link"; do
  [ "$(link_field "$l" hotkey)" = 0x0352 ] || fail "hot key of $l: $(link_field "$l" hotkey)"
done

# ---- Icons: every button's and tab's, then on screen by their colours ----
declare -A icon_colours=(  # control: the icon's own colour (tools/make_button_icons.py)
  [1006]='#10C860' [1007]='#C81830' [1025]='#1890F8' [1027]='#08A8A8' [1026]='#7040E0'
  [1031]='#3070C8' [1032]='#38A048' [1033]='#2880B0' [1034]='#C88838' [1036]='#B83058' [1005]='#E040A0'
  [1003/1006]='#18B838' [1003/1008]='#D82828' [1003/1009]='#2060E0' [1003/1010]='#B078E8')
for id in 1006 1007 1011 1025 1026 1027 1028 1005 1031 1032 1033 1034 1036 1061 1062 1063 1064 \
          1003/1006 1003/1008 1003/1009 1003/1010 1003/148/1005 1003/148/1006; do
  icon=$(probe image "$caption" $id | awk '{ print $2 }')
  [ -n "$icon" ] && [ "$icon" != "(nil)" ] && [ "$icon" != 0 ] || fail "button $id has no icon"
done
tabs=$(probe image "$caption" 1003)
echo "$tabs" | tr '\n' ' '; echo
echo "$tabs" | grep -q '^list 0x' || fail "the tab control has no image list"
for i in 0 1 2 3; do echo "$tabs" | grep -q "^tab $i image $i\$" || fail "tab $i has no icon"; done
shot extras-icons
colour_count() { convert "$WORK/screen.png" -crop "$3x$4+$1+$2" +repage txt:- | grep -ci " $5 "; }
import -window root "$WORK/screen.png"
for id in "${!icon_colours[@]}"; do
  read -r x y w h _ < <(probe rect "$caption" "$id")
  n=$(colour_count "$x" "$y" "$w" "$h" "${icon_colours[$id]}")
  [ "${n:-0}" -ge 8 ] || fail "button $id shows ${n:-0} pixels of its icon's colour ${icon_colours[$id]}"
done
read -r tx ty tw _ _ < <(probe rect "$caption" 1003)
for c in '#6050C8' '#E86018' '#1878E8' '#C82888'; do
  n=$(colour_count "$tx" "$ty" "$tw" 24 "$c")
  [ "${n:-0}" -ge 8 ] || fail "the tabs show ${n:-0} pixels of the tab icon colour $c"
done
echo "icons: 23 buttons and 4 tabs carry them; 15 buttons and 4 tabs show them"

# ---- About box: its links reach the shell seam; Back closes it, and so does its caption ----
click 1031
"$bin/winprobe.exe" wait "$about" 10 >/dev/null || fail "About shows no box"
sleep 0.5
shot extras-about
icon=$(probe image "$about" 1007 | awk '{ print $2 }')
[ -n "$icon" ] && [ "$icon" != "(nil)" ] || fail "About's Back button has no icon"
for id in 1035 1034; do
  read -r x y w h _ < <(probe rect "$about" $id)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.5
done
wait_until 'grep -qa "mailto:support@delmora.example" "$TARMELO_SHELL_LOG"' 5 || fail "shell log: $(cat "$TARMELO_SHELL_LOG")"
grep -qaP '^open\thttp://www.delmora.example/\t' "$TARMELO_SHELL_LOG" || fail "the web link: $(cat "$TARMELO_SHELL_LOG")"
grep -qaP '^open\tmailto:support@delmora.example\t' "$TARMELO_SHELL_LOG" || fail "the mail link: $(cat "$TARMELO_SHELL_LOG")"
click_about_back() { "$bin/winprobe.exe" click "$about" 1007 || fail "no Back button"; }
click_about_back
wait_until 'gone "$about"' 5 || fail "Back does not close the About box"
click 1031
"$bin/winprobe.exe" wait "$about" 10 >/dev/null || fail "About shows no box the second time"
sleep 0.5
read -r cx cy < <(probe hit "$about" 20)
[ -n "${cx:-}" ] || fail "no close button on the About box's caption"
xdotool mousemove "$cx" "$cy" click 1
wait_until 'gone "$about"' 5 || fail "the caption's close button does not close the About box"
echo "About: links opened $(wc -l <"$TARMELO_SHELL_LOG") times through the shell seam, closed by Back and by the caption"

# ---- The system menu's About item (16) opens dialog 100 ----
probe syscommand "$caption" 16
"$bin/winprobe.exe" wait '关于 tarmelo' 10 >/dev/null || fail "system-menu item 16 shows no dialog 100"
shot extras-sysmenu-about
"$bin/winprobe.exe" click '关于 tarmelo' 1 || fail "dialog 100 has no OK"
wait_until 'gone "关于 tarmelo"' 5 || fail "dialog 100 does not close"

# ---- Help: a window with the help file's title ----
click 1032
"$bin/winprobe.exe" wait 'Orvane MP4 Converter Help' 30 >/dev/null || fail "Help shows no window titled as the help file"
shot extras-help
"$bin/winprobe.exe" close 'Orvane MP4 Converter Help'
wait_until 'gone "Orvane MP4 Converter Help"' 10 || fail "the help window stays"

# ---- Second start: the program link is written again, a changed web link is kept ----
link write "$program_link" 'C:\windows\notepad.exe' >/dev/null || fail "cannot change the program link"
link write "$web_link" 'C:\windows\regedit.exe' >/dev/null || fail "cannot change the web link"
same_file "$(link_field "$program_link" target)" "$bin/tarmelo.exe" && fail "the program link did not change"
exit_program
start_program
target=$(link_field "$program_link" target)
same_file "$target" "$bin/tarmelo.exe" || fail "second start: the program link points at $target"
web_target=$(link_field "$web_link" target)
[[ ${web_target,,} == 'c:\windows\regedit.exe' ]] || fail "second start: the web link was rewritten to $web_target"
[ "$(ls "$folder_u" | wc -l)" = 2 ] || fail "second start: $(ls "$folder_u")"
exit_program

# ---- A copy run from the temporary folder makes nothing ----
rm -rf "$folder_u"
temp_u=$(winepath -u "$(link temp)" 2>/dev/null)
[ -d "$temp_u" ] || fail "no temporary folder ($(link temp))"
copy=$temp_u/tarmelo-copy
mkdir -p "$copy"
cp -rlL "$bin"/. "$copy"/ 2>/dev/null || cp -rL "$bin"/. "$copy"/ || fail "cannot copy the program"
bin_saved=$bin; bin=$copy
start_program
[ -e "$folder_u" ] && fail "a copy in the temporary folder made $(ls -R "$folder_u")"
exit_program
bin=$bin_saved
rm -rf "$copy"
echo "modal log:"; iconv -f GBK -t UTF-8 "$TARMELO_MODAL_LOG"
echo "PASS: shortcuts (made, hot key 0x0352, rewritten, web link kept, none from the temporary folder), icons, About (links, Back, caption), system menu 16, help window"
