#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a whole game as a blind keyboard player does: the game runs on a
# virtual X server with openbox and a real AT-SPI bus; a listener records
# every event a screen reader speaks from (focus, name and description
# changes, notifications); a player reads the screen only through AT-SPI
# and presses keys only with xdotool, answering by Alt letters on the `us`
# and the `ru,us` keymaps, using all three lifelines and waiting for the
# call to end. OUTDIR gets events.log (what a screen reader was told),
# play.log (what the player read and pressed) and screenshots of the focus
# ring and of the frame around the question; with orca installed, also
# orca-said.txt, every line Orca spoke.
#
#   scripts/by-ear.sh OUTDIR
#
# Needs xvfb, openbox, at-spi2-core, python3-pyatspi, xdotool,
# x11-xkb-utils, dbus and imagemagick, and a normal build (build/test).
# Takes about four and a half minutes: each verdict takes eight seconds,
# the call 37.5, and the player listens four seconds to each question. It
# is run by hand, not by ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")
mkdir -p "$out"
if [ -z "${KVIZORA_BY_EAR_SESSION:-}" ]; then
    exec env KVIZORA_BY_EAR_SESSION=1 dbus-run-session -- "$0" "$@"
fi

display=:$((90 + RANDOM % 100))
export DISPLAY=$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM
runtime=
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    runtime=$(mktemp -d)
    export XDG_RUNTIME_DIR=$runtime
fi
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 & pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
setxkbmap -layout us
openbox >"$out/openbox.log" 2>&1 & pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/bus.log" 2>&1 & pids+=($!)
sleep 1.5
/usr/bin/python3 scripts/by-ear.py listen "$out/events.log" & pids+=($!)
# With Orca installed, what it would say (its own log; no speech synthesiser
# is needed) goes to orca-said.txt.
if command -v orca >/dev/null; then
    orca --replace --debug-file="$out/orca-debug.log" >"$out/orca.log" 2>&1 & pids+=($!)
    sleep 4
fi
sleep 1.5
build/test/kvizora >"$out/game.log" 2>&1 & pids+=($!)
/usr/bin/python3 scripts/by-ear.py play "$out" build/test/data
if [ -f "$out/orca-debug.log" ]; then
    grep -o "SPEECH OUTPUT: .*" "$out/orca-debug.log" >"$out/orca-said.txt" || true
fi
