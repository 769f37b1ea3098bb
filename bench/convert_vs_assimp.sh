#!/usr/bin/env bash
# Whole-process benchmark of `toravel convert` against `assimp export`, measured side by side:
# each line is the median of RUNS (default 5) runs, toravel and assimp alternating. Prints
# wall seconds, user and system CPU seconds, MB/s of input and peak memory (also as a
# multiple of the input) for
#   - the generated reference (200,000 triangles) and assimp's export of it, with the ratio;
#   - the reference plus the generated 5,000-frame animation;
#   - the animation alone (a reference of the same skeleton without triangles, plus it);
#   - X to X: the file written from reference plus animation, read and written again;
#   - references 10 times smaller and 4 times larger, for the rate as the input grows.
# Needs the release build (cmake --preset release) and assimp-utils.
#   bench/convert_vs_assimp.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
build=build/release
work=${TMPDIR:-/tmp}/toravel-bench
mkdir -p "$work"
[ -x "$build/toravel" ] && [ -x "$build/bench/toravel_gen_smd" ] || {
    cmake --preset release >/dev/null && cmake --build --preset release -j 2; }
command -v assimp >/dev/null || { echo "assimp-utils is needed: scripts/deps.sh"; exit 1; }
gen="$build/bench/toravel_gen_smd"
[ -f "$work/ref.smd" ] || "$gen" "$work/ref.smd" "$work/anim.smd"
[ -f "$work/bones.smd" ] || "$gen" "$work/bones.smd" "$work/anim0.smd" 0
[ -f "$work/small.smd" ] || "$gen" "$work/small.smd" "$work/small_anim.smd" 20000 60 10
[ -f "$work/large.smd" ] || "$gen" "$work/large.smd" "$work/large_anim.smd" 800000 60 10
"$build/toravel" convert -q --force -o "$work/all.x" "$work/ref.smd" "$work/anim.smd"

# One run: "wall user sys peak_kib".
once() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || {
        cat "$work/stderr.txt"; exit 1; }
    cat "$work/time.txt"
}
# The medians of each column over the runs recorded in file $1.
median() {
    sort -n -k1,1 "$1" | awk -v n="$runs" 'NR == int((n + 1) / 2) { print }'
}
bytes() { stat -c %s "$1"; }

declare -A cases=(
    [ref]="$build/toravel convert -q --force -o $work/ref.x $work/ref.smd"
    [assimp]="assimp export $work/ref.smd $work/assimp.x"
    [all]="$build/toravel convert -q --force -o $work/all_again.x $work/ref.smd $work/anim.smd"
    [anim]="$build/toravel convert -q --force -o $work/anim.x $work/bones.smd $work/anim0.smd"
    [xx]="$build/toravel convert -q --force -o $work/xx.x $work/all.x"
    [small]="$build/toravel convert -q --force -o $work/small.x $work/small.smd"
    [large]="$build/toravel convert -q --force -o $work/large.x $work/large.smd"
)
order=(ref assimp all anim xx small large)
for name in "${order[@]}"; do : >"$work/$name.runs"; done
for ((i = 0; i < runs; i++)); do
    for name in "${order[@]}"; do
        # shellcheck disable=SC2086
        once ${cases[$name]} >>"$work/$name.runs"
    done
done

line() {  # name label input_bytes
    read -r wall user sys peak < <(median "$work/$1.runs")
    awk -v l="$2" -v b="$3" -v w="$wall" -v u="$user" -v s="$sys" -v p="$peak" 'BEGIN {
        printf "%-34s %6.2f s (user %5.2f, sys %4.2f)  %6.1f MB/s  peak %6.1f MB = %4.2f x input\n",
               l, w, u, s, b / 1e6 / w, p / 1024, p * 1024 / b }'
}
ref=$(bytes "$work/ref.smd")
anim0=$(bytes "$work/anim0.smd")
echo "input: reference $(awk -v b="$ref" 'BEGIN{printf "%.1f", b/1e6}') MB," \
     "animation $(awk -v b="$(bytes "$work/anim.smd")" 'BEGIN{printf "%.1f", b/1e6}') MB;" \
     "medians of $runs alternating runs"
line ref "toravel reference" "$ref"
line assimp "assimp export reference" "$ref"
line all "toravel reference + animation" $((ref + $(bytes "$work/anim.smd")))
line anim "toravel animation alone" "$anim0"
line xx "toravel X to X" "$(bytes "$work/all.x")"
line small "toravel reference / 10" "$(bytes "$work/small.smd")"
line large "toravel reference x 4" "$(bytes "$work/large.smd")"
read -r t_ref _ < <(median "$work/ref.runs")
read -r t_assimp _ < <(median "$work/assimp.runs")
awk -v a="$t_assimp" -v t="$t_ref" 'BEGIN { printf "assimp / toravel (reference): %.1fx\n", a / t }'
