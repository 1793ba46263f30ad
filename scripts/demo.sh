#!/usr/bin/env bash
# Installs what the build needs, builds, and runs Kalyx on the bundled demo.
# With a display: the program's window on the demo program folder build/demo
# (the shipped database, kalyx.ini pointing at a copy of the demo FS9 folder;
# what you change there stays for the next run). Without a display: the whole
# road headless through kalyx-cli on a fresh folder build/demo-cli: start-up
# checks, import of the sample flight plan, calculation, the legs, an NVU cell,
# the I-21 list, a flight plan, the printed route sheet and the route's map,
# then the route for X-Plane (.fms, the PA-3 tablet's plan) and FlightGear.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# Only what the demo runs: the two programs and the files they keep beside
# themselves (the tests are built by test.sh).
"$root/scripts/build.sh" kalyx kalyx-cli kx_shipped_database kx_report_layout kx_map_data

bin="$root/build/bin"
plan="$root/data/plans/UUEE-URSS.PLN"

# A program folder: the shipped database and layout, a copy of the demo FS9
# folder, and kalyx.ini pointing at it.
prepare() {
    local folder="$1"
    mkdir -p "$folder"
    [ -e "$folder/kalyxdb.kdb" ] || cp "$bin/kalyxdb.kdb" "$folder/"
    [ -e "$folder/pp.fr3" ] || cp "$bin/pp.fr3" "$folder/"
    [ -d "$folder/FS9" ] || cp -r "$root/data/fs9" "$folder/FS9"
    [ -e "$folder/kalyx.ini" ] || printf '[SETUP]\r\nFSPath=%s/\r\nPLNPath=%s/\r\nL_RSBN=300\r\n' \
        "$folder/FS9" "$root/data/plans" > "$folder/kalyx.ini"
}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    prepare "$root/build/demo"
    exec "$bin/kalyx" --dir "$root/build/demo"
fi

demo="$root/build/demo-cli"
rm -rf "$demo"
prepare "$demo"
cli=("$bin/kalyx-cli" --dir "$demo")
echo "== start-up checks"
"${cli[@]}" status
echo "== import $plan"
route=$("${cli[@]}" import "$plan")
echo "route $route"
"${cli[@]}" routes
echo "== calculate route $route"
"${cli[@]}" calc "$route"
echo "== legs of route $route"
"${cli[@]}" legs "$route"
echo "== exports"
"${cli[@]}" export-nvu "$route" 1
"${cli[@]}" export-i21 "$route"
"${cli[@]}" export-pln "$route" "$demo/UUEE-URSS (by Kalyx).PLN"
"${cli[@]}" report "$route" "$demo/UUEE-URSS.pdf"
"${cli[@]}" map "$route" "$demo/UUEE-URSS.png"
echo "== for X-Plane's Tu-154B2 and FlightGear's Tu-154B"
"${cli[@]}" export-fms "$route" "$demo/UUEE-URSS.fms"
"${cli[@]}" export-fg "$route" "$demo/UUEE-URSS.xml"
"${cli[@]}" export-pa3 "$route" "$demo/fpln.json"
echo "== the X-Plane plan imported again"
"${cli[@]}" import "$demo/UUEE-URSS.fms"
echo "== written"
ls -l "$demo/FS9/Gauges/Tu154_cfg/nvu_dat_1.dat" "$demo/FS9/Gauges/i21_cfg/I21_PPM.CFG" \
      "$demo/UUEE-URSS (by Kalyx).PLN" "$demo/UUEE-URSS.pdf" "$demo/UUEE-URSS.png" \
      "$demo/UUEE-URSS.fms" "$demo/UUEE-URSS.xml" "$demo/fpln.json"
