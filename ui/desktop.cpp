// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop.h"

#include "game/platform.h"
#include "ui/appearance.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QWidget>

namespace Desktop {

QByteArray platformPlugins(const QByteArray &chosen, const QByteArray &x11Display)
{
    if (!chosen.isEmpty() || x11Display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb;wayland");
}

void choosePlatform()
{
    const QByteArray plugins = platformPlugins(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
    if (!plugins.isEmpty())
        qputenv("QT_QPA_PLATFORM", plugins);
}

void nameApplication(QWidget *firstWindow)
{
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopEntryId));
    // The X11 platform takes the window class from the application name once,
    // when it creates its first window; after that a window with an empty
    // caption is listed under the application name. So the first window is
    // created under the class name, and the application then takes the
    // show's title for the window lists.
    QCoreApplication::setApplicationName(QString::fromLatin1(WindowClass));
    firstWindow->winId();
    QCoreApplication::setApplicationName(Platform::applicationTitle());
    // Publish the first window's empty caption again, under the new name.
    firstWindow->setWindowTitle(QString());
}

namespace {

// The place for the frame's top left corner that centres a window of inner
// size `size`, framed by `frame`, on the rectangle `owner`.
QPoint centredFramePosition(const QRect &owner, QSize size, const QMargins &frame)
{
    return Appearance::centredPosition(owner, size.grownBy(frame));
}

// The frame the window manager gave the last framed window. Every framed
// window of the game has the same kind of title bar, so the next one most
// likely gets the same frame. Before the first, no frame is assumed.
QMargins g_expectedFrame;

QMargins frameOf(const QWidget *window)
{
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Watches a window it centred until the window manager has framed it, and
// centres it again, once, if it does not stand centred with its frame: the
// frame may be another than the one assumed, and Qt's record of where the
// framed window stands can be off by the frame's border (under icewm).
// Asking for the centred place again sets both right; where the window
// already stands there, it does not move.
class FrameWatch final : public QObject
{
public:
    FrameWatch(QWidget *window, const QRect &owner)
        : QObject(window)
        , m_window(window)
        , m_owner(owner)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window manager reports the frame with the move that follows
        // framing the window; a frame read earlier is not yet the real one.
        if (watched == m_window && event->type() == QEvent::Move && m_window->isVisible())
            check();
        return false;
    }

private:
    void check()
    {
        const QMargins frame = frameOf(m_window);
        if (frame.isNull())
            return; // not framed (yet)
        g_expectedFrame = frame;
        const QPoint centred = centredFramePosition(m_owner, m_window->size(), frame);
        if (m_window->frameGeometry().topLeft() != centred)
            m_window->move(centred);
        // From here on, a move is the player's.
        deleteLater();
        m_window->removeEventFilter(this);
    }

    QWidget *m_window;
    QRect m_owner;
};

} // namespace

void centreOn(QWidget *window, const QRect &owner)
{
    window->move(centredFramePosition(owner, window->size(), g_expectedFrame));
    new FrameWatch(window, owner);
}

} // namespace Desktop
