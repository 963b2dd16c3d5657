#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command in a fresh Debian 13 (trixie) root made
# with mmdebstrap from Debian's packages: the committed files of this
# checkout are copied in, and ./test.sh installs everything else itself,
# as it would for a new user. Needs root (or sudo) and the network.
#
#   scripts/debian13.sh [TARGET]
#
# TARGET is where mmdebstrap leaves the root: a directory keeps it (to look
# into a failure, e.g. with `chroot DIR`); the default, /dev/null, keeps
# nothing. Environment passed on to ./test.sh: KVIZORA_SANITIZER=off runs
# only the normal build and its tests; KVIZORA_FUZZ_SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."

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

# The test command runs with a clean environment, as in a new login: only
# what CI sets is handed on.
test_env=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
          "CI=${CI:-}" "KVIZORA_SANITIZER=${KVIZORA_SANITIZER:-}" "KVIZORA_FUZZ_SECONDS=${KVIZORA_FUZZ_SECONDS:-60}")
printf -v test_cmd '%q ' "${test_env[@]}"

# The root has apt and nothing else. The hooks run on this machine through
# sh, with the root's folder as $1; mmdebstrap mounts /proc, /dev and /sys
# for them.
start=$(date +%s)
elapsed="\$((\$(date +%s) - $start)) s"
"${sudo[@]}" mmdebstrap --variant=apt --mode=root \
    --customize-hook="echo \"debian13.sh: the root made after $elapsed\"" \
    --customize-hook="mkdir \"\$1/src\" && tar -x -C \"\$1/src\" -f '$tree/src.tar'" \
    --customize-hook="chroot \"\$1\" $test_cmd bash -c 'cd /src && ./test.sh'" \
    --customize-hook="echo \"debian13.sh: ./test.sh passed in the Debian 13 root after $elapsed\"" \
    "$suite" "$target" "$mirror"
