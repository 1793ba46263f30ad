#!/usr/bin/env bash
# Cross-builds Kalyx for Windows x86-64 with MinGW-w64 against the prebuilt Qt for
# Windows (see windows-env.sh for where it is looked for) into build-win/ (Release,
# incremental), and packages the program as a folder a pilot unzips anywhere and runs:
#   build-win/package/Kalyx-<version>-win64/  and  build-win/Kalyx-<version>-win64.zip
# The shipped database is made by kalyx-mkdb built for this machine (build/tools-bin),
# from the same sources, never by hand.
#
#   build-windows.sh            the program: kalyx.exe and kalyx-cli.exe, and the package
#   build-windows.sh --tests    the test executables too (run under Wine by test-windows.sh --suite)
# KX_WERROR=ON in the environment makes every compiler warning an error (CI).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=windows-env.sh
source "$here/windows-env.sh"
kx_find_toolchain
root="$kx_root"
win="$kx_win_build"
targets=(kalyx kalyx-cli)
case "${1:-}" in
    "") ;;
    --tests) targets+=(kx_tests) ;;
    *) echo "Usage: build-windows.sh [--tests]" >&2; exit 2 ;;
esac

"$here/install-deps.sh" debian-packages.txt debian-packages-windows.txt

echo "== kalyx-mkdb for this machine"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_WERROR="${KX_WERROR:-OFF}" >/dev/null
cmake --build "$root/build" --target kalyx-mkdb -j"$(nproc)"
mkdb="$root/build/tools-bin/kalyx-mkdb"

echo "== Windows build in $win: ${targets[*]}"
# CTest runs the Windows tests under Wine, through wine-run.sh.
"$kx_qt/bin/qt-cmake" -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DSQLite3_INCLUDE_DIR="$kx_qt/include" -DSQLite3_LIBRARY="$kx_qt/lib/libsqlite3.dll.a" \
    -DKX_HOST_MKDB="$mkdb" -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" \
    -DKX_WERROR="${KX_WERROR:-OFF}" >/dev/null
cmake --build "$win" --target "${targets[@]}" -j"$(nproc)"

