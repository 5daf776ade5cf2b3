// The notification area (system tray) as the main window sees it: one icon
// that can be added and removed, and the mouse events on it delivered as the
// window-message codes the window decodes:
//   512 pointer moved, 513 left down, 514 left up, 515 left double click,
//   516 right down, 517 right up.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace orvantis {

namespace IconMessage {
inline constexpr int MouseMove = 512;
inline constexpr int LeftButtonDown = 513;
inline constexpr int LeftButtonUp = 514;
inline constexpr int LeftButtonDoubleClick = 515;
inline constexpr int RightButtonDown = 516;
inline constexpr int RightButtonUp = 517;
} // namespace IconMessage

class NotifyArea : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Whether a tray exists right now to put an icon into.
    virtual bool IsAvailable() const = 0;
    // Shows the icon with its tip; adding again replaces the earlier one.
    // `menu` is the icon's pop-up menu. A tray that shows an icon's menu
    // itself (a D-Bus one) is handed it and shows it on a right click; on
    // other trays the window opens it through PopupMenu on 517.
    virtual void Add(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
    // Removes the icon; removing an absent icon does nothing. Right after a
    // click on the icon the icon may stay a moment longer, see QtNotifyArea.
    virtual void Remove() = 0;
    // Opens `menu` as a pop-up at the pointer and returns when an item was
    // chosen (its handler has run) or the menu was dismissed. Items are chosen
    // with the left button (or the keys); other buttons choose nothing.
    virtual void PopupMenu(QMenu* menu, const QPoint& globalPos) = 0;
    // Takes `window` out of (or back into) the desktop's task list, where the
    // desktop offers such a switch; returns false where it cannot.
    virtual bool SetSkipTaskbar(QWidget* window, bool skip) = 0;
    // Brings `window` to the front before a pop-up menu opens.
    virtual void SetForegroundWindow(QWidget* window) = 0;

Q_SIGNALS:
    // A mouse event on the icon, as one of the IconMessage codes.
    void iconMessage(int code, const QPoint& globalPos);
    // The notification area went away (its panel ended) while the icon was
    // in it: the icon is gone with it, and nothing is left to click.
    void trayGone();
};

} // namespace orvantis
