#include "platform/whole_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvantis {

namespace {

// A rename reaches the disk with the folder that holds the file.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

WholeFile readWholeFile(const QString& path, qint64 maxBytes)
{
    // Opened without waiting, so that a pipe put in the file's place does not
    // hold the read up for ever; what it is, is asked of what was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // Nothing by that name, or a file where the path has a folder.
    if (fd < 0)
        return {errno == ENOENT || errno == ENOTDIR ? WholeFile::Missing : WholeFile::Failed, {},
                QString::fromLocal8Bit(std::strerror(errno))};
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {WholeFile::Failed, {}, QString::fromLocal8Bit(std::strerror(errno))};
    if (S_ISDIR(info.st_mode))
        return {WholeFile::Folder, {}, {}};
    if (!S_ISREG(info.st_mode))
        return {WholeFile::NotOrdinary, {}, {}};
    if (info.st_size > maxBytes)
        return {WholeFile::TooLarge, {}, {}};
    WholeFile read{WholeFile::Read, file.read(maxBytes + 1), {}};
    if (file.error() != QFileDevice::NoError)
        return {WholeFile::Failed, {}, file.errorString()};
    if (read.bytes.size() > maxBytes) // it grew meanwhile
        return {WholeFile::TooLarge, {}, {}};
    return read;
}

QString replacedFile(const QString& path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

std::optional<QString> replaceFile(const QString& path, const QByteArray& bytes)
{
    const QString target = replacedFile(path);
    struct stat old {};
    const bool exists = ::lstat(QFile::encodeName(target).constData(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode)) // a loop of links
        return QStringLiteral("It is a link that cannot be followed.");
    if (exists && !S_ISREG(old.st_mode))
        return QStringLiteral("It is not an ordinary file.");

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const auto fail = [&file](QString why) {
        file.cancelWriting(); // the temporary goes with `file`
        return std::optional<QString>(std::move(why));
    };
    // The copy belongs to whoever writes it. Written by root running with
    // this user's HOME, it would lock the user out of the file for good.
    if (exists && ::fchown(file.handle(), old.st_uid, old.st_gid) != 0
        && ::fchown(file.handle(), old.st_uid, gid_t(-1)) != 0)
        return fail(QStringLiteral("It belongs to another user."));
    // Qt 6.4's commit() ignores a failed flush of its own buffer (a full
    // disk), and would rename a cut or empty copy over the old file.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return file.errorString();
    syncFolder(QFileInfo(target).absolutePath());
    return std::nullopt;
}

QStringList removeLeftoverCopies(const QString& path, std::chrono::seconds age)
{
    const QFileInfo target(replacedFile(path));
    const QString prefix = target.fileName() + QLatin1Char('.');
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-age.count());
    QStringList removed;
    const auto copies = target.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& copy : copies) {
        const QString name = copy.fileName();
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)
            || !std::all_of(name.cbegin() + prefix.size(), name.cend(), isAsciiLetter))
            continue;
        if (copy.ownerId() == ::geteuid() && copy.lastModified() < before && QFile::remove(copy.filePath()))
            removed << copy.filePath();
    }
    return removed;
}

} // namespace orvantis
