#include "ui/art.h"

namespace Art {

QImage image(QStringView name)
{
    for (int i = 0; i < pictureCount; ++i) {
        const Raw &raw = pictures[i];
        if (name != QLatin1StringView(raw.name))
            continue;
        // The image reads the compiled-in pixels where they are.
        QImage picture(raw.bits, raw.width, raw.height, raw.bytesPerLine, raw.format);
        if (raw.colours)
            picture.setColorTable(QList<QRgb>(raw.colours, raw.colours + raw.colourCount));
        return picture;
    }
    return {};
}

QPixmap pixmap(QStringView name)
{
    return QPixmap::fromImage(image(name));
}

} // namespace Art
