// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/ladder.h"
#include "game/module1.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QAccessibleInterface>
#include <QFile>
#include <QTest>

#include <memory>

#include <unistd.h>

// Answering, the staged verdict, and the ways a game ends or goes on.
class TestAnswerFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void rightAnswerIsStagedAndLeadsToTheNextQuestion();
    void wrongAnswerReportsTheGuaranteedSumAndEnds_data();
    void wrongAnswerReportsTheGuaranteedSumAndEnds();
    void verdictIsAnExactComparison_data();
    void verdictIsAnExactComparison();
    void takingTheMoneyReportsTheLastRightSum_data();
    void takingTheMoneyReportsTheLastRightSum();
    void noAtTheQuitQuestionChangesNothing();
    void verdictWindowRefusesEveryOutsideClose();
    void minimisedWindowCarriesTheTitleAndRestoresTitleLess();
    void altLetterClicksItsAnswerWhateverTheCaption_data();
    void altLetterClicksItsAnswerWhateverTheCaption();
    void keyboardAloneWinsAWholeGame();
    void endingTheProgramIsImmediate();

private:
    // Puts question `record` of `level` on screen with answers in `order`.
    void showQuestion(int level, int record = 1, std::array<int, 4> order = {1, 2, 3, 4});
    // Drives every verdict window through its eight ticks by calling its
    // timer directly, recording what the player sees after each tick.
    void driveVerdicts();
    // Scripts the two draws of a verdict: the suspense line and the
    // right or wrong line.
    void scriptVerdict(double intrigueDraw = 0.5, double verdictDraw = 0.5);

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
    QStringList m_banner;          // the verdict window's line, at opening and after each tick
    QList<QColor> m_judgedColours; // the clicked button's back colour, likewise
    QList<QColor> m_judgedText;    // the clicked button's text colour, likewise
    QList<int> m_levels;           // Level while the verdict is staged
    int m_verdicts = 0;
    bool m_closedByStep8 = false;
};

void TestAnswerFlow::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_data = std::make_unique<DataFolder>();
    m_data->writeHostFiles();
    m_data->writeLevels(1, 15);
    m_form = std::make_unique<Form2>();
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4});
    m_form->Form_Load();
    m_banner.clear();
    m_judgedColours.clear();
    m_judgedText.clear();
    m_levels.clear();
    m_verdicts = 0;
    m_closedByStep8 = false;
    driveVerdicts();
}

void TestAnswerFlow::cleanup()
{
    m_form.reset();
    m_data.reset();
    m_platform.reset();
}

void TestAnswerFlow::showQuestion(int level, int record, std::array<int, 4> order)
{
    Module1.Level = static_cast<std::uint8_t>(level);
    m_platform->random.addOneOf(10, record);
    m_platform->random.addShuffle(order);
    m_form->ShowQuestion(QStringLiteral("%1.dat").arg(level), level);
}

void TestAnswerFlow::scriptVerdict(double intrigueDraw, double verdictDraw)
{
    m_platform->random.add(intrigueDraw);
    m_platform->random.add(verdictDraw);
}

void TestAnswerFlow::driveVerdicts()
{
    Platform::setModalHandler([this](QDialog &dialog) {
        auto &verdict = dynamic_cast<Form3 &>(dialog);
        ++m_verdicts;
        CaptionButton *clicked = m_form->Command[Module1.ChosenAnswer - 1];
        const auto record = [&] {
            m_banner << verdict.Label1->caption();
            m_judgedColours << clicked->backColor();
            m_judgedText << clicked->foreColor();
            m_levels << Module1.Level;
        };
        record();
        for (int tick = 1; tick <= 8; ++tick) {
            verdict.Timer1_Timer();
            record();
        }
        m_closedByStep8 = verdict.result() == QDialog::Accepted && !verdict.Timer1.isActive();
        return verdict.result();
    });
}

