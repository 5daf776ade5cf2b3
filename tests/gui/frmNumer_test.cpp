// The main window driven through its handlers, menus and widgets.
#include "fakes.h"
#include "platform/system_colours.h"
#include "reports/reports.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

using namespace orvantis;
using namespace modDestiny;
using test::Harness;

namespace {

const QDate kToday(2024, 5, 17);
const QString kMissing = QStringLiteral("<missing>");

QLineEdit* box(const Harness& h, const char* name) { return h.get<QLineEdit>(QString::fromLatin1(name)); }
QComboBox* combo(const Harness& h) { return h.get<QComboBox>(QStringLiteral("Combo1")); }
QPushButton* command(const Harness& h) { return h.get<QPushButton>(QStringLiteral("Command1")); }
QAction* item(const Harness& h, const char* name) { return h.get<QAction>(QString::fromLatin1(name)); }
void mode(const Harness& h, int n) { h.get<QRadioButton>(QStringLiteral("Option%1").arg(n))->click(); }
QString report(const Harness& h) { return QString::fromStdString(h.w->report().Text()); }
void pick(const Harness& h, int n, QDate date)
{
    h.calendar(n)->setSelectedDate(date);
    emit h.calendar(n)->clicked(date);
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
        QTest::newRow("1 after 2") << QList<int>{2, 1} << 0 << QString()
                                   << QStringLiteral("Click to Calculate Destiny and Birthdate numbers!");
        QTest::newRow("2 entered again") << QList<int>{2, 3, 2, 2} << 12 << QString()
                                         << QStringLiteral("Click to Calculate Personal Year and Month numbers!");
        QTest::newRow("3 after 2") << QList<int>{2, 3} << 0 << QStringLiteral("May 17")
                                   << QStringLiteral("Click to Calculate Personal Day number!");
    }
    void modeStates()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, months);
        QFETCH(QString, day);
        QFETCH(QString, tip);
        Harness h;
        QCOMPARE(command(h)->toolTip(), QStringLiteral("Click to calculate Destiny and Birthdate numbers!"));
        for (int n : clicks) {
            if (combo(h)->count() > 0)
                combo(h)->setCurrentIndex(2); // left on March: re-entering goes back to May
            h.openCalendars();
            mode(h, n);
            QVERIFY(!h.calendarShown());
        }
        const int m = clicks.last();
        QCOMPARE(combo(h)->isEnabled(), m == 2);
        QCOMPARE(combo(h)->count(), months);
        if (m == 2)
            QCOMPARE(h.w->chosenMonth(), 5);
        QCOMPARE(combo(h)->palette().color(QPalette::Button), m == 2 ? colours::highlight() : colours::buttonFace());
        QCOMPARE(box(h, "Text2")->isEnabled(), m == 3);
        QCOMPARE(box(h, "Text2")->text(), day);
        QCOMPARE(box(h, "Text2")->palette().color(QPalette::Base),
                 m == 3 ? colours::highlight() : colours::buttonFace());
        QCOMPARE(command(h)->toolTip(), tip);
        QCOMPARE(command(h)->accessibleDescription(), tip);
    }

    // Every report must be exactly what the builders write for the engine's
    // numbers of the texts the window hands over.
    void calculation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("birthBox");
        QTest::addColumn<int>("month"); // chosen; 0: left on the current month
        QTest::addColumn<QDate>("pickedDay");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("monthDay");
        const QString july4 = QStringLiteral("July 04, 1976");
        const QString full = QStringLiteral("07/04/1976");
        QTest::newRow("1") << 1 << july4 << 0 << QDate() << full << "04" << "";
        QTest::newRow("1 damaged box") << 1 << QStringLiteral("garbage") << 0 << QDate() << "" << "" << "";
        QTest::newRow("2 March") << 2 << july4 << 3 << QDate() << full << "" << "";
        QTest::newRow("2 empty box, May") << 2 << QString() << 0 << QDate() << "" << "" << "";
        QTest::newRow("3 picked") << 3 << july4 << 0 << QDate(2024, 12, 25) << full << "" << "12/25";
        QTest::newRow("3 damaged, today") << 3 << QStringLiteral("garbage") << 0 << QDate() << "" << "" << "05/17";
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
        box(h, "Text3")->setText(birthBox);
        ::mode(h, mode);
        if (month > 0)
            combo(h)->setCurrentIndex(month - 1);
        if (pickedDay.isValid())
            pick(h, 2, pickedDay);
        command(h)->click();
        command(h)->click(); // replaces, never appends

        StringReportArea expected;
        const PersonalNumber year = CalcDateNumber(date.toStdString());
        const auto chosen = static_cast<PersonalNumber>(month > 0 ? month : kToday.month());
        if (mode == 1)
            ShowDestinyAndBirth(expected, year, CalcBirthNumber(day.toStdString()));
        else if (mode == 2)
            ShowPersonalYearMonth(expected, year, CalcPersonalMonth(year, chosen));
        else
            ShowPersonalDay(expected, CalcPersonalDay(year, monthDay.toStdString()));
        QCOMPARE(report(h), QString::fromStdString(expected.Text()));
        QCOMPARE(h.w->reportArea()->toPlainText(), ReportModel::ForDisplay(expected.Text()));
        QVERIFY(h.w->birthDateText().isEmpty());
        QVERIFY(h.messages.shown.isEmpty());
    }

    void emptyDayBox()
    {
        Harness h;
        mode(h, 3);
        h.w->Command1_Click();
        QVERIFY(!report(h).isEmpty());
        box(h, "Text2")->clear();
        h.openCalendars();
        h.w->Command1_Click();
        QCOMPARE(report(h), QString());
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
        Harness h(false);
        const auto put = [&h](const char* key, const QString& value) {
            if (value != kMissing)
                h.store.values.WriteSetting("Orvantis", "StartUp", QString::fromLatin1(key), value);
        };
        put("StartUpOption", option);
        put("StartUpDate", stored);
        frmNumer::TrayBusy = false;
        QVERIFY(h.w->Form_Load());
        const bool on = option == QLatin1String("1");
        QCOMPARE(box(h, "Text3")->text(), birthBox);
        QCOMPARE(item(h, "mnuBirth")->isChecked(), on);
        QStringList reads{QStringLiteral("R Startup/StartUpOption")};
        if (on)
            reads << QStringLiteral("R StartUp/StartUpdate");
        QCOMPARE(h.store.log, reads);
        // The rest of the initial state does not depend on the store.
        QVERIFY(frmNumer::TrayBusy);
        QCOMPARE(h.w->chosenMonth(), 0);
        QVERIFY(!combo(h)->isEnabled() && !box(h, "Text2")->isEnabled());
        QCOMPARE(h.calendar(1)->selectedDate(), QDate(2024, 1, 1));
        QCOMPARE(h.calendar(2)->selectedDate(), kToday);
        QVERIFY(!h.calendarShown());
    }

    void savingBirthDate()
    {
        Harness h;
        QAction* saving = item(h, "mnuBirth");
        pick(h, 1, QDate(1925, 3, 15)); // saving off: nothing written
        h.calendar(1)->show();
        saving->trigger();
        QVERIFY(saving->isChecked());
        QVERIFY(h.calendar(1)->isVisibleTo(h.w.get())); // the toggle leaves calendars alone
        pick(h, 1, QDate(1976, 7, 4));
        saving->trigger();
        QVERIFY(!saving->isChecked());
        QCOMPARE(h.store.log.filter(QStringLiteral("W ")), (QStringList{"W StartUp/StartUpOption=1", "W StartUp/StartUpDate=03/15/1925",
                                           "W Startup/StartUpDate=07/04/1976", "W StartUp/StartUpOption=0",
                                           "W StartUp/StartUpDate="}));

        Harness next(false); // the next start: a 1925 date comes back as 1925
        pick(h, 1, QDate(1925, 3, 15));
        saving->trigger();
        next.store.values = h.store.values;
        QVERIFY(next.w->Form_Load());
        QCOMPARE(box(next, "Text3")->text(), QStringLiteral("March 15, 1925"));
        box(next, "Text3")->setText(QStringLiteral("garbage"));
        item(next, "mnuBirth")->trigger();
        item(next, "mnuBirth")->trigger(); // a damaged box is stored as it is, not lost
        QCOMPARE(next.store.log.last(), QStringLiteral("W StartUp/StartUpDate=garbage"));
    }

    void birthCalendarOpensOnBox_data()
    {
        QTest::addColumn<QString>("birthBox");
        QTest::addColumn<QDate>("opensOn");
        QTest::newRow("date") << "July 04, 1976" << QDate(1976, 7, 4);
        QTest::newRow("damaged") << "garbage" << QDate(2024, 1, 1);
    }
    void birthCalendarOpensOnBox()
    {
        QFETCH(QString, birthBox);
        QFETCH(QDate, opensOn);
        Harness h;
        h.calendar(1)->setSelectedDate(QDate(2000, 2, 2));
        box(h, "Text3")->setText(birthBox);
        QTest::mouseClick(box(h, "Text3"), Qt::LeftButton);
        QVERIFY(h.calendar(1)->isVisibleTo(h.w.get()));
        QCOMPARE(h.calendar(1)->selectedDate(), opensOn);
        QCOMPARE(h.calendar(1)->monthShown(), opensOn.month());
    }

    void dayCalendar()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        QTest::mouseClick(box(h, "Text2"), Qt::LeftButton); // disabled in mode 1
        QVERIFY(!h.calendarShown());
        mode(h, 3);
        QTest::mouseClick(box(h, "Text2"), Qt::LeftButton);
        QVERIFY(h.calendar(2)->isVisible());
        pick(h, 2, QDate(2024, 12, 25));
        QCOMPARE(box(h, "Text2")->text(), QStringLiteral("December 25"));
        QVERIFY(box(h, "Text2")->isEnabled() && !h.calendarShown());
        mode(h, 1);
        mode(h, 3); // back on today, in the box and in the calendar alike
        QCOMPARE(box(h, "Text2")->text(), QStringLiteral("May 17"));
        QCOMPARE(h.calendar(2)->selectedDate(), kToday);

        // Keyboard only: open, move a day on, pick with Enter; Escape closes.
        box(h, "Text2")->setFocus();
        QTest::keyClick(box(h, "Text2"), Qt::Key_Space);
        QVERIFY(h.calendar(2)->isVisible());
        QTest::keyClick(h.calendar(2)->focusProxy(), Qt::Key_Right);
        QTest::keyClick(h.calendar(2)->focusProxy(), Qt::Key_Return);
        QCOMPARE(box(h, "Text2")->text(), QStringLiteral("May 18"));
        QVERIFY(!h.calendarShown());
        QTest::keyClick(box(h, "Text3"), Qt::Key_F4);
        QVERIFY(h.calendar(1)->isVisible());
        QTest::keyClick(h.calendar(1)->focusProxy(), Qt::Key_Escape);
        QVERIFY(!h.calendarShown());
    }

    void whatHidesTheCalendars()
    {
        const std::pair<std::function<void(Harness&)>, bool> cases[] = {
            {[](Harness& h) { mode(h, 1); }, true},
            {[](Harness& h) { pick(h, 1, QDate(1990, 1, 1)); }, true},
            {[](Harness& h) { pick(h, 2, QDate(2024, 6, 1)); }, true},
            {[](Harness& h) { h.w->Command1_Click(); }, true},
            {[](Harness& h) { QTest::mouseClick(h.w->reportArea()->viewport(), Qt::LeftButton); }, true},
            {[](Harness& h) { item(h, "mnuHelpOption")->trigger(); }, true},
            {[](Harness& h) { item(h, "mnuMinimize")->trigger(); }, true},
            {[](Harness& h) { item(h, "mnuAbout")->trigger(); }, true},
            {[](Harness& h) { item(h, "mnuBirth")->trigger(); }, false},
            {[](Harness& h) { item(h, "mnuExit")->trigger(); }, false},
        };
        int n = 0;
        for (const auto& [act, hides] : cases) {
            Harness h;
            h.openCalendars();
            act(h);
            QVERIFY2(h.calendarShown() != hides, qPrintable(QString::number(n++)));
        }
    }

    void commandsAndHooks()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        item(h, "mnuHelpOption")->trigger();
        QCOMPARE(h.help.paths, QStringList{QCoreApplication::applicationDirPath() + "/Orvantis.hlp"});
        item(h, "mnuAbout")->trigger();
        QWidget* area = h.w->reportArea()->viewport();
        h.calendar(1)->show();
        pick(h, 1, QDate(1990, 1, 1)); // the day's double click ends on the report under it
        QTest::mouseDClick(area, Qt::LeftButton, {}, QPoint(40, 20));
        QCOMPARE(h.log, QStringList{"About"});
        QTest::mouseDClick(area, Qt::LeftButton);
        item(h, "mnuExit")->trigger();
        h.w->close(); // the close box ends the program too
        QCOMPARE(h.log, (QStringList{"About", "TextSize", "End", "End"}));
    }

    void refusedSecondInstance()
    {
        Harness h(false);
        h.instance.grant = false;
        QVERIFY(!h.w->Form_Load());
        QCOMPARE(h.messages.shown,
                 QStringList{QStringLiteral("Orvantis: Can't allow to run another instance of Orvantis!")});
        QCOMPARE(h.messages.parents.value(0), nullptr);
        QVERIFY(h.store.log.isEmpty());
        QCOMPARE(h.w->windowTitle(), QStringLiteral("Orvantis"));
        QVERIFY(!h.w->isVisible());
    }

    void fixedCentredWindowWithCloseBoxOnly()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
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
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        box(h, "Text3")->setText(QStringLiteral("July 04, 1976"));
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
