#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a scratch root and checks its files.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/parvix_*.deb)
dpkg-deb -x "$deb" "$scratch/root"

fail=0
expect() {
    if [ -e "$scratch/root/$1" ]; then echo "ok   $1"; else echo "MISSING $1"; fail=1; fi
}
expect usr/bin/parvix-cli
expect usr/share/applications/parvix.desktop
expect usr/share/man/man1/parvix-cli.1.gz
if [ "${CHECK_GUI:-1}" = 1 ]; then
    expect usr/bin/parvix
    expect usr/share/icons/hicolor/16x16/apps/parvix.png
    expect usr/share/icons/hicolor/32x32/apps/parvix.png
fi

desktop-file-validate "$scratch/root/usr/share/applications/parvix.desktop" && echo "ok   desktop entry validates"
grep -qx 'Name=Parvix toolbox' "$scratch/root/usr/share/applications/parvix.desktop" || { echo "wrong Name"; fail=1; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in fonts-wqy-microhei libc6; do
    case "$depends" in *"$need"*) ;; *) echo "Depends lacks $need"; fail=1 ;; esac
done
if [ "${CHECK_GUI:-1}" = 1 ]; then
    case "$depends" in *libqt6widgets6*) ;; *) echo "Depends lacks libqt6widgets6"; fail=1 ;; esac
fi

# The unpacked console program runs.
"$scratch/root/usr/bin/parvix-cli" --help | grep -q 'parvix-cli cut' || { echo "parvix-cli --help failed"; fail=1; }
exit $fail
