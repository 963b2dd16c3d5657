#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a desktop of its own, as a player's session has
# one: a virtual X server with a window manager, or a Wayland compositor
# with XWayland. The program talks to the X server through Qt's xcb
# platform, whatever the caller's environment says.
#
#   tests/on-desktop.sh WM PROGRAM [ARGUMENT...]
#
# WM is one of the X11 window managers openbox, icewm, xfwm4, kwin_x11 and
# mutter (mutter --x11), run as in an X11 session of Xfce, KDE Plasma or
# GNOME but without their compositing, which only adds shadows and costs
# time on a virtual screen; or kwin_wayland or mutter_wayland, KDE
# Plasma's and GNOME's Wayland sessions, where the program is an X client
# of the compositor's XWayland. Each picks a free X display number of its
# own. The screen is 1280x1024 logical pixels, at QT_SCALE_FACTOR if set.
#
# A window manager that is not installed here, has no X11 mode (mutter from
# 50 on) or cannot start is skipped: one line says so, and the exit code is
# 77, which CTest counts as skipped. An X11 window manager that dies as it
# starts (kwin_x11 did, about once in twenty runs) is started once more,
# with its last lines of output shown.
set -euo pipefail
export KVIZORA_WM=$1
shift
skip() { echo "on-desktop.sh: $KVIZORA_WM $*: skipped"; exit 77; }
width=$(awk -v s="${QT_SCALE_FACTOR:-1}" 'BEGIN { printf "%d", 1280 * s }')
height=$(awk -v s="${QT_SCALE_FACTOR:-1}" 'BEGIN { printf "%d", 1024 * s }')

case $KVIZORA_WM in
    openbox|icewm|xfwm4|kwin_x11) command -v "$KVIZORA_WM" >/dev/null || skip "is not installed" ;;
    mutter)
        command -v mutter >/dev/null || skip "is not installed"
        mutter --help 2>&1 | grep -q -- --x11 || skip "has no X11 mode"
        ;;
    kwin_wayland|mutter_wayland) ;;
    *) echo "no such window manager here: $KVIZORA_WM" >&2; exit 2 ;;
esac

# Waits for the window manager, up to a minute on a busy machine: windows
# shown before it runs would go unframed. Handed to the sessions below.
wait_for_wm='for _ in $(seq 1200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    [ -n "${wm:-}" ] && ! kill -0 "$wm" 2>/dev/null && break
    sleep 0.05
done'

case $KVIZORA_WM in
kwin_wayland|mutter_wayland)
    command -v Xwayland >/dev/null || skip "needs Xwayland, which is not installed"
    # The compositor is a session of its own: it meets neither the caller's
    # X server nor a Wayland display of the caller's, and is itself no xcb
    # client.
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    runtime=$(mktemp -d)
    trap 'rm -rf "$runtime"' EXIT
    export XDG_RUNTIME_DIR=$runtime
    # What runs inside the session, as its only client: the program, through
    # XWayland. Its output and exit code are left in files, as the
    # compositor logs into its own and ends with a code of its own.
    printf '%s\n' "$wait_for_wm" 'touch "$XDG_RUNTIME_DIR/started"' \
        'QT_QPA_PLATFORM=xcb "$@" >"$XDG_RUNTIME_DIR/output" 2>&1; echo $? >"$XDG_RUNTIME_DIR/status"' >"$runtime/session.sh"
    if [ "$KVIZORA_WM" = kwin_wayland ]; then
        kwin=$(command -v kwin_wayland) || skip "is not installed"
        # kwin_wayland carries a file capability that a container may not
        # grant; a copy without it runs the same.
        if ! "$kwin" --version >/dev/null 2>&1; then
            cp "$kwin" "$runtime/kwin_wayland"
            kwin=$runtime/kwin_wayland
        fi
        printf -v session '%q ' bash "$runtime/session.sh" "$@"
        timeout 200 dbus-run-session -- "$kwin" --virtual --xwayland --width "$width" --height "$height" \
            --exit-with-session "$session" >"$runtime/compositor.log" 2>&1 || true
    else
        command -v mutter >/dev/null || skip "is not installed"
        timeout 200 dbus-run-session -- mutter --wayland --headless --virtual-monitor "${width}x$height" \
            -- bash "$runtime/session.sh" "$@" >"$runtime/compositor.log" 2>&1 || true
    fi
    [ -e "$runtime/output" ] && cat "$runtime/output"
    [ -e "$runtime/started" ] || skip "could not start here ($(grep -m1 -i 'error\|fail\|cannot' "$runtime/compositor.log" || echo 'no window manager came up'))"
    [ -e "$runtime/status" ] || { echo "on-desktop.sh: $KVIZORA_WM ended before the test did" >&2; cat "$runtime/compositor.log" >&2; exit 1; }
    exit "$(cat "$runtime/status")"
    ;;
esac

export QT_QPA_PLATFORM=xcb KVIZORA_WAIT_FOR_WM=$wait_for_wm
exec xvfb-run -a -s "-screen 0 ${width}x${height}x24 -nolisten tcp" bash -c '
    # QT_SCALE_FACTOR scales the program only: kwin_x11 would otherwise
    # scale its frames with it from one release to the next.
    wm_scale=$QT_SCALE_FACTOR
    unset QT_SCALE_FACTOR
    start_wm() {
        case $KVIZORA_WM in
            openbox) exec openbox --sm-disable ;;
            icewm) exec icewm ;;
            # xfwm4 reads its settings through xfconf, on the session bus;
            # from 4.20 on it will not start without one.
            xfwm4) exec dbus-run-session -- xfwm4 --compositor=off ;;
            kwin_x11) KWIN_COMPOSE=N exec kwin_x11 ;;
            # mutter wants a session bus, as GNOME gives it.
            mutter) exec dbus-run-session -- mutter --x11 ;;
        esac
    }
    wm_log=$(mktemp)
    trap '\''rm -f "$wm_log"'\'' EXIT
    for attempt in 1 2; do
        start_wm >"$wm_log" 2>&1 &
        wm=$!
        eval "$KVIZORA_WAIT_FOR_WM"
        kill -0 $wm 2>/dev/null && break
        echo "on-desktop.sh: $KVIZORA_WM ended as it started:" >&2
        tail -n 5 "$wm_log" >&2
    done
    [ -n "$wm_scale" ] && export QT_SCALE_FACTOR=$wm_scale
    status=0
    "$@" || status=$?
    kill $wm 2>/dev/null || true
    exit $status
' on-desktop "$@"
