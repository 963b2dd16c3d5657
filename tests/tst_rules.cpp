// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/ladder.h"
#include "game/rules.h"
#include "ui/desktop.h"
#include "testsupport.h"

#include <QTest>

// The rules that need no screen: random picks, the shuffle, the answer
// tests, the prize ladder, and the choice of window system.
class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void picksCoverTheirWholeRangeAndNeverLeaveIt();
    void shuffleDiscardsEveryRoundWithARepeatedPosition();
    void shuffleGivesUpOnAGeneratorThatNeverDiffers();
    void shuffleIsUniformOverThePermutations();

    void answerCaptionsCarryFiveCharacterPrefixes();
    void verdictComparesTheWholeCaptionExactly_data();
    void verdictComparesTheWholeCaptionExactly();
    void answerTestIsACaseSensitiveSubstringTest();

    void ladderCaptionsAndGuaranteedLevels();
    void ladderTopsStepBy240And360();
    void sumKeptAfterAWrongAnswer();

    void xServerIsPreferredWhereThePlayerHasNotChosen_data();
    void xServerIsPreferredWhereThePlayerHasNotChosen();
};

void TestRules::picksCoverTheirWholeRangeAndNeverLeaveIt()
{
    ScriptedRandom random{0.0, 0.0999, 0.1, 0.95, 0.9999999999999999, 0.0, 0.25, 0.9999999999999999};
    QCOMPARE(Rules::drawOneOf(random, 10), 1);
    QCOMPARE(Rules::drawOneOf(random, 10), 1);
    QCOMPARE(Rules::drawOneOf(random, 10), 2);
    QCOMPARE(Rules::drawOneOf(random, 10), 10);
    QCOMPARE(Rules::drawOneOf(random, 10), 10);
    QCOMPARE(Rules::drawIndex(random, 4), 0);
    QCOMPARE(Rules::drawIndex(random, 4), 1);
    QCOMPARE(Rules::drawIndex(random, 6), 5);
}

void TestRules::shuffleDiscardsEveryRoundWithARepeatedPosition()
{
    ScriptedRandom random;
    random.addShuffle({1, 1, 2, 3}); // p1 = p2
    random.addShuffle({4, 2, 3, 4}); // p1 = p4
    random.addShuffle({2, 3, 1, 1}); // p3 = p4
    random.addShuffle({3, 1, 4, 2}); // the first round of four distinct positions
    random.addShuffle({1, 2, 3, 4}); // never reached
    QCOMPARE(Rules::shuffleAnswers(random), (std::array<int, 4>{3, 1, 4, 2}));
    QCOMPARE(random.drawn, 16);
}

void TestRules::shuffleGivesUpOnAGeneratorThatNeverDiffers()
{
    // A stuck generator must not hang the game.
    class Stuck final : public Platform::RandomSource
    {
    public:
        void seedFromClock() override {}
        double next() override { ++drawn; return 0.5; }
        int drawn = 0;
    } stuck;
    QCOMPARE(Rules::shuffleAnswers(stuck), (std::array<int, 4>{1, 2, 3, 4}));
    QCOMPARE(stuck.drawn, 4 * Rules::MaxShuffleRounds);
}

