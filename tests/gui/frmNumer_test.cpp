// The main window driven through its handlers, menus and widgets, with the
// platform services replaced by recording doubles and the clock fixed.
#include "fakes.h"
#include "mainwindow/frmNumer.h"
#include "platform/system_colours.h"
#include "reports/reports.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include <functional>
#include <memory>

using namespace orvantis;
using namespace modDestiny;

namespace {

const QDate kToday(2024, 5, 17);
const QString kMissing = QStringLiteral("<missing>");

struct Harness {
    test::RecordingSettingsStore store;
    test::FakeInstance instance;
    test::FakeHelp help;
    test::FakeMessages messages;
    std::unique_ptr<frmNumer> w;
    int ended = 0, abouts = 0, textSizes = 0;

    Harness()
    {
        Services s;
        s.settings = &store;
        s.instance = &instance;
        s.help = &help;
        s.messages = &messages;
        w = std::make_unique<frmNumer>(s);
        w->today = [] { return kToday; };
        w->endApplication = [this] { ++ended; };
        w->showAbout = [this] { ++abouts; };
        w->showTextSize = [this] { ++textSizes; };
    }
    bool load() { return w->Form_Load(); }
    template <class T = QWidget> T* get(const QString& name) const
    {
        T* child = w->findChild<T*>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }
    QLineEdit* box(const char* name) const { return get<QLineEdit>(QString::fromLatin1(name)); }
    QComboBox* combo() const { return get<QComboBox>(QStringLiteral("Combo1")); }
    QPushButton* command() const { return get<QPushButton>(QStringLiteral("Command1")); }
    QAction* item(const char* name) const { return get<QAction>(QString::fromLatin1(name)); }
    QCalendarWidget* calendar(int n) const { return get<QCalendarWidget>(QStringLiteral("MonthView%1").arg(n)); }
    void mode(int n) const { get<QRadioButton>(QStringLiteral("Option%1").arg(n))->click(); }
    void openCalendars() const { calendar(1)->show(); calendar(2)->show(); }
    bool calendarShown() const { return calendar(1)->isVisibleTo(w.get()) || calendar(2)->isVisibleTo(w.get()); }
    void pick(int n, QDate date) const
    {
        calendar(n)->setSelectedDate(date);
        emit calendar(n)->clicked(date);
    }
    QString report() const { return QString::fromStdString(w->report().Text()); }
    QStringList writes() const { return store.log.filter(QRegularExpression(QStringLiteral("^W "))); }
};

int firstNumberAfter(const QString& text, const QString& pattern)
{
    return QRegularExpression(pattern + QStringLiteral("(\\d+)")).match(text).captured(1).toInt();
}

} // namespace

