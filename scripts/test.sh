#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and runs every test (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
dir="${QP_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
