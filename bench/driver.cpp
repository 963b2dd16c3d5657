// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real game windows the way a player meets them and measures them.
// The start-up lines are those of main.cpp; after that the driver plays
// through the windows' own handlers, the way a click does.
//
//   kvizora-bench start    start-up to the title screen, the click on
//                          "ИГРАТЬ" to the game screen, then the game screen
//                          waiting for an answer
//   kvizora-bench stages   two right answers with their verdict windows, the
//                          call window, the game screen waiting again, the
//                          victory window

#include "bench/probe.h"

#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/module1.h"
#include "game/rules.h"
#include "lifelines/form4.h"
#include "platform/platform.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui/fontsetup.h"

#include <QApplication>
#include <QDialog>

#include <cstring>
#include <thread>

namespace {

constexpr int SettleMs = 1000;
constexpr int Verdicts = 2;
constexpr int SpanMs = 5000;

class Stages
{
public:
    Stages(QApplication &app, Bench::EventWatch &watch, Form2 &gameScreen)
        : m_app(app), m_watch(watch), m_gameScreen(gameScreen)
    {
        // Every modal window of the game opens through this seam; the
        // timed ones get a log of their ticks.
        Platform::setModalHandler([this](QDialog &dialog) { return openModal(dialog); });
    }

    void run()
    {
        // Each verdict window starts its timer at another point of the
        // clock's second; a timer that gets rounded shows it on some of them.
        for (int answer = 0; answer < Verdicts; ++answer)
            answerRight();
        callFriend();
        Bench::measureSpan(m_watch, SettleMs, SpanMs, &m_app, [this](Bench::Span span) {
            Bench::reportSpan("after_verdict_idle", span);
            victory();
        });
    }

private:
    int openModal(QDialog &dialog)
    {
        const std::int64_t opened = Bench::nowNs();
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            Bench::TickLog ticks(&verdict->Timer1, opened);
            const int result = dialog.exec();
            ticks.reportAs("verdict");
            return result;
        }
        if (auto *call = qobject_cast<Form4 *>(&dialog)) {
            m_callOpened = true;
            Bench::TickLog ticks(call->Timer1, opened, [call](int tick) {
                if (tick == 15) {
                    // The call is over: the player closes the window.
                    QMetaObject::invokeMethod(
                        call,
                        [call] {
                            call->Command1->click();
                            if (call->isVisible()) {
                                Bench::report("call_close", "failed");
                                call->done(QDialog::Rejected);
                            }
                        },
                        Qt::QueuedConnection);
                }
            });
            const int result = dialog.exec();
            ticks.reportAs("call");
            return result;
        }
        return dialog.exec();
    }

    // Clicks the answer that holds the correct text; the verdict window
    // stages it and the next question follows.
    void answerRight()
    {
        const QString &correct = Module1.AnswerTexts[Module1.QuestionIndex][1];
        for (CaptionButton *button : m_gameScreen.Command) {
            if (Rules::isRightAnswer(button->caption(), correct)) {
                button->click();
                Bench::report("level_after_verdict", Module1.Level);
                return;
            }
        }
        Bench::report("verdict", "no right answer on screen");
    }

    // The phone lifeline's button opens the call window; its fifteen ticks
    // are logged and the player closes it after the last.
    void callFriend()
    {
        m_gameScreen.Command8->click();
        Bench::report("call_window", m_callOpened ? "opened" : "did not open");
    }

    void victory()
    {
        // As the game opens it after the fifteenth right answer.
        auto *window = new Form5(&m_gameScreen);
        window->Form_Load();
        Bench::measureSpan(m_watch, SettleMs, SpanMs, window, [this, window](Bench::Span span) {
            Bench::report("victory_cpu_percent", span.cpuPercent());
            Bench::report("victory_ticks_per_s", span.timerEvents / span.seconds);
            Bench::report("victory_wakeups_per_s", span.wakeUpsPerSecond());
            window->done(QDialog::Accepted);
        });
        Platform::execModal(*window);
        delete window;
        m_app.exit(0);
    }

    QApplication &m_app;
    Bench::EventWatch &m_watch;
    Form2 &m_gameScreen;
    bool m_callOpened = false;
};

Form2 *findGameScreen()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *gameScreen = qobject_cast<Form2 *>(window))
            return gameScreen;
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::int64_t launched = Bench::launchNs();
    const bool stages = argc > 1 && std::strcmp(argv[1], "stages") == 0;
    std::int64_t clicked = 0;
    Stages *stageRun = nullptr;

    // As main.cpp, with the instruments added.
    Desktop::choosePlatform();
    std::thread fonts([] { FontSetup::useGameFonts(); });
    QApplication app(argc, argv);
    fonts.join();
    Appearance::setUpApplication();
    Bench::EventWatch watch;
    auto *titleScreen = new Form1;
    Desktop::nameApplication(titleScreen);

    auto gameScreenShown = [&](std::int64_t gameFrame) {
        Bench::report("click_to_game_frame_ms", Bench::msBetween(clicked, gameFrame));
        Form2 *gameScreen = findGameScreen();
        if (!stages) {
            Bench::measureSpan(watch, SettleMs, SpanMs, &app, [&](Bench::Span span) {
                Bench::reportSpan("idle", span);
                app.exit(0);
            });
            return;
        }
        stageRun = new Stages(app, watch, *gameScreen);
        QTimer::singleShot(SettleMs, &app, [&] { stageRun->run(); });
    };

    watch.onFirstFrame([titleScreen](QWidget *w) { return w == titleScreen; },
                       [&](std::int64_t titleFrame) {
                           Bench::report("title_frame_ms", Bench::msBetween(launched, titleFrame));
                           watch.onFirstFrame([](QWidget *w) { return qobject_cast<Form2 *>(w) != nullptr; },
                                              gameScreenShown);
                           // The player clicks "ИГРАТЬ" the moment the title screen is there.
                           clicked = Bench::nowNs();
                           titleScreen->Command1->click();
                       });
    titleScreen->show();
    // The game screen asks before it closes; leave its event loop directly.
    const int result = app.exec();
    delete stageRun;
    return result;
}
