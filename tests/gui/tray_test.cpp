// The main window in the notification area: icon messages decoded from
// pointer moves, the TrayBusy guard, the pop-up menu, the window coming back
// unchanged, and the real About and text-size dialogs behind their commands.
// The tray is a recording double sharing one log with the end hook.
#include "fakes.h"
#include "mainwindow/frmNumer.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace orvantis;

namespace {

enum class Tray { Present, Unavailable, NoService };

struct Harness {
    QStringList log;
    test::FakeNotifyArea tray{log};
    test::RecordingSettingsStore store;
    std::unique_ptr<frmNumer> w;

    explicit Harness(Tray kind = Tray::Present)
    {
        tray.available = kind == Tray::Present;
        Services s;
        s.settings = &store;
        s.tray = kind == Tray::NoService ? nullptr : &tray;
        w = std::make_unique<frmNumer>(s);
        tray.window = w.get();
        w->today = [] { return QDate(2024, 5, 17); };
        w->endApplication = [this] { log << QStringLiteral("End"); };
        if (!w->Form_Load())
            qFatal("load refused");
        w->show();
    }
    template <class T = QWidget> T* get(const char* name) const
    {
        T* child = w->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    void minimize() const { get<QAction>("mnuMinimize")->trigger(); }
    void message(int code) { emit tray.iconMessage(code, QPoint(700, 5)); }
    // A pointer move over the window itself, `x` pixels from its left edge
    // (with a button held: the window does not track bare moves).
    void pointerAt(double x) const
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 3), w->mapToGlobal(QPointF(x, 3)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.get(), &move);
    }
    void openCalendars() const
    {
        get<QCalendarWidget>("MonthView1")->show();
        get<QCalendarWidget>("MonthView2")->show();
    }
    bool calendarShown() const
    {
        return get("MonthView1")->isVisibleTo(w.get()) || get("MonthView2")->isVisibleTo(w.get());
    }
    // While shown, nothing that looks like an icon message may act.
    void expectInert()
    {
        const QStringList before = log;
        for (int code = 512; code <= 517; ++code) {
            message(code);
            pointerAt(code);
        }
        QCOMPARE(log, before);
        QVERIFY(w->isVisible() && frmNumer::TrayBusy);
    }
};

void choose(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action->trigger();
    QFAIL(qPrintable(QStringLiteral("no item ") + text));
}

