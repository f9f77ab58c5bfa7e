#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages under Wine.
#  - The installer, silent, in a fresh prefix: the files, the Start menu entry, the association of
#    configuration files (which the program's own status shows as active) and the uninstall entry
#    are there; the installed programs run, keep their configurations in %APPDATA%\Quillpress and
#    write into Pictures\Quillpress, nothing beside themselves. The silent uninstaller then takes
#    every file and registry entry back, also what the program registered itself, and leaves the
#    user's images and configurations alone.
#  - The portable zip, unpacked: it keeps its start configuration beside the programs and writes
#    into its own "output" folder, nothing into the user's folders.
#  - Under German Windows the installer registers the German file type name.
# The packages are made from the programs of QP_WINDOWS_BUILD when they are missing or older.
#   QP_WINDOWS_BUILD=$PWD/build-windows QP_SOURCE_DIR=$PWD bash tests/windows/programs/installer.sh
source "$(dirname "$0")/lib.sh"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QP_WINDOWS_BUILD/CMakeCache.txt")"
[ -n "$version" ] || fail "no project version in $QP_WINDOWS_BUILD/CMakeCache.txt"
setup="$QP_WINDOWS_BUILD/Quillpress-$version-setup.exe"
portable="$QP_WINDOWS_BUILD/Quillpress-$version-portable.zip"
if [ ! -f "$setup" ] || [ ! -f "$portable" ] || [ "$CLI" -nt "$setup" ] || [ "$APP" -nt "$setup" ]; then
  say "making the packages"
  bash "${QP_SOURCE_DIR:?}/scripts/windows/package.sh" "$QP_WINDOWS_BUILD" "$version" ||
    fail "making the packages"
fi

install_dir='C:\Program Files\Quillpress'
type_en='VLM Quillpress Configuration'
type_de='VLM Quillpress Konfiguration'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillpress'

# run WHAT PROGRAM [ARGUMENTS...]: wine_run that fails the check unless the program ends with 0.
run() {
  local what="$1" status=0
  shift
  wine_run "$@" || status=$?
  [ "$status" = 0 ] || { cat "$WINE_OUT" "$WINE_ERR" >&2; fail "$what: exit status $status"; }
}

