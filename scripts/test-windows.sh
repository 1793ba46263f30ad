#!/usr/bin/env bash
# Tests the Windows build under Wine on a virtual display, after building it
# (build-windows.sh, incremental):
#  - the package as a pilot unzips it, with nothing but the DLLs it carries:
#    kalyx-cli.exe runs the demo road on the shipped database (start-up checks,
#    import of the sample plan, calculation, legs, NVU cell, I-21 list, flight
#    plan, route sheet PDF, route map PNG), and the NVU cell, the I-21 list and
#    the flight plan are byte for byte those the Linux kalyx-cli writes from the
#    same database and FS9 folder, the printed texts the same but for line ends;
#    The Windows copy's program folder has a Cyrillic name with a blank, as a
#    pilot's desktop has (C:\users\Пилот\Desktop\Kalyx 2.3\);
#  - in a console window with the code page of a Russian cmd.exe (866), the
#    program's Russian and a Cyrillic argument read as typed;
#  - the executables carry their icon, version information and manifest;
#  - the installer installs silently into %LOCALAPPDATA%\Programs\Kalyx, the
#    demo road runs from the installed copy, an install over it and the
#    uninstaller leave the pilot's database and kalyx.ini as they were;
#  - kalyx.exe starts on such a folder and shows its route list (a screenshot of
#    the virtual display in build-win/test-windows/kalyx.png);
#  - with --suite, every test executable too, run by CTest under Wine.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=windows-env.sh
source "$here/windows-env.sh"
kx_find_toolchain
root="$kx_root"
suite=false
case "${1:-}" in
    "") ;;
    --suite) suite=true ;;
    *) echo "Usage: test-windows.sh [--suite]" >&2; exit 2 ;;
esac

if $suite; then
    "$here/build-windows.sh" --tests
else
    "$here/build-windows.sh"
fi
echo "== kalyx-cli for this machine"
cmake --build "$root/build" --target kalyx-cli kx_map_data -j"$(nproc)" >/dev/null
linux_cli="$root/build/bin/kalyx-cli"
package=$(find "$kx_win_build/package" -mindepth 1 -maxdepth 1 -type d -name 'Kalyx-*-win64')
work="$kx_win_build/test-windows"
rm -rf "$work"
mkdir -p "$work"

