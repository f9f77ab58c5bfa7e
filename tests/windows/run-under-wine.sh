#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a cross-built Windows test program under Wine: in a throw-away prefix, headless (the null
# graphics driver, no display), with everything Wine leaves running cut off from our output.
# Usage: run-under-wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail

program="$1"
shift

wine_cmd=()
if command -v wine64 >/dev/null 2>&1; then
  wine_cmd=(wine64)
elif [ -x /usr/lib/wine/wine64 ]; then
  wine_cmd=(/usr/lib/wine/wine64)
else
  wine_cmd=(wine)
fi
wineserver_cmd=wineserver
if ! command -v wineserver >/dev/null 2>&1 && [ -x /usr/lib/wine/wineserver ]; then
  wineserver_cmd=/usr/lib/wine/wineserver
fi

prefix="$(mktemp -d "${TMPDIR:-/tmp}/quillpress-wine.XXXXXX")"
log="$prefix.log"
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers, no window system.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

cleanup() {
  "$wineserver_cmd" -k >/dev/null 2>&1 || true
  "$wineserver_cmd" -w >/dev/null 2>&1 || true
  rm -rf "$prefix" "$log"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

# The wine server and the services that preparing the prefix starts outlive the commands that
# started them: they get the log, never our pipes, or the test runner would wait for them.
"$wineserver_cmd" -p </dev/null >>"$log" 2>&1
start=$SECONDS
if ! "${wine_cmd[@]}" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >>"$log" 2>&1; then
  echo "Preparing the Wine prefix failed:" >&2
  cat "$log" >&2
  exit 1
fi
echo "Wine prefix ready in $((SECONDS - start)) s"

# The program's output goes through a file for the same reason.
status=0
"${wine_cmd[@]}" "$program" "$@" </dev/null >"$prefix/output.txt" 2>&1 || status=$?
cat "$prefix/output.txt"
exit "$status"
