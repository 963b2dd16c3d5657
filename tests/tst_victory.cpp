// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/banknotes.h"
#include "game/form2.h"
#include "game/form5.h"
#include "game/module1.h"
#include "testsupport.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <memory>

// The victory window: where the banknotes are placed and how they fall, how
// it opens after the fifteenth right answer, and how it ends the program.
class TestVictory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void placedNotesStayInsideTheirRanges_data();
    void placedNotesStayInsideTheirRanges();

    void loadSeedsAndPlacesTheNotesInOrderWithoutMovingThem();
    void noteOnTheBottomEdgeFallsOnceMoreBeforeItIsPlacedAgain();
    void timerTicksOnlyWhileTheWindowIsOpen();

    void levelSixteenOpensTheVictoryWindowAndReadsNoLevelFile();
    void closingTheVictoryWindowOtherwiseEndsTheProgramToo();

    void windowLooksAsDesigned();
    void screenReadersReadTheCongratulationOnce();

private:
    // The twelve draws of a load: x, y and speed of each note in turn.
    void scriptLoad(double r = 0.5);

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<Form5> m_form;
};

void TestVictory::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_form = std::make_unique<Form5>();
}

void TestVictory::cleanup()
{
    m_form.reset();
    m_platform.reset();
}

void TestVictory::scriptLoad(double r)
{
    for (int draw = 0; draw < 12; ++draw)
        m_platform->random.add(r);
}

void TestVictory::placedNotesStayInsideTheirRanges_data()
{
    QTest::addColumn<double>("rx");
    QTest::addColumn<double>("ry");
    QTest::addColumn<double>("rs");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("speed");
    const double almostOne = 0.9999999999999999;
    QTest::newRow("lowest draws") << 0.0 << 0.0 << 0.0 << 0 << -975 << 10;
    QTest::newRow("highest draws") << almostOne << almostOne << almostOne << 5205 << 3915 << 40;
    // The whole expression is rounded, height included: 0.25 * 4890 - 975
    // is 247.5 and goes up to 248, 0.75 * 4890 - 975 is 2692.5 and goes
    // down; 2602.5 and 32.5 go down, 17.5 goes up.
    QTest::newRow("y tie up, x and speed ties down") << 0.5 << 0.25 << 0.75 << 2602 << 248 << 32;
    QTest::newRow("y tie down, speed tie up") << 0.5 << 0.75 << 0.25 << 2602 << 2692 << 18;
}

void TestVictory::placedNotesStayInsideTheirRanges()
{
    QFETCH(double, rx);
    QFETCH(double, ry);
    QFETCH(double, rs);
    ScriptedRandom random{rx, ry, rs};
    // The height comes off after scaling: a draw of 0 puts the note a whole
    // height above the window.
    const Banknotes::Note note = Banknotes::place(random, 7485, 4890, 2280, 975);
    QTEST(int(note.x), "x");
    QTEST(int(note.y), "y");
    QTEST(int(note.speed), "speed");
}

void TestVictory::loadSeedsAndPlacesTheNotesInOrderWithoutMovingThem()
{
    for (int index = 0; index < 4; ++index) {
        m_platform->random.add(index / 8.0); // x
        m_platform->random.add(0.5);         // y
        m_platform->random.add(0.0);         // speed
    }
    m_form->Form_Load();
    QCOMPARE(m_platform->random.seeds, 1);
    QCOMPARE(m_platform->random.remaining(), 0);
    const int xs[] = {0, 651, 1301, 1952};
    for (int index = 0; index < 4; ++index) {
        QCOMPARE(m_form->notes[index].x, xs[index]);
        QCOMPARE(m_form->notes[index].y, 2445 - 975);
        QCOMPARE(m_form->notes[index].speed, 10);
        // Until the first tick the notes stand where they were designed.
        QCOMPARE(m_form->Money[index]->pos(), QPoint(8, 8 + 72 * index));
    }

    m_form->Timer1_Timer();
    QCOMPARE(m_form->Money[1]->pos(), QPoint(43, 99)); // 651 and 1480 twips, to the nearest pixel
}

void TestVictory::noteOnTheBottomEdgeFallsOnceMoreBeforeItIsPlacedAgain()
{
    scriptLoad();
    m_form->Form_Load();
    m_form->notes[0] = {100, 4890 - 25, 25};
    m_form->notes[2] = {200, 4890 - 30, 40}; // out at once
    m_form->notes[3] = {300, -975, 15};      // partly above the window

    // Only note 2 is placed again, with the next three draws.
    m_platform->random.add(0.0);
    m_platform->random.add(0.0);
    m_platform->random.add(0.0);
    m_form->Timer1_Timer();
    QCOMPARE(m_platform->random.remaining(), 0);
    QCOMPARE(m_form->notes[0].y, 4890);
    QCOMPARE(m_form->Money[0]->pos(), QPoint(7, 326)); // 100 twips: 6.7 px
    QCOMPARE(m_form->notes[2].x, 0);
    QCOMPARE(m_form->notes[2].y, -975);
    QCOMPARE(m_form->Money[2]->pos(), QPoint(0, -65));
    QCOMPARE(m_form->Money[3]->pos(), QPoint(20, -64)); // -960 twips

    // Now its top is below the bottom edge: note 0 is placed again.
    m_platform->random.add(0.0);
    m_platform->random.add(0.75);
    m_platform->random.add(1.0 / 3);
    m_form->Timer1_Timer();
    QCOMPARE(m_platform->random.remaining(), 0);
    QCOMPARE(m_form->notes[0].y, 2692);
    QCOMPARE(m_form->notes[0].speed, 20);
    QCOMPARE(m_form->Money[0]->pos(), QPoint(0, 179)); // 2692 twips: 179.47 px
}

