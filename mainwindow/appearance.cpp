#include "appearance.h"

#include <QFontMetrics>
#include <QHash>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <algorithm>
#include <array>

// Compiled into this static library; the call below keeps the linker from
// dropping it.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace orvantis::appearance {

void RegisterFontSubstitutes()
{
    static const bool done = [] {
        initResources();
        // Arial's metric twins first (closest in width), DejaVu Sans always.
        const QStringList standIns{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                   QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QString::fromLatin1(kWestminster), standIns);
        QFont::insertSubstitutions(QString::fromLatin1(kMsSansSerif), standIns);
        return true;
    }();
    (void)done;
}

QFont FittedToWidth(QFont font, const QString& sample, int width)
{
    const int natural = QFontMetrics(font).horizontalAdvance(sample);
    if (natural > width && natural > 0)
        font.setStretch(std::max(70, width * 100 / natural));
    return font;
}

QFont Westminster(qreal pointSize)
{
    RegisterFontSubstitutes();
    QFont font(QString::fromLatin1(kWestminster));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Medium); // 500
    // The widest caption in the narrowest room: "Option2" leaves 233 px
    // beside its round button at 12 pt.
    return FittedToWidth(font, QStringLiteral("Personal Year and Month Numbers"),
                         static_cast<int>(233 * pointSize / 12));
}

QFont MsSansSerif()
{
    RegisterFontSubstitutes();
    QFont font(QString::fromLatin1(kMsSansSerif));
    font.setPointSizeF(8.25);
    // The longest birth date inside a 103 px box, less its frame and margins.
    return FittedToWidth(font, QStringLiteral("September 30, 2025"), 93);
}

QPixmap SvgStretched(const QString& resourcePath, QSize size, qreal devicePixelRatio)
{
    RegisterFontSubstitutes(); // also makes sure the pictures are registered
    QSvgRenderer renderer(resourcePath);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

namespace {

// Renders the picture at the size asked for, when it is first asked for, and
// keeps it. Rendering the eleven usual sizes up front cost about 10 ms per
// icon at start-up (three icons: the program's twice, the globe), and as much
// again for Qt to turn all of them into the X11 window icon, for sizes nobody
// draws. Without a list of sizes the icon counts as scalable, as Qt's own SVG
// icons do: the window icon then gets 16 to 128 px, a D-Bus tray 16 and 22.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QString path) : path_(std::move(path)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (size.isEmpty())
            return {};
        auto it = rendered_.find(size);
        if (it == rendered_.end())
            it = rendered_.insert(size, SvgStretched(path_, size, 1.0));
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

    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("orvantis-svg"); }

private:
    QString path_;
    QHash<QSize, QPixmap> rendered_;
};

} // namespace

QIcon SvgIcon(const QString& resourcePath)
{
    RegisterFontSubstitutes(); // makes sure the pictures are registered
    return QIcon(new SvgIconEngine(resourcePath));
}

} // namespace orvantis::appearance