// Answers the modal dialog that `open` brings up: records its class and
// whether a calendar was open meanwhile, then lets `answer` close it.
QString runModal(Harness& h, const std::function<void()>& open,
                 const std::function<void(QWidget*)>& answer, bool* calendarDuring)
{
    QString seen = QStringLiteral("none");
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            *calendarDuring = h.calendarShown();
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
        h.minimize();
        QCOMPARE(h.log, (QStringList{"Add Orvantis - Lumevarre", "Skip on"}));
        QVERIFY(h.w->isHidden() && !frmNumer::TrayBusy);
        h.log.clear();
        h.tray.whilePopup = [&](QMenu* menu) {
            QCOMPARE(menu->objectName(), QStringLiteral("mnuRestore"));
            QCOMPARE(h.tray.popupAt, QPoint(700, 5));
            h.message(515); // the menu's own event loop: ignored
            h.message(517);
            if (!choice.isEmpty())
                choose(menu, choice);
        };
        h.message(code);
        QCOMPARE(h.log, calls);
        const bool restored = calls.contains("Remove shown") || choice == "&Restore";
        QCOMPARE(h.w->isVisible(), restored);
        QCOMPARE(frmNumer::TrayBusy, restored);
        if (restored) {
            h.expectInert();
        } else if (!calls.contains("End")) { // still in the tray: the next message works
            h.log.clear();
            h.message(515);
            QCOMPARE(h.log, QStringList{"Remove shown"});
        }
        QVERIFY(!h.log.contains("Skip off"));
    }

    void shownWindowIgnoresMessages()
    {
        Harness h;
        h.expectInert();
    }

    void decoding_data()
    {
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<QString>("via");
        QTest::addColumn<double>("value"); // X in twips, or the code, or pixels
        QTest::addColumn<bool>("restores");
        QTest::newRow("15, X") << 15.0 << "X" << 515 * 15.0 << true;
        QTest::newRow("12, X") << 12.0 << "X" << 515 * 12.0 << true;
        QTest::newRow("10, X") << 10.0 << "X" << 5150.0 << true;
        QTest::newRow("12, X as at 15") << 12.0 << "X" << 515 * 15.0 << false;
        QTest::newRow("515.5 to 516") << 12.0 << "X" << 515 * 12.0 + 6 << false;
        QTest::newRow("514.5 to 514") << 12.0 << "X" << 514 * 12.0 + 6 << false;
        QTest::newRow("515.49 to 515") << 12.0 << "X" << 515 * 12.0 + 5.9 << true;
        QTest::newRow("514.51 to 515") << 12.0 << "X" << 514 * 12.0 + 6.1 << true;
        QTest::newRow("12, message 515") << 12.0 << "message" << 515.0 << true;
        QTest::newRow("12, message 516") << 12.0 << "message" << 516.0 << false;
        QTest::newRow("12, pointer 515 px") << 12.0 << "pointer" << 515.0 << true;
        QTest::newRow("12, pointer 514.6 px") << 12.0 << "pointer" << 514.6 << true;
    }
    void decoding()
    {
        QFETCH(double, twipsPerPixel);
        QFETCH(QString, via);
        QFETCH(double, value);
        QFETCH(bool, restores);
        Harness h;
        h.w->twipsPerPixelX = [twipsPerPixel] { return twipsPerPixel; };
        h.minimize();
        if (via == "X")
            h.w->Form_MouseMove(0, 0, value, 0);
        else if (via == "message")
            h.message(static_cast<int>(value));
        else
            h.pointerAt(value);
        QCOMPARE(h.w->isVisible(), restores);
    }

    // Runs with an offscreen screen of 120 dpi (see CMakeLists.txt).
    void twipsFromTheScreen()
    {
        Harness h;
        if (h.w->screen()->logicalDotsPerInchX() != 120)
            QSKIP("needs the 120 dpi offscreen screen");
        QCOMPARE(h.w->twipsPerPixelX(), 12.0);
        h.minimize();
        h.message(515);
        QVERIFY(h.w->isVisible());
    }

    void restoreKeepsEverything_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("double click") << false;
        QTest::newRow("Restore") << true;
    }
    void restoreKeepsEverything()
    {
        QFETCH(bool, byMenu);
        Harness h;
        h.get<QLineEdit>("Text3")->setText(QStringLiteral("July 04, 1976"));
        h.get<QRadioButton>("Option2")->click();
        h.get<QComboBox>("Combo1")->setCurrentIndex(2);
        h.w->Command1_Click();
        const std::string report = h.w->report().Text();
        const QString shown = h.w->reportArea()->toPlainText();
        QPixmap red(16, 16);
        red.fill(Qt::red);
        h.w->setWindowIcon(QIcon(red));
        h.w->setWindowTitle(QStringLiteral("Orvantis - later"));
        h.openCalendars();
        h.minimize();
        QVERIFY(!h.calendarShown());
        QCOMPARE(h.log.first(), QStringLiteral("Add Orvantis - later"));
        QCOMPARE(h.tray.icons.last().cacheKey(), h.w->windowIcon().cacheKey());
        h.tray.whilePopup = [](QMenu* menu) { choose(menu, QStringLiteral("&Restore")); };
        h.message(byMenu ? 517 : 515);
        QVERIFY(h.w->isVisible());
        QVERIFY(report == h.w->report().Text());
        QCOMPARE(h.w->reportArea()->toPlainText(), shown);
        QCOMPARE(h.get<QLineEdit>("Text3")->text(), QStringLiteral("July 04, 1976"));
        QVERIFY(h.get<QRadioButton>("Option2")->isChecked());
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
        Harness h(kind);
        h.openCalendars();
        h.minimize();
        QVERIFY(!h.calendarShown());
        QVERIFY(h.w->isMinimized() && !h.w->isHidden());
        QVERIFY(h.log.isEmpty()); // no icon, still in the task list
        QVERIFY(frmNumer::TrayBusy);
    }

    void realDialogs()
    {
        Harness h;
        bool calendarDuring = true;
        h.openCalendars();
        const QString about = runModal(
            h, [&] { h.get<QAction>("mnuAbout")->trigger(); },
            [](QWidget* modal) { modal->close(); }, &calendarDuring);
        QCOMPARE(about, QStringLiteral("orvantis::frmAbout"));
        QVERIFY(!calendarDuring);

        QPlainTextEdit* area = h.w->reportArea();
        QFont large = area->font();
        large.setPointSize(14);
        area->setFont(large);
        const QString font = runModal(
            h, [&] { QTest::mouseDClick(area->viewport(), Qt::LeftButton); },
            [](QWidget* modal) {
                for (auto* button : modal->findChildren<QPushButton*>())
                    if (button->text() == QStringLiteral("..."))
                        button->click();
            },
            &calendarDuring);
        QCOMPARE(font, QStringLiteral("orvantis::frmFont"));
        QCOMPARE(area->font().pointSize(), 8);
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
