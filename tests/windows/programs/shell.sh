#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The shell registration of the Windows programs, for real: in a fresh Wine prefix the installed
# command-line tool registers and removes every group. After each step the whole of
# HKEY_CLASSES_ROOT is exported and compared with what it held before: exactly the group's keys and
# values must have come (or gone; removal leaves the empty keys that only held an entry), nothing
# else anywhere; the "Send to" shortcut is read back from
# its file; --shell-status must follow. Then the shell-settings window of the desktop program, on a
# virtual display, must show the same status as the tool.
#
# Wine runs every program as an administrator (IsUserAnAdmin is true, no write is refused), so the
# window shows the green administrator line with the restart button disabled, and a refused write
# or the elevation prompt cannot happen here. The "runas" start itself is checked by the cross-built
# tests (tests/windows/cross), which start a probe program with it.
source "$(dirname "$0")/lib.sh"

here="$(cd "$(dirname "$0")" && pwd)"
# Debian's Python, which has the imaging module (python3-pil) that reads the screenshots.
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
inspect() { PYTHONIOENCODING=utf-8 "$python" "$here/read_back.py" "$@"; }

# A virtual display for the desktop program's window (the tool needs none).
command -v Xvfb >/dev/null || fail "Xvfb is needed for the window check"
display_fd="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_fd" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_fd" ] && break; sleep 0.1; done
[ -s "$display_fd" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$display_fd")"
rm -f "$display_fd"

wine_prefix_new --display
shell_end() {
  local status=$?
  set +e
  kill "$xvfb_pid" 2>/dev/null
  (exit "$status")
  wine_prefix_end
}
trap shell_end EXIT
wine_env_default

# The programs installed together, as the installer lays them out: the tool's entries start the
# desktop program beside it.
install_dir="$C/Program Files/Quillpress"
mkdir -p "$install_dir"
cp "$APP" "$CLI" "$install_dir/"
program='C:\Program Files\Quillpress\quillpress.exe'
command="\"$program\" \"%1\""
sendto_dir="$(find "$C/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%p/AppData/Roaming/Microsoft/Windows/SendTo\n' | head -n 1)"
[ -d "$sendto_dir" ] || fail "no Send to folder in the prefix"
shortcut="$sendto_dir/VLM Quillpress.lnk"

reg() { "${wine_cmd[@]}" reg "$@" </dev/null >>"$WINE_LOG" 2>&1 || fail "reg $*"; }
# Every key and value below HKEY_CLASSES_ROOT, one a line, sorted.
classes() {
  reg export HKCR "$WINE_TMP/classes.reg" /y
  inspect registry "$WINE_TMP/classes.reg" | LC_ALL=C sort >"$1"
}

# A file type that .jpg points to, with an opener of its own; .png has no key at all.
reg add 'HKCR\.jpg' /ve /d jpegfile /f
reg add 'HKCR\jpegfile\shell\open\command' /ve /d 'viewer.exe %1' /f
classes "$WINE_TMP/before.txt"
# Wine's own name of the key of folders.
folder_key="$(grep -i -m 1 -x folder "$WINE_TMP/before.txt")" || fail "no folder key in the prefix"

# cli ARGUMENTS...: the installed tool; it must succeed.
cli() {
  local status=0
  wine_run "$install_dir/quillpress-cli.exe" "$@" || status=$?
  [ "$status" = 0 ] || { cat "$WINE_OUT" "$WINE_ERR" >&2; fail "quillpress-cli $* ended with $status"; }
}
# The chosen extensions come from the start configuration of the program folder, which both
# programs load: the tool at every start, the desktop program for its window.
cli --no-start-config --set 'beldateien=jpg, a.b, png' --save-config 'C:\Program Files\Quillpress\Auto.qpcf'

# The keys and values each group adds, by language.
entries() { # GROUP LANGUAGE
  local type caption_folders caption_files
  if [ "$2" = de ]; then
    type='VLM Quillpress Konfiguration' caption_folders='Öffnen mit VLM Quillpress' caption_files='Öffnen mit VLM Quillpress'
  else
    type='VLM Quillpress Configuration' caption_folders='Open with Quillpress' caption_files='Open with VLM Quillpress'
  fi
  case "$1" in
    config) printf '%s\n' ".qpcf" ".qpcf = $type" "$type" "$type = $type" "$type\\DefaultIcon" \
      "$type\\DefaultIcon = $program,0" "$type\\Shell" "$type\\Shell\\Open" "$type\\Shell\\Open\\Command" \
      "$type\\Shell\\Open\\Command = $command" ;;
    sendto) ;;
    folders) printf '%s\n' "$folder_key\\shell\\VLMquillpress" "$folder_key\\shell\\VLMquillpress = $caption_folders" \
      "$folder_key\\shell\\VLMquillpress\\command" "$folder_key\\shell\\VLMquillpress\\command = $command" ;;
    files) printf '%s\n' '*\shell' '*\shell\VLMquillpress' "*\\shell\\VLMquillpress = $caption_files" \
      '*\shell\VLMquillpress\command' "*\\shell\\VLMquillpress\\command = $command" ;;
    # .jpg names a type: the entry goes there. .png has none: the entry goes on its own key.
    types) printf '%s\n' 'jpegfile\shell\VLMquillpress' "jpegfile\\shell\\VLMquillpress = $caption_files" \
      'jpegfile\shell\VLMquillpress\command' "jpegfile\\shell\\VLMquillpress\\command = $command" \
      '.png' '.png\shell' '.png\shell\VLMquillpress' ".png\\shell\\VLMquillpress = $caption_files" \
      '.png\shell\VLMquillpress\command' ".png\\shell\\VLMquillpress\\command = $command" ;;
  esac
}

