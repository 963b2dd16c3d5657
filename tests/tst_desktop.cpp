// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form2.h"
#include "game/form3.h"
#include "game/form5.h"
#include "game/module1.h"
#include "lifelines/form4.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "title/form1.h"
#include "ui/appearance.h"
#include "ui/controls.h"
#include "ui/desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
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
    void minimisedGameScreenComesBackWhereItWas_data();
    void minimisedGameScreenComesBackWhereItWas();
    void modalWindowComesBackAboveTheGameScreen();

private:
    // What xprop reports of a window property ("" when it is not set).
    static QString property(const QWidget *window, const char *name);
    // Where the window stands on the X screen, with the frame the window
    // manager put around it. Qt's own record is not to be trusted here.
    static QRect onScreen(const QWidget *window);
    // How far the centre of `window`'s frame is off the centre of `owner`'s,
    // in half pixels.
    static QPoint offCentre(const QWidget *window, const QWidget *owner);
    // What the window manager lists the window as: its visible name, where
    // it gives one (KWin adds a counter there), else its name.
    static QString listedName(const QWidget *window);
    // The windows on screen that share a listed name ("" when none do).
    static QString sharedNames();
    // Whether the window's title bar shows an icon of the game's: none is
    // set, or every pixel of it is transparent.
    static bool showsNoIcon(const QWidget *window);
    // Runs `inspect` on the message box the next Platform::messageBox
    // shows, then answers it with its escape button.
    static void whileMessageShown(const std::function<void(QMessageBox *)> &inspect);

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
    if (out.contains(QStringLiteral("not found")) || out.contains(QStringLiteral("no such atom")))
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

QPoint TestDesktop::offCentre(const QWidget *window, const QWidget *owner)
{
    const QRect a = onScreen(window);
    const QRect b = onScreen(owner);
    return (a.topLeft() * 2 + QPoint(a.width(), a.height())) - (b.topLeft() * 2 + QPoint(b.width(), b.height()));
}

QString TestDesktop::listedName(const QWidget *window)
{
    const QString visible = property(window, "_NET_WM_VISIBLE_NAME");
    return visible.isEmpty() ? property(window, "_NET_WM_NAME") : visible;
}

QString TestDesktop::sharedNames()
{
    QStringList names;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window->isVisible())
            names << listedName(window);
    }
    names.sort();
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (names[i] == names[i - 1])
            return names.join(QStringLiteral(", "));
    }
    return {};
}

bool TestDesktop::showsNoIcon(const QWidget *window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("-notype"),
                                          QStringLiteral("-f"), QStringLiteral("_NET_WM_ICON"), QStringLiteral("32c"),
                                          QStringLiteral("_NET_WM_ICON")});
    if (!xprop.waitForFinished(5000))
        return false;
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    if (out.contains(QStringLiteral("not found")))
        return true;
    // width, height, then that many ARGB pixels, for each size given
    const QStringList values = out.mid(out.indexOf(QLatin1Char('=')) + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    qsizetype i = 0;
    while (i + 2 <= values.size()) {
        const qsizetype pixels = values[i].trimmed().toLongLong() * values[i + 1].trimmed().toLongLong();
        for (qsizetype p = i + 2; p < i + 2 + pixels && p < values.size(); ++p) {
            if (values[p].trimmed().toUInt() >> 24 != 0)
                return false;
        }
        i += 2 + pixels;
    }
    return true;
}

void TestDesktop::whileMessageShown(const std::function<void(QMessageBox *)> &inspect)
{
    Platform::setMessageBoxHandler({});
    QTimer::singleShot(0, qApp, [inspect] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        inspect(box);
        box->escapeButton()->click();
    });
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
    QTest::addColumn<QString>("window");
    // The first framed window is placed before its frame is known and
    // centred again once framed; the next ones know the frame beforehand.
    QTest::newRow("call window") << "call";
    QTest::newRow("victory window") << "victory";
    QTest::newRow("verdict banner") << "verdict";
    // Qt would put a message box where it guesses, a little off; and a box
    // is only as wide as its text and buttons, too narrow for the title
    // bar to hold «Ступенион?» beside its buttons.
    QTest::newRow("quit box") << "quit";
    // A file the game screen cannot read stops the game before the game
    // screen is shown: the message stands on the title screen.
    QTest::newRow("message on the title screen") << "early";
}

