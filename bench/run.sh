#!/usr/bin/env bash
# Runs every benchmark: the making of a demo database of a million requests,
# then each bench_* program on such a database (made once in bench/out).
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
echo "== bench_demo.sh"
bash "$here/bench_demo.sh" "$build"
db="$here/out/million"
[ -f "$db/cvd.mdb" ] || "$build/cvdtool" demo "$db" --requests 1000000 >/dev/null
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$db/cvd.mdb"
done
