// The main window in the notification area: icon messages decoded from
// pointer moves, the TrayBusy guard, the pop-up menu, the window coming back
// unchanged, and the real About and text-size dialogs behind their commands.
#include "fakes.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using namespace orvantis;
using test::Harness;
using test::Tray;

namespace {

void minimize(const Harness& h) { h.get<QAction>(QStringLiteral("mnuMinimize"))->trigger(); }
void message(Harness& h, int code) { emit h.tray.iconMessage(code, QPoint(700, 5)); }

// A pointer move over the window itself, `x` pixels from its left edge
// (with a button held: the window does not track bare moves).
void pointerAt(const Harness& h, double x)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 3), h.w->mapToGlobal(QPointF(x, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.w.get(), &move);
}

// While shown, nothing that looks like an icon message may act.
void expectInert(Harness& h)
{
    const QStringList before = h.log;
    for (int code = 512; code <= 517; ++code) {
        message(h, code);
        pointerAt(h, code);
    }
    QCOMPARE(h.log, before);
    QVERIFY(h.w->isVisible() && frmNumer::TrayBusy);
}

void choose(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action->trigger();
    QFAIL(qPrintable(QStringLiteral("no item ") + text));
}

// Answers the modal dialog that `open` brings up: returns its class and
// whether a calendar was open meanwhile, after `answer` has closed it.
QString runModal(Harness& h, const std::function<void()>& open, const std::function<void(QWidget*)>& answer)
{
    QString seen = QStringLiteral("none");
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            seen += h.calendarShown() ? QStringLiteral(" over a calendar") : QString();
            answer(modal);
        }
    });
    open();
    return seen;
}

} // namespace

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void iconMessages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("choice"); // in the pop-up menu; empty: dismissed
        QTest::addColumn<QStringList>("calls");
        const QStringList popup{"Foreground", "Popup"};
        for (int code : {512, 513, 514, 516, 520})
            QTest::addRow("%d", code) << code << QString() << QStringList();
        QTest::newRow("515 double click") << 515 << QString() << QStringList{"Remove shown"};
        QTest::newRow("517 dismissed") << 517 << QString() << popup;
        QTest::newRow("517 Restore") << 517 << "&Restore" << popup + QStringList{"Remove hidden"};
        QTest::newRow("517 Exit") << 517 << "&Exit" << popup + QStringList{"Remove hidden", "End"};
    }
    void iconMessages()
    {
        QFETCH(int, code);
        QFETCH(QString, choice);
        QFETCH(QStringList, calls);
        Harness h;
        minimize(h);
        QCOMPARE(h.log, (QStringList{"Add Orvantis - Lumevarre", "Skip on"}));
        QVERIFY(h.w->isHidden() && !frmNumer::TrayBusy);
        h.log.clear();
        h.tray.whilePopup = [&](QMenu* menu) {
            QCOMPARE(menu->objectName(), QStringLiteral("mnuRestore"));
            QCOMPARE(h.tray.popupAt, QPoint(700, 5));
            message(h, 515); // the menu's own event loop: ignored
            message(h, 517);
            if (!choice.isEmpty())
                choose(menu, choice);
        };
        message(h, code);
        QCOMPARE(h.log, calls);
        const bool restored = calls.contains("Remove shown") || choice == "&Restore";
        QCOMPARE(h.w->isVisible(), restored);
        QCOMPARE(frmNumer::TrayBusy, restored);
        if (restored) {
            expectInert(h);
        } else if (!calls.contains("End")) { // still in the tray: the next message works
            h.log.clear();
            message(h, 515);
            QCOMPARE(h.log, QStringList{"Remove shown"});
        }
        QVERIFY(!h.log.contains("Skip off"));
    }

    // Icon messages arrive as X positions in twips; codes are whole pixels,
    // rounded half to even.
    void decoding_data()
    {
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<bool>("viaPointer"); // else X in twips
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("restores");
        QTest::newRow("15, X") << 15.0 << false << 515 * 15.0 << true;
        QTest::newRow("12, X") << 12.0 << false << 515 * 12.0 << true;
        QTest::newRow("12, X as at 15") << 12.0 << false << 515 * 15.0 << false;
        QTest::newRow("515.5 to 516") << 12.0 << false << 515 * 12.0 + 6 << false;
        QTest::newRow("514.5 to 514") << 12.0 << false << 514 * 12.0 + 6 << false;
        QTest::newRow("514.51 to 515") << 12.0 << false << 514 * 12.0 + 6.1 << true;
        QTest::newRow("12, pointer 514.6 px") << 12.0 << true << 514.6 << true;
    }
    void decoding()
    {
        QFETCH(double, twipsPerPixel);
        QFETCH(bool, viaPointer);
        QFETCH(double, value);
        QFETCH(bool, restores);
        Harness h;
        h.w->twipsPerPixelX = [twipsPerPixel] { return twipsPerPixel; };
        minimize(h);
        if (viaPointer)
            pointerAt(h, value);
        else
            h.w->Form_MouseMove(0, 0, value, 0);
        QCOMPARE(h.w->isVisible(), restores);
    }

    // Runs with an offscreen screen of 120 dpi (see CMakeLists.txt).
    void twipsFromTheScreen()
    {
        Harness h;
        if (h.w->screen()->logicalDotsPerInchX() != 120)
            QSKIP("needs the 120 dpi offscreen screen");
        QCOMPARE(h.w->twipsPerPixelX(), 12.0);
        minimize(h);
        message(h, 515);
        QVERIFY(h.w->isVisible());
    }

    void restoreKeepsEverything_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("double click") << 515;
        QTest::newRow("Restore") << 517;
    }
    void restoreKeepsEverything()
    {
        QFETCH(int, code);
        Harness h;
        h.get<QLineEdit>(QStringLiteral("Text3"))->setText(QStringLiteral("July 04, 1976"));
        h.get<QRadioButton>(QStringLiteral("Option2"))->click();
        h.get<QComboBox>(QStringLiteral("Combo1"))->setCurrentIndex(2);
        h.w->Command1_Click();
        const std::string report = h.w->report().Text();
        const QString shown = h.w->reportArea()->toPlainText();
        QPixmap red(16, 16);
        red.fill(Qt::red);
        h.w->setWindowIcon(QIcon(red));
        h.w->setWindowTitle(QStringLiteral("Orvantis - later"));
        h.openCalendars();
        minimize(h);
        QVERIFY(!h.calendarShown());
        QCOMPARE(h.log.first(), QStringLiteral("Add Orvantis - later"));
        QCOMPARE(h.tray.icons.last().cacheKey(), h.w->windowIcon().cacheKey());
        h.tray.whilePopup = [](QMenu* menu) { choose(menu, QStringLiteral("&Restore")); };
        message(h, code);
        QVERIFY(h.w->isVisible());
        QVERIFY(report == h.w->report().Text());
        QCOMPARE(h.w->reportArea()->toPlainText(), shown);
        QCOMPARE(h.get<QLineEdit>(QStringLiteral("Text3"))->text(), QStringLiteral("July 04, 1976"));
        QVERIFY(h.get<QRadioButton>(QStringLiteral("Option2"))->isChecked());
        QCOMPARE(h.w->chosenMonth(), 3);
    }

    void withoutNotificationArea_data()
    {
        QTest::addColumn<Tray>("kind");
        QTest::newRow("unavailable") << Tray::Unavailable;
        QTest::newRow("no service") << Tray::NoService;
    }
    void withoutNotificationArea()
    {
        QFETCH(Tray, kind);
        Harness h(true, kind);
        h.openCalendars();
        minimize(h);
        QVERIFY(!h.calendarShown());
        QVERIFY(h.w->isMinimized() && !h.w->isHidden());
        QVERIFY(h.log.isEmpty()); // no icon, still in the task list
        QVERIFY(frmNumer::TrayBusy);
    }

    void realDialogs()
    {
        Harness h;
        h.realDialogs = true;
        h.openCalendars();
        QCOMPARE(runModal(h, [&] { h.get<QAction>(QStringLiteral("mnuAbout"))->trigger(); },
                          [](QWidget* modal) { modal->close(); }),
                 QStringLiteral("orvantis::frmAbout"));

        QPlainTextEdit* area = h.w->reportArea();
        QFont large = area->font();
        large.setPointSize(14);
        area->setFont(large);
        const auto apply = [](QWidget* modal) {
            for (auto* button : modal->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("..."))
                    button->click();
        };
        QCOMPARE(runModal(h, [&] { QTest::mouseDClick(area->viewport(), Qt::LeftButton); }, apply),
                 QStringLiteral("orvantis::frmFont"));
        QCOMPARE(area->font().pointSize(), 8);
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
