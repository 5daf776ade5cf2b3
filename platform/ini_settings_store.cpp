#include "platform/ini_settings_store.h"

#include "platform/logging.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFileInfo>

namespace orvantis {

namespace {

QString memoryName(const QString& section, const QString& key)
{
    return section.trimmed().toCaseFolded() + QChar(0) + key.trimmed().toCaseFolded();
}

// A write takes milliseconds; a copy this old was left by a write that
// never finished.
constexpr std::chrono::hours kLeftoverAge{1};

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : path_(std::move(filePath))
{
    for (const QString& copy : removeLeftoverCopies(path_, kLeftoverAge))
        qCInfo(lcSettings) << "removed a copy left by an unfinished write:" << copy;
    load();
}

QString IniSettingsStore::defaultFilePath()
{
    // The base directory rules: a relative XDG_CONFIG_HOME is ignored like an
    // empty one, or the settings would depend on the working folder.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/orvantis/orvantis.ini");
}

IniSettingsStore::Load IniSettingsStore::load()
{
    // A dangling link counts as missing: the write creates its target.
    const WholeFile file = readWholeFile(path_, kMaxFileSize);
    const auto unusable = [this](QString why) {
        qCInfo(lcSettings).noquote() << "the settings file" << path_ << "is left alone:" << why
                                     << "Settings live in memory for this run.";
        unusable_ = std::move(why);
        return Load::Unusable;
    };
    switch (file.status) {
    case WholeFile::Read:
        doc_ = ini::parseIni(file.bytes);
        return Load::Read;
    case WholeFile::Missing:
        doc_ = {};
        return Load::Missing;
    // Directories, pipes and devices are not settings files.
    case WholeFile::Folder:
    case WholeFile::NotOrdinary:
        return unusable(QStringLiteral("It is not an ordinary file."));
    case WholeFile::TooLarge:
        return unusable(QStringLiteral("It is too large to be a settings file."));
    case WholeFile::Failed:
        break;
    }
    return unusable(file.error);
}

std::optional<QString> IniSettingsStore::save() const
{
    QDir().mkpath(QFileInfo(path_).absolutePath()); // a failure shows up as a failed write
    return replaceFile(path_, doc_.serialise());
}

QString IniSettingsStore::ReadSetting(const QString& /*application*/, const QString& section,
                                      const QString& key) const
{
    if (!ini::IniDocument::canStore(section, key))
        return memoryOnly_.value(memoryName(section, key));
    return doc_.value(section, key).value_or(QString());
}

std::optional<SettingsWriteError> IniSettingsStore::WriteSetting(const QString& /*application*/,
                                                                 const QString& section,
                                                                 const QString& key,
                                                                 const QString& value)
{
    if (!ini::IniDocument::canStore(section, key)) {
        qCInfo(lcSettings) << "no file line can carry the name" << section << key
                           << "- its value lives in memory for this run.";
        memoryOnly_.insert(memoryName(section, key), value);
        return SettingsWriteError{path_, QStringLiteral("The name cannot be written to a file.")};
    }
    if (!unusable_ && load() != Load::Unusable) {
        for (const Write& w : unsaved_)
            doc_.setValue(w.section, w.key, w.value);
    }
    doc_.setValue(section, key, value);
    if (unusable_)
        return SettingsWriteError{path_, *unusable_};

    const QString name = memoryName(section, key);
    std::erase_if(unsaved_, [&](const Write& w) { return memoryName(w.section, w.key) == name; });
    unsaved_.push_back({section, key, value});
    if (const std::optional<QString> why = save())
        return SettingsWriteError{path_, *why};
    unsaved_.clear();
    return std::nullopt;
}

} // namespace orvantis
