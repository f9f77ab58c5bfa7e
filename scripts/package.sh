#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package quillpress_<version>_<arch>.deb in build/ (or $QP_BUILD_DIR) and
# installs it with its dependencies (uses sudo when not run as root); sets up and builds first when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${QP_BUILD_DIR:-build}"
bash scripts/setup.sh
[ -f "$dir/CMakeCache.txt" ] || bash scripts/build.sh
cmake --build "$dir" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
deb="$PWD/$dir/quillpress_${version}_$(dpkg --print-architecture).deb"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "$deb"
echo "Installed $(basename "$deb")"
