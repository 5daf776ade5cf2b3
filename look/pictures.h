// The program's pictures: its icon (a yellow orb ringed in white), the globe
// of the calculate button and the hyperlink's pointing hand, drawn from SVG
// sources at the size they are shown at.
//
// The sizes the first frame needs were drawn at build time and load without
// an SVG renderer or an image plug-in; any other size is drawn from the SVG
// when first asked for, through Qt's SVG image plug-in.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace orvantis::look {

// The program icon: window icons, tray icon, dialogs.
QIcon appIcon();
// The calculate button's globe.
QIcon globeIcon();
// The program icon stretched to exactly `size` device-independent pixels
// (aspect ratio not kept), rendered for `devicePixelRatio`.
QPixmap appPicture(QSize size, qreal devicePixelRatio);
// A pointing hand, index finger up, hot spot at the fingertip.
QCursor pointingHand();

} // namespace orvantis::look
