#!/usr/bin/env bash
# Rewrites the golden files of the reports from what the reports produce
# now.  Run it only after a deliberate change of a report's output, then
# review the difference (git diff tests/reports/golden) before committing.
#
#   tests/reports/update-goldens.sh [BUILD-FOLDER]     (default: build)
#
# The golden tests never write into the source tree themselves: with
# CVD_GOLDEN_ACTUAL set they also write what they produced into that
# folder, and this script copies those files over the golden ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
actual=$(mktemp -d)
trap 'rm -rf "$actual"' EXIT
cmake --build "$build" --target tst_reportfiles >/dev/null
# Differences are expected here; the copies are what count.
CVD_GOLDEN_ACTUAL="$actual" CVD_SOURCE_DIR="$source_dir" QT_QPA_PLATFORM=offscreen \
  "$build/tests/tst_reportfiles" >/dev/null 2>&1 || true
count=$(find "$actual" -type f | wc -l)
if [ "$count" -eq 0 ]; then
  echo "no output collected; are the tests built?" >&2
  exit 1
fi
cp "$actual"/* "$here/golden/"
echo "updated $count golden files in tests/reports/golden; review them with: git diff --stat tests/reports/golden"
