// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/module1.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <QAbstractButton>
#include <functional>
#include <memory>

// Close requests on every window the game opens: the Esc key, a close
// event (what Alt+F4 gives a window), a close from the window system, and
// the end of the desktop session (logging off).
// Each has one outcome: refused, closing the window, a default answer, or
// the end of the program.
class TestCloseRequests : public QObject
{
    Q_OBJECT

public:
    enum Request { Escape, CloseEvent, WindowSystem, SessionEnd };
    Q_ENUM(Request)

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void titleScreen_data() { requestRows(); }
    void titleScreen();
    void gameScreenAsksFirst_data();
    void gameScreenAsksFirst();
    void sessionEndsUnaskedWhenNoQuestionCanBeLeft();
    void verdictWindowRefusesAndTheVerdictGoesOn_data() { requestRows(); }
    void verdictWindowRefusesAndTheVerdictGoesOn();
    void callWindowHangsUpOnlyOnAClose_data() { requestRows(); }
    void callWindowHangsUpOnlyOnAClose();
    void victoryWindowClosedAnyWayEndsTheProgram_data() { requestRows(); }
    void victoryWindowClosedAnyWayEndsTheProgram();
    void messageBoxesTakeTheirEscapeAnswer_data();
    void messageBoxesTakeTheirEscapeAnswer();
    void answerAcceleratorNeverLandsInsideALaterWindow();

private:
    static void requestRows();
    // Sends `request` to a shown window.
    static void send(QWidget *window, Request request);
    // The right answer on screen, clicked.
    void answerRight();

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
    SeededRandom m_random{11};
    std::function<void(QDialog &)> m_drive;
    // What the game screen answered the last session end.
    static inline bool s_sessionEndRefused = false;
};

void TestCloseRequests::requestRows()
{
    QTest::addColumn<Request>("request");
    QTest::newRow("Esc") << Escape;
    QTest::newRow("close event (Alt+F4)") << CloseEvent;
    QTest::newRow("window system's close") << WindowSystem;
}

void TestCloseRequests::send(QWidget *window, Request request)
{
    switch (request) {
    case Escape:
        // To the control that has the keyboard, as a key press goes.
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
        break;
    case CloseEvent:
        window->close();
        break;
    case WindowSystem:
        window->windowHandle()->close();
        break;
    case SessionEnd:
        // The session manager lets the game ask.
        s_sessionEndRefused = qobject_cast<Form2 *>(window)->refusesSessionEnd(true);
        break;
    }
}

void TestCloseRequests::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_random = SeededRandom(11);
    Platform::setRandomSource(&m_random);
    m_data = std::make_unique<DataFolder>();
    m_data->copyShippedData();
    m_drive = [](QDialog &dialog) {
        // Verdicts to their end.
        if (auto *verdict = qobject_cast<Form3 *>(&dialog))
            for (int tick = 0; tick < 8; ++tick)
                verdict->Timer1_Timer();
    };
    Platform::setModalHandler([this](QDialog &dialog) {
        m_drive(dialog);
        return dialog.result();
    });
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestCloseRequests::cleanup()
{
    m_form.reset();
    qDeleteAll(QApplication::topLevelWidgets());
    m_data.reset();
    m_platform.reset();
}

void TestCloseRequests::answerRight()
{
    const int right = rightAnswerButton(*m_form);
    if (right < 0)
        QFAIL("no button shows the correct answer");
    m_form->Command_Click(right);
}

void TestCloseRequests::titleScreen()
{
    // Esc is bound to nothing; a close request leaves, as "Отмена" does:
    // no question, no message, no game.
    QFETCH(Request, request);
    m_form.reset();
    QPointer<Form1> title = new Form1;
    title->show();
    QVERIFY(QTest::qWaitForWindowExposed(title));
    if (request == Escape) {
        send(title, request);
        QVERIFY(title->isVisible());
        QCOMPARE(m_platform->ends, 0);
        return;
    }
    const ChildOutcome outcome = runInChildProcess([&] { send(title, request); });
    QVERIFY(outcome.exited);
    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(outcome.messages.isEmpty());
}

void TestCloseRequests::gameScreenAsksFirst_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Esc") << Escape << false;
    QTest::newRow("close event, No") << CloseEvent << false;
    QTest::newRow("window system's close, No") << WindowSystem << false;
    QTest::newRow("close event, Yes") << CloseEvent << true;
    QTest::newRow("window system's close, Yes") << WindowSystem << true;
    QTest::newRow("logging off, No") << SessionEnd << false;
    QTest::newRow("logging off, Yes") << SessionEnd << true;
}

