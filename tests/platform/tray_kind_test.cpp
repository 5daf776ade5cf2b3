// Which tray Qt will use, and so whether the icon's menu is handed to it,
// found on a private session bus (the test runs under dbus-run-session) where
// a stand-in StatusNotifierWatcher comes and goes as a panel's would.
#include "platform/qt_notify_area.h"

#include <QDBusConnection>
#include <QMenu>
#include <QTest>

using orvantis::TrayKind;

class StandInWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER hostRegistered)
public:
    bool hostRegistered = false;
};

class TrayKindTest : public QObject {
    Q_OBJECT
private slots:
    void kindFollowsTheWatcher()
    {
        // The kind of an icon added now. Only a D-Bus tray is handed the menu:
        // on XEmbed Qt would open it at the right button's press.
        const auto expectTray = [](TrayKind kind) {
            orvantis::QtNotifyArea tray;
            QMenu menu;
            tray.Add(QIcon(), "Orvantis", &menu);
            QCOMPARE(tray.trayKind(), kind);
            QCOMPARE(tray.findChild<QSystemTrayIcon*>()->contextMenu(),
                     kind == TrayKind::StatusNotifier ? &menu : nullptr);
        };
        expectTray(TrayKind::XEmbed);
        QDBusConnection bus = QDBusConnection::sessionBus();
        StandInWatcher standIn;
        QVERIFY2(bus.registerObject("/StatusNotifierWatcher", &standIn, QDBusConnection::ExportAllProperties)
                     && bus.registerService("org.kde.StatusNotifierWatcher"),
                 "no session bus: run under dbus-run-session");
        expectTray(TrayKind::XEmbed); // a watcher without a host
        standIn.hostRegistered = true;
        expectTray(TrayKind::StatusNotifier);
        QVERIFY(bus.unregisterService("org.kde.StatusNotifierWatcher"));
        expectTray(TrayKind::XEmbed); // the panel gone
    }
};

QTEST_MAIN(TrayKindTest)
#include "tray_kind_test.moc"
