// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef APPEARANCE_H
#define APPEARANCE_H

#include "platform/framing.h"
#include "platform/rounding.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QCursor;
class QPainter;
QT_END_NAMESPACE

// Shared looks of the game's windows.
namespace Appearance {

// The windows are designed in twips, 15 to a pixel. A position or size in
// twips becomes the nearest whole pixel, a tie going to the even one, as
// every computed value the game stores does.
inline constexpr int TwipsPerPixel = 15;
inline int px(double twips)
{
    return static_cast<int>(Rounding::roundHalfEven(twips / TwipsPerPixel));
}

// Gives fontconfig the game's own configuration (FontSetup), maps the faces
// the windows are designed with (Verdana, Arial, Tahoma, Comic Sans MS,
// MS Sans Serif, Times New Roman, Impact) to installed families that carry
// Cyrillic glyphs, for systems that lack the originals, and turns off text
// shaping where a script does not need it. Must run before the first text
// is measured or drawn.
void setUpFonts();

// Gives a control designed in Impact the weight that looks like Impact in
// whichever face stands in for it.
void useHeavyDisplayFace(QWidget *widget);

// Sets up what every window of the game relies on: the fonts and
// Russian texts for Qt's own dialogs.
void setUpApplication();

// What the windows share with the message boxes: placing on the screen
// and an empty title-bar icon (platform/framing.h).
using Framing::centredPosition;
using Framing::screenArea;
using Framing::showNoWindowIcon;

// The white pointing hand shown over clickable controls (hot spot 12, 1).
const QCursor &handCursor();

// Moves a window without a frame of the window manager's so that it stands
// centred on `area`.
inline void centreOn(QWidget *window, const QRect &area);

// Gives a window or control a plain background colour.
void setBackground(QWidget *widget, const QColor &color);

// Width of the raised frame around a title-less window.
inline constexpr int FrameWidth = 3;
// Draws that frame just inside `outer`.
void paintWindowFrame(QPainter &painter, const QRect &outer);

// Draws a two-pixel ridge (raised outside, sunken inside) just inside `outer`.
void paintRidge(QPainter &painter, const QRect &outer);

// Draws a two-pixel raised or sunken button bevel just inside `outer`.
void paintButtonBevel(QPainter &painter, const QRect &outer, bool sunken);

// The contrast ratio of two colours, 1 to 21, by their relative luminance.
double contrastRatio(const QColor &a, const QColor &b);

// The colour of a keyboard focus ring drawn on a face of colour `face`:
// black or white, whichever stands out more (never less than 4.5:1).
QColor focusRingColor(const QColor &face);

// Draws a solid focus ring of `width` pixels just inside `outer`.
void paintFocusRing(QPainter &painter, const QRect &outer, const QColor &color, int width = 2);

} // namespace Appearance

inline void Appearance::centreOn(QWidget *window, const QRect &area)
{
    window->move(centredPosition(area, window->size()));
}

#endif
