#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   scripts/kv.sh sample   install what is missing, build, and create a complete
#                          scene from the default settings and the bundled
#                          sample inputs (out/valley.scn and its images)
#   scripts/kv.sh test     install what is missing, build, and run every test
#                          (default build and the sanitizer build)
# Both are idempotent: nothing is installed or rebuilt that is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libjpeg62-turbo-dev libpng-dev libgdal-dev nlohmann-json3-dev qt6-base-dev
          libqt6opengl6-dev libtinygltf-dev libgtest-dev libgmock-dev libbenchmark-dev)
# The 3D view's tests draw with Mesa's software renderer on a virtual X server.
[ "${1:-}" = test ] && packages+=(assimp-utils xvfb xauth libgl1-mesa-dri desktop-file-utils)
# The glTF validator's runtime. A node that is already there (Debian's, or
# another build that brings its own npm) is kept.
if [ "${1:-}" = test ] && ! { command -v node && command -v npm; } >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}

case "${1:-}" in
  sample)
    build default
    mkdir -p out
    ./build/default/bin/kelvane create out/valley.scn
    ;;
  test)
    # The Khronos glTF validator, pinned in tests/gltf/package-lock.json.
    if [ ! -f tests/gltf/node_modules/gltf-validator/package.json ]; then
      (cd tests/gltf && npm ci --no-audit --no-fund)
    fi
    build default
    ctest --preset default -j "$jobs"
    build asan
    ctest --preset asan -j "$jobs"
    ;;
  *)
    echo "usage: scripts/kv.sh sample|test" >&2
    exit 2
    ;;
esac
