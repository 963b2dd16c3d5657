// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/content.h"
#include "game/form2.h"
#include "game/form3.h"
#include "game/module1.h"
#include "lifelines/form4.h"
#include "testsupport.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

// The three lifeline buttons on the real game screen, and the call window.
class TestLifelines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void eachLifelineIsUsedOnceThenRefused_data() { lifelineRows(); }
    void eachLifelineIsUsedOnceThenRefused();
    void lifelinesInAnyOrderLeaveTheOtherFlagsAlone();
    void unloadableUsedPictureEndsTheProgramWithTheFlagClear_data();
    void unloadableUsedPictureEndsTheProgramWithTheFlagClear();
    void fiftyFiftyDisablesTwoWrongAnswersUntilTheNextQuestion();
    void audiencePollListsAllFourButtons();

    void callPlaysItsScriptAndClosesOnlyAfterTheLastStep();
    void callNamesTheSumOfTheQuestionPlayed();
    void closingTheCallEarlyStopsItAndKeepsTheLifelineUsed();
    void callWindowLooksAsDesigned();
    void screenReadersHearEachNewLineOfTheCallAndTheVerdict();

private:
    struct Lifeline
    {
        void (Form2::*click)();
        CaptionButton *Form2::*button;
        std::int16_t GameState::*flag;
        QString picture;
    };
    static const Lifeline Lifelines[3];
    static void lifelineRows();
    // Clicks a lifeline with the draws of its first use scripted (the call
    // window closes at once).
    void use(int lifeline);
    // Shows a question of `level`: record 1, answers in `order`.
    void present(int level, std::array<int, 4> order);
    std::array<bool, 4> enabledAnswers() const;

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
    int m_callsOpened = 0;
};

const TestLifelines::Lifeline TestLifelines::Lifelines[3] = {
    {&Form2::Command6_Click, &Form2::Command6, &GameState::FiftyFiftyUsed, "5050d.gif"},
    {&Form2::Command8_Click, &Form2::Command8, &GameState::PhoneUsed, "Phoned.gif"},
    {&Form2::Command9_Click, &Form2::Command9, &GameState::AudienceUsed, "Audid.gif"},
};

void TestLifelines::lifelineRows()
{
    QTest::addColumn<int>("lifeline");
    QTest::newRow("fifty-fifty") << 0;
    QTest::newRow("phone a friend") << 1;
    QTest::newRow("ask the audience") << 2;
}

void TestLifelines::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_data = std::make_unique<DataFolder>();
    m_data->writeHostFiles();
    m_data->writeLevels(1, 15);
    for (const Lifeline &lifeline : Lifelines) {
        QFile picture(qEnvironmentVariable("KVIZORA_SOURCE_DIR") + "/data/gfx/" + lifeline.picture);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        m_data->writeBytes("data/gfx/" + lifeline.picture, picture.readAll());
    }
    m_callsOpened = 0;
    Platform::setModalHandler([this](QDialog &) { return ++m_callsOpened; });

    m_form = std::make_unique<Form2>();
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4}); // the correct answer on A
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestLifelines::cleanup()
{
    m_form.reset();
    m_data.reset();
    m_platform.reset();
}

void TestLifelines::use(int lifeline)
{
    if (lifeline == 0) { // disables B and C
        m_platform->random.addIndex(4, 1);
        m_platform->random.addIndex(4, 2);
    } else if (lifeline == 2) {
        for (int n : {100, 100, 100, 3})
            m_platform->random.addIndex(n, 0);
    }
    (m_form.get()->*Lifelines[lifeline].click)();
}

void TestLifelines::present(int level, std::array<int, 4> order)
{
    Module1.Level = std::uint8_t(level);
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle(order);
    m_form->ShowQuestion(QStringLiteral("%1.dat").arg(level), level);
}

std::array<bool, 4> TestLifelines::enabledAnswers() const
{
    std::array<bool, 4> enabled{};
    for (int i = 0; i < 4; ++i)
        enabled[i] = m_form->Command[i]->isEnabled();
    return enabled;
}

static QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

