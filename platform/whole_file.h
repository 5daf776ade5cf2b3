// Files read and replaced whole: the settings file, the help file and what
// it shows, saved readings.
//
// A read takes ordinary files only, within a size limit, and never waits on
// a pipe or device put in a file's place. A replacement writes the new bytes
// to a temporary file beside the old one, which reach the disk and only then
// take the old file's name; so a full disk, a crash or a kill at any moment
// leaves the old file or the new one, never a cut or empty one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace orvantis {

// What reading a file whole found.
struct WholeFile {
    enum Status { Read, Missing, Folder, NotOrdinary, TooLarge, Failed };
    Status status = Failed;
    QByteArray bytes; // when Read
    QString error;    // when Failed: the system's reason, e.g. "Permission denied"
};

// Reads the file at `path` (a symbolic link is followed; a dangling one is
// Missing) when it is an ordinary file of at most `maxBytes`.
WholeFile readWholeFile(const QString& path, qint64 maxBytes);

// The file a save to `path` really replaces, as an absolute path: a symbolic
// link is followed to its target, and the link itself stays a link.
QString replacedFile(const QString& path);

// Writes `bytes` as the whole new content of replacedFile(path), with the
// old file's permissions and owner. Refuses, leaving everything as it was:
// anything that is not an ordinary file (a pipe or device would be turned
// into one), and a file whose owner the new copy could not keep (somebody
// else's file: only root can give the copy to its owner). Says why it
// failed, or nothing.
std::optional<QString> replaceFile(const QString& path, const QByteArray& bytes);

// Removes the temporary copies that a replaceFile cut short by a kill left
// beside replacedFile(path): our own ordinary files named like Qt's
// temporaries ("orvantis.ini.AbCdEf": the name, a dot, six ASCII letters)
// and last changed more than `age` ago, so that another instance writing
// right now keeps its copy. Returns the paths removed.
QStringList removeLeftoverCopies(const QString& path, std::chrono::seconds age);

} // namespace orvantis
