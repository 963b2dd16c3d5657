// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/ladder.h"
#include "game/module1.h"
#include "testsupport.h"
#include "ui/appearance.h"
#include "ui/art.h"
#include "ui/controls.h"

#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSignalSpy>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <memory>

// The game screen: its load, the presentation of a question, and its
// layout as the player sees it.
class TestGameScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void loadPresentsQuestionOneFromItsFile();
    void nextQuestionResetsButtonsAndMovesTheHighlight();
    void guaranteedLevelsStayYellowWhenHighlighted();
    void answersOfARecordEachKeepTheirOwnButton();
    void contentTextsAreShownVerbatim();
    void screenReadersReadTheScreenAsShownAndPressOnlyWhatTheMouseCould();
    void missingFirstLevelFileEndsTheLoad();
    void shortLevelFileFailsOnlyWhenItsLevelIsReached();

    void controlsStandWhereTheyAreDesigned();
    void windowIsTitleLessFixedAndCentred();
    void grabbedWindowShowsTheDesignedColours();
    void keyboardFocusIsDrawnOnlyForTheKeyboard();
    void everyFontHasCyrillicGlyphs();
    void qtsOwnTextsAreRussian();
    void picturesHaveTheirDesignedSizes();
    void compiledInPicturesAreTheArtFiles();
    void picturesFollowTheDevicePixelRatio();

private:
    // Loads the game screen with question `record` of level 1 and answers
    // shuffled as `order`.
    void load(int record = 1, std::array<int, 4> order = {1, 2, 3, 4});
    // Writes level 1 with `question` first and answers that look like markup
    // and a mnemonic; returns the record's lines.
    QStringList writeMarkupLikeRecord(const QString &question);
    int highlightedLevel() const;

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
};

void TestGameScreen::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_data = std::make_unique<DataFolder>();
    m_data->writeHostFiles();
    m_data->writeLevels(1, 15);
    m_form = std::make_unique<Form2>();
}

void TestGameScreen::cleanup()
{
    m_form.reset();
    m_data.reset();
    m_platform.reset();
}

void TestGameScreen::load(int record, std::array<int, 4> order)
{
    m_platform->random.addOneOf(10, record);
    m_platform->random.addShuffle(order);
    m_form->Form_Load();
}

QStringList TestGameScreen::writeMarkupLikeRecord(const QString &question)
{
    QStringList lines = DataFolder::levelLines(1);
    lines[0] = question;
    lines[1] = "&Верно";
    lines[2] = "<i>курсив</i>";
    m_data->writeLines("data/qa/1.dat", lines);
    return lines;
}

int TestGameScreen::highlightedLevel() const
{
    int found = 0;
    for (int level = 1; level <= Ladder::Levels; ++level) {
        CaptionLabel *label = m_form->Label4[level];
        const bool marked = label->isUnderlined() || label->backColor() != QColor(Qt::black);
        if (marked) {
            if (found != 0 || !label->isUnderlined() || label->backColor() != QColor(71, 94, 138))
                return -1;
            found = level;
        }
    }
    return found;
}

void TestGameScreen::loadPresentsQuestionOneFromItsFile()
{
    m_platform->random.addOneOf(10, 4);
    m_platform->random.addShuffle({2, 2, 1, 3}); // discarded
    m_platform->random.addShuffle({3, 1, 4, 2});
    m_form->Form_Load();

    QCOMPARE(m_platform->random.seeds, 1);
    QCOMPARE(m_platform->random.remaining(), 0);
    QCOMPARE(Module1.Level, 1);
    QCOMPARE(Module1.QuestionIndex, 4);
    QCOMPARE(Module1.IntrigueLines[16], QStringLiteral("Интрига 16"));
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("1 вопрос"));
    QCOMPARE(m_form->Label3->caption(), QStringLiteral("Вопрос 1.4"));
    QCOMPARE(m_form->Command[0]->caption(), QStringLiteral("A.   Мимо 1.4 б"));
    QCOMPARE(m_form->Command[1]->caption(), QStringLiteral("B.   Верно 1.4"));
    QCOMPARE(m_form->Command[2]->caption(), QStringLiteral("C.   Мимо 1.4 в"));
    QCOMPARE(m_form->Command[3]->caption(), QStringLiteral("D.   Мимо 1.4 а"));
    QCOMPARE(Module1.CorrectAnswer, QStringLiteral("Верно 1.4"));
    for (CaptionButton *button : m_form->Command) {
        QVERIFY(button->isEnabled());
        QCOMPARE(button->backColor(), QColor(0, 0, 0));
        QCOMPARE(button->foreColor(), QColor(255, 247, 166));
    }
    QCOMPARE(highlightedLevel(), 1);
    QCOMPARE(Module1.FiftyFiftyUsed, FlagClear);
    QCOMPARE(Module1.PhoneUsed, FlagClear);
    QCOMPARE(Module1.AudienceUsed, FlagClear);
    QVERIFY(m_platform->messages.isEmpty());
}

