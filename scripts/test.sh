#!/usr/bin/env bash
# Builds (incrementally) and runs every test with CTest on Qt's offscreen platform.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
