#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each for SECONDS (default 60),
# seeded from the example models; findings land in build/fuzz/findings/TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2
for target in smd_reference smd_animation static_smd x_strict x_general; do
    corpus="build/fuzz/corpus/$target"
    findings="build/fuzz/findings/$target"
    mkdir -p "$corpus" "$findings"
    case "$target" in
        x_*) cp -n examples/*.x "$corpus"/ 2>/dev/null || true; dict=fuzz/x.dict ;;
        *) cp -n examples/*.smd "$corpus"/ 2>/dev/null || true; dict=fuzz/smd.dict ;;
    esac
    echo "== $target ($seconds s) =="
    "build/fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -dict="$dict" \
        -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" 2>&1 | tail -12
done
