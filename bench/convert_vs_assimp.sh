#!/usr/bin/env bash
# Whole-process benchmark: converts the generated large reference plus its large animation
# with `toravel convert`, and the same reference with `assimp export`, and prints both times,
# their ratio, throughput and peak memory. Needs the release build (cmake --preset release).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
work=${TMPDIR:-/tmp}/toravel-bench
mkdir -p "$work"
[ -x "$build/toravel" ] && [ -x "$build/bench/toravel_gen_smd" ] || {
    cmake --preset release >/dev/null && cmake --build --preset release -j 2; }
[ -f "$work/ref.smd" ] || "$build/bench/toravel_gen_smd" "$work/ref.smd" "$work/anim.smd"
command -v assimp >/dev/null || { echo "assimp-utils is needed: scripts/deps.sh"; exit 1; }

measure() {  # prints "seconds peak_kib"
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || {
        cat "$work/stderr.txt"; exit 1; }
    cat "$work/time.txt"
}

ref_bytes=$(stat -c %s "$work/ref.smd")
anim_bytes=$(stat -c %s "$work/anim.smd")
read -r t_ref m_ref < <(measure "$build/toravel" convert --force -o "$work/ref.x" "$work/ref.smd")
read -r t_all m_all < <(measure "$build/toravel" convert --force -o "$work/all.x" \
    "$work/ref.smd" "$work/anim.smd")
read -r t_assimp m_assimp < <(measure assimp export "$work/ref.smd" "$work/assimp.x")

awk -v rb="$ref_bytes" -v ab="$anim_bytes" -v tr="$t_ref" -v mr="$m_ref" -v ta="$t_all" \
    -v ma="$m_all" -v ts="$t_assimp" -v ms="$m_assimp" 'BEGIN {
    printf "input: reference %.1f MB, animation %.1f MB\n", rb / 1e6, ab / 1e6
    printf "toravel reference only:     %6.2f s  %7.1f MB/s  peak %6.1f MB\n", tr, rb / 1e6 / tr, mr / 1024
    printf "toravel reference + anim:   %6.2f s  %7.1f MB/s  peak %6.1f MB\n", ta, (rb + ab) / 1e6 / ta, ma / 1024
    printf "assimp export reference:    %6.2f s  %7.1f MB/s  peak %6.1f MB\n", ts, rb / 1e6 / ts, ms / 1024
    printf "assimp / toravel (reference): %.1fx\n", ts / tr
}'
