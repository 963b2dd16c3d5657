// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/art.h"

#include <QGuiApplication>
#include <QIcon>

#include <utility>

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

qreal deviceRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap forRatio(QImage normal, QImage doubled, qreal ratio)
{
    if (ratio <= 1.0 || doubled.isNull() || normal.isNull())
        return QPixmap::fromImage(std::move(normal));
    const QSize size(qRound(normal.width() * ratio), qRound(normal.height() * ratio));
    // Held once only, the twin's image takes its ratio without copying its
    // pixels, and the pixmap shares them.
    QImage picture = doubled.size() == size ? std::move(doubled)
                                            : doubled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(std::move(picture));
}

QPixmap pixmap(QStringView name, qreal ratio)
{
    if (ratio <= 1.0)
        return QPixmap::fromImage(image(name));
    return forRatio(image(name), image(name.toString() + QStringLiteral("@2x")), ratio);
}

QIcon icon()
{
    QIcon icon(QPixmap::fromImage(image(u"icon")));
    // At 100 % the icon is the 32-px picture alone, as the window system has
    // always had it; where the ratio calls for more pixels, the picture for
    // that ratio comes beside it.
    const qreal ratio = deviceRatio();
    if (ratio > 1.0)
        icon.addPixmap(pixmap(u"icon", ratio));
    return icon;
}

} // namespace Art
