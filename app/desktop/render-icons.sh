#!/usr/bin/env bash
# Renders the program icon's PNGs from kelvane.svg. Run by hand after the
# drawing changes and commit the PNGs; the build only uses the committed files.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" kelvane.svg --output "kelvane-$size.png"
done
