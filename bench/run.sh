#!/usr/bin/env bash
# Runs every benchmark.  The request-handling and server figures are taken
# on 10,000 and on 10,000,000 requests side by side, so that each shows how
# it grows; the others on a million.  The demo files are made once in
# bench/out (the ten-million one takes a while and 4 GB); the server ones are
# copied each run to a private PostgreSQL server (tests/server/testserver.sh),
# which also times cvdtool copy.
#   bench/run.sh [BUILD_DIR]
#   BENCH_LARGE=N   the large size (default 10000000)
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
large=${BENCH_LARGE:-10000000}
status=0

# FOLDER REQUESTS: a demo folder of that size, made once.
demo() {
  [ -f "$1/cvd.mdb" ] || { echo "(making $1: $2 requests)"; "$build/cvdtool" demo "$1" --requests "$2" >/dev/null; }
}
run() { echo "== $*"; "$@" || status=1; }

echo "== bench_demo.sh"
bash "$here/bench_demo.sh" "$build" || status=1
small="$here/out/requests-10000" big="$here/out/requests-$large" million="$here/out/requests-1000000"
demo "$small" 10000
demo "$big" "$large"
demo "$million" 1000000

for size in "$small" "$big"; do
  run "$build/bench/bench_requests" "$size/cvd.mdb"
done

info=$(mktemp "${TMPDIR:-/tmp}/cvd-bench-pg.XXXXXX")
bash "$here/../tests/server/testserver.sh" start "$info" >/dev/null
if grep -q '^unavailable' "$info"; then
  echo "== bench_server: skipped ($(cat "$info"))"
else
  conninfo=$(sed -n 's/^conninfo=//p' "$info")
  for size in "$small" "$big"; do
    n=${size##*requests-}
    schema="bench_$n"
    conn="$conninfo options='-csearch_path=$schema,public'"
    psql -X -q -d "$conninfo" -c "drop schema if exists $schema cascade; create schema $schema" >/dev/null
    start=$(date +%s.%N)
    "$build/cvdtool" copy "$size" "$conn" >/dev/null || status=1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" -v n="$n" 'BEGIN { printf "== cvdtool copy, %s requests, file to server: %.1f s\n", n, b - a }'
    run "$build/bench/bench_server" "$size" "$conn"
  done
fi
bash "$here/../tests/server/testserver.sh" stop "$info" >/dev/null
rm -f "$info"

for b in "$build"/bench/bench_*; do
  case $(basename "$b") in bench_requests|bench_server) continue ;; esac
  [ -f "$b" ] && [ -x "$b" ] || continue
  run "$b" "$million/cvd.mdb"
done
exit $status
