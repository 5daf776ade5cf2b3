// The date texts the main window shows, stores and hands to the number engine.
//
// What the user sees is always English ("July 04, 1976", "July 04"), so the
// program reads its own boxes back the same way in every locale. The engine
// wants digits: "mm/dd/yyyy", "mm/dd" and "dd". The settings store keeps the
// birth date as "mm/dd/yyyy"; older stores hold "mm/dd/yy", which is still
// read, with 00-29 taken as 2000-2029 and 30-99 as 1930-1999.
#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace orvantis::datetext {

// The range the drop-down calendars offer; a stored date outside it counts
// as unreadable.
inline QDate FirstDate() { return {1753, 1, 1}; }
inline QDate LastDate() { return {9999, 12, 31}; }

// "MMMM dd, yyyy", e.g. "July 04, 1976" (the birth-date box).
QString BirthDateDisplay(QDate date);
// "MMMM dd", e.g. "July 04" (the day box).
QString DayDisplay(QDate date);
// Reads a birth-date box text back; nullopt for anything that is not exactly
// a date written by BirthDateDisplay (empty, damaged or out-of-range text).
std::optional<QDate> ParseBirthDateDisplay(const QString& text);

// Engine forms: "mm/dd/yyyy", "mm/dd", "dd".
QString EngineDate(QDate date);
QString EngineMonthDay(QDate date);
QString EngineDay(QDate date);

// The stored form, "mm/dd/yyyy" (the full year, so 1925 comes back as 1925).
QString StoredDate(QDate date);
// Reads a stored date: month, day and year separated by "/" (or "-", "."),
// month and day with one or two digits, the year with two or four.
std::optional<QDate> ParseStoredDate(const QString& text);

// A stored value as the birth-date box shows it: "" stays "", a readable date
// is written "MMMM dd, yyyy", anything else is passed on unchanged.
QString StoredToDisplay(const QString& stored);
// The birth-date box text as it is stored: "" stays "", a date is written
// "mm/dd/yyyy", anything else is passed on unchanged so nothing is lost.
QString DisplayToStored(const QString& display);

} // namespace orvantis::datetext