void TestCloseRequests::gameScreenAsksFirst()
{
    // A close request asks "Хотите выйти?": No keeps the game as it was,
    // Yes reports the sum won and ends the program. Esc does nothing.
    QFETCH(Request, request);
    QFETCH(bool, yes);
    answerRight();
    answerRight(); // question 3: two right answers, 200 roubles won
    m_form->Command6_Click();
    const QString question = m_form->Label3->caption();
    if (yes) {
        const ChildOutcome outcome = runInChildProcess([&] { send(m_form.get(), request); });
        QVERIFY(outcome.exited);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.messages, (QStringList{"Хотите выйти?", "Игра окончена. Ваш выигрыш составил 200 рублей."}));
        return;
    }
    m_platform->answers << Platform::MessageResult::No;
    s_sessionEndRefused = false;
    send(m_form.get(), request);
    QCOMPARE(m_platform->messages.size(), request == Escape ? 0 : 1);
    // No keeps the session going as well as the game.
    QCOMPARE(s_sessionEndRefused, request == SessionEnd);
    QCOMPARE(m_platform->ends, 0);
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->Label3->caption(), question);
    QCOMPARE(Module1.Level, 3);
    QCOMPARE(Module1.FiftyFiftyUsed, FlagSet);
    answerRight();
    QCOMPARE(Module1.Level, 4);
}

void TestCloseRequests::sessionEndsUnaskedWhenNoQuestionCanBeLeft()
{
    // Without the session manager's leave to ask, no window may open; while
    // a verdict is staged the level already counts the answer being judged,
    // and taking the money would report its sum unearned. Either way the
    // game ends with the session, unasked.
    QVERIFY(!m_form->refusesSessionEnd(false));
    bool refused = true;
    m_drive = [&](QDialog &dialog) {
        auto &verdict = dynamic_cast<Form3 &>(dialog);
        verdict.setWindowModality(Qt::ApplicationModal);
        verdict.show();
        refused = m_form->refusesSessionEnd(true);
        verdict.hide();
        for (int tick = 0; tick < 8; ++tick)
            verdict.Timer1_Timer();
    };
    answerRight();
    QVERIFY(!refused);
    QVERIFY(m_platform->messages.isEmpty());
    QCOMPARE(m_platform->ends, 0);
    QCOMPARE(Module1.Level, 2);
}

void TestCloseRequests::verdictWindowRefusesAndTheVerdictGoesOn()
{
    // Closing the verdict early would let any answer lead on: every
    // request is refused and the verdict is given at its time.
    QFETCH(Request, request);
    bool stayedOpen = false;
    m_drive = [&](QDialog &dialog) {
        auto &verdict = dynamic_cast<Form3 &>(dialog);
        verdict.show();
        verdict.Timer1_Timer();
        send(&verdict, request);
        stayedOpen = verdict.isVisible() && verdict.Timer1.isActive() && verdict.result() == 0;
        for (int tick = 2; tick <= 8; ++tick)
            verdict.Timer1_Timer();
    };
    answerRight();
    QVERIFY(stayedOpen);
    QCOMPARE(Module1.Level, 2);
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("2 вопрос"));
    QCOMPARE(m_platform->messages.size(), 0);
}

void TestCloseRequests::callWindowHangsUpOnlyOnAClose()
{
    // Esc does not hang up; a close request ends the call at once. Either
    // way the lifeline stays used and the same question waits.
    QFETCH(Request, request);
    QPointer<QTimer> timer;
    bool open = false, running = false;
    int step = 0;
    m_drive = [&](QDialog &dialog) {
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            for (int tick = 0; tick < 8; ++tick)
                verdict->Timer1_Timer();
            return;
        }
        auto &call = dynamic_cast<Form4 &>(dialog);
        timer = call.Timer1;
        call.show();
        for (int tick = 0; tick < 4; ++tick)
            call.Timer1_Timer();
        send(&call, request);
        open = call.isVisible();
        running = call.Timer1->isActive();
        step = call.CallStep;
    };
    const QString question = m_form->Label3->caption();
    m_form->Command8_Click();
    QCOMPARE(open, request == Escape);
    QCOMPARE(running, request == Escape);
    QCOMPARE(step, 4);
    QVERIFY(timer.isNull()); // the window, and its timer with it, are gone
    QCOMPARE(Module1.PhoneUsed, FlagSet);
    QCOMPARE(m_form->Label3->caption(), question);
    answerRight();
    QCOMPARE(Module1.Level, 2);
}

void TestCloseRequests::victoryWindowClosedAnyWayEndsTheProgram()
{
    // The only way on from the victory window is the end: closed by Esc or
    // from outside, the window goes and the program ends without a word.
    QFETCH(Request, request);
    bool closed = false, stopped = false;
    m_drive = [&](QDialog &dialog) {
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            for (int tick = 0; tick < 8; ++tick)
                verdict->Timer1_Timer();
            return;
        }
        auto &victory = dynamic_cast<Form5 &>(dialog);
        victory.show();
        victory.Timer1_Timer();
        send(&victory, request);
        closed = !victory.isVisible();
        stopped = !victory.Timer1.isActive();
    };
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, {
        for (int question = 1; question <= 15; ++question)
            answerRight();
    });
    QVERIFY(closed);
    QVERIFY(stopped);
    QCOMPARE(Module1.Level, 16);
    QCOMPARE(m_platform->ends, 1);
    QVERIFY(m_platform->messages.isEmpty());
}

