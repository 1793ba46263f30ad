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

# A Qt Test program's log does not always reach a pipe under Wine: it writes it
# to a file, shown here when the program ends.
program="$1"
if [[ "$(basename "$program")" == tst_*.exe ]] && [[ " $* " != *" -o "* ]]; then
    log=$(mktemp --suffix=.txt)
    status=0
    "$kx_wine" "$@" -o "$(kx_winpath "$log"),txt" || status=$?
    cat "$log"
    rm -f "$log"
    exit "$status"
fi
exec "$kx_wine" "$@"
