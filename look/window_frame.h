// How our top-level windows sit on the desktop: where each one opens, and
// that a window without a maximise box keeps its designed size whatever the
// desktop asks of it.
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

// For a window without a maximise box: a request to maximise it or to make
// it full screen is undone at once, wherever it comes from (on Wayland Qt
// draws a title bar of its own, with a maximise button on every window).
void keepNormalState(QWidget* window);

} // namespace orvantis::look