void TestDesktop::framedWindowsStandCentredOnTheGameScreen()
{
    // Qt places a dialog guessing at a frame of its own; the player sees
    // the window manager's frame, which must stand centred on the game
    // screen.
    QFETCH(QString, window);
    auto *title = new Form1;
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    QWidget *owner = title;
    if (window == u"early") {
        title->show();
    } else {
        m_form->show();
        owner = m_form.get();
    }
    QVERIFY(QTest::qWaitForWindowExposed(owner));

    // What was measured goes into the log, for comparing desktops.
    const auto report = [](QPoint off) {
        qInfo("frame centre minus owner centre: %+g, %+g device pixels", off.x() / 2.0, off.y() / 2.0);
    };
    // Centres compared in half pixels: a pixel off is fine.
    const auto centred = [&](const QWidget *shown) {
        return QTest::qWaitFor([&] {
            const QPoint off = offCentre(shown, owner);
            // Some window managers give a frameless window no frame extents.
            const bool framed = window == u"verdict" || !property(shown, "_NET_FRAME_EXTENTS").isEmpty();
            return framed && qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2;
        });
    };
    if (window == u"quit" || window == u"early") {
        QPoint off;
        QString shared = QStringLiteral("box never shown");
        QStringList buttons;
        whileMessageShown([&](QMessageBox *box) {
            if (!QTest::qWaitForWindowExposed(box) || !centred(box))
                qWarning("the box stands off centre");
            off = offCentre(box, owner);
            shared = sharedNames();
            const auto all = box->buttons();
            for (const QAbstractButton *button : all)
                buttons << button->text();
        });
        if (window == u"quit") {
            Platform::messageBox(m_form.get(), QStringLiteral("Хотите выйти?"), Platform::MessageButtons::YesNo);
            buttons.sort();
            QCOMPARE(buttons, QStringList({QStringLiteral("Да"), QStringLiteral("Нет")}));
        } else {
            Platform::messageBox(m_form.get(), QStringLiteral("Не удалось прочитать файл"), Platform::MessageButtons::Ok,
                                 Platform::MessageIcon::Critical);
            QCOMPARE(buttons, QStringList({QStringLiteral("OK")}));
        }
        report(off);
        QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2,
                 qPrintable(QStringLiteral("off centre by %1, %2 half pixels").arg(off.x()).arg(off.y())));
        // The box carries the show's title; no window beside it may.
        QVERIFY2(shared.isEmpty(), qPrintable(shared));
        return;
    }

    std::unique_ptr<QDialog> shown;
    if (window == u"victory")
        shown = std::make_unique<Form5>(m_form.get());
    else if (window == u"call")
        shown = std::make_unique<Form4>(*m_form);
    else
        shown = std::make_unique<Form3>(*m_form);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    const bool standsCentred = centred(shown.get());
    const QPoint off = offCentre(shown.get(), owner);
    report(off);
    if (!standsCentred) {
        QFAIL(qPrintable(QStringLiteral("off centre by %1, %2 half pixels, frame %3")
                             .arg(off.x())
                             .arg(off.y())
                             .arg(property(shown.get(), "_NET_FRAME_EXTENTS"))));
    }
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
    QCOMPARE(property(title, "_NET_WM_NAME"), QStringLiteral("\"Ступенион? — начало\""));
    QCOMPARE(property(title, "WM_CLASS"), QStringLiteral("\"tst_desktop\", \"kvizora\""));
    // openbox writes a stock icon of its own onto a parentless window that
    // has none, so the title screen is judged by what the game set.
    QVERIFY(title->windowHandle()->icon().isNull());

    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(property(m_form.get(), "_NET_WM_NAME"), QStringLiteral("\"Ступенион? — игра\""));
    QCOMPARE(property(m_form.get(), "WM_CLASS"), QStringLiteral("\"tst_desktop\", \"kvizora\""));
    // The 32-px picture, at 200 % the 64-px one drawn for that scale.
    const int iconSize = qRound(32 * m_form->devicePixelRatio());
    QVERIFY(property(m_form.get(), "_NET_WM_ICON").startsWith(QStringLiteral("Icon (%1 x %1)").arg(iconSize)));
    title->hide();

    // The windows the game screen owns would take its icon. All of them on
    // screen at once, and a message box over them: no two share a name.
    Form4 call(*m_form);
    Form3 verdict(*m_form);
    Form5 victory(m_form.get());
    for (QDialog *window : std::initializer_list<QDialog *>{&call, &verdict, &victory}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(showsNoIcon(window), qPrintable(window->windowTitle()));
    }
    QCOMPARE(property(&call, "_NET_WM_NAME"), QStringLiteral("\"Звонок другу\""));
    bool boxShowsNoIcon = false;
    QString shared = QStringLiteral("box never shown");
    whileMessageShown([&](QMessageBox *box) {
        // The window manager names the box as it manages it.
        if (!QTest::qWaitForWindowExposed(box) || !QTest::qWaitFor([&] { return !property(box, "_NET_FRAME_EXTENTS").isEmpty(); }))
            qWarning("the box was never framed");
        boxShowsNoIcon = showsNoIcon(box);
        shared = sharedNames();
    });
    Platform::messageBox(&verdict, QStringLiteral("Игра окончена. Ваш выигрыш составил 0 рублей."));
    QVERIFY(boxShowsNoIcon);
    QVERIFY2(shared.isEmpty(), qPrintable(shared));
}

