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
    void kindFollowsTheWatcher_data()
    {
        QTest::addColumn<bool>("watcher");
        QTest::addColumn<bool>("host");
        QTest::addColumn<TrayKind>("kind");
        QTest::newRow("no watcher") << false << false << TrayKind::XEmbed;
        QTest::newRow("watcher without a host") << true << false << TrayKind::XEmbed;
        QTest::newRow("watcher with a host") << true << true << TrayKind::StatusNotifier;
        QTest::newRow("watcher with a host gone") << false << true << TrayKind::XEmbed;
    }
    void kindFollowsTheWatcher()
    {
        QFETCH(bool, watcher);
        QFETCH(bool, host);
        QFETCH(TrayKind, kind);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "no session bus: run under dbus-run-session");
        StandInWatcher standIn;
        standIn.hostRegistered = host;
        const QString service = "org.kde.StatusNotifierWatcher", object = "/StatusNotifierWatcher";
        if (watcher)
            QVERIFY(bus.registerObject(object, &standIn, QDBusConnection::ExportAllProperties)
                    && bus.registerService(service));
        QCOMPARE(orvantis::currentTrayKind(), kind);
        // Only a D-Bus tray gets the menu: on XEmbed Qt would open it at the
        // right button's press.
        orvantis::QtNotifyArea tray;
        QMenu menu;
        tray.Add(QIcon(), "Orvantis", &menu);
        QCOMPARE(tray.findChild<QSystemTrayIcon*>()->contextMenu(),
                 kind == TrayKind::StatusNotifier ? &menu : nullptr);
        bus.unregisterService(service);
        bus.unregisterObject(object);
    }
};

QTEST_MAIN(TrayKindTest)
#include "tray_kind_test.moc"
