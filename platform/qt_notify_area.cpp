#include "platform/qt_notify_area.h"

#include "platform/x11_task_list.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QWidget>

#ifdef ORVANTIS_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#endif

namespace orvantis {

namespace {

// Button up of the middle button: a mouse message the window does not act on.
constexpr int kMiddleButtonUp = 520;

} // namespace

int iconMessageFor(QSystemTrayIcon::ActivationReason reason, TrayKind kind)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return IconMessage::LeftButtonDoubleClick;
    case QSystemTrayIcon::Trigger:
        return kind == TrayKind::StatusNotifier ? IconMessage::LeftButtonDoubleClick
                                                : IconMessage::LeftButtonUp;
    case QSystemTrayIcon::Context:
        return kind == TrayKind::StatusNotifier ? IconMessage::RightButtonUp
                                                : IconMessage::RightButtonDown;
    case QSystemTrayIcon::MiddleClick:
        return kMiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return IconMessage::MouseMove;
}

TrayKind currentTrayKind()
{
#ifdef ORVANTIS_HAVE_QTDBUS
    // The same test Qt makes before it chooses its D-Bus tray over XEmbed: a
    // watcher on the session bus that has a host (a panel showing the items)
    // registered. A watcher without a host leaves Qt on XEmbed.
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* busInterface = bus.isConnected() ? bus.interface() : nullptr;
    if (!busInterface || !busInterface->isServiceRegistered(watcher).value())
        return TrayKind::XEmbed;
    const QDBusInterface host(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    if (host.isValid() && host.property("IsStatusNotifierHostRegistered").toBool())
        return TrayKind::StatusNotifier;
#endif
    return TrayKind::XEmbed;
}

bool QtNotifyArea::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyArea::Add(const QIcon& icon, const QString& tip, QMenu* menu)
{
    if (!icon_) {
        // Qt picks the tray back-end when the first icon is made; look at
        // the session at the same moment.
        kind_ = currentTrayKind();
        icon_ = new QSystemTrayIcon(this);
        connect(icon_, &QSystemTrayIcon::activated, this, &QtNotifyArea::activated);
    }
    if (kind_ == TrayKind::StatusNotifier)
        icon_->setContextMenu(menu);
    // Qt shows no icon without a picture, and the window would then be gone
    // with nothing to bring it back: a window without an icon gets a stock one.
    icon_->setIcon(icon.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : icon);
    icon_->setToolTip(tip);
    icon_->show();
}

void QtNotifyArea::Remove()
{
    qApp->removeEventFilter(this);
    if (icon_)
        icon_->hide();
}

bool QtNotifyArea::IsPresent() const
{
    return icon_ && icon_->isVisible();
}

namespace {

class LeftButtonChooses final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton;
    }
};

} // namespace

void QtNotifyArea::PopupMenu(QMenu* menu, const QPoint& globalPos)
{
    if (!menu)
        return;
    LeftButtonChooses filter;
    menu->installEventFilter(&filter);
    menu->exec(globalPos);
    menu->removeEventFilter(&filter);
}

bool QtNotifyArea::SetSkipTaskbar(QWidget* window, bool skip)
{
    return window && x11::setSkipTaskbar(window->window(), skip);
}

void QtNotifyArea::SetForegroundWindow(QWidget* window)
{
    if (!window)
        return;
    QWidget* top = window->window();
    top->raise();
    top->activateWindow();
}

void QtNotifyArea::activated(QSystemTrayIcon::ActivationReason reason)
{
    const int code = iconMessageFor(reason, kind_);
    if (code == IconMessage::RightButtonDown)
        qApp->installEventFilter(this);
    post(code, QCursor::pos());
}

bool QtNotifyArea::eventFilter(QObject* watched, QEvent* event)
{
    // The button's press grabbed the pointer for the icon's widget, so the
    // release comes to that widget wherever the pointer is by then.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::MouseButtonRelease || !widget)
        return false;
    const auto* release = static_cast<QMouseEvent*>(event);
    if (release->button() != Qt::RightButton)
        return false;
    qApp->removeEventFilter(this);
    if (widget->rect().contains(release->position().toPoint()))
        post(IconMessage::RightButtonUp, release->globalPosition().toPoint());
    return false;
}

void QtNotifyArea::post(int code, const QPoint& where)
{
    // Posted, as the desktop posts such messages to a window, rather than
    // sent from inside Qt's handling of the click: the window may remove the
    // icon, which destroys the X11 icon widget that is handling the click,
    // or open a menu with an event loop of its own.
    QMetaObject::invokeMethod(
        this, [this, code, where] { Q_EMIT iconMessage(code, where); }, Qt::QueuedConnection);
}

} // namespace orvantis