void TestAnswerFlow::rightAnswerIsStagedAndLeadsToTheNextQuestion()
{
    showQuestion(1, 3, {2, 1, 3, 4}); // the correct answer on B
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    scriptVerdict(0.5, 0.99);           // "Интрига 8", "Верно! 11"
    m_platform->random.addOneOf(10, 6); // question 2
    m_platform->random.addShuffle({4, 3, 2, 1});

    QTest::mouseClick(m_form->Command[1], Qt::LeftButton);

    QCOMPARE(m_verdicts, 1);
    QCOMPARE(m_banner, (QStringList{"Ответ принят...", "Ответ принят...", "Интрига 8", "Интрига 8", "Интрига 8",
                                    "Интрига 8", "Верно! 11", "Верно! 11", "Верно! 11"}));
    const QColor amber(255, 220, 80), green(192, 255, 192);
    QCOMPARE(m_judgedColours, (QList<QColor>{amber, amber, amber, amber, amber, amber, green, green, green}));
    QVERIFY(std::all_of(m_judgedText.begin(), m_judgedText.end(), [](const QColor &c) { return c == QColor(Qt::black); }));
    QVERIFY(std::all_of(m_levels.begin(), m_levels.end(), [](int l) { return l == 2; }));
    QCOMPARE(Module1.ChosenAnswer, 2);
    QCOMPARE(Module1.AnswerWasRight, 1);
    QVERIFY(m_closedByStep8);

    QCOMPARE(m_form->Label1->caption(), QStringLiteral("2 вопрос"));
    QCOMPARE(m_form->Label3->caption(), QStringLiteral("Вопрос 2.6"));
    QCOMPARE(m_form->Command[1]->backColor(), QColor(Qt::black));
    QCOMPARE(m_form->Command[1]->foreColor(), QColor(255, 247, 166));
    QCOMPARE(m_form->focusWidget(), m_form->Command10);
    QCOMPARE(m_platform->random.remaining(), 0);
    QVERIFY(m_platform->messages.isEmpty());
}

void TestAnswerFlow::wrongAnswerReportsTheGuaranteedSumAndEnds_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("sum");
    QTest::newRow("question 1") << 1 << "0";
    QTest::newRow("question 5") << 5 << "0";
    QTest::newRow("question 6") << 6 << "1000";
    QTest::newRow("question 10") << 10 << "1000";
    QTest::newRow("question 11") << 11 << "32000";
    QTest::newRow("question 15") << 15 << "32000";
}

void TestAnswerFlow::wrongAnswerReportsTheGuaranteedSumAndEnds()
{
    QFETCH(int, question);
    QFETCH(QString, sum);
    showQuestion(question, 2, {1, 2, 3, 4}); // the correct answer on A
    scriptVerdict(0.0, 0.5);                 // "Интрига 1", "Увы! 4"

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->Command_Click(3));

    // The eighth tick ended the game: what it showed last is the wrong line.
    QCOMPARE(m_banner, (QStringList{"Ответ принят...", "Ответ принят...", "Интрига 1", "Интрига 1", "Интрига 1",
                                    "Интрига 1", "Увы! 4", "Увы! 4"}));
    QCOMPARE(m_judgedColours.last(), QColor(255, 80, 0));
    QCOMPARE(m_form->Command[3]->backColor(), QColor(255, 80, 0));
    QCOMPARE(m_form->Command[0]->backColor(), QColor(Qt::black)); // the right one is not revealed
    QCOMPARE(Module1.Level, question + 1);
    QCOMPARE(Module1.AnswerWasRight, 0);
    QCOMPARE(m_platform->ends, 1);
    QCOMPARE(m_platform->messages.size(), 1);
    QCOMPARE(m_platform->messages.first().text, QStringLiteral("Игра окончена. Ваш выигрыш составил ") + sum + QStringLiteral(" рублей."));
    QCOMPARE(m_platform->messages.first().buttons, Platform::MessageButtons::Ok);
    QCOMPARE(m_platform->messages.first().icon, Platform::MessageIcon::None);
    // The next question never came.
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("%1 вопрос").arg(question));
    QCOMPARE(m_platform->random.remaining(), 0);
}

