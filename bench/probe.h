// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BENCH_PROBE_H
#define BENCH_PROBE_H

// Measuring instruments shared by the bare program and the game driver, so
// that both are measured by exactly the same code. A measured program
// prints its figures to stdout as "key=value" lines; bench/harness.cpp
// starts the programs, reads those lines and keeps the score.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace Bench {

inline std::int64_t clockNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The monotonic clock, the same in every process of the run.
inline std::int64_t nowNs()
{
    return clockNs(CLOCK_MONOTONIC);
}

inline double msBetween(std::int64_t fromNs, std::int64_t toNs)
{
    return double(toNs - fromNs) / 1e6;
}

// The moment the harness started this process, taken just before it was
// spawned.
inline std::int64_t launchNs()
{
    const char *text = std::getenv("KVIZORA_BENCH_T0_NS");
    return text ? std::strtoll(text, nullptr, 10) : nowNs();
}

inline void report(const std::string &key, double value)
{
    std::printf("%s=%.3f\n", key.c_str(), value);
    std::fflush(stdout);
}

inline void report(const std::string &key, const std::string &value)
{
    std::printf("%s=%s\n", key.c_str(), value.c_str());
    std::fflush(stdout);
}

// Watches every event of the GUI thread: counts timer events and calls
// back once a top-level window has shown its first frame.
class EventWatch : public QObject
{
public:
    EventWatch() { QCoreApplication::instance()->installEventFilter(this); }

    // Calls `then` with the time, once, right after the first frame of the
    // next top-level window for which `wanted` holds has been painted and
    // handed to the window system. The paint of the top-level widget opens
    // the frame; an event posted then is delivered when the whole repaint
    // and its flush are done.
    void onFirstFrame(std::function<bool(QWidget *)> wanted, std::function<void(std::int64_t)> then)
    {
        m_wanted = std::move(wanted);
        m_then = std::move(then);
    }

    int timerEvents() const { return m_timerEvents.load(); }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != FrameDone)
            return QObject::event(event);
        // The callback may watch for the next window.
        auto then = std::move(m_then);
        m_then = nullptr;
        then(nowNs());
        return true;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            ++m_timerEvents;
        } else if (event->type() == QEvent::Paint && m_wanted && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && m_wanted(widget)) {
                m_wanted = nullptr;
                // Ahead of everything already posted (a window discarded
                // with deleteLater, say), so the clean-up that follows a
                // frame does not count towards it.
                QCoreApplication::postEvent(this, new QEvent(FrameDone), Qt::HighEventPriority);
            }
        }
        return false;
    }

private:
    static constexpr QEvent::Type FrameDone = QEvent::Type(QEvent::User + 1);

    std::function<bool(QWidget *)> m_wanted;
    std::function<void(std::int64_t)> m_then;
    std::atomic<int> m_timerEvents{0};
};

// Context switches of every thread of this process but the calling one.
// A thread that sleeps, wakes and sleeps again adds at least one: the
// count is the number of wake-ups the kernel saw.
inline std::map<long, long> contextSwitches()
{
    std::map<long, long> counts;
    const long self = long(gettid());
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks)
        return counts;
    while (dirent *entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        const long tid = std::strtol(entry->d_name, nullptr, 10);
        if (tid == self)
            continue;
        std::ifstream status(std::string("/proc/self/task/") + entry->d_name + "/status");
        std::string line;
        long total = 0;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::strtol(line.c_str() + line.find(':') + 1, nullptr, 10);
        }
        counts[tid] = total;
    }
    closedir(tasks);
    return counts;
}

// What the program did during a quiet span: wake-ups of all its threads,
// timer events on the GUI thread, and CPU time.
struct Span
{
    double seconds = 0;
    long wakeUps = 0;
    int timerEvents = 0;
    double cpuMs = 0;

    double wakeUpsPerSecond() const { return wakeUps / seconds; }
    // CPU as a share of one core, in per cent.
    double cpuPercent() const { return cpuMs / (seconds * 1000.0) * 100.0; }
};

// Measures a span of the program's life without disturbing it: a helper
// thread sleeps through the settling time, takes its readings, sleeps
// through the span, reads again, and only then wakes the GUI thread with the
// result. The helper's own wake-ups and CPU are left out.
inline void measureSpan(EventWatch &watch, int settleMs, int spanMs, QObject *context, std::function<void(Span)> then)
{
    std::thread([&watch, settleMs, spanMs, context = QPointer<QObject>(context), then = std::move(then)] {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        const auto switchesBefore = contextSwitches();
        const int timersBefore = watch.timerEvents();
        const std::int64_t cpuBefore = clockNs(CLOCK_PROCESS_CPUTIME_ID) - clockNs(CLOCK_THREAD_CPUTIME_ID);
        const std::int64_t start = nowNs();

        std::this_thread::sleep_for(std::chrono::milliseconds(spanMs));

        const std::int64_t cpuAfter = clockNs(CLOCK_PROCESS_CPUTIME_ID) - clockNs(CLOCK_THREAD_CPUTIME_ID);
        const int timersAfter = watch.timerEvents();
        const auto switchesAfter = contextSwitches();
        Span span;
        span.seconds = msBetween(start, nowNs()) / 1000.0;
        for (const auto &[tid, count] : switchesAfter) {
            const auto before = switchesBefore.find(tid);
            span.wakeUps += count - (before == switchesBefore.end() ? 0 : before->second);
        }
        span.timerEvents = timersAfter - timersBefore;
        span.cpuMs = std::max(0.0, double(cpuAfter - cpuBefore) / 1e6);
        if (context)
            QMetaObject::invokeMethod(context.data(), [then, span] { then(span); }, Qt::QueuedConnection);
    }).detach();
}

inline void reportSpan(const std::string &prefix, const Span &span)
{
    report(prefix + "_wakeups_per_s", span.wakeUpsPerSecond());
    report(prefix + "_timer_events", span.timerEvents);
    report(prefix + "_cpu_percent", span.cpuPercent());
}

// Records when each tick of a window's timer has been dealt with, against
// the moment the timer started. Connected after the window's own handler,
// it sees the step completed.
class TickLog : public QObject
{
public:
    TickLog(QTimer *timer, std::int64_t startNs, std::function<void(int tick)> afterTick = {})
        : m_start(startNs)
        , m_interval(timer->interval())
        , m_precise(timer->timerType() == Qt::PreciseTimer)
        , m_afterTick(std::move(afterTick))
    {
        connect(timer, &QTimer::timeout, this, [this] {
            const std::int64_t now = nowNs();
            m_drift.push_back(msBetween(m_start, now) - double(m_interval) * double(m_drift.size() + 1));
            if (m_afterTick)
                m_afterTick(int(m_drift.size()));
        });
    }

    // Milliseconds each tick came after (positive) or before its due time.
    const std::vector<double> &drift() const { return m_drift; }

    // One line per tick: "<prefix>_drift=<tick> <milliseconds>".
    void reportAs(const std::string &prefix) const
    {
        report(prefix + "_interval_ms", m_interval);
        report(prefix + "_timer", m_precise ? "precise" : "coarse");
        for (std::size_t i = 0; i < m_drift.size(); ++i) {
            std::printf("%s_drift=%zu %.3f\n", prefix.c_str(), i + 1, m_drift[i]);
            std::fflush(stdout);
        }
    }

private:
    std::int64_t m_start;
    int m_interval;
    bool m_precise;
    std::function<void(int)> m_afterTick;
    std::vector<double> m_drift;
};

} // namespace Bench

#endif
