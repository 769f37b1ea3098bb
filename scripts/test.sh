#!/usr/bin/env bash
# Builds and runs the whole test suite: as a debug build, under the sanitizers, and as the
# optimised build that the benchmarks and the example conversion use; a short run of every
# fuzz target; then the Windows application, cross-compiled and tested under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for preset in dev asan release; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j 2
    ctest --preset "$preset"
done
echo "== fuzz (a few seconds per target) =="
scripts/fuzz.sh 10
echo "== windows =="
scripts/test-windows.sh
