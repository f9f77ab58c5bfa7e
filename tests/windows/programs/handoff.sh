#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The single-instance hand-off of quillpress.exe under Wine:
#   (a) a second start with a configuration file hands it to the running instance and ends with
#       exit code 0; the running instance loads it (seen in the start configuration its auto-save
#       writes when it closes) and comes to the front from the minimised state;
#   (b) a start without arguments opens an instance of its own beside the running one;
#   (c) copies of the program at other paths, one of them deeper than a window class name can
#       hold, never hand over to another copy, only to themselves.
# The program runs with its windows platform on Wine's null graphics driver: the windows exist
# and take messages without a display. A small probe (window_probe.c, cross-built here) looks at
# them from outside.
source "$(dirname "$0")/lib.sh"

wine_prefix_new
wine_env_default

probe="$WINE_TMP/window_probe.exe"
mingw_cc=x86_64-w64-mingw32-gcc-posix
command -v "$mingw_cc" >/dev/null || mingw_cc=x86_64-w64-mingw32-gcc
"$mingw_cc" -municode -O2 -Wall -Wextra -Werror -o "$probe" "$(dirname "$0")/window_probe.c" ||
  fail "building the window probe"
# probe COMMAND ARGUMENTS...: its answer as the exit status, what it saw in $WINE_TMP/probe.txt.
probe() {
  "${wine_cmd[@]}" "$probe" "$@" </dev/null >"$WINE_TMP/probe.txt" 2>>"$WINE_LOG"
}
probe_says() { tr -d '\r' <"$WINE_TMP/probe.txt"; }

