#!/bin/sh
# Runs a test program on a private Xvfb display with the xcb platform.
# Exits 77 (reported as skipped) when Xvfb is not there or does not start.
# XVFB_SCREEN sets the screen (default 800x600x24), XVFB_TIMEOUT the seconds
# the program may run (default 120).
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIP: Xvfb is not installed; the X11 key-stroke test needs it"
    exit 77
fi
dir=$(mktemp -d)
# -displayfd picks a free display number and writes it once the server is ready.
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-800x600x24}" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
tries=0
while [ ! -s "$dir/display" ] && [ "$tries" -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
if [ ! -s "$dir/display" ]; then
    echo "SKIP: Xvfb did not start within 10 s"
    cat "$dir/xvfb.log"
    kill "$server" 2>/dev/null
    rm -rf "$dir"
    exit 77
fi
DISPLAY=":$(tr -d '\n' <"$dir/display")" QT_QPA_PLATFORM=xcb timeout "${XVFB_TIMEOUT:-120}" "$@"
rc=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit "$rc"
