#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop program under Wine on a virtual X display: it starts, a typed text is turned into an
# image by "Create and Save" (Ctrl+S), the main window is photographed, and Ctrl+Q ends the
# program with exit status 0. The picture goes to the build folder (windows-main-en.png); with
# QP_UPDATE_SCREENSHOTS=1 also to docs/screenshots.
# Runs itself under xvfb-run when there is no display.
if [ -z "${QP_GUI_CHECK_DISPLAY:-}" ]; then
  export QP_GUI_CHECK_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

wine_prefix_new --display
wine_env_default
# A portable copy: its program folder (and output folder "output") lies beside the program file.
mkdir -p "$C/Quillpress"
cp "$APP" "$C/Quillpress/"
status_file="$WINE_TMP/app.status"
( status=0; "${wine_cmd[@]}" 'C:\Quillpress\quillpress.exe' >"$WINE_TMP/app.out" 2>&1 || status=$?
  echo "$status" >"$status_file" ) &

# The main window: the largest visible window of the program.
main_window() {
  local w best="" area=0 W H
  for w in $(xdotool search --onlyvisible --name '^Quillpress' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(WIDTH|HEIGHT)=')"
    if ((WIDTH * HEIGHT > area)); then best=$w; area=$((WIDTH * HEIGHT)); fi
  done
  echo "$best"
}
wid=""
for _ in $(seq 120); do
  wid="$(main_window)"
  [ -n "$wid" ] && eval "$(xdotool getwindowgeometry --shell "$wid")" && ((WIDTH > 500)) && break
  [ -f "$status_file" ] && fail "the program ended at start with status $(cat "$status_file")"
  sleep 1
done
[ -n "$wid" ] || fail "no main window after two minutes"
sleep 2
xdotool windowfocus --sync "$wid"
# Into the text field (the middle of the window's lower half, the text page being open at start).
eval "$(xdotool getwindowgeometry --shell "$wid")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 70 / 100)) click 1
sleep 0.5
xdotool key --window "$wid" ctrl+a
xdotool type --window "$wid" --delay 20 "Hello from Windows"
sleep 1
xdotool key --window "$wid" ctrl+s
image="$C/Quillpress/output/hello_from_windows.jpg"
for _ in $(seq 60); do
  [ -s "$image" ] && break
  sleep 1
done
[ -s "$image" ] || fail "Create and Save wrote no image: $(find "$C/Quillpress" -type f | tr '\n' ' ')"
identify "$image" >/dev/null || fail "the written image is no JPEG file"
sleep 2
shot="$QP_WINDOWS_BUILD/windows-main-en.png"
import -window "$wid" "$shot" || fail "no picture of the main window"
if [ "${QP_UPDATE_SCREENSHOTS:-0}" = 1 ]; then
  cp "$shot" "$QP_SOURCE_DIR/docs/screenshots/windows-main-en.png"
fi
xdotool key --window "$wid" ctrl+q
for _ in $(seq 60); do
  [ -f "$status_file" ] && break
  sleep 1
done
[ -f "$status_file" ] || fail "the program did not end on Ctrl+Q"
[ "$(cat "$status_file")" = 0 ] || fail "the program ended with status $(cat "$status_file")"
say "passed: $(identify -format '%wx%h %m' "$image") written, picture in $shot"
