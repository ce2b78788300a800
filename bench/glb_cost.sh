#!/usr/bin/env bash
# What the binary glTF file costs on top of a Hi Res creation, and how much of
# it is more than its pictures and geometry.
#
#   bench/glb_cost.sh [KELVANE] [HEIGHTFIELD]   (default: build/default/bin/kelvane, the stock height01.bmp)
#
# Time: a Hi Res creation of the scene alone against the same creation with
# --glb, alternately, five of each; the figures are the medians. Size: the
# .glb file against the bytes of the pictures it embeds plus its geometry
# (every buffer view that is not a picture): what is left is its JSON, chunk
# headers and padding.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/default/bin/kelvane}
heightfield=${2:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/kvglb.XXXXXX")
trap 'rm -rf "$work"' EXIT
options=(--quiet --set resolution=2)
if [ -n "$heightfield" ]; then
    options+=(--set "basedir=$(cd "$(dirname "$heightfield")" && pwd)" --set "basebmp=$(basename "$heightfield")")
fi

seconds() {
    local start end
    start=$(date +%s.%N)
    "$program" create "${options[@]}" "$@"
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

scene=() both=()
for run in 1 2 3 4 5; do
    rm -rf "$work/out"; mkdir "$work/out"
    scene+=("$(seconds "$work/out/valley.scn")")
    rm -rf "$work/out"; mkdir "$work/out"
    both+=("$(seconds --glb "$work/out/valley.glb" "$work/out/valley.scn")")
done
median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
a=$(median "${scene[@]}") b=$(median "${both[@]}")
echo "Hi Res creation, scene only:   ${a} s (median of 5)"
echo "Hi Res creation, with --glb:   ${b} s (median of 5)"
echo "glb adds: $(echo "scale=1; 100 * ($b - $a) / $a" | bc) %"

python3 - "$work/out/valley.glb" <<'PY'
import json, struct, sys
data = open(sys.argv[1], "rb").read()
json_length = struct.unpack_from("<I", data, 12)[0]
doc = json.loads(data[20:20 + json_length])
image_views = {image["bufferView"] for image in doc.get("images", [])}
pictures = sum(v["byteLength"] for i, v in enumerate(doc["bufferViews"]) if i in image_views)
geometry = sum(v["byteLength"] for i, v in enumerate(doc["bufferViews"]) if i not in image_views)
size = len(data)
print(f".glb file: {size} bytes; pictures {pictures}, geometry {geometry}; "
      f"{100 * (size - pictures - geometry) / (pictures + geometry):.3f} % more than both")
PY
