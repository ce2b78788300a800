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
python3 - "$work/big.bmp" <<'PY'
import math, struct, sys
n = 2304
row = bytearray()
rows = []
for y in range(n):
    row = bytearray()
    for x in range(n):
        v = int(127.5 + 60 * math.sin(x / 57.0) * math.cos(y / 83.0) + 60 * math.sin((x + y) / 131.0)) & 255
        row += bytes((v, v, v))
    rows.append(bytes(row))
data = b"".join(reversed(rows))
header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + data)
PY
for build in "$old" "$new"; do
    rm -rf "$work/out" && mkdir "$work/out"
    /usr/bin/time -v "$build/kelvane" create --quiet --set resolution=2 --set "basedir=$work" --set basebmp=big.bmp \
        --set "treedir=$work" --set treebmp=big.bmp "$work/out/big.scn" 2> "$work/time.txt"
    echo "$build: $(grep -E 'Maximum resident' "$work/time.txt" | awk '{print $NF}') kB peak, $(grep -E 'Elapsed' "$work/time.txt" | awk '{print $NF}') wall"
done
