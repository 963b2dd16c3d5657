#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the first steps of a game in a Wayland session of its own, KDE
# Plasma's (kwin_wayland) or GNOME's (mutter), each with XWayland, as a
# player's session has them, and leaves screenshots and the windows' places
# in OUTDIR. QT_QPA_PLATFORM is left unset, so the game chooses for itself:
# it must go through XWayland and place its windows as on X11.
#
#   scripts/on-wayland.sh kwin|mutter OUTDIR
#
# Needs kwin-wayland or mutter, xwayland, x11-utils, xdotool and imagemagick.
# The screenshots are taken of each of the game's windows on the XWayland
# display (`import`), without the frames the compositor draws: neither
# compositor offers its own screenshot to a bare session without its shell,
# and a rootless XWayland has no screen to take. The windows' places and
# frames are in OUTDIR/places.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
session=$1
out=$(realpath -m "$2")
mkdir -p "$out"
unset QT_QPA_PLATFORM
# The session keeps its sockets and the play script in a folder of its own,
# removed at the end.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export KVIZORA_GAME=$PWD/build/test/kvizora KVIZORA_OUT=$out

play=$XDG_RUNTIME_DIR/kvizora-play.sh
cat >"$play" <<'PLAY'
set -u
exec >"$KVIZORA_OUT/places.txt"
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
describe() {
    for w in $(xdotool search --onlyvisible --class kvizora); do
        echo "$(xprop -id $w -notype _NET_WM_NAME _NET_WM_VISIBLE_NAME _NET_FRAME_EXTENTS 2>&1 | tr "\n" " ")"
        xwininfo -id $w | grep -E "Absolute|Width|Height" | tr -s " " | tr "\n" " "
        echo
    done
}
shoot() {
    for w in $(xdotool search --onlyvisible --class kvizora); do import -window "$w" "$KVIZORA_OUT/$1-$w.png"; done
}
"$KVIZORA_GAME" & game=$!
sleep 3
shoot 1-title
echo "title screen:"; describe
title=$(xdotool search --sync --onlyvisible --class kvizora | head -1)
eval "$(xdotool getwindowgeometry --shell "$title")"
xdotool mousemove $((X + 244)) $((Y + 363)) click 1   # ИГРАТЬ
sleep 2
# xdotool's clicks and keys reach the game through XWayland's XTEST, which
# newer XWayland passes on to the compositor through libei; kwin_wayland
# 6.7 --virtual (Debian testing) drops them.
if ! xdotool search --onlyvisible --name ' — игра$' >/dev/null; then
    echo "the click on ИГРАТЬ did not reach the game: this session drops synthetic input (XTEST)" | tee "$KVIZORA_OUT/no-input"
    kill $game
    exit 1
fi
shoot 2-game
echo "game screen:"; describe
screen=$(xdotool search --onlyvisible --class kvizora | head -1)
eval "$(xdotool getwindowgeometry --shell "$screen")"
GX=$X GY=$Y
xdotool mousemove $((GX + 740)) $((GY + 32)) click 1   # Закрыть: «Хотите выйти?»
sleep 2
shoot 3-quit
echo "quit box:"; describe
xdotool key Escape                                      # Нет
sleep 1
xdotool mousemove $((GX + 206)) $((GY + 104)) click 1  # Звонок другу
sleep 2
shoot 4-call
echo "call window:"; describe
kill $game
PLAY
case $session in
    kwin)
        # kwin_wayland carries a file capability that a container may not
        # grant; a copy without it runs the same.
        kwin=$(command -v kwin_wayland)
        if ! "$kwin" --version >/dev/null 2>&1; then
            mkdir -p "$XDG_RUNTIME_DIR/kwin" && cp "$kwin" "$XDG_RUNTIME_DIR/kwin/kwin_wayland"
            kwin=$XDG_RUNTIME_DIR/kwin/kwin_wayland
        fi
        dbus-run-session -- "$kwin" --virtual --xwayland --width 1280 --height 1024 \
            --exit-with-session "bash $play" >"$out/compositor.log" 2>&1 || true ;;
    mutter)
        dbus-run-session -- mutter --wayland --headless --virtual-monitor 1280x1024 \
            -- bash "$play" >"$out/compositor.log" 2>&1 || true ;;
    *) echo "no such session here: $session" >&2; exit 2 ;;
esac
cat "$out/places.txt"
[ ! -e "$out/no-input" ]
