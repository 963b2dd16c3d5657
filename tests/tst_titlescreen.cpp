// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/module1.h"
#include "testsupport.h"
#include "title/form1.h"
#include "title/linklooks.h"
#include "ui/appearance.h"
#include "ui/controls.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <memory>

// The title screen: the hover looks of its two links, its two buttons, and
// its layout.
class TestTitleScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Appearance::setUpApplication(); }
    void init();
    void cleanup();

    void linksOpenDesignedThenTakeTurnsBeingHighlighted();
    void mouseOverEachControl_data();
    void mouseOverEachControl();
    void clickOnEmailCaptionResetsButClickOnALinkOpensNothing();

    void playLeavesOnlyTheGameScreenWithQuestionOne_data();
    void playLeavesOnlyTheGameScreenWithQuestionOne();
    void cancelEndsTheProgramWithoutAQuestion();

    void windowLooksAsDesigned();

private:
    enum Links { BothNormal, FirstHighlighted, SecondHighlighted };
    Links links() const;
    void show();

    std::unique_ptr<PlatformStandIns> m_platform;
    QPointer<Form1> m_form;
};

void TestTitleScreen::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    m_form = new Form1;
}

void TestTitleScreen::cleanup()
{
    qDeleteAll(QApplication::topLevelWidgets());
    m_platform.reset();
}

void TestTitleScreen::show()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

TestTitleScreen::Links TestTitleScreen::links() const
{
    const auto looks = [](const CaptionLabel *link, const LinkLooks::Look &look) {
        return link->isUnderlined() == look.underline && link->foreColor() == look.foreColor;
    };
    const LinkLooks::Look normal = LinkLooks::normal();
    const LinkLooks::Look lit = LinkLooks::highlighted();
    if (looks(m_form->Label4, normal) && looks(m_form->Label7, normal))
        return BothNormal;
    if (looks(m_form->Label4, lit) && looks(m_form->Label7, normal))
        return FirstHighlighted;
    if (looks(m_form->Label4, normal) && looks(m_form->Label7, lit))
        return SecondHighlighted;
    QTest::qFail("the links are in no look they can have", __FILE__, __LINE__);
    return BothNormal;
}

void TestTitleScreen::linksOpenDesignedThenTakeTurnsBeingHighlighted()
{
    for (CaptionLabel *link : {m_form->Label4, m_form->Label7}) {
        QVERIFY(!link->isUnderlined());
        QCOMPARE(link->foreColor(), QColor(255, 255, 192));
    }
    // The first reset deepens the yellow of both for good.
    m_form->Picture2_MouseMove();
    QCOMPARE(links(), BothNormal);
    QCOMPARE(m_form->Label4->foreColor(), QColor(255, 255, 128));
    m_form->Label4_MouseMove();
    QCOMPARE(links(), FirstHighlighted);
    QCOMPARE(m_form->Label4->foreColor(), QColor(0, 130, 255));
    m_form->Label7_MouseMove();
    QCOMPARE(links(), SecondHighlighted);
}

void TestTitleScreen::mouseOverEachControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("after");
    // Starting with the web link highlighted (the e-mail link for the row
    // of the web link itself).
    QTest::newRow("background") << "client" << QPoint(150, 300) << int(BothNormal);
    QTest::newRow("divider counts as background") << "Line1" << QPoint(60, 0) << int(BothNormal);
    QTest::newRow("logo") << "Picture2" << QPoint(5, 5) << int(BothNormal);
    QTest::newRow("name") << "Label1" << QPoint(10, 10) << int(BothNormal);
    QTest::newRow("credits") << "Label2" << QPoint(10, 5) << int(BothNormal);
    QTest::newRow("year") << "Label3" << QPoint(10, 10) << int(BothNormal);
    QTest::newRow("Web:") << "Label5" << QPoint(5, 5) << int(BothNormal);
    QTest::newRow("ИГРАТЬ") << "Command1" << QPoint(10, 10) << int(BothNormal);
    QTest::newRow("E-Mail: keeps it") << "Label6" << QPoint(5, 5) << int(FirstHighlighted);
    QTest::newRow("Отмена keeps it") << "CommandButton1" << QPoint(10, 10) << int(FirstHighlighted);
    QTest::newRow("web link") << "Label4" << QPoint(5, 5) << int(FirstHighlighted);
    QTest::newRow("e-mail link") << "Label7" << QPoint(5, 5) << int(SecondHighlighted);
}

void TestTitleScreen::mouseOverEachControl()
{
    // Real mouse movement, so that it is the controls' own areas that
    // decide which handler runs.
    QFETCH(QString, control);
    QFETCH(QPoint, offset);
    QFETCH(int, after);
    show();
    if (control == "Label4")
        m_form->Label7_MouseMove();
    else
        m_form->Label4_MouseMove();
    auto *target = m_form->findChild<QWidget *>(control);
    QVERIFY(target);
    QTest::mouseMove(m_form, target->mapTo(m_form, offset));
    QCOMPARE(links(), Links(after));
}

