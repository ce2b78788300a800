#!/usr/bin/env bash
# Two builds side by side in one run: the core benchmarks both have (terrain
# text, placement, texture stage) run alternately, and a Hi Res creation of the
# default scene timed five times each, alternately; then the peak memory of a
# Hi Res creation from a 2304 x 2304 heightfield with each.
#
#   bench/compare_builds.sh OLD_BIN_DIR [NEW_BIN_DIR]   (NEW defaults to build/default/bin)
#
# Each BIN_DIR holds kelvane, kelvane_bench and kelvane-data.
set -euo pipefail
cd "$(dirname "$0")/.."
old=${1:?usage: $0 OLD_BIN_DIR [NEW_BIN_DIR]}
new=${2:-build/default/bin}
work=$(mktemp -d "${TMPDIR:-/tmp}/kvcompare.XXXXXX")
trap 'rm -rf "$work"' EXIT
filter='BM_TerrainChunk1024|BM_PlaceTenThousandObjects|BM_TextureStageHiRes'

echo "== benchmarks (old, new, old, new)"
for round in 1 2; do
    for build in "$old" "$new"; do
        echo "-- $build"
        "$build/kelvane_bench" --benchmark_filter="$filter" 2>/dev/null | grep '^BM_'
    done
done

echo "== Hi Res creation of the default scene, seconds (five each, alternately)"
seconds() {
    local start end
    rm -rf "$work/out" && mkdir "$work/out"
    start=$(date +%s.%N)
    "$1/kelvane" create --quiet --set resolution=2 "$work/out/valley.scn"
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
o=() n=()
for run in 1 2 3 4 5; do o+=("$(seconds "$old")"); n+=("$(seconds "$new")"); done
median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
echo "old: ${o[*]}  median $(median "${o[@]}")"
echo "new: ${n[*]}  median $(median "${n[@]}")"

echo "== peak memory, Hi Res creation from a 2304 x 2304 heightfield"
python3 bench/make_heightfield.py "$work/big.bmp" 2304 57 83 131
for build in "$old" "$new"; do
    rm -rf "$work/out" && mkdir "$work/out"
    /usr/bin/time -v "$build/kelvane" create --quiet --set resolution=2 --set "basedir=$work" --set basebmp=big.bmp \
        --set "treedir=$work" --set treebmp=big.bmp "$work/out/big.scn" 2> "$work/time.txt"
    echo "$build: $(grep -E 'Maximum resident' "$work/time.txt" | awk '{print $NF}') kB peak, $(grep -E 'Elapsed' "$work/time.txt" | awk '{print $NF}') wall"
done
