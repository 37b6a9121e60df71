#!/usr/bin/env bash
# The Windows packages of a build tree, made by cpack and tried in a Wine prefix of their own: the zip
# holds the two programs, the icon, the licence and the read-me; the installer, run with /S, puts the
# same files, the Start-menu entry, the uninstall entry and Explorer's entries in place; a first piece
# started as Explorer starts it opens the window on the Join file page with its set, which joins back;
# a Link.bat that the installed parvix-cli.exe writes for a name with é, ü, ñ and spaces rebuilds the
# file under Wine's cmd; the uninstaller, run with /S, leaves no file and no registry key behind.
# Needs an X server (scripts/test-windows.sh starts one).
# usage: check-installer.sh BUILD-DIR WINE WORK-DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1") wine=$2 work=$3
source "$here/../gui/wine-x11.sh" check-installer "$work"

rm -rf "$work"
mkdir -p "$work/files"
start=$SECONDS
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
(cd "$build" && cpack >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
setup=$build/parvix-$version-setup.exe
zip=$build/parvix-$version-win64.zip
[ -f "$setup" ] && [ -f "$zip" ] || fail "cpack made no installer or no zip: $(ls "$build")"
echo "installer $(stat -c %s "$setup") bytes, zip $(stat -c %s "$zip") bytes, made in $((SECONDS - start)) s"
files="COPYING.txt README.txt parvix-cli.exe parvix.exe parvix.ico"
listing=$(unzip -Z1 "$zip" | LC_ALL=C sort | paste -sd ' ')
[ "$listing" = "$(printf "parvix-$version-win64/%s\n" $files | LC_ALL=C sort | paste -sd ' ')" ] ||
    fail "the zip holds: $listing"

# A prefix of its own, as on a machine that never saw the program; its wine server ends a few seconds
# after its last program, and wineserver -w waits for that.
export WINEPREFIX=$work/prefix
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot --init </dev/null >/dev/null 2>&1
"$wine" "$setup" /S || fail "the installer failed"

# The installer runs as an administrator here, so it installs for all users.
folder=$WINEPREFIX/drive_c/Program\ Files/Parvix\ toolbox
folder_win='C:\Program Files\Parvix toolbox'
for file in $files Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "not installed: $file"
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Parvix toolbox.lnk" ] ||
    fail "no Start-menu entry"

# The data of value $2 of registry key $1, the default value when $2 is empty; fails when there is none.
reg_value() {
    local out
    if [ -z "$2" ]; then
        out=$("$wine" reg query "$1" /ve 2>/dev/null) || return 1
    else
        out=$("$wine" reg query "$1" /v "$2" 2>/dev/null) || return 1
    fi
    printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p'
}
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvix toolbox'
[ "$(reg_value "$uninstall" DisplayName)" = 'Parvix toolbox' ] || fail "uninstall entry: no name"
[ "$(reg_value "$uninstall" DisplayVersion)" = "$version" ] || fail "uninstall entry: no version $version"
[ "$(reg_value "$uninstall" DisplayIcon)" = "$folder_win\\parvix.exe,0" ] || fail "uninstall entry: no icon"
[ "$(reg_value "$uninstall" QuietUninstallString)" = "\"$folder_win\\Uninstall.exe\" /AllUsers /S" ] ||
    fail "uninstall entry: $(reg_value "$uninstall" QuietUninstallString)"

# Explorer's way from a .001 to its command, and the "Cut" entry of every file's menu.
open="\"$folder_win\\parvix.exe\" \"%1\""
type=$(reg_value 'HKCR\.001' '') || fail "no type for .001"
[ "$(reg_value "HKCR\\$type\\shell\\open\\command" '')" = "$open" ] || fail "a .001 opens with something else"
reg_value 'HKCR\.001\OpenWithProgids' "$type" >/dev/null || fail "not in \"Open with\" of .001"
[ "$(reg_value 'HKCR\*\shell\Parvix.Cut' '')" = 'Cut with Parvix toolbox' ] || fail "no \"Cut\" entry"
[ "$(reg_value 'HKCR\*\shell\Parvix.Cut\command' '')" = "$open" ] || fail "the \"Cut\" entry runs something else"

# A set cut by the installed console program, opened as a double click in Explorer opens it.
head -c 2500 /dev/urandom >"$work/files/source.bin"
cp "$work/files/source.bin" "$work/files/my report.txt"
files_win=$(winepath -w "$work/files")
"$wine" "$folder/parvix-cli.exe" cut --yes --kb 1 "$files_win\\my report.txt" "$files_win\\my report\$txt" \
    >"$work/cut.log" 2>&1 || { cat "$work/cut.log"; fail "the installed parvix-cli.exe did not cut"; }
rm "$work/files/my report.txt"
"$wine" start /unix "$work/files/my report\$txt.001" || fail "start failed"
main=$(find_window 'Parvix toolbox') || fail "no window for a double click on a .001"
sleep 0.5
import -window "$main" "$work/open-piece.png"
# Text4 of the Join file page holds the proposed file; Enter in it joins.
text4=$(text_at "$main" 150 124) || fail "nothing came from Text4 through the clipboard"
[ "$text4" = "$files_win\\my report.txt" ] || fail "the Join file page proposes \"$text4\""
keys Return
yes_and_notice "the join"
cmp -s "$work/files/source.bin" "$work/files/my report.txt" || fail "the join did not give the source back"
keys --window "$main" alt+F4
gone 'Parvix toolbox' || fail "the window did not close"

bash "$here/../windows/link-bat-roundtrip.sh" accents "$folder/parvix-cli.exe" "$wine" "$work/link-bat" ||
    fail "Link.bat of the installed parvix-cli.exe"

# The uninstaller goes on from a copy of itself after the command returns: wait for every program.
"$wine" "$folder_win\\Uninstall.exe" /S || fail "the uninstaller failed"
wineserver -w
left=$(find "$WINEPREFIX/drive_c" -iname '*parvix*')
[ -z "$left" ] && [ ! -e "$folder" ] || fail "files left: $left"
# The registry as the wine server saved it on its way out: no key, no value of the program's.
left=$(grep -i -e '^\[[^]]*parvix' -e 'parvix toolbox' "$WINEPREFIX"/*.reg || true)
[ -z "$left" ] || fail "registry entries left: $left"
echo "installed, used and uninstalled in $((SECONDS - start)) s"
# The screenshot stays.
rm -rf "$WINEPREFIX" "$work/files"