# Three copies of the program file: two of the same name in two folders, and one so deep that
# "OneInstUtilWnd:" and its path are longer than the 255 characters of a class name.
deep='C:'
for i in 1 2 3 4 5; do deep+="\\folder_$i$(printf '_%.0s' {1..41})"; done
declare -A exe=([one]='C:\one\quillpress.exe' [two]='C:\two\quillpress.exe' [deep]="$deep\\quillpress.exe")
# The folder of a copy on this side.
folder_of() { dirname "$C/$(echo "${exe[$1]#C:\\}" | tr '\\' /)"; }
for copy in one two deep; do
  mkdir -p "$(folder_of $copy)"
  cp "$APP" "$(folder_of $copy)/quillpress.exe"
done
key="OneInstUtilWnd:${exe[deep]}"
((${#key} > 255)) || fail "the deep copy's path is too short to test hashed class names"

# The configuration files, in a folder of their own; each names the auto-save "all", so that the
# instance that loads one writes its settings into the start configuration of its copy's folder
# when it closes (an instance that loads none writes nothing). The first one's name has characters
# outside the ANSI code page, which only the UTF-16 command line carries.
mkdir -p "$C/data"
write_config() { # write_config FILE KEY=VALUE...
  local file="$C/data/$1"; shift
  { printf '[AS]\r\nN=0\r\nA=1\r\n[PBED]\r\n'; printf '%s\r\n' "$@"; } >"$file"
}
write_config 'Einstellungen-設定.qpcf' abs_o=33
write_config two.qpcf abs_o=55
write_config two-again.qpcf abs_u=56
write_config deep.qpcf abs_o=77
write_config deep-again.qpcf abs_u=78

# start_instance NAME COPY [ARGUMENTS...]: starts a copy in the background from C:\data; its
# process id (of this side, which ends with the program's exit code) in pid[NAME].
declare -A pid
start_instance() {
  local name=$1 copy=$2
  shift 2
  (cd "$C/data" && exec "${wine_cmd[@]}" "${exe[$copy]}" "$@" </dev/null >>"$WINE_LOG" 2>&1) &
  pid[$name]=$!
}
running() { kill -0 "${pid[$1]}" 2>/dev/null; }
# wait_windows COPY COUNT: COUNT instances of the copy show their main window.
wait_windows() {
  probe wait "${exe[$1]}" "$2" 120 || fail "$2 instance(s) of the $1 copy expected, $(probe_says)"
}
# hand_off COPY ARGUMENTS...: a start from C:\data that must hand over: exit code 0, in time.
hand_off() {
  local copy=$1 status=0
  shift
  (cd "$C/data" && WINE_TIMEOUT=120 wine_run "${exe[$copy]}" "$@") || status=$?
  [ "$status" = 0 ] || fail "a start of the $copy copy with $* did not hand over (exit status $status)"
}

# The new prefix's desktop process (explorer.exe /desktop, started while the prefix was made) ends a
# few seconds later; a program that makes its windows meanwhile may find its main window not made
# (CreateWindowEx fails) and runs on without one. Once it is gone, the first program's windows
# start a desktop process of their own.
prefix_desktop_running() {
  local p
  for p in $(pgrep -f 'explorer.exe /desktop'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
waited=$SECONDS
while prefix_desktop_running && ((SECONDS - waited < 60)); do sleep 0.5; done

say "starting the first instance"
start_instance first one
wait_windows one 1

# (b) Without arguments a second start opens its own window, also while one runs.
start_instance second one
wait_windows one 2
running first && running second || fail "an instance without arguments ended"
say "(b) a start without arguments opened a second instance"

# (a) Both windows minimised; a start with a relative file name outside the ANSI code page, made
# from another folder, hands it over and ends; a running instance takes it and comes to the front.
probe minimize "${exe[one]}" || fail "minimising: $(probe_says)"
! probe front "${exe[one]}" || fail "a minimised window counts as in front: $(probe_says)"
hand_off one 'Einstellungen-設定.qpcf'
probe front "${exe[one]}" || fail "the instance that took the hand-off is not in front: $(probe_says)"
running first && running second || fail "a running instance ended at the hand-off"
say "(a) the second start handed over and ended with exit code 0; the instance came to the front"

# Messages of other senders: a size that is no UTF-16 text is refused unread; a well-formed command
# line that names no configuration (an image, as the shell's entry for all files passes it) is
# taken. (Wine does not deliver a message of 4 MiB or more at all, so the refusal of one beyond the
# largest command line cannot be seen here.)
# expect_reply REPLY probe-arguments...
expect_reply() {
  local want=$1
  shift
  probe "$@" || fail "$1 ${3:0:60}: $(probe_says)"
  [ "$(probe_says)" = "reply $want" ] || fail "$1 ${3:0:60}: $(probe_says), expected reply $want"
}
window_one="OneInstUtilWnd:${exe[one]}"
expect_reply da860080 copydata-size "$window_one" 3
expect_reply da860081 copydata "$window_one" "\"${exe[one]}\" \"C:\\data\\picture.png\""
running first && running second || fail "a running instance ended after the messages of other senders"
say "(a) a damaged message of another sender was refused, a well-formed one taken"

# (c) The other copies: their first starts with a configuration find no instance of their own
# program file and open windows; their second starts hand over to them.
probe class "OneInstUtilWnd:${exe[two]}" && fail "a window of the two copy before it started"
start_instance two two two.qpcf
wait_windows two 1
probe class "OneInstUtilWnd:${exe[two]}" || fail "no hand-off window named after the two copy's path"
hand_off two two-again.qpcf
start_instance deep deep deep.qpcf
wait_windows deep 1
hashed="OneInstUtilWnd-$(printf '%s' "$key" | tr '[:lower:]' '[:upper:]' | sha256sum | cut -c1-64)"
probe class "$hashed" || fail "no hand-off window of the hashed name $hashed for the deep copy"
hand_off deep deep-again.qpcf
running two && running deep || fail "a copy ended after a hand-off to itself"
say "(c) the copies at other paths started on their own and took only their own hand-offs"

# Every instance closes like a user closing its main window, with exit code 0, and the instances
# that took a configuration write what they hold.
for copy in one two deep; do
  probe close "${exe[$copy]}" || fail "closing the $copy copy: $(probe_says)"
done
for name in first second two deep; do
  status=0
  wait "${pid[$name]}" || status=$?
  [ "$status" = 0 ] || fail "the instance $name ended with exit status $status"
done

# expect_start_configuration COPY KEY=VALUE...: the start configuration of the copy's folder.
expect_start_configuration() {
  local copy=$1 file
  shift
  file="$(folder_of "$copy")/Auto.qpcf"
  [ -f "$file" ] || fail "the $copy copy wrote no start configuration"
  local text
  text="$(iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r')"
  for line in "$@"; do
    grep -qx "$line" <<<"$text" || fail "the $copy copy's start configuration lacks $line:"$'\n'"$text"
  done
}
# abs_u keeps its default 10 in the first copy: neither other copy handed anything to it.
expect_start_configuration one abs_o=33 abs_u=10
expect_start_configuration two abs_o=55 abs_u=56
expect_start_configuration deep abs_o=77 abs_u=78
say "every instance ended with exit code 0 and saved the configurations it was handed"
say "passed"
