// SPDX-License-Identifier: GPL-3.0-or-later
#include "lifelines/lifelines.h"
#include "testsupport.h"

#include <QTest>

#include <numeric>

using Lifelines::Captions;

// The random draws of the three lifelines, with scripted numbers: which
// answers fifty-fifty takes away, what the friend says, and the audience's
// shares.
class TestLifelineDraws : public QObject
{
    Q_OBJECT

private slots:
    void fiftyFiftyRedrawsBothIndexesUntilTwoDistinctWrongAnswers();
    void fiftyFiftyWithFewerThanTwoWrongCaptionsDrawsNothing_data();
    void fiftyFiftyWithFewerThanTwoWrongCaptionsDrawsNothing();

    void friendsLineDependsOnTheFirstDraw_data();
    void friendsLineDependsOnTheFirstDraw();
    void friendNeverNamesACaptionThatContainsTheCorrectText();
    void redrawsEndWithoutAWrongCaptionOrAWorkingGenerator();

    void audienceSharesInTheirDrawOrder_data();
    void audienceSharesInTheirDrawOrder();
    void audienceSharesAlwaysSumTo100();
};

namespace {

const Captions Rome{"A.   Рим", "B.   Париж", "C.   Рима", "D.   Лондон"};
const Captions Plain{"A.   Лион", "B.   Париж", "C.   Ницца", "D.   Марсель"};

} // namespace

void TestLifelineDraws::fiftyFiftyRedrawsBothIndexesUntilTwoDistinctWrongAnswers()
{
    // Refused: (C, C) equal, (A, B) and (B, D) hold B, the correct answer.
    ScriptedRandom random;
    for (int k : {2, 2, 0, 1, 1, 3, 3, 0})
        random.addIndex(4, k);
    QCOMPARE(Lifelines::fiftyFiftyDraw(random, Plain, "Париж"), (QList<int>{3, 0}));
    QCOMPARE(random.remaining(), 0);
}

void TestLifelineDraws::fiftyFiftyWithFewerThanTwoWrongCaptionsDrawsNothing_data()
{
    QTest::addColumn<Captions>("captions");
    QTest::addColumn<QString>("correct");
    QTest::addColumn<QList<int>>("disabled");

    QTest::newRow("empty correct answer") << Plain << QString() << QList<int>{};
    QTest::newRow("correct text in two other answers")
        << Captions{"A.   Рима", "B.   Рим", "C.   Лондон", "D.   Римский"} << "Рим" << QList<int>{2};
}

void TestLifelineDraws::fiftyFiftyWithFewerThanTwoWrongCaptionsDrawsNothing()
{
    // No pair can ever be drawn here: the draw must end, without a number.
    QFETCH(Captions, captions);
    QFETCH(QString, correct);
    QFETCH(QList<int>, disabled);
    ScriptedRandom random;
    QCOMPARE(Lifelines::fiftyFiftyDraw(random, captions, correct), disabled);
    QCOMPARE(random.drawn, 0);
}

void TestLifelineDraws::friendsLineDependsOnTheFirstDraw_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<QString>("line");
    for (int d : {0, 3, 4, 5})
        QTest::addRow("d = %d names the correct answer", d) << d << QStringLiteral("Друг: Помоему, Рим");
    QTest::newRow("d = 1 names the wrong button with its prefix") << 1 << QStringLiteral("Друг: Помоему, D.   Лондон");
    QTest::newRow("d = 2 does not know") << 2 << QStringLiteral("Друг: К сожадению, я этого не знаю, ");
}

void TestLifelineDraws::friendsLineDependsOnTheFirstDraw()
{
    QFETCH(int, d);
    QFETCH(QString, line);
    ScriptedRandom random;
    random.addIndex(6, d);
    // A holds the answer, so the wrong pick is redrawn: C ("Рима") is
    // refused, D taken. It is drawn whatever d is.
    random.addIndex(4, 2);
    random.addIndex(4, 3);
    QCOMPARE(Lifelines::friendAnswer(random, Rome, "Рим"), line);
    QCOMPARE(random.remaining(), 0);
}