void TestGameScreen::nextQuestionResetsButtonsAndMovesTheHighlight()
{
    load();
    // What a verdict and a fifty-fifty leave behind on the previous question.
    m_form->Command[1]->setBackColor(QColor(192, 255, 192));
    m_form->Command[0]->setEnabled(false);
    m_form->Command[3]->setEnabled(false);

    Module1.Level = 7;
    m_platform->random.addOneOf(10, 10);
    m_platform->random.addShuffle({4, 3, 2, 1});
    m_form->ShowQuestion("7.dat", Module1.Level);

    QCOMPARE(m_form->Label1->caption(), QStringLiteral("7 вопрос"));
    QCOMPARE(m_form->Label3->caption(), QStringLiteral("Вопрос 7.10"));
    QCOMPARE(m_form->Command[3]->caption(), QStringLiteral("D.   Верно 7.10"));
    QCOMPARE(Module1.CorrectAnswer, QStringLiteral("Верно 7.10"));
    for (CaptionButton *button : m_form->Command) {
        QVERIFY(button->isEnabled());
        QCOMPARE(button->backColor(), QColor(0, 0, 0));
    }
    QCOMPARE(highlightedLevel(), 7);

    // Moving on from a guaranteed level clears its mark.
    Module1.Level = 5;
    load();
    Module1.Level = 6;
    m_platform->random.addOneOf(10, 1);
    m_platform->random.addShuffle({1, 2, 3, 4});
    m_form->ShowQuestion("6.dat", 6);
    QCOMPARE(highlightedLevel(), 6);
}

void TestGameScreen::guaranteedLevelsStayYellowWhenHighlighted()
{
    load();
    for (int level : {5, 10, 15}) {
        Module1.Level = level;
        m_platform->random.addOneOf(10, 2);
        m_platform->random.addShuffle({1, 2, 3, 4});
        m_form->ShowQuestion(QStringLiteral("%1.dat").arg(level), level);
        QCOMPARE(highlightedLevel(), level);
        QCOMPARE(m_form->Label1->caption(), QStringLiteral("%1 вопрос").arg(level));
        for (int l = 1; l <= Ladder::Levels; ++l)
            QCOMPARE(m_form->Label4[l]->foreColor(), Ladder::isGuaranteed(l) ? QColor(255, 255, 0) : QColor(255, 255, 255));
    }
}

void TestGameScreen::answersOfARecordEachKeepTheirOwnButton()
{
    // Four equal answers and an empty one still give four buttons.
    QStringList lines = DataFolder::levelLines(1);
    lines[0] = "Сколько?";
    lines[1] = "";
    lines[2] = "два";
    lines[3] = "два";
    lines[4] = "два";
    m_data->writeLines("data/qa/1.dat", lines);
    load(1, {2, 1, 3, 4});
    QCOMPARE(m_form->Command[0]->caption(), QStringLiteral("A.   два"));
    QCOMPARE(m_form->Command[1]->caption(), QStringLiteral("B.   "));
    QCOMPARE(m_form->Command[2]->caption(), QStringLiteral("C.   два"));
    QCOMPARE(m_form->Command[3]->caption(), QStringLiteral("D.   два"));
    QCOMPARE(Module1.CorrectAnswer, QString());
}

