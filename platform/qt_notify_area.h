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
    // double click arrives as Trigger (press) followed by DoubleClick.
    XEmbed,
    // A D-Bus StatusNotifierItem host (KDE Plasma, most current panels). The
    // host asks to "activate" the item and never reports a double click, so
    // the activation request is what restores the window.
    StatusNotifier,
};

// The icon message for one activation of the icon: 515 where it means
// "bring the window back", 517 for the menu request, and codes the window
// ignores for everything else (514 single click, 520 middle button, 512).
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
    // only change its picture and tip.
    void Add(const QIcon& icon, const QString& tip) override;
    void Remove() override;
    bool IsPresent() const override;
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
    // On X11 sets or clears _NET_WM_STATE_SKIP_TASKBAR on the window that
    // holds `window`, and keeps the choice across hiding and showing it.
    // False on other platforms (Wayland, offscreen) and for no window.
    bool SetSkipTaskbar(QWidget* window, bool skip) override;
    void SetForegroundWindow(QWidget* window) override;

    // The tray kind found by the first Add (XEmbed until then).
    TrayKind trayKind() const { return kind_; }

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* icon_ = nullptr;
    TrayKind kind_ = TrayKind::XEmbed;
};

} // namespace orvantis
