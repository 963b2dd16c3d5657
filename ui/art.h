// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ART_H
#define ART_H

#include <QImage>
#include <QPixmap>
#include <QStringView>

// The game's own pictures (ui/art), compiled into the program as raw pixels
// by kvizora-artembed, so that showing one takes no image decoder. The
// pixels are in the screen's own format: a pixmap shares them, uncopied.
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
// "logo", "note500"), or a null image when there is none.
QImage image(QStringView name);
QPixmap pixmap(QStringView name);

} // namespace Art

#endif
