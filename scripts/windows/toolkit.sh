#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the static Windows toolkit of Quillpress from Debian's own source packages: zlib's
# static archive from libz-mingw-w64-dev, then libdeflate, libjpeg-turbo, OpenJPEG and libtiff,
# and Qt 6 (qtbase) on top, all static, for x86_64-w64-mingw32.
#
#   bash scripts/windows/toolkit.sh           builds when needed; prints the prefix as the last line
#   bash scripts/windows/toolkit.sh --smoke   runs the smoke check against a finished prefix
#
# The prefix is ${QP_WINDOWS_CACHE:-/var/cache/quillpress-windows}/<key>, where the key hashes the
# source package versions, this script, the patches beside it and the compilers (not the smoke
# check in smoke/, so changing that never rebuilds the toolkit). A prefix counts
# as finished only once <key>/.complete exists; an interrupted run resumes with the first part
# that is not yet installed. The prefix holds toolchain.cmake (the cross toolchain with the prefix
# in the find root) and the pkg-config files; everything else goes to stderr.
# QP_WINDOWS_JOBS (default 2) sets the parallel jobs, QP_WINDOWS_KEEP_WORK=1 keeps the unpacked
# sources and build trees under <cache>/scratch/<key>.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
script="$here/$(basename "$0")"
cache_root="${QP_WINDOWS_CACHE:-/var/cache/quillpress-windows}"
jobs="${QP_WINDOWS_JOBS:-2}"
triplet=x86_64-w64-mingw32
mingw_root=/usr/$triplet
mode=build
case "${1:-}" in
  "") ;;
  --smoke) mode=smoke ;;
  *) echo "usage: $0 [--smoke]" >&2; exit 2 ;;
esac

say() { echo "toolkit: $*" >&2; }
die() { say "$*"; exit 1; }

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
apt_get() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# --- Debian packages --------------------------------------------------------------------------
packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64 nasm nsis dpkg-dev cmake ninja-build make pkg-config xz-utils bzip2
  # the host Qt: its moc, rcc and uic build the cross Qt, and its version must match
  qt6-base-dev qt6-base-dev-tools
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  say "installing ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# --- Source package lists -----------------------------------------------------------------------
# deb-src entries mirror the deb entries of this release, in the format they are written in.
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
  list_dir=/etc/apt/sources.list.d
  deb822="$(cat "$list_dir"/*.sources 2>/dev/null | awk -v codename="$codename" '
    BEGIN { RS = ""; FS = "\n" }
    {
      types = ""; suites = ""; rest = ""
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        if ($i ~ /^Types:/) { types = $i; continue }
        if ($i ~ /^Suites:/) suites = $i
        rest = rest $i "\n"
      }
      if (types ~ /[ \t]deb([ \t]|$)/ && suites ~ ("[ \t]" codename "([ \t-]|$)"))
        printf "Types: deb-src\n%s\n", rest
    }')"
  oneline="$(cat /etc/apt/sources.list "$list_dir"/*.list 2>/dev/null |
    awk -v codename="$codename" '$1 == "deb" && $0 ~ ("[ \t]" codename "(-[a-z]+)?[ \t]") { $1 = "deb-src"; print }')"
  [ -n "$deb822$oneline" ] || die "no deb entries for $codename to derive deb-src entries from"
  say "adding deb-src entries for $codename"
  if [ -n "$deb822" ]; then
    printf '%s\n' "$deb822" | $SUDO tee "$list_dir/quillpress-deb-src.sources" >/dev/null
  fi
  if [ -n "$oneline" ]; then
    printf '%s\n' "$oneline" | $SUDO tee "$list_dir/quillpress-deb-src.list" >/dev/null
  fi
  apt_get update -qq
fi

# --- Versions and the cache key -----------------------------------------------------------------
sources="$cache_root/sources"
if [ ! -d "$cache_root" ]; then
  $SUDO mkdir -p "$cache_root"
  $SUDO chown "$(id -u):$(id -g)" "$cache_root"
fi
mkdir -p "$sources"