version=$(sed -n 's/^project(Kalyx VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="Kalyx-$version-win64"
package="$win/package/$name"
echo "== package $package"
rm -rf "$win/package" "$win/$name.zip"
mkdir -p "$package"

cp "$win/bin/kalyx.exe" "$win/bin/kalyx-cli.exe" "$package/"

# The DLLs the executables and plugins load, found by walking their imports through
# the toolchain's and the compiler's folders; what is in neither is Windows' own.
dll_folders=("$kx_qt/bin" "${kx_mingw_runtime[@]}")
find_dll() {
    local folder
    for folder in "${dll_folders[@]}"; do
        if [ -f "$folder/$1" ]; then
            echo "$folder/$1"
            return
        fi
    done
}
deploy_imports() {
    local file dll source
    for file in "$@"; do
        for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
            [ -e "$package/$dll" ] && continue
            source=$(find_dll "$dll")
            [ -n "$source" ] || continue
            cp "$source" "$package/"
            deploy_imports "$package/$dll"
        done
    done
}
# The Windows platform, the SQLite driver and the native style. No image format
# plugin: the program reads no pictures, and writes PNG, which Qt has built in.
for plugin in platforms/qwindows.dll sqldrivers/qsqlite.dll styles/qwindowsvistastyle.dll; do
    mkdir -p "$package/$(dirname "$plugin")"
    cp "$kx_qt/plugins/$plugin" "$package/$plugin"
done
deploy_imports "$package"/*.exe "$package"/*/*.dll
# Without their debugging sections the DLLs take a third of the room.
x86_64-w64-mingw32-strip --strip-unneeded "$package"/*.exe "$package"/*.dll "$package"/*/*.dll

# Qt's own texts (standard buttons, dialogs) in Russian: Debian's translation of
# the same Qt version, loaded from translations/ beside the executable.
mkdir -p "$package/translations"
cp /usr/share/qt6/translations/qtbase_ru.qm "$package/translations/"

# The database, the route sheet's layout and the map's base layers.
cmake -DMKDB="$mkdb" -DOUTPUT="$package/kalyxdb.kdb" -DCATALOGUE="$root/data/catalogue" \
    -DFS="$root/data/fs9" -DPLANS="$root/data/plans" -P "$root/data/ShipDatabase.cmake"
cp "$root/reports/pp.fr3" "$root/data/map/kalyxmap.dat" "$package/"

# The README with the version as the About window gives it ("2.3 beta"); Notepad
# reads it as UTF-8 by its byte order mark, with Windows line ends.
shown_version=$(sed -n 's/.*kVersionText\[\] = u"\(.*\)";/\1/p' "$root/shell/Version.h")
crlf() { sed 's/\r\?$/\r/' "$@"; }
{ printf '\xef\xbb\xbf'; sed "s/@VERSION@/$shown_version/g" "$root/packaging/windows/README.txt" | crlf; } \
    > "$package/README.txt"

# Every notice the bundled parts require.
lic="$package/licenses"
mkdir -p "$lic/Qt" "$lic/SQLite" "$lic/GeographicLib" "$lic/MinGW-w64" "$lic/data"
cp "$kx_qt/share/doc/Qt/LGPL-3.0-only.txt" "$kx_qt/share/doc/Qt/GPL-3.0-only.txt" "$lic/Qt/"
crlf "$root/packaging/windows/Qt-SOURCE.txt" > "$lic/Qt/SOURCE.txt"
[ -f "$kx_qt/../build-qt-mingw64.sh" ] && cp "$kx_qt/../build-qt-mingw64.sh" "$lic/Qt/"
# The parts of other authors inside Qt's DLLs (zlib, libpng, FreeType, HarfBuzz,
# PCRE2, ...) and Qt's translations, with their licences: Debian's record of the
# same sources.
cp /usr/share/doc/libqt6core6/copyright "$lic/Qt/qtbase-copyright.txt"
cp /usr/share/doc/qt6-translations-l10n/copyright "$lic/Qt/qttranslations-copyright.txt"
cp "$kx_qt/share/doc/sqlite-LICENSE.md" "$lic/SQLite/LICENSE.md"
cp "$kx_qt/share/doc/GeographicLib/LICENSE.txt" "$lic/GeographicLib/"
cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$lic/MinGW-w64/gcc-runtime-copyright.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$lic/MinGW-w64/mingw-w64-copyright.txt"
for part in catalogue fs9 plans map; do
    cp "$root/data/$part/SOURCES.md" "$lic/data/$part-SOURCES.md"
done
cp "$root/data/catalogue/gpl/README.md" "$lic/data/catalogue-gpl-README.md"
cp "$root/data/catalogue/gpl/COPYING" "$lic/data/catalogue-gpl-COPYING.txt"

(cd "$win/package" && zip -qr -X "../$name.zip" "$name")
echo "== written $win/$name.zip ($(du -h "$win/$name.zip" | cut -f1))"

# The installer beside the zip (packaging/windows/kalyx.nsi): the lists of the
# program's own files it installs and removes again, made from the package;
# the person's files (kalyxdb.kdb, pp.fr3) the script names itself.
lists="$win/installer"
rm -rf "$lists"
mkdir -p "$lists"
{
    (cd "$package" && find . -type d | sort) | while read -r folder; do
        folder="${folder#./}"
        [ "$folder" = "." ] && folder=""
        echo "SetOutPath \"\$INSTDIR${folder:+\\${folder//\//\\}}\""
        (cd "$package" && find "./$folder" -mindepth 1 -maxdepth 1 -type f | sort) | while read -r file; do
            file="${file#./}"
            case "$file" in kalyxdb.kdb | pp.fr3) continue ;; esac
            echo "File \"$package/$file\""
        done
    done
} > "$lists/install-files.nsh"
{
    (cd "$package" && find . -type f | sort) | while read -r file; do
        file="${file#./}"
        case "$file" in kalyxdb.kdb | pp.fr3) continue ;; esac
        echo "Delete \"\$INSTDIR\\${file//\//\\}\""
    done
    (cd "$package" && find . -mindepth 1 -type d | sort -r) | while read -r folder; do
        folder="${folder#./}"
        echo "RMDir \"\$INSTDIR\\${folder//\//\\}\""
    done
} > "$lists/uninstall-files.nsh"
setup="$win/$name-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DPACKAGE="$package" -DFILES="$lists" -DVERSION="$version" \
    -DSHOWN_VERSION="$shown_version" -DOUTFILE="$setup" -DICON="$root/packaging/icon/kalyx.ico" \
    "$root/packaging/windows/kalyx.nsi"
echo "== written $setup ($(du -h "$setup" | cut -f1))"
