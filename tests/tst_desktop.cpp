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
#include "ui/desktop.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// The game's windows on a real X desktop, as a window manager (openbox,
// icewm) sees them: run by tests/on-desktop.sh inside a virtual X server.
// What is checked here only shows with a window manager: the frames it puts
// around windows, the names and icons it lists, minimising and restoring.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void framedWindowsStandCentredOnTheGameScreen_data();
    void framedWindowsStandCentredOnTheGameScreen();
    void windowListShowsTheGamesNamesAndOneIcon();
    void minimisedGameScreenComesBackWhereItWas();

private:
    // What xprop reports of a window property ("" when it is not set).
    static QString property(const QWidget *window, const char *name);
    // Where the window stands on the X screen, with the frame the window
    // manager put around it. Qt's own record is not to be trusted here.
    static QRect onScreen(const QWidget *window);

    std::unique_ptr<PlatformStandIns> m_platform;
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<Form2> m_form;
    SeededRandom m_random{3};
};

QString TestDesktop::property(const QWidget *window, const char *name)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()), QString::fromLatin1(name)});
    if (!xprop.waitForFinished(5000))
        return QStringLiteral("xprop failed");
    // "NAME(TYPE) = value" or "NAME(TYPE):" and the value on lines below.
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput());
    if (out.contains(QStringLiteral("not found")))
        return {};
    return out.mid(out.indexOf(QRegularExpression(QStringLiteral("[=:]"))) + 1).trimmed();
}

QRect TestDesktop::onScreen(const QWidget *window)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
    if (!xwininfo.waitForFinished(5000))
        return {};
    const QString info = QString::fromUtf8(xwininfo.readAllStandardOutput());
    const auto value = [&](const char *label) {
        const QRegularExpression line(QStringLiteral("%1:\\s+(-?\\d+)").arg(QLatin1String(label)));
        return line.match(info).captured(1).toInt();
    };
    QRect rect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
    // "left, right, top, bottom"
    const QStringList extents = property(window, "_NET_FRAME_EXTENTS").split(QStringLiteral(", "));
    if (extents.size() == 4)
        rect.adjust(-extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(), extents[3].toInt());
    return rect;
}

void TestDesktop::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    QVERIFY(xprop.waitForFinished(5000));
    QVERIFY2(xprop.readAllStandardOutput().contains("window id"), "no window manager runs");
    Appearance::setUpApplication();
    // As the game starts: the first window fixes the class of all of them.
    QWidget first;
    Desktop::nameApplication(&first);
}

void TestDesktop::init()
{
    Module1 = GameState{};
    m_platform = std::make_unique<PlatformStandIns>();
    Platform::setRandomSource(&m_random);
    m_data = std::make_unique<DataFolder>();
    m_data->copyShippedData();
    Platform::setModalHandler([](QDialog &dialog) { return dialog.result(); });
}

void TestDesktop::cleanup()
{
    m_form.reset();
    qDeleteAll(QApplication::topLevelWidgets());
    m_data.reset();
    m_platform.reset();
}

void TestDesktop::framedWindowsStandCentredOnTheGameScreen_data()
{
    QTest::addColumn<bool>("victory");
    // The first framed window is placed before its frame is known and
    // centred again once framed; the second knows the frame beforehand.
    QTest::newRow("call window") << false;
    QTest::newRow("victory window") << true;
}

void TestDesktop::framedWindowsStandCentredOnTheGameScreen()
{
    // Qt places a dialog guessing at a frame of its own; the player sees
    // the window manager's frame, which must stand centred on the game
    // screen.
    QFETCH(bool, victory);
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    std::unique_ptr<QDialog> window;
    if (victory)
        window = std::make_unique<Form5>(m_form.get());
    else
        window = std::make_unique<Form4>(*m_form);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY2(!property(window.get(), "_NET_FRAME_EXTENTS").isEmpty(), "the window manager gave it no frame");
    const auto offCentre = [&] {
        const QRect dialog = onScreen(window.get());
        const QRect owner = onScreen(m_form.get());
        return (dialog.topLeft() * 2 + QPoint(dialog.width(), dialog.height()))
             - (owner.topLeft() * 2 + QPoint(owner.width(), owner.height()));
    };
    // Centres compared in half pixels: a pixel off is fine.
    QTRY_VERIFY2(qAbs(offCentre().x()) <= 2 && qAbs(offCentre().y()) <= 2,
                 qPrintable(QStringLiteral("off centre by %1, %2 half pixels").arg(offCentre().x()).arg(offCentre().y())));
}

void TestDesktop::windowListShowsTheGamesNamesAndOneIcon()
{
    // With an empty caption Qt would publish the executable's name; the
    // window list must show the show's title instead, the class must stay
    // the one the desktop entry names, and only the game screen carries an
    // icon of its own.
    auto *title = new Form1;
    title->show();
    QVERIFY(QTest::qWaitForWindowExposed(title));
    QCOMPARE(property(title, "_NET_WM_NAME"), QStringLiteral("\"Ступенион?\""));
    QCOMPARE(property(title, "WM_CLASS"), QStringLiteral("\"tst_desktop\", \"kvizora\""));
    // openbox writes a stock icon of its own onto a parentless window that
    // has none, so the title screen is judged by what the game set.
    QVERIFY(title->windowHandle()->icon().isNull());

    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(property(m_form.get(), "_NET_WM_NAME"), QStringLiteral("\"Ступенион?\""));
    QCOMPARE(property(m_form.get(), "WM_CLASS"), QStringLiteral("\"tst_desktop\", \"kvizora\""));
    QVERIFY(property(m_form.get(), "_NET_WM_ICON").startsWith(QStringLiteral("Icon (32 x 32)")));

    // The windows the game screen owns would take its icon.
    Form4 call(*m_form);
    call.show();
    QVERIFY(QTest::qWaitForWindowExposed(&call));
    QCOMPARE(property(&call, "_NET_WM_NAME"), QStringLiteral("\"Звонок другу\""));
    QCOMPARE(property(&call, "_NET_WM_ICON"), QString());
    Form3 verdict(*m_form);
    Form5 victory(m_form.get());
    for (QDialog *window : std::initializer_list<QDialog *>{&verdict, &victory}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(property(window, "_NET_WM_ICON"), QString());
    }
}

void TestDesktop::minimisedGameScreenComesBackWhereItWas()
{
    // "Свернуть" iconifies the game screen, which the window list then shows
    // as "Ступенион?"; the window manager brings it back title-less, where it
    // was.
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QRect before = onScreen(m_form.get());
    m_form->CommandButton1->click();
    QTRY_VERIFY(property(m_form.get(), "WM_STATE").contains(QStringLiteral("Iconic")));
    QTRY_VERIFY(property(m_form.get(), "_NET_WM_STATE").contains(QStringLiteral("HIDDEN")));
    QCOMPARE(property(m_form.get(), "_NET_WM_NAME"), QStringLiteral("\"Ступенион?\""));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ступенион?"));

    // Qt reads the window's state when it handles the window manager's
    // notice, not as it was when sent: a restore that follows within the
    // same moment would go unseen. A player takes longer than this.
    QTest::qWait(300);
    QProcess wmctrl;
    wmctrl.start(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-a"), QString::number(m_form->winId())});
    QVERIFY(wmctrl.waitForFinished(5000));
    QTRY_VERIFY(property(m_form.get(), "WM_STATE").contains(QStringLiteral("Normal")));
    QTRY_VERIFY(!m_form->isMinimized());
    QCOMPARE(m_form->windowTitle(), QString());
    QTRY_COMPARE(onScreen(m_form.get()), before);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
