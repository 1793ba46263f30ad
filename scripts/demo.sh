#!/usr/bin/env bash
# Installs what the build needs, builds, and runs Kalyx on the bundled demo:
# a demo program folder build/demo (the shipped database, kalyx.ini pointing at
# a copy of the demo FS9 folder). With a display the program's window opens;
# without one the same demo runs headless through kalyx-cli.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

bin="$root/build/bin"
demo="$root/build/demo"
mkdir -p "$demo"
# Never overwrite what an earlier demo run changed.
[ -e "$demo/kalyxdb.kdb" ] || cp "$bin/kalyxdb.kdb" "$demo/"
[ -e "$demo/pp.fr3" ] || { [ -e "$bin/pp.fr3" ] && cp "$bin/pp.fr3" "$demo/"; } || true
[ -d "$demo/FS9" ] || cp -r "$root/data/fs9" "$demo/FS9"
[ -e "$demo/kalyx.ini" ] || printf '[SETUP]\r\nFSPath=%s/\r\nPLNPath=%s/\r\nL_RSBN=300\r\n' \
    "$demo/FS9" "$root/data/plans" > "$demo/kalyx.ini"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/kalyx" --dir "$demo"
fi

cli=("$bin/kalyx-cli" --dir "$demo")
echo "== start-up checks"
"${cli[@]}" status
echo "== routes"
"${cli[@]}" routes
route=$("${cli[@]}" routes | awk -F'\t' '$2 == "UUEE-URSS" { print $1; exit }')
echo "== calculate route $route (UUEE-URSS)"
"${cli[@]}" calc "$route"
echo "== legs of route $route"
"${cli[@]}" legs "$route"
