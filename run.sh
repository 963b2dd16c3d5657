#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds a release and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kvizora_install_missing

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(kvizora_jobs)"
exec "$build/kvizora"
