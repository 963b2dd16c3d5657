// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/framing.h"

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace Framing {

namespace {

// Where the inner area of a window of size `size` (Qt's logical pixels),
// framed by `frame` (device pixels), must stand to centre the frame on the
// rectangle `owner` (logical pixels), in device pixels. A window manager
// measures its frame in the X server's pixels; at 200 % a title bar 19
// pixels high is 9.5 of Qt's, which Qt's whole logical pixels cannot hold,
// so the centring is reckoned in device pixels.
QPoint centredDevicePosition(const QRect &owner, QSize size, const QMargins &frame, qreal ratio)
{
    const auto device = [ratio](int logical) { return qRound(logical * ratio); };
    const QRect area(device(owner.x()), device(owner.y()), device(owner.width()), device(owner.height()));
    const QSize outer(device(size.width()), device(size.height()));
    return centredPosition(area, outer.grownBy(frame)) + QPoint(frame.left(), frame.top());
}

// The same place in Qt's logical pixels, the nearest whole one.
QPoint centredInnerPosition(const QRect &owner, QSize size, const QMargins &frame, qreal ratio)
{
    const QPoint device = centredDevicePosition(owner, size, frame, ratio);
    return {qRound(device.x() / ratio), qRound(device.y() / ratio)};
}

// The frame the window manager gave the last framed window, in device
// pixels. Every framed window of the game has the same kind of title bar,
// so the next one most likely gets the same frame. Before the first, no
// frame is assumed.
QMargins g_expectedFrame;

// The X server the game talks to; null on other platforms.
QNativeInterface::QX11Application *x11Application()
{
    if (QGuiApplication::platformName() != u"xcb")
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && x11->connection() ? x11 : nullptr;
}

xcb_atom_t frameExtentsAtom(xcb_connection_t *connection)
{
    static const xcb_atom_t atom = [connection] {
        const char name[] = "_NET_FRAME_EXTENTS";
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return found;
    }();
    return atom;
}

// The frame the window manager put around `window`, in device pixels, as it
// announces it on an X server (_NET_FRAME_EXTENTS); null while it has put
// none. Qt's own
// figure, taken from the windows around the game's, can for a while be
// that of a frame still being built (KWin: one pixel square).
QMargins frameOf(const QWidget *window)
{
    QNativeInterface::QX11Application *x11 = x11Application();
    if (!x11 || !window->windowHandle()) {
        const QRect inner = window->geometry();
        const QRect outer = window->frameGeometry();
        if (!outer.contains(inner))
            return {};
        const qreal ratio = window->devicePixelRatio();
        const auto device = [ratio](int logical) { return qRound(logical * ratio); };
        return {device(inner.left() - outer.left()), device(inner.top() - outer.top()),
                device(outer.right() - inner.right()), device(outer.bottom() - inner.bottom())};
    }
    xcb_connection_t *connection = x11->connection();
    const xcb_atom_t extents = frameExtentsAtom(connection);
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    QMargins frame;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto *value = static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        // left, right, top, bottom
        frame = QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
    }
    free(reply);
    return frame;
}

// Where the inner area of `window` stands on the X server's screen, in
// device pixels; null when that cannot be read.
std::optional<QPoint> placeOnServer(xcb_connection_t *connection, xcb_window_t id)
{
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    if (!geometry)
        return std::nullopt;
    const xcb_window_t root = geometry->root;
    free(geometry);
    xcb_translate_coordinates_reply_t *place =
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
    if (!place)
        return std::nullopt;
    const QPoint result(place->dst_x, place->dst_y);
    free(place);
    return result;
}

// The size `window` will stand at. Qt may be told of a window's size at
// creation after it has been laid out (seen at 200 % under kwin_x11): the
// window then reports, for a moment, a size smaller than it can be.
QSize settledSize(const QWidget *window)
{
    return window->size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize());
}