void TestLifelines::eachLifelineIsUsedOnceThenRefused()
{
    QFETCH(int, lifeline);
    const Lifeline &row = Lifelines[lifeline];
    CaptionButton *button = m_form.get()->*row.button;
    const QImage used(m_data->path() + "/data/gfx/" + row.picture);
    QVERIFY(argb(button->picture().toImage()) != argb(used));

    m_form->Command[1]->setFocus();
    use(lifeline);
    QCOMPARE(m_form->focusWidget(), m_form->Command10);
    QCOMPARE(argb(button->picture().toImage()), argb(used));
    for (const Lifeline &other : Lifelines)
        QCOMPARE(Module1.*other.flag, &other == &row ? FlagSet : FlagClear);
    QCOMPARE(m_platform->random.remaining(), 0);

    // The second click only refuses: no draw, no window, nothing changed.
    const std::array<bool, 4> enabled = enabledAnswers();
    const int drawn = m_platform->random.drawn;
    const int calls = m_callsOpened;
    m_platform->messages.clear();
    m_form->Command[2]->setFocus();
    (m_form.get()->*row.click)();
    QCOMPARE(m_form->focusWidget(), m_form->Command10);
    QCOMPARE(m_platform->messages.size(), 1);
    QCOMPARE(m_platform->messages[0].text, QStringLiteral("Эту подсказку вы уже использовали."));
    QCOMPARE(m_platform->messages[0].buttons, Platform::MessageButtons::Ok);
    QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::None);
    QCOMPARE(m_platform->random.drawn, drawn);
    QCOMPARE(m_callsOpened, calls);
    QCOMPARE(enabledAnswers(), enabled);
}

void TestLifelines::lifelinesInAnyOrderLeaveTheOtherFlagsAlone()
{
    std::array<int, 3> order{0, 1, 2};
    do {
        for (const Lifeline &lifeline : Lifelines)
            Module1.*lifeline.flag = FlagClear;
        for (int step = 0; step < 3; ++step) {
            use(order[step]);
            for (int other = 0; other < 3; ++other) {
                const bool usedSoFar = std::find(order.begin(), order.begin() + step + 1, other) != order.begin() + step + 1;
                QCOMPARE(Module1.*Lifelines[other].flag, usedSoFar ? FlagSet : FlagClear);
            }
        }
    } while (std::next_permutation(order.begin(), order.end()));
    QCOMPARE(m_callsOpened, 6);
}

void TestLifelines::unloadableUsedPictureEndsTheProgramWithTheFlagClear_data()
{
    QTest::addColumn<int>("lifeline");
    QTest::addColumn<QString>("damage");
    for (int lifeline = 0; lifeline < 3; ++lifeline) {
        QTest::addRow("%s missing", qPrintable(Lifelines[lifeline].picture)) << lifeline << "missing";
        QTest::addRow("%s not a picture", qPrintable(Lifelines[lifeline].picture)) << lifeline << "not a picture";
    }
    // Reading a named pipe would wait for a writer for ever.
    QTest::addRow("%s a named pipe", qPrintable(Lifelines[1].picture)) << 1 << "pipe";
}

void TestLifelines::unloadableUsedPictureEndsTheProgramWithTheFlagClear()
{
    QFETCH(int, lifeline);
    QFETCH(QString, damage);
    const Lifeline &row = Lifelines[lifeline];
    const QString path = m_data->path() + "/data/gfx/" + row.picture;
    if (damage == "not a picture") {
        m_data->writeBytes("data/gfx/" + row.picture, "GIF89a? not really");
    } else {
        QVERIFY(QFile::remove(path));
        if (damage == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    }

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, (m_form.get()->*row.click)());
    QCOMPARE(m_platform->ends, 1);
    QCOMPARE(m_platform->messages.size(), 1);
    QVERIFY(m_platform->messages[0].text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(Module1.*row.flag, FlagClear);
    QCOMPARE(m_platform->random.drawn, 5); // only the load's
    QCOMPARE(m_callsOpened, 0);
}

void TestLifelines::fiftyFiftyDisablesTwoWrongAnswersUntilTheNextQuestion()
{
    // "Рима" beside the correct "Рим" passes the answer test and stays.
    QStringList lines = DataFolder::levelLines(15);
    lines[1] = "Рим";
    lines[2] = "Рима";
    m_data->writeLines("data/qa/15.dat", lines);
    present(15, {2, 1, 3, 4}); // A Рима, B Рим

    for (int k : {0, 2, 1, 3, 2, 2, 3, 2}) // refused: with A, with B, equal
        m_platform->random.addIndex(4, k);
    QTest::mouseClick(m_form->Command6, Qt::LeftButton);
    QCOMPARE(enabledAnswers(), (std::array<bool, 4>{true, true, false, false}));
    QCOMPARE(m_platform->random.remaining(), 0);

    present(15, {1, 2, 3, 4});
    QCOMPARE(enabledAnswers(), (std::array<bool, 4>{true, true, true, true}));
}

void TestLifelines::audiencePollListsAllFourButtons()
{
    use(0); // fifty-fifty first: the poll still lists B and C
    for (auto [n, k] : std::initializer_list<std::pair<int, int>>{{100, 46}, {54, 30}, {24, 20}, {3, 1}})
        m_platform->random.addIndex(n, k);
    QTest::mouseClick(m_form->Command9, Qt::LeftButton);

    QCOMPARE(m_platform->messages.size(), 1);
    QCOMPARE(m_platform->messages[0].text, QStringLiteral("Помощь аудитории:\r\n"
                                                          "Не забывайте, что зал иногда ошибается!\r\n\r\n"
                                                          "30% за    A.   Верно 1.1\r\n"
                                                          "46% за    B.   Мимо 1.1 а\r\n"
                                                          "20% за    C.   Мимо 1.1 б\r\n"
                                                          "4% за    D.   Мимо 1.1 в\r\n"));
    QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::Information);
    QCOMPARE(m_platform->messages[0].buttons, Platform::MessageButtons::Ok);
}

