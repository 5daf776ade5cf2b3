#include "platform/qt_notify_area.h"

#include "platform/logging.h"
#include "platform/x11_task_list.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleHints>
#include <QWidget>

#ifdef ORVANTIS_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#endif

namespace orvantis {

namespace {

// Button up of the middle button: a mouse message the window does not act on.
constexpr int kMiddleButtonUp = 520;
// How often the tray is looked for while the icon is shown.
constexpr int kTrayCheckMs = 1000;

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

TrayKind trayKindOf(const QSystemTrayIcon& icon)
{
    return icon.geometry().isEmpty() ? TrayKind::StatusNotifier : TrayKind::XEmbed;
}

QtNotifyArea::QtNotifyArea(QObject* parent) : NotifyArea(parent)
{
    trayCheck_.setInterval(kTrayCheckMs);
    connect(&trayCheck_, &QTimer::timeout, this, &QtNotifyArea::lookForTray);
    lingering_.setSingleShot(true);
    connect(&lingering_, &QTimer::timeout, this, [this] { icon_->hide(); });
}

bool QtNotifyArea::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyArea::Add(const QIcon& icon, const QString& tip, QMenu* menu)
{
    if (!icon_) {
        icon_ = new QSystemTrayIcon(this);
        connect(icon_, &QSystemTrayIcon::activated, this, &QtNotifyArea::activated);
    }
    lingering_.stop();
    // Qt shows no icon without a picture, and the window would then be gone
    // with nothing to bring it back: a window without an icon gets a stock one.
    icon_->setIcon(icon.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : icon);
    icon_->setToolTip(tip);
    icon_->show();
    // Before the event loop runs again, so before a D-Bus host can ask the
    // item for its menu.
    const TrayKind kind = trayKindOf(*icon_);
    icon_->setContextMenu(kind == TrayKind::StatusNotifier ? menu : nullptr);
    qCInfo(lcTray) << "icon shown in"
                   << (kind == TrayKind::XEmbed ? "an XEmbed tray" : "a D-Bus StatusNotifier host (or none)");
    trayCheck_.start();
}

void QtNotifyArea::Remove()
{
    qApp->removeEventFilter(this);
    trayCheck_.stop();
    if (!icon_ || !icon_->isVisible() || lingering_.isActive())
        return;
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (sinceActivation_.isValid() && !sinceActivation_.hasExpired(interval))
        lingering_.start(interval);
    else
        icon_->hide();
}

// The XEmbed tray is the owner of the X selection the system tray protocol
// names; a D-Bus one is a StatusNotifierWatcher that has a host registered.
// The bus is asked without waiting: a panel that hangs must not hang us.
void QtNotifyArea::lookForTray()
{
    if (checkPending_ || x11::systemTrayOwned())
        return;
#ifdef ORVANTIS_HAVE_QTDBUS
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage get = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        checkPending_ = true;
        auto* call = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
        connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
            answer->deleteLater();
            checkPending_ = false;
            const QDBusPendingReply<QDBusVariant> reply = *answer;
            trayLookedFor(reply.isValid() && reply.value().variant().toBool());
        });
        return;
    }
#endif
    trayLookedFor(false);
}

void QtNotifyArea::trayLookedFor(bool found)
{
    if (found || !trayCheck_.isActive()) // or the icon was removed meanwhile
        return;
    trayCheck_.stop();
    qCInfo(lcTray) << "the notification area went away with the icon in it";
    Q_EMIT trayGone();
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
    sinceActivation_.start();
    // An XEmbed icon is a window of ours: Qt reports a click on it while it
    // handles the button's press there, with the button down. A D-Bus host
    // asks by a call on the bus, with no button of ours down.
    const TrayKind kind =
        QGuiApplication::mouseButtons() == Qt::NoButton ? TrayKind::StatusNotifier : TrayKind::XEmbed;
    const int code = iconMessageFor(reason, kind);
    qCInfo(lcTray) << "activation" << reason << "from" << (kind == TrayKind::XEmbed ? "an XEmbed icon" : "a D-Bus host")
                   << "is icon message" << code;
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
