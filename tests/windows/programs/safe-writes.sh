#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Data safety of the Windows tool's writes under Wine: an existing file is never replaced (the run
# numbers on), a run into a folder that cannot take its images fails with exit status 1 and
# leaves neither a partial image nor a temporary file, and the images a full disk refuses are
# failures, not successes. The full disk is a small tmpfs given to Wine as drive F: (as root;
# left out otherwise).
source "$(dirname "$0")/lib.sh"

wine_prefix_new
wine_env_default
out="$C/out"
mkdir -p "$out"

# An existing image keeps its content: the second run writes the next number.
printf 'keep me' >"$out/hello.png"
wine_run "$CLI" --no-start-config -o 'C:\out' -f png "Hello" || fail "a run beside an existing image ended with $?"
[ "$(cat "$WINE_OUT")" = 'C:\out\hello1.png' ] || fail "printed $(cat "$WINE_OUT") for the second image"
[ "$(cat "$out/hello.png")" = "keep me" ] || fail "the existing image was replaced"
identify "$out/hello1.png" >/dev/null || fail "hello1.png is no image"

# A folder that is a file: exit status 1, a message, nothing written.
printf 'x' >"$C/notafolder"
status=0
wine_run "$CLI" --no-start-config -o 'C:\notafolder' -f png "Hello" || status=$?
[ "$status" = 1 ] || fail "a run into a file as folder ended with $status"
[ -s "$WINE_ERR" ] || fail "no message for a run into a file as folder"

if [ "$(id -u)" = 0 ]; then
  disk="$WINE_TMP/full"
  mkdir -p "$disk"
  mount -t tmpfs -o size=256k quillpress-full "$disk"
  cleanup_disk() { umount "$disk" 2>/dev/null || true; }
  trap 'cleanup_disk; wine_prefix_end' EXIT
  ln -s "$disk" "$WINEPREFIX/dosdevices/f:"
  # Large images that cannot all fit: some are written, the rest fail, and the exit status says so.
  status=0
  wine_run "$CLI" --no-start-config -o 'F:\' -f bmp --set FSize=100 --per-line "Aaaa" "Bbbb" "Cccc" "Dddd" "Eeee" || status=$?
  [ "$status" = 1 ] || fail "a run onto a full disk ended with $status"
  written="$(grep -c . "$WINE_OUT" || true)"
  ((written < 5)) || fail "all five images reported as written onto a 256 KiB disk"
  leftovers="$(find "$disk" -name '.quillpress-*' | wc -l)"
  [ "$leftovers" = 0 ] || fail "$leftovers temporary files left on the full disk"
  # Every image on the disk is complete.
  for f in "$disk"/*.bmp; do
    [ -e "$f" ] || continue
    identify "$f" >/dev/null 2>&1 || fail "$(basename "$f") on the full disk is not a complete image"
  done
  grep -q "No space left on device" "$WINE_ERR" || { cat "$WINE_ERR" >&2; fail "the full disk is not named as the cause"; }
  say "full disk: $written of 5 images written, the rest reported as failed"
else
  say "the full-disk case needs root (a tmpfs); left out"
fi
say "passed"
