// The date texts the main window shows and stores, around the core's date
// value (reports/reading.h).
//
// What the user sees is always English ("July 04, 1976", "July 04"), so the
// window reads its own boxes back the same way in every locale. The settings
// store keeps the birth date as "mm/dd/yyyy"; older stores hold "mm/dd/yy",
// which is still read, with 00-29 taken as 2000-2029 and 30-99 as 1930-1999.
#pragma once

#include "reports/reading.h"

#include <QDate>
#include <QString>

#include <chrono>
#include <optional>

namespace orvantis::datetext {

reading::Date toReading(QDate date);
QDate fromReading(const reading::Date& date);
std::chrono::month_day monthDay(QDate date);

// "MMMM dd, yyyy", e.g. "July 04, 1976" (the birth-date box).
QString BirthDateDisplay(QDate date);
// "MMMM dd", e.g. "July 04" (the day box).
QString DayDisplay(QDate date);
// Reads a birth-date box text back; nullopt for anything that is not exactly
// a date written by BirthDateDisplay (empty, damaged or out-of-range text).
std::optional<QDate> ParseBirthDateDisplay(const QString& text);

// A stored value as the birth-date box shows it: "" stays "", a readable
// date (month, day and year separated by "/", "-" or "."; month and day of
// one or two digits, the year of two or four) is written "MMMM dd, yyyy",
// anything else is passed on unchanged.
QString StoredToDisplay(const QString& stored);
// The birth-date box text as it is stored: "" stays "", a date is written
// "mm/dd/yyyy" (the full year, so 1925 comes back as 1925), anything else is
// passed on unchanged so nothing is lost.
QString DisplayToStored(const QString& display);

} // namespace orvantis::datetext
