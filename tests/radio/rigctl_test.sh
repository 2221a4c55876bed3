#!/bin/sh
# Hamlib's own Elecraft backends (Debian's rigctl) open the simulated radio,
# read and set frequency and mode: as a K3 (model 2029) and as a KX3 (2045).
# Exits 77 (skipped) without rigctl.
set -u
radio=$1
if ! command -v rigctl >/dev/null 2>&1; then
    echo "SKIP: rigctl (libhamlib-utils) is not installed"
    exit 77
fi
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
status=0
for case in "K3 2029 CW 500 CW" "KX3 2045 USB 2400 USB"; do
    set -- $case
    log="$work/$1.log"
    "$radio" --model "$1" >"$log" 2>&1 &
    pid=$!
    tries=0
    while [ ! -s "$log" ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
    device=$(head -n 1 "$log")
    got=$(timeout 30 rigctl -m "$2" -r "$device" -s 38400 f m F 7025000 M "$3" "$4" f m 2>&1 | tr '\n' ' ')
    want="14010000 CW 2700 7025000 $5 $4 "
    if [ "$got" != "$want" ]; then
        echo "FAIL: $1 (rigctl -m $2): got '$got', want '$want'"
        echo "the radio received: $(tail -n +2 "$log" | tr '\n' ' ')"
        status=1
    else
        echo "PASS: $1 (rigctl -m $2): $got"
    fi
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
done
exit $status
