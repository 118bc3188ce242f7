#!/usr/bin/env bash
# Runs every GoogleTest program of the build folder three times over in one process (--gtest_repeat=3): a test that
# passes only on a fresh process (windows, caches or files left behind by an earlier test) fails here.
#   gtest-repeat.sh <folder with the test programs> [repeats]
# The programs run two at a time, each under a time limit, on the offscreen platform as ctest runs them.
set -euo pipefail
BIN=${1:?usage: $0 <folder with the test programs> [repeats]}
REPEATS=${2:-3}
LIMIT=${GTEST_REPEAT_LIMIT:-400}   # seconds for one program's repeats; the slowest needs about 90
export QT_QPA_PLATFORM=offscreen
LOGS=$(mktemp -d /tmp/gtest-repeat.XXXXXX)
trap 'rm -rf "$LOGS"' EXIT

# A GoogleTest program by its name (test-*, *_tests) and by answering --gtest_list_tests; the player and the tools
# in the same folder are never started.
programs=()
for program in "$BIN"/test-* "$BIN"/*_tests; do
  [ -x "$program" ] && [ -f "$program" ] || continue
  timeout 30 "$program" --gtest_list_tests >/dev/null 2>&1 && programs+=("$program")
done
[ ${#programs[@]} -gt 0 ] || { echo "no GoogleTest programs in $BIN" >&2; exit 1; }

run_one() {
  local program=$1 name start status=0
  name=$(basename "$program")
  start=$SECONDS
  timeout "$LIMIT" "$program" --gtest_repeat="$REPEATS" --gtest_brief=1 >"$LOGS/$name.log" 2>&1 || status=$?
  if [ "$status" = 0 ]; then
    echo "ok   $name ($((SECONDS - start)) s)"
  else
    echo "FAIL $name (status $status after $((SECONDS - start)) s; 124 is the time limit):"
    grep -E '^\[  FAILED  \]|Failure|Repeating all tests' "$LOGS/$name.log" | head -n 40 | sed 's/^/     /'
    echo "     (whole output: $LOGS/$name.log, kept)"
    touch "$LOGS/$name.failed" "$LOGS/.keep"
  fi
}
export -f run_one
export LOGS LIMIT REPEATS

started=$SECONDS
printf '%s\n' "${programs[@]}" | xargs -P 2 -I{} bash -c 'run_one "$1"' _ {}
failed=$(find "$LOGS" -name '*.failed' | wc -l)
echo "${#programs[@]} programs, --gtest_repeat=$REPEATS, $((SECONDS - started)) s, $failed failed"
if [ "$failed" != 0 ]; then trap - EXIT; exit 1; fi