void TestVictory::timerTicksOnlyWhileTheWindowIsOpen()
{
    scriptLoad();
    m_form->Form_Load();
    QCOMPARE(m_form->Timer1.interval(), 70);
    QVERIFY(!m_form->Timer1.isActive());
    m_form->show();
    QVERIFY(m_form->Timer1.isActive());
    m_form->reject();
    QVERIFY(!m_form->Timer1.isActive());
}

void TestVictory::levelSixteenOpensTheVictoryWindowAndReadsNoLevelFile()
{
    DataFolder data;
    data.writeHostFiles();
    data.writeLevels(1, 15);
    Form2 game;
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4});
    game.Form_Load();
    Module1.Level = 15;
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4});
    game.ShowQuestion("15.dat", 15);

    // The fifteenth right answer: the window opens, ЗАКРЫТЬ is clicked
    // while the notes fall.
    Module1.Level = 16;
    scriptLoad();
    int opened = 0;
    QWidget *owner = nullptr;
    int seedsAtOpening = 0;
    qsizetype drawsLeftAtOpening = -1;
    bool clickReturned = false;
    Platform::setModalHandler([&](QDialog &dialog) -> int {
        ++opened;
        auto *victory = qobject_cast<Form5 *>(&dialog);
        if (!victory)
            throw std::runtime_error("not the victory window");
        owner = victory->parentWidget();
        seedsAtOpening = m_platform->random.seeds;
        drawsLeftAtOpening = m_platform->random.remaining();
        victory->Timer1_Timer();
        victory->CommandButton1_Click();
        clickReturned = true;
    });
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, game.ShowQuestion("16.dat", 16));
    QCOMPARE(opened, 1);
    QCOMPARE(owner, &game);
    QCOMPARE(seedsAtOpening, 2); // loaded, and so seeded and placed, before it shows
    QCOMPARE(drawsLeftAtOpening, 0);
    QVERIFY(!clickReturned); // ЗАКРЫТЬ itself ended it, in the middle of the fall
    QCOMPARE(m_platform->ends, 1);
    // No level file was looked for, and the question on screen stayed.
    QVERIFY(m_platform->messages.isEmpty());
    QCOMPARE(game.Label1->caption(), QStringLiteral("15 вопрос"));
    QVERIFY(game.Label4[15]->isUnderlined());
}

void TestVictory::closingTheVictoryWindowOtherwiseEndsTheProgramToo()
{
    // Closed by the window system: the modal call returns, and the game
    // screen must not go on to look for a sixteenth question.
    Form2 game;
    Module1.Level = 16;
    scriptLoad();
    Platform::setModalHandler([](QDialog &dialog) {
        dialog.reject();
        return int(QDialog::Rejected);
    });
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, game.ShowQuestion("16.dat", 16));
    QCOMPARE(m_platform->ends, 1);
    QVERIFY(m_platform->messages.isEmpty());
}

void TestVictory::windowLooksAsDesigned()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("---------- Поздравление ----------"));
    QCOMPARE(m_form->size(), QSize(499, 326));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QCOMPARE(m_form->Label2->caption(), m_form->Label1->caption());
    // The red shadow lies 45 twips right and 60 below the yellow text.
    QCOMPARE(m_form->Label2->geometry(), m_form->Label1->geometry().translated(3, 4));
    for (CaptionLabel *label : {m_form->Label1, m_form->Label2}) {
        const QFontInfo face(label->font());
        QVERIFY2(QFontDatabase::writingSystems(face.family()).contains(QFontDatabase::Cyrillic), qPrintable(face.family()));
        QVERIFY(QFontMetrics(label->font()).inFontUcs4(U'Ж'));
        QCOMPARE(label->font().pointSizeF(), 48.0);
        QVERIFY(face.weight() >= QFont::Bold || face.family() == QStringLiteral("Impact"));
    }
    // The notes lie below both labels and the button.
    const QObjectList order = m_form->children();
    for (QLabel *note : m_form->Money) {
        QCOMPARE(note->pixmap().size(), QSize(152, 65));
        QVERIFY(order.indexOf(note) < order.indexOf(m_form->Label2));
    }
    QVERIFY(order.indexOf(m_form->Label2) < order.indexOf(m_form->Label1));

    // A note under the text shows the yellow text over its red shadow.
    m_form->Money[0]->move(80, 40);
    const QImage image = m_form->grab().toImage();
    int yellow = 0;
    int red = 0;
    const QRect note = m_form->Money[0]->geometry();
    for (int y = note.top(); y <= note.bottom(); ++y) {
        for (int x = note.left(); x <= note.right(); ++x) {
            yellow += image.pixel(x, y) == qRgb(255, 255, 0);
            red += image.pixel(x, y) == qRgb(255, 0, 0);
        }
    }
    QVERIFY(yellow > 200);
    QVERIFY(red > 50);
    QCOMPARE(image.pixel(300, 300), qRgb(0, 0, 0));
}

void TestVictory::screenReadersReadTheCongratulationOnce()
{
    KVIZORA_NEEDS_SCREEN_READER();
    // With a screen reader listening, the layout's captions make their
    // interfaces before the window hides its decorations.
    AccessibilityRecorder recorder;
    Form5 victory;
    victory.show();
    victory.activateWindow();
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&victory);
    QStringList read;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *child = window->child(i);
        if (!child->state().invisible)
            read << child->text(QAccessible::Name);
    }
    read.sort();
    QCOMPARE(read, (QStringList{"ЗАКРЫТЬ", "Поздравляю, Вы выиграли миллион!!!"}));

    // Enter ends the program from the first moment.
    QTRY_COMPARE(QApplication::focusWidget(), victory.CommandButton1);
}

QTEST_MAIN(TestVictory)
#include "tst_victory.moc"