# All versions of a source package that the lists know, newest first.
versions_of() {
  local sorted=() v i
  while read -r v; do
    i=${#sorted[@]}
    sorted+=("$v")
    while ((i > 0)) && dpkg --compare-versions "${sorted[i - 1]}" lt "$v"; do
      sorted[i]="${sorted[i - 1]}"
      sorted[i - 1]="$v"
      i=$((i - 1))
    done
  done < <(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u)
  printf '%s\n' "${sorted[@]}"
}

# Downloads (once) the newest version that can be fetched; prints that version. The security
# suite's index may name a version whose files the mirror does not have yet.
fetch_source() {
  local pkg="$1" v
  while read -r v; do
    [ -n "$v" ] || continue
    if [ -f "$sources/${pkg}_${v#*:}.dsc" ] ||
       (cd "$sources" && apt-get source --download-only -qq "$pkg=$v" >/dev/null 2>&1); then
      echo "$v"
      return 0
    fi
    say "$pkg $v cannot be fetched, trying an older version"
  done < <(versions_of "$pkg")
  die "no version of the source package $pkg can be fetched"
}

source_packages=(libdeflate libjpeg-turbo openjpeg2 tiff qt6-base)
declare -A version
for p in "${source_packages[@]}"; do
  version[$p]="$(fetch_source "$p")"
done

pkg_version() { dpkg-query -W -f='${Version}' "$1"; }
key="$(
  {
    for p in "${source_packages[@]}"; do echo "$p ${version[$p]}"; done
    for p in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
             libz-mingw-w64-dev qt6-base-dev cmake nasm; do
      echo "$p $(pkg_version "$p")"
    done
    $triplet-g++-posix -dumpfullversion -dumpversion
    sha256sum <"$script"
    if [ -d "$here/patches" ]; then
      (cd "$here/patches" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0r sha256sum)
    fi
  } | sha256sum | cut -c1-12
)"
prefix="$cache_root/$key"
work="$cache_root/scratch/$key"

if [ "$mode" = smoke ]; then
  [ -f "$prefix/.complete" ] || die "no finished toolkit at $prefix"
  bash "$here/smoke/run.sh" "$prefix"
  echo "$prefix"
  exit 0
fi

if [ -f "$prefix/.complete" ]; then
  say "up to date"
  echo "$prefix"
  exit 0
fi

# --- Build --------------------------------------------------------------------------------------
mkdir -p "$prefix/.parts" "$work/logs"
exec 9>"$cache_root/.lock-$key"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
say "building into $prefix (work folder $work)"
cd "$work"
for p in "${source_packages[@]}"; do say "  $p ${version[$p]}"; done

# Heavy steps take only idle CPU and disk time: another developer builds on this machine.
renice -n 19 -p $$ >/dev/null
ionice -c3 -p $$ 2>/dev/null || true

cat >"$prefix/toolchain.cmake" <<EOF
# Cross-compiles for 64-bit Windows with MinGW-w64 (POSIX threads) against the static toolkit.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH "$prefix" $mingw_root)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib's static archive, never the import library of its DLL beside it.
set(ZLIB_INCLUDE_DIR $mingw_root/include CACHE PATH "")
set(ZLIB_LIBRARY $mingw_root/lib/libz.a CACHE FILEPATH "")
# Only the toolkit's and the cross compiler's pkg-config files, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "$prefix/lib/pkgconfig:$mingw_root/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
EOF
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:$mingw_root/lib/pkgconfig" PKG_CONFIG_PATH=""
export CC=$triplet-gcc-posix CXX=$triplet-g++-posix AR=$triplet-ar RANLIB=$triplet-ranlib
cmake_common=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain.cmake"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_INSTALL_LIBDIR=lib
  -DBUILD_SHARED_LIBS=OFF
)

