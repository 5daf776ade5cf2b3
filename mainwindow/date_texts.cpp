#include "mainwindow/date_texts.h"

#include "engine/text_fields.h"

#include <QStringList>

namespace orvantis::datetext {

namespace {

QString monthName(int month)
{
    const std::string_view name = reading::MonthName(std::chrono::month(unsigned(month)));
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// A field of `minDigits` to `maxDigits` ASCII digits as a whole number, else -1.
int digits(QStringView field, qsizetype minDigits, qsizetype maxDigits)
{
    // Latin-1 keeps one byte per character, and makes every letter that is
    // not Latin-1 a "?", which is no digit either.
    const QByteArray bytes = field.toLatin1();
    return text::DigitField(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                            std::size_t(minDigits), std::size_t(maxDigits));
}

std::optional<QDate> inRange(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || !reading::InCalendarRange(toReading(date)))
        return std::nullopt;
    return date;
}

std::optional<QDate> parseStored(const QString& text)
{
    const QString trimmed = text.trimmed();
    QStringList fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
            fields << trimmed.sliced(start, i - start);
            start = i + 1;
        }
    }
    fields << trimmed.sliced(start);
    if (fields.size() != 3)
        return std::nullopt;
    const int month = digits(fields[0], 1, 2);
    const int day = digits(fields[1], 1, 2);
    int year = fields[2].size() == 3 ? -1 : digits(fields[2], 2, 4);
    if (month < 0 || day < 0 || year < 0)
        return std::nullopt;
    // Qt would read a two-digit year as 19yy; stores from before the full
    // year was kept expect the usual window instead.
    if (fields[2].size() == 2)
        year += year < 30 ? 2000 : 1900;
    return inRange(year, month, day);
}

} // namespace

reading::Date toReading(QDate date)
{
    return std::chrono::year(date.year()) / std::chrono::month(unsigned(date.month()))
           / std::chrono::day(unsigned(date.day()));
}

QDate fromReading(const reading::Date& date)
{
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day()))};
}

std::chrono::month_day monthDay(QDate date)
{
    return std::chrono::month(unsigned(date.month())) / std::chrono::day(unsigned(date.day()));
}

QString BirthDateDisplay(QDate date)
{
    return QStringLiteral("%1 %2, %3").arg(monthName(date.month()), twoDigits(date.day())).arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString DayDisplay(QDate date) { return monthName(date.month()) + QLatin1Char(' ') + twoDigits(date.day()); }

std::optional<QDate> ParseBirthDateDisplay(const QString& text)
{
    // "<month> dd, yyyy" exactly as BirthDateDisplay writes it.
    for (int month = 1; month <= 12; ++month) {
        const QString name = monthName(month) + QLatin1Char(' ');
        if (!text.startsWith(name))
            continue;
        const QStringView rest = QStringView(text).sliced(name.size());
        if (rest.size() != 8 || rest.mid(2, 2) != QLatin1String(", "))
            return std::nullopt;
        const int day = digits(rest.first(2), 2, 2);
        const int year = digits(rest.last(4), 4, 4);
        if (day < 0 || year < 0)
            return std::nullopt;
        return inRange(year, month, day);
    }
    return std::nullopt;
}

QString StoredToDisplay(const QString& stored)
{
    if (stored.isEmpty())
        return {};
    if (const auto date = parseStored(stored))
        return BirthDateDisplay(*date);
    return stored;
}

QString DisplayToStored(const QString& display)
{
    if (display.isEmpty())
        return {};
    if (const auto date = ParseBirthDateDisplay(display))
        return QString::fromLatin1(reading::EngineDate(toReading(*date)).chars);
    return display;
}

} // namespace orvantis::datetext
