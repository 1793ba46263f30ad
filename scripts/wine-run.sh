#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: wine-run.sh PROGRAM.exe ARGS...
# CTest runs every Windows test through it (the build's cross-compiling emulator).
# Windows need an X display: test-windows.sh starts a virtual one.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=windows-env.sh
source "$here/windows-env.sh"
kx_find_toolchain
kx_wine_env
kx_wine_prefix
exec "$kx_wine" "$@"