void TestGameScreen::contentTextsAreShownVerbatim()
{
    const QStringList lines = writeMarkupLikeRecord("  <b>Tom</b> & Jerry?\nВторая строка  ");
    load(1, {1, 2, 3, 4});
    QCOMPARE(m_form->Label3->caption(), lines[0]);
    QCOMPARE(m_form->Command[0]->caption(), QStringLiteral("A.   &Верно"));
    QCOMPARE(m_form->Command[1]->caption(), QStringLiteral("B.   <i>курсив</i>"));
    // An ampersand in a caption grabs no Alt chord: only A..D do.
    QCOMPARE(m_form->Command[0]->shortcut(), QKeySequence("Alt+A"));
    QCOMPARE(m_form->Command[1]->shortcut(), QKeySequence("Alt+B"));
}

void TestGameScreen::screenReadersReadTheScreenAsShownAndPressOnlyWhatTheMouseCould()
{
    KVIZORA_NEEDS_SCREEN_READER();
    // The controls draw their captions, so without interfaces of their own a
    // screen reader found nameless widgets; a reading that strips "&" or
    // takes markup as markup would differ from the screen.
    const QStringList lines = writeMarkupLikeRecord("<b>Tom</b> & Jerry?\nВторая строка");
    AccessibilityRecorder recorder;
    load(1, {1, 2, 3, 4});

    const auto role = [](QObject *o) { return QAccessible::queryAccessibleInterface(o)->role(); };
    QCOMPARE(accessibleName(m_form.get()), QStringLiteral("Ступенион?"));
    QCOMPARE(role(m_form.get()), QAccessible::Window);
    QCOMPARE(accessibleName(m_form->Label3), lines[0]);
    QCOMPARE(role(m_form->Label3), QAccessible::StaticText);
    QCOMPARE(accessibleName(m_form->Label1), QStringLiteral("1 вопрос"));
    QCOMPARE(accessibleName(m_form->Command[0]), QStringLiteral("A.   &Верно"));
    QCOMPARE(accessibleName(m_form->Command[1]), QStringLiteral("B.   <i>курсив</i>"));
    QCOMPARE(role(m_form->Command[1]), QAccessible::Button);
    for (int level = 1; level <= Ladder::Levels; ++level)
        QCOMPARE(accessibleName(m_form->Label4[level]), Ladder::caption(level));
    // Buttons that show a picture or a symbol.
    QCOMPARE(accessibleName(m_form->Command6), QStringLiteral("Пятьдесят на пятьдесят"));
    QCOMPARE(accessibleName(m_form->Command8), QStringLiteral("Звонок другу"));
    QCOMPARE(accessibleName(m_form->Command9), QStringLiteral("Помощь аудитории"));
    QCOMPARE(accessibleName(m_form->CommandButton1), QStringLiteral("Свернуть"));
    QCOMPARE(accessibleName(m_form->CommandButton2), QStringLiteral("Закрыть"));
    QVERIFY(QAccessible::queryAccessibleInterface(m_form->Command8)->text(QAccessible::Description).isEmpty());

    // The next question tells of its new texts; a disabled answer says so.
    recorder.events.clear();
    m_form->Command[2]->setEnabled(false);
    QVERIFY(QAccessible::queryAccessibleInterface(m_form->Command[2])->state().disabled);
    m_platform->random.addOneOf(10, 2);
    m_platform->random.addShuffle({1, 2, 3, 4});
    m_form->ShowQuestion("1.dat", 1);
    QCOMPARE(recorder.nameChanges(m_form->Label3), 1);
    QCOMPARE(accessibleName(m_form->Label3), QStringLiteral("Вопрос 1.2"));
    QCOMPARE(recorder.nameChanges(m_form->Command[0]), 1);
    QCOMPARE(recorder.nameChanges(m_form->Label1), 0); // still "1 вопрос"

    // A press comes while the screen reader waits for its answer, so it
    // clicks once that is given. Like the mouse it cannot reach the game
    // screen behind a modal window: two presses queued together must not
    // answer twice.
    CaptionButton *holder = m_form->Command10;
    QSignalSpy clicks(holder, &QAbstractButton::clicked);
    QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(holder)->actionInterface();
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    m_form->show();
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(clicks.size(), 1);
    QDialog modal(m_form.get());
    modal.setModal(true);
    modal.show();
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QCOMPARE(clicks.size(), 1);
    modal.hide();
    holder->setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QCOMPARE(clicks.size(), 1);
}

