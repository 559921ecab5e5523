#!/usr/bin/env bash
# The real program in a real X server, driven by real input: a copy of the program in a temporary executable
# folder with a temporary home folder, under xvfb-run, pressed by xdotool. Every step leaves a PNG in the
# screenshot folder for a person to look at.
#   RealWindowTest.sh PROGRAM SCREENSHOT_FOLDER
# Exits 77 (skipped) when xvfb-run, xdotool, xwd or python3 is missing.
set -euo pipefail
program=$(readlink -f "$1")
shots=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${QV_IN_XVFB:-}" ]; then
  for tool in xvfb-run xdotool xwd python3; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "${BASH_SOURCE[0]}" "$@"
fi

work=$(mktemp -d)
trap 'kill -9 "${pid:-0}" 2> /dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/exe" "$work/home"
cp "$program" "$work/exe/quorvane"
ln -s "$(dirname "$program")/LibAV" "$work/exe/LibAV"
export HOME="$work/home"
pid=

fail() { echo "FAILED: $*"; shot "failure"; exit 1; }
shot() { xwd -root -silent | python3 "$here/XwdToPng.py" "$shots/$1.png"; echo "screenshot $shots/$1.png"; }
# The id of the visible window with exactly this title, waiting for it up to 30 s.
window() {
  for _ in $(seq 300); do
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
# 文件 > 退出, then the exit code.
quit() {
  click $((MX + 26)) $((MY + 11))
  shot "$1"
  # The file menu opens under its button: three items, a separator, then 退出.
  click $((MX + 40)) $((MY + 21 + 3 + 60 + 9 + 10))
  local code=0
  wait "$pid" || code=$?
  pid=
  [ "$code" = 0 ] || { cat "$work/program.log"; fail "the program ended with $code"; }
}
# 功能 > 转换设置: the options dialog; sets OX, OY to its client origin.
options() {
  click $((MX + 176)) $((MY + 11))
  click $((MX + 180)) $((MY + 21 + 3 + 10))
  dialog=$(window 选项) || fail "the options dialog did not show"
  sleep 1
  client_origin "$dialog" 542 550
  OX=$CX; OY=$CY
}
ini() { grep -a "^$1=" "$work/exe/option.ini" | cut -d= -f2- | tr -d '\r'; }

# 1. The first start.
start
shot "1-started"
# 2. The skin chooser is not there yet: 功能 > 软件皮肤 keeps the skin and writes its index.
click $((MX + 176)) $((MY + 11))
shot "2-tools-menu"
click $((MX + 180)) $((MY + 21 + 3 + 30))
[ "$(ini SetSkin)" = 0 ] || fail "SetSkin is $(ini SetSkin) after the skin command"
# 3. 文件 > 退出 ends the program with exit code 0.
quit "3-file-menu"
# 4. A second start shows the skin kept in option.ini.
start
shot "4-restarted"
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
echo "passed"
