#!/usr/bin/env bash
# Makes sure that apt-get source works: adds source entries mirroring the binary entries when there are none.
set -euo pipefail
if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    exit 0
fi
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Adding deb-src entries for apt-get source" >&2
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${sudo[@]}" tee /etc/apt/sources.list.d/parvix-deb-src.sources >/dev/null
else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
        "${sudo[@]}" tee /etc/apt/sources.list.d/parvix-deb-src.list >/dev/null
fi
"${sudo[@]}" apt-get update -qq
