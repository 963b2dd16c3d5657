#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command in a fresh Debian 13 (trixie) root made
# with mmdebstrap from Debian's packages: the committed files of this
# checkout are copied in, and the project's own set-up installs everything
# else, as it would for a new user. Needs root (or sudo) and the network.
#
#   scripts/debian13.sh [TARGET]
#
# TARGET is where mmdebstrap leaves the root: a directory keeps it (to look
# into a failure, e.g. with `chroot DIR`); the default, /dev/null, keeps
# nothing. Handed on to ./test.sh: KVIZORA_SANITIZER=off (only the normal
# build and its tests), KVIZORA_FUZZ_SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."

# Inside the root (the hooks below call this script again there).
if [ "${1:-}" = --inside ]; then
    case $2 in
    install)
        source scripts/setup.sh
        kvizora_install_missing "${kvizora_test_packages[@]}"
        ;;
    test) exec ./test.sh ;;
    esac
    exit
fi

target=${1:-/dev/null}
suite=trixie
mirror=http://deb.debian.org/debian

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
if ! command -v mmdebstrap >/dev/null; then
    echo "Installing: mmdebstrap"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
fi

# Only what is committed goes in, as in a fresh clone.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git archive --format=tar HEAD >"$tree/src.tar"

# Inside, a clean environment as in a new login: only what CI sets and the
# switches above are handed on.
inside_args=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
        "CI=${CI:-}" "KVIZORA_SANITIZER=${KVIZORA_SANITIZER:-}" "KVIZORA_FUZZ_SECONDS=${KVIZORA_FUZZ_SECONDS:-60}"
        bash /src/scripts/debian13.sh --inside)
printf -v inside '%q ' "${inside_args[@]}"

# The root has apt and nothing else. The hooks run on this machine through
# sh, with the root's folder as $1; mmdebstrap mounts /proc, /dev and /sys
# for them. The packages are installed first, as test.sh would install
# them; test.sh then runs without a network of its own, so that the
# virtual X servers of its desktop tests, and the clients they start, meet
# no X server of this machine's (X11's abstract sockets belong to the
# network, not to the root's /tmp).
start=$(date +%s)
elapsed="\$((\$(date +%s) - $start)) s"
"${sudo[@]}" mmdebstrap --variant=apt --mode=root \
    --customize-hook="echo \"debian13.sh: root made after $elapsed\"" \
    --customize-hook="mkdir \"\$1/src\" && tar -x -C \"\$1/src\" -f '$tree/src.tar'" \
    --customize-hook="chroot \"\$1\" $inside install" \
    --customize-hook="echo \"debian13.sh: packages installed after $elapsed\"" \
    --customize-hook="unshare --net chroot \"\$1\" $inside test" \
    --customize-hook="echo \"debian13.sh: ./test.sh passed in the Debian 13 root after $elapsed\"" \
    "$suite" "$target" "$mirror"