void TestAnswerFlow::verdictIsAnExactComparison_data()
{
    QTest::addColumn<QString>("correct");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<bool>("right");
    QTest::newRow("other case") << "Москва" << "москва" << false;
    QTest::newRow("trailing blank") << "Москва" << "Москва " << false;
    QTest::newRow("longer answer") << "Москва" << "Москва-река" << false;
    QTest::newRow("a second copy of the correct text") << "Москва" << "Москва" << true;
}

void TestAnswerFlow::verdictIsAnExactComparison()
{
    QFETCH(QString, correct);
    QFETCH(QString, clicked);
    QFETCH(bool, right);
    QStringList lines = DataFolder::levelLines(3);
    lines[1] = correct;
    lines[2] = clicked;
    m_data->writeLines("data/qa/3.dat", lines);
    showQuestion(3, 1, {2, 1, 3, 4}); // the second answer on A
    scriptVerdict();
    if (right) {
        m_platform->random.addOneOf(10, 1);
        m_platform->random.addShuffle({1, 2, 3, 4});
        m_form->Command_Click(0);
        QCOMPARE(m_judgedColours.last(), QColor(192, 255, 192));
        QCOMPARE(m_form->Label1->caption(), QStringLiteral("4 вопрос"));
    } else {
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->Command_Click(0));
        QCOMPARE(m_judgedColours.last(), QColor(255, 80, 0));
    }
}

void TestAnswerFlow::takingTheMoneyReportsTheLastRightSum_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("sum");
    QTest::newRow("before the first answer") << 1 << "0";
    QTest::newRow("question 6") << 6 << "1.000";
    QTest::newRow("question 11") << 11 << "32.000";
    QTest::newRow("question 15") << 15 << "500.000";
}

void TestAnswerFlow::takingTheMoneyReportsTheLastRightSum()
{
    QFETCH(int, question);
    QFETCH(QString, sum);
    showQuestion(question);
    m_platform->answers << Platform::MessageResult::Yes;

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->CommandButton2_Click());

    QCOMPARE(m_platform->messages.size(), 2);
    QCOMPARE(m_platform->messages[0].text, QStringLiteral("Хотите выйти?"));
    QCOMPARE(m_platform->messages[0].buttons, Platform::MessageButtons::YesNo);
    QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::None);
    QCOMPARE(m_platform->messages[1].text, QStringLiteral("Игра окончена. Ваш выигрыш составил ") + sum + QStringLiteral(" рублей."));
    QCOMPARE(m_platform->ends, 1);
}

void TestAnswerFlow::noAtTheQuitQuestionChangesNothing()
{
    showQuestion(4, 7, {3, 4, 1, 2});
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->Command[1]->setEnabled(false); // as a lifeline may have left it
    Module1.FiftyFiftyUsed = FlagSet;
    const QStringList captions = {m_form->Command[0]->caption(), m_form->Command[1]->caption(),
                                  m_form->Command[2]->caption(), m_form->Command[3]->caption()};

    // The leave button, then a close request from the window system.
    m_platform->answers << Platform::MessageResult::No << Platform::MessageResult::No;
    QTest::mouseClick(m_form->CommandButton2, Qt::LeftButton);
    QVERIFY(!m_form->close());

    QCOMPARE(m_platform->messages.size(), 2);
    QCOMPARE(m_platform->messages[1].text, QStringLiteral("Хотите выйти?"));
    QCOMPARE(m_platform->ends, 0);
    QVERIFY(m_form->isVisible());
    QCOMPARE(Module1.Level, 4);
    QCOMPARE(Module1.FiftyFiftyUsed, FlagSet);
    QVERIFY(!m_form->Command[1]->isEnabled());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_form->Command[i]->caption(), captions[i]);
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("4 вопрос"));
}

