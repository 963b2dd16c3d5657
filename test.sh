#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the game with its tests and runs every
# test headless; then builds the game and its tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang) and runs them all
# there, after a short fuzz run each of the content reader and of the
# content check.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kvizora_install_missing "${kvizora_test_packages[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(kvizora_jobs)

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DKVIZORA_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"

# KVIZORA_SANITIZER=off stops here, after the normal build's tests.
[ "${KVIZORA_SANITIZER:-on}" = off ] && exit 0

sanitized=build/asan
CC=clang CXX=clang++ cmake -S . -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DKVIZORA_SANITIZE=ON -DKVIZORA_WERROR=ON >/dev/null
cmake --build "$sanitized" -j "$jobs"
scripts/fuzz.sh "${KVIZORA_FUZZ_SECONDS:-60}"
ctest --test-dir "$sanitized" --output-on-failure -j "$jobs"
