#include "appearance.h"

#include <QFontMetrics>
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

QIcon SvgIcon(const QString& resourcePath)
{
    static constexpr std::array sizes{16, 20, 22, 24, 32, 40, 48, 64, 96, 128, 256};
    QIcon icon;
    for (int side : sizes)
        icon.addPixmap(SvgStretched(resourcePath, QSize(side, side), 1.0));
    return icon;
}

} // namespace orvantis::appearance
