#!/usr/bin/env bash
# Runs each fuzz target for a bounded time; any crash fails the run.
set -euo pipefail
build=${1:-build-fuzz}; seconds=${2:-60}
status=0
for f in "$build"/bin/fuzz-*; do
  [ -x "$f" ] || continue
  name=$(basename "$f"); corpus="$build/fuzz-corpus/$name"; mkdir -p "$corpus"
  seeds="$(dirname "$0")/${name#fuzz-}/seeds"
  echo "== $name ($seconds s)"
  "$f" -max_total_time="$seconds" -max_len=65536 "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) || status=1
done
exit $status
