#include "look/pictures.h"

#include "look/logging.h"
#include "look/prerendered.h"

#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QString>

namespace orvantis::look {

namespace {

// The picture at `size` and `devicePixelRatio`: rendered at build time where
// it was, else drawn from the SVG now, stretched to the size.
QPixmap picture(const QString& stem, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap = prerenderedPixmap(stem, size, devicePixelRatio);
    if (!pixmap.isNull())
        return pixmap;
    QImageReader svg(QStringLiteral(":/%1.svg").arg(stem));
    svg.setScaledSize(size * devicePixelRatio);
    pixmap = QPixmap::fromImage(svg.read());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    qCInfo(lcPictures).noquote() << QStringLiteral("%1.svg at %2x%3, ratio %4, not drawn at build time:")
                                        .arg(stem)
                                        .arg(size.width())
                                        .arg(size.height())
                                        .arg(devicePixelRatio)
                                 << (pixmap.isNull() ? QStringLiteral("cannot be drawn now (%1)").arg(svg.errorString())
                                                     : QStringLiteral("drawn from the SVG now"));
    return pixmap;
}

// Gives the picture at the size asked for, when it is first asked for, and
// keeps it. Without a list of sizes the icon counts as scalable, as Qt's own
// SVG icons do: the window icon then gets 16 to 128 px, a D-Bus tray 16 and
// 22; Qt turning eleven sizes into the X11 window icon would cost as much as
// drawing them.
class PictureIconEngine final : public QIconEngine {
public:
    explicit PictureIconEngine(QString stem) : stem_(std::move(stem)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (size.isEmpty())
            return {};
        auto it = drawn_.find(size);
        if (it == drawn_.end())
            it = drawn_.insert(size, picture(stem_, size, 1.0));
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return *it;
        // The greyed or selected look exactly as Qt draws it for a pixmap.
        return QIcon(*it).pixmap(size, 1.0, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        // Sharp on a high-resolution screen: as many pixels as the device has.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QIconEngine* clone() const override { return new PictureIconEngine(*this); }
    QString key() const override { return QStringLiteral("orvantis-picture"); }

private:
    QString stem_;
    QHash<QSize, QPixmap> drawn_;
};

} // namespace

QIcon appIcon() { return QIcon(new PictureIconEngine(QStringLiteral("orvantis"))); }

QIcon globeIcon() { return QIcon(new PictureIconEngine(QStringLiteral("globe"))); }

QPixmap appPicture(QSize size, qreal devicePixelRatio)
{
    return picture(QStringLiteral("orvantis"), size, devicePixelRatio);
}

QCursor pointingHand()
{
    const QPixmap hand = picture(QStringLiteral("hand"), {32, 32}, 1);
    if (hand.isNull()) {
        qCInfo(lcPictures) << "the desktop's own pointing hand stands in for ours";
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(hand, 13, 5);
}

} // namespace orvantis::look
