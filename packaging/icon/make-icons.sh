#!/usr/bin/env bash
# Renders the program's icon from kalyx.svg into the PNGs the program shows at
# its windows' titles (and a Linux desktop shows for kalyx.desktop) and the
# Windows icon file kalyx.ico that the executables carry. The results are
# committed beside this script, so the build needs neither tool; run it again
# after changing the drawing (Debian: librsvg2-bin for rsvg-convert, icoutils
# for icotool).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sizes=(16 24 32 48 64 128 256)
pngs=()
for size in "${sizes[@]}"; do
    rsvg-convert -w "$size" -h "$size" "$here/kalyx.svg" -o "$here/kalyx-$size.png"
    pngs+=("$here/kalyx-$size.png")
done
# Windows shows the small sizes from bitmaps and the largest from PNG.
icotool -c -o "$here/kalyx.ico" "${pngs[@]:0:6}" -r "$here/kalyx-256.png"
echo "written: ${pngs[*]##*/} kalyx.ico"
