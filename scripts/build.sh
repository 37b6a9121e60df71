#!/usr/bin/env bash
# Configures and builds a preset of CMakePresets.json ("default" when none is named: everything, into
# build/) with Ninja. $BUILD_DIR builds into another folder, $BUILD_TYPE sets another build type; the
# options after the preset go to cmake.
# usage: scripts/build.sh [PRESET] [-DOPTION=VALUE]...
set -euo pipefail
cd "$(dirname "$0")/.."
preset=default
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    preset=$1
    shift
fi
options=()
[ -n "${BUILD_DIR:-}" ] && options+=(-B "$BUILD_DIR")
[ -n "${BUILD_TYPE:-}" ] && options+=("-DCMAKE_BUILD_TYPE=$BUILD_TYPE")
cmake --preset "$preset" "${options[@]}" "$@" >/dev/null
# A build preset knows only its own folder.
if [ -n "${BUILD_DIR:-}" ]; then
    cmake --build "$BUILD_DIR" -j2
else
    cmake --build --preset "$preset"
fi
