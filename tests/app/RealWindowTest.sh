#!/usr/bin/env bash
# The real program in a real X server, driven by real input: a copy of the program in a temporary executable
# folder with a temporary home folder, under xvfb-run, pressed by xdotool. Every step leaves a PNG in the
# screenshot folder for a person to look at.
#   RealWindowTest.sh PROGRAM SCREENSHOT_FOLDER
# Runs when QV_REAL_WINDOW=1 (QV_REAL_WINDOW=1 scripts/test -R RealWindow): it takes some five minutes and its input
# timing suits a machine that is not busy with other tests. Exits 77 (skipped) otherwise, or when xvfb-run,
# xdotool, xwd or python3 is missing.
set -euo pipefail
program=$(readlink -f "$1")
shots=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${QV_IN_XVFB:-}" ]; then
  [ "${QV_REAL_WINDOW:-}" = 1 ] || { echo "skipped: set QV_REAL_WINDOW=1 to drive the real program"; exit 77; }
  for tool in xvfb-run xdotool xwd python3; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "${BASH_SOURCE[0]}" "$@"
fi

work=$(mktemp -d)
trap '[ -n "${pid:-}" ] && kill -9 "$pid" 2> /dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/exe" "$work/home"
cp "$program" "$work/exe/quorvane"
ln -s "$(dirname "$program")/LibAV" "$work/exe/LibAV"
export HOME="$work/home"
pid=

fail() { echo "FAILED: $*"; shot "failure"; exit 1; }
shot() { xwd -root -silent | python3 "$here/XwdToPng.py" "$shots/$1.png"; echo "screenshot $shots/$1.png"; }
# A screenshot that also prints the number of colours in the client rectangle $2,$3 (width $4, height $5).
shot_colours() {
  xwd -root -silent | python3 "$here/XwdToPng.py" "$shots/$1.png" "$((MX + $2)),$((MY + $3)),$4,$5"
}
# A screenshot that also prints how many pixels of the client rectangle $2,$3 (width $4, height $5) have the colour
# $6 (RRGGBB, each channel within 8).
shot_count() {
  xwd -root -silent | python3 "$here/XwdToPng.py" "$shots/$1.png" "$((MX + $2)),$((MY + $3)),$4,$5" "$6"
}
# Whether two screenshots show the same pixels in the client rectangle $3,$4 (width $5, height $6).
same_area() {
  python3 - "$shots/$1.png" "$shots/$2.png" "$((MX + $3))" "$((MY + $4))" "$5" "$6" <<'PY'
import struct, sys, zlib
def rows(name):
    data = open(name, "rb").read()
    width = struct.unpack(">I", data[16:20])[0]
    at, body = 8, b""
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        body += data[at + 8:at + 8 + size] if kind == b"IDAT" else b""
        at += 12 + size
    return width, zlib.decompress(body)  # rows of a filter byte 0 and RGB pixels, as XwdToPng.py writes them
(wa, a), (wb, b) = rows(sys.argv[1]), rows(sys.argv[2])
x, y, w, h = (int(v) for v in sys.argv[3:7])
crop = lambda width, d: [d[(y + r) * (width * 3 + 1) + 1 + x * 3:(y + r) * (width * 3 + 1) + 1 + (x + w) * 3] for r in range(h)]
sys.exit(0 if crop(wa, a) == crop(wb, b) else 1)
PY
}
# The id of the visible window with exactly this title, waiting for it up to $2 seconds (30 by default).
window() {
  for _ in $(seq $(( ${2:-30} * 10 ))); do
    for w in $(xdotool search --onlyvisible --name . 2> /dev/null); do
      [ "$(xdotool getwindowname "$w" 2> /dev/null)" = "$1" ] && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
# Sets CX, CY to the screen position of the client area (width $2, height $3) of window $1.
client_origin() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local border=$(( (WIDTH - $2) / 2 ))
  CX=$((X + border)); CY=$((Y + HEIGHT - $3 - border))
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.7; }
start() {
  (cd "$work" && "$work/exe/quorvane" > "$work/program.log" 2>&1) &
  pid=$!
  main=$(window Quorvane) || fail "the main window did not show"
  sleep 1.5
  client_origin "$main" 839 522
  MX=$CX; MY=$CY
}
# Opens the menu of the menu-bar item at client x $1 and clicks the row at popup y $2, until $3 holds; a slow
# machine may take a while to show the popup, so each try waits longer before the row is clicked.
menu() {
  for pause in 0.7 1.5 3 5; do
    click $((MX + $1)) $((MY + 11))
    sleep "$pause"
    [ -n "${4:-}" ] && shot "$4"
    click $((MX + $1 + 4)) $((MY + 21 + 3 + $2))
    for _ in $(seq 50); do eval "$3" && return 0; sleep 0.2; done
    xdotool key Escape; sleep 0.5
  done
  return 1
}
# 文件 > 退出 (three items and a separator above it), then the exit code.
quit() {
  menu 26 79 'gone "$pid"' "$1" || fail "File > Exit did not end the program"
  local code=0
  wait "$pid" || code=$?
  pid=
  [ "$code" = 0 ] || { cat "$work/program.log"; fail "the program ended with $code"; }
}
# 功能 > 转换设置: the options dialog; sets OX, OY to its client origin.
options() {
  menu 128 10 'dialog=$(window 选项 1)' || fail "the options dialog did not show"
  sleep 1
  client_origin "$dialog" 542 550
  OX=$CX; OY=$CY
}
# The process has ended (it may be a zombie until it is waited for).
gone() { ! kill -0 "$1" 2> /dev/null || [ "$(ps -o stat= -p "$1" | cut -c1)" = Z ]; }
ini() { grep -a "^$1=" "$work/exe/option.ini" | cut -d= -f2- | tr -d '\r'; }
# Waits up to $2 seconds until the command $1 succeeds.
until_true() {
  for _ in $(seq $(( $2 * 5 ))); do eval "$1" && return 0; sleep 0.2; done
  return 1
}
# 文件 > 添加一个文件: in the skinned open dialog the media folder is typed first (the dialog shows it), then the
# file's name, each with Enter.
add_file() {
  menu 26 10 'window 打开文件 1 > /dev/null' || fail "the open dialog did not show"
  sleep 1
  xdotool type --delay 20 "$media"; xdotool key Return; sleep 1
  xdotool key ctrl+a; xdotool type --delay 20 "$1"; xdotool key Return
}
# The toolbar's buttons and the preview's, by their client position.
toolbar() { click $((MX + $1 + 37)) $((MY + 22 + 8 + 31)); }
start_button() { toolbar 117; }
pause_button() { toolbar 281; } # 暂停 and 继续 share the place
preview_button() { click $((MX + 8 + $1 + 15)) $((MY + 107 + 200 + 14)); }

