#include "look/look.h"

#include "look/prerendered.h"

#include <QApplication>
#include <QFileInfo>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QProxyStyle>

namespace orvantis::look {

namespace {

// A standard icon of `style`, fetched when it is first drawn or measured.
class DeferredStandardIcon final : public QIconEngine {
public:
    DeferredStandardIcon(const QStyle* style, QStyle::StandardPixmap which)
        : style_(style), which_(which)
    {
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredStandardIcon(*this); }
    QString key() const override { return QStringLiteral("orvantis-deferred"); }

private:
    const QIcon& icon()
    {
        if (!loaded_) {
            icon_ = style_->standardIcon(which_);
            loaded_ = true;
        }
        return icon_;
    }

    const QStyle* style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool loaded_ = false;
};

class Style final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredStandardIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

// Fusion draws a group box's frame from a PNG among Qt's own resources, and
// decoding a PNG makes Qt 6.4 load every image plug-in first: several
// milliseconds at start for one small frame. QPixmap::load() looks a file up
// in the pixmap cache before it decodes it, under a key made of the file's
// path, time and size; the frame, decoded at build time, is put there under
// that key. Should Qt change how it makes the key, the frame is simply
// decoded as before.
void seedGroupBoxFrame()
{
    const QString path = QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
    const QFileInfo file(path);
    const QPixmap frame = prerenderedPixmap(QStringLiteral("fusion_groupbox"), QSize(98, 38), 1);
    if (!file.exists() || frame.isNull())
        return;
    // Qt writes each number as the hex digits of its bytes in memory order,
    // the low half of each byte first.
    const auto hex = [](auto value) {
        QString text;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof value; ++i) {
            text += QLatin1Char("0123456789abcdef"[bytes[i] & 0xf]);
            text += QLatin1Char("0123456789abcdef"[bytes[i] >> 4]);
        }
        return text;
    };
    const QString key = QStringLiteral("qt_pixmap") + file.absoluteFilePath()
                        + hex(uint(file.lastModified().toSecsSinceEpoch())) + hex(quint64(file.size()))
                        + hex(uint(0)); // QPlatformPixmap::PixmapType
    QPixmapCache::insert(key, frame);
}

} // namespace

void installStyle()
{
    QApplication::setStyle(new Style);
    seedGroupBoxFrame();
}

} // namespace orvantis::look
