#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a desktop of its own: a virtual X server with a
# window manager, as a player's session has. The program talks to the X
# server through Qt's xcb platform, whatever the caller's environment says.
#
#   tests/on-desktop.sh openbox|icewm|xfwm4|kwin_x11|mutter PROGRAM [ARGUMENT...]
#
# xfwm4, kwin_x11 and mutter are Xfce's, KDE Plasma's and GNOME's window
# managers, run as in an X11 session of those desktops but without their
# compositing, which only adds shadows and costs time on a virtual screen.
set -euo pipefail
export QT_QPA_PLATFORM=xcb
export KVIZORA_WM=$1
shift
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    case $KVIZORA_WM in
        openbox) openbox --sm-disable >/dev/null 2>&1 & ;;
        icewm) icewm >/dev/null 2>&1 & ;;
        # xfwm4 reads its settings through xfconf, on the session bus; from
        # 4.20 on it will not start without one.
        xfwm4) dbus-run-session -- xfwm4 --compositor=off >/dev/null 2>&1 & ;;
        kwin_x11) KWIN_COMPOSE=N kwin_x11 >/dev/null 2>&1 & ;;
        # mutter wants a session bus, as GNOME gives it.
        mutter) dbus-run-session -- mutter --x11 >/dev/null 2>&1 & ;;
        *) echo "no such window manager here: $KVIZORA_WM" >&2; exit 2 ;;
    esac
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
