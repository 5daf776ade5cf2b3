// The notification area of the desktop through QSystemTrayIcon, and the
// task-list switch of the main window.
#pragma once

#include "platform/notify_area.h"

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace orvantis {

// The two kinds of tray a Linux desktop offers. Qt reports the same double
// click differently on them, so the kind decides the icon message, and only
// one of them is handed the icon's menu. Which one Qt uses is its own choice;
// the kind is told from what the icon and its clicks show (trayKindOf,
// QtNotifyArea::activated), by the two trays' protocols.
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

// The kind of tray the shown `icon` is in: an XEmbed icon is a window of ours
// that the tray embeds, so it has a place on the screen, while a
// StatusNotifierItem has none (its host draws it and passes only a click's
// point), so Qt reports no geometry for it. No tray at all looks the same.
TrayKind trayKindOf(const QSystemTrayIcon& icon);

class QtNotifyArea final : public NotifyArea {
    Q_OBJECT
public:
    explicit QtNotifyArea(QObject* parent = nullptr);

    bool IsAvailable() const override;
    // The first Add creates the icon; each one shows it and finds out the
    // tray kind. The menu is exported on a D-Bus tray only: on XEmbed Qt
    // would open it at the right button's press. While the icon is shown,
    // the tray is looked for every second, and trayGone() follows when
    // neither kind of tray is there.
    void Add(const QIcon& icon, const QString& tip, QMenu* menu) override;
    // Within the desktop's double-click interval after a click on the icon,
    // the icon stays for that interval before it goes. A D-Bus tray takes the
    // first click of a double click as the activation that restores the
    // window; were the icon gone at once, the panel would close the gap and
    // the second click would land on whatever moved under the pointer (a
    // workspace switcher, sending the user to another workspace).
    void Remove() override;
    // Runs the menu with a filter that drops the release of any button but
    // the left one: QMenu chooses the item under the pointer on any release.
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
    // On X11 sets or clears _NET_WM_STATE_SKIP_TASKBAR on the window that
    // holds `window`, and keeps the choice across hiding and showing it.
    // False on other platforms (Wayland, offscreen) and for no window.
    bool SetSkipTaskbar(QWidget* window, bool skip) override;
    void SetForegroundWindow(QWidget* window) override;

protected:
    // While armed (after the right button's press on an XEmbed icon): the
    // right button's release over the icon becomes 517.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void post(int code, const QPoint& where);
    void lookForTray();
    void trayLookedFor(bool found);

    QSystemTrayIcon* icon_ = nullptr;
    QTimer trayCheck_;
    bool checkPending_ = false; // an answer from the session bus is awaited
    QTimer lingering_;
    QElapsedTimer sinceActivation_;
};

} // namespace orvantis