void TestGameScreen::missingFirstLevelFileEndsTheLoad()
{
    QFile::remove(m_data->path() + "/data/qa/1.dat");
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->Form_Load());
    QCOMPARE(m_platform->messages.size(), 1);
    const QString text = m_platform->messages.first().text;
    QVERIFY(text.contains(QDir::toNativeSeparators(m_data->path() + "/data/qa/1.dat")));
    QVERIFY(text.contains(QStringLiteral("не найден")));
}

void TestGameScreen::shortLevelFileFailsOnlyWhenItsLevelIsReached()
{
    QStringList lines = DataFolder::levelLines(7);
    lines.removeLast();
    m_data->writeLines("data/qa/7.dat", lines);
    load();
    for (int level = 2; level <= 6; ++level) {
        Module1.Level = level;
        m_platform->random.addOneOf(10, 1);
        m_platform->random.addShuffle({1, 2, 3, 4});
        m_form->ShowQuestion(QStringLiteral("%1.dat").arg(level), level);
    }
    QVERIFY(m_platform->messages.isEmpty());
    Module1.Level = 7;
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->ShowQuestion("7.dat", 7));
    QCOMPARE(m_platform->ends, 1);
    QVERIFY(m_platform->messages.first().text.contains("7.dat"));
    QCOMPARE(m_form->Label1->caption(), QStringLiteral("6 вопрос"));
}

void TestGameScreen::controlsStandWhereTheyAreDesigned()
{
    using Appearance::px;
    const auto twips = [](int l, int t, int w, int h) { return QRect(px(l), px(t), px(w), px(h)); };
    QCOMPARE(m_form->Command[0]->geometry(), twips(120, 4440, 4575, 735));
    QCOMPARE(m_form->Command[1]->geometry(), twips(4800, 4440, 4575, 735));
    QCOMPARE(m_form->Command[2]->geometry(), twips(120, 5280, 4575, 735));
    QCOMPARE(m_form->Command[3]->geometry(), twips(4800, 5280, 4575, 735));
    QCOMPARE(m_form->Label3->geometry(), twips(1080, 2520, 7335, 1575));
    QCOMPARE(m_form->Label1->geometry(), twips(1560, 1800, 3165, 555));
    QCOMPARE(m_form->Label2->geometry(), twips(1320, 120, 3675, 1095));
    QCOMPARE(m_form->Command6->geometry(), twips(1440, 1320, 975, 495));
    QCOMPARE(m_form->Command8->geometry(), twips(2640, 1320, 975, 495));
    QCOMPARE(m_form->Command9->geometry(), twips(3840, 1320, 975, 495));
    QCOMPARE(m_form->Command10->geometry(), twips(0, 6240, 1215, 375));
    QCOMPARE(m_form->Picture1->geometry(), twips(5040, 360, 2685, 1860));
    QCOMPARE(m_form->Picture2->geometry(), twips(120, 120, 1260, 1365));
    QCOMPARE(m_form->CommandButton2->geometry(), twips(10920, 300, 360, 360));
    QCOMPARE(m_form->CommandButton1->geometry(), twips(10920, 780, 360, 360));
    QCOMPARE(m_form->lblclose->geometry(), twips(9720, 360, 1080, 270));
    QCOMPARE(m_form->lblminimize->geometry(), twips(9480, 840, 1320, 270));
    for (int level = 1; level <= Ladder::Levels; ++level) {
        QCOMPARE(m_form->Label4[level]->geometry(), twips(9960, Ladder::topTwips(level), 1320, 270));
        QCOMPARE(m_form->Label4[level]->caption(), Ladder::caption(level));
    }
    // All controls share one inner area, the window's client.
    for (QWidget *w : {static_cast<QWidget *>(m_form->Command[0]), static_cast<QWidget *>(m_form->Label4[15]),
                       static_cast<QWidget *>(m_form->Command10)})
        QCOMPARE(w->parentWidget(), m_form->Label3->parentWidget());
    QCOMPARE(m_form->Label3->parentWidget()->mapTo(m_form.get(), QPoint(0, 0)), QPoint(3, 3));
}

