#!/usr/bin/env bash
# Cross-builds the whole project for Windows into build-win/ (or $WIN_BUILD_DIR) with MinGW-w64 and a
# static Qt built from Debian's source (scripts/qt-windows.sh, cached outside the tree), and runs every
# test under Wine: the engines', parvix-cli's, the window's and the directory chooser's, the window
# program itself on Xvfb, and the installer that cpack makes (build-win/parvix-VERSION-setup.exe, with
# the portable parvix-VERSION-win64.zip beside it). The preset ("windows" unless named; test.sh names
# "windows-test") and the options after it go to cmake.
# usage: scripts/test-windows.sh [PRESET] [-DOPTION=VALUE]...
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WIN_BUILD_DIR:-build-win}
preset=windows
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    preset=$1
    shift
fi

# First, while HOME is still the user's: the caches of Qt and GF-Complete live there. The preset finds
# Qt's toolchain file through PARVIX_QT_PREFIX and GF-Complete through PARVIX_GF_COMPLETE_DIR.
qt=$(scripts/qt-windows.sh | tail -n 1)
export PARVIX_QT_PREFIX=$qt
export PARVIX_GF_COMPLETE_DIR=$(scripts/gf-complete-windows.sh | tail -n 1)
toolchain=$qt/lib/cmake/Qt6/qt.toolchain.cmake
# A tree configured for another Qt, or for none, starts afresh: CMake never changes its toolchain.
if [ -f "$build/CMakeCache.txt" ] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi

mkdir -p "$build/wine-home" "$build/wine-prefix"
# Wine keeps its prefix and home inside the build tree, quiet and without desktop integration.
export WINEPREFIX=$PWD/$build/wine-prefix
export HOME=$PWD/$build/wine-home
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
# Wine takes its code pages and the encoding of command lines from the locale: keep them the same everywhere.
export LC_ALL=C.UTF-8

# Qt's toolchain file finds Qt and hands the compilers over to ours.
BUILD_DIR=$build scripts/build.sh "$preset" "$@"

# An X server for the whole run: Wine's desktop process starts with the first program and keeps the
# display it found, so the window program's run on Xvfb needs it from the start. The other tests draw
# offscreen.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/xvfb-display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -s "$build/xvfb-display" ] && break
    sleep 0.1
done
[ -s "$build/xvfb-display" ] || { echo "test-windows.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$build/xvfb-display")

# One wineserver for the whole run: every test program starts in a fraction of the time. Wine's
# background services start with the first program; start them here, away from ctest's output pipes,
# which they would otherwise hold open after the test has ended.
# A server that an earlier run left behind in this prefix would refuse a second one.
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k || true; kill "$xvfb" 2>/dev/null || true' EXIT
wineboot --init </dev/null >/dev/null 2>&1
# The tests labelled LARGE write gigabytes, which takes Wine minutes; PARVIX_WINE_LARGE=1 runs them too.
# Either preset runs one test at a time (see CMakePresets.json).
tests=windows
[ "${PARVIX_WINE_LARGE:-0}" = 1 ] && tests=windows-large
ctest --preset "$tests" --test-dir "$build"
