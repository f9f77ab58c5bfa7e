#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Smoke check of a finished Windows toolkit: builds the small static Widgets program beside this
# script against it and runs that under Wine, headless, with the offscreen platform.
#   bash scripts/windows/smoke/run.sh PREFIX
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
prefix="$1"
triplet=x86_64-w64-mingw32
say() { echo "smoke: $*" >&2; }

dir="$(mktemp -d "${TMPDIR:-/tmp}/quillpress-smoke.XXXXXX")"
wineserver_cmd=wineserver
if ! command -v wineserver >/dev/null 2>&1 && [ -x /usr/lib/wine/wineserver ]; then
  wineserver_cmd=/usr/lib/wine/wineserver
fi
cleanup() {
  if [ -d "$dir/wine" ]; then
    WINEPREFIX="$dir/wine" "$wineserver_cmd" -k >/dev/null 2>&1 || true
    WINEPREFIX="$dir/wine" "$wineserver_cmd" -w >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

start=$SECONDS
if ! { cmake -S "$here" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
         -DCMAKE_PREFIX_PATH="$prefix" &&
       cmake --build "$dir/build"; } >"$dir/build.log" 2>&1; then
  tail -n 40 "$dir/build.log" >&2
  say "building the smoke program failed"
  exit 1
fi
say "built in $((SECONDS - start)) s, $(du -h "$dir/build/smoke.exe" | cut -f1)"

# Static means static: nothing beyond the DLLs of Windows itself.
dlls="$("$triplet-objdump" -p "$dir/build/smoke.exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')"
say "imports $dlls"
if grep -qiE 'qt6|libstdc|libgcc|winpthread|zlib|libz' <<<"$dlls"; then
  say "smoke.exe needs DLLs that are not part of Windows"
  exit 1
fi

wine_cmd=(wine)
if command -v wine64 >/dev/null 2>&1; then
  wine_cmd=(wine64)
elif [ -x /usr/lib/wine/wine64 ]; then
  wine_cmd=(/usr/lib/wine/wine64)
fi
export WINEPREFIX="$dir/wine" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers, no debugger when something crashes, no window system.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
log="$dir/wine.log"
start=$SECONDS
mkdir -p "$WINEPREFIX"
# The wine server and the services of the new prefix outlive the commands that started them:
# they get the log file, never our pipes.
"$wineserver_cmd" -p </dev/null >>"$log" 2>&1
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
if ! { "${wine_cmd[@]}" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
       "${wine_cmd[@]}" reg add "$aedebug" /v Auto /d 0 /f &&
       "${wine_cmd[@]}" reg add "$aedebug" /v Debugger /d '' /f; } </dev/null >>"$log" 2>&1; then
  cat "$log" >&2
  say "preparing the Wine prefix failed"
  exit 1
fi
say "Wine prefix ready in $((SECONDS - start)) s"

cp "$dir/build/smoke.exe" "$WINEPREFIX/drive_c/smoke.exe"
status=0
# Variables from this side do not reach the program: they are set inside Wine. The offscreen
# platform reads the fonts of one folder rather than asking Windows; Wine's own fonts will do.
fontdir=/usr/share/wine/fonts
[ -f "$fontdir/tahoma.ttf" ] || { say "no Wine fonts in $fontdir (fonts-wine)"; exit 1; }
timeout 300 "${wine_cmd[@]}" cmd /c \
  "set QT_QPA_PLATFORM=offscreen&& set QT_QPA_FONTDIR=Z:${fontdir//\//\\}&& C:\\smoke.exe" \
  </dev/null >"$dir/output.txt" 2>&1 || status=$?
tr -d '\r' <"$dir/output.txt" | sed 's/^/smoke: smoke.exe: /' >&2
if [ "$status" != 0 ] || ! grep -q '^smoke: ok' "$dir/output.txt"; then
  say "failed (exit status $status)"
  exit 1
fi
say "passed"