void TestTitleScreen::clickOnEmailCaptionResetsButClickOnALinkOpensNothing()
{
    show();
    QTest::mouseMove(m_form, m_form->Label4->mapTo(m_form, QPoint(3, 3)));
    QTest::mouseClick(m_form->Label4, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(links(), FirstHighlighted);
    QCOMPARE(QApplication::topLevelWidgets().size(), 1);

    QTest::mouseMove(m_form, m_form->Label6->mapTo(m_form, QPoint(3, 3)));
    QCOMPARE(links(), FirstHighlighted);
    QTest::mouseClick(m_form->Label6, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(links(), BothNormal);
}

void TestTitleScreen::playLeavesOnlyTheGameScreenWithQuestionOne_data()
{
    QTest::addColumn<int>("key"); // 0: the mouse
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("click") << 0 << Qt::KeyboardModifiers();
    // The window opens with the focus on "ИГРАТЬ".
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers();
}

void TestTitleScreen::playLeavesOnlyTheGameScreenWithQuestionOne()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    DataFolder data;
    data.writeHostFiles();
    data.writeLevels(1, 15);
    m_platform->random.addOneOf(10, 3);
    m_platform->random.addShuffle({1, 2, 3, 4});
    show();
    if (key) {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        QTest::keyClick(m_form->windowHandle(), Qt::Key(key), modifiers);
    } else {
        QTest::mouseClick(m_form->Command1, Qt::LeftButton);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(m_form.isNull());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(windows.size(), 1);
    auto *game = qobject_cast<Form2 *>(windows.first());
    QVERIFY(game);
    QVERIFY(game->isVisible());
    QCOMPARE(game->Label1->caption(), QStringLiteral("1 вопрос"));
    QCOMPARE(game->Label3->caption(), QStringLiteral("Вопрос 1.3"));
    QCOMPARE(Module1.Level, 1);
}

void TestTitleScreen::cancelEndsTheProgramWithoutAQuestion()
{
    show();
    m_form->Label7_MouseMove();
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, m_form->CommandButton1_Click());
    QCOMPARE(m_platform->ends, 1);
    QVERIFY(m_platform->messages.isEmpty());
    QCOMPARE(m_platform->random.seeds, 0); // no game was started
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{m_form});
}

void TestTitleScreen::windowLooksAsDesigned()
{
    show();
    using Appearance::px;
    const auto twips = [](int l, int t, int w, int h) { return QRect(px(l), px(t), px(w), px(h)); };
    QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_form->windowTitle().isEmpty());
    QCOMPARE(m_form->size(), QSize(309 + 6, 427 + 6));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QCOMPARE(m_form->Label5->parentWidget()->geometry(), QRect(3, 3, 309, 427));
    const QRect screen = m_form->screen()->geometry();
    QVERIFY(qAbs(2 * m_form->x() + m_form->width() - screen.width()) <= 1);
    QVERIFY(qAbs(2 * m_form->y() + m_form->height() - screen.height()) <= 1);

    QCOMPARE(m_form->Picture2->pixmap().size(), QSize(260, 260));
    QCOMPARE(m_form->Command1->geometry(), twips(3120, 5160, 1095, 585));
    QCOMPARE(m_form->CommandButton1->geometry(), twips(3120, 5880, 1095, 375));
    // Sized to their texts: the top left corner is designed.
    // 476, 4319 and 3003 twips are 31.7, 287.9 and 200.2 px: each goes to
    // the nearest pixel, not down.
    QCOMPARE(m_form->Label1->pos(), QPoint(32, 288));
    QCOMPARE(m_form->Label3->pos(), QPoint(200, 288));
    QCOMPARE(m_form->Label7->pos(), twips(1200, 5520, 0, 0).topLeft());

    // Nothing overlaps: the name stays left of the year, the links left of
    // the buttons, and everything inside the window.
    QVERIFY(m_form->Label1->geometry().right() < m_form->Label3->x());
    for (CaptionLabel *link : {m_form->Label4, m_form->Label7}) {
        QVERIFY(link->geometry().right() < m_form->Command1->x());
        QVERIFY(!link->caption().isEmpty());
    }
    QVERIFY(m_form->Label2->parentWidget()->rect().contains(m_form->Label3->geometry()));

    // The two links and no other control show the hand.
    for (QWidget *control : m_form->Label5->parentWidget()->findChildren<QWidget *>()) {
        const bool link = control == m_form->Label4 || control == m_form->Label7;
        QCOMPARE(control->testAttribute(Qt::WA_SetCursor), link);
        QVERIFY2(QFontMetrics(control->font()).inFontUcs4(U'Ж'), qPrintable(control->objectName()));
    }
    QCOMPARE(m_form->Label4->cursor().hotSpot(), QPoint(12, 1));

    const QImage image = m_form->grab().toImage();
    QCOMPARE(image.pixel(3 + 150, 3 + 300), qRgb(76, 76, 76));
    QCOMPARE(image.pixel(3 + 100, 3 + 344), qRgb(192, 192, 192));
    QCOMPARE(image.pixel(3 + 220, 3 + 400), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(3 + 215, 3 + 350), qRgb(202, 201, 193));
}

QTEST_MAIN(TestTitleScreen)
#include "tst_titlescreen.moc"
