#!/usr/bin/env bash
# Runs a test program with a display: a private Xvfb server and a Wine
# prefix of its own (a display changes how the prefix's clipboard works,
# so the other tests' prefix stays headless). Both are stopped afterwards.
#   with_display.sh PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
prefix=$1
shift
display=
for number in $(seq 90 99); do
    if [[ ! -e /tmp/.X$number-lock ]]; then display=:$number; break; fi
done
[[ -n $display ]] || { echo "no free display number"; exit 1; }

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display WINEPREFIX=$prefix
cleanup() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [[ -e /tmp/.X${display#:}-lock ]] && break; sleep 0.1; done

mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true
wine wineboot </dev/null >/dev/null 2>&1
wine "$@" </dev/null
