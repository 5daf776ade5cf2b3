// The notification-area service off screen: the mapping of Qt's icon events
// to icon messages, the icon's life and its messages, and the task-list
// switch where no tray and no X11 exist. The real tray, the pop-up menu and
// the task list are exercised by tray_x11_test.sh.
#include "platform/qt_notify_area.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

using orvantis::QtNotifyArea;
using orvantis::TrayKind;
using Reason = QSystemTrayIcon::ActivationReason;

namespace {

QIcon redSquare()
{
    QPixmap square(16, 16);
    square.fill(Qt::red);
    return QIcon(square);
}

} // namespace

class NotifyAreaTest : public QObject {
    Q_OBJECT
private slots:
    void iconMessages_data()
    {
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<TrayKind>("kind");
        QTest::addColumn<int>("code");
        // The window acts on 515 (restore) and 517 (menu) only.
        const struct {
            const char* name;
            Reason reason;
            TrayKind kind;
            int code;
        } rows[] = {
            {"xembed single click", QSystemTrayIcon::Trigger, TrayKind::XEmbed, 514},
            {"xembed double click", QSystemTrayIcon::DoubleClick, TrayKind::XEmbed, 515},
            {"xembed right click", QSystemTrayIcon::Context, TrayKind::XEmbed, 517},
            {"xembed middle click", QSystemTrayIcon::MiddleClick, TrayKind::XEmbed, 520},
            {"xembed unknown", QSystemTrayIcon::Unknown, TrayKind::XEmbed, 512},
            {"sni activate", QSystemTrayIcon::Trigger, TrayKind::StatusNotifier, 515},
            {"sni double click", QSystemTrayIcon::DoubleClick, TrayKind::StatusNotifier, 515},
            {"sni context menu", QSystemTrayIcon::Context, TrayKind::StatusNotifier, 517},
            {"sni secondary activate", QSystemTrayIcon::MiddleClick, TrayKind::StatusNotifier, 520},
            {"sni unknown", QSystemTrayIcon::Unknown, TrayKind::StatusNotifier, 512},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.reason << row.kind << row.code;
    }
    void iconMessages()
    {
        QFETCH(Reason, reason);
        QFETCH(TrayKind, kind);
        QFETCH(int, code);
        QCOMPARE(orvantis::iconMessageFor(reason, kind), code);
    }

    void offscreenHasNoTrayAndNoTaskList()
    {
        QtNotifyArea tray;
        QWidget window;
        window.show();
        QVERIFY(!tray.IsAvailable());
        QVERIFY(!tray.SetSkipTaskbar(&window, true));
        QVERIFY(!tray.SetSkipTaskbar(nullptr, true));
        tray.SetForegroundWindow(nullptr);
        tray.PopupMenu(nullptr, QPoint(1, 1));
    }

    void addReplacesAndRemoveIsHarmlessTwice()
    {
        QtNotifyArea tray;
        tray.Remove();
        QVERIFY(!tray.IsPresent());
        tray.Add(redSquare(), QStringLiteral("Orvantis"));
        tray.Add(QIcon(), QStringLiteral("Orvantis - Lumevarre"));
        QVERIFY(tray.IsPresent());
        const auto icons = tray.findChildren<QSystemTrayIcon*>();
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first()->toolTip(), QStringLiteral("Orvantis - Lumevarre"));
        QVERIFY(!icons.first()->icon().isNull()); // a stand-in for a window without an icon
        tray.Remove();
        tray.Remove();
        QVERIFY(!tray.IsPresent());
        tray.Add(redSquare(), QStringLiteral("again"));
        QVERIFY(tray.IsPresent());
    }

    // Posted rather than sent from inside Qt's click handling, where the
    // window removing the icon would destroy the widget handling the click.
    void activationIsPostedWithThePointer_data()
    {
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<int>("code");
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 515;
        QTest::newRow("context") << QSystemTrayIcon::Context << 517;
    }
    void activationIsPostedWithThePointer()
    {
        QFETCH(Reason, reason);
        QFETCH(int, code);
        QtNotifyArea tray;
        tray.Add(redSquare(), QStringLiteral("Orvantis"));
        QSignalSpy spy(&tray, &QtNotifyArea::iconMessage);
        QCursor::setPos(40, 30);
        emit tray.findChild<QSystemTrayIcon*>()->activated(reason);
        QCOMPARE(spy.size(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.first().at(0).toInt(), code);
        QCOMPARE(spy.first().at(1).toPoint(), QCursor::pos());
    }
};

QTEST_MAIN(NotifyAreaTest)
#include "notify_area_test.moc"
