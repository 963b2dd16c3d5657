// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the bare program and the game driver in turns, several times,
// collects the "key=value" figures they print and their peak memory, and
// prints medians, game-to-bare ratios and the budget. Exits 1 when the
// budget is broken, 2 when a figure could not be measured.
//
//   kvizora-benchrun --bare PATH --game PATH [--runs N] [--stage-runs N] [--log FILE]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    std::map<std::string, std::string> values;
    // Keys a program prints once per tick: "<window>_drift=<tick> <ms>".
    std::map<std::string, std::vector<std::pair<int, double>>> drifts;
    double peakMiB = 0;
    bool ok = false;

    std::optional<double> number(const std::string &key) const
    {
        const auto found = values.find(key);
        if (found == values.end())
            return std::nullopt;
        return std::strtod(found->second.c_str(), nullptr);
    }
};

std::int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

std::string g_log = "/dev/null";

// Runs one program to its end; its stdout carries the figures, its stderr
// goes to the log. The moment of the spawn travels in the environment.
Run runProgram(const std::string &path, const std::vector<std::string> &args, int timeoutSeconds)
{
    Run run;
    int out[2];
    if (pipe(out) != 0)
        return run;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, g_log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);

    std::vector<std::string> argStrings{path};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 && std::strncmp(*e, "KVIZORA_BENCH_T0_NS=", 20) != 0)
            envStrings.emplace_back(*e);
    }
    envStrings.emplace_back("QT_QPA_PLATFORM=xcb");
    envStrings.emplace_back();
    std::vector<char *> envp;
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    char launched[64];
    pid_t pid = 0;
    std::snprintf(launched, sizeof launched, "KVIZORA_BENCH_T0_NS=%lld", static_cast<long long>(nowNs()));
    envStrings.back() = launched;
    envp[envp.size() - 2] = envStrings.back().data();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", path.c_str(), std::strerror(spawned));
        return run;
    }

    std::string text;
    const std::int64_t deadline = nowNs() + std::int64_t(timeoutSeconds) * 1'000'000'000;
    bool timedOut = false;
    for (;;) {
        pollfd fd{out[0], POLLIN, 0};
        const int ready = poll(&fd, 1, 500);
        if (ready > 0) {
            char buffer[4096];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, std::size_t(n));
        }
        if (nowNs() > deadline) {
            timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
    }
    close(out[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    run.ok = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.ok)
        std::fprintf(stderr, "%s %s %s\n", path.c_str(), args.empty() ? "" : args[0].c_str(),
                     timedOut ? "did not finish in time" : "failed");

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
            if (key.size() > 6 && key.compare(key.size() - 6, 6, "_drift") == 0) {
                char *rest = nullptr;
                const int tick = int(std::strtol(value.c_str(), &rest, 10));
                run.drifts[key.substr(0, key.size() - 6)].emplace_back(tick, std::strtod(rest, nullptr));
            } else {
                run.values[key] = value;
            }
        }
        start = end + 1;
    }
    return run;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double maximum(const std::vector<double> &values)
{
    return values.empty() ? NAN : *std::max_element(values.begin(), values.end());
}

bool g_missing = false;

// One figure from every run; a run without it makes the benchmark fail.
std::vector<double> collect(const std::vector<Run> &runs, const std::string &key)
{
    std::vector<double> values;
    for (const Run &run : runs) {
        if (const auto value = run.number(key))
            values.push_back(*value);
        else {
            std::fprintf(stderr, "missing figure: %s\n", key.c_str());
            g_missing = true;
        }
    }
    return values;
}

std::vector<double> peaks(const std::vector<Run> &runs)
{
    std::vector<double> values;
    for (const Run &run : runs)
        values.push_back(run.peakMiB);
    return values;
}

struct Drift
{
    bool present = false;
    int ticks = 0;
    int windows = 0;                           // windows opened in all runs
    std::string timer;
    double interval = 0;
    std::vector<double> all;                   // every tick of every run, in ms
    std::vector<std::vector<double>> perTick;  // [tick][run]
};