void TestLifelines::callPlaysItsScriptAndClosesOnlyAfterTheLastStep()
{
    QPointer<QTimer> timer;
    QStringList transcripts{""};
    bool loaded = false, clickableEarly = false, closedEarly = false, stoppedAtTheEnd = false, closedAtEnd = false;
    Platform::setModalHandler([&](QDialog &dialog) {
        auto &call = dynamic_cast<Form4 &>(dialog);
        timer = call.Timer1;
        // A coarse timer would move the 2.5 s steps by up to 125 ms.
        loaded = call.Timer1->isActive() && call.Timer1->interval() == 2500
            && call.Timer1->timerType() == Qt::PreciseTimer && call.CallStep == 0
            && call.Label1->caption().isEmpty();
        call.show();
        for (int step = 1; step <= 15; ++step) {
            clickableEarly = clickableEarly || call.Command1->isEnabled();
            QTest::mouseClick(call.Command1, Qt::LeftButton);
            closedEarly = closedEarly || !call.isVisible();
            call.Timer1_Timer();
            transcripts << call.Label1->caption();
        }
        stoppedAtTheEnd = !call.Timer1->isActive() && call.Command1->isEnabled();
        QTest::mouseClick(call.Command1, Qt::LeftButton);
        closedAtEnd = !call.isVisible();
        return 0;
    });
    // The friend is wrong (d = 1): A holds the answer, A again, then B.
    for (auto [n, k] : std::initializer_list<std::pair<int, int>>{{6, 1}, {4, 0}, {4, 1}})
        m_platform->random.addIndex(n, k);
    m_form->Command8_Click();

    const QStringList lines{
        "Ведущий: Здравствуйте, с Вами говорит ведущий игры Ступенион!",
        "Друг: Здравствуйте!",
        "Ведущий: У Вас есть возможность помочь Вашему другу выиграть 100 рублей!",
        "Друг: Я постараюсь.",
        "Ведущий: Пожалуйста!",
        "Игрок: Привет! Вопрос 1.1",
        "Друг: Надо подумать.....",
        "Друг: Помоему, B.   Мимо 1.1 а",
        "Игрок: Спасибо!",
        "Друг: Пожалуйста!",
        "Игрок: Пока",
        "Друг: Пока!",
    };
    QVERIFY(loaded);
    QCOMPARE(transcripts[7], lines.mid(0, 7).join("\r\n"));
    QCOMPARE(transcripts[10], transcripts[7]);
    QCOMPARE(transcripts[15], lines.join("\r\n"));
    QVERIFY(!clickableEarly);
    QVERIFY(!closedEarly);
    QVERIFY(stoppedAtTheEnd);
    QVERIFY(closedAtEnd);
    // The window took its timer with it; the game screen is as it was.
    QVERIFY(timer.isNull());
    QCOMPARE(enabledAnswers(), (std::array<bool, 4>{true, true, true, true}));
    QCOMPARE(Module1.PhoneUsed, FlagSet);
    QCOMPARE(m_platform->random.remaining(), 0);
}

void TestLifelines::callNamesTheSumOfTheQuestionPlayed()
{
    for (auto [level, sum] : std::initializer_list<std::pair<int, QString>>{{1, "100"}, {15, "1.000.000"}}) {
        present(level, {1, 2, 3, 4});
        Module1.PhoneUsed = FlagClear;
        QString line;
        Platform::setModalHandler([&](QDialog &dialog) {
            auto &call = dynamic_cast<Form4 &>(dialog);
            for (int step = 1; step <= 3; ++step)
                call.Timer1_Timer();
            line = call.Label1->caption().split("\r\n").last();
            return 0;
        });
        m_form->Command8_Click();
        QCOMPARE(line, QStringLiteral("Ведущий: У Вас есть возможность помочь Вашему другу выиграть %1 рублей!").arg(sum));
    }
}