void TestDesktop::minimisedGameScreenComesBackWhereItWas_data()
{
    QTest::addColumn<bool>("byTheDesktop");
    QTest::newRow("«Свернуть»") << false;
    // A taskbar, a pager or a shortcut of the window manager's asks the
    // window manager to iconify the window, as xdotool does; the game hears
    // of it only from the window manager.
    QTest::newRow("minimised by the desktop") << true;
}

void TestDesktop::minimisedGameScreenComesBackWhereItWas()
{
    // However the game screen is minimised, the window list shows it as
    // "Ступенион?"; the window manager brings it back title-less, where it
    // was, listed under its own name again.
    QFETCH(bool, byTheDesktop);
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QRect before = onScreen(m_form.get());
    if (byTheDesktop) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(m_form->winId())});
        QVERIFY(xdotool.waitForFinished(5000));
        QCOMPARE(xdotool.exitCode(), 0);
    } else {
        m_form->CommandButton1->click();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ступенион?"));
    }
    QTRY_VERIFY(property(m_form.get(), "WM_STATE").contains(QStringLiteral("Iconic")));
    QTRY_VERIFY(property(m_form.get(), "_NET_WM_STATE").contains(QStringLiteral("HIDDEN")));
    QTRY_COMPARE(property(m_form.get(), "_NET_WM_NAME"), QStringLiteral("\"Ступенион?\""));

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
    QTRY_COMPARE(property(m_form.get(), "_NET_WM_NAME"), QStringLiteral("\"Ступенион? — игра\""));
    QTRY_COMPARE(onScreen(m_form.get()), before);
}

void TestDesktop::modalWindowComesBackAboveTheGameScreen()
{
    // Some window managers offer to minimise a modal window whatever it
    // asks for (KWin minimises the game screen with it). However the game
    // comes back through the window manager, the modal window must stand
    // above the game screen again: the game screen takes no input while it
    // is open.
    m_form = std::make_unique<Form2>();
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    Form4 call(*m_form);
    call.setWindowModality(Qt::ApplicationModal);
    call.show();
    QVERIFY(QTest::qWaitForWindowExposed(&call));
    QTRY_VERIFY(!property(&call, "_NET_FRAME_EXTENTS").isEmpty());
    // A compositor may let a window that it has not made active yet (an X
    // window it has not yet matched to a surface of XWayland's) ask for
    // nothing.
    QTRY_VERIFY(call.isActiveWindow());
    if (!property(&call, "_NET_WM_ALLOWED_ACTIONS").contains(QStringLiteral("MINIMIZE")))
        return; // not offered: the window manager keeps to the game's hints
    // What the minimise button of its title bar asks for. A compositor may
    // pass over a request that comes while it is still matching the X window
    // to XWayland's surface (kwin_wayland, once in a busy run); the desktop's
    // own request, sent once more, stands for the player's second click.
    call.showMinimized();
    const auto iconic = [&] { return property(&call, "WM_STATE").contains(QStringLiteral("Iconic")); };
    if (!QTest::qWaitFor(iconic, 5000)) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(call.winId())});
        QVERIFY(xdotool.waitForFinished(5000));
    }
    QTRY_VERIFY(iconic());
    QTest::qWait(300);
    QProcess wmctrl;
    wmctrl.start(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-a"), QString::number(m_form->winId())});
    QVERIFY(wmctrl.waitForFinished(5000));
    QTRY_VERIFY(property(m_form.get(), "WM_STATE").contains(QStringLiteral("Normal")));
    QTRY_VERIFY(property(&call, "WM_STATE").contains(QStringLiteral("Normal")));
    // Bottom to top.
    QProcess root;
    root.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QVERIFY(root.waitForFinished(5000));
    const QString order = QString::fromLatin1(root.readAllStandardOutput());
    const auto at = [&](const QWidget *window) {
        return order.indexOf(QStringLiteral("0x") + QString::number(window->winId(), 16));
    };
    QVERIFY2(at(m_form.get()) >= 0 && at(&call) > at(m_form.get()), qPrintable(order));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
