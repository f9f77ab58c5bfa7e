# SPDX-License-Identifier: MIT
# Shared by the checks of the Windows programs under Wine (sourced, not run). Each check gets
#   QP_WINDOWS_BUILD   the Windows build folder (build-windows/), with src/quillpress.exe and
#                      src/quillpress-cli.exe
#   QP_SOURCE_DIR      the checkout
# and makes its own throw-away Wine prefix with wine_prefix_new; everything Wine leaves running
# is stopped when the check ends.
set -euo pipefail

wine_cmd=(wine)
if command -v wine64 >/dev/null 2>&1; then
  wine_cmd=(wine64)
elif [ -x /usr/lib/wine/wine64 ]; then
  wine_cmd=(/usr/lib/wine/wine64)
fi
wineserver_cmd=wineserver
if ! command -v wineserver >/dev/null 2>&1 && [ -x /usr/lib/wine/wineserver ]; then
  wineserver_cmd=/usr/lib/wine/wineserver
fi

check_name="$(basename "$0" .sh)"
say() { echo "$check_name: $*" >&2; }
fail() { say "FAILED: $*"; exit 1; }

# A fresh 64-bit prefix in a temporary folder: no Mono or Gecko installers, no debugger when a
# program crashes (a crash then ends the program with its status instead of hanging), the null
# graphics driver unless a display is wanted (wine_prefix_new --display). Wine links the user's
# Documents, Pictures, Desktop... to the home folder and mirrors Start menu entries and file
# associations into the desktop's folders there: the home folder is one of the temporary folder,
# and the mirroring is off, so no check writes into the real home.
wine_prefix_new() {
  WINE_TMP="$(mktemp -d "${TMPDIR:-/tmp}/quillpress-wine.XXXXXX")"
  export HOME="$WINE_TMP/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
  mkdir -p "$HOME"
  export WINEPREFIX="$WINE_TMP/prefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
  WINE_LOG="$WINE_TMP/wine.log"
  trap wine_prefix_end EXIT
  trap 'exit 143' TERM INT HUP
  mkdir -p "$WINEPREFIX"
  # The wine server and the services of the new prefix outlive the commands that started them:
  # they get the log file, never our pipes.
  "$wineserver_cmd" -p </dev/null >>"$WINE_LOG" 2>&1
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  "${wine_cmd[@]}" reg add "$aedebug" /v Auto /d 0 /f </dev/null >>"$WINE_LOG" 2>&1 ||
    { cat "$WINE_LOG" >&2; fail "preparing the Wine prefix"; }
  "${wine_cmd[@]}" reg add "$aedebug" /v Debugger /d '' /f </dev/null >>"$WINE_LOG" 2>&1
  if [ "${1:-}" != --display ]; then
    unset DISPLAY WAYLAND_DISPLAY
    "${wine_cmd[@]}" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >>"$WINE_LOG" 2>&1
  fi
  C="$WINEPREFIX/drive_c"
}

wine_prefix_end() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ]; then
    "$wineserver_cmd" -k >/dev/null 2>&1 || true
    "$wineserver_cmd" -w >/dev/null 2>&1 || true
  fi
  if [ "$status" != 0 ] && [ -f "${WINE_LOG:-}" ]; then
    tail -n 30 "$WINE_LOG" | sed 's/^/wine: /' >&2
  fi
  [ -n "${WINE_TMP:-}" ] && rm -rf "$WINE_TMP"
  return "$status"
}

# The Windows path (Z:\...) of a Linux path.
winpath() { local p; p="$(readlink -m "$1")"; echo "Z:${p//\//\\}"; }

# wine_env NAME=VALUE...: variables for every Windows program started after it in this prefix
# (those of this side do not reach a Windows program): they go to the user's environment in
# Wine's registry, which Wine gives every program it starts.
wine_env() {
  local v
  for v in "$@"; do
    "${wine_cmd[@]}" reg add 'HKCU\Environment' /v "${v%%=*}" /d "${v#*=}" /f </dev/null >>"$WINE_LOG" 2>&1 ||
      fail "setting ${v%%=*} inside Wine"
  done
}

# wine_run PROGRAM [ARGUMENTS...]: runs a Windows program (a Linux path or a Windows one), its
# standard output in $WINE_OUT and standard error in $WINE_ERR (files, with the CRs of the console
# taken out); returns the program's exit status. WINE_TIMEOUT (seconds, default 300) bounds it.
wine_run() {
  WINE_OUT="$WINE_TMP/out.txt" WINE_ERR="$WINE_TMP/err.txt"
  local status=0
  timeout "${WINE_TIMEOUT:-300}" "${wine_cmd[@]}" "$@" </dev/null >"$WINE_OUT.raw" 2>"$WINE_ERR.raw" || status=$?
  tr -d '\r' <"$WINE_OUT.raw" >"$WINE_OUT"
  tr -d '\r' <"$WINE_ERR.raw" >"$WINE_ERR"
  return "$status"
}

# The variables every check sets: English texts. (The programs find Wine's fonts as they find
# Windows' own, also on the offscreen platform.)
wine_env_default() {
  wine_env "LANGUAGE=en"
}

CLI="${QP_WINDOWS_BUILD:?}/src/quillpress-cli.exe"
APP="$QP_WINDOWS_BUILD/src/quillpress.exe"
