// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/art.h"

namespace Art {

QImage image(QStringView name)
{
    for (int i = 0; i < pictureCount; ++i) {
        const Raw &raw = pictures[i];
        if (name != QLatin1StringView(raw.name))
            continue;
        // The image reads the compiled-in pixels where they are.
        return QImage(raw.bits, raw.width, raw.height, raw.bytesPerLine, raw.format);
    }
    return {};
}

QPixmap pixmap(QStringView name)
{
    return QPixmap::fromImage(image(name));
}

} // namespace Art