# 1. The first start.
start
shot "1-started"
# 1b. The category box (its face at 131,372 in the client, 140x51) drops its list down over the preview's black
# picture (the area at 145,195, 90x70) at a click and at Alt+Down, Escape closes it, and a click on a row chooses it;
# the focused face after Escape shows the first category, the one chosen again at the end.
category_colours() { shot_colours "$1" 145 195 90 70; }
[ "$(category_colours 1-category-closed)" = 1 ] || fail "the preview's picture is not black before the drop-down"
click $((MX + 211)) $((MY + 421))
[ "$(category_colours 1-category-clicked-open)" -ge 6 ] || fail "a click did not drop the category list down"
xdotool key Escape; sleep 0.7
[ "$(category_colours 1-category-escaped)" = 1 ] || fail "Escape did not close the category list"
xdotool key alt+Down; sleep 0.7
[ "$(category_colours 1-category-alt-down-open)" -ge 6 ] || fail "Alt+Down did not drop the category list down"
click $((MX + 189)) $((MY + 266)) # the second row, VOB视频
[ "$(category_colours 1-category-second-row-chosen)" = 1 ] || fail "choosing a row did not close the category list"
! same_area 1-category-escaped 1-category-second-row-chosen 131 372 140 51 || fail "the second row was not chosen"
click $((MX + 211)) $((MY + 421))
click $((MX + 189)) $((MY + 216)) # the first row, VCD视频, as at the start
shot 1-category-first-row-chosen-again
same_area 1-category-escaped 1-category-first-row-chosen-again 131 372 140 51 || fail "the first row was not chosen again"
# 2. 功能 > 软件皮肤: the chooser starts on the shown skin (木星战甲, index 0, kept in option.ini by the first
# start); four steps down is 银河战甲, then OK.
[ "$(ini SetSkin)" = 0 ] || fail "SetSkin is $(ini SetSkin) after the first start"
menu 128 30 'chooser=$(window "Select skin" 1)' "2-tools-menu" || fail "the skin chooser did not show"
sleep 1
for _ in 1 2 3 4; do xdotool key Down; sleep 0.5; done
shot "2-skin-chosen"
xdotool key Return
for _ in $(seq 50); do [ "$(ini SetSkin)" = 4 ] && break; sleep 0.2; done
[ "$(ini SetSkin)" = 4 ] || fail "SetSkin is $(ini SetSkin) after choosing 银河战甲"
shot "2-skin-applied"
# 3. 文件 > 退出 ends the program with exit code 0.
quit "3-file-menu"
# 4. A second start shows the skin kept in option.ini.
start
shot "4-restarted"
[ "$(ini SetSkin)" = 4 ] || fail "SetSkin is $(ini SetSkin) after the restart"
# 5. 选项: 较低优先级进行 on the first page, 自动关闭计算机 on the second, then OK.
options
click $((OX + 54)) $((OY + 141))
shot "5-options-priority"
click $((OX + 95)) $((OY + 18))
click $((OX + 54)) $((OY + 113))
shot "5-options-after-done"
click $((OX + 375)) $((OY + 521))
[ "$(ini Thread_Priority)" = 2 ] || fail "Thread_Priority is $(ini Thread_Priority)"
[ "$(ini After_Done)" = 1 ] || fail "After_Done is $(ini After_Done)"
quit "5-file-menu"
# 6. After a restart the dialog shows the changed choices.
start
options
shot "6-restarted-options-priority"
click $((OX + 95)) $((OY + 18))
shot "6-restarted-options-after-done"
click $((OX + 375)) $((OY + 521))
quit "6-file-menu"