void TestRules::shuffleIsUniformOverThePermutations()
{
    // With the real generator every one of the 24 orders turns up with
    // about the same frequency.
    Platform::setRandomSource(nullptr);
    Platform::randomize();
    QMap<QString, int> counts;
    constexpr int Rounds = 24000;
    for (int i = 0; i < Rounds; ++i) {
        const std::array<int, 4> p = Rules::shuffleAnswers(Platform::randomSource());
        counts[QStringLiteral("%1%2%3%4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3])]++;
    }
    QCOMPARE(counts.size(), 24);
    for (int count : counts)
        QVERIFY2(count > 800 && count < 1200, qPrintable(QString::number(count)));
}

void TestRules::answerCaptionsCarryFiveCharacterPrefixes()
{
    QCOMPARE(Rules::answerCaption(0, "Рим"), QStringLiteral("A.   Рим"));
    QCOMPARE(Rules::answerCaption(3, ""), QStringLiteral("D.   "));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(Rules::answerPrefix(i).size(), 5);
    QCOMPARE(Rules::answerPrefix(1), QStringLiteral("B.   "));
    QCOMPARE(Rules::answerPrefix(2), QStringLiteral("C.   "));
}

void TestRules::verdictComparesTheWholeCaptionExactly_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("correct");
    QTest::addColumn<bool>("right");

    QTest::newRow("same text") << "C.   Москва" << "Москва" << true;
    QTest::newRow("other case") << "C.   москва" << "Москва" << false;
    QTest::newRow("trailing blank") << "C.   Москва " << "Москва" << false;
    QTest::newRow("leading blank in the answer") << "C.    Москва" << "Москва" << false;
    QTest::newRow("answer contains the correct text") << "A.   Москва-река" << "Москва" << false;
    QTest::newRow("empty correct answer, empty caption text") << "B.   " << "" << true;
    QTest::newRow("any prefix counts") << "ZZZZZМосква" << "Москва" << true;
    QTest::newRow("caption shorter than a prefix") << "A." << "" << false;
}

void TestRules::verdictComparesTheWholeCaptionExactly()
{
    QFETCH(QString, caption);
    QFETCH(QString, correct);
    QFETCH(bool, right);
    QCOMPARE(Rules::isRightAnswer(caption, correct), right);
}

void TestRules::answerTestIsACaseSensitiveSubstringTest()
{
    QVERIFY(Rules::holdsCorrectAnswer("A.   Рим", "Рим"));
    QVERIFY(Rules::holdsCorrectAnswer("B.   Рима", "Рим"));
    QVERIFY(!Rules::holdsCorrectAnswer("C.   рим", "Рим"));
    QVERIFY(Rules::holdsCorrectAnswer("D.   Париж", ""));
    // The prefix takes part in the test: a correct answer "A." is in "A.   …".
    QVERIFY(Rules::holdsCorrectAnswer("A.   x", "A."));
}

void TestRules::ladderCaptionsAndGuaranteedLevels()
{
    QCOMPARE(Ladder::caption(1), QStringLiteral("100"));
    QCOMPARE(Ladder::caption(4), QStringLiteral("500"));
    QCOMPARE(Ladder::caption(10), QStringLiteral("32.000"));
    QCOMPARE(Ladder::caption(12), QStringLiteral("125.000"));
    QCOMPARE(Ladder::caption(15), QStringLiteral("1.000.000"));
    QVERIFY(Ladder::caption(0).isEmpty());
    QVERIFY(Ladder::caption(16).isEmpty());
    QList<int> guaranteed;
    for (int level = 1; level <= Ladder::Levels; ++level)
        if (Ladder::isGuaranteed(level))
            guaranteed << level;
    QCOMPARE(guaranteed, (QList<int>{5, 10, 15}));
}

void TestRules::ladderTopsStepBy240And360()
{
    const int tops[] = {0, 5340, 5100, 4860, 4620, 4260, 3900, 3660, 3420, 3180, 2820, 2460, 2220, 1980, 1740, 1380};
    for (int level = 1; level <= Ladder::Levels; ++level)
        QCOMPARE(Ladder::topTwips(level), tops[level]);
}

void TestRules::sumKeptAfterAWrongAnswer()
{
    const char *sums[] = {"", "0", "0", "0", "0", "0", "1000", "1000", "1000", "1000", "1000",
                          "32000", "32000", "32000", "32000", "32000"};
    for (int question = 1; question <= 15; ++question)
        QCOMPARE(Ladder::sumAfterWrongAnswer(question), QString::fromLatin1(sums[question]));
}

void TestRules::xServerIsPreferredWhereThePlayerHasNotChosen_data()
{
    // Natively on Wayland the game can neither place its windows nor learn
    // that it was minimised; through XWayland it can.
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("plugins");
    QTest::newRow("Wayland session with XWayland") << QByteArray() << QByteArray(":0") << QByteArray("xcb;wayland");
    QTest::newRow("X session") << QByteArray() << QByteArray(":1") << QByteArray("xcb;wayland");
    QTest::newRow("Wayland session without X: Qt's choice") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("the player chose Wayland") << QByteArray("wayland") << QByteArray(":0") << QByteArray();
    QTest::newRow("the tests chose offscreen") << QByteArray("offscreen") << QByteArray(":0") << QByteArray();
}

void TestRules::xServerIsPreferredWhereThePlayerHasNotChosen()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, plugins);
    QCOMPARE(Desktop::platformPlugins(chosen, display), plugins);
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