# Unpacks a source package (with Debian's patches) into the work folder; prints the folder.
unpack() {
  local pkg="$1" dir="$work/src/$1"
  rm -rf "$dir"
  mkdir -p "$work/src"
  dpkg-source -x "$sources/${pkg}_${version[$pkg]#*:}.dsc" "$dir" >"$work/logs/$pkg-unpack.log" 2>&1 ||
    { tail -n 20 "$work/logs/$pkg-unpack.log" >&2; die "unpacking $pkg failed"; }
  echo "$dir"
}

# Runs one part of the build unless it is installed already, with its output in a log file.
part() {
  local name="$1" start=$SECONDS
  shift
  if [ -f "$prefix/.parts/$name" ]; then
    say "$name: installed already"
    return 0
  fi
  say "$name: building (log $work/logs/$name.log)"
  # A subshell of its own, outside any condition, so that set -e holds inside the steps.
  local status=0
  set +e
  (set -e; "$@") >"$work/logs/$name.log" 2>&1
  status=$?
  set -e
  if [ "$status" != 0 ]; then
    tail -n 60 "$work/logs/$name.log" >&2
    die "$name failed; the log is $work/logs/$name.log"
  fi
  local took=$((SECONDS - start))
  echo "$name $took" >>"$prefix/.build-times"
  touch "$prefix/.parts/$name"
  say "$name: done in $((took / 60)) min $((took % 60)) s"
}

build_libdeflate() {
  local src
  src="$(unpack libdeflate)"
  # Up to 1.14 a plain Makefile, which names the static library libdeflatestatic.lib on Windows.
  make -C "$src" -j"$jobs" CC="$CC" AR="$AR" libdeflatestatic.lib
  install -d "$prefix/lib/pkgconfig" "$prefix/include"
  install -m644 "$src/libdeflatestatic.lib" "$prefix/lib/libdeflate.a"
  install -m644 "$src/libdeflate.h" "$prefix/include/"
  local v="${version[libdeflate]#*:}"
  sed -e "s|@PREFIX@|$prefix|" -e "s|@LIBDIR@|$prefix/lib|" -e "s|@INCDIR@|$prefix/include|" \
      -e "s|@VERSION@|${v%%-*}|" "$src/libdeflate.pc.in" >"$prefix/lib/pkgconfig/libdeflate.pc"
}

build_libjpeg() {
  local src
  src="$(unpack libjpeg-turbo)"
  cmake -S "$src" -B "$work/build/libjpeg-turbo" "${cmake_common[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
    -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_INSTALL_LIBDIR="$prefix/lib"  # a relative one would count from the current folder
  cmake --build "$work/build/libjpeg-turbo" -j"$jobs"
  cmake --install "$work/build/libjpeg-turbo"
  test -f "$prefix/lib/libjpeg.a"
  rm -rf "$prefix/share/doc" "$prefix/share/man" "$prefix/bin"
}

build_openjpeg() {
  local src
  src="$(unpack openjpeg2)"
  cmake -S "$src" -B "$work/build/openjpeg2" "${cmake_common[@]}" \
    -DBUILD_STATIC_LIBS=ON -DBUILD_CODEC=OFF -DBUILD_TESTING=OFF -DBUILD_DOC=OFF \
    -DBUILD_PKGCONFIG_FILES=ON -DOPENJPEG_INSTALL_LIB_DIR=lib
  cmake --build "$work/build/openjpeg2" -j"$jobs"
  cmake --install "$work/build/openjpeg2"
  # Without OPJ_STATIC the header declares the functions as imported from the DLL.
  sed -i 's/^Cflags: \(.*\)$/Cflags: \1 -DOPJ_STATIC/' "$prefix/lib/pkgconfig/libopenjp2.pc"
  grep -q '^Cflags:.*-DOPJ_STATIC' "$prefix/lib/pkgconfig/libopenjp2.pc"
  rm -rf "$prefix/share/man"
}

