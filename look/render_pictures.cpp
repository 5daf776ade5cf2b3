// Renders the scalable application icon into the fixed sizes of the hicolor
// icon theme at build time, so that neither the build nor the package needs
// an SVG converter beyond the Qt SVG module the program already uses.
//
//   orvantis-render-icons SOURCE.svg OUTPUT_DIR ICON_NAME SIZE...
//
// writes OUTPUT_DIR/<SIZE>x<SIZE>/apps/ICON_NAME.png for every SIZE, the
// layout of share/icons/hicolor, so the folder can be installed as it is.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <vector>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "orvantis-render-icons: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5)
        return fail(QStringLiteral("usage: orvantis-render-icons SOURCE.svg OUTPUT_DIR ICON_NAME SIZE..."));

    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString outputDir = QString::fromLocal8Bit(argv[2]);
    const QString iconName = QString::fromLocal8Bit(argv[3]);

    // Every size is checked before anything is written, so a typo in the
    // build files leaves no half-made icon set behind.
    std::vector<int> sizes;
    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return fail(QStringLiteral("'%1' is not an icon size (1 to 4096 pixels)")
                            .arg(QString::fromLocal8Bit(argv[i])));
        sizes.push_back(size);
    }

    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read the SVG picture %1").arg(source));
    // A picture that is not square is centred, not squeezed.
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    for (const int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }

        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outputDir).arg(size);
        if (!QDir().mkpath(dir))
            return fail(QStringLiteral("cannot create the folder %1").arg(dir));
        const QString file = QStringLiteral("%1/%2.png").arg(dir, iconName);
        if (!image.save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));
    }
    return 0;
}
