#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the game against a bare Qt Widgets program under a virtual X
# server and checks the performance budget; see BENCHMARKS.md.
#
#   bench/run.sh [start-up runs] [staged-window runs]      (default 5 and 3)
#
# Exits 0 within budget, 1 when the budget is broken, 2 when a figure could
# not be measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
kvizora_install_missing xvfb xauth dbus-daemon

runs=${1:-5}
stage_runs=${2:-3}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKVIZORA_BENCH=ON >/dev/null
cmake --build "$build" -j "$(kvizora_jobs)" --target kvizora kvizora-bench kvizora-bare kvizora-benchrun >/dev/null

log="$build/bench.log"
: >"$log"
echo "Measuring on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); programs' messages go to $log" >&2
# As on a desktop: the X server stays up between programs (by default Xvfb
# resets itself whenever its last client leaves, and the next program's
# connection waits for that), and a session bus is there (without one,
# every Qt program forks to try to start one).
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    dbus-run-session -- "$build/kvizora-benchrun" --bare "$build/kvizora-bare" --game "$build/kvizora-bench" \
    --runs "$runs" --stage-runs "$stage_runs" --log "$log"
