// Renders our SVG pictures into pixels at build time, so that neither the
// program's start nor the package needs an SVG renderer or an image plug-in
// for them.
//
//   orvantis-render-pictures raw SOURCE.svg OUTPUT_DIR STEM WxH@RATIO...
//       writes OUTPUT_DIR/<STEM>-<W>x<H>@<RATIO>.rgba for every size: the raw
//       pixels the program would otherwise draw from the SVG itself (see
//       renderSvg below), which it loads at start instead (prerendered.h);
//   orvantis-render-pictures png SOURCE.svg OUTPUT_DIR ICON_NAME SIZE...
//       writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/ICON_NAME.png for every SIZE, the
//       layout of share/icons/hicolor, so the folder can be installed as it is.
//
// Every size is checked before anything is written, so a typo in the build
// files leaves no half-made set behind.
#include "look/prerendered.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "orvantis-render-pictures: %s\n", qUtf8Printable(message));
    return 1;
}

struct Size {
    QSize logical;
    qreal ratio = 1;
};

// "64" (png) or "126x106@2" (raw).
std::optional<Size> parseSize(const QString& text, bool withRatio)
{
    bool ok = false;
    if (!withRatio) {
        const int side = text.toInt(&ok);
        return ok && side >= 1 && side <= 4096 ? std::optional<Size>({{side, side}, 1}) : std::nullopt;
    }
    const qsizetype x = text.indexOf(QLatin1Char('x'));
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (x < 0 || at < x)
        return std::nullopt;
    bool okW = false, okH = false, okR = false;
    const Size size{{text.left(x).toInt(&okW), text.mid(x + 1, at - x - 1).toInt(&okH)},
                    text.mid(at + 1).toDouble(&okR)};
    const bool sane = okW && okH && okR && size.logical.width() >= 1 && size.logical.height() >= 1
                      && size.ratio >= 1 && size.ratio <= 4
                      && size.logical.width() * size.ratio <= 4096
                      && size.logical.height() * size.ratio <= 4096;
    return sane ? std::optional<Size>(size) : std::nullopt;
}

// The hicolor icons: square, the picture centred rather than squeezed.
QImage renderIcon(QSvgRenderer& renderer, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, side, side));
    return image;
}

// The SVG picture `source` stretched to exactly `size` device-independent
// pixels (aspect ratio not kept), antialiased, on a transparent background,
// for a screen of `devicePixelRatio`: as the program has always drawn it.
QImage renderSvg(const QString& source, QSize size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return {};
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

bool writeRaw(const QImage& image, const QString& file)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    for (int y = 0; y < rgba.height(); ++y) {
        const auto* line = reinterpret_cast<const char*>(rgba.constScanLine(y));
        if (out.write(line, qint64(rgba.width()) * 4) != qint64(rgba.width()) * 4)
            return false;
    }
    return out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool raw = mode == QLatin1String("raw");
    if (argc < 6 || (!raw && mode != QLatin1String("png")))
        return fail(QStringLiteral("usage: orvantis-render-pictures raw|png SOURCE OUTPUT_DIR NAME SIZE..."));
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString outputDir = QString::fromLocal8Bit(argv[3]);
    const QString name = QString::fromLocal8Bit(argv[4]);

    std::vector<Size> sizes;
    for (int i = 5; i < argc; ++i) {
        const QString text = QString::fromLocal8Bit(argv[i]);
        const auto size = parseSize(text, raw);
        if (!size)
            return fail(QStringLiteral("'%1' is not a picture size (%2)")
                            .arg(text, raw ? QStringLiteral("WxH@RATIO") : QStringLiteral("1 to 4096")));
        sizes.push_back(*size);
    }

    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read the SVG picture %1").arg(source));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    for (const Size& size : sizes) {
        if (raw) {
            const QString file = outputDir + QLatin1Char('/')
                                 + orvantis::look::prerenderedName(name, size.logical, size.ratio);
            if (!QDir().mkpath(outputDir) || !writeRaw(renderSvg(source, size.logical, size.ratio), file))
                return fail(QStringLiteral("cannot write %1").arg(file));
            continue;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outputDir).arg(size.logical.width());
        const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
        if (!QDir().mkpath(dir) || !renderIcon(renderer, size.logical.width()).save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));
    }
    return 0;
}
