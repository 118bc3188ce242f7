#!/usr/bin/env bash
# Runs a GoogleTest program several times over in one process (--gtest_repeat): a test that passes only on a fresh
# process (windows, caches or files left behind by an earlier test) fails here. ctest runs it for the programs whose
# windows and shared state live as long as the process (media_gtests ... REPEAT).
#   gtest-repeat.sh <test program> [repeats]
set -euo pipefail
program=${1:?usage: $0 <test program> [repeats]}
repeats=${2:-3}
log=$(mktemp /tmp/gtest-repeat.XXXXXX)
trap 'rm -f "$log"' EXIT
if "$program" --gtest_repeat="$repeats" --gtest_brief=1 >"$log" 2>&1; then
  echo "$(basename "$program"): --gtest_repeat=$repeats passed"
  exit 0
fi
grep -E '^\[  FAILED  \]|Failure|Repeating all tests' "$log" | head -n 60
echo "(whole output: $log, kept)"
trap - EXIT
exit 1
