#!/usr/bin/env bash
# Takes the README's screenshots of the three pages from the real program on Xvfb.
# usage: docs/screenshots/take-screenshots.sh [PARVIX]   (default: build/app/parvix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
parvix=$(realpath "${1:-$here/../../build/app/parvix}")

if [ -z "${PARVIX_SHOTS_ON_XVFB:-}" ]; then
    exec env PARVIX_SHOTS_ON_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$parvix"
fi
export QT_QPA_PLATFORM=xcb
demo=/tmp/parvix-screenshots # a fixed folder: its name shows in the join list
rm -rf "$demo" && mkdir -p "$demo"
trap 'rm -rf "$demo"; kill "$pid" 2>/dev/null || true' EXIT
for n in 1 2 3 4 5; do head -c 1000 /dev/zero >"$demo/holiday\$avi.00$n"; done

"$parvix" &
pid=$!
for _ in $(seq 100); do
    window=$(xdotool search --name '^Parvix toolbox$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y
at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.4; }

import -window "$window" "$here/about.png"

at 125 83  # "   Join file   "
at 384 180 # "Add", then the file dialog
sleep 0.5
xdotool type --delay 20 "$demo/holiday\$avi.001"
xdotool key Return
sleep 0.6
import -window "$window" "$here/join.png"

at 40 83   # "   Cut file  "
at 400 164 # "Customize"
xdotool type 512
at 150 164 # the source box
xdotool type /home/user/holiday.avi
at 150 228
xdotool type '/home/user/holiday$avi'
import -window "$window" "$here/cut.png"