Drift collectDrift(const std::vector<Run> &runs, const std::string &prefix, int ticks)
{
    Drift drift;
    drift.ticks = ticks;
    drift.perTick.resize(std::size_t(ticks));
    for (const Run &run : runs) {
        if (!run.number(prefix + "_interval_ms"))
            continue;
        drift.present = true;
        drift.interval = *run.number(prefix + "_interval_ms");
        drift.timer = run.values.at(prefix + "_timer");
        const auto found = run.drifts.find(prefix);
        std::vector<int> seen(std::size_t(ticks), 0);
        if (found != run.drifts.end()) {
            for (const auto &[tick, ms] : found->second) {
                if (tick < 1 || tick > ticks)
                    continue;
                drift.all.push_back(ms);
                drift.perTick[std::size_t(tick - 1)].push_back(ms);
                ++seen[std::size_t(tick - 1)];
            }
        }
        for (int tick = 1; tick <= ticks; ++tick) {
            if (seen[std::size_t(tick - 1)] == 0) {
                std::fprintf(stderr, "%s: tick %d missing\n", prefix.c_str(), tick);
                g_missing = true;
            }
        }
    }
    drift.windows = int(drift.perTick.empty() ? 0 : drift.perTick[0].size());
    return drift;
}

double maxAbs(const std::vector<double> &values)
{
    double worst = 0;
    for (double v : values)
        worst = std::max(worst, std::fabs(v));
    return worst;
}

int g_broken = 0;

// The row title padded to the first column; titles may hold Cyrillic, so
// the width counts characters, not bytes.
std::string column(const std::string &text)
{
    constexpr int Width = 46;
    int chars = 0;
    for (unsigned char c : text)
        chars += (c & 0xC0) != 0x80;
    return text + std::string(std::size_t(std::max(1, Width - chars)), ' ');
}

const char *verdict(bool within)
{
    if (!within)
        ++g_broken;
    return within ? "ok" : "BROKEN";
}

