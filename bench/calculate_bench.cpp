// The calculate button: from Command1_Click to the report in the model and in
// the report box, in each mode, with the longest report that mode can give.
//
// Which inputs give the longest report depends on the catalogue texts, so
// they are found when the benchmark starts: every birth date the calendar
// offers goes through the engine, and every distinct outcome (with every
// month, or every day of the year) through the report builders. Two
// measurements per mode: the handler alone (engine, report builder, model
// and the box's new text), and the handler followed by the event processing
// that repaints the box.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "engine/numbers.h"
#include "mainwindow/frmNumer.h"
#include "mainwindow/drop_down_calendar.h"
#include "quiet_services.h"
#include "platform/settings_store.h"
#include "reports/report_area.h"
#include "reports/reports.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

using namespace modDestiny;

namespace {

// One input of the window and the size of the report it gives.
struct LongestInput {
    QDate birthDate;
    int month = 0;   // Personal Year and Month: 1..12
    QDate dayDate;   // Personal Day: the day calendar's date
    std::size_t bytes = 0;
};

std::string engineDate(QDate d)
{
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d/%02d/%04d", d.month(), d.day(), d.year());
    return buffer.data();
}

template <typename Build>
std::size_t reportBytes(Build build)
{
    StringReportArea area;
    build(area);
    return area.Text().size();
}

// Every birth date of the calendar range, grouped by what the engine makes of
// it: (Destiny, Birth) pairs, and the Personal Years (the Destiny number of
// the birth date), each with the first date that gives it.
struct Outcomes {
    std::map<std::pair<PersonalNumber, PersonalNumber>, QDate> destinyBirth;
    std::map<PersonalNumber, QDate> personalYear;
};

const Outcomes& outcomes()
{
    static const Outcomes o = [] {
        Outcomes r;
        for (QDate d(1753, 1, 1); d <= QDate(9999, 12, 31); d = d.addDays(1)) {
            const std::string full = engineDate(d);
            const PersonalNumber destiny = CalcDateNumber(full);
            const PersonalNumber birth = CalcBirthNumber(std::string_view(full).substr(3, 2));
            r.destinyBirth.try_emplace({destiny, birth}, d);
            r.personalYear.try_emplace(destiny, d);
        }
        return r;
    }();
    return o;
}

LongestInput longestDestinyAndBirth()
{
    LongestInput best;
    for (const auto& [numbers, date] : outcomes().destinyBirth) {
        const std::size_t bytes = reportBytes(
            [&](ReportArea& a) { ShowDestinyAndBirth(a, numbers.first, numbers.second); });
        if (bytes > best.bytes)
            best = {date, 0, {}, bytes};
    }
    return best;
}

LongestInput longestPersonalYearMonth()
{
    LongestInput best;
    for (const auto& [year, date] : outcomes().personalYear)
        for (int month = 1; month <= 12; ++month) {
            const PersonalNumber pm = CalcPersonalMonth(year, static_cast<PersonalNumber>(month));
            const std::size_t bytes =
                reportBytes([&](ReportArea& a) { ShowPersonalYearMonth(a, year, pm); });
            if (bytes > best.bytes)
                best = {date, month, {}, bytes};
        }
    return best;
}

LongestInput longestPersonalDay()
{
    LongestInput best;
    for (const auto& [year, date] : outcomes().personalYear)
        for (QDate day(2024, 1, 1); day.year() == 2024; day = day.addDays(1)) { // a leap year
            const std::string monthDay = engineDate(day).substr(0, 5);
            const PersonalNumber pd = CalcPersonalDay(year, monthDay);
            const std::size_t bytes = reportBytes([&](ReportArea& a) { ShowPersonalDay(a, pd); });
            if (bytes > best.bytes)
                best = {date, 0, day, bytes};
        }
    return best;
}

// Found once: both benchmarks use the same inputs.
const std::array<std::pair<const char*, LongestInput>, 3>& longestInputs()
{
    static const std::array<std::pair<const char*, LongestInput>, 3> rows{{
        {"Destiny and Birth", longestDestinyAndBirth()},
        {"Personal Year and Month", longestPersonalYearMonth()},
        {"Personal Day", longestPersonalDay()},
    }};
    return rows;
}

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(LongestInput)

class CalculateBench : public QObject {
    Q_OBJECT

private:
    orvantis::bench::QuietServices services_;
    std::unique_ptr<orvantis::frmNumer> window_;

    template <typename T>
    T* child(const char* name) const
    {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("the main window has no %s", name);
        return w;
    }

    // The window in `mode` with `input` entered, as the user would leave it
    // before pressing the button.
    void prepare(int mode, const LongestInput& input)
    {
        window_ = std::make_unique<orvantis::frmNumer>(services_.services());
        QVERIFY(window_->Form_Load());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));

        child<QLineEdit>("Text3")->findChild<orvantis::DropDownCalendar*>()->setSelectedDate(input.birthDate);
        window_->MonthView1_DateClick();
        child<QRadioButton>(mode == 1 ? "Option1" : mode == 2 ? "Option2" : "Option3")->click();
        if (mode == 2)
            child<QComboBox>("Combo1")->setCurrentIndex(input.month - 1);
        if (mode == 3) {
            child<QLineEdit>("Text2")->findChild<orvantis::DropDownCalendar*>()->setSelectedDate(input.dayDate);
            window_->MonthView2_DateClick();
        }
        QCoreApplication::processEvents();
    }

    void checkReport(const LongestInput& input)
    {
        QCOMPARE(window_->report().Text().size(), input.bytes);
        QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(),
                 orvantis::ReportModel::ForDisplay(window_->report().Text()));
    }

    static void addRows()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<LongestInput>("input");
        int mode = 0;
        for (const auto& [name, input] : longestInputs()) {
            QTest::newRow(name) << ++mode << input;
        }
    }

private slots:
    // The inputs found, for the record.
    void initTestCase()
    {
        for (const auto& [name, input] : longestInputs()) {
            QString what = QStringLiteral("birth date ") + input.birthDate.toString(Qt::ISODate);
            if (input.month > 0)
                what += QStringLiteral(", month %1").arg(input.month);
            if (input.dayDate.isValid())
                what += QStringLiteral(", day ") + input.dayDate.toString(QStringLiteral("MM-dd"));
            std::printf("longest report, %s: %s, %zu bytes\n", name, qPrintable(what), input.bytes);
        }
    }

    void handler_data() { addRows(); }
    void handler()
    {
        QFETCH(int, mode);
        QFETCH(LongestInput, input);
        prepare(mode, input);
        if (QTest::currentTestFailed())
            return;
        QBENCHMARK {
            window_->Command1_Click();
        }
        checkReport(input);
    }

    void handlerAndRepaint_data() { addRows(); }
    void handlerAndRepaint()
    {
        QFETCH(int, mode);
        QFETCH(LongestInput, input);
        prepare(mode, input);
        if (QTest::currentTestFailed())
            return;
        PaintCounter paints;
        child<QPlainTextEdit>("Text1")->viewport()->installEventFilter(&paints);
        QBENCHMARK {
            window_->Command1_Click();
            QCoreApplication::processEvents();
        }
        checkReport(input);
        QVERIFY2(paints.count > 0, "the report box was never repainted");
    }

    void cleanup() { window_.reset(); }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CalculateBench bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "calculate_bench.moc"
