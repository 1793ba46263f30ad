#!/usr/bin/env bash
# Configures and builds into build/ (incremental when build/ exists): every
# target, or only the targets named on the command line.
# KX_WERROR=ON in the environment makes every compiler warning an error (CI).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_WERROR="${KX_WERROR:-OFF}"
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build "$root/build" "${targets[@]}" -j"$(nproc)"
