// The main window in the notification area: icon events decoded from pointer
// moves, the TrayBusy guard, the pop-up menu and the window coming back
// unchanged. Runs on an offscreen screen of 120 dpi (12 twips per pixel), so
// that a decoding with a fixed 15 would fail.
#include "harness.h"

#include "mainwindow/tray_icon.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QtTest>

using namespace orvantis;
using test::Harness;

namespace {

void minimize(const Harness& h) { h.get<QAction>("mnuMinimize")->trigger(); }
void iconEvent(Harness& h, int code) { Q_EMIT h.tray.iconMessage(code, QPoint(700, 5)); }
TrayIcon& icon(const Harness& h) { return *h.w->findChild<TrayIcon*>(); }
bool busy(const Harness& h) { return icon(h).TrayBusy; }

} // namespace

class TrayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 120.0); }

    void iconEvents_data()
    {
        QTest::addColumn<int>("code"); // 0: the item chosen in the exported menu; -1, -2: below
        QTest::addColumn<QString>("choice"); // in the pop-up menu; empty: dismissed
        QTest::addColumn<QStringList>("calls");
        const QStringList popup{"Foreground", "Popup"};
        for (int code : {512, 513, 514, 516, 520})
            QTest::addRow("%d", code) << code << QString() << QStringList();
        QTest::newRow("515 double click") << 515 << QString() << QStringList{"Remove shown"};
        QTest::newRow("517 dismissed") << 517 << QString() << popup;
        QTest::newRow("517 Restore") << 517 << "&Restore" << popup + QStringList{"Remove hidden"};
        QTest::newRow("517 Exit") << 517 << "&Exit" << popup + QStringList{"Remove hidden"};
        // A D-Bus tray shows the exported menu itself: "&Restore" arrives with
        // no icon event around it, and the window is shown again all the same.
        QTest::newRow("exported Restore") << 0 << "&Restore" << QStringList{"Remove hidden"};
        // Nothing is left to click, or a refused start asks for the window.
        QTest::newRow("the tray gone") << -1 << QString() << QStringList{"Remove hidden"};
        QTest::newRow("asked for") << -2 << QString() << QStringList{"Remove hidden"};
    }
    void iconEvents()
    {
        QFETCH(int, code);
        QFETCH(QString, choice);
        QFETCH(QStringList, calls);
        Harness h;
        h.w->setWindowTitle(QStringLiteral("Orvantis - later")); // the tip is the title of the moment
        minimize(h);
        QCOMPARE(h.tray.log, (QStringList{"Add Orvantis - later", "Skip on"}));
        QCOMPARE(h.tray.lastIcon.cacheKey(), h.w->windowIcon().cacheKey());
        QVERIFY(h.w->isHidden() && !busy(h));
        h.tray.log.clear();
        h.tray.whilePopup = [&](QMenu* menu) {
            QCOMPARE(menu->objectName(), QStringLiteral("mnuRestore"));
            QCOMPARE(h.tray.popupAt, QPoint(700, 5));
            iconEvent(h, 515); // while the menu is open: ignored
            iconEvent(h, 517);
            for (QAction* action : menu->actions())
                if (!choice.isEmpty() && action->text() == choice)
                    action->trigger();
        };
        if (code == 0)
            h.get<QAction>("mnuRestore1")->trigger();
        else if (code == -1)
            Q_EMIT h.tray.trayGone();
        else if (code == -2)
            Q_EMIT h.instance.showRequested();
        else
            iconEvent(h, code);
        QCOMPARE(h.tray.log, calls);
        QCOMPARE(h.ends.size(), choice == QLatin1String("&Exit") ? 1 : 0);
        const bool restored = calls.value(calls.size() - 1).startsWith("Remove") && choice != "&Exit";
        QCOMPARE(h.w->isVisible(), restored);
        // Shown again, nothing that looks like an icon event acts; still in
        // the tray, the next one does.
        QCOMPARE(busy(h), restored);
    }

    // Codes are whole pixels of X in twips (12 a pixel here), rounded half to even.
    void decoding_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<bool>("restores");
        QTest::newRow("515.5 to 516") << 515 * 12.0 + 6 << false;
        QTest::newRow("514.5 to 514") << 514 * 12.0 + 6 << false;
        QTest::newRow("514.51 to 515") << 514 * 12.0 + 6.1 << true;
    }
    void decoding()
    {
        QFETCH(double, twips);
        QFETCH(bool, restores);
        Harness h;
        minimize(h);
        icon(h).Form_MouseMove(0, 0, twips, 0);
        QCOMPARE(h.w->isVisible(), restores);
    }

    // No notification area: minimised to the task list instead of hidden,
    // where nothing could bring the window back; a refused start brings it
    // back from there.
    void withoutNotificationArea()
    {
        Harness h;
        h.tray.available = false;
        minimize(h);
        QVERIFY(h.w->isMinimized() && !h.w->isHidden() && busy(h));
        Q_EMIT h.instance.showRequested();
        QVERIFY(h.w->isVisible() && !h.w->isMinimized() && h.tray.log.isEmpty());
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
