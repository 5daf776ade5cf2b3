// The main window driven through its handlers, menus and widgets, offscreen.
#include "harness.h"

#include "look/look.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace orvantis;
using test::Harness;

namespace {

const QString kMissing = QStringLiteral("<missing>");

QAction* item(const Harness& h, const char* name) { return h.get<QAction>(name); }
QRadioButton* option(const Harness& h, int n)
{
    return h.w->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
}
QString report(const Harness& h) { return QString::fromStdString(h.w->report().Text()); }
void pick(const Harness& h, int calendar, QDate date)
{
    calendar == 1 ? h.w->Text3_Click() : h.w->Text2_Click();
    h.calendarWidget(calendar)->setSelectedDate(date);
    Q_EMIT h.calendarWidget(calendar)->clicked(date);
}

using Act = std::function<void(Harness&)>;

} // namespace

Q_DECLARE_METATYPE(Act)

class WindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Mode buttons, selected by a click or by a screen reader's "toggle"
    // (which only reports the button as toggled).
    void modes_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // negative: toggled instead
        QTest::addColumn<int>("months");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("tip");
        const QString tip1 = QStringLiteral("Click to Calculate Destiny and Birthdate numbers!");
        const QString tip2 = QStringLiteral("Click to Calculate Personal Year and Month numbers!");
        const QString tip3 = QStringLiteral("Click to Calculate Personal Day number!");
        QTest::newRow("at start") << QList<int>{} << 0 << ""
                                  << QStringLiteral("Click to calculate Destiny and Birthdate numbers!");
        QTest::newRow("1 after 2") << QList<int>{2, 1} << 0 << "" << tip1;
        QTest::newRow("2 entered again") << QList<int>{2, 3, 2} << 12 << "" << tip2;
        QTest::newRow("2 clicked twice") << QList<int>{2, 2} << 12 << "" << tip2;
        QTest::newRow("3 after 2") << QList<int>{2, 3} << 0 << "May 17" << tip3;
        QTest::newRow("2 toggled") << QList<int>{-2} << 12 << "" << tip2;
        QTest::newRow("3 toggled") << QList<int>{-3} << 0 << "May 17" << tip3;
    }
    void modes()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, months);
        QFETCH(QString, day);
        QFETCH(QString, tip);
        Harness h;
        for (int n : clicks) {
            const bool selectedAlready = option(h, std::abs(n))->isChecked();
            if (h.get<QComboBox>("Combo1")->count() > 0 && !selectedAlready)
                h.get<QComboBox>("Combo1")->setCurrentIndex(2); // March: entering again goes back to May
            h.openCalendars();
            if (n < 0)
                option(h, -n)->setChecked(true);
            else
                option(h, n)->click();
            QCOMPARE(h.calendarShown(), selectedAlready); // a mode's handler hides them
        }
        const bool monthMode = months > 0, dayMode = !day.isEmpty();
        QComboBox* list = h.get<QComboBox>("Combo1");
        QCOMPARE(list->count(), months);
        QCOMPARE(list->isEnabled(), monthMode);
        QCOMPARE(list->palette().color(QPalette::Button),
                 monthMode ? look::colours::highlight() : look::colours::buttonFace());
        if (monthMode)
            QCOMPARE(list->currentText(), QStringLiteral("May"));
        QCOMPARE(h.get<QLineEdit>("Text2")->text(), day);
        QCOMPARE(h.get<QLineEdit>("Text2")->isEnabled(), dayMode);
        QCOMPARE(h.get<QLineEdit>("Text2")->palette().color(QPalette::Base),
                 dayMode ? look::colours::highlight() : look::colours::buttonFace());
        QCOMPARE(h.get<QPushButton>("Command1")->toolTip(), tip);
    }

    // The report of each mode: the numbers the engine gives for the dates the
    // window hands over, in the builder of that mode.
    void reports_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("birthBox");
        QTest::addColumn<int>("month");    // chosen; 0: left on the current month (May)
        QTest::addColumn<QDate>("picked"); // in the day calendar, mode 3
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("contains");
        const QString july4 = QStringLiteral("July 04, 1976"); // digits 34 -> 7, day 04 -> 4
        QTest::newRow("1") << 1 << july4 << 0 << QDate() << "\r\nDestiny Number:7\r\n\r\n"
                           << "\r\n\r\n\r\nBirth Number:4\r\n\r\n";
        QTest::newRow("2, March: 7 + 3") << 2 << july4 << 3 << QDate() << "\r\nPersonal Year: 7\r\nKeywords: "
                                         << "\r\nPersonal Month: 1\r\nKeywords: Independence";
        QTest::newRow("2, empty box, May") << 2 << "" << 0 << QDate()
                                           << "\r\nPersonal Year: 0\r\n\r\nPersonal Month: 5\r\n"
                                              "Keywords: Freedom, Change, Adventure\r\n\r\n" << "";
        QTest::newRow("3, 7 + 12 + 25") << 3 << july4 << 0 << QDate(2024, 12, 25)
                                        << "Practical matters take center stage today." << "";
    }
    void reports()
    {
        QFETCH(int, mode);
        QFETCH(QString, birthBox);
        QFETCH(int, month);
        QFETCH(QDate, picked);
        QFETCH(QString, start);
        QFETCH(QString, contains);
        Harness h;
        h.get<QLineEdit>("Text3")->setText(birthBox);
        option(h, mode)->click();
        if (month > 0)
            h.get<QComboBox>("Combo1")->setCurrentIndex(month - 1);
        if (picked.isValid())
            pick(h, 2, picked);
        h.get<QPushButton>("Command1")->click();
        h.get<QPushButton>("Command1")->click(); // replaces the report, never appends
        QVERIFY2(report(h).startsWith(start), qPrintable(report(h).left(80)));
        QVERIFY(report(h).contains(contains));
        QCOMPARE(report(h).count(start), 1);
        // The box shows the same text, with its own line breaks.
        QCOMPARE(h.get<QPlainTextEdit>("Text1")->toPlainText(),
                 QString(report(h)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(h.messages.shown.isEmpty());
    }

    // Loading reads the saving option and, when it is on, the saved birth
    // date, under their exact spellings. A refused second start reads nothing
    // and asks for the running window instead.
    void load_data()
    {
        QTest::addColumn<bool>("granted"); // the only instance
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("birthBox");
        const QString newYear = QStringLiteral("January 01, 2024");
        QTest::newRow("first run") << true << kMissing << kMissing << newYear;
        for (const char* other : {"0", "2", "true", " 1", "1 "})
            QTest::newRow(other) << true << QString::fromLatin1(other) << "07/04/76" << newYear;
        QTest::newRow("1, 07/04/76") << true << "1" << "07/04/76" << "July 04, 1976";
        QTest::newRow("1, empty") << true << "1" << "" << "";
        QTest::newRow("1, damaged") << true << "1" << "garbage" << "garbage";
        QTest::newRow("second start") << false << "1" << "07/04/76" << "";
    }
    void load()
    {
        QFETCH(bool, granted);
        QFETCH(QString, option);
        QFETCH(QString, stored);
        QFETCH(QString, birthBox);
        Harness h(false);
        h.instance.grant = granted;
        for (const auto& [key, value] : {std::pair{"StartUpOption", option}, std::pair{"StartUpDate", stored}})
            if (value != kMissing)
                h.store.values.insert(QStringLiteral("startup/") + QString::fromLatin1(key).toLower(), value);
        QCOMPARE(h.w->Form_Load(), granted);
        const bool on = granted && option == QLatin1String("1");
        QCOMPARE(h.get<QLineEdit>("Text3")->text(), birthBox);
        QCOMPARE(item(h, "mnuBirth")->isChecked(), on);
        QStringList reads(granted ? 1 : 0, QStringLiteral("R Startup/StartUpOption"));
        if (on)
            reads << QStringLiteral("R StartUp/StartUpdate");
        QCOMPARE(h.store.log, reads);
        QCOMPARE(h.w->windowTitle(), granted ? QStringLiteral("Orvantis - Lumevarre") : QStringLiteral("Orvantis"));
        QCOMPARE(h.instance.asked, granted ? 0 : 1);
        QCOMPARE(h.messages.shown.join(QString()),
                 granted ? "" : "Information Orvantis: Can't allow to run another instance of Orvantis!");
        QCOMPARE(h.messages.parents.value(0), nullptr);
    }

    // "&Save Birthdate" and the date picks it stores; the check mark always
    // shows what the store holds.
    void savingBirthDate_data()
    {
        QTest::addColumn<int>("failingFrom"); // the step from which writes fail: 0 turning on, 1 the pick
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QList<bool>>("marks"); // after turning on, picking, turning off
        QTest::addColumn<int>("warnings");
        QTest::newRow("stored") << -1
                                << QStringList{"W StartUp/StartUpOption=1", "W StartUp/StartUpDate=03/15/1925",
                                               "W Startup/StartUpDate=07/04/1976",
                                               "W StartUp/StartUpOption=0", "W StartUp/StartUpDate="}
                                << QList<bool>{true, true, false} << 0;
        QTest::newRow("read-only store") << 0
                                         << QStringList{"W StartUp/StartUpOption=1", "W StartUp/StartUpOption=1"}
                                         << QList<bool>{false, false, false} << 2;
        QTest::newRow("fails from the pick") // the option itself is still stored
            << 1
            << QStringList{"W StartUp/StartUpOption=1", "W StartUp/StartUpDate=03/15/1925",
                           "W Startup/StartUpDate=07/04/1976", "W StartUp/StartUpOption=0"}
            << QList<bool>{true, true, true} << 2;
    }
    void savingBirthDate()
    {
        QFETCH(int, failingFrom);
        QFETCH(QStringList, writes);
        QFETCH(QList<bool>, marks);
        QFETCH(int, warnings);
        Harness h;
        h.store.failWrites = failingFrom == 0;
        QAction* saving = item(h, "mnuBirth");
        pick(h, 1, QDate(1925, 3, 15)); // saving off: nothing written
        saving->trigger();
        QCOMPARE(saving->isChecked(), marks[0]);
        h.store.failWrites = failingFrom >= 0;
        pick(h, 1, QDate(1976, 7, 4));
        QCOMPARE(saving->isChecked(), marks[1]);
        saving->trigger();
        QCOMPARE(saving->isChecked(), marks[2]);
        QCOMPARE(h.store.log.filter(QStringLiteral("W ")), writes);
        QCOMPARE(h.messages.shown,
                 QStringList(warnings, QStringLiteral("Warning Orvantis: The birth date setting could not be "
                                                      "saved in /ro/orvantis.ini:\nPermission denied")));
    }

    // A calendar is made the first time it drops down, looking as if it had
    // been made with the window; then it opens and picks by mouse and keys.
    void calendarsByMouseAndKeys()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        QVERIFY(!h.calendarWidget(1) && !h.calendarWidget(2));
        h.get<QLineEdit>("Text3")->setText(QStringLiteral("July 04, 1976"));
        QTest::mouseClick(h.get<QLineEdit>("Text3"), Qt::LeftButton);
        QCalendarWidget* made = h.calendarWidget(1);
        QVERIFY(made && made->isVisible());
        QCOMPARE(made->selectedDate(), QDate(1976, 7, 4));
        QCOMPARE(made->font(), h.get<QLineEdit>("Text3")->font());
        const QObjectList& siblings = made->parentWidget()->children();
        QVERIFY(siblings.indexOf(made) > siblings.indexOf(h.get<QPlainTextEdit>("Text1"))); // drawn above it
        QCOMPARE(h.get<QLineEdit>("Text3")->nextInFocusChain(), made);
        h.get<QLineEdit>("Text3")->setText(QStringLiteral("garbage"));
        QTest::mouseClick(h.get<QLineEdit>("Text3"), Qt::LeftButton); // a damaged box opens on New Year
        QCOMPARE(made->selectedDate(), QDate(2024, 1, 1));
        QTest::mouseClick(h.get<QLineEdit>("Text2"), Qt::LeftButton); // disabled in mode 1
        QVERIFY(!h.calendarShown(2));
        option(h, 3)->click();
        QTest::mouseClick(h.get<QLineEdit>("Text2"), Qt::LeftButton);
        QVERIFY(h.calendarShown(2));
        pick(h, 2, QDate(2024, 12, 25));
        QCOMPARE(h.get<QLineEdit>("Text2")->text(), QStringLiteral("December 25"));
        QVERIFY(h.get<QLineEdit>("Text2")->isEnabled() && !h.calendarShown());
        option(h, 1)->click();
        option(h, 3)->click(); // back on today, in the box and in the calendar alike (May 18 below)
        QCOMPARE(h.get<QLineEdit>("Text2")->text(), QStringLiteral("May 17"));

        // Keyboard only: open, move a day on, pick with Enter; Escape closes.
        // A typed date is ignored, never read.
        h.get<QLineEdit>("Text2")->setFocus();
        QTest::keyClick(h.get<QLineEdit>("Text2"), Qt::Key_Space);
        QCalendarWidget* days = h.calendarWidget(2);
        QVERIFY(days->isVisible());
        QTest::keyClicks(days->focusProxy(), "070476");
        QTest::keyClick(days->focusProxy(), Qt::Key_Right);
        QTest::keyClick(days->focusProxy(), Qt::Key_Return);
        QCOMPARE(h.get<QLineEdit>("Text2")->text(), QStringLiteral("May 18"));
        QVERIFY(!h.calendarShown());
        QTest::keyClick(h.get<QLineEdit>("Text3"), Qt::Key_F4);
        QVERIFY(h.calendarShown(1));
        QTest::keyClicks(h.calendarWidget(1)->focusProxy(), "7/4/76");
        QTest::keyClick(h.calendarWidget(1)->focusProxy(), Qt::Key_Escape);
        QVERIFY(!h.calendarShown());
    }

    // Each command given with the calendars open: whether it hides them
    // (a mode's handler does too: see modes), and the help file, modal window
    // or end of the program it brings.
    void commands_data()
    {
        QTest::addColumn<Act>("act");
        QTest::addColumn<bool>("hides");
        QTest::addColumn<QString>("brings");
        const auto menu = [](const char* name) { return Act([name](Harness& h) { item(h, name)->trigger(); }); };
        const auto doubleClick = [](int x) { // as a desktop sends it: a click, then the double click
            return [x](Harness& h) {
                QTest::mouseClick(h.get<QPlainTextEdit>("Text1")->viewport(), Qt::LeftButton, {}, QPoint(x, 20));
                QTest::mouseDClick(h.get<QPlainTextEdit>("Text1")->viewport(), Qt::LeftButton, {}, QPoint(x, 20));
            };
        };
        QTest::newRow("calculate") << Act([](Harness& h) { h.w->Command1_Click(); }) << true << "";
        QTest::newRow("report double-clicked") << Act(doubleClick(400)) << true << "orvantis::frmFont";
        // The second click of a double click on a day lands where the calendar
        // was, on the report: it must not count as a click there.
        QTest::newRow("day double-clicked")
            << Act([doubleClick](Harness& h) { pick(h, 1, QDate(1990, 1, 1)); doubleClick(40)(h); }) << true << "";
        QTest::newRow("Help") << menu("mnuHelpOption") << true
                              << QCoreApplication::applicationDirPath() + "/Orvantis.hlp";
        QTest::newRow("Minimize") << menu("mnuMinimize") << true << "";
        QTest::newRow("About") << menu("mnuAbout") << true << "orvantis::frmAbout";
        QTest::newRow("Save Birthdate") << menu("mnuBirth") << false << "";
        QTest::newRow("Exit") << menu("mnuExit") << false << "end";
        QTest::newRow("close box") << Act([](Harness& h) { h.w->close(); }) << false << "end";
    }
    void commands()
    {
        QFETCH(Act, act);
        QFETCH(bool, hides);
        QFETCH(QString, brings);
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        h.openCalendars();
        const QString modal = test::answerModal([&] { act(h); }, [](QWidget* window) { window->close(); });
        QCOMPARE(h.calendarShown(), !hides);
        QStringList brought = h.help.paths + QStringList(h.ends.size(), QStringLiteral("end"));
        if (modal != QLatin1String("none"))
            brought << modal;
        QCOMPARE(brought.join(' '), brings);
    }

    void focusAndNames()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(h.w.get()));
        QCOMPARE(QApplication::focusWidget(), h.get<QPushButton>("Command1"));
        QStringList order;
        option(h, 3)->click(); // every box enabled
        h.get<QComboBox>("Combo1")->setEnabled(true);
        QWidget* at = h.get<QPushButton>("Command1");
        do {
            if (at->focusPolicy() & Qt::TabFocus)
                order << at->objectName() + QLatin1Char('=') + at->accessibleName();
            at = at->nextInFocusChain();
        } while (at != h.get<QPushButton>("Command1") && order.size() < 20);
        QCOMPARE(order.mid(0, 4), (QStringList{"Command1=Calculate", "Option1=", "Option2=", "Option3="}));
        QCOMPARE(order.mid(4), (QStringList{"Text1=Report", "Text2=Day", "Combo1=Month", "Text3=Birth date"}));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
