#!/usr/bin/env bash
# The Windows build of the window program under Wine on the run's X server (scripts/test-windows.sh
# starts one): its window is titled exactly "Parvix toolbox" with a 492 x 301 client area; a cut typed
# into it with Z:\ paths writes the pieces and a CR LF Link.bat; the directory chooser lists the drives
# c: and z:, and choosing Z:\tmp with "Ok" writes Z:\tmp\ into the split destination. Screenshots go
# to OUTDIR.
# usage: wine-road.sh PARVIX.EXE WINE OUTDIR
set -euo pipefail
exe=$(realpath "$1") wine=$2 out=$3
source "$(dirname "$0")/wine-x11.sh" wine-road "$out"
for tool in xdotool xprop xwininfo xclip import winepath; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
mkdir -p "$out"

# Under /tmp, so that the chooser's way up from the program's folder leads to Z:\tmp.
work=$(mktemp -d /tmp/parvix-wine-road.XXXXXX)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
win=$(winepath -w "$work")
[[ $win == 'Z:\tmp\parvix-wine-road.'* ]] || fail "unexpected Windows path $win"
head -c 2500 /dev/urandom >"$work/source.bin"
mkdir "$work/out"

# Wine gives a Windows program the folder it was started in as its current directory.
(cd "$work" && exec "$wine" "$exe") &
pid=$!

main=$(find_window 'Parvix toolbox') || fail "no window titled \"Parvix toolbox\""
[ "$(xprop -id "$main" WM_NAME)" = 'WM_NAME(STRING) = "Parvix toolbox"' ] || fail "$(xprop -id "$main" WM_NAME)"
# Without a window manager Wine's X window is the client area.
size=$(xwininfo -id "$main" | sed -n 's/^ *Width: \([0-9]*\)$/\1/p;s/^ *Height: \([0-9]*\)$/\1/p' | paste -sd x)
[ "$size" = 492x301 ] || fail "client area $size, not 492x301"
sleep 0.5
import -window "$main" "$out/wine-about.png"

# A cut of 2,500 bytes into pieces of 1 KB, typed into the Cut file page.
click "$main" 40 83 # the "Cut file" tab
click "$main" 150 164
type_text "$win\\source.bin"
click "$main" 150 228
type_text "$win\\out\\source\$bin"
click "$main" 400 164 # "Customize"
click "$main" 420 193
type_text 1
import -window "$main" "$out/wine-cut.png"
click "$main" 432 260 # "Cut"
yes_and_notice "the cut"

cmp -s <(cat "$work/out/source\$bin.001" "$work/out/source\$bin.002" "$work/out/source\$bin.003") "$work/source.bin" ||
    fail "the pieces do not give the source back: $(ls "$work/out")"
[ "$(stat -c %s "$work/out/source\$bin.001")" = 1024 ] || fail "the first piece is not 1024 bytes"
[ -e "$work/out/source\$bin.004" ] && fail "a fourth piece"
printf 'copy/B "source$bin.001"+"source$bin.002"+"source$bin.003" "source.bin"\r\n' |
    cmp -s - "$work/out/Link.bat" || fail "Link.bat: $(od -c "$work/out/Link.bat" | head -n 5)"

# The directory chooser behind the "..." of the split destination: its drive list holds c: and z:.
click "$main" 40 83
click "$main" 348 228
chooser=$(find_window 'Please choose a directory') || fail "no directory chooser"
sleep 0.5
keys_to "$chooser" Tab alt+Down # the drive list, opened
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$chooser")" # X, Y, WIDTH, HEIGHT
import -window root -crop "${WIDTH}x$((HEIGHT + 40))+$X+$Y" +repage "$out/wine-drives.png"
keys Up Return # c:, then the drive list closes and the chooser opens the drive
sleep 0.5
keys Return # "Ok"
gone 'Please choose a directory' || fail "Ok did not close the chooser"
text2=$(text_at "$main" 150 228) || fail "nothing came from Text2 through the clipboard"
[[ $text2 == 'C:\'* ]] || fail "choosing drive c: gave \"$text2\""

# Again, on drive z:, from the program's folder one up to Z:\tmp.
click "$main" 348 228
chooser=$(find_window 'Please choose a directory') || fail "no directory chooser the second time"
sleep 0.5
keys_to "$chooser" Tab Down shift+Tab Up Return
sleep 0.5
import -window "$chooser" "$out/wine-dirchooser.png"
keys Return # "Ok"
gone 'Please choose a directory' || fail "Ok did not close the chooser"
text2=$(text_at "$main" 150 228) || fail "nothing came from Text2 through the clipboard"
[ "$text2" = 'Z:\tmp\' ] || fail "choosing Z:\\tmp gave \"$text2\""

# Closing the window ends the program.
keys --window "$main" alt+F4
for _ in $(seq 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs after its window was closed"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "wine-road: passed"
