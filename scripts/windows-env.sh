# Sourced by the Windows scripts (build-windows.sh, test-windows.sh, wine-run.sh):
# where the Windows toolchain is, and how Windows programs run here under Wine.
#
#   KALYX_QT_MINGW   Qt 6.4.2 for MinGW-w64 (default: ../shared/toolchains/qt-6.4.2-mingw64
#                    beside the repository)
#   KALYX_WIN_BUILD  the Windows build folder (default: build-win in the repository)

kx_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kx_win_build="${KALYX_WIN_BUILD:-$kx_root/build-win}"
# The MinGW-w64 runtime DLLs (libstdc++, libgcc, winpthread) of Debian's compiler.
kx_mingw_runtime=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
kx_wine=/usr/lib/wine/wine64

# Sets kx_qt to the toolchain folder, or explains what to do and fails.
kx_find_toolchain() {
    local candidate
    if [ -n "${KALYX_QT_MINGW:-}" ]; then
        candidate="$KALYX_QT_MINGW"
    else
        candidate="$kx_root/../shared/toolchains/qt-6.4.2-mingw64"
    fi
    if [ ! -x "$candidate/bin/qt-cmake" ]; then
        cat >&2 <<EOF
No Qt 6.4.2 for Windows (MinGW-w64) at $candidate.
The Windows build needs the prebuilt toolchain folder qt-6.4.2-mingw64 (Qt, SQLite and
GeographicLib cross-built for Windows). Either
  - put the project's shared folder beside the repository, so that
    ../shared/toolchains/qt-6.4.2-mingw64 exists, or
  - set KALYX_QT_MINGW to a folder holding it, or
  - make one: run shared/toolchains/build-qt-mingw64.sh as root on Debian 12 (about 30 minutes;
    its README tells how it is made) and point KALYX_QT_MINGW at the folder it writes.
EOF
        return 1
    fi
    kx_qt="$(cd "$candidate" && pwd)"
}

# A Windows path to a folder here, for Wine (its drive Z: is the root folder).
kx_winpath() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

# Wine's environment for a Windows program that carries its own DLLs (the
# package): a Wine prefix of the build's own, quiet, without the .NET and HTML
# engines Wine would otherwise offer to install.
kx_wine_package_env() {
    export WINEPREFIX="${KALYX_WINEPREFIX:-$kx_win_build/wine}"
    export WINEARCH=win64
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
    unset WINEPATH
}

# Wine's environment for the programs of the build folder: the toolchain's and
# the compiler's DLLs are found where they are, and Qt finds its plugins beside
# its own DLLs. Wine hands no QT_* variable to a Windows program, so the tests'
# QT_QPA_PLATFORM=offscreen does not reach them: they use the windows platform
# on the (virtual) X display.
kx_wine_env() {
    kx_wine_package_env
    local path dir
    path="$(kx_winpath "$kx_qt/bin")"
    for dir in "${kx_mingw_runtime[@]}"; do
        path="$path;$(kx_winpath "$dir")"
    done
    export WINEPATH="$path"
}

# Makes the Wine prefix when it is missing (the first run takes a minute). Wine's
# own Tahoma (Debian's fonts-wine), the font Windows dialogs name, goes into the
# prefix's font folder: Debian's Wine does not look in /usr/share/wine/fonts by
# itself, and without it the windows fall back to a serif font.
kx_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$kx_wine" wineboot --init >/dev/null 2>&1 || true
        "$(dirname "$kx_wine")/wineserver" -w
    fi
    # The virtual display has no window manager. Wine's windows are made its
    # own (unmanaged): a managed one waits two seconds, each time it is hidden
    # or shown again, for the answer of a window manager that is not there.
    if ! grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
        "$kx_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        "$(dirname "$kx_wine")/wineserver" -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/tahoma.ttf" ] && [ -f /usr/share/wine/fonts/tahoma.ttf ]; then
        mkdir -p "$fonts"
        cp /usr/share/wine/fonts/*.ttf "$fonts/"
    fi
}

# Starts a virtual X display for Wine's windows when none is set; its process
# is kx_xvfb_pid, for the calling script to stop.
kx_virtual_display() {
    [ -z "${DISPLAY:-}" ] || return 0
    local number
    for number in $(seq 90 120); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
    done
    Xvfb ":$number" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
    kx_xvfb_pid=$!
    export DISPLAY=":$number"
    local tries
    for tries in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "The virtual display $DISPLAY did not start" >&2
    return 1
}
