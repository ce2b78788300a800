#!/usr/bin/env bash
# Records the checksums of every file a set of creations writes, so that a
# change of the code can be shown to leave the output byte for byte as it was.
#
#   tools/scene_checksums.sh [KELVANE] > sums.txt     record
#   tools/scene_checksums.sh [KELVANE] | diff sums.txt -   compare
#
# The creations: the defaults at Lo, Med and Hi Res; each sample settings
# file; every ocean and every atmosphere; a 2304 x 2304 heightfield at Hi Res.
# Each writes into a fixed directory, so the scene text (which names its
# directory) is comparable between runs. KELVANE defaults to this tree's build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/default/bin/kelvane}")
data=$(dirname "$program")/kelvane-data
work=/tmp/kelvane-checksums
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

create() {  # case name, then options for kelvane create
    local name=$1
    shift
    mkdir -p "$work/$name"
    "$program" create --quiet "$@" "$work/$name/scene.scn"
    (cd "$work/$name" && sha256sum -- * | sed "s|  |  $name/|")
}

python3 - "$work/h2304.bmp" <<'PY'
import struct, sys, math
n = 2304
rows = []
for y in range(n):
    row = bytearray()
    for x in range(n):
        v = int(127.5 + 70 * math.sin(x / 97.0) * math.cos(y / 131.0) + 50 * math.sin((x - 2 * y) / 211.0)) & 255
        row += bytes((v, (v * 3) & 255, 255 - v))
    rows.append(bytes(row))
data = b"".join(reversed(rows))
header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + data)
PY

for resolution in 0 1 2; do create "defaults-res$resolution" --set resolution=$resolution; done
for sample in "$data"/sample*.kv; do create "$(basename "$sample" .kv)" --settings "$sample"; done
for ocean in 0 1 2 3 4; do create "ocean$ocean" --set oceanindex=$ocean; done
for sky in 0 1 2 3; do create "atmosphere$sky" --set atmosphereindex=$sky; done
create big-2304 --set resolution=2 --set basedir="$work" --set basebmp=h2304.bmp \
    --set treedir="$work" --set treebmp=h2304.bmp
