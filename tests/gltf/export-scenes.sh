#!/bin/sh
# Writes the binary glTF files the validator checks: the defaults at Lo Res
# and Hi Res, each sample settings file, each ocean, each atmosphere, and a
# 2304-pixel heightfield at Hi Res.
#
#   export-scenes.sh KELVANE HEIGHTFIELD-TOOL OUTDIR
set -eu
usage="usage: export-scenes.sh KELVANE HEIGHTFIELD-TOOL OUTDIR"
program=${1:?$usage}
heightfield=${2:?$usage}
out=${3:?$usage}
data=$(dirname "$program")/kelvane-data
rm -rf "$out"
mkdir -p "$out"

create() {  # file name, then options for kelvane create
    name=$1
    shift
    "$program" create --quiet "$@" "$out/$name.glb"
}

"$heightfield" "$out/h2304.bmp" 2304

create defaults-lo --set resolution=0
create defaults-hi --set resolution=2
for sample in "$data"/sample*.kv; do create "$(basename "$sample" .kv)" --settings "$sample"; done
for ocean in 0 1 2 3 4; do create "ocean$ocean" --set oceanindex=$ocean; done
for sky in 0 1 2 3; do create "atmosphere$sky" --set atmosphereindex=$sky; done
create big-2304 --set resolution=2 --set basedir="$out" --set basebmp=h2304.bmp \
    --set treedir="$out" --set treebmp=h2304.bmp
rm -f "$out/h2304.bmp"