void TestLifelineDraws::friendNeverNamesACaptionThatContainsTheCorrectText()
{
    // A wrong caption on A is named without a draw.
    ScriptedRandom once;
    QCOMPARE(Lifelines::friendWrongPick(once, Plain, "Париж"), 0);
    QCOMPARE(once.drawn, 0);

    Platform::randomSource().seedFromClock();
    QSet<int> named;
    for (int i = 0; i < 2000; ++i)
        named << Lifelines::friendWrongPick(Platform::randomSource(), Rome, "Рим");
    QCOMPARE(named, (QSet<int>{1, 3}));
}

void TestLifelineDraws::redrawsEndWithoutAWrongCaptionOrAWorkingGenerator()
{
    class Stuck final : public Platform::RandomSource
    {
    public:
        void seedFromClock() override {}
        double next() override { ++drawn; return 0.0; }
        int drawn = 0;
    } stuck;
    QCOMPARE(Lifelines::fiftyFiftyDraw(stuck, Rome, "Рим"), (QList<int>{1, 3}));
    QCOMPARE(stuck.drawn, 2 * Lifelines::MaxDrawRounds);
    stuck.drawn = 0;
    QCOMPARE(Lifelines::friendWrongPick(stuck, Rome, "Рим"), 1);
    QCOMPARE(stuck.drawn, Lifelines::MaxDrawRounds);

    // Every caption contains an empty correct answer: there is no wrong
    // one to name, nothing to redraw, and the friend does not know.
    ScriptedRandom random;
    random.addIndex(6, 1);
    QCOMPARE(Lifelines::friendAnswer(random, Plain, QString()), QStringLiteral("Друг: К сожадению, я этого не знаю, "));
    QCOMPARE(random.drawn, 1);
}

void TestLifelineDraws::audienceSharesInTheirDrawOrder_data()
{
    QTest::addColumn<Captions>("captions");
    QTest::addColumn<QString>("correct");
    QTest::addColumn<int>("e");
    QTest::addColumn<QList<int>>("shares");

    // Drawn: 46, 30 of the remaining 54, 20 of the remaining 24, and 4.
    const Captions onA = Plain;
    const Captions onB{"A.   Лион", "B.   Рим", "C.   Ницца", "D.   Марсель"};
    const Captions onC{"A.   Лион", "B.   Париж", "C.   Рим", "D.   Марсель"};
    QTest::newRow("A right, audience errs") << onA << "Лион" << 1 << QList<int>{30, 46, 20, 4};
    QTest::newRow("no holder counts as A") << onA << "Москва" << 2 << QList<int>{46, 30, 20, 4};
    QTest::newRow("C right, audience right") << onC << "Рим" << 2 << QList<int>{20, 30, 46, 4};
    QTest::newRow("C right, audience errs towards B") << onC << "Рим" << 1 << QList<int>{20, 46, 30, 4};
    QTest::newRow("B right keeps the first share") << onB << "Рим" << 1 << QList<int>{30, 46, 20, 4};
    QTest::newRow("last of several holders counts") << Rome << "Рим" << 0 << QList<int>{20, 30, 46, 4};
}

void TestLifelineDraws::audienceSharesInTheirDrawOrder()
{
    QFETCH(Captions, captions);
    QFETCH(QString, correct);
    QFETCH(int, e);
    QFETCH(QList<int>, shares);
    ScriptedRandom random;
    random.addIndex(100, 46);
    random.addIndex(54, 30);
    random.addIndex(24, 20);
    random.addIndex(3, e);
    const std::array<int, 4> s = Lifelines::audienceShares(random, captions, correct);
    QCOMPARE(QList<int>(s.begin(), s.end()), shares);
    QCOMPARE(random.remaining(), 0);
}

void TestLifelineDraws::audienceSharesAlwaysSumTo100()
{
    for (double r : {0.0, 0.9999999999999999}) {
        ScriptedRandom random{r, r, r, r};
        const std::array<int, 4> s = Lifelines::audienceShares(random, Rome, "Рим");
        QCOMPARE(std::accumulate(s.begin(), s.end(), 0), 100);
    }
    Platform::randomSource().seedFromClock();
    for (int i = 0; i < 5000; ++i) {
        const std::array<int, 4> s = Lifelines::audienceShares(Platform::randomSource(), Rome, "Рим");
        QCOMPARE(std::accumulate(s.begin(), s.end(), 0), 100);
        for (int share : s)
            QVERIFY(share >= 0 && share <= 100);
    }
}

QTEST_GUILESS_MAIN(TestLifelineDraws)
#include "tst_lifelinedraws.moc"
