// Where the main window remembers the birth date between runs: two values of
// application "Orvantis" in the per-user settings store.
//
//   StartUpOption   "1": show the stored birth date at start and check
//                   "&Save Birthdate"; anything else: don't.
//   StartUpDate     the birth date, "mm/dd/yyyy" (older files: "mm/dd/yy"),
//                   or empty.
//
// The section and the date key are spelled two ways: the load reads the
// option from "Startup" and the date as "StartUpdate" from "StartUp"; the menu
// command writes both to "StartUp"; a date pick writes "StartUpDate" to
// "Startup". The store matches names without regard to case, so each pair
// names one section and one key; every operation keeps the spelling that
// files written by earlier releases were read and written with.
#pragma once

#include <QString>

class QWidget;

namespace orvantis {

class MessageBoxes;
class SettingsStore;

class SavedBirthDate {
public:
    // Failed writes are reported in a message box over `window`.
    SavedBirthDate(SettingsStore& store, MessageBoxes& messages, QWidget* window);

    // At load: whether saving is on (the option is exactly "1"), and the
    // stored date as the birth-date box shows it.
    bool SavingOn() const;
    QString StoredDate() const;

    // Each write returns whether the value reached the store; when it did
    // not, the user has been told which file and why.
    bool StoreOption(bool on);
    // From the menu command: the birth-date box's text, or "" to clear it.
    bool StoreDate(const QString& birthBox);
    // From a pick in the birth-date calendar.
    bool StorePickedDate(const QString& birthBox);

private:
    QString read(const char* section, const char* key) const;
    bool write(const char* section, const char* key, const QString& value);

    SettingsStore& store_;
    MessageBoxes& messages_;
    QWidget* window_;
};

} // namespace orvantis
