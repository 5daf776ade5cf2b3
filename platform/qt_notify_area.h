// The notification area of the desktop through QSystemTrayIcon, and the
// task-list switch of the main window.
#pragma once

#include "platform/notify_area.h"

#include <QSystemTrayIcon>

namespace orvantis {

// The two kinds of tray a Linux desktop offers. Qt reports the same double
// click differently on them, so the kind decides the icon message.
enum class TrayKind {
    // An X11 tray window embeds ours (trayer, stalonetray, older panels). A
    // double click arrives as Trigger (press) followed by DoubleClick, the
    // right button as Context on its press.
    XEmbed,
    // A D-Bus StatusNotifierItem host (KDE Plasma, most current panels). The
    // host asks to "activate" the item and never reports a double click, so
    // the activation request is what restores the window. It shows the menu
    // the item exports on a right click.
    StatusNotifier,
};

// The icon message for one activation of the icon: 515 where it means
// "bring the window back", 517 for the menu request, and codes the window
// ignores for everything else (514 single click, 516 the right button's
// press on XEmbed, 520 middle button, 512). On XEmbed the 517 comes from the
// right button's release, which Qt does not report.
int iconMessageFor(QSystemTrayIcon::ActivationReason reason, TrayKind kind);

// The kind of tray Qt picks on this session now: the D-Bus one when the
// session bus has a StatusNotifierWatcher with a host registered, else XEmbed.
TrayKind currentTrayKind();

class QtNotifyArea final : public NotifyArea {
    Q_OBJECT
public:
    using NotifyArea::NotifyArea;

    bool IsAvailable() const override;
    // The first Add creates the icon and finds out the tray kind; later ones
    // only change its picture, tip and menu. The menu is exported on a D-Bus
    // tray only: on XEmbed Qt would open it at the right button's press.
    void Add(const QIcon& icon, const QString& tip, QMenu* menu) override;
    void Remove() override;
    bool IsPresent() const override;
    // Runs the menu with a filter that drops the release of any button but
    // the left one: QMenu chooses the item under the pointer on any release.
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
    // On X11 sets or clears _NET_WM_STATE_SKIP_TASKBAR on the window that
    // holds `window`, and keeps the choice across hiding and showing it.
    // False on other platforms (Wayland, offscreen) and for no window.
    bool SetSkipTaskbar(QWidget* window, bool skip) override;
    void SetForegroundWindow(QWidget* window) override;

    // The tray kind found by the first Add (XEmbed until then).
    TrayKind trayKind() const { return kind_; }

protected:
    // While armed (after the right button's press on an XEmbed icon): the
    // right button's release over the icon becomes 517.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void post(int code, const QPoint& where);

    QSystemTrayIcon* icon_ = nullptr;
    TrayKind kind_ = TrayKind::XEmbed;
};

} // namespace orvantis
