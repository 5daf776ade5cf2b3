#include "date_texts.h"

#include <QLocale>
#include <QRegularExpression>

namespace orvantis::datetext {
namespace {

const QLocale& english()
{
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

const QString kBirthDateFormat = QStringLiteral("MMMM dd, yyyy");

bool inCalendarRange(QDate date)
{
    return date.isValid() && date >= FirstDate() && date <= LastDate();
}

} // namespace

QString BirthDateDisplay(QDate date) { return english().toString(date, kBirthDateFormat); }

QString DayDisplay(QDate date) { return english().toString(date, QStringLiteral("MMMM dd")); }

std::optional<QDate> ParseBirthDateDisplay(const QString& text)
{
    const QDate date = english().toDate(text, kBirthDateFormat);
    // The parser is lenient about digit counts; accept only what we write.
    if (!inCalendarRange(date) || BirthDateDisplay(date) != text)
        return std::nullopt;
    return date;
}

QString EngineDate(QDate date) { return english().toString(date, QStringLiteral("MM/dd/yyyy")); }

QString EngineMonthDay(QDate date) { return english().toString(date, QStringLiteral("MM/dd")); }

QString EngineDay(QDate date) { return english().toString(date, QStringLiteral("dd")); }

QString StoredDate(QDate date) { return EngineDate(date); }

std::optional<QDate> ParseStoredDate(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,2})[/.-](\d{1,2})[/.-](\d{4}|\d{2})\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int month = m.captured(1).toInt();
    const int day = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    // Qt would read a two-digit year as 19yy; stores from before the full
    // year was kept expect the usual window instead.
    if (m.capturedLength(3) == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!inCalendarRange(date))
        return std::nullopt;
    return date;
}

QString StoredToDisplay(const QString& stored)
{
    if (stored.isEmpty())
        return {};
    if (const auto date = ParseStoredDate(stored))
        return BirthDateDisplay(*date);
    return stored;
}

QString DisplayToStored(const QString& display)
{
    if (display.isEmpty())
        return {};
    if (const auto date = ParseBirthDateDisplay(display))
        return StoredDate(*date);
    return display;
}

} // namespace orvantis::datetext