// Centres the window, framed by `frame` (device pixels), on `owner`. The
// window is placed by its inner area: Qt would place the frame by a frame
// of its own reckoning, which may be wrong (above).
void placeCentred(QWidget *window, const QRect &owner, const QMargins &frame)
{
    const QSize size = settledSize(window);
    window->setGeometry(QRect(centredInnerPosition(owner, size, frame, window->devicePixelRatio()), size));
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
    // Where the window manager announces a frame after the window is first
    // drawn and made active (KWin), no event of Qt's follows; the X
    // server's notice of the announcement is looked for instead.
    static void watchAnnouncements()
    {
        static bool watching = false;
        if (watching || !x11Application())
            return;
        watching = true;
        static Announcements filter;
        qGuiApp->installNativeEventFilter(&filter);
    }

    FrameWatch(QWidget *window, const QRect &owner)
        : QObject(window)
        , m_window(window)
        , m_owner(owner)
    {
        window->installEventFilter(this);
        s_watches.append(this);
    }

    ~FrameWatch() override { s_watches.removeOne(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window manager reports the frame with the move that follows
        // framing the window; where the framed window stays where the game
        // put it, nothing moves, and the frame is known by the time the
        // window is first drawn or made active. A frame read earlier is not
        // yet the real one.
        const QEvent::Type type = event->type();
        if (watched == m_window && (type == QEvent::Move || type == QEvent::Paint || type == QEvent::WindowActivate)
            && m_window->isVisible())
            check();
        return false;
    }

    void check()
    {
        const QMargins frame = frameOf(m_window);
        if (frame.isNull())
            return; // not framed (yet)
        g_expectedFrame = frame;
        const qreal ratio = m_window->devicePixelRatio();
        if (QNativeInterface::QX11Application *x11 = x11Application(); x11 && ratio != 1.0) {
            // Scaled, Qt can place a window only on whole logical pixels,
            // and it keeps its own record of where the window stands, which
            // before the frame was known may not be where the window manager
            // put it; Qt then sends nothing for a place it thinks the window
            // has. The window is moved on the X server itself, to the device
            // pixel. Qt places the inner area (static gravity), and so does
            // this; Qt learns the new place from the X server.
            xcb_connection_t *connection = x11->connection();
            const auto id = static_cast<xcb_window_t>(m_window->winId());
            const QPoint centred = centredDevicePosition(m_owner, settledSize(m_window), frame, ratio);
            if (placeOnServer(connection, id) != centred) {
                const std::uint32_t place[] = {std::uint32_t(centred.x()), std::uint32_t(centred.y())};
                xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
                xcb_flush(connection);
            }
        } else if (m_window->geometry().topLeft() != centredInnerPosition(m_owner, settledSize(m_window), frame, ratio)) {
            placeCentred(m_window, m_owner, frame);
        }
        // From here on, a move is the player's.
        s_watches.removeOne(this);
        deleteLater();
        m_window->removeEventFilter(this);
    }

private:
    class Announcements final : public QAbstractNativeEventFilter
    {
    public:
        bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
        {
            if (type != "xcb_generic_event_t")
                return false;
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                return false;
            const auto *notice = static_cast<const xcb_property_notify_event_t *>(message);
            if (notice->atom != frameExtentsAtom(x11Application()->connection()))
                return false;
            const QList<FrameWatch *> watches = s_watches;
            for (FrameWatch *watch : watches) {
                if (watch->m_window->internalWinId() == notice->window)
                    watch->check();
            }
            return false;
        }
    };

    // The windows still waiting for their frame.
    static inline QList<FrameWatch *> s_watches;

    QWidget *m_window;
    QRect m_owner;
};

} // namespace

QRect screenArea(const QWidget *window)
{
    const QScreen *screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QPoint centredPosition(const QRect &area, QSize outerSize)
{
    return {area.x() + (area.width() - outerSize.width()) / 2, area.y() + (area.height() - outerSize.height()) / 2};
}

void showNoWindowIcon(QWidget *window)
{
    static const QIcon nothing = [] {
        QPixmap clear(16, 16);
        clear.fill(Qt::transparent);
        return QIcon(clear);
    }();
    window->setWindowIcon(nothing);
}

void centreOn(QWidget *window, const QRect &owner)
{
    placeCentred(window, owner, g_expectedFrame);
    FrameWatch::watchAnnouncements();
    new FrameWatch(window, owner);
}

} // namespace Framing
