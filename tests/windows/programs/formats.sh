#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# quillpress-cli.exe writes every format of its list under Wine; each file is read on the Linux
# side by an independent decoder (Pillow, else ImageMagick), and has the size the Linux build
# gives the same text at the same settings, within a few pixels (the two systems draw text
# with other font engines). Without a Linux build (QP_LINUX_CLI) the size comparison is left out.
source "$(dirname "$0")/lib.sh"
linux_cli="${QP_LINUX_CLI:-}"

wine_prefix_new
wine_env_default
wine_run "$CLI" --list-formats || fail "--list-formats ended with $?"
cp "$WINE_OUT" "$WINE_TMP/formats.txt"
count="$(wc -l <"$WINE_TMP/formats.txt")"
[ "$count" = 28 ] || fail "the list holds $count formats, not 28"
if [ -n "$linux_cli" ]; then
  "$linux_cli" --list-formats --language en >"$WINE_TMP/linux-formats.txt"
  diff -u "$WINE_TMP/linux-formats.txt" "$WINE_TMP/formats.txt" >&2 || fail "the format lists differ from Linux's"
fi

# Width, height and decoder of the first image of a file: Pillow (Debian's interpreter, which it
# is installed for), else ImageMagick, which names some formats by a coder prefix of its own.
cat >"$WINE_TMP/measure.py" <<'PY'
import subprocess, sys
path, ext = sys.argv[1], sys.argv[2]
try:
    from PIL import Image
    with Image.open(path) as im:
        im.load()
        print(im.width, im.height, "Pillow")
        sys.exit(0)
except Exception:
    pass
prefix = {"pdd": "psd:", "j2c": "j2k:", "jpc": "j2k:", "jif": "jpeg:"}.get(ext, "")
r = subprocess.run(["convert", prefix + path + "[0]", "-format", "%w %h", "info:"], capture_output=True, text=True)
if r.returncode == 0 and r.stdout.strip():
    print(r.stdout.strip(), "ImageMagick")
PY
measure() { /usr/bin/python3 -W ignore "$WINE_TMP/measure.py" "$1" "$2"; }
# The two systems draw text with other font engines: under Windows every glyph advances by whole
# pixels, so a line may grow or shrink by a pixel every few characters.
near() { local a="$1" b="$2" d=$(( $1 > $2 ? $1 - $2 : $2 - $1 )); (( d <= 4 || d * 100 <= b * 3 )); }

text="Quillpress on Windows"
mkdir -p "$WINE_TMP/linux"
failures=0
while IFS= read -r entry; do
  ext="${entry%% - *}"
  ext="${ext#\*.}"
  if ! wine_run "$CLI" --no-start-config -o 'C:\out' -f "$ext" --name "image" "$text"; then
    say "$ext: exit status $? ($(cat "$WINE_ERR"))"
    failures=$((failures + 1))
    continue
  fi
  file="$C/out/image.$ext"
  [ "$(cat "$WINE_OUT")" = "C:\\out\\image.$ext" ] || { say "$ext: printed $(cat "$WINE_OUT")"; failures=$((failures + 1)); }
  size="$(measure "$file" "$ext")"
  if [ -z "$size" ]; then
    say "$ext: no decoder reads the file"
    failures=$((failures + 1))
    continue
  fi
  read -r w h decoder <<<"$size"
  note="$ext: ${w}x$h ($decoder)"
  if [ -n "$linux_cli" ]; then
    "$linux_cli" --no-start-config -o "$WINE_TMP/linux" -f "$ext" --name "image" "$text" >/dev/null 2>&1 ||
      fail "the Linux build could not write $ext"
    read -r lw lh _ < <(measure "$WINE_TMP/linux/image.$ext" "$ext")
    rm -f "$WINE_TMP/linux/image."*
    note+=", Linux ${lw}x$lh"
    if ! near "$w" "$lw" || ! near "$h" "$lh"; then
      say "$note: the sizes differ too much"
      failures=$((failures + 1))
      continue
    fi
  fi
  say "$note"
done <"$WINE_TMP/formats.txt"
((failures == 0)) || fail "$failures of 28 formats"
say "passed: 28 formats written and read back"
