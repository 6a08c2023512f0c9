#!/usr/bin/env bash
# Takes the README's pictures of the Windows dialog: runs tessel.exe under Wine on a private
# Xvfb display, in English and in German, converts the shipped example through the dialog's own
# controls (mouse and keyboard via xdotool, the real save dialog included) and photographs the
# main dialog after the conversion and the details dialog. Fails when the conversion wrote no
# document. Needs scripts/build-windows.sh first.
#
#   scripts/windows-dialog-screenshots.sh [OUTPUT_FOLDER]     # default: docs
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mkdir -p "${1:-docs}"
out=$(realpath "${1:-docs}")
exe=$root/build/windows/src/app/win32/tessel.exe
[ -f "$exe" ] || { echo "windows-dialog-screenshots: build $exe first" >&2; exit 1; }
for tool in Xvfb xdotool import convert wine; do
  command -v "$tool" >/dev/null || { echo "windows-dialog-screenshots: $tool is missing" >&2; exit 1; }
done

export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
desktop=640x420   # Wine's own desktop window, so that the dialogs get Windows' frames

display_number=$((90 + $$ % 100))
Xvfb ":$display_number" -screen 0 800x500x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
# The example goes to C:\EDIUS in Wine's own drive, which reads better than a scratch folder.
projects=$WINEPREFIX/drive_c/EDIUS
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work" "$projects"' EXIT
export DISPLAY=":$display_number"
sleep 1

# The picture of Wine's desktop, cut to the windows on it (the desktop's own colour goes).
shoot() {
  import -window root -crop "$desktop+0+0" +repage "$work/screen.png"
  local background
  background=$(convert "$work/screen.png" -format '%[pixel:p{639,419}]' info:)
  local box
  box=$(convert "$work/screen.png" -fill black -opaque "$background" -trim -format '%wx%h%X%Y' info:)
  convert "$work/screen.png" -crop "$box" +repage "$1"
}

run() {
  local lang=$1 name=$2 project=$3
  local folder=$projects/$project
  mkdir -p "$folder"
  cp examples/edius_example.aaf examples/opening_title.etl "$folder/"
  LANG=$lang LC_ALL=$lang wine explorer "/desktop=Tessel,$desktop" "$exe" >/dev/null 2>&1 &
  xdotool search --sync --name "Tessel - Wine desktop" >/dev/null
  sleep 3
  # Step 1: the input path typed into the edit; step 2: Save, then the save dialog's proposal.
  xdotool mousemove 250 67 click 1
  sleep 0.5
  xdotool type --delay 10 "C:\\EDIUS\\$project\\edius_example.aaf"
  xdotool mousemove 456 113 click 1
  sleep 3
  xdotool key Return
  for _ in $(seq 50); do
    [ -s "$folder/edius_example.xml" ] && break
    sleep 0.2
  done
  [ -s "$folder/edius_example.xml" ] || { echo "windows-dialog-screenshots: no document ($name)" >&2; exit 1; }
  sleep 2
  [ "$name" = en ] && shoot "$out/dialog-windows-details.png"
  xdotool key Return   # OK in the details dialog
  sleep 1
  shoot "$out/dialog-windows-$name.png"
  xdotool key Escape   # ends the main dialog
  wineserver -w
}

run en_US.UTF-8 en Project
run de_DE.UTF-8 de Projekt
echo "Written: $out/dialog-windows-en.png, dialog-windows-de.png, dialog-windows-details.png"
