// The task-list (taskbar) entry of a top-level window on an X11 desktop, and
// whether the desktop has an XEmbed system tray.
#pragma once

class QWidget;

namespace orvantis::x11 {

// Takes the top-level `window` out of the task list (skip) or puts it back,
// through the EWMH state _NET_WM_STATE_SKIP_TASKBAR, and keeps that choice
// each time the window is shown again: window managers drop a window's state
// when it is hidden (withdrawn), so the window's Show event writes the state
// again before the window is mapped, and asks the window manager for it once
// more after the map.
// False when the application does not run on X11 (nothing is changed then).
bool setSkipTaskbar(QWidget* window, bool skip);

// Whether an XEmbed system tray runs on the application's screen: the
// selection _NET_SYSTEM_TRAY_S<screen> has an owner (the tray manager). False
// when the application does not run on X11.
bool systemTrayOwned();

} // namespace orvantis::x11
