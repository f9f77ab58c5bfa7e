#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, testing and checking Quillpress need, when they are missing.
#   bash scripts/setup.sh [--bench]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libxcb1-dev
  libtiff-dev libopenjp2-7-dev libjpeg-dev zlib1g-dev libdeflate-dev
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  # a face without a bold style (DejaVu Math TeX Gyre), for the tests of emboldening
  fonts-dejavu-extra
  imagemagick python3 python3-pil pngcheck libtiff-tools libopenjp2-tools giflib-tools
  xvfb xauth
  # the desktop program under a real window manager (placement, icon)
  openbox xdotool x11-utils
  g++-mingw-w64-x86-64-posix wine wine64
  # the default face Tahoma, Qt's own translations, and the desktop and package tools
  fonts-wine qt6-translations-l10n
  # a family that two foundries make (the font list names the foundry)
  fonts-urw-base35
  desktop-file-utils appstream shared-mime-info hicolor-icon-theme xdg-utils libfile-mimeinfo-perl libglib2.0-bin
  dpkg-dev file man-db lintian
)

# The comparison with other tools (bench/compare-peers.sh) needs a few more: setup.sh --bench.
if [ "${1:-}" = "--bench" ]; then
  packages+=(hyperfine pango1.0-tools python3-pil time)
fi

bash "$(dirname "$0")/install-missing.sh" "${packages[@]}"
