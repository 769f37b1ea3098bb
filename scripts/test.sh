#!/usr/bin/env bash
# Builds and runs the whole test suite, first as a debug build, then under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for preset in dev asan; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j 2
    ctest --preset "$preset"
done