# reg_value KEY [NAME]: the data of a registry value (the default value without NAME); fails
# (status 1) when the key or the value is missing. A query that finds nothing is made again a few
# times: under load, one query once reported a value missing that the installer had written.
reg_value() {
  local out try
  for try in 1 2 3 4 5; do
    if [ $# = 1 ]; then
      out="$("${wine_cmd[@]}" reg query "$1" /ve 2>>"$WINE_LOG" </dev/null)" || out=""
    else
      out="$("${wine_cmd[@]}" reg query "$1" /v "$2" 2>>"$WINE_LOG" </dev/null)" || out=""
    fi
    out="$(tr -d '\r' <<<"$out" | sed -n 's/^    .*    REG_[A-Z_]*    //p')"
    if [ -n "$out" ]; then
      printf '%s\n' "$out"
      return 0
    fi
    sleep 1
  done
  return 1
}

expect_value() { # KEY NAME-or-"" EXPECTED
  local got
  if [ -z "$2" ]; then got="$(reg_value "$1")"; else got="$(reg_value "$1" "$2")"; fi ||
    fail "registry value $1 ${2:-(default)} is missing"
  [ "$got" = "$3" ] || fail "$1 ${2:-(default)} is \"$got\", expected \"$3\""
}

key_exists() { "${wine_cmd[@]}" reg query "$1" </dev/null >/dev/null 2>>"$WINE_LOG"; }

# The Linux path of the user's folders inside the prefix.
user_dir() {
  local u
  for u in "$C/users/"*; do
    [ "$(basename "$u")" = Public ] || { echo "$u"; return; }
  done
  fail "no user folder in the prefix"
}

# uninstall: runs the uninstaller silently as a user would. It copies itself to the temporary
# folder, starts the copy and ends at once; the copy is done when the uninstall entry, its last
# step, is gone.
uninstall() {
  run "the uninstaller" "$install_dir\\Uninstall.exe" /S
  local waited=0
  while key_exists "$uninstall_key"; do
    ((waited < 120)) || fail "the uninstaller did not finish in 120 s"
    sleep 1
    waited=$((waited + 1))
  done
}

# Every registry entry that names this program, in the machine's and the user's software keys
# (Wine's own keys aside).
our_registry_entries() {
  local hive
  for hive in 'HKLM\Software' 'HKCU\Software'; do
    "${wine_cmd[@]}" reg export "$hive" "$WINE_TMP/export.reg" /y </dev/null >>"$WINE_LOG" 2>&1 ||
      fail "exporting $hive"
    iconv -f UTF-16 -t UTF-8 "$WINE_TMP/export.reg" | tr -d '\r' |
      awk '/^\[/ { key = $0 } key ~ /\\Software\\Wine\\/ { next }
           /^\[/ { if (tolower(key) ~ /quillpress/) print key; next }
           tolower($0) ~ /quillpress/ { print key " " $0 }'
  done
}

# --- The installer ------------------------------------------------------------------------------
wine_prefix_new
wine_env_default
user="$(user_dir)"
programs="$C/Program Files/Quillpress"
start_menu="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillpress.lnk"

run "the installer" "$setup" /S
for f in quillpress.exe quillpress-cli.exe LICENSE.txt README.txt Uninstall.exe quillpress-installed.txt; do
  [ -f "$programs/$f" ] || fail "the installer did not install $f"
done
cmp -s "$programs/quillpress-cli.exe" "$CLI" || fail "the installed quillpress-cli.exe is not the one built"
[ -f "$start_menu" ] || fail "no Start menu entry"
expect_value 'HKLM\Software\Classes\.qpcf' "" "$type_en"
expect_value "HKLM\\Software\\Classes\\$type_en" "" "$type_en"
expect_value "HKLM\\Software\\Classes\\$type_en\\DefaultIcon" "" "$install_dir\\quillpress.exe,0"
expect_value "HKLM\\Software\\Classes\\$type_en\\Shell\\Open\\Command" "" "\"$install_dir\\quillpress.exe\" \"%1\""
expect_value "$uninstall_key" DisplayName Quillpress
expect_value "$uninstall_key" DisplayVersion "$version"
expect_value "$uninstall_key" Publisher "The Quillpress developers"
expect_value "$uninstall_key" UninstallString "\"$install_dir\\Uninstall.exe\""
expect_value "$uninstall_key" QuietUninstallString "\"$install_dir\\Uninstall.exe\" /S"
expect_value "$uninstall_key" DisplayIcon "$install_dir\\quillpress.exe,0"
expect_value "$uninstall_key" InstallLocation "$install_dir"
expect_value "$uninstall_key" NoModify 0x1
expect_value "$uninstall_key" NoRepair 0x1
size="$(reg_value "$uninstall_key" EstimatedSize)" || fail "no EstimatedSize"
(($(printf '%d' "$size") > 1000)) || fail "EstimatedSize $size KiB is too small for the programs"
say "installed: files, Start menu entry, association and uninstall entry"

# The installed programs start; the association is this program's by its own status.
run "the installed quillpress.exe --version" "$install_dir\\quillpress.exe" --version
grep -qx "quillpress $version" <(head -n 1 "$WINE_OUT") || fail "quillpress.exe --version said: $(cat "$WINE_OUT")"
run "quillpress-cli --shell-status" "$install_dir\\quillpress-cli.exe" --shell-status
grep -qx "config: Activated" "$WINE_OUT" || fail "the program does not see the association: $(cat "$WINE_OUT")"

# An installed copy writes into Pictures\Quillpress and keeps its configurations in
# %APPDATA%\Quillpress, whose start configuration it loads; nothing lands beside it.
pictures="$user/Pictures/Quillpress"
appdata="$user/AppData/Roaming/Quillpress"
run "the installed tool" "$install_dir\\quillpress-cli.exe" "Hello World"
grep -qiE '^C:\\users\\[^\\]+\\Pictures\\Quillpress\\hello_world\.jpg$' "$WINE_OUT" ||
  fail "the installed tool did not write into Pictures\\Quillpress: $(cat "$WINE_OUT")"
[ -f "$pictures/hello_world.jpg" ] || fail "no $pictures/hello_world.jpg"
[ -d "$appdata" ] || fail "the installed tool has no configuration folder in %APPDATA%"
run "saving a start configuration" "$install_dir\\quillpress-cli.exe" --name from-start-configuration \
  --save-config "C:\\users\\$(basename "$user")\\AppData\\Roaming\\Quillpress\\Auto.qpcf"
run "the installed tool with its start configuration" "$install_dir\\quillpress-cli.exe" "Hello again"
[ -f "$pictures/from-start-configuration.jpg" ] ||
  fail "the start configuration in %APPDATA%\\Quillpress was not loaded: $(cat "$WINE_OUT")"
for f in "$programs"/* "$programs"/.[!.]*; do
  [ -e "$f" ] || continue
  case "$(basename "$f")" in
    quillpress.exe | quillpress-cli.exe | LICENSE.txt | README.txt | Uninstall.exe | quillpress-installed.txt) ;;
    *) fail "the installed programs wrote beside themselves: $(basename "$f")" ;;
  esac
done
say "installed tool: images in Pictures\\Quillpress, start configuration from %APPDATA%\\Quillpress"

# What the program registers itself goes with the uninstaller too.
register=()
for group in sendto folders files types; do register+=(--shell-register "$group"); done
run "registering with the shell" "$install_dir\\quillpress-cli.exe" "${register[@]}"
sendto="$user/AppData/Roaming/Microsoft/Windows/SendTo/VLM Quillpress.lnk"
[ -f "$sendto" ] || fail "no \"Send to\" shortcut after registering"

uninstall
[ ! -e "$programs" ] || fail "the uninstaller left $(find "$programs" | tr '\n' ' ')in Program Files"
[ ! -e "$start_menu" ] || fail "the uninstaller left the Start menu entry"
[ ! -e "$sendto" ] || fail "the uninstaller left the \"Send to\" shortcut"
entries="$(our_registry_entries)"
[ -z "$entries" ] || fail "the uninstaller left registry entries:
$entries"
for f in "$pictures/hello_world.jpg" "$pictures/from-start-configuration.jpg" "$appdata/Auto.qpcf"; do
  [ -f "$f" ] || fail "the uninstaller removed the user's $f"
done
say "uninstalled: no file, Start menu entry or registry entry left; the user's images and configurations kept"
wine_prefix_end

# --- The portable zip -----------------------------------------------------------------------------
wine_prefix_new
wine_env_default
user="$(user_dir)"
unzip -q "$portable" -d "$C/Portable"
folder="$C/Portable/Quillpress-$version"
for f in quillpress.exe quillpress-cli.exe LICENSE.txt README.txt; do
  [ -f "$folder/$f" ] || fail "the portable zip has no $f"
done
[ ! -e "$folder/quillpress-installed.txt" ] || fail "the portable zip says it is installed"
tool="C:\\Portable\\Quillpress-$version\\quillpress-cli.exe"
run "the portable tool" "$tool" "Hello World"
grep -qx "C:\\\\Portable\\\\Quillpress-$version\\\\output\\\\hello_world.jpg" "$WINE_OUT" ||
  fail "the portable tool did not write into its own output folder: $(cat "$WINE_OUT")"
[ -f "$folder/output/hello_world.jpg" ] || fail "no output/hello_world.jpg beside the portable tool"
run "saving a portable start configuration" "$tool" --name portable-start \
  --save-config "C:\\Portable\\Quillpress-$version\\Auto.qpcf"
run "the portable tool with its start configuration" "$tool" "Hello again"
[ -f "$folder/output/portable-start.jpg" ] ||
  fail "the start configuration beside the portable tool was not loaded: $(cat "$WINE_OUT")"
for d in "$user/Pictures/Quillpress" "$user/AppData/Roaming/Quillpress"; do
  [ ! -e "$d" ] || fail "the portable tool wrote into the user's $d"
done
say "portable: start configuration and images beside the programs, nothing in the user's folders"
wine_prefix_end

# --- The German installer -------------------------------------------------------------------------
# Wine takes the language of Windows from the locale it is started in.
wine_cmd=(env LC_ALL=de_DE.UTF-8 "${wine_cmd[@]}")
wine_prefix_new
wine_env_default
run "the installer under German Windows" "$setup" /S
expect_value 'HKLM\Software\Classes\.qpcf' "" "$type_de"
run "quillpress-cli --shell-status" "$install_dir\\quillpress-cli.exe" --shell-status
grep -qx "config: Activated" "$WINE_OUT" || fail "the program does not see the German association: $(cat "$WINE_OUT")"
uninstall
entries="$(our_registry_entries)"
[ -z "$entries" ] || fail "the German uninstaller left registry entries:
$entries"
say "German installer: German file type, removed again"
