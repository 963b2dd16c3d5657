#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the game needs to build, run and be tested,
# but only those that are missing. Sourced by run.sh and test.sh.

kvizora_packages=(
    cmake g++ make                 # the build
    clang libclang-rt-dev          # the sanitizer build and the fuzz target (libFuzzer)
    dpkg-dev                       # the Debian package: dpkg-shlibdeps
    qt6-base-dev qt6-qpa-plugins   # Qt Widgets, the platform plugins (also headless)
    libfontconfig-dev              # the game's font configuration
    qt6-translations-l10n          # Russian texts of Qt's own dialogs
    fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 fonts-paratype fonts-sil-andika  # faces with Cyrillic
)

# Only the tests need these.
kvizora_test_packages=(
    xvfb xauth openbox icewm x11-utils wmctrl xdotool  # the windows on a real X desktop (tests/on-desktop.sh)
    xfwm4 kwin-x11 kwin-style-breeze mutter dbus  # ... under Xfce's, KDE Plasma's and GNOME's window managers
    kwin-wayland xwayland                      # ... and in their Wayland sessions, through XWayland
    llvm                                       # llvm-symbolizer: sanitizer reports name their functions
    lintian appstream desktop-file-utils       # the package check: Debian's checker, the metadata validators
    qt6-base-private-dev                       # turning Qt's accessibility on as a screen reader does
)

kvizora_install_missing() {
    local missing=()
    local pkg
    for pkg in "${kvizora_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kvizora_jobs() {
    nproc 2>/dev/null || echo 2
}
