#!/usr/bin/env bash
# Builds toravel and converts the bundled example character (reference plus animations)
# into out/example.x.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target toravel
mkdir -p out
build/release/toravel convert --force -o out/example.x \
    examples/soldier_reference.smd examples/soldier_walk.smd examples/soldier_wave.smd
echo "Wrote out/example.x"
