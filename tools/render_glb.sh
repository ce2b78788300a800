#!/usr/bin/env bash
# Renders a binary glTF scene with f3d on a virtual X server: from its camera
# (YOU), or from above.
#   tools/render_glb.sh [--above|--close-above] IN.glb OUT.png [WIDTH,HEIGHT]
# f3d 1.3 draws unlit textured materials white, so the picture is taken of a
# copy made by f3d_copy.py. Depth peeling (-p) sorts the leaves' edges.
set -euo pipefail
view=camera
case "${1:-}" in
  --above) view=above; shift ;;
  --close-above) view=close; shift ;;
esac
[ $# -ge 2 ] || { echo "usage: $0 [--above|--close-above] IN.glb OUT.png [WIDTH,HEIGHT]" >&2; exit 2; }
in=$1 out=$2 size=${3:-960,600}
here=$(cd "$(dirname "$0")" && pwd)
copy=$(mktemp --suffix=.glb)
trap 'rm -f "$copy"' EXIT
case $view in
  camera)
    python3 "$here/f3d_copy.py" "$in" "$copy"
    xvfb-run -a f3d -p --camera-index 0 --resolution "$size" --output "$out" "$copy" ;;
  above|close)
    python3 "$here/f3d_copy.py" --no-domes "$in" "$copy"
    height=160; [ $view = close ] && height=16
    xvfb-run -a f3d -p --resolution "$size" --camera-position "0,$height,0.001" --camera-focal-point 0,0,0 \
      --camera-view-up 0,0,-1 --camera-view-angle 45 --output "$out" "$copy" ;;
esac