void TestGameScreen::windowIsTitleLessFixedAndCentred()
{
    load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_form->windowTitle().isEmpty());
    QCOMPARE(m_form->size(), QSize(776, 415));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    const QRect screen = m_form->screen()->geometry();
    const auto centred = [&] {
        return qAbs(2 * m_form->y() + m_form->height() - screen.height()) <= 1
            && qAbs(2 * m_form->x() + m_form->width() - screen.width()) <= 1;
    };
    QVERIFY(centred());

    // The focus holder is below the visible part, yet enabled, visible and
    // able to take the focus.
    QVERIFY(m_form->Command10->isVisible());
    QVERIFY(m_form->Command10->isEnabled());
    QVERIFY(m_form->Command10->mapTo(m_form.get(), QPoint(0, 0)).y() >= m_form->height());
    m_form->Command10->setFocus();
    QVERIFY(m_form->Command10->hasFocus());

    // The resize rule gives the same result however often it runs.
    m_form->move(m_form->x(), 0);
    m_form->Form_Resize();
    m_form->Form_Resize();
    QVERIFY(centred());
    QCOMPARE(m_form->height(), 415);
    // On the 800-pixel offscreen screen the top falls on 192.5 px, a tie,
    // which goes to the even pixel as every stored value does.
    if (screen.height() == 800)
        QCOMPARE(m_form->y() - screen.y(), 192);
}

void TestGameScreen::grabbedWindowShowsTheDesignedColours()
{
    load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QImage image = m_form->grab().toImage();
    const auto at = [&](QWidget *w, QPoint p) { return QColor(image.pixel(w->mapTo(m_form.get(), p))); };

    QCOMPARE(QColor(image.pixel(603, 233)).rgb(), QColor(0, 0, 0).rgb()); // background between controls
    QCOMPARE(at(m_form->Label3, {5, 100}).rgb(), QColor(64, 64, 64).rgb());
    QCOMPARE(at(m_form->Label4[1], {3, 9}).rgb(), QColor(71, 94, 138).rgb());
    QCOMPARE(at(m_form->Label4[2], {3, 9}).rgb(), QColor(0, 0, 0).rgb());
    QCOMPARE(at(m_form->Command[0], {6, 6}).rgb(), QColor(0, 0, 0).rgb());
    QCOMPARE(at(m_form->CommandButton2, {4, 4}).rgb(), QColor(212, 208, 200).rgb());
    // The close cross and the minimise bar stand in the middle of their
    // faces, black, and bold enough to read.
    for (CaptionButton *button : {m_form->CommandButton2, m_form->CommandButton1}) {
        const QImage face = button->grab().toImage();
        QRect ink;
        int inked = 0;
        for (int y = 2; y < face.height() - 2; ++y)
            for (int x = 2; x < face.width() - 2; ++x)
                if (face.pixel(x, y) == qRgb(0, 0, 0)) {
                    ink |= QRect(x, y, 1, 1);
                    ++inked;
                }
        QVERIFY2(qAbs(ink.left() - (face.width() - 1 - ink.right())) <= 1, qPrintable(button->objectName()));
        QVERIFY2(qAbs(ink.top() - (face.height() - 1 - ink.bottom())) <= 1, qPrintable(button->objectName()));
        QVERIFY(ink.width() >= 10);
        QVERIFY(inked >= 30);
    }
    QCOMPARE(QColor(image.pixel(0, 200)).rgb(), QColor(223, 223, 223).rgb()); // raised frame
    QCOMPARE(QColor(image.pixel(775, 200)).rgb(), QColor(0, 0, 0).rgb());
}

