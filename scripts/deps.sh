#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing; with "window", only
# those that building and running the window program needs.
# usage: scripts/deps.sh [window]
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    # CRC-32 of the check files, and zlib to combine the CRCs of pieces.
    libdeflate-dev zlib1g-dev
    # parvix-cli's command line; its headers serve the Windows cross-build too.
    libcli11-dev
    # PAR2 recovery sets: GF(2^16) arithmetic and MD5.
    libgf-complete-dev libssl-dev
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
    fonts-wqy-microhei fonts-dejavu-extra
)
if [ "${1:-}" != window ]; then
    packages+=(
        libgtest-dev googletest
        # The peer that the PAR2 sets are tested against.
        par2
        xvfb xauth x11-utils xdotool imagemagick libx11-dev python3-xlib
        # The window through the accessibility bus, as a screen reader reaches it (tests/gui/a11y-road.sh).
        at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus-x11
        clang libclang-rt-14-dev valgrind
        # zlib built for MinGW-w64 gives the Windows build its CRC-32.
        g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 fonts-wine xclip
        # The Windows installer (cpack's NSIS generator) and the check of its zip.
        nsis unzip
        desktop-file-utils appstream dpkg-dev file
        # parvix-cli's completion, tried as the package installs it.
        bash-completion
        # Qt for Windows from Debian's source (scripts/qt-windows.sh): apt-get source and its unpacking.
        xz-utils perl
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
