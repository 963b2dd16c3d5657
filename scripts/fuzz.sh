#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes for a number of seconds each (default 60): `scripts/fuzz.sh 3600`
# for an hour each. Two targets: the content reader with the presentation of
# a question (kvizora_fuzz, seeds in fuzz/corpus), and the content check
# with its conversion (kvizora_fuzz_check, seeds in fuzz/corpus-check).
# Builds the sanitizer build's fuzz targets when they are missing. The
# seeds stay as they are; what a run learns is kept in
# build/asan/fuzz-corpus (and fuzz-corpus-check) for the next run, and an
# input that fails is written to build/asan/fuzz-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
seconds=${1:-60}

build=build/asan
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DKVIZORA_SANITIZE=ON >/dev/null
fi
cmake --build "$build" -j "$(kvizora_jobs)" --target kvizora_fuzz kvizora_fuzz_check >/dev/null

mkdir -p "$build/fuzz-findings"
# target, seed folder, learned corpus
for run in "kvizora_fuzz fuzz/corpus fuzz-corpus" "kvizora_fuzz_check fuzz/corpus-check fuzz-corpus-check"; do
    read -r target seeds learned <<<"$run"
    mkdir -p "$build/$learned"
    log="$build/$target.log"
    # -timeout: an input that takes longer than this many seconds counts as
    # a hang; the game and the check must handle any file at once.
    if ! QT_QPA_PLATFORM=offscreen \
         LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0" \
         UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
         "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=16384 \
             -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 \
             "$build/$learned" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz ($target): a finding; the input is in $build/fuzz-findings/ (log: $log)"
        exit 1
    fi
    runs=$(grep -oE '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -n 1)
    echo "fuzz ($target): ${runs#Done }s, no finding (log: $log)"
done
