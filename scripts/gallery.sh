#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the pictures of the README's gallery in docs/gallery with the command-line tool: each of
# the layout options next to the same text without it.
#   bash scripts/gallery.sh
# The tool comes from the build folder ($QP_BUILD_DIR or build/), which is built first when
# needed. The pictures use DejaVu Sans and DejaVu Serif (Debian: fonts-dejavu-core).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${QP_BUILD_DIR:-build}"
out=docs/gallery

if [ ! -f "$dir/build.ninja" ]; then
  bash scripts/build.sh
fi
cmake --build "$dir" --target quillpress-cli
cli="$dir/src/quillpress-cli"

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
rm -rf "$out"
mkdir -p "$out"

# picture NAME SETTINGS... -- TEXT: one PNG named NAME.png.
picture() {
  local name="$1"
  shift
  QUILLPRESS_HOME="$home" QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 LC_ALL=C.UTF-8 \
    "$cli" --no-start-config -q -o "$PWD/$out" -f png --name "$name" \
    --set cb_antialias=1 --set act_text_fontcolor=#1B3A5C --set act_text_hintergrund=#F4EBD0 "$@" >/dev/null
}

# Glyphs never clipped: an italic f at the end of a line, an accent above the ascent, a descender.
ink=(--set "label2=DejaVu Serif" --set FSize=40 --set cb_italic=1
     --set abs_o=0 --set abs_u=0 --set abs_l=0 --set abs_r=0)
picture inkbox-off "${ink[@]}" -- "Ŷoung leaf"
picture inkbox-on "${ink[@]}" --set cb_inkbox=1 -- "Ŷoung leaf"

# Fit to the box: a fixed 360 x 110 image with 10-pixel margins, 40 pt chosen.
fit=(--set "label2=DejaVu Sans" --set FSize=40 --set abstand_fix=1 --set abs_b=360 --set abs_h=110
     --set fix_wrap=1 --set abs_o=10 --set abs_u=10 --set abs_l=10 --set abs_r=10)
picture fitbox-off "${fit[@]}" -- "Grand Opening on Saturday"
picture fitbox-on "${fit[@]}" --set cb_fitbox=1 -- "Grand Opening on Saturday"

# Justified lines: a paragraph wrapped at 320 pixels.
para="Every wrapped line of a paragraph but its last reaches from margin to margin, its spaces widened evenly."
just=(--set "label2=DejaVu Serif" --set FSize=14 --set max_breite=1 --set abs_bmax=320
      --set abs_o=10 --set abs_u=10 --set abs_l=10 --set abs_r=10)
picture justify-off "${just[@]}" -- "$para"
picture justify-on "${just[@]}" --set rb_aljustify=1 -- "$para"

# Transparent background: the text colour with the glyphs' coverage as alpha.
clear=(--set "label2=DejaVu Sans" --set FSize=36 --set cb_bold=1)
picture transparent-off "${clear[@]}" -- "Quillpress"
picture transparent-on "${clear[@]}" --set cb_transparent=1 -- "Quillpress"

echo "Pictures written to $out"