kx_wine_package_env
kx_wine_prefix
kx_xvfb_pid=""
cleanup() {
    "$(dirname "$kx_wine")/wineserver" -k 2>/dev/null || true
    [ -z "$kx_xvfb_pid" ] || kill "$kx_xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

passes=0
failures=0
pass() {
    echo "ok: $*"
    passes=$((passes + 1))
}
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A program folder: the package's database and layout, a copy of the demo FS9
# folder, and kalyx.ini naming it (the given text is the folder as the program
# writes it, with its trailing separator).
prepare() {
    local folder="$1" fs_path="$2" plans_path="$3"
    mkdir -p "$folder"
    cp "$package/kalyxdb.kdb" "$package/pp.fr3" "$folder/"
    cp -r "$root/data/fs9" "$folder/FS9"
    printf '[SETUP]\r\nFSPath=%s\r\nPLNPath=%s\r\nL_RSBN=300\r\n' "$fs_path" "$plans_path" > "$folder/kalyx.ini"
}
winpath() { kx_winpath "$1"; }

# The demo road through one kalyx-cli: road NAME FOLDER PATH-STYLE CLI...
# (PATH-STYLE "linux" or "windows": how file arguments are written). Its
# printed text goes to NAME.out, its messages to NAME.err.
road() {
    local name="$1" folder="$2" style="$3"
    shift 3
    local -a cli=("$@")
    local out="$work/$name.out" err="$work/$name.err"
    : > "$out"
    : > "$err"
    path_arg() { if [ "$style" = windows ]; then kx_winpath "$1"; else printf '%s' "$1"; fi; }
    step() {
        if ! "${cli[@]}" "$@" >> "$out" 2>> "$err"; then
            cat "$err" >&2
            echo "FAIL: $name kalyx-cli $*" >&2
            return 1
        fi
    }
    echo "== demo road with the $name kalyx-cli"
    step status || return 1
    step import "$(path_arg "$root/data/plans/UUEE-URSS.PLN")" || return 1
    local route
    route=$(tail -n 1 "$out" | tr -d '\r')
    step calc "$route" || return 1
    step legs "$route" || return 1
    step export-nvu "$route" 1 || return 1
    step export-i21 "$route" || return 1
    step export-pln "$route" "$(path_arg "$folder/UUEE-URSS (by Kalyx).PLN")" || return 1
    step report "$route" "$(path_arg "$folder/UUEE-URSS.pdf")" || return 1
    step map "$route" "$(path_arg "$folder/UUEE-URSS.png")" || return 1
}

linux="$work/linux"
windows="$work/Пилот/Kalyx 2.3"
prepare "$linux" "$linux/FS9/" "$root/data/plans/"
prepare "$windows" "$(winpath "$windows/FS9")\\" "$(winpath "$root/data/plans")\\"
if road linux "$linux" linux "$linux_cli" --dir "$linux"; then
    pass "the demo road with the Linux kalyx-cli"
else
    fail "the demo road with the Linux kalyx-cli"
fi
# As on Windows itself: no X display (the program must not ask for one) and only
# the package's own DLLs and plugins.
if (unset DISPLAY; road windows "$windows" windows "$kx_wine" "$package/kalyx-cli.exe" --dir "$(winpath "$windows")"); then
    pass "the demo road with kalyx-cli.exe"
else
    fail "the demo road with kalyx-cli.exe"
fi
# Wine's session started without a display stays without one while its server
# lives: the windows below need a new one.
wineserver="$(dirname "$kx_wine")/wineserver"
timeout 60 "$wineserver" -w || "$wineserver" -k

echo "== the same bytes"
for file in "FS9/Gauges/Tu154_cfg/nvu_dat_1.dat" "FS9/Gauges/i21_cfg/I21_PPM.CFG" "UUEE-URSS (by Kalyx).PLN"; do
    if [ ! -s "$linux/$file" ]; then
        fail "the Linux kalyx-cli wrote no $file"
    elif cmp "$linux/$file" "$windows/$file"; then
        pass "the same bytes: $file"
    else
        fail "$file differs"
    fi
done
# The printed texts: the same lines but for the program folder's name and
# separators (Windows ends them with CR LF).
FOLDER="$linux" perl -pe 's/\Q$ENV{FOLDER}\E/FOLDER/g' "$work/linux.out" > "$work/linux.txt"
FOLDER="$(winpath "$windows")" perl -pe 's/\r$//; s/\Q$ENV{FOLDER}\E/FOLDER/g; tr|\\|/|' "$work/windows.out" \
    > "$work/windows.txt"
if diff "$work/linux.txt" "$work/windows.txt"; then
    pass "the same printed texts ($(wc -l < "$work/linux.txt") lines)"
else
    fail "the printed texts differ"
fi
for file in UUEE-URSS.pdf UUEE-URSS.png; do
    if [ -s "$windows/$file" ]; then
        pass "written by kalyx-cli.exe: $file ($(stat -c %s "$windows/$file") bytes)"
    else
        fail "kalyx-cli.exe wrote no $file"
    fi
done

echo "== Russian in a console window (cmd.exe, code page 866)"
# Under a terminal Wine gives a program a console of its own; chcp sets its
# code page as a Russian Windows has it. Bytes written to such a console are
# read in that code page, so UTF-8 would come out as garbage; characters come
# out as they are. The Cyrillic folder name is typed on cmd's command line.
cli_exe=$(winpath "$package/kalyx-cli.exe")
printf '%q ' "$kx_wine" cmd /c chcp 866 '>nul' '&' "$cli_exe" --dir "$(winpath "$windows")" legs 999 \
    '&' "$cli_exe" --dir "$(winpath "$windows")" status > "$work/console.sh"
(unset DISPLAY; script -qec "bash $(printf '%q' "$work/console.sh")" /dev/null) < /dev/null > "$work/console.txt" 2>&1 || true
"$wineserver" -w
if grep -q "Маршрут 999 не найден" "$work/console.txt" && grep -q "program folder: .*Пилот.Kalyx 2.3" "$work/console.txt"; then
    pass "Russian reads right in a console window of code page 866"
else
    cat "$work/console.txt" >&2
    fail "the console window shows no readable Russian"
fi

echo "== what the executables carry"
# Debian's own Python, which has python3-pefile.
if /usr/bin/python3 "$here/windows-resources.py" "$package/kalyx.exe" "$package/kalyx-cli.exe"; then
    pass "icon, version information and manifest in kalyx.exe and kalyx-cli.exe"
else
    fail "the executables lack their icon, version information or manifest"
fi

echo "== the installer"
setup=$(find "$kx_win_build" -maxdepth 1 -name 'Kalyx-*-setup.exe')
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData"
installed="$appdata/Local/Programs/Kalyx"
shortcut="$appdata/Roaming/Microsoft/Windows/Start Menu/Programs/Kalyx - Трасмер.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalyx'
rm -rf "$installed"
"$kx_wine" "$setup" /S
"$wineserver" -w
if [ -f "$installed/kalyx.exe" ] && [ -f "$installed/kalyx-cli.exe" ] && [ -f "$installed/kalyxdb.kdb" ] \
    && [ -f "$installed/platforms/qwindows.dll" ] && [ -f "$installed/uninstall.exe" ] && [ -f "$shortcut" ] \
    && "$kx_wine" reg query "$uninstall_key" /v DisplayVersion >/dev/null 2>&1; then
    pass "installed without administrator rights into $installed, with its Start menu shortcut"
else
    fail "the installer did not install the program into $installed"
fi
# A pilot's settings, as the first start writes them, and the demo road from
# the installed copy on its own database.
cp -r "$root/data/fs9" "$work/installed FS9"
printf '[SETUP]\r\nFSPath=%s\\\r\nPLNPath=\r\nL_RSBN=300\r\n' "$(winpath "$work/installed FS9")" > "$installed/kalyx.ini"
mkdir -p "$work/installed-out"
if (unset DISPLAY; road installed "$work/installed-out" windows "$kx_wine" "$installed/kalyx-cli.exe"); then
    pass "the demo road with the installed kalyx-cli.exe"
else
    fail "the demo road with the installed kalyx-cli.exe"
fi
"$wineserver" -w
mine=$(cd "$installed" && sha1sum kalyxdb.kdb kalyx.ini pp.fr3)
"$kx_wine" "$setup" /S
"$wineserver" -w
if [ "$(cd "$installed" && sha1sum kalyxdb.kdb kalyx.ini pp.fr3)" = "$mine" ] && [ -f "$installed/kalyx.exe" ]; then
    pass "an install over it keeps the pilot's database, kalyx.ini and layout"
else
    fail "an install over it changed the pilot's files"
fi
"$kx_wine" "$installed/uninstall.exe" /S
"$wineserver" -w
sleep 2 # the uninstaller runs from a copy of itself, which ends after it
"$wineserver" -w
if [ ! -e "$installed/kalyx.exe" ] && [ ! -e "$installed/uninstall.exe" ] && [ ! -e "$installed/platforms" ] \
    && [ ! -e "$shortcut" ] && ! "$kx_wine" reg query "$uninstall_key" >/dev/null 2>&1 \
    && [ "$(cd "$installed" && sha1sum kalyxdb.kdb kalyx.ini pp.fr3)" = "$mine" ]; then
    pass "the uninstaller removes the program and leaves the pilot's files: $(cd "$installed" && echo *)"
else
    ls -la "$installed" >&2 || true
    fail "the uninstaller left the program or took the pilot's files"
fi

echo "== kalyx.exe on a virtual display"
kx_virtual_display
gui="$work/gui"
prepare "$gui" "$(winpath "$gui/FS9")\\" "$(winpath "$root/data/plans")\\"
"$kx_wine" "$package/kalyx.exe" --dir "$(winpath "$gui")" > "$work/gui.log" 2>&1 &
shown=false
for _ in $(seq 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Kalyx - Трасмер'; then
        shown=true
        break
    fi
    sleep 0.5
done
if $shown; then
    sleep 3 # the first paint
    import -window root "$work/kalyx.png"
    colours=$(convert "$work/kalyx.png" -format %k info:)
    xwininfo -root -tree | grep '"Kalyx - Трасмер' | sed 's/^ *//'
    if [ "$colours" -gt 8 ]; then
        pass "kalyx.exe shows its window: $work/kalyx.png ($colours colours)"
    else
        fail "the window shows nothing ($colours colours in $work/kalyx.png)"
    fi
else
    cat "$work/gui.log" >&2
    fail "kalyx.exe showed no main window within a minute"
fi

if $suite; then
    echo "== the test executables under Wine"
    "$wineserver" -k
    timeout 60 "$wineserver" -w || true
    kx_wine_env
    # One at a time: the tests share one virtual display, and a window of one
    # test would take the keyboard focus from another's.
    if ctest --test-dir "$kx_win_build" --output-on-failure -j1; then
        pass "the test executables under Wine"
    else
        fail "the test executables under Wine"
    fi
fi

echo "windows: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
