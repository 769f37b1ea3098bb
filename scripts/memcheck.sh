#!/usr/bin/env bash
# Runs the optimised build's tests, and the toravel program on the example, under valgrind's
# memcheck: any error or leak fails. The sanitizer build covers the same code with ASan; this
# checks the build that users run. Expects build/release (scripts/test.sh builds it first).
set -euo pipefail
cd "$(dirname "$0")/.."
memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect
          --errors-for-leak-kinds=definite,indirect)
# The test binary starts the program and shells for the command-line tests; those children
# run natively (the program itself is checked below).
echo "== memcheck: tests =="
"${memcheck[@]}" build/release/tests/toravel_tests --gtest_brief=1
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
echo "== memcheck: toravel =="
"${memcheck[@]}" build/release/toravel convert -q examples/soldier_reference.smd \
    examples/soldier_walk.smd examples/soldier_wave.smd -o "$out/soldier.x"
"${memcheck[@]}" build/release/toravel convert -q "$out/soldier.x" -o "$out/again.x"
"${memcheck[@]}" build/release/toravel static -q examples/soldier_reference.smd -o "$out/static.x"
"${memcheck[@]}" build/release/toravel info "$out/soldier.x" >/dev/null
"${memcheck[@]}" build/release/toravel preview -q examples/soldier_reference.smd \
    examples/soldier_walk.smd --frames all-4 --bones --size 200x150 -o "$out/walk.png"
echo "memcheck: no errors, no leaks"
