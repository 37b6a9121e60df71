#!/usr/bin/env bash
# Runs COMMAND on an X server of its own (Xvfb) and exits with its status. xvfb-run has been seen to hand
# over a display that no client could reach; the command is then run on a new server, at most three
# times, and never again once it has begun. The server does not reset when its last client leaves: the
# checks' short connections would otherwise make it reset again and again while a slow program starts,
# and a program that connects during a reset is turned away.
# usage: on-xvfb.sh COMMAND ARGUMENT...
set -uo pipefail
command -v xdpyinfo >/dev/null || { echo "on-xvfb: xdpyinfo is missing"; exit 1; }
began=$(mktemp)
trap 'rm -f "$began"' EXIT
for attempt in 1 2 3; do
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
        sh -c 'xdpyinfo >/dev/null 2>&1 || exit 1; echo >"$0"; exec "$@"' "$began" "$@"
    status=$?
    [ -s "$began" ] && exit "$status"
    echo "on-xvfb: no X server to be reached on attempt $attempt" >&2
done
exit 1