# The keys that were made only to hold a group's entries and that removal leaves (empty): it takes
# back the entries and never a key that another program could have made.
holders() { # GROUP
  case "$1" in
    files) printf '%s\n' '*\shell' ;;
    types) printf '%s\n' '.png' '.png\shell' ;;
  esac
}
ever_registered=()

# expect_registered LANGUAGE GROUP...: HKEY_CLASSES_ROOT holds what it held before plus exactly
# these groups' entries (and the holders of groups registered earlier), and the shortcut exists
# exactly when sendto is among them.
expect_registered() {
  local language="$1" group
  shift
  ever_registered+=("$@")
  classes "$WINE_TMP/now.txt"
  { for group in "$@"; do entries "$group" "$language"; done
    for group in "${ever_registered[@]}"; do holders "$group"; done; } | LC_ALL=C sort -u >"$WINE_TMP/expected.txt"
  LC_ALL=C comm -13 "$WINE_TMP/before.txt" "$WINE_TMP/now.txt" >"$WINE_TMP/added.txt"
  LC_ALL=C comm -23 "$WINE_TMP/before.txt" "$WINE_TMP/now.txt" >"$WINE_TMP/lost.txt"
  diff -u "$WINE_TMP/expected.txt" "$WINE_TMP/added.txt" >&2 ||
    fail "HKEY_CLASSES_ROOT with ${*:-nothing} registered ($language): - expected, + found"
  [ ! -s "$WINE_TMP/lost.txt" ] || { cat "$WINE_TMP/lost.txt" >&2; fail "keys or values that were there are gone"; }
  local files
  files="$(ls -A "$sendto_dir")"
  if [[ " $* " == *" sendto "* ]]; then
    [ "$files" = "${shortcut##*/}" ] || fail "the Send to folder holds \"$files\", not the shortcut alone"
    inspect shortcut "$shortcut" >"$WINE_TMP/shortcut.txt"
    printf '%s\n' "target: $program" 'folder: C:\Program Files\Quillpress' 'description: VLM Quillpress' \
      'arguments: ' | diff -u - "$WINE_TMP/shortcut.txt" >&2 || fail "the Send to shortcut: - expected, + found"
  else
    [ -z "$files" ] || fail "the Send to folder holds \"$files\""
  fi
}

# status_lines LANGUAGE GROUP...: the lines of --shell-status with these groups active.
status_lines() {
  local language="$1" group on off
  shift
  if [ "$language" = de ]; then on=Aktiv off='Nicht aktiv'; else on=Activated off='Not activated'; fi
  for group in config sendto folders files types; do
    if [[ " $* " == *" $group "* ]]; then echo "$group: $on"; else echo "$group: $off"; fi
  done
}
expect_status() { # LANGUAGE GROUP...
  cli --language "$1" --shell-status
  status_lines "$@" | diff -u - "$WINE_OUT" >&2 || fail "--shell-status with ${*:2} active: - expected, + found"
}

all=(config sendto folders files types)
register_all=() remove_all=()
for group in "${all[@]}"; do register_all+=(--shell-register "$group") remove_all+=(--shell-remove "$group"); done

expect_status en
expect_registered en

# Each group in turn, on top of the ones before: register, then remove again one by one.
registered=()
for group in "${all[@]}"; do
  cli --shell-register "$group"
  [ "$(cat "$WINE_OUT")" = "$group: Activated" ] || fail "--shell-register $group said: $(cat "$WINE_OUT")"
  registered+=("$group")
  expect_registered en "${registered[@]}"
  expect_status en "${registered[@]}"
done

# Registering again writes the same values: nothing doubles.
cli "${register_all[@]}"
expect_registered en "${all[@]}"

