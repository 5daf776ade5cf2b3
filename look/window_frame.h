// How our top-level windows sit on the desktop: where each one opens.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace orvantis::look {

// The top-left corner for a frame of size `frame` centred over `over` and
// then kept within `area`: moved just enough to fit where it can, and never
// with its top-left corner outside, so that a frame larger than `area`
// starts at the area's corner with its title bar and menus reachable.
QPoint placedFrame(QSize frame, const QRect& over, const QRect& area);

// Places the top-level `window` by that rule when it is first shown: its
// frame centred over its parent's window, or over its screen's available
// area when it has no parent, within that screen's available area. On X11
// the title bar's size is known only once the window manager has framed
// the window; should the frame then reach past the area's edge, the window
// is moved once more.
void placeWhenFirstShown(QWidget* window);

} // namespace orvantis::look
