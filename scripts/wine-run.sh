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
#
# The program's own output goes to a file too: the Wine server and the
# services that the first program of a Wine session starts stay behind and
# would hold CTest's pipe open, so that CTest would wait for its end until the
# test's time runs out, long after the test itself has ended.
program="$1"
if [[ "$(basename "$program")" == tst_*.exe ]] && [[ " $* " != *" -o "* ]]; then
    log=$(mktemp --suffix=.txt)
    output=$(mktemp --suffix=.out)
    status=0
    "$kx_wine" "$@" -o "$(kx_winpath "$log"),txt" < /dev/null > "$output" 2>&1 || status=$?
    cat "$output" "$log"
    rm -f "$log" "$output"
    exit "$status"
fi
exec "$kx_wine" "$@"