void TestGameScreen::keyboardFocusIsDrawnOnlyForTheKeyboard()
{
    load();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    // Whatever an earlier key press left: the mouse puts the game back to
    // its designed look.
    QTest::mouseClick(m_form->Label2, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), m_form->Command10);
    const auto pixel = [&](QWidget *w, QPoint p) {
        return QColor(m_form->grab().toImage().pixel(w->mapTo(m_form.get(), p)));
    };
    // Just outside the question's ridge, where the holder's marker goes.
    const QPoint marker(-4, 20);
    QCOMPARE(pixel(m_form->Label3, marker), QColor(Qt::black));
    CaptionButton *a = m_form->Command[0];
    const QPoint ring(2, a->height() / 2);
    const QColor face = pixel(a, ring);

    QTest::keyClick(m_form->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), a);
    QVERIFY(Appearance::contrastRatio(pixel(a, ring), a->backColor()) >= 3.0);
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m_form->Command10);
    QVERIFY(Appearance::contrastRatio(pixel(m_form->Label3, marker), Qt::black) >= 3.0);
    QCOMPARE(pixel(a, ring), face);

    // A mouse player sees neither, even on a button that has the focus, nor
    // after Alt alone (on its way to the window manager's Alt+Tab).
    QTest::mouseClick(m_form->Label2, Qt::LeftButton);
    QCOMPARE(pixel(m_form->Label3, marker), QColor(Qt::black));
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Alt);
    QCOMPARE(pixel(m_form->Label3, marker), QColor(Qt::black));
    a->setFocus();
    QCOMPARE(pixel(a, ring), face);
}

void TestGameScreen::everyFontHasCyrillicGlyphs()
{
    const QList<QWidget *> widgets = m_form->findChildren<QWidget *>();
    QVERIFY(widgets.size() > 30);
    for (QWidget *widget : widgets) {
        const QString family = QFontInfo(widget->font()).family();
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic),
                 qPrintable(widget->objectName() + " uses " + family));
        QVERIFY(QFontMetrics(widget->font()).inFontUcs4(U'Ж'));
    }
    QCOMPARE(QFontInfo(m_form->Label3->font()).pointSizeF(), 12.0);
    QCOMPARE(m_form->Label1->font().pointSizeF(), 20.25);
    QVERIFY(m_form->Label1->font().italic());
}

void TestGameScreen::qtsOwnTextsAreRussian()
{
    // Texts Qt shows by itself, such as the context menu of the scrolling
    // message box, come from Qt's Russian translation.
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QStringLiteral("&Копировать"));
}

