#!/usr/bin/env bash
# Installs the Debian packages listed in the given lists beside this script
# (by default debian-packages.txt, the Linux build's; debian-packages-windows.txt
# adds what the Windows build and its tests under Wine need). Nothing is asked of
# the package archive when every package is installed already.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -gt 0 ] || set -- debian-packages.txt
packages=""
for list in "$@"; do
    packages="$packages $(grep -v '^\s*#' "$here/$list" | grep -v '^\s*$' | tr '\n' ' ')"
done
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' || missing="$missing $package"
done
if [ -n "$missing" ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update
    # shellcheck disable=SC2086
    $sudo_cmd apt-get install -y --no-install-recommends $packages
fi
