#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from BUILD_DIR, installs it with dpkg, checks the installed programs and
# the files the desktop looks for, and removes the package again.
# Exits 77 (skipped) where no package can be built or installed here: without the Debian package
# tools, without root, when QUILLPRESS_SKIP_PACKAGE_TEST is set, or when a quillpress package or
# programs of another installation are already on the machine (they are left alone).
set -euo pipefail
build=$(cd "$1" && pwd)
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ -z "${QUILLPRESS_SKIP_PACKAGE_TEST:-}" ] || skip "QUILLPRESS_SKIP_PACKAGE_TEST is set"
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps flock setpriv; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ "$(id -u)" = 0 ] || skip "installing a package needs root"

# One package test at a time on this machine (test runs of several checkouts may overlap).
exec 9>/tmp/quillpress-package-test.lock
flock -w 900 9 || fail "another package test holds the lock"
if dpkg-query -W -f='${Status}' quillpress 2>/dev/null | grep -q "install ok installed"; then
  skip "a quillpress package is installed already"
fi
for f in /usr/bin/quillpress /usr/bin/quillpress-cli; do
  [ ! -e "$f" ] || skip "$f of another installation exists"
done

# dpkg, waiting while another package tool holds its lock.
dpkg_waiting() {
  local tries=0
  until dpkg "$@" >"$work/dpkg.log" 2>&1; do
    if grep -q "lock" "$work/dpkg.log" && ((tries++ < 120)); then sleep 5; continue; fi
    cat "$work/dpkg.log"
    return 1
  done
}

