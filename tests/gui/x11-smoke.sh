#!/usr/bin/env bash
# The window program on a real X server (Xvfb): it opens its window titled exactly "Parvix toolbox",
# centred, of fixed size; a message box carries its own title and nothing more; closing the window
# ends the program. Then, from a fresh start, a cut and a join done with the keyboard alone, during which
# the window keeps answering the desktop's liveness pings. Screenshots go to OUTDIR.
# usage: x11-smoke.sh PARVIX X11-SEND-CLOSE OUTDIR
set -euo pipefail
parvix=$1 sendclose=$2 out=$3

if [ -z "${PARVIX_SMOKE_ON_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xprop import cmp; do
        command -v "$tool" >/dev/null || { echo "x11-smoke: $tool is missing"; exit 1; }
    done
    exec env PARVIX_SMOKE_ON_XVFB=1 "$(dirname "$(realpath "$0")")/on-xvfb.sh" "$0" "$@"
fi

mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
# In a sanitizer build, leaks that system libraries keep until exit are not the program's.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/lsan-system-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fail() { echo "x11-smoke: $*"; exit 1; }

title_of() {
    xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# The visible windows whose title is exactly $1 (xdotool's own match ignores case).
windows_titled() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
        [ "$(title_of "$id")" = "$1" ] && echo "$id"
    done
    return 0
}

# Waits for a window titled exactly $1, up to $2 seconds (15 unless given; a sanitizer build is several
# times slower); prints its id.
find_window() {
    local id
    for _ in $(seq $((${2:-15} * 10))); do
        id=$(windows_titled "$1" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

"$parvix" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

main=$(find_window 'Parvix toolbox') || fail "no window titled \"Parvix toolbox\""
[ "$(xprop -id "$main" WM_NAME)" = 'WM_NAME(STRING) = "Parvix toolbox"' ] || fail "$(xprop -id "$main" WM_NAME)"
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
grep -q 'minimum size: 492 by 301' <<<"$hints" || fail "no fixed minimum size: $hints"
grep -q 'maximum size: 492 by 301' <<<"$hints" || fail "no fixed maximum size: $hints"
sleep 0.5
geometry=$(xdotool getwindowgeometry "$main")
grep -q 'Position: 266,233' <<<"$geometry" || fail "not centred: $geometry"
import -window root "$out/x11-about.png"

# The Cut file tab, then "Cut" with nothing typed: a warning box titled "Parvix".
xdotool mousemove 306 316 click 1
sleep 0.3
xdotool mousemove 698 493 click 1
box=$(find_window 'Parvix') || fail "no message box titled \"Parvix\""
import -window root "$out/x11-cut-warning.png"
"$sendclose" "$box"
for _ in $(seq 100); do
    [ -z "$(windows_titled 'Parvix')" ] && break
    sleep 0.1
done
[ -z "$(windows_titled 'Parvix')" ] || fail "the message box did not close"

# Closes the window titled $1 of process $pid and waits for the program to end well. A close that comes
# while the program is still leaving a box it has just hidden is refused, as the owner of a modal box
# refuses it: it is asked again every two seconds, as a user would click again.
close_and_wait() {
    for attempt in $(seq 600); do
        [ $((attempt % 20)) -eq 1 ] && { "$sendclose" "$1" 2>/dev/null || true; }
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs after its window was closed"
    trap - EXIT
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# Waits for a box titled "Parvix" and answers it with Enter; with a second argument, takes a screenshot
# of the box once it has settled into that file.
answer_box() {
    find_window 'Parvix' 60 >/dev/null || fail "no message box titled \"Parvix\" ($1)"
    sleep 0.2
    [ -n "${2:-}" ] && sleep 0.8 && import -window root "$2"
    xdotool key Return
    for _ in $(seq 100); do
        [ -z "$(windows_titled 'Parvix')" ] && return 0
        sleep 0.1
    done
    fail "the box did not close ($1)"
}

# Gives the window $1 the keyboard focus back after a box has closed, as a window manager does (a server
# without one leaves the focus where the box's unmapping put it, and keys would be lost), and waits until
# it has it.
refocus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && { sleep 0.2; return 0; }
        sleep 0.1
    done
    fail "the window did not get the keyboard focus back ($2)"
}

close_and_wait "$main"

# From a fresh start, keys only: Left Left to the Cut file page, Tab into Text1, the destination two
# stops further, "Customize" by the arrow key and 1 KB, Enter; Yes and OK with Enter.
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
head -c $((32 * 1024 * 1024)) /dev/urandom >"$work/source.bin"
mkdir "$work/out"
"$parvix" &
pid=$!
main=$(find_window 'Parvix toolbox') || fail "no window titled \"Parvix toolbox\" at the second start"
sleep 0.5
xdotool key Left Left Tab
xdotool type --delay 2 "$work/source.bin"
xdotool key Tab Tab
xdotool type --delay 2 "$work/out/source\$bin"
xdotool key Tab Tab Down
sleep 0.2
xdotool type 1
xdotool key Return
find_window 'Parvix' >/dev/null || fail "no confirmation for the cut typed with the keyboard"
sleep 0.2
"$(dirname "$(realpath "$0")")/x11-ping.py" "$main" --until-exists "$work/out/Link.bat" >"$work/ping" &
pinger=$!
xdotool key Return
sleep 1
import -window root "$out/x11-during-cut.png"
wait "$pinger" || fail "the liveness check failed"
read -r _ sent _ answered _ longest <"$work/ping"
echo "x11-smoke: during the cut $answered of $sent pings answered, the longest silence $longest ms"
[ "$sent" -ge 5 ] || fail "the cut was too short to check the window's liveness ($sent pings)"
[ "$answered" -ge $((sent - 1)) ] && [ "$longest" -lt 1000 ] || fail "the window went silent: $(cat "$work/ping")"
answer_box "cut completed" "$out/x11-cut-notice.png"
refocus "$main" "after the cut"
[ "$(find "$work/out" -name 'source$bin.[0-9]*' | wc -l)" -eq 32768 ] || fail "the cut did not write 32768 pieces"
# The join page is in front and the focus on the row of tabs: Tab enters the page at Text4, whose
# proposal it selects; typing replaces it, Enter joins.
xdotool key Tab
xdotool type --delay 2 "$work/joined.bin"
xdotool key Return
answer_box "join confirmation"
answer_box "join completed"
cmp -s "$work/source.bin" "$work/joined.bin" || fail "the join typed with the keyboard did not rebuild the source"
close_and_wait "$main"
echo "x11-smoke: passed"
