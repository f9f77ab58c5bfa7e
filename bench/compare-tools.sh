#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times the compression libraries' own command-line tools on the same 4000 x 4000 pixels that
# EncodeBench encodes, for comparison with Quillpress's writers.
#   bash bench/compare-tools.sh [build-dir]
set -euo pipefail
build="${1:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
QP_BENCH_PPM="$work/page.ppm" "$build/bench/quillpress_bench" --benchmark_filter='BM_Encode4000/(jpg|tif|jp2)/'
timeit() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc; }
echo "Library tools on the same pixels (seconds):"
if command -v cjpeg >/dev/null; then
  echo "  cjpeg -quality 100 -progressive: $(timeit cjpeg -quality 100 -progressive -outfile "$work/a.jpg" "$work/page.ppm")"
fi
if command -v tiffcp >/dev/null && command -v convert >/dev/null; then
  /usr/bin/convert "$work/page.ppm" -compress none "$work/plain.tif"
  echo "  tiffcp -c lzw (one strip): $(timeit tiffcp -c lzw -r 4000 "$work/plain.tif" "$work/lzw.tif")"
fi
if command -v opj_compress >/dev/null; then
  # The rate Quillpress uses at quality 80 for 3 channels: raw / (raw * 100 / 1225 + 834).
  rate=$(echo "scale=6; 48000000 / (48000000 * 100 / 1225 + 834)" | bc)
  echo "  opj_compress -r $rate -n 6: $(timeit opj_compress -i "$work/page.ppm" -o "$work/a.jp2" -r "$rate" -n 6)"
fi
