#include "look/prerendered.h"

#include <QResource>

namespace orvantis::look {

QString prerenderedName(const QString& stem, QSize size, qreal devicePixelRatio)
{
    return QStringLiteral("%1-%2x%3@%4.rgba")
        .arg(stem)
        .arg(size.width())
        .arg(size.height())
        .arg(devicePixelRatio);
}

QPixmap prerenderedPixmap(const QString& stem, QSize size, qreal devicePixelRatio)
{
    const QResource raw(QStringLiteral(":/prerendered/") + prerenderedName(stem, size, devicePixelRatio));
    if (!raw.isValid())
        return {};
    const QByteArray bytes = raw.uncompressedData();
    const QSize pixels = size * devicePixelRatio;
    if (bytes.size() != qsizetype(pixels.width()) * pixels.height() * 4)
        return {};
    QPixmap pixmap = QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(bytes.constData()),
                                               pixels.width(), pixels.height(),
                                               QImage::Format_RGBA8888_Premultiplied));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace orvantis::look
