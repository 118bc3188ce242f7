#!/usr/bin/env bash
# Every name of ours follows the rule in .clang-tidy; prints the names that do not and the spelling the rule asks.
# Runs clang-tidy's naming check over every file of the build's compilation database (bench/ is built apart and is
# not in it), headers included.
# Usage: check-naming.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "${1:?usage: $0 SOURCE_DIR BUILD_DIR}" && pwd)
build_dir=$(cd "${2:?usage: $0 SOURCE_DIR BUILD_DIR}" && pwd)
ours="^${source_dir}/(media|platform|lorvex|tools|tests|bench|fuzz)/"
jobs=$(nproc 2>/dev/null || echo 2)
report=$(run-clang-tidy -j "$jobs" -p "$build_dir" -header-filter="$ours" -quiet "$ours" 2>&1 |
           sed 's/\x1b\[[0-9;]*m//g') && exit 0
echo "$report" | grep -E -A3 '(warning|error):' | grep -v '^clang-tidy' | head -60 || true
echo "naming: rename the names above as the rule in .clang-tidy asks (the line under each caret)" >&2
exit 1
