// The per-user settings store kept in a small INI file of our own, by default
// $XDG_CONFIG_HOME/orvantis/orvantis.ini.
//
// Why not QSettings: on Linux it matches names with regard to case, keeps
// changes in memory until sync(), and rewrites the file from what it could
// parse, dropping comments and lines it does not understand. This store
// matches names without regard to case, writes every value to disk before
// WriteSetting returns, and changes only the one line that holds the value
// (the file format is described in platform/ini_document.h).
//
// The application name: one file holds the settings of one application, and
// the file's path already says whose they are, so the application argument
// does not select anything; Orvantis has only the one name, "Orvantis".
//
// Reading and writing:
//   - The file is read once at construction. Before each write it is read
//     again, so that changes made to the file by hand meanwhile are kept, not
//     overwritten with an old copy.
//   - A write replaces the file atomically (platform/whole_file.h: write a
//     temporary file, flush it to disk, rename it over the old one, flush
//     the directory), keeping the file's owner. A failed write (read-only
//     directory, full disk, somebody else's file) leaves the old file as it
//     was; the value is kept in memory for this run and written with the
//     next write that succeeds. WriteSetting says what failed.
//   - Temporary copies that a killed write left beside the file are removed
//     at construction once they are an hour old.
//   - A file that exists but cannot be read (no permission, a directory or
//     other non-regular file, a read error, or larger than kMaxFileSize) is
//     never written: from then on, values live in memory for this run only
//     and reads of anything not written in this run give "".
//   - Section or key names that a file line cannot carry (see
//     IniDocument::canStore) are kept in memory only.
//   - The folder of the file is created when it is missing.
#pragma once

#include "platform/ini_document.h"
#include "platform/settings_store.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace orvantis {

class IniSettingsStore final : public SettingsStore {
public:
    // A settings file beyond this size is taken as damaged and left alone.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    explicit IniSettingsStore(QString filePath);

    // $XDG_CONFIG_HOME/orvantis/orvantis.ini; ~/.config stands in for an unset,
    // empty or relative XDG_CONFIG_HOME.
    static QString defaultFilePath();

    QString ReadSetting(const QString& application, const QString& section,
                        const QString& key) const override;
    std::optional<SettingsWriteError> WriteSetting(const QString& application,
                                                   const QString& section, const QString& key,
                                                   const QString& value) override;

private:
    struct Write {
        QString section;
        QString key;
        QString value;
    };
    enum class Load { Missing, Read, Unusable };
    Load load();
    // Why the file could not be written, or nothing.
    std::optional<QString> save() const;

    QString path_;
    std::optional<QString> unusable_; // why the file is left alone, once it is
    ini::IniDocument doc_;
    std::vector<Write> unsaved_;       // applied to doc_ but not yet on disk
    QHash<QString, QString> memoryOnly_; // names no file line can carry
};

} // namespace orvantis