build_tiff() {
  local src
  src="$(unpack tiff)"
  cmake -S "$src" -B "$work/build/tiff" "${cmake_common[@]}" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
    -Dzlib=ON -Djpeg=ON -Dlibdeflate=ON -Dold-jpeg=ON -Dpixarlog=ON \
    -Djpeg12=OFF -Dwebp=OFF -Dzstd=OFF -Dlzma=OFF -Djbig=OFF -Dlerc=OFF -Dsphinx=OFF \
    -Dtiff-opengl=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_WebP=ON -DCMAKE_DISABLE_FIND_PACKAGE_ZSTD=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_LibLZMA=ON -DCMAKE_DISABLE_FIND_PACKAGE_JBIG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_LERC=ON
  cmake --build "$work/build/tiff" -j"$jobs"
  cmake --install "$work/build/tiff"
  # All three codecs must have been found, not silently left out.
  grep -q '^#define ZIP_SUPPORT' "$prefix/include/tiffconf.h"
  grep -q '^#define JPEG_SUPPORT' "$prefix/include/tiffconf.h"
  grep -q '^#define LIBDEFLATE_SUPPORT' "$prefix/include/tiffconf.h"
  rm -rf "$prefix/share/doc" "$prefix/share/man"
}

# Qt: Core, Gui, Widgets, Network and Test, with the windows and offscreen platform plugins.
# The moc, rcc and uic of the host Qt of the same version do the code generation.
qt_features_off=(
  # modules Quillpress does not use
  sql printsupport concurrent xml dbus
  # no TLS: the program talks to no server, only to its own local socket
  ssl openssl schannel dtls ocsp brotli
  # the program reads and writes JPEG with libjpeg-turbo itself; no JPEG plugin in Qt
  jpeg system_jpeg
  # Unicode from Qt's own tables, no ICU; no zstd-compressed resources
  icu zstd
  vulkan
  # Debian's repacked source drops the Wintab headers that tablet events need
  tabletevent
  # no Direct2D platform plugin; the DirectWrite font database goes with it (see below)
  direct2d directwrite3
  # Debian lets this tool be built when cross-compiling; nothing here uses it
  androiddeployqt
)
build_qt() {
  local src
  src="$(unpack qt6-base)"
  local args=(
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_BUILD_MANUAL_TESTS=OFF
    -DINPUT_opengl=desktop
    -DFEATURE_testlib=ON -DFEATURE_network=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON
    -DFEATURE_freetype=ON -DFEATURE_system_zlib=ON
    -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
  )
  # With Direct2D off, Gui leaves out the DirectWrite font database
  # (src/gui/CMakeLists.txt wants direct2d, directwrite and directwrite3), while the windows
  # platform plugin creates one whenever directwrite3 is on. MinGW-w64 has dwrite_3.h, so the
  # compile test turns directwrite3 on and the plugin's link fails; directwrite3 stays off.
  local f
  for f in "${qt_features_off[@]}"; do args+=("-DFEATURE_$f=OFF"); done
  cmake -S "$src" -B "$work/build/qtbase" "${cmake_common[@]}" "${args[@]}"
  # The configure summary must agree with what was asked for.
  local cache="$work/build/qtbase/CMakeCache.txt"
  for f in direct2d directwrite3 tabletevent icu; do
    grep -qx "QT_FEATURE_$f:INTERNAL=OFF" "$cache" || { echo "feature $f is not off"; return 1; }
  done
  for f in opengl_desktop freetype testlib system_zlib; do
    grep -qx "QT_FEATURE_$f:INTERNAL=ON" "$cache" || { echo "feature $f is not on"; return 1; }
  done
  cmake --build "$work/build/qtbase" -j"$jobs"
  cmake --install "$work/build/qtbase"
}

part libdeflate build_libdeflate
part libjpeg-turbo build_libjpeg
part openjpeg2 build_openjpeg
part tiff build_tiff
part qtbase build_qt

bash "$here/smoke/run.sh" "$prefix" || die "the toolkit at $prefix is built but the smoke check failed; fix it and run again"

du -sh "$prefix" | cut -f1 | sed 's/^/toolkit: install size /' >&2
touch "$prefix/.complete"
if [ "${QP_WINDOWS_KEEP_WORK:-0}" != 1 ]; then
  rm -rf "$work"
fi
rm -f "$cache_root/.lock-$key"
say "finished"
echo "$prefix"
