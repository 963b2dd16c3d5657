// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick: a bare Qt Widgets program with one empty window of the
// title screen's size, measured exactly like the game.

#include "bench/probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    const std::int64_t launched = Bench::launchNs();
    QApplication app(argc, argv);
    Bench::EventWatch watch;

    QWidget window;
    window.resize(309, 427);

    watch.onFirstFrame([&](QWidget *w) { return w == &window; },
                       [&](std::int64_t at) {
                           Bench::report("first_frame_ms", Bench::msBetween(launched, at));
                           Bench::measureSpan(watch, 1000, 5000, &app, [&](Bench::Span span) {
                               Bench::reportSpan("idle", span);
                               app.exit(0);
                           });
                       });
    window.show();
    return app.exec();
}

