#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each for SECONDS (default 60),
# seeded from the tests' fixtures and the example models (written by the dev build's
# toravel_fuzz_seeds); a finding stops the script with its file in build/fuzz/findings/TARGET.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(smd_reference smd_animation static_smd x_strict x_general)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2
cmake --preset dev >/dev/null
cmake --build --preset dev -j 2 --target toravel_fuzz_seeds
build/dev/tests/toravel_fuzz_seeds build/fuzz/seeds
for target in "${targets[@]}"; do
    corpus="build/fuzz/corpus/$target"
    findings="build/fuzz/findings/$target"
    mkdir -p "$corpus" "$findings"
    case "$target" in
        x_*) dict=fuzz/x.dict ;;
        *) dict=fuzz/smd.dict ;;
    esac
    echo "== $target ($seconds s) =="
    # New inputs go into the corpus folder; the seeds are read each time from their own.
    "build/fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -dict="$dict" -timeout=10 -max_len=16384 \
        -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
        "$corpus" "build/fuzz/seeds/$target" 2>&1 | tail -14
done
