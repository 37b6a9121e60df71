#!/usr/bin/env bash
# The window program as a screen reader reaches it: on an X server of its own (Xvfb), with a session
# bus and the accessibility bus, a11y-road.py does a cut and a join through AT-SPI alone. A screenshot
# of the window at the end goes to OUTDIR.
# usage: a11y-road.sh PARVIX OUTDIR
set -euo pipefail
parvix=$1 out=$2
here=$(dirname "$(realpath "$0")")
launcher=/usr/libexec/at-spi-bus-launcher

if [ -z "${PARVIX_A11Y_ON_XVFB:-}" ]; then
    for tool in xvfb-run dbus-run-session dbus-send import "$launcher"; do
        command -v "$tool" >/dev/null || { echo "a11y-road: $tool is missing"; exit 1; }
    done
    # Debian's modules are those of the system's python3, not of another one first on PATH.
    /usr/bin/python3 -c 'import pyatspi' || { echo "a11y-road: python3-pyatspi is missing"; exit 1; }
    exec env PARVIX_A11Y_ON_XVFB=1 "$here/on-xvfb.sh" dbus-run-session -- "$0" "$@"
fi

mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
# Without a screen reader running the toolkit would not answer on the accessibility bus.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# In a sanitizer build, leaks that system libraries keep until exit are not the program's.
export LSAN_OPTIONS="suppressions=$here/lsan-system-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

"$launcher" --launch-immediately 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 &&
        break
    sleep 0.1
done
"$parvix" &
pids+=($!)
status=0
/usr/bin/python3 "$here/a11y-road.py" "$work" || status=$?
import -window root "$out/a11y-road.png"
exit "$status"
