#!/usr/bin/env bash
# Every C and C++ file of ours is in the one style of .clang-format; prints the first differences otherwise.
# Usage: check-format.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: $0 SOURCE_DIR}"
if [ -d .git ] && command -v git >/dev/null; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
else
  mapfile -t files < <(find platform lorvex media tools tests bench fuzz -name '*.cpp' -o -name '*.h' -o -name '*.c')
fi
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) && exit 0
echo "$report" | head -40
echo "format: run  clang-format -i  on the files named above" >&2
exit 1
