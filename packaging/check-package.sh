#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in a build folder and checks what it holds and
# what it declares.
set -euo pipefail
build=$1
cd "$build"
rm -f kvizora_*.deb
cpack -G DEB >/dev/null
deb=$(ls kvizora_*.deb)

contents=$(dpkg-deb -c "$deb" | awk '{print $6 ($7 ? " " $7 " " $8 : "")}')
fail=0
expect() {
    if ! grep -qxF -- "$1" <<<"$contents"; then
        echo "missing from $deb: $1"
        fail=1
    fi
}
expect "./usr/lib/kvizora/kvizora"
expect "./usr/bin/kvizora -> ../lib/kvizora/kvizora"
expect "./usr/share/applications/kvizora.desktop"
expect "./usr/share/icons/hicolor/32x32/apps/kvizora.png"
for n in $(seq 1 15); do expect "./usr/lib/kvizora/data/qa/$n.dat"; done
for f in intrigue Right Wrong; do expect "./usr/lib/kvizora/data/host/$f.dat"; done
for f in 5050d Phoned Audid; do expect "./usr/lib/kvizora/data/gfx/$f.gif"; done

depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libfontconfig1 qt6-qpa-plugins fonts-dejavu-core fonts-liberation2 fonts-paratype fonts-sil-andika; do
    if ! grep -q "\b$dep\b" <<<"$depends"; then
        echo "$deb does not depend on $dep (Depends: $depends)"
        fail=1
    fi
done

# The content files travel byte for byte.
for n in 1 15; do
    if ! cmp -s <(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/lib/kvizora/data/qa/$n.dat") "$(dirname "$0")/../data/qa/$n.dat"; then
        echo "data/qa/$n.dat changed on its way into the package"
        fail=1
    fi
done

[ $fail -eq 0 ] && echo "$deb: layout and dependencies as expected"
exit $fail
