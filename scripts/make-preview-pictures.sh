#!/usr/bin/env bash
# Draws the README's pictures of the example character with toravel preview: the bind pose
# with its skeleton, and a contact sheet of eight keys of its walk. Run it again after a
# change in the renderer or the example, and commit the pictures in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target toravel
mkdir -p docs
build/release/toravel preview examples/soldier_reference.smd --bones --size 480x360 \
    --force -o docs/preview_bind_pose.png
build/release/toravel preview examples/soldier_reference.smd examples/soldier_walk.smd \
    --frames all-8 --bones --size 320x240 --force -o docs/preview_walk.png
