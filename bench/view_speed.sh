#!/usr/bin/env bash
# The 3D view's speed and size under a virtual X server with Mesa's software
# renderer, for a Hi Res creation of the default settings (see
# bench/view/ViewBench.cpp):
#   - the benchmark program's figures: request to first frame, frames a
#     second over a scripted 5-second orbit in a 960 x 600 window (reduced
#     frames while moving, and full frames), a still full frame, its peak
#     memory;
#   - the peak memory of the application itself showing the same scene with
#     kelvane-gui --view (the creation written as a .glb by kelvane create),
#     from /usr/bin/time -v.
#
#   bench/view_speed.sh [BUILD_DIR]   (default: build/default)
#
# Frames from YOU, while orbiting, from above and from the side are saved as
# PNG files in the working directory it names at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
work=$(mktemp -d "${TMPDIR:-/tmp}/kvview.XXXXXX")
screen="-screen 0 1280x1024x24"
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1

echo "== view benchmark ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
xvfb-run -a -s "$screen" "$build/bin/kelvane_view_bench" --creation --frames "$work"

echo "== kelvane-gui --view with the same scene"
"$build/bin/kelvane" create --quiet --set resolution=2 "$work/hires.glb"
# The app runs until it is ended ten seconds later; the figure is its peak.
xvfb-run -a -s "$screen" /usr/bin/time -v timeout -s TERM 10 "$build/bin/kelvane-gui" --view "$work/hires.glb" \
    2> "$work/time.txt" || true
grep -E "Maximum resident set size" "$work/time.txt" |
    awk '{printf "peak memory of kelvane-gui --view: %.0f MB  (target at most 400 MB)\n", $NF / 1024}'
echo "frames in $work"
