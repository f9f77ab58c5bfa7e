#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Quillpress for Windows, from one command on Debian 12: installs what is missing, builds (or
# reuses) the static toolkit, cross-builds quillpress.exe and quillpress-cli.exe into
# build-windows/, runs the Windows tests under Wine in throw-away prefixes, and makes the
# installer and the portable zip.
#
#   bash scripts/windows.sh            everything
#   bash scripts/windows.sh --build    only the toolkit and the programs
#
# QP_WINDOWS_CACHE (default /var/cache/quillpress-windows) holds what is built from Debian's
# source packages; QP_WINDOWS_BUILD_DIR (default build-windows) the programs and packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
mode=all
case "${1:-}" in
  "") ;;
  --build) mode=build ;;
  *) echo "usage: $0 [--build]" >&2; exit 2 ;;
esac
say() { echo "windows: $*" >&2; }
die() { say "$*"; exit 1; }

start_all=$SECONDS
# The toolkit script installs the Debian packages it needs; the rest of this script needs these.
prefix="$(bash scripts/windows/toolkit.sh | tail -n 1)"
[ -f "$prefix/.complete" ] || die "the toolkit is not finished"
packages=(googletest zip unzip python3 python3-pil imagemagick fonts-wine fonts-dejavu-core qt6-translations-l10n xvfb xauth xdotool)
bash scripts/install-missing.sh "${packages[@]}"

# --- The programs ---------------------------------------------------------------------------------
build="${QP_WINDOWS_BUILD_DIR:-build-windows}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
start=$SECONDS
mkdir -p "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$prefix/toolchain.cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" \
  -DQUILLPRESS_BUILD_BENCH=OFF \
  -DGOOGLETEST_SOURCE_DIR=/usr/src/googletest \
  -DQUILLPRESS_BUILD_TESTS=ON \
  "${launcher[@]}" >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log" >&2; die "configuring the Windows build failed"; }
cmake --build "$build" -j "$(nproc)"
say "programs built in $((SECONDS - start)) s"
version="$(sed -n 's/^project(Quillpress VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
for exe in quillpress quillpress-cli; do
  say "$exe.exe: $(du -h "$build/src/$exe.exe" | cut -f1)"
done
[ "$mode" = build ] && exit 0

# --- Installer and portable zip (the checks below install and unpack them) ---------------------
if [ -f scripts/windows/package.sh ]; then
  bash scripts/windows/package.sh "$build" "$version"
fi

# --- Tests under Wine ---------------------------------------------------------------------------
# Every check makes its own throw-away Wine prefix; the Linux build (when there is one) gives the
# sizes the Windows images are compared with.
export QP_WINDOWS_BUILD="$root/$build" QP_SOURCE_DIR="$root"
linux_cli="${QP_BUILD_DIR:-build}/src/quillpress-cli"
if [ -x "$linux_cli" ]; then
  export QP_LINUX_CLI="$root/$linux_cli"
fi
failed=()
for check in tests/windows/programs/*.sh; do
  [ "$(basename "$check")" = lib.sh ] && continue
  start=$SECONDS
  if bash "$check"; then
    say "$(basename "$check" .sh): passed in $((SECONDS - start)) s"
  else
    say "$(basename "$check" .sh): FAILED after $((SECONDS - start)) s"
    failed+=("$(basename "$check" .sh)")
  fi
done
((${#failed[@]} == 0)) || die "checks under Wine that failed: ${failed[*]}"

say "done in $((SECONDS - start_all)) s"
