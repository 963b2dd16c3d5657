// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ART_H
#define ART_H

#include <QImage>
#include <QPixmap>
#include <QStringView>

QT_BEGIN_NAMESPACE
class QIcon;
QT_END_NAMESPACE

// The game's own pictures (ui/art), compiled into the program as raw pixels
// by kvizora-artembed, so that showing one takes no image decoder. The
// pixels are in the screen's own format: a pixmap shares them, uncopied.
// Each picture comes twice: drawn at its own size ("logo") and at twice
// its pixels each way for high-density screens ("logo@2x").
namespace Art {

struct Raw
{
    const char *name;
    int width;
    int height;
    int bytesPerLine;
    QImage::Format format;
    const uchar *bits;
};

extern const Raw pictures[];
extern const int pictureCount;

// The picture of that name (the file name in ui/art without its suffix:
// "logo", "note500", "logo@2x"), or a null image when there is none.
QImage image(QStringView name);

// The device pixel ratio the pictures are made for: the application's, read
// when a window is built (its pictures are set before it is shown). The
// game's windows all stand on one screen, so its ratio is the application's.
qreal deviceRatio();

// The picture to show at a device pixel ratio, drawn from a picture at its
// own size and its twin at twice the pixels (null when there is none):
// - at ratio 1 (or below, or without a twin), the 1x picture itself; a
//   pixmap of the compiled-in pixels shares them, and the twin is never
//   touched;
// - at ratio 2, the twin with device pixel ratio 2;
// - at any other ratio, the twin scaled smoothly to the 1x size times the
//   ratio (rounded), with that device pixel ratio: sharp, where Qt would
//   enlarge the 1x picture pixel by pixel.
// The logical size is always the 1x picture's, whatever size the twin has.
QPixmap forRatio(QImage normal, QImage doubled, qreal ratio);

// The compiled-in picture `name` (with its "@2x" twin) for the ratio.
QPixmap pixmap(QStringView name, qreal ratio);
inline QPixmap pixmap(QStringView name)
{
    return pixmap(name, deviceRatio());
}

// The program's icon: the 32-px picture and, where the device pixel ratio
// calls for more pixels, beside it the picture for that ratio (the 64-px
// one at 2).
QIcon icon();

} // namespace Art

#endif