work=$(mktemp -d)
chmod 755 "$work"
installed=""
cleanup() {
  if [ -n "$installed" ]; then dpkg_waiting -r quillpress || echo "could not remove the package"; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The package.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/package/quillpress_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/package"; fail "no $(basename "$deb")"; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in fonts-dejavu-core fonts-wine qt6-translations-l10n libqt6gui6 libqt6widgets6 libtiff6 libopenjp2-7; do
  grep -q "\b$dep\b" <<<"$depends" || fail "the package does not depend on $dep"
done

# Debian's own checker finds nothing to say: no error, no warning.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --allow-root "$deb" >"$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log"; fail "lintian"; }
  cat "$work/lintian.log"
else
  echo "lintian is not installed: the package is not checked by it"
fi
# The changelog's newest entry is this version.
changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/quillpress/changelog.gz | gzip -dc |
  sed -n '1s/^quillpress (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "the changelog names version '$changelog_version', not $version"

installed=yes
dpkg_waiting -i "$deb" || fail "dpkg -i"

# The programs answer from the installed path; the desktop program opens no window for it.
out=$(/usr/bin/quillpress-cli --version)
[[ "$out" == "quillpress-cli $version"* ]] || fail "quillpress-cli --version: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/quillpress --version)
[[ "$out" == "quillpress $version"* ]] || fail "quillpress --version: $out"

# One real run as a user without QUILLPRESS_HOME: configurations in the configuration folder,
# images in the pictures folder, nothing beside the program.
user_home="$work/user"
mkdir -p "$user_home"
chown nobody "$user_home"
as_user() {
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
    env -i HOME="$user_home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
as_user quillpress-cli --no-start-config --set FSize=31 \
  --save-config "$user_home/.config/quillpress/Auto.qpcf" || fail "saving the start configuration"
as_user quillpress-cli --list-settings | grep -q "FSize"$'\t'"31" || fail "the start configuration is not read"
out=$(as_user quillpress-cli -q "Installed Run") || fail "the installed run"
[ "$out" = "$user_home/Pictures/Quillpress/installed_run.jpg" ] || fail "written to: $out"
[ "$(head -c 3 "$out" | od -An -tx1 | tr -d ' ')" = "ffd8ff" ] || fail "$out is no JPEG"
# Also as root, who could write beside the program.
out=$(env -i HOME="$work/home-of-root" PATH=/usr/bin:/bin LANG=C.UTF-8 quillpress-cli -q "As Root") || fail "run as root"
[ "$out" = "$work/home-of-root/Pictures/Quillpress/as_root.jpg" ] || fail "root's run wrote to: $out"
for f in /usr/bin/output /usr/bin/Auto.qpcf; do [ ! -e "$f" ] || fail "$f was written beside the program"; done

# Where the desktop looks.
for f in /usr/share/applications/quillpress.desktop \
         /usr/share/icons/hicolor/scalable/apps/quillpress.svg \
         /usr/share/icons/hicolor/16x16/apps/quillpress.png \
         /usr/share/icons/hicolor/48x48/apps/quillpress.png \
         /usr/share/icons/hicolor/256x256/apps/quillpress.png \
         /usr/share/metainfo/invalid.quillpress.Quillpress.metainfo.xml \
         /usr/share/mime/packages/quillpress.xml \
         /usr/share/man/man1/quillpress.1.gz /usr/share/man/man1/quillpress-cli.1.gz \
         /usr/share/doc/quillpress/copyright; do
  [ -f "$f" ] || fail "$f is not installed"
done
if command -v update-mime-database >/dev/null; then
  grep -q "application/x-quillpress-configuration:\*\.qpcf" /usr/share/mime/globs2 || fail "the MIME database lacks *.qpcf"
fi
if command -v xdg-mime >/dev/null && command -v mimetype >/dev/null; then
  printf 'x' >"$work/some.qpcf"
  type=$(env -i HOME="$work/home-of-root" PATH=/usr/bin:/bin xdg-mime query filetype "$work/some.qpcf")
  [ "$type" = application/x-quillpress-configuration ] || fail "xdg-mime query filetype: $type"
fi
if command -v xdg-mime >/dev/null && command -v update-desktop-database >/dev/null; then
  app=$(env -i HOME="$work/home-of-root" PATH=/usr/bin:/bin xdg-mime query default application/x-quillpress-configuration)
  [ "$app" = quillpress.desktop ] || fail "xdg-mime query default: $app"
fi
if command -v man >/dev/null; then
  [ "$(man -w quillpress-cli)" = /usr/share/man/man1/quillpress-cli.1.gz ] || fail "man does not find quillpress-cli"
fi

# Registration as a user in a home without a file manager. What opens a folder or any file stays
# as it was: before and after registering every group, after removing them and after the package
# is removed with the registrations left. Removal leaves the home as it was, and configuration
# files open with the program through the package's entry all along.
reg_home="$work/registering"
mkdir -p "$reg_home/.config" "$reg_home/.local/share" "$work/folder" # the folders of any desktop session
chown -R nobody "$reg_home"
as_registering() {
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
    env -i HOME="$reg_home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
home_tree() { (cd "$reg_home" && find . | LC_ALL=C sort); }
defaults() {
  local type
  for type in inode/directory application/octet-stream; do
    echo "$type=$(as_registering xdg-mime query default "$type")"
  done
}
# What xdg-open starts for a folder when nothing opens folders: the desktop's fallback, here a
# stand-in that records what it was given. xdg-open looks for entries only on a display; the
# display named does not exist, so a program started by mistake ends at once.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/opener"
chmod 755 "$work/opener"
folder_opens_with() {
  install -m 666 /dev/null "$work/opened"
  as_registering env DISPLAY=:97 BROWSER="$work/opener" timeout 60 xdg-open "$work/folder" >/dev/null 2>&1 || true
  cat "$work/opened"
}
config_opens_with() { as_registering xdg-mime query default application/x-quillpress-configuration; }
shell_requests() { as_registering quillpress-cli --language en --set "beldateien=gif, qpzz, txt" "$@"; }
register=() remove=()
for group in config sendto folders files types; do
  register+=(--shell-register "$group") remove+=(--shell-remove "$group")
done
defaults_before=$(defaults)
tree_before=$(home_tree)
no_file_manager=""
[ -n "$(as_registering xdg-mime query default inode/directory)" ] || no_file_manager=yes
unchanged() {
  [ "$(defaults)" = "$defaults_before" ] || fail "$1: the defaults changed: $(defaults)"
  if [ -n "$no_file_manager" ]; then
    [ "$(folder_opens_with)" = "$work/folder" ] || fail "$1: xdg-open of a folder did not reach the desktop's fallback"
  fi
}
unchanged "before registering"
shell_requests "${register[@]}" >"$work/shell.log" 2>&1 || { cat "$work/shell.log"; fail "registering every group"; }
unchanged "after registering"
[ "$(config_opens_with)" = quillpress.desktop ] || fail "configuration files open with: $(config_opens_with)"
[ ! -e "$reg_home/.local/share/applications/quillpress-shell-config.desktop" ] ||
  fail "configuration files got an entry of the user's beside the package's"
shell_requests "${remove[@]}" >"$work/shell.log" 2>&1 || { cat "$work/shell.log"; fail "removing every group"; }
grep -q "^config: Activated" "$work/shell.log" && grep -q "provided by the installed package" "$work/shell.log" ||
  { cat "$work/shell.log"; fail "removing config does not say that the package provides it"; }
unchanged "after removal"
[ "$(home_tree)" = "$tree_before" ] || {
  diff <(echo "$tree_before") <(home_tree) || true
  fail "removal left files in the home"
}
shell_requests "${register[@]}" >"$work/shell.log" 2>&1 ||
  { cat "$work/shell.log"; fail "registering every group again"; }

dpkg_waiting -r quillpress || fail "dpkg -r"
installed=""
unchanged "after removing the package"
# Neither the configuration type nor the type a configuration file has now names an entry of this
# program: xdg-open does not look at TryExec and would fail on the program that is gone.
printf '[prog]\n' >"$work/left.qpcf"
left_type=$(as_registering xdg-mime query filetype "$work/left.qpcf")
for app in "$(config_opens_with)" "$(as_registering xdg-mime query default "$left_type")"; do
  case "$app" in quillpress*) fail "after removing the package, .qpcf files open with $app" ;; esac
done
[ ! -e /usr/bin/quillpress-cli ] || fail "quillpress-cli is left after removal"
if command -v update-mime-database >/dev/null; then
  ! grep -q "quillpress" /usr/share/mime/globs2 || fail "the MIME type is left after removal"
fi
echo "ok: $(basename "$deb") installed, checked and removed"
