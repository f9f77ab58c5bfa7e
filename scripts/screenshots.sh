#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the pictures of the windows in docs/screenshots: the start window, every page of the
# main window and its Configuration menu, and every secondary window, in English and German.
#   bash scripts/screenshots.sh            writes docs/screenshots
#   bash scripts/screenshots.sh --check    writes them into a temporary folder and compares each
#                                          with docs/screenshots (ImageMagick, pixels that differ);
#                                          exits 1 when any picture differs or is missing
# The pictures come from the program tests/screenshots (built into the build folder, $QP_BUILD_DIR
# or build/), run under Xvfb with the xcb platform, so that fonts look as on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${QP_BUILD_DIR:-build}"
committed=docs/screenshots

check=false
if [ "${1:-}" = "--check" ]; then
  check=true
elif [ $# -gt 0 ]; then
  sed -n '3,10p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi

if [ ! -f "$dir/build.ninja" ]; then
  bash scripts/build.sh
fi
cmake --build "$dir" --target quillpress_screenshots

out="$committed"
if $check; then
  out="$(mktemp -d)"
  trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out"

QP_SCREENSHOT_DIR="$(cd "$out" && pwd)" QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 LC_ALL=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$dir/tests/quillpress_screenshots" --gtest_brief=1

if ! $check; then
  echo "Pictures written to $committed"
  exit 0
fi

status=0
for picture in "$committed"/*.png; do
  name="$(basename "$picture")"
  # The Windows program's pictures come from the checks under Wine (scripts/windows.sh).
  [[ "$name" == windows-* ]] && continue
  if [ ! -f "$out/$name" ]; then
    echo "$name: not written"
    status=1
    continue
  fi
  # compare prints the number of differing pixels on standard error and exits 1 when they differ.
  differing="$(compare -metric AE "$picture" "$out/$name" null: 2>&1 || true)"
  if [ "$differing" != "0" ]; then
    echo "$name: $differing pixels differ"
    status=1
  fi
done
for picture in "$out"/*.png; do
  [ -f "$committed/$(basename "$picture")" ] || { echo "$(basename "$picture"): new, not in $committed"; status=1; }
done
if [ $status -eq 0 ]; then
  echo "Every picture in $committed is identical to the regenerated one"
fi
exit $status