void TestCloseRequests::messageBoxesTakeTheirEscapeAnswer_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<Request>("request");
    for (const char *box : {"quit question", "game over", "poll", "refusal", "file error"}) {
        QTest::addRow("%s, Esc", box) << box << Escape;
        QTest::addRow("%s, close event", box) << box << CloseEvent;
        QTest::addRow("%s, window system's close", box) << box << WindowSystem;
    }
}

void TestCloseRequests::messageBoxesTakeTheirEscapeAnswer()
{
    // The real message boxes: "Хотите выйти?" closed any way is No and the
    // game goes on; a box with OK only closed any way is OK, after which
    // the game goes on or ends as after OK.
    QFETCH(QString, box);
    QFETCH(Request, request);
    Platform::setMessageBoxHandler({});
    QStringList shown;
    // Looks for an open box whenever the event loop of one runs; gone with
    // this function.
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *messageBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!messageBox)
            return;
        if (box == "game over" && messageBox->text() == QStringLiteral("Хотите выйти?")) {
            // The player takes the money; the box with the sum is the one
            // closed by the request.
            for (QAbstractButton *button : messageBox->buttons())
                if (button->text() == QStringLiteral("Да"))
                    button->click();
            return;
        }
        shown << messageBox->text();
        // Only the game screen carries an icon; a box it owns would take
        // it, unless it carries one that shows nothing.
        const QImage icon = messageBox->windowIcon().pixmap(16).toImage();
        bool showsNothing = true;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                showsNothing = showsNothing && qAlpha(icon.pixel(x, y)) == 0;
        if (!showsNothing)
            shown << QStringLiteral("with the game screen's icon");
        send(messageBox, request);
        if (messageBox->isVisible()) {
            shown << QStringLiteral("still open");
            messageBox->done(0);
        }
    });
    closer.start();

    if (box == "quit question") {
        m_form->CommandButton2_Click();
        QCOMPARE(shown, QStringList{"Хотите выйти?"});
        QCOMPARE(m_platform->ends, 0);
        QCOMPARE(Module1.Level, 1);
    } else if (box == "game over") {
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->CommandButton2_Click());
        QCOMPARE(shown, QStringList{"Игра окончена. Ваш выигрыш составил 0 рублей."});
        QCOMPARE(m_platform->ends, 1);
    } else if (box == "poll") {
        m_form->Command9_Click();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().startsWith(QStringLiteral("Помощь аудитории:")));
        QCOMPARE(m_platform->ends, 0);
        QCOMPARE(Module1.AudienceUsed, FlagSet);
    } else if (box == "refusal") {
        Module1.FiftyFiftyUsed = FlagSet;
        m_form->Command6_Click();
        QCOMPARE(shown, QStringList{"Эту подсказку вы уже использовали."});
        QCOMPARE(m_platform->ends, 0);
    } else {
        QVERIFY(QFile::remove(m_data->path() + "/data/qa/2.dat"));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, answerRight());
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().contains(QStringLiteral("2.dat")));
        QCOMPARE(m_platform->ends, 1);
    }
    QVERIFY(m_form->isVisible());
}

void TestCloseRequests::answerAcceleratorNeverLandsInsideALaterWindow()
{
    // Alt+letter, then at once a click on ask-the-audience. The button's
    // accelerator used to click a tenth of a second later, from a timer,
    // by which time the poll box was open: the answer was judged behind it.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    Platform::setMessageBoxHandler({});
    int verdicts = 0;
    bool insideAnotherWindow = false;
    m_drive = [&](QDialog &dialog) {
        auto &verdict = dynamic_cast<Form3 &>(dialog);
        ++verdicts;
        insideAnotherWindow = QApplication::activeModalWidget() != nullptr;
        for (int tick = 0; tick < 8; ++tick)
            verdict.Timer1_Timer();
    };
    const int right = rightAnswerButton(*m_form);
    QVERIFY(right >= 0);
    // The poll stays open for a third of a second, then is closed.
    QTimer::singleShot(300, this, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::keyClick(m_form.get(), Qt::Key(Qt::Key_A + right), Qt::AltModifier);
    m_form->Command9_Click();
    QCOMPARE(verdicts, 1);
    QVERIFY(!insideAnotherWindow);
    QCOMPARE(Module1.Level, 2);
    QCOMPARE(Module1.AudienceUsed, FlagSet);
}

QTEST_MAIN(TestCloseRequests)
#include "tst_closerequests.moc"