void TestAnswerFlow::verdictWindowRefusesEveryOutsideClose()
{
    // A verdict window that could be closed early would let a wrong answer
    // lead to the next question.
    m_form->show();
    Module1.ChosenAnswer = 1;
    Module1.Level = 2;
    Form3 verdict(*m_form);
    QCOMPARE(verdict.Label1->caption(), QStringLiteral("Ответ принят..."));
    QCOMPARE(verdict.Timer1.interval(), 1000);
    // A coarse timer drifts by up to 50 ms a tick, and the drift adds up.
    QCOMPARE(verdict.Timer1.timerType(), Qt::PreciseTimer);
    QVERIFY(verdict.Timer1.isActive());
    QVERIFY(verdict.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(verdict.findChild<QWidget *>("client")->size(), QSize(576, 41));
    verdict.show();
    QVERIFY(QTest::qWaitForWindowExposed(&verdict));
    const QPoint centre = verdict.geometry().center() - m_form->geometry().center();
    QVERIFY(qAbs(centre.x()) <= 1 && qAbs(centre.y()) <= 1);

    QTest::keyClick(&verdict, Qt::Key_Escape);
    QVERIFY(verdict.isVisible());
    QVERIFY(!verdict.close());
    verdict.reject();
    QVERIFY(verdict.isVisible());
    QCOMPARE(verdict.result(), 0);
}

void TestAnswerFlow::minimisedWindowCarriesTheTitleAndRestoresTitleLess()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const int left = m_form->x();
    QTest::mouseClick(m_form->CommandButton1, Qt::LeftButton);
    QVERIFY(m_form->isMinimized());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ступенион?"));

    m_form->showNormal();
    QVERIFY(!m_form->isMinimized());
    QVERIFY(m_form->windowTitle().isEmpty());
    QCOMPARE(m_form->height(), 415);
    QCOMPARE(m_form->x(), left);
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("1 вопрос"));
    QCOMPARE(Module1.Level, 1);
}

void TestAnswerFlow::altLetterClicksItsAnswerWhateverTheCaption_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("answer"); // 0..3, or -1 for none
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    QTest::newRow("Alt+C") << int(Qt::Key_C) << alt << 2;
    QTest::newRow("Alt+Shift+D") << int(Qt::Key_D) << (alt | Qt::ShiftModifier) << 3;
    // On a Russian layout the key gives the Cyrillic letter that the player
    // reads on the button; Д stands for D.
    QTest::newRow("Alt+А") << 0x0410 << alt << 0;
    QTest::newRow("Alt+В") << 0x0412 << alt << 1;
    QTest::newRow("Alt+С") << 0x0421 << alt << 2;
    QTest::newRow("Alt+Д") << 0x0414 << alt << 3;
    // One stray key must not end a game.
    QTest::newRow("Alt+И") << 0x0418 << alt << -1;
    QTest::newRow("Alt+E") << int(Qt::Key_E) << alt << -1;
    QTest::newRow("C") << int(Qt::Key_C) << Qt::KeyboardModifiers() << -1;
    QTest::newRow("3") << int(Qt::Key_3) << Qt::KeyboardModifiers() << -1;
    QTest::newRow("Ctrl+Alt+C") << int(Qt::Key_C) << (alt | Qt::ControlModifier) << -1;
}

void TestAnswerFlow::altLetterClicksItsAnswerWhateverTheCaption()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, answer);
    QStringList lines = DataFolder::levelLines(1);
    lines[1] = "&A то, что надо";
    lines[2] = "Бу&дет";
    m_data->writeLines("data/qa/1.dat", lines);
    // The correct answer on the button the key should click (C for none).
    const std::array<std::array<int, 4>, 4> orders{{{1, 2, 3, 4}, {2, 1, 3, 4}, {2, 3, 1, 4}, {2, 3, 4, 1}}};
    showQuestion(1, 1, orders[answer < 0 ? 2 : answer]);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    scriptVerdict();
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4});

    // As the window system delivers it: to the focus, the holder.
    pressKey(m_form->windowHandle(), key, modifiers);
    if (answer < 0) {
        QTest::qWait(50);
        QCOMPARE(m_verdicts, 0);
        QCOMPARE(Module1.Level, 1);
        return;
    }
    QTRY_COMPARE(m_verdicts, 1);
    QCOMPARE(Module1.ChosenAnswer, answer + 1);
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("2 вопрос"));
}

