// Per-user settings: text values addressed by application, section and key.
// Names are matched without regard to letter case ("Startup" and "StartUp"
// are one section); a missing application, section or key reads as "".
#pragma once

#include <QString>

#include <optional>

namespace orvantis {

// Why a value did not reach durable storage: where it was to go and what
// the system said.
struct SettingsWriteError {
    QString file;
    QString reason;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString ReadSetting(const QString& application, const QString& section,
                                const QString& key) const = 0;
    // Creates the section and key when missing, replaces an earlier value, and
    // has reached durable storage when it returns. When it could not get
    // there, says why; the value then lives in memory for this run.
    virtual std::optional<SettingsWriteError> WriteSetting(const QString& application,
                                                           const QString& section,
                                                           const QString& key,
                                                           const QString& value) = 0;
};

} // namespace orvantis
