#include "mainwindow/saved_settings.h"

#include "look/look.h"
#include "mainwindow/date_texts.h"
#include "platform/desktop_services.h"
#include "platform/settings_store.h"

namespace orvantis {

namespace {
constexpr char kApplication[] = "Orvantis";
constexpr char kStartup[] = "Startup";
constexpr char kStartUp[] = "StartUp";
constexpr char kOption[] = "StartUpOption";
constexpr char kDate[] = "StartUpDate";
constexpr char kDateAsLoaded[] = "StartUpdate";
} // namespace

SavedBirthDate::SavedBirthDate(SettingsStore& store, MessageBoxes& messages, QWidget* window)
    : store_(store), messages_(messages), window_(window)
{
}

// Exactly "1": no blanks, no other spellings of "yes".
bool SavedBirthDate::SavingOn() const { return read(kStartup, kOption) == QLatin1String("1"); }

QString SavedBirthDate::StoredDate() const
{
    return datetext::StoredToDisplay(read(kStartUp, kDateAsLoaded));
}

bool SavedBirthDate::StoreOption(bool on)
{
    return write(kStartUp, kOption, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SavedBirthDate::StoreDate(const QString& birthBox)
{
    return write(kStartUp, kDate, datetext::DisplayToStored(birthBox));
}

bool SavedBirthDate::StorePickedDate(const QString& birthBox)
{
    return write(kStartup, kDate, datetext::DisplayToStored(birthBox));
}

QString SavedBirthDate::read(const char* section, const char* key) const
{
    return store_.ReadSetting(QString::fromLatin1(kApplication), QString::fromLatin1(section),
                              QString::fromLatin1(key));
}

bool SavedBirthDate::write(const char* section, const char* key, const QString& value)
{
    const std::optional<SettingsWriteError> error = store_.WriteSetting(
        QString::fromLatin1(kApplication), QString::fromLatin1(section), QString::fromLatin1(key), value);
    if (error)
        messages_.Warning(window_, look::appTitle(),
                          QStringLiteral("The birth date setting could not be saved in %1:\n%2")
                              .arg(error->file, error->reason));
    return !error;
}

} // namespace orvantis
