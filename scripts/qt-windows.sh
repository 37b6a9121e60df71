#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows (MinGW-w64) from Debian's source of the installed Qt: Core, Gui,
# Widgets, Test and the windows and offscreen platform plugins, nothing else. Built once per Qt version
# and recipe into a cache outside the tree ($PARVIX_QT_CACHE, else ~/.cache/parvix), reused when there.
# Prints the Qt prefix on its last line of output.
#
# About 65 CPU-minutes (half an hour on two idle cores) and 2 GB of scratch space; 105 MB stay in the cache.
set -euo pipefail
# Read whole before it runs: bash reads a script as it goes, and this one runs long enough for the
# file to change under it (a checkout, an edit).
{
cd "$(dirname "$0")/.."
tree=$PWD

# The cross-built Qt runs its moc, rcc and uic from the host's Qt, which must be the very same version.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
cache=${PARVIX_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvix}

options=(
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    # Modules the window and its tests do not use.
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_openssl=OFF -DFEATURE_icu=OFF -DFEATURE_direct2d=OFF -DFEATURE_gif=OFF
    # Debian's source has no wintab.h; the windows plugin needs dynamicgl off when opengl is, and
    # directwrite3 off with direct2d, whose font database Gui then leaves out.
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_directwrite3=OFF
    # Qt's own copies of its libraries: MinGW-w64's zlib in Debian would bring a DLL along, and the
    # host's pkg-config knows only Linux libraries.
    -DFEATURE_pkg_config=OFF -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_md4c=OFF
    # The tests use QtTest; its small module is built too.
    -DFEATURE_testlib=ON
)
recipe=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-8)
prefix=$cache/qt-$version-mingw64-static-$recipe

if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache"
# One build at a time; a second run waits and then finds the first one's result.
exec 9>"$cache/.qt-build.lock"
flock 9
if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "$prefix"
    exit 0
fi
# Scratch folders of builds that were killed before they could clean up.
rm -rf "$cache"/.qt-build.*/

scripts/deb-src.sh

# Everything is built in a scratch folder beside the cache and moved into place in one rename, so an
# interrupted build never leaves something that looks like a finished Qt. (Qt's installed CMake files
# find their prefix relative to themselves, so the moved tree works.)
work=$(mktemp -d "$cache/.qt-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
log=$work/build.log
echo "Building Qt $version for Windows into $prefix (log: $log)" >&2
start=$SECONDS
run() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "qt-windows.sh: failed: $*" >&2
        exit 1
    fi
}
(cd "$work" && run apt-get source --download-only "qt6-base=$version" && run dpkg-source -x qt6-base_*.dsc src)
run cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$work/install" "${options[@]}"
run cmake --build "$work/build" -j2
run cmake --install "$work/build"
mv -T "$work/install" "$prefix"
# Builds for another Qt version or recipe are no longer used.
for old in "$cache"/qt-*-mingw64-static-*; do
    [ "$old" = "$prefix" ] || rm -rf "$old"
done
echo "Built Qt for Windows in $((SECONDS - start)) s" >&2
echo "$prefix"
exit
}
