// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FRAMING_H
#define FRAMING_H

#include <QPoint>
#include <QRect>
#include <QSize>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// Where the game's windows stand on the screen and what the window manager
// draws around them: the frame it puts around a dialog, read from the
// window system, and the icon in its title bar.
namespace Framing {

// The geometry of the screen a window is on (the primary screen before it
// is shown).
QRect screenArea(const QWidget *window);

// The top left corner that centres something of size `outerSize` on `area`.
QPoint centredPosition(const QRect &area, QSize outerSize);

// Only the game screen carries the show's icon. A window it owns (a dialog,
// a message box) that names no icon of its own is drawn by many window
// managers with the game screen's icon, or the one the desktop entry names;
// so it is given an icon that shows nothing.
void showNoWindowIcon(QWidget *window);

// Centres `window`, frame included, on `owner` (the owning window as the
// player sees it). What frame the window manager gives a window is known
// only once it has framed it; until then the frame of the previous framed
// window stands in. Once framed, a window that does not stand centred is
// centred again at once. Later moves (the player dragging it) are left
// alone.
void centreOn(QWidget *window, const QRect &owner);

} // namespace Framing

#endif
