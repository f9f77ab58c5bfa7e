#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds Quillpress into build/ (or $QP_BUILD_DIR).
# Uses ccache when it is installed, so that rebuilds in other checkouts reuse objects.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${QP_BUILD_DIR:-build}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD"
  # Objects with debug info are shared between checkouts in other folders too.
  export CCACHE_NOHASHDIR=true
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${QP_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
