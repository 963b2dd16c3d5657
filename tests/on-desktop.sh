#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a desktop of its own: a virtual X server with a
# window manager (openbox), as a player's session has. The program talks to
# the X server through Qt's xcb platform, whatever the caller's environment
# says.
set -euo pipefail
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # Windows shown before the window manager runs would go unframed.
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
    status=0
    "$@" || status=$?
    kill $wm 2>/dev/null || true
    exit $status
' on-desktop "$@"
