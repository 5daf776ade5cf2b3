#include "platform/lockfile_single_instance.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace orvantis {

namespace {

// A claimer creates the lock file and opens its socket a moment later; a lock
// file younger than this is never taken over, however quiet its socket.
constexpr qint64 kStartGraceMs = 5000;

// Percent-encoding is one-to-one, so different titles or displays never share
// a marker, and the result is a plain file name.
QString fileNameFor(const QString& title, const QString& display)
{
    QByteArray name = "orvantis-" + QUrl::toPercentEncoding(title) + '@'
        + QUrl::toPercentEncoding(display);
    if (name.size() > 80) // keep the socket path within the system's limit
        name = "orvantis-" + QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(40);
    return QString::fromLatin1(name);
}

} // namespace

QString LockFileSingleInstance::displayName()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        return QStringLiteral("wayland:") + wayland;
    const QString x = qEnvironmentVariable("DISPLAY");
    static const QRegularExpression withScreen(QStringLiteral(R"(^(.*:\d+)\.\d+$)"));
    const QRegularExpressionMatch m = withScreen.match(x);
    return m.hasMatch() ? m.captured(1) : x;
}

QString LockFileSingleInstance::markerFolder()
{
    // Qt checks that the runtime folder belongs to us and is private (0700).
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    // Without one, a folder of our own in the temporary folder; one made by
    // somebody else under that name must not be used.
    const QString dir = QDir::tempPath() + QStringLiteral("/orvantis-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(dir);
    ::mkdir(native.constData(), 0700);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()
        || (st.st_mode & 077) != 0)
        return {};
    return dir;
}

LockFileSingleInstance::LockFileSingleInstance(const QString& fullTitle)
{
    const QString folder = markerFolder();
    if (!folder.isEmpty())
        base_ = folder + QLatin1Char('/') + fileNameFor(fullTitle, displayName());
}

LockFileSingleInstance::~LockFileSingleInstance() = default;

QString LockFileSingleInstance::lockFilePath() const
{
    return base_.isEmpty() ? QString() : base_ + QStringLiteral(".lock");
}

QString LockFileSingleInstance::serverPath() const
{
    return base_.isEmpty() ? QString() : base_ + QStringLiteral(".socket");
}

bool LockFileSingleInstance::TryClaim()
{
    if (lock_)
        return true;
    if (base_.isEmpty())
        return true;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // The lock guards the whole life of the program, so it never goes stale
    // by age; QLockFile still removes a lock whose process is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return true;
        if (!takeOverDeadLock())
            return false;
        if (!lock->tryLock(0))
            return lock->error() != QLockFile::LockFailedError;
    }
    lock_ = std::move(lock);
    listen();
    return true;
}

// Why a socket as well as the lock file: QLockFile takes a lock as live while a
// process with the recorded PID and the same program name exists. After an
// instance has been killed, its PID can be taken by another process of the
// same name (Orvantis on another display, or a second start that was refused
// a moment ago); the lock would then look alive for as long as that process
// runs, and Orvantis could not start on this display. The instance holding
// the lock listens on the socket, so a connection there confirms a live
// holder, and none means the lock is left over.
bool LockFileSingleInstance::holderAnswers() const
{
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    return socket.waitForConnected(1000);
}

// Removes a lock whose holder does not answer, when that is safe: only one
// starting process at a time looks (the ".rmlock" guard is the one QLockFile
// itself uses for stale locks), a lock newer than the start-up grace period
// belongs to a claimer that has not opened its socket yet, and
// removeStaleLockFile() only succeeds when no live process holds the kernel
// lock on the file.
bool LockFileSingleInstance::takeOverDeadLock()
{
    if (holderAnswers())
        return false;
    QLockFile guard(lockFilePath() + QStringLiteral(".rmlock"));
    if (!guard.tryLock(0))
        return false;
    const QFileInfo info(lockFilePath());
    if (!info.exists())
        return true; // gone meanwhile: just try again
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    if (age < kStartGraceMs || holderAnswers())
        return false;
    QLockFile old(lockFilePath());
    return old.removeStaleLockFile();
}

void LockFileSingleInstance::listen()
{
    server_ = std::make_unique<QLocalServer>();
    QLocalServer* server = server_.get();
    // A socket file left by a killed instance would block listen(); we hold
    // the lock, so any socket of this name is a leftover.
    QLocalServer::removeServer(serverPath());
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* peer = server->nextPendingConnection()) {
            peer->disconnectFromServer();
            peer->deleteLater();
        }
    });
    // Without the socket the lock still keeps other starts out; only the
    // recovery from a reused PID needs it.
    server->listen(serverPath());
}

} // namespace orvantis
