#!/usr/bin/env bash
# Times `cvdtool demo --requests 1000000` on a fresh folder (target: under
# 60 s) and prints the size of the file it made.
# Usage: bench/bench_demo.sh [BUILD_DIR] [REQUESTS]
set -euo pipefail
build=${1:-build}
requests=${2:-1000000}
tool="$build/cvdtool"
[ -x "$tool" ] || { echo "bench_demo: $tool not found; build first" >&2; exit 1; }
dir=$(mktemp -d "${TMPDIR:-/tmp}/cvd-bench-demo.XXXXXX")
trap 'rm -rf "$dir"' EXIT
start=$(date +%s.%N)
"$tool" demo "$dir/db" --requests "$requests" >/dev/null
end=$(date +%s.%N)
secs=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
size=$(du -m "$dir/db/cvd.mdb" | cut -f1)
echo "cvdtool demo --requests $requests: $secs s, $size MB (target: under 60 s)"
awk -v s="$secs" 'BEGIN { exit !(s < 60) }' || { echo "bench_demo: too slow" >&2; exit 1; }
