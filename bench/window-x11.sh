#!/usr/bin/env bash
# Runs parvix-bench-window on an X server of its own (Xvfb) and, while it cuts, pings its window as a
# desktop does. Prints the program's output, then "ping: pings N answered M longest-silence-ms T"
# (no pings when the program ended before its window was found).
# usage: bench/window-x11.sh PARVIX-BENCH-WINDOW ARGUMENT...
set -euo pipefail
if [ -z "${PARVIX_BENCH_ON_XVFB:-}" ]; then
    exec env PARVIX_BENCH_ON_XVFB=1 "$(dirname "$(realpath "$0")")/../tests/gui/on-xvfb.sh" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$@" >"$work/out" 2>"$work/err" &
pid=$!
window=
for _ in $(seq 200); do
    window=$(xdotool search --name '^Parvix toolbox$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if [ -n "$window" ]; then
    "$root/tests/gui/x11-ping.py" "$window" --pid "$pid" >"$work/ping"
fi
status=0
wait "$pid" || status=$?
cat "$work/out"
grep -v XDG_RUNTIME_DIR "$work/err" >&2 || true
# A short cut can end before its window is found: then nothing was pinged.
if [ -n "$window" ]; then echo "ping: $(cat "$work/ping")"; else echo "ping: pings 0 answered 0 longest-silence-ms 0"; fi
exit "$status"