void TestLifelines::closingTheCallEarlyStopsItAndKeepsTheLifelineUsed()
{
    QPointer<QTimer> timer;
    bool escapeClosed = true, stillRunning = true;
    Platform::setModalHandler([&](QDialog &dialog) {
        auto &call = dynamic_cast<Form4 &>(dialog);
        timer = call.Timer1;
        call.show();
        call.Timer1_Timer();
        QTest::keyClick(&call, Qt::Key_Escape);
        escapeClosed = !call.isVisible();
        call.close(); // the title bar's close box
        stillRunning = call.isVisible() || call.Timer1->isActive();
        return 0;
    });
    m_form->Command8_Click();
    QVERIFY(!escapeClosed);
    QVERIFY(!stillRunning);
    QVERIFY(timer.isNull());
    QCOMPARE(Module1.PhoneUsed, FlagSet);
}

void TestLifelines::callWindowLooksAsDesigned()
{
    Form4 call(*m_form);
    call.show();
    QVERIFY(QTest::qWaitForWindowExposed(&call));
    QCOMPARE(call.windowTitle(), QStringLiteral("Звонок другу"));
    QCOMPARE(call.size(), QSize(381, 400));
    QCOMPARE(call.minimumSize(), call.maximumSize());
    QVERIFY(!(call.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(call.Label1->geometry(), QRect(16, 16, 353, 329));
    QCOMPARE(call.Command1->geometry(), QRect(152, 360, 89, 25));
    QCOMPARE(call.Command1->caption(), QStringLiteral("Закрыть"));
    QVERIFY(QFontMetrics(call.Label1->font()).inFontUcs4(U'Ж'));

    const QImage image = call.grab().toImage();
    QCOMPARE(QColor(image.pixel(5, 5)), QColor(64, 64, 64));
    QCOMPARE(QColor(image.pixel(16, 200)), QColor(255, 255, 128)); // the transcript's border
    QCOMPARE(QColor(image.pixel(200, 300)), QColor(0, 0, 128));
    QCOMPARE(QColor(image.pixel(155, 364)), QColor(128, 128, 128)); // "Закрыть"
}

void TestLifelines::screenReadersHearEachNewLineOfTheCallAndTheVerdict()
{
    KVIZORA_NEEDS_SCREEN_READER();
    // Screen readers ignore the text changes of labels, so the transcript
    // and the verdict banner, which change while the player waits, tell
    // each new line as a notification; the transcript reads as lines, not
    // with the CR of its CR LF.
    QStringList lines = DataFolder::levelLines(1);
    lines[0] = "<b>Tom</b> & Jerry?\nВторая строка";
    m_data->writeLines("data/qa/1.dat", lines);
    present(1, {1, 2, 3, 4});
    {
        Form4 call(*m_form);
        call.Timer1_Timer();
        // Without a screen reader nothing is made for one.
        QCOMPARE(call.Label1->findChildren<QObject *>().size(), 0);
    }
    AccessibilityRecorder recorder;
    Form4 call(*m_form);
    QCOMPARE(accessibleName(&call), QStringLiteral("Звонок другу"));
    for (int step = 1; step <= 6; ++step)
        call.Timer1_Timer();
    const QStringList said{
        "Ведущий: Здравствуйте, с Вами говорит ведущий игры Ступенион!",
        "Друг: Здравствуйте!",
        "Ведущий: У Вас есть возможность помочь Вашему другу выиграть 100 рублей!",
        "Друг: Я постараюсь.",
        "Ведущий: Пожалуйста!",
        "Игрок: Привет! <b>Tom</b> & Jerry?\nВторая строка",
    };
    QCOMPARE(accessibleName(call.Label1), said.join("\n"));
    QCOMPARE(recorder.announcements(), said);
    QCOMPARE(recorder.nameChanges(call.Label1), 6);

    recorder.events.clear();
    Module1.ChosenAnswer = 1; // A holds the correct answer
    Module1.Level = 2;
    Form3 verdict(*m_form);
    QCOMPARE(accessibleName(&verdict), QStringLiteral("Ответ принят..."));
    m_platform->random.addOneOf(15, 7);
    m_platform->random.addOneOf(Content::RightLineCount, 3);
    for (int step = 1; step <= 6; ++step)
        verdict.Timer1_Timer();
    QCOMPARE(recorder.announcements(), (QStringList{"Интрига 7", "Верно! 3"}));
    QCOMPARE(accessibleName(verdict.Label1), QStringLiteral("Верно! 3"));

    // A used lifeline says so.
    use(1);
    QAccessibleInterface *phone = QAccessible::queryAccessibleInterface(m_form->Command8);
    QCOMPARE(phone->text(QAccessible::Name), QStringLiteral("Звонок другу"));
    QCOMPARE(phone->text(QAccessible::Description), QStringLiteral("Подсказка использована"));
}

QTEST_MAIN(TestLifelines)
#include "tst_lifelines.moc"
