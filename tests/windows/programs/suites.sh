#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The codec, core and command-line test programs, cross-built for Windows, each run as a whole
# under Wine with the variables the Linux suite gets from its test runner.
source "$(dirname "$0")/lib.sh"

wine_prefix_new
wine_env_default
# The fonts of Wine's own folder, which the tests' offscreen platform reads as on Linux.
wine_env QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 LANGUAGE= "QT_QPA_FONTDIR=$(winpath /usr/share/wine/fonts)"
failed=()
for suite in tests_codec tests_core tests_cli; do
  start=$SECONDS
  status=0
  WINE_TIMEOUT=1200 wine_run "$QP_WINDOWS_BUILD/tests/$suite.exe" --gtest_brief=1 || status=$?
  summary="$(grep -E '^\[  (PASSED|SKIPPED|FAILED) +\] [0-9]+ test' "$WINE_OUT" | tr -s ' ' | tr '\n' ' ')"
  say "$suite: exit status $status in $((SECONDS - start)) s: $summary"
  if [ "$status" != 0 ]; then
    grep -E '^\[  FAILED|Failure$|^[^[].*(error|Error)' "$WINE_OUT" | head -n 40 >&2 || true
    tail -n 20 "$WINE_ERR" >&2
    failed+=("$suite")
  fi
done
((${#failed[@]} == 0)) || fail "${failed[*]}"
say "passed"
