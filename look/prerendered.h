// Our SVG pictures drawn into pixels at build time (render_pictures.cpp),
// and those pixels loaded again by the program.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace orvantis::look {

// The file name of a picture rendered at build time: "<stem>-<w>x<h>@<ratio>.rgba".
// The file holds its pixels as premultiplied RGBA, 8 bits each.
QString prerenderedName(const QString& stem, QSize size, qreal devicePixelRatio);

// The picture `stem` as the build rendered it for exactly this size and
// ratio (see look/CMakeLists.txt), or a null pixmap when it did not.
QPixmap prerenderedPixmap(const QString& stem, QSize size, qreal devicePixelRatio);

} // namespace orvantis::look
