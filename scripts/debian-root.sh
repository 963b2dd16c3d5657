#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command in a fresh Debian root made with
# mmdebstrap from Debian's packages: the committed files of this checkout
# are copied in, and the project's own set-up installs everything else, as
# it would for a new user. Needs root (or sudo) and the network.
#
#   scripts/debian-root.sh bookworm|trixie|forky|testing [DIR]
#
# bookworm is Debian 12, trixie Debian 13, forky (or testing) the release
# after. DIR keeps the root (to look into a failure, e.g. with `chroot DIR`);
# a DIR that holds a root already is used again: the checkout is copied in
# afresh, missing packages are installed and the tests run again. Without
# DIR the root is made in a temporary folder and removed at the end.
# Handed on to ./test.sh: KVIZORA_SANITIZER=off (only the normal build and
# its tests), KVIZORA_FUZZ_SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."

# Inside the root (run_inside below calls this script again there).
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

release=${1:-}
case $release in
    bookworm|trixie|forky|testing) ;;
    *) echo "usage: $0 bookworm|trixie|forky|testing [DIR]" >&2; exit 2 ;;
esac
mirror=http://deb.debian.org/debian

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
if ! command -v mmdebstrap >/dev/null; then
    echo "Installing: mmdebstrap"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
fi

work=$(mktemp -d)
if [ -n "${2:-}" ]; then
    root=$(realpath -m "$2")
    trap '"${sudo[@]}" rm -rf "$work"' EXIT
else
    root=$work/root
    trap '"${sudo[@]}" rm -rf --one-file-system "$work"' EXIT
fi

# Only what is committed goes in, as in a fresh clone.
git archive --format=tar HEAD >"$work/src.tar"

start=$(date +%s)
say() { echo "debian-root.sh: $* after $(($(date +%s) - start)) s"; }

# The root has apt and nothing else. Testing's Release file carries a
# "Valid-Until" date that a mirror may let pass between two updates of the
# suite; apt would then refuse the whole suite, so the root does not check
# it (the signatures are still checked).
if [ -e "$root/etc/debian_version" ]; then
    say "root in $root used again"
else
    "${sudo[@]}" mmdebstrap --variant=apt --mode=root \
        --aptopt='Acquire::Check-Valid-Until "false"' \
        "$release" "$root" "$mirror"
    say "root made in $root"
fi

# Runs a command of the root's in namespaces of its own: the mounts it needs
# vanish with it, and "nonet" gives it no network, so that the virtual X
# servers of the desktop tests, and the clients they start, meet no X
# server of this machine's (X11's abstract sockets belong to the network,
# not to the root's /tmp).
run_inside() {
    local net=()
    [ "$1" = nonet ] && net=(--net)
    shift
    "${sudo[@]}" unshare --mount --propagation private "${net[@]}" bash -c '
        root=$1; shift
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        mount --rbind /sys "$root/sys"
        exec chroot "$root" "$@"
    ' run_inside "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        "CI=${CI:-}" "KVIZORA_SANITIZER=${KVIZORA_SANITIZER:-}" "KVIZORA_FUZZ_SECONDS=${KVIZORA_FUZZ_SECONDS:-60}" \
        "$@"
}

"${sudo[@]}" rm -rf "$root/src"
"${sudo[@]}" mkdir "$root/src"
"${sudo[@]}" tar -x -C "$root/src" -f "$work/src.tar"
"${sudo[@]}" cp -L /etc/resolv.conf "$root/etc/resolv.conf"
run_inside net bash /src/scripts/debian-root.sh --inside install
say "packages installed"
run_inside nonet bash /src/scripts/debian-root.sh --inside test
say "./test.sh passed in the $release root"
