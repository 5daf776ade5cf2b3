#include "platform/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace orvantis {

namespace {

QString memoryName(const QString& section, const QString& key)
{
    return section.trimmed().toCaseFolded() + QChar(0) + key.trimmed().toCaseFolded();
}

// A rename reaches the disk with the directory that holds the file.
void syncDirectory(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : path_(std::move(filePath))
{
    load();
}

QString IniSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/orvantis/orvantis.ini");
}

IniSettingsStore::Load IniSettingsStore::load()
{
    const QFileInfo info(path_);
    if (!info.exists()) { // a dangling link counts as missing: the write creates its target
        doc_ = {};
        return Load::Missing;
    }
    // Directories, pipes and devices are not settings files; a pipe could
    // also block the read for ever.
    if (!info.isFile() || info.size() > kMaxFileSize) {
        usable_ = false;
        return Load::Unusable;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        usable_ = false;
        return Load::Unusable;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) {
        usable_ = false;
        return Load::Unusable;
    }
    doc_ = ini::parseIni(bytes);
    return Load::Read;
}

bool IniSettingsStore::save() const
{
    const QString dir = QFileInfo(path_).absolutePath();
    QDir().mkpath(dir); // a failure shows up as a failed open below
    // QSaveFile writes a temporary file beside the old one and renames it over
    // the old one on commit; it never writes into the old file itself, so a
    // failure at any point leaves the old file whole.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = doc_.serialise();
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting(); // the temporary file goes with `file`
        return false;
    }
    if (!file.commit())
        return false;
    syncDirectory(dir);
    return true;
}

QString IniSettingsStore::ReadSetting(const QString& /*application*/, const QString& section,
                                      const QString& key) const
{
    if (!ini::IniDocument::canStore(section, key))
        return memoryOnly_.value(memoryName(section, key));
    return doc_.value(section, key).value_or(QString());
}

void IniSettingsStore::WriteSetting(const QString& /*application*/, const QString& section,
                                    const QString& key, const QString& value)
{
    if (!ini::IniDocument::canStore(section, key)) {
        memoryOnly_.insert(memoryName(section, key), value);
        return;
    }
    if (usable_ && load() != Load::Unusable) {
        for (const Write& w : unsaved_)
            doc_.setValue(w.section, w.key, w.value);
    }
    doc_.setValue(section, key, value);
    if (!usable_)
        return;

    const QString name = memoryName(section, key);
    std::erase_if(unsaved_, [&](const Write& w) { return memoryName(w.section, w.key) == name; });
    unsaved_.push_back({section, key, value});
    if (save())
        unsaved_.clear();
}

} // namespace orvantis