void TestAnswerFlow::keyboardAloneWinsAWholeGame()
{
    // The player sees nothing and uses no mouse: the focus holder reads out
    // each question, Tab and the Alt letters reach everything, and Enter
    // and Space click what has the focus, in every window of the game.
    for (const char *picture : {"5050d.gif", "Phoned.gif", "Audid.gif"}) {
        QFile file(qEnvironmentVariable("KVIZORA_SOURCE_DIR") + "/data/gfx/" + picture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_data->writeBytes(QStringLiteral("data/gfx/") + picture, file.readAll());
    }
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    CaptionButton *holder = m_form->Command10;
    const auto press = [](int key, Qt::KeyboardModifiers modifiers = {}) {
        pressKey(QGuiApplication::focusWindow(), key, modifiers);
    };
    const auto tab = [&](int times) {
        for (int i = 0; i < times; ++i)
            press(Qt::Key_Tab);
    };
    // Question n has its correct answer on button (n - 1) % 4.
    const auto orderFor = [](int level) {
        const int right = (level - 1) % 4;
        std::array<int, 4> order{};
        for (int i = 0; i < 4; ++i)
            order[i] = (i - right + 4) % 4 + 1;
        return order;
    };
    showQuestion(1, 1, orderFor(1));
    holder->setFocus();

    QStringList callEnd; // what the call window's focus said when the call ended
    int escapesIgnored = 0;
    Platform::setModalHandler([&](QDialog &dialog) {
        if (auto *verdict = qobject_cast<Form3 *>(&dialog)) {
            ++m_verdicts;
            for (int tick = 1; tick <= 8; ++tick)
                verdict->Timer1_Timer();
            return verdict->result();
        }
        dialog.show();
        dialog.activateWindow();
        if (!QTest::qWaitFor([&] { return dialog.isActiveWindow(); }))
            return -1;
        if (auto *call = qobject_cast<Form4 *>(&dialog)) {
            for (int tick = 1; tick <= 14; ++tick)
                call->Timer1_Timer();
            press(Qt::Key_Escape); // hangs up only once the call is over
            escapesIgnored += call->isVisible() ? 1 : 0;
            call->Timer1_Timer();
            QWidget *focus = QApplication::focusWidget();
            callEnd << accessibleName(focus)
                    << QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Description);
            press(Qt::Key_Return);
            return call->result();
        }
        // Runs in a child process with the real end of the program: exit
        // code 0 only when keypad Enter on the focus ends the game.
        if (QApplication::focusWidget() != static_cast<Form5 &>(dialog).CommandButton1)
            _exit(3);
        press(Qt::Key_Enter, Qt::KeypadModifier);
        _exit(4);
    });

    for (int level = 1; level <= 15; ++level) {
        QTRY_COMPARE(QApplication::focusWidget(), holder);
        const QString stake = Ladder::caption(level).remove('.');
        const QString won = level == 1 ? QStringLiteral("0") : Ladder::caption(level - 1).remove('.');
        QCOMPARE(accessibleName(holder),
                 QStringLiteral("%1 вопрос на %2 рублей: Вопрос %1.1").arg(level).arg(stake));
        QString description = QAccessible::queryAccessibleInterface(holder)->text(QAccessible::Description);
        QVERIFY2(description.startsWith(m_form->Command[0]->caption() + "; " + m_form->Command[1]->caption()),
                 qPrintable(description));
        QVERIFY2(description.endsWith(QStringLiteral("Выигрыш: %1 рублей.").arg(won)), qPrintable(description));
        QCOMPARE(QAccessible::queryAccessibleInterface(m_form->Label4[level])->text(QAccessible::Description),
                 Ladder::isGuaranteed(level) ? QStringLiteral("текущий вопрос, несгораемая сумма")
                                             : QStringLiteral("текущий вопрос"));

        const int right = (level - 1) % 4;
        if (level == 1) {
            // Enter on the leave button asks; No goes on.
            m_platform->answers << Platform::MessageResult::No;
            tab(9);
            QCOMPARE(QApplication::focusWidget(), m_form->CommandButton2);
            press(Qt::Key_Return);
            QCOMPARE(m_platform->messages.size(), 1);
            tab(1);
            QCOMPARE(QApplication::focusWidget(), holder);
        } else if (level == 2) {
            // The call: the friend names the correct answer.
            m_platform->random.addIndex(6, 0);
            tab(6);
            QCOMPARE(QApplication::focusWidget(), m_form->Command8);
            press(Qt::Key_Space);
            QCOMPARE(callEnd, (QStringList{"Закрыть", "Звонок окончен"}));
            QCOMPARE(escapesIgnored, 1);
            // A window manager gives the game screen back its activation;
            // the headless platform leaves that to the test.
            m_form->activateWindow();
            QTRY_COMPARE(QApplication::focusWidget(), holder);
        } else if (level == 3) {
            // Fifty-fifty takes away A and B, which the holder then leaves out.
            m_platform->random.addIndex(4, 0);
            m_platform->random.addIndex(4, 1);
            tab(5);
            QCOMPARE(QApplication::focusWidget(), m_form->Command6);
            press(Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(QApplication::focusWidget(), holder);
            description = QAccessible::queryAccessibleInterface(holder)->text(QAccessible::Description);
            QVERIFY2(description.startsWith(m_form->Command[2]->caption() + "; " + m_form->Command[3]->caption()
                                            + QStringLiteral(". Убраны ответы A и B.")),
                     qPrintable(description));
        }

        scriptVerdict();
        if (level < 15) {
            m_platform->random.addOneOf(10, 1);
            m_platform->random.addShuffle(orderFor(level + 1));
        } else {
            for (int draw = 0; draw < 3 * 4; ++draw) // the four banknotes' places
                m_platform->random.add(0.5);
        }
        const int verdicts = m_verdicts;
        // Tab passes over the answers that fifty-fifty took away.
        int tabsToRight = 0;
        for (int i = 0; i <= right; ++i)
            tabsToRight += m_form->Command[i]->isEnabled() ? 1 : 0;
        const auto answer = [&] {
            switch (level % 4) {
            case 0: // Tab to the answer, then Enter
                tab(tabsToRight);
                QCOMPARE(QApplication::focusWidget(), m_form->Command[right]);
                press(Qt::Key_Return);
                break;
            case 1:
                press(Qt::Key_A + right, Qt::AltModifier);
                break;
            case 2:
                press(std::array{0x0410, 0x0412, 0x0421, 0x0414}[right], Qt::AltModifier);
                break;
            default: // Tab to the answer, then Space
                tab(tabsToRight);
                QCOMPARE(QApplication::focusWidget(), m_form->Command[right]);
                press(Qt::Key_Space);
                break;
            }
        };
        if (level < 15) {
            answer();
            QCOMPARE(m_verdicts, verdicts + 1);
            QCOMPARE(Module1.Level, level + 1);
        } else {
            const ChildOutcome won = runInChildProcess(answer);
            QVERIFY(won.exited);
            QCOMPARE(won.exitCode, 0);
        }
    }
}

void TestAnswerFlow::endingTheProgramIsImmediate()
{
    // With the real end in place, nothing after the final message runs: the
    // child process is gone before its scenario could return.
    showQuestion(6);
    const ChildOutcome taken = runInChildProcess([this] { m_form->CommandButton2_Click(); });
    QVERIFY(taken.exited);
    QCOMPARE(taken.exitCode, 0);
    QCOMPARE(taken.messages, (QStringList{"Хотите выйти?", "Игра окончена. Ваш выигрыш составил 1.000 рублей."}));

    scriptVerdict();
    const ChildOutcome wrong = runInChildProcess([this] { m_form->Command_Click(1); });
    QVERIFY(wrong.exited);
    QCOMPARE(wrong.exitCode, 0);
    QCOMPARE(wrong.messages, (QStringList{"Игра окончена. Ваш выигрыш составил 1000 рублей."}));
}

QTEST_MAIN(TestAnswerFlow)
#include "tst_answerflow.moc"
