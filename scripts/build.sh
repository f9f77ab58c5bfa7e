#!/usr/bin/env bash
# Configures and builds Quillpress into build/ (or $QP_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${QP_BUILD_DIR:-build}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${QP_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