# Only entries that start this very program file count: for a moved program, and for the same path
# in other letter case, every group reads inactive although the entries exist.
for other in 'C:\Program Files\Quillpress old\quillpress.exe' 'c:\program files\quillpress\quillpress.exe'; do
  cli --shell-program "$other" --shell-status
  status_lines en | diff -u - "$WINE_OUT" >&2 || fail "the entries count as active for $other"
done

for group in "${all[@]}"; do
  cli --shell-remove "$group"
  [ "$(cat "$WINE_OUT")" = "$group: Not activated" ] || fail "--shell-remove $group said: $(cat "$WINE_OUT")"
  registered=("${registered[@]:1}")
  expect_registered en "${registered[@]}"
  expect_status en "${registered[@]}"
done
say "every group registers and is removed again, leaving only the empty keys that held entries"

# The German names, every group at once.
cli --language de "${register_all[@]}" --shell-status
{ status_lines de "${all[@]}"; status_lines de "${all[@]}"; } | diff -u - "$WINE_OUT" >&2 ||
  fail "registering every group in German: - expected, + found"
expect_registered de "${all[@]}"
cli --language de "${remove_all[@]}"
expect_registered de
say "the German names are registered and removed"

# --- The shell-settings window -------------------------------------------------------------------
# The window is worked from outside, as a user does: a small Windows program brings the main window
# to the front and types Alt+S, S (Settings, Shortcuts with Files and Folders) or Escape, and finds
# the window. Its status lines are read from a screenshot by their colours: green for active, red
# for inactive, with the green administrator line above them.
mingw_cc=x86_64-w64-mingw32-gcc-posix
command -v "$mingw_cc" >/dev/null || mingw_cc=x86_64-w64-mingw32-gcc
"$mingw_cc" -municode -O2 -Wall -Wextra -Werror -o "$WINE_TMP/window_probe.exe" "$here/window_probe.c" ||
  fail "building the window probe"
probe() {
  local status=0
  wine_run "$WINE_TMP/window_probe.exe" "$@" || status=$?
  [ "$status" = 0 ] || { cat "$WINE_ERR" >&2; fail "window_probe $* ended with $status"; }
}
# expect_window COLOUR...: the colours of the window's status lines, top to bottom.
expect_window() {
  local try x y w h
  for try in $(seq 20); do
    sleep 0.5
    probe rect Shortcuts
    read -r x y w h <"$WINE_OUT"
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$WINE_TMP/window.png" ||
      fail "taking a screenshot"
    inspect status "$WINE_TMP/window.png" >"$WINE_TMP/colours.txt"
    printf '%s\n' "$@" | cmp -s - "$WINE_TMP/colours.txt" && return 0
  done
  printf '%s\n' "$@" | diff -u - "$WINE_TMP/colours.txt" >&2 || true
  cp "$WINE_TMP/window.png" "${TMPDIR:-/tmp}/quillpress-shell-window.png"
  fail "the status lines of the window (screenshot in ${TMPDIR:-/tmp}/quillpress-shell-window.png): - expected, + found"
}

# Settings, Shortcuts with Files and Folders (Alt+S, S); typed again when a busy program missed the
# keys.
open_shortcuts() {
  local try
  for try in 1 2 3; do
    probe keys 'Quillpress - Velmora' '%ss'
    wine_run "$WINE_TMP/window_probe.exe" rect Shortcuts 20 && return 0
  done
  fail "the shell-settings window did not open on Alt+S, S"
}

cli --shell-register config --shell-register folders
(cd "$WINE_TMP" && exec timeout 300 "${wine_cmd[@]}" "$install_dir/quillpress.exe" </dev/null >>"$WINE_LOG" 2>&1) &
app=$!
open_shortcuts
#             administrator config sendto folders files types
expect_window green green red green red red
# Changed from outside while the window is hidden: shown again, it reads the registration anew.
cli --shell-remove config --shell-remove folders --shell-register sendto --shell-register files --shell-register types
probe keys Shortcuts '~'
open_shortcuts
expect_window green red green red green green
# File, Close ends the program.
probe keys Shortcuts '~'
# Typed again, like Alt+S, S, when a busy program missed the keys.
for try in 1 2 3; do
  probe keys 'Quillpress - Velmora' '%fc'
  for _ in $(seq 20); do kill -0 "$app" 2>/dev/null || break; sleep 1; done
  kill -0 "$app" 2>/dev/null || break
done
app_status=0
wait "$app" || app_status=$?
[ "$app_status" = 0 ] || fail "the desktop program ended with $app_status"
say "the shell-settings window shows the status the tool reports"

cli "${remove_all[@]}"
expect_registered en
say "passed"
