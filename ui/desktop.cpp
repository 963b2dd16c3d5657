// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop.h"

#include "platform/platform.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

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

// Publishes a window's name for the window lists whenever its caption is
// empty: before the window is first shown, and after every change of the
// caption or of the window's state (the game screen empties its caption
// whenever it changes state). While minimised, however that came about (the
// game's own button, a taskbar, a pager, a shortcut of the window
// manager's), the window is listed under the show's title, as a minimised
// window with a caption is. The caption itself, which decides whether a
// title bar is drawn, stays empty.
class ListedName final : public QObject
{
public:
    ListedName(QWidget *window, const QString &name)
        : QObject(window)
        , m_window(window)
        , m_name(name)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window
            && (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show
                || event->type() == QEvent::WinIdChange || event->type() == QEvent::WindowStateChange)) {
            QWindow *handle = m_window->windowHandle();
            const QString name = m_window->isMinimized() ? Platform::applicationTitle() : m_name;
            if (handle && m_window->windowTitle().isEmpty() && handle->title() != name)
                handle->setTitle(name);
        }
        return false;
    }

private:
    QWidget *m_window;
    QString m_name;
};

} // namespace

void listUnder(QWidget *window, const QString &name)
{
    new ListedName(window, name);
}

} // namespace Desktop
