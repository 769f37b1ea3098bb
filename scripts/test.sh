#!/usr/bin/env bash
# Builds and runs the whole test suite: as a debug build, under the sanitizers, and as the
# optimised build that the benchmarks and the example conversion use (also under valgrind's
# memcheck); the tests that use threads under ThreadSanitizer; a short run of every fuzz
# target; then the Windows application, cross-compiled and tested under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for preset in dev asan release; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j 2
    ctest --preset "$preset"
done
echo "== memcheck =="
scripts/memcheck.sh
echo "== tsan =="
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j 2
ctest --preset tsan
echo "== fuzz (a few seconds per target) =="
scripts/fuzz.sh 10
echo "== windows =="
scripts/test-windows.sh
