// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DESKTOP_H
#define DESKTOP_H

#include "platform/framing.h"

#include <QByteArray>
#include <QRect>
#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// How the game meets the desktop it runs on: which window system Qt talks
// to, and the names launchers and window lists know it by.
namespace Desktop {

// The desktop entry the game is installed with. Launchers, taskbars and a
// Wayland compositor find the game's name and icon through it.
inline constexpr char DesktopEntryId[] = "example.shishka.kvizora";

// The X11 class and instance of every window (WM_CLASS); the desktop entry
// names it as its StartupWMClass.
inline constexpr char WindowClass[] = "kvizora";

// The platform plugins Qt should try, in order, given QT_QPA_PLATFORM and
// DISPLAY as the user's session has them; empty leaves Qt's own choice.
// The game places its windows itself and needs to know when it has been
// minimised: an X server gives it both, a native Wayland session neither.
// So where an X server is at hand (XWayland in a Wayland session) and the
// user has not chosen, the game goes through X, and falls back to Wayland
// if the X server cannot be reached.
QByteArray platformPlugins(const QByteArray &chosen, const QByteArray &x11Display);

// Applies platformPlugins() to this process; call before QApplication.
void choosePlatform();

// Gives the application its names on the desktop; call once the
// application exists, with the first window, before it is shown. Every
// window keeps the X11 class WindowClass, and a window whose caption is
// empty is listed by the window manager under the show's title rather than
// the executable's name.
void nameApplication(QWidget *firstWindow);

// The name window lists (a taskbar, a window switcher) show for `window`
// while its caption is empty; with a caption they show the caption. Without
// it, every title-less window would be listed under the application's name,
// and some window managers tell apart windows on screen together under one
// name by a counter («Ступенион? <2>»). So each title-less window is listed
// under a name of its own, which no message box (they carry the show's
// title) shares. While minimised, the window is listed under the show's
// title.
void listUnder(QWidget *window, const QString &name);

// Framed windows are centred by the platform's part (platform/framing.h);
// the windows find it here, with the rest of what meets the desktop.
using Framing::centreOn;

} // namespace Desktop

#endif
