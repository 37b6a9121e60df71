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
expect usr/share/bash-completion/completions/parvix-cli
expect usr/share/metainfo/com.example.parvix.metainfo.xml
if [ "${CHECK_GUI:-1}" = 1 ]; then
    expect usr/bin/parvix
    expect usr/share/man/man1/parvix.1.gz
    expect usr/share/icons/hicolor/16x16/apps/parvix.png
    expect usr/share/icons/hicolor/32x32/apps/parvix.png
fi

# The completion, as bash-completion loads it: the sub-commands, a sub-command's options, its files.
completion=$scratch/root/usr/share/bash-completion/completions/parvix-cli
if [ -f /usr/share/bash-completion/bash_completion ]; then
    mkdir "$scratch/files" && touch "$scratch/files/report\$txt.001" "$scratch/files/report.txt"
    completed=$(cd "$scratch/files" && bash -c '
        source /usr/share/bash-completion/bash_completion && source "$1" || exit 1
        complete_line() {
            COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
            COMPREPLY=(); _parvix_cli; echo "$* => ${COMPREPLY[*]}"
        }
        complete_line parvix-cli ve
        complete_line parvix-cli cut -q --p
        complete_line parvix-cli cut --size fl
        complete_line parvix-cli verify r' bash "$completion")
    expected='parvix-cli ve => verify
parvix-cli cut -q --p => --pieces
parvix-cli cut --size fl => floppy
parvix-cli verify r => report$txt.001'
    if [ "$completed" = "$expected" ]; then echo "ok   bash completion"; else echo "bash completion gave:"; echo "$completed"; fail=1; fi
else
    bash -n "$completion" || { echo "bash completion does not parse"; fail=1; }
fi

desktop=$scratch/root/usr/share/applications/parvix.desktop
if desktop-file-validate "$desktop"; then echo "ok   desktop entry validates"; else echo "desktop entry invalid"; fail=1; fi
grep -qx 'Name=Parvix toolbox' "$desktop" || { echo "wrong Name"; fail=1; }
# "Open With" and a drop on the launcher hand over files.
grep -qx 'Exec=parvix %F' "$desktop" || { echo "Exec does not take files"; fail=1; }

metainfo=$scratch/root/usr/share/metainfo/com.example.parvix.metainfo.xml
if appstreamcli validate --no-net --pedantic "$metainfo"; then
    echo "ok   metainfo validates"
else
    echo "metainfo invalid"; fail=1
fi
# The installed tree as a whole: the desktop entry that the metainfo launches is there.
if appstreamcli validate-tree --no-net --pedantic "$scratch/root" >/dev/null; then
    echo "ok   metainfo and desktop entry agree"
else
    echo "metainfo and the installed tree disagree"; fail=1
fi
for shot in $(sed -n 's|.*<image[^>]*>.*/docs/screenshots/\([^<]*\)</image>.*|\1|p' "$metainfo"); do
    [ -f "$(dirname "$0")/../../docs/screenshots/$shot" ] || { echo "metainfo names a missing screenshot: $shot"; fail=1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in fonts-wqy-microhei libc6; do
    case "$depends" in *"$need"*) ;; *) echo "Depends lacks $need"; fail=1 ;; esac
done
if [ "${CHECK_GUI:-1}" = 1 ]; then
    case "$depends" in *libqt6widgets6*) ;; *) echo "Depends lacks libqt6widgets6"; fail=1 ;; esac
fi

# The unpacked programs run; --help and --version need no display.
"$scratch/root/usr/bin/parvix-cli" --help | grep -q 'parvix-cli cut' || { echo "parvix-cli --help failed"; fail=1; }
[ "$("$scratch/root/usr/bin/parvix-cli" --version)" = "parvix-cli 1.53" ] || { echo "parvix-cli --version failed"; fail=1; }
if [ "${CHECK_GUI:-1}" = 1 ]; then
    nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
    [ "$("${nodisplay[@]}" "$scratch/root/usr/bin/parvix" --version)" = "parvix 1.53" ] || { echo "parvix --version failed"; fail=1; }
    "${nodisplay[@]}" "$scratch/root/usr/bin/parvix" --help | grep -q 'Usage: parvix' || { echo "parvix --help failed"; fail=1; }
fi
exit $fail
