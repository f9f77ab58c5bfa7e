#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the hicolor PNG sizes of the application icon from its SVG (needs rsvg-convert, from
# the Debian package librsvg2-bin). Run it after changing packaging/icons/quillpress.svg and
# commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" quillpress.svg -o "${size}x${size}/quillpress.png"
done
