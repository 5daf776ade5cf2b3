// The main window's icon in the notification area, and the window's state
// around it: shown, or hidden in the tray with the icon as the way back.
//
// Icon events reach the window as pointer moves whose horizontal position,
// in twips (1/1440 inch), is the event's code times the screen's twips per
// pixel: 512 pointer moved, 513/514 left button down/up, 515 left double
// click, 516/517 right button down/up. Form_MouseMove decodes them while
// TrayBusy is false, that is only while the window is in the tray:
//
//   state                    window   icon     TrayBusy
//   shown                    visible  absent   true
//   in the tray              hidden   present  false
//   handling an icon event   hidden   present  true    (until a restore)
//
// 515 shows the window (then removes the icon); 517 opens the pop-up menu
// ("&Restore", "&Exit") at the pointer; every other code does nothing.
//
// The window must never be out of reach: when the notification area goes
// away with the icon in it, and when a refused second start asks for it,
// bringBack() shows it again.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace orvantis {

class NotifyArea;

class TrayIcon final : public QObject {
    Q_OBJECT

public:
    // `window` is the main window that goes into the tray, `popupMenu` the
    // icon's pop-up menu, `area` the desktop's notification area.
    TrayIcon(QWidget* window, QMenu* popupMenu, NotifyArea& area);

    // While true, pointer moves over the window are not icon events. Set
    // while the window is shown, and while an icon event is being handled.
    bool TrayBusy = false;

    // Whether the desktop has a notification area to go into right now.
    bool available() const;

    // Shows the icon (the window's icon, its title as tip), takes the window
    // out of the task list for good and hides it.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void Form_MouseMove(int button, int shift, double X, double Y);
    void mnuRestore1_Click();
    void mnuExit1_Click();
    // Shows the window whatever state it is in (in the tray, with the icon
    // removed; minimised; behind other windows), raised, with the keyboard.
    void bringBack();

Q_SIGNALS:
    // "&Exit" was chosen: the program is to end at once.
    void exitRequested();

protected:
    // Pointer moves over the window itself take the same decoding, which
    // ignores them while the window is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void iconMessage(int code, const QPoint& globalPos);
    double twipsPerPixelX() const;
    void showWindow();

    // The notification record: the picture and the tip of the last add, kept
    // unchanged until the next one.
    struct NotifyIconData {
        QIcon icon;
        QString tip;
    };

    QWidget* window_;
    QMenu* popupMenu_;
    NotifyArea& area_;
    NotifyIconData TrayIconData;
    // Where the pointer was at the last icon event: the menu opens there.
    QPoint pointer_;
    bool inTray_ = false; // from AddTrayIcon to RemoveTrayIcon
};

} // namespace orvantis
