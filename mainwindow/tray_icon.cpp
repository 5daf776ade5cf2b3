#include "mainwindow/tray_icon.h"

#include "mainwindow/logging.h"
#include "platform/notify_area.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace orvantis {

TrayIcon::TrayIcon(QWidget* window, QMenu* popupMenu, NotifyArea& area)
    : QObject(window), window_(window), popupMenu_(popupMenu), area_(area)
{
    connect(&area_, &NotifyArea::iconMessage, this, &TrayIcon::iconMessage);
    connect(&area_, &NotifyArea::trayGone, this, [this] {
        if (inTray_)
            bringBack();
    });
    window_->installEventFilter(this);
}

bool TrayIcon::available() const { return area_.IsAvailable(); }

void TrayIcon::AddTrayIcon()
{
    TrayBusy = false;
    TrayIconData.icon = window_->windowIcon();
    TrayIconData.tip = window_->windowTitle();
    area_.Add(TrayIconData.icon, TrayIconData.tip, popupMenu_);
    inTray_ = true;
    // Out of the task list for good: a restore does not put it back. Where
    // the desktop has no such switch the window stays listed.
    area_.SetSkipTaskbar(window_, true);
    window_->hide();
}

void TrayIcon::RemoveTrayIcon()
{
    area_.Remove();
    inTray_ = false;
}

// Twips (1/1440 inch) per horizontal pixel of the screen the window is on,
// as the platform reports its logical resolution: 15 at 96 dpi, 12 at 120.
double TrayIcon::twipsPerPixelX() const
{
    const QScreen* screen = window_->screen();
    const qreal dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

void TrayIcon::iconMessage(int code, const QPoint& globalPos)
{
    // Delivered as the pointer move the window would see, so that it goes
    // through the same decoding (and the same TrayBusy guard) as one.
    pointer_ = globalPos;
    Form_MouseMove(0, 0, code * twipsPerPixelX(), 0);
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        const double twips = twipsPerPixelX();
        Form_MouseMove(move->buttons().toInt(), move->modifiers().toInt(), move->position().x() * twips,
                       move->position().y() * twips);
    }
    return false;
}

void TrayIcon::Form_MouseMove([[maybe_unused]] int button, [[maybe_unused]] int shift, double X,
                              [[maybe_unused]] double Y)
{
    // Round to nearest, halves to the even neighbour (the default rounding
    // mode). A position no icon event can have decodes as no code.
    const double pixels = std::nearbyint(X / twipsPerPixelX());
    const int code = std::abs(pixels) < 1e6 ? static_cast<int>(pixels) : 0;

    if (TrayBusy)
        return;
    TrayBusy = true;
    if (code == IconMessage::LeftButtonDoubleClick) {
        showWindow();
        RemoveTrayIcon();
    } else if (code == IconMessage::RightButtonUp) {
        area_.SetForegroundWindow(window_);
        // Returns once the chosen item's handler has run, or the menu was
        // dismissed; icon events meanwhile find TrayBusy set.
        area_.PopupMenu(popupMenu_, pointer_);
    }
    if (window_->isHidden())
        TrayBusy = false;
}

void TrayIcon::mnuRestore1_Click()
{
    RemoveTrayIcon();
    showWindow();
    // Shown again. Chosen from a menu the desktop's tray showed itself, no
    // icon event was being handled that would have set this.
    TrayBusy = true;
}

void TrayIcon::mnuExit1_Click()
{
    // The icon goes first: nothing else would take it out of the tray.
    RemoveTrayIcon();
    Q_EMIT exitRequested();
}

void TrayIcon::bringBack()
{
    if (inTray_)
        RemoveTrayIcon();
    // A minimised window comes back by being shown anew. On Wayland every
    // window does: a client is neither told that its window was minimised
    // nor allowed to raise it, while a window shown anew comes to the front.
    const bool anew =
        window_->isMinimized() || QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    qCInfo(lcWindow) << "the window brought back" << (anew ? "by showing it anew" : "");
    if (anew) {
        window_->hide();
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    }
    showWindow();
    window_->raise();
    TrayBusy = true;
}

void TrayIcon::showWindow()
{
    window_->show();
    // Back from the tray the window takes the keyboard; otherwise keys would
    // go nowhere until it is clicked.
    window_->activateWindow();
}

} // namespace orvantis