void TestGameScreen::picturesHaveTheirDesignedSizes()
{
    QCOMPARE(m_form->Picture2->pixmap().size(), QSize(84, 91));
    QCOMPARE(m_form->Picture1->pixmap().size(), QSize(179, 124));
    for (CaptionButton *lifeline : {m_form->Command6, m_form->Command8, m_form->Command9}) {
        QCOMPARE(lifeline->picture().size(), QSize(61, 29));
        QCOMPARE(lifeline->cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(lifeline->cursor().hotSpot(), QPoint(12, 1));
        QVERIFY(!lifeline->toolTip().isEmpty());
    }
    QCOMPARE(Art::pixmap(u"icon").size(), QSize(32, 32));
    QVERIFY(Art::image(u"no such picture").isNull());
}

void TestGameScreen::compiledInPicturesAreTheArtFiles()
{
    const QDir art(qEnvironmentVariable("KVIZORA_SOURCE_DIR") + QStringLiteral("/ui/art"));
    QCOMPARE(Art::pictureCount, 24);
    for (int i = 0; i < Art::pictureCount; ++i) {
        const QString name = QString::fromLatin1(Art::pictures[i].name);
        const QStringList files = art.entryList({name + ".gif", name + ".bmp", name + ".png"});
        QCOMPARE(files.size(), 1);
        QImage file(art.filePath(files.first()));
        QVERIFY(!file.isNull());
        file.setDevicePixelRatio(1); // Qt reads "@2x" in a file name as ratio 2
        // Every picture has its twin for high-density screens, drawn at
        // exactly twice the pixels each way.
        const bool doubled = name.endsWith(QStringLiteral("@2x"));
        const QImage partner = Art::image(doubled ? name.chopped(3) : name + QStringLiteral("@2x"));
        QVERIFY2(!partner.isNull(), qPrintable(name));
        if (doubled)
            QCOMPARE(file.size(), partner.size() * 2);
        // Compared as the screen draws them, with premultiplied alpha (the
        // half-transparent edges of the icon and the cursor are stored so).
        QCOMPARE(Art::image(name).convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 file.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // Already in the screen's format: a pixmap shows the compiled-in
        // pixels themselves rather than a converted copy.
        QCOMPARE(Art::pixmap(name).toImage().constBits(), Art::pictures[i].bits);
    }
}

namespace {

QImage asDrawn(QImage image)
{
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The share of a picture's pixels whose colour is in neither of two others:
// high in a smooth scaling, which blends neighbours into new colours, and
// none at all in a pixel-by-pixel enlargement of either.
double newColourShare(const QImage &picture, const QImage &a, const QImage &b)
{
    QSet<QRgb> known;
    for (const QImage &source : {asDrawn(a), asDrawn(b)})
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                known.insert(source.pixel(x, y));
    const QImage image = asDrawn(picture);
    int fresh = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            fresh += !known.contains(image.pixel(x, y));
    return double(fresh) / (image.width() * image.height());
}

} // namespace

void TestGameScreen::picturesFollowTheDevicePixelRatio()
{
    // Runs with the suite at 100 %, and alone under CTest at QT_SCALE_FACTOR
    // 2 and 1.5 (the ratio is fixed when the application starts).
    const qreal ratio = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(qApp->devicePixelRatio(), ratio);

    // The used fifty-fifty picture comes with its twin, the used audience
    // picture without one: that one is shown as it is.
    m_data->copyShippedData();
    QVERIFY(QFile::remove(m_data->path() + QStringLiteral("/data/gfx/Audid@2x.gif")));
    const QString gfx = qEnvironmentVariable("KVIZORA_SOURCE_DIR") + QStringLiteral("/data/gfx/");
    load();
    m_platform->random.addIndex(4, 1);
    m_platform->random.addIndex(4, 2);
    m_form->Command6_Click();
    for (int n : {100, 100, 100, 3})
        m_platform->random.addIndex(n, 0);
    m_form->Command9_Click();
    QCOMPARE(m_platform->random.remaining(), 0);

    const struct
    {
        const char *what;
        QPixmap shown;
        QImage normal;
        QImage doubled; // null: there is no twin
    } pictures[] = {
        {"studio", m_form->Picture1->pixmap(), Art::image(u"studio"), Art::image(u"studio@2x")},
        {"host", m_form->Picture2->pixmap(), Art::image(u"host"), Art::image(u"host@2x")},
        {"phone", m_form->Command8->picture(), Art::image(u"phone"), Art::image(u"phone@2x")},
        {"hand", Appearance::handCursor().pixmap(), Art::image(u"hand"), Art::image(u"hand@2x")},
        {"used 50/50", m_form->Command6->picture(), QImage(gfx + "5050d.gif"), QImage(gfx + "5050d@2x.gif")},
        {"used audience", m_form->Command9->picture(), QImage(gfx + "Audid.gif"), QImage()},
    };
    for (const auto &picture : pictures) {
        const QImage shown = picture.shown.toImage();
        if (ratio == 1 || picture.doubled.isNull()) {
            QCOMPARE(picture.shown.devicePixelRatio(), 1.0);
            QCOMPARE(asDrawn(shown), asDrawn(picture.normal));
        } else {
            QCOMPARE(picture.shown.devicePixelRatio(), ratio);
            QCOMPARE(shown.size(), QSize(qRound(picture.normal.width() * ratio), qRound(picture.normal.height() * ratio)));
            if (ratio == 2)
                QCOMPARE(asDrawn(shown), asDrawn(picture.doubled));
            else
                QVERIFY2(newColourShare(shown, picture.normal, picture.doubled) > 0.1, picture.what);
        }
    }

    // A button places its picture by its size on screen, inside the bevel.
    if (ratio == 1 || ratio == 2) {
        const QPixmap phone = m_form->Command8->picture();
        const QImage button = m_form->Command8->grab().toImage();
        QCOMPARE(asDrawn(button.copy(QRect(QPoint(2, 2) * ratio, phone.size()))), asDrawn(phone.toImage()));
    }

    // The window icon: a 32-px icon of 64 px at 200 %, of 48 px at 150 %.
    QCOMPARE(Art::icon().pixmap(32).size(), QSize(32, 32) * ratio);
}

QTEST_MAIN(TestGameScreen)
#include "tst_gamescreen.moc"
