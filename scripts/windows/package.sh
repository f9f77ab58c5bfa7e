#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages, from the programs built in BUILD_DIR (scripts/windows.sh):
#
#   bash scripts/windows/package.sh BUILD_DIR VERSION
#
# makes BUILD_DIR/Quillpress-VERSION-portable.zip, a folder Quillpress-VERSION with both programs,
# LICENSE.txt and README.txt that keeps its configurations and images beside the programs, and
# BUILD_DIR/Quillpress-VERSION-setup.exe, the installer (packaging/windows/quillpress.nsi).
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
if [ $# != 2 ] || [ -z "$2" ]; then
  echo "usage: $0 BUILD_DIR VERSION" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
version="$2"
say() { echo "package: $*" >&2; }
die() { say "$*"; exit 1; }

packages=(nsis zip)
bash "$root/scripts/install-missing.sh" "${packages[@]}"

programs="$build/src"
icon="$build/packaging/windows/quillpress.ico"
for f in "$programs/quillpress.exe" "$programs/quillpress-cli.exe" "$icon"; do
  [ -f "$f" ] || die "$f is missing: build the Windows programs first (scripts/windows.sh --build)"
done

# The version resource of the installer takes four numbers: those the version begins with, the
# rest zero ("0.1" gives 0.1.0.0).
numbers="$(grep -oE '^[0-9]+(\.[0-9]+){0,3}' <<<"$version" || true)"
[ -n "$numbers" ] || die "the version \"$version\" does not begin with a number"
IFS=. read -r -a parts <<<"$numbers"
while ((${#parts[@]} < 4)); do parts+=(0); done
file_version="$(IFS=.; echo "${parts[*]}")"

name="Quillpress-$version"
stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage/$name"
# Text files with Windows line ends; the README in UTF-8 with its byte order mark, which every
# Windows editor recognises.
crlf() { sed 's/\r$//; s/$/\r/'; }
cp "$programs/quillpress.exe" "$programs/quillpress-cli.exe" "$stage/$name/"
crlf <"$root/LICENSE" >"$stage/$name/LICENSE.txt"
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$version/g" "$root/packaging/windows/README.txt" | crlf; } \
  >"$stage/$name/README.txt"

zipfile="$build/$name-portable.zip"
rm -f "$zipfile"
(cd "$stage" && zip -q -X -r "$zipfile" "$name")
say "$(basename "$zipfile"): $(du -k "$zipfile" | cut -f1) KiB"

setup="$build/$name-setup.exe"
rm -f "$setup"
makensis -V2 -NOCD -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DFILE_VERSION=$file_version" \
  "-DPROGRAMS=$stage/$name" "-DICON=$icon" "-DOUTFILE=$setup" \
  "$root/packaging/windows/quillpress.nsi" >&2 || die "makensis failed"
[ -f "$setup" ] || die "makensis made no installer"
say "$(basename "$setup"): $(du -k "$setup" | cut -f1) KiB"
