#!/usr/bin/env bash
# Installs what is missing, builds the game with its tests and runs every
# test headless.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kvizora_install_missing

export QT_QPA_PLATFORM=offscreen
build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" -j "$(kvizora_jobs)"
ctest --test-dir "$build" --output-on-failure -j "$(kvizora_jobs)"
