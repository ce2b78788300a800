#!/usr/bin/env bash
# The speed of a creation's scene text from start to finish, as a user sees it:
# the time of a whole creation from a 1024 x 1024 heightfield at Med Res, less
# the time of the 100 x 100 default heightfield at the same resolution (which
# writes the same textures), against the size of the 1024 scene file.
#
#   bench/scene_speed.sh KELVANE [OTHER_KELVANE]   (default: build/default/bin/kelvane)
#
# With two programs (say an older build and this one), both are measured in
# the same run, alternately. Each figure is the best of five runs.
set -euo pipefail
cd "$(dirname "$0")/.."
programs=("${@:-build/default/bin/kelvane}")
work=$(mktemp -d "${TMPDIR:-/tmp}/kvspeed.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A 1024 x 1024 grey heightfield: rolling ground, every height used.
python3 bench/make_heightfield.py "$work/big.bmp" 1024 37 53 91

seconds() {  # seconds of one creation: program, scene file, extra options...
    local program=$1 scene=$2
    shift 2
    local start end
    start=$(date +%s.%N)
    "$program" create --quiet --set resolution=1 "$@" "$scene"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }'
}

declare -A best_big best_small
for round in 1 2 3 4 5; do
    for program in "${programs[@]}"; do
        mkdir -p "$work/out"
        big=$(seconds "$program" "$work/out/big.scn" --set basedir="$work" --set basebmp=big.bmp \
                      --set treedir="$work" --set treebmp=big.bmp)
        size=$(stat -c %s "$work/out/big.scn")
        small=$(seconds "$program" "$work/out/small.scn")
        rm -rf "$work/out"
        best_big[$program]=$(awk -v a="$big" -v b="${best_big[$program]:-1e9}" 'BEGIN { print (a < b ? a : b) }')
        best_small[$program]=$(awk -v a="$small" -v b="${best_small[$program]:-1e9}" 'BEGIN { print (a < b ? a : b) }')
    done
done

for program in "${programs[@]}"; do
    rate=$(awk -v s="$size" -v a="${best_big[$program]}" -v b="${best_small[$program]}" \
               'BEGIN { print s / (a - b) / 1000000 }')
    printf '%s\n  1024 Med Res %.3f s, 100 default %.3f s, scene %d MB: %.0f MB/s\n' "$program" \
        "${best_big[$program]}" "${best_small[$program]}" $((size / 1000000)) "$rate"
done
