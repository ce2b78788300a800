#!/bin/sh
# Runs the Khronos glTF validator (validate.mjs beside this script) on every
# .glb file in a directory. Without node the test is skipped (exit status 77);
# with node but without the pinned validator package it is installed first
# with npm ci, from package-lock.json.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:?usage: run-validator.sh DIRECTORY}

if ! command -v node >/dev/null 2>&1; then
    echo "node is not installed: the glTF validator test is skipped (scripts/kv.sh test installs node and npm)"
    exit 77
fi
if [ ! -f "$here/node_modules/gltf-validator/package.json" ]; then
    if ! command -v npm >/dev/null 2>&1; then
        echo "npm is not installed: the glTF validator cannot be installed" >&2
        exit 1
    fi
    echo "Installing the pinned glTF validator (npm ci in $here)"
    (cd "$here" && npm ci --no-audit --no-fund)
fi

set -- "$dir"/*.glb
if [ ! -e "$1" ]; then
    echo "no .glb files in $dir" >&2
    exit 1
fi
exec node "$here/validate.mjs" "$@"
