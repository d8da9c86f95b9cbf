#!/bin/bash
# Makes the template Wine prefix that every test run clones: no window manager waits (Managed=N),
# Wine-drawn captions (Decorated=N), the GDI renderer, Chinese fonts for the faces the program
# asks for, and no desktop menu entries. Made once, under a lock, so parallel tests wait for it.
set -u
TEMPLATE=$1
[ -f "$TEMPLATE/.ready" ] && exit 0
mkdir -p "$(dirname "$TEMPLATE")"
exec 9>"$TEMPLATE.lock"
flock 9
[ -f "$TEMPLATE/.ready" ] && exit 0
rm -rf "$TEMPLATE" "$TEMPLATE.home"
export LC_ALL=zh_CN.UTF-8 WINEPREFIX=$TEMPLATE HOME=$TEMPLATE.home DISPLAY= WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"
timeout 300 wineboot -i >/dev/null 2>&1
reg() { timeout 60 wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 || { echo "wine-template: reg add $1 $2 failed" >&2; exit 1; }; }
reg 'HKCU\Software\Wine\X11 Driver' Managed N
reg 'HKCU\Software\Wine\X11 Driver' Decorated N
reg 'HKCU\Software\Wine\Direct3D' renderer gdi
reg 'HKCU\Software\Wine\DllOverrides' winemenubuilder.exe ''
for face in 宋体 黑体 楷体 System "MS Shell Dlg" "MS Shell Dlg 2"; do
  reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' "$face" "WenQuanYi Zen Hei"
done
timeout 60 wineserver -w
touch "$TEMPLATE/.ready"
