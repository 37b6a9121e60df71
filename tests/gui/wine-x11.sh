# Helpers for driving a Windows program under Wine on an X server without a window manager, through
# xdotool, xprop, xwininfo and xclip. Sourced by wine-road.sh and by the installer's check, as
# `source wine-x11.sh NAME FOLDER`: a failure is told as NAME's and leaves a picture of the screen in
# FOLDER, where that exists. Without an X server it fails at once.
wine_x11_name=$1 wine_x11_folder=$2

fail() {
    echo "$wine_x11_name: $*"
    # What the screen showed, for whoever reads the failure.
    [ -d "$wine_x11_folder" ] && import -window root "$wine_x11_folder/failure.png" 2>/dev/null
    exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no X server (DISPLAY is not set)"

title_of() {
    xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# Waits up to 30 seconds for a visible window titled exactly $1; prints its id.
find_window() {
    local id
    for _ in $(seq 300); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
            [ "$(title_of "$id")" = "$1" ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Waits up to 30 seconds until no visible window is titled exactly $1.
gone() {
    for _ in $(seq 300); do
        [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true)" ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits up to 30 seconds until window $1 is no longer shown. By id, not title: the notice that follows
# a question bears the same title and may open before a poll by title sees the question gone.
closed() {
    for _ in $(seq 300); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || return 0
        sleep 0.1
    done
    return 1
}

# Answers Yes to the program's question before $1 ("the cut") and closes its notice after it.
yes_and_notice() {
    local box
    box=$(find_window Parvix) || fail "no question before $1"
    keys_to "$box" Return # Yes
    closed "$box" || fail "the question did not close"
    box=$(find_window Parvix) || fail "no notice after $1"
    keys_to "$box" Return
    closed "$box" || fail "the notice did not close"
}

# xdotool's keys and text go to the window with the focus; without a window manager it warns each time.
keys() { xdotool key "$@" 2>/dev/null; }
type_text() { xdotool type --delay 10 "$1" 2>/dev/null; }

# Without a window manager the X server's focus follows the pointer: keys for a new window go to it
# only with the pointer over it. Keys $2... for window $1.
keys_to() {
    local window=$1
    shift
    xdotool mousemove --window "$window" 10 10 2>/dev/null
    sleep 0.2
    keys "$@"
}

# Clicks at x, y of the client area of window $1.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

# The text of the box at x, y of window $1, through the clipboard that Wine shares with X.
text_at() {
    local text
    # Emptied first, so that a copy that has not arrived yet cannot pass for the earlier one.
    xclip -selection clipboard </dev/null >/dev/null 2>&1
    click "$@"
    # Wine takes the clipboard over from X a moment after the copy; a busy machine may need longer.
    for _ in $(seq 10); do
        keys ctrl+a ctrl+c
        sleep 0.5
        text=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$text" ] && { echo "$text"; return 0; }
    done
    return 1
}
