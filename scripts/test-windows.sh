#!/usr/bin/env bash
# Cross-builds the engines, parvix-cli and their tests for Windows into build-win/ (or $WIN_BUILD_DIR)
# with MinGW-w64 and runs the tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WIN_BUILD_DIR:-build-win}
mkdir -p "$build/wine-home" "$build/wine-prefix"

# Wine keeps its prefix and home inside the build tree, quiet and without desktop integration.
export WINEPREFIX=$PWD/$build/wine-prefix
export HOME=$PWD/$build/wine-home
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
# Wine takes its code pages and the encoding of command lines from the locale: keep them the same everywhere.
export LC_ALL=C.UTF-8

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DPARVIX_BUILD_GUI=OFF "$@" >/dev/null
cmake --build "$build" -j2

# One wineserver for the whole run: every test program starts in a fraction of the time. Wine's
# background services start with the first program; start them here, away from ctest's output pipes,
# which they would otherwise hold open after the test has ended.
wineserver -p
trap 'wineserver -k || true' EXIT
wineboot --init </dev/null >/dev/null 2>&1
# The tests labelled LARGE write gigabytes, which takes Wine minutes; PARVIX_WINE_LARGE=1 runs them too.
skip=(-LE LARGE)
[ "${PARVIX_WINE_LARGE:-0}" = 1 ] && skip=()
ctest --test-dir "$build" --output-on-failure -j2 "${skip[@]}"