# 7. Media of the script's own; a recording xdg-open first on the path; the after-batch choice back to opening the
# output folder (step 5 chose the shutdown, which does nothing here but is not what these steps look at).
media="$work/media"
mkdir -p "$media" "$work/bin"
python3 "$here/MakeClips.py" "$media"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s/xdg-open.log"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
sed -i 's/^After_Done=[^\r]*/After_Done=0/' "$work/exe/option.ini"
out="$HOME/Velko视频软件/输出"
start
add_file tone.wav
until_true 'ls "$out"/tone.* > /dev/null 2>&1' 30 || fail "adding tone.wav made no output file"
sleep 1
# The cover over the empty list went with the first row: none of its light blue is left on the job panel's lowest
# rows, where the list's buttons (上移, 下移 ...) stand, nor along its right edge.
cover=$(shot_count "7-file-added" 274 335 552 10 D9E6F7)
[ "$cover" = 0 ] || fail "$cover pixels of the cover are left under the job list's buttons"
cover=$(shot_count "7-file-added" 820 107 6 238 D9E6F7)
[ "$cover" = 0 ] || fail "$cover pixels of the cover are left along the job panel's right edge"
# 8. 常用音频 (the last category) > MP3 (its first profile): the category box takes one Down at a time, since each
# choice moves the focus to the job list.
for _ in $(seq 18); do
  xdotool mousemove $((MX + 211)) $((MY + 421)) click 1; sleep 0.8
  xdotool key Down; sleep 1.2
done
shot "8-mp3-chosen"
# 9. 开始, then 暂停 once the output grows: the list shows the progress; the paused output stays as it is.
start_button
until_true '[ -s "$out/tone.mp3" ]' 30 || fail "the batch wrote no tone.mp3"
sleep 1
pause_button
sleep 1.5
shot "9-paused-with-progress"
size=$(stat -c %s "$out/tone.mp3")
sleep 1.5
[ "$(stat -c %s "$out/tone.mp3")" = "$size" ] || fail "the output grew while paused"
# 10. 继续, then the end: the output is MP3, and the after-batch action opened the output folder.
pause_button
until_true '[ -s "$work/xdg-open.log" ]' 240 || fail "the batch did not end with the output folder opened"
sleep 1
shot "10-batch-ended"
[ "$(cat "$work/xdg-open.log")" = "$out" ] || fail "xdg-open received $(cat "$work/xdg-open.log")"
python3 -c 'import sys; b = open(sys.argv[1], "rb").read(4); sys.exit(0 if b[:3] == b"ID3" or (b[0] == 0xFF and b[1] & 0xE0 == 0xE0) else 1)' \
  "$out/tone.mp3" || fail "tone.mp3 is no MP3 file"
# 11. The clip added and selected: the preview shows its first picture in Panel6 (17,127 240x145 in the client).
add_file clip.y4m
sleep 3
colours=$(shot_colours "11-preview-first-picture" 17 127 240 145)
[ "$colours" -ge 6 ] || fail "the preview shows $colours colours"
# The 4:3 picture fills the panel's height; the bars left and right of it (client x 17 to 40 and 234 to 257) are
# black and nothing else. The clip's own bars move and wrap, so a sliver of its white bar may stand at the picture's
# right edge, beside its black bar: that is the picture, not the bar.
letterbox_black() {
  [ "$(shot_colours "$1" 18 128 20 143)" = 1 ] && [ "$(shot_colours "$1" 236 128 20 143)" = 1 ] ||
    fail "the bars beside the picture are not plain black ($1)"
}
letterbox_black "11-preview-first-picture"
# 12. 播放, then 快照: a picture of the video's own size in the snapshot folder.
preview_button 9
sleep 1
letterbox_black "12-preview-playing"
preview_button 182
snap="$HOME/Velko视频软件/快照/clip_1.bmp"
until_true '[ -s "$snap" ]' 10 || fail "快照 saved no picture"
python3 - "$snap" <<'PY' || fail "the snapshot does not decode as a 160x120 picture"
import struct, sys
data = open(sys.argv[1], "rb").read()
width, height = struct.unpack("<ii", data[18:26])
bits = struct.unpack("<H", data[28:30])[0]
offset = struct.unpack("<I", data[10:14])[0]
line = (width * bits // 8 + 3) // 4 * 4
sys.exit(0 if data[:2] == b"BM" and (width, abs(height), bits) == (160, 120, 24) and len(data) >= offset + line * 120 else 1)
PY
quit "12-file-menu"
echo "passed"
