#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
packages=$(grep -v '^\s*#' "$here/debian-packages.txt" | grep -v '^\s*$' | tr '\n' ' ')
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update
# shellcheck disable=SC2086
$sudo_cmd apt-get install -y --no-install-recommends $packages
