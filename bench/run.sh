#!/usr/bin/env bash
# Runs every benchmark program the bench build produced.
set -euo pipefail
build=${1:-build-bench}
status=0
for b in "$build"/bin/bench-*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || status=1
done
echo "== tag accuracy: ours, TagLib and mutagen on one corpus"
/usr/bin/python3 "$(dirname "$0")/tags/accuracy.py" "$build/bin" || status=1
echo "== whole program"
bash "$(dirname "$0")/process.sh" "$build/bin" || status=1
echo "== track changes"
bash "$(dirname "$0")/trackchange.sh" "$build/bin" || status=1
exit $status