class FrmNumerTest : public QObject {
    Q_OBJECT

private slots:
    void modeStates_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("months");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("tip");
        const QString t1 = QStringLiteral("Click to Calculate Destiny and Birthdate numbers!");
        const QString t2 = QStringLiteral("Click to Calculate Personal Year and Month numbers!");
        const QString t3 = QStringLiteral("Click to Calculate Personal Day number!");
        QTest::newRow("1 after 2") << QList<int>{2, 1} << 0 << QString() << t1;
        QTest::newRow("2") << QList<int>{2} << 12 << QString() << t2;
        QTest::newRow("2 entered again") << QList<int>{2, 3, 2, 2} << 12 << QString() << t2;
        QTest::newRow("3") << QList<int>{3} << 0 << QStringLiteral("May 17") << t3;
        QTest::newRow("3 after 2") << QList<int>{2, 3} << 0 << QStringLiteral("May 17") << t3;
    }
    void modeStates()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, months);
        QFETCH(QString, day);
        QFETCH(QString, tip);
        Harness h;
        QVERIFY(h.load());
        QCOMPARE(h.command()->toolTip(),
                 QStringLiteral("Click to calculate Destiny and Birthdate numbers!"));
        for (int n : clicks) {
            h.openCalendars();
            h.mode(n);
            QVERIFY(!h.calendarShown());
        }
        const auto* combo = h.combo();
        const auto* text2 = h.box("Text2");
        const int mode = clicks.last();
        QCOMPARE(combo->isEnabled(), mode == 2);
        QCOMPARE(combo->count(), months);
        QCOMPARE(combo->palette().color(QPalette::Button),
                 mode == 2 ? colours::highlight() : colours::buttonFace());
        QCOMPARE(text2->isEnabled(), mode == 3);
        QCOMPARE(text2->text(), day);
        QCOMPARE(text2->palette().color(QPalette::Base),
                 mode == 3 ? colours::highlight() : colours::buttonFace());
        QCOMPARE(h.command()->toolTip(), tip);
        QCOMPARE(h.command()->accessibleDescription(), tip);
    }

    void monthList()
    {
        Harness h;
        QVERIFY(h.load());
        QCOMPARE(h.w->chosenMonth(), 0);
        QComboBox* combo = h.combo();
        h.mode(2);
        QCOMPARE(combo->currentText(), QStringLiteral("May"));
        QCOMPARE(h.w->chosenMonth(), 5);
        QCOMPARE(combo->itemText(0) + combo->itemText(11), QStringLiteral("JanuaryDecember"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("March")));
        QCOMPARE(h.w->chosenMonth(), 3);
        h.mode(1);
        h.mode(2);
        QCOMPARE(h.w->chosenMonth(), 5);
    }

    // Every report must be exactly what the builders write for the engine's
    // numbers of the texts the window hands over.
    void calculation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("birthBox");
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("pickedDay");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("monthDay");
        const QString july4 = QStringLiteral("July 04, 1976");
        const QString full = QStringLiteral("07/04/1976");
        QTest::newRow("1") << 1 << july4 << 0 << QDate() << full << "04" << "";
        QTest::newRow("1 master") << 1 << QStringLiteral("January 02, 1963") << 0 << QDate()
                                  << "01/02/1963" << "02" << "";
        QTest::newRow("1 empty box") << 1 << QString() << 0 << QDate() << "" << "" << "";
        QTest::newRow("1 damaged box") << 1 << QStringLiteral("garbage") << 0 << QDate() << "" << "" << "";
        QTest::newRow("2 March") << 2 << july4 << 3 << QDate() << full << "" << "";
        QTest::newRow("2 empty box") << 2 << QString() << 5 << QDate() << "" << "" << "";
        QTest::newRow("3 today") << 3 << july4 << 0 << QDate() << full << "" << "05/17";
        QTest::newRow("3 picked") << 3 << july4 << 0 << QDate(2024, 12, 25) << full << "" << "12/25";
        QTest::newRow("3 damaged") << 3 << QStringLiteral("garbage") << 0 << QDate() << "" << "" << "05/17";
    }
    void calculation()
    {
        QFETCH(int, mode);
        QFETCH(QString, birthBox);
        QFETCH(int, month);
        QFETCH(QDate, pickedDay);
        QFETCH(QString, date);
        QFETCH(QString, day);
        QFETCH(QString, monthDay);
        Harness h;
        QVERIFY(h.load());
        h.box("Text3")->setText(birthBox);
        h.mode(mode);
        if (month > 0)
            h.combo()->setCurrentIndex(month - 1);
        if (pickedDay.isValid())
            h.pick(2, pickedDay);
        h.command()->click();
        h.command()->click(); // replaces, never appends

        StringReportArea expected;
        const PersonalNumber year = CalcDateNumber(date.toStdString());
        if (mode == 1)
            ShowDestinyAndBirth(expected, year, CalcBirthNumber(day.toStdString()));
        else if (mode == 2)
            ShowPersonalYearMonth(expected, year, CalcPersonalMonth(year, static_cast<PersonalNumber>(month)));
        else
            ShowPersonalDay(expected, CalcPersonalDay(year, monthDay.toStdString()));
        QCOMPARE(h.report(), QString::fromStdString(expected.Text()));
        QCOMPARE(h.w->reportArea()->toPlainText(), ReportModel::ForDisplay(expected.Text()));
        QVERIFY(h.w->birthDateText().isEmpty());
        QVERIFY(h.messages.shown.isEmpty());
    }

    void personalYearIsDestiny()
    {
        for (const char* date : {"July 04, 1976", "January 01, 2007", "January 02, 1963", "November 29, 1980"}) {
            Harness h;
            QVERIFY(h.load());
            h.box("Text3")->setText(QString::fromLatin1(date));
            h.w->Command1_Click();
            const int destiny = firstNumberAfter(h.report(), QStringLiteral("Destiny Number:"));
            h.mode(2);
            h.w->Command1_Click();
            QCOMPARE(firstNumberAfter(h.report(), QStringLiteral("Personal Year(?: and Month number)?: ")), destiny);
        }
    }

    void emptyDayBox()
    {
        Harness h;
        QVERIFY(h.load());
        h.mode(3);
        h.w->Command1_Click();
        QVERIFY(!h.report().isEmpty());
        h.box("Text2")->clear();
        h.openCalendars();
        h.w->Command1_Click();
        QCOMPARE(h.report(), QString());
        QCOMPARE(h.w->reportArea()->toPlainText(), QString());
        QVERIFY(!h.calendarShown());
        QCOMPARE(h.messages.shown, QStringList{QStringLiteral("Orvantis: No date was chosen yet!")});
        QCOMPARE(h.messages.parents.value(0), h.w.get());
    }

    void savedSettingsAtLoad_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("birthBox");
        const QString newYear = QStringLiteral("January 01, 2024");
        QTest::newRow("first run") << kMissing << kMissing << newYear;
        for (const char* other : {"0", "2", "true", " 1", "1 "})
            QTest::newRow(other) << QString::fromLatin1(other) << "07/04/76" << newYear;
        QTest::newRow("1, 07/04/76") << "1" << "07/04/76" << "July 04, 1976";
        QTest::newRow("1, 7/4/1976") << "1" << "7/4/1976" << "July 04, 1976";
        QTest::newRow("1, empty") << "1" << "" << "";
        QTest::newRow("1, missing") << "1" << kMissing << "";
        QTest::newRow("1, full 1925") << "1" << "03/15/1925" << "March 15, 1925";
        QTest::newRow("1, old 25") << "1" << "03/15/25" << "March 15, 2025";
        QTest::newRow("1, old 30") << "1" << "03/15/30" << "March 15, 1930";
        QTest::newRow("1, damaged") << "1" << "garbage" << "garbage";
    }
    void savedSettingsAtLoad()
    {
        QFETCH(QString, option);
        QFETCH(QString, stored);
        QFETCH(QString, birthBox);
        Harness h;
        if (option != kMissing)
            h.store.put("StartUpOption", option);
        if (stored != kMissing)
            h.store.put("StartUpDate", stored);
        frmNumer::TrayBusy = false;
        QVERIFY(h.load());
        const bool on = option == QLatin1String("1");
        QCOMPARE(h.box("Text3")->text(), birthBox);
        QCOMPARE(h.item("mnuBirth")->isChecked(), on);
        QStringList reads{QStringLiteral("R Startup/StartUpOption")};
        if (on)
            reads << QStringLiteral("R StartUp/StartUpdate");
        QCOMPARE(h.store.log, reads);
        // The rest of the initial state does not depend on the store.
        QCOMPARE(h.w->windowTitle(), QStringLiteral("Orvantis - Lumevarre"));
        QVERIFY(frmNumer::TrayBusy);
        QVERIFY(!h.combo()->isEnabled() && !h.box("Text2")->isEnabled());
        QCOMPARE(h.calendar(1)->selectedDate(), QDate(2024, 1, 1));
        QCOMPARE(h.calendar(2)->selectedDate(), kToday);
        QVERIFY(!h.calendarShown());
    }

    void savingBirthDate()
    {
        Harness h;
        QVERIFY(h.load());
        QAction* saving = h.item("mnuBirth");
        h.pick(1, QDate(1925, 3, 15)); // saving off: nothing written
        h.calendar(1)->show();
        saving->trigger();
        QVERIFY(saving->isChecked());
        QVERIFY(h.calendar(1)->isVisibleTo(h.w.get())); // the toggle leaves calendars alone
        h.pick(1, QDate(1976, 7, 4));
        saving->trigger();
        QVERIFY(!saving->isChecked());
        QCOMPARE(h.writes(), (QStringList{"W StartUp/StartUpOption=1", "W StartUp/StartUpDate=03/15/1925",
                                          "W Startup/StartUpDate=07/04/1976", "W StartUp/StartUpOption=0",
                                          "W StartUp/StartUpDate="}));

        Harness next; // the next start: a 1925 date comes back as 1925
        h.pick(1, QDate(1925, 3, 15));
        saving->trigger();
        next.store.values = h.store.values;
        QVERIFY(next.load());
        QCOMPARE(next.box("Text3")->text(), QStringLiteral("March 15, 1925"));
        next.box("Text3")->setText(QStringLiteral("garbage"));
        next.item("mnuBirth")->trigger();
        next.item("mnuBirth")->trigger(); // a damaged box is stored as it is, not lost
        QCOMPARE(next.writes().last(), QStringLiteral("W StartUp/StartUpDate=garbage"));
    }

    void birthCalendarOpensOnBox_data()
    {
        QTest::addColumn<QString>("birthBox");
        QTest::addColumn<QDate>("opensOn");
        QTest::newRow("date") << "July 04, 1976" << QDate(1976, 7, 4);
        QTest::newRow("damaged") << "garbage" << QDate(2024, 1, 1);
        QTest::newRow("empty") << "" << QDate(2024, 1, 1);
    }
    void birthCalendarOpensOnBox()
    {
        QFETCH(QString, birthBox);
        QFETCH(QDate, opensOn);
        Harness h;
        QVERIFY(h.load());
        h.calendar(1)->setSelectedDate(QDate(2000, 2, 2));
        h.box("Text3")->setText(birthBox);
        QTest::mouseClick(h.box("Text3"), Qt::LeftButton);
        QVERIFY(h.calendar(1)->isVisibleTo(h.w.get()));
        QCOMPARE(h.calendar(1)->selectedDate(), opensOn);
        QCOMPARE(h.calendar(1)->monthShown(), opensOn.month());
    }

    void dayCalendar()
    {
        Harness h;
        QVERIFY(h.load());
        h.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        QTest::mouseClick(h.box("Text2"), Qt::LeftButton); // disabled in mode 1
        QVERIFY(!h.calendarShown());
        h.mode(3);
        QTest::mouseClick(h.box("Text2"), Qt::LeftButton);
        QVERIFY(h.calendar(2)->isVisible());
        h.pick(2, QDate(2024, 12, 25));
        QCOMPARE(h.box("Text2")->text(), QStringLiteral("December 25"));
        QVERIFY(h.box("Text2")->isEnabled() && !h.calendarShown());
        h.mode(1);
        h.mode(3); // back on today, in the box and in the calendar alike
        QCOMPARE(h.box("Text2")->text(), QStringLiteral("May 17"));
        QCOMPARE(h.calendar(2)->selectedDate(), kToday);

        // Keyboard only: open, move a day on, pick with Enter; Escape closes.
        h.box("Text2")->setFocus();
        QTest::keyClick(h.box("Text2"), Qt::Key_Space);
        QVERIFY(h.calendar(2)->isVisible());
        QTest::keyClick(h.calendar(2)->focusProxy(), Qt::Key_Right);
        QTest::keyClick(h.calendar(2)->focusProxy(), Qt::Key_Return);
        QCOMPARE(h.box("Text2")->text(), QStringLiteral("May 18"));
        QVERIFY(!h.calendarShown());
        QTest::keyClick(h.box("Text3"), Qt::Key_F4);
        QVERIFY(h.calendar(1)->isVisible());
        QTest::keyClick(h.calendar(1)->focusProxy(), Qt::Key_Escape);
        QVERIFY(!h.calendarShown());
    }

    void whatHidesTheCalendars()
    {
        struct Case {
            const char* name;
            std::function<void(Harness&)> act;
            bool hides;
        };
        const Case cases[] = {
            {"Option1", [](Harness& h) { h.mode(1); }, true},
            {"MonthView1 date", [](Harness& h) { h.pick(1, QDate(1990, 1, 1)); }, true},
            {"MonthView2 date", [](Harness& h) { h.pick(2, QDate(2024, 6, 1)); }, true},
            {"Command1", [](Harness& h) { h.w->Command1_Click(); }, true},
            {"Text1 click", [](Harness& h) { QTest::mouseClick(h.w->reportArea()->viewport(), Qt::LeftButton); }, true},
            {"Help", [](Harness& h) { h.item("mnuHelpOption")->trigger(); }, true},
            {"Minimize", [](Harness& h) { h.item("mnuMinimize")->trigger(); }, true},
            {"About", [](Harness& h) { h.item("mnuAbout")->trigger(); }, true},
            {"Save Birthdate", [](Harness& h) { h.item("mnuBirth")->trigger(); }, false},
            {"Exit", [](Harness& h) { h.item("mnuExit")->trigger(); }, false},
        };
        for (const Case& c : cases) {
            Harness h;
            QVERIFY(h.load());
            h.openCalendars();
            c.act(h);
            QVERIFY2(h.calendarShown() != c.hides, c.name);
        }
    }

    void commandsAndHooks()
    {
        Harness h;
        QVERIFY(h.load());
        h.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        h.item("mnuHelpOption")->trigger();
        QCOMPARE(h.help.paths, QStringList{QCoreApplication::applicationDirPath() + "/Orvantis.hlp"});
        h.item("mnuAbout")->trigger();
        QCOMPARE(h.abouts, 1);
        QWidget* report = h.w->reportArea()->viewport();
        h.calendar(1)->show();
        h.pick(1, QDate(1990, 1, 1)); // the day's double click ends on the report under it
        QTest::mouseDClick(report, Qt::LeftButton, {}, QPoint(40, 20));
        QCOMPARE(h.textSizes, 0);
        QTest::mouseDClick(report, Qt::LeftButton);
        QCOMPARE(h.textSizes, 1);
        h.item("mnuExit")->trigger();
        QCOMPARE(h.ended, 1);
        h.w->close(); // the close box ends the program too
        QCOMPARE(h.ended, 2);
    }

    void refusedSecondInstance()
    {
        Harness h;
        h.instance.grant = false;
        QVERIFY(!h.load());
        QCOMPARE(h.messages.shown,
                 QStringList{QStringLiteral("Orvantis: Can't allow to run another instance of Orvantis!")});
        QCOMPARE(h.messages.parents.value(0), nullptr);
        QVERIFY(h.store.log.isEmpty());
        QCOMPARE(h.w->windowTitle(), QStringLiteral("Orvantis"));
        QVERIFY(!h.w->isVisible());
    }

    void windowFrame()
    {
        Harness h;
        QVERIFY(h.load());
        h.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        QCOMPARE(h.w->centralWidget()->size(), QSize(732, 455));
        QCOMPARE(h.w->minimumSize(), h.w->maximumSize());
        const Qt::WindowFlags flags = h.w->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QPoint offCentre = h.w->frameGeometry().center() - h.w->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() < 40);
    }

    void reportAreaScrollsWithoutBars()
    {
        Harness h;
        QVERIFY(h.load());
        h.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        h.box("Text3")->setText(QStringLiteral("July 04, 1976"));
        h.w->Command1_Click();
        QPlainTextEdit* area = h.w->reportArea();
        QScrollBar* bar = area->verticalScrollBar();
        QFont larger = area->font(); // as the text-size dialog may set it
        larger.setPointSize(16);
        area->setFont(larger);
        QTRY_VERIFY(bar->maximum() > 0); // laid out again on the next event round
        QVERIFY(!bar->isVisible());
        const QPoint centre = area->viewport()->rect().center();
        QWheelEvent wheel(centre, area->viewport()->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &wheel);
        QVERIFY(bar->value() > 0);
        QVERIFY(area->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    }
};

QTEST_MAIN(FrmNumerTest)
#include "frmNumer_test.moc"