void printDrift(const char *title, const Drift &drift, double limitMs)
{
    if (!drift.present) {
        std::printf("%s not measured\n", column(title).c_str());
        g_missing = true;
        return;
    }
    std::vector<double> absolute;
    for (double v : drift.all)
        absolute.push_back(std::fabs(v));
    const double worst = maxAbs(drift.all);
    std::printf("%s %s timer of %.0f ms, %d windows: |drift| median %.1f ms, worst %.1f ms   <= %.0f ms  %s\n",
                column(title).c_str(), drift.timer.c_str(), drift.interval, drift.windows, median(absolute), worst,
                limitMs, verdict(worst <= limitMs));
    std::printf("%s", column("    median drift by tick (ms)").c_str());
    for (const auto &tick : drift.perTick)
        std::printf(" %+.1f", median(tick));
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    std::string bare, game;
    int runs = 5, stageRuns = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--bare")
            bare = argv[i + 1];
        else if (option == "--game")
            game = argv[i + 1];
        else if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--stage-runs")
            stageRuns = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--log")
            g_log = argv[i + 1];
    }
    if (bare.empty() || game.empty()) {
        std::fprintf(stderr, "usage: %s --bare PATH --game PATH [--runs N] [--stage-runs N] [--log FILE]\n", argv[0]);
        return 2;
    }

    // One untimed run of each first, so that both meet warm caches.
    std::fprintf(stderr, "warming up\n");
    runProgram(bare, {}, 60);
    runProgram(game, {"start"}, 60);

    std::vector<Run> bareRuns, startRuns, stageRunsDone;
    for (int i = 0; i < runs; ++i) {
        std::fprintf(stderr, "start-up run %d of %d\n", i + 1, runs);
        // Alternate the order, so that neither always runs second.
        if (i % 2 == 0) {
            bareRuns.push_back(runProgram(bare, {}, 60));
            startRuns.push_back(runProgram(game, {"start"}, 60));
        } else {
            startRuns.push_back(runProgram(game, {"start"}, 60));
            bareRuns.push_back(runProgram(bare, {}, 60));
        }
    }
    for (int i = 0; i < stageRuns; ++i) {
        std::fprintf(stderr, "staged-window run %d of %d\n", i + 1, stageRuns);
        stageRunsDone.push_back(runProgram(game, {"stages"}, 180));
    }
    for (const auto *set : {&bareRuns, &startRuns, &stageRunsDone}) {
        for (const Run &run : *set)
            g_missing = g_missing || !run.ok;
    }

    const double bareFrame = median(collect(bareRuns, "first_frame_ms"));
    const double titleFrame = median(collect(startRuns, "title_frame_ms"));
    const double click = median(collect(startRuns, "click_to_game_frame_ms"));

    const double barePeak = median(peaks(bareRuns));
    const double startPeak = median(peaks(startRuns));
    const double wholePeak = median(peaks(stageRunsDone));
    const double gamePeak = std::max(startPeak, wholePeak);

    std::printf("\nKvizora benchmark: %d start-up runs of the game and the bare program (after one warm-up each),\n"
                "%d runs of the staged windows; medians unless said otherwise\n\n",
                runs, stageRuns);
    std::printf("%s %10s %10s %8s %10s\n", column("").c_str(), "game", "bare", "ratio", "budget");
    // Start-up as the player meets it, one window at a time: the title
    // screen against a bare Qt program's first window, then the game screen
    // within one frame at 60 Hz of the click.
    std::printf("%s %7.1f ms %7.1f ms %8.2f %10s  %s\n", column("start-up to the title screen's first frame").c_str(),
                titleFrame, bareFrame, titleFrame / bareFrame, "<= 1.25", verdict(titleFrame / bareFrame <= 1.25));
    std::printf("%s %7.1f ms %19s %10s  %s\n", column("click on ИГРАТЬ to the game screen's frame").c_str(), click, "",
                "<= 16.7 ms", verdict(click <= 1000.0 / 60.0));
    std::printf("%s %6.1f MiB %6.1f MiB %8.2f\n", column("peak memory, up to the game screen").c_str(), startPeak, barePeak,
                startPeak / barePeak);
    std::printf("%s %6.1f MiB %6.1f MiB %8.2f %10s  %s\n", column("peak memory, whole game (verdict ... victory)").c_str(),
                wholePeak, barePeak, wholePeak / barePeak, "<= 1.30", verdict(gamePeak / barePeak <= 1.30));

    // Waiting for an answer: every run must be quiet, not just the median.
    const auto idleRow = [](const char *title, const std::vector<Run> &gameRuns, const std::string &prefix,
                            const std::vector<Run> &bareSet) {
        const std::vector<double> wake = collect(gameRuns, prefix + "_wakeups_per_s");
        const std::vector<double> timers = collect(gameRuns, prefix + "_timer_events");
        const std::vector<double> cpu = collect(gameRuns, prefix + "_cpu_percent");
        const std::vector<double> bareWake = collect(bareSet, "idle_wakeups_per_s");
        const std::vector<double> bareCpu = collect(bareSet, "idle_cpu_percent");
        std::printf("%s\n", title);
        std::printf("%s %10.2f %10.2f %8s %10s  %s\n", column("    wake-ups per second (worst run)").c_str(), maximum(wake),
                    maximum(bareWake), "", "0", verdict(maximum(wake) == 0));
        std::printf("%s %10.0f %10s %8s %10s  %s\n", column("    timer events (worst run)").c_str(), maximum(timers), "", "", "0",
                    verdict(maximum(timers) == 0));
        std::printf("%s %8.3f %% %8.3f %%\n", column("    CPU of one core").c_str(), median(cpu), median(bareCpu));
    };
    idleRow("waiting for an answer, first question (5 s)", startRuns, "idle", bareRuns);
    idleRow("waiting for an answer after a verdict and the call (5 s)", stageRunsDone, "after_verdict_idle", bareRuns);

    const double animation = median(collect(stageRunsDone, "victory_cpu_percent"));
    const double frames = median(collect(stageRunsDone, "victory_ticks_per_s"));
    std::printf("%s %8.2f %% %21s %10s  %s\n", column("victory animation, CPU of one core").c_str(), animation, "", "< 2 %",
                verdict(animation < 2.0));
    std::printf("%s %10.1f\n", column("    animation ticks per second").c_str(), frames);

    printDrift("verdict window, 8 ticks against the clock", collectDrift(stageRunsDone, "verdict", 8), 20);
    printDrift("call window, 15 ticks against the clock", collectDrift(stageRunsDone, "call", 15), 20);
    for (const Run &run : stageRunsDone) {
        const auto call = run.values.find("call_window");
        if (call != run.values.end() && call->second == "did not open") {
            std::fprintf(stderr, "the call window is built but did not open\n");
            g_missing = true;
        }
    }

    if (g_missing) {
        std::printf("\nSome figures could not be measured (see above and the log %s).\n", g_log.c_str());
        return 2;
    }
    if (g_broken) {
        std::printf("\nBudget broken in %d place%s.\n", g_broken, g_broken == 1 ? "" : "s");
        return 1;
    }
    std::printf("\nWithin budget.\n");
    return 0;
}
