#include "platform/lockfile_single_instance.h"

#include "platform/logging.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace orvantis {

namespace {

// A claimer creates the lock file and opens its socket a moment later; a lock
// file younger than this is never taken over, however quiet its socket.
constexpr qint64 kStartGraceMs = 5000;

// The one request a refused start makes (its length without the NUL), and
// how the holder bounds what peers can cost it.
constexpr char kShowRequest[] = "show\n";
constexpr std::size_t kShowRequestLength = sizeof kShowRequest - 1;
constexpr int kMaxOpenPeers = 4;
constexpr int kPeerTimeoutMs = 2000;
constexpr int kAcceptsPerWake = 16; // then the event loop runs again

// The socket's address, or nullopt when the path does not fit in one.
std::optional<sockaddr_un> socketAddress(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    if (native.isEmpty() || static_cast<std::size_t>(native.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return address;
}

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
    // "host:1.0" and "host:1" are the same display: the screen number, a
    // ".<digits>" after the display number, is dropped. Plain string work
    // rather than a regular expression: compiling one at start-up cost about
    // 0.4 MB of resident memory (the pattern engine's JIT) for this one test.
    const QString x = qEnvironmentVariable("DISPLAY");
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    const qsizetype dot = x.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 == x.size() || !std::all_of(x.begin() + dot + 1, x.end(), isDigit))
        return x;
    qsizetype colon = dot;
    while (colon > 0 && isDigit(x[colon - 1]))
        --colon;
    if (colon == dot || colon == 0 || x[colon - 1] != QLatin1Char(':'))
        return x;
    return x.left(dot);
}

namespace {

// `dir`, made if missing (its parents as usual, itself private), when it is a
// real folder of this user's that nobody else may enter; else nothing. A
// folder of that name that somebody else made must not hold our marker.
std::optional<QString> privateFolder(const QString& dir)
{
    QDir().mkpath(QFileInfo(dir).absolutePath());
    const QByteArray native = QFile::encodeName(dir);
    ::mkdir(native.constData(), 0700);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()
        || (st.st_mode & 077) != 0)
        return std::nullopt;
    return dir;
}

} // namespace

QString LockFileSingleInstance::markerFolder()
{
    // The session's runtime folder; Qt checks that it belongs to us and is
    // private (0700). Without XDG_RUNTIME_DIR, Qt tries a folder of its own
    // in the temporary folder.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    // Then one of ours there; both can be taken by somebody else already.
    std::optional<QString> folder = privateFolder(QDir::tempPath() + QStringLiteral("/orvantis-")
                                                  + QString::number(::getuid()));
    // Last, a folder in the user's cache folder, which nobody else can take.
    // The cache may be shared by several machines (a home folder on the
    // network), so each machine has a folder of its own there.
    if (!folder) {
        QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
        if (!QDir::isAbsolutePath(cache))
            cache = QDir::homePath() + QStringLiteral("/.cache");
        folder = privateFolder(cache + QStringLiteral("/orvantis/run-") + QSysInfo::machineHostName());
    }
    qCInfo(lcInstance) << "no usable runtime folder; the running-instance marker goes to"
                       << folder.value_or(QStringLiteral("no folder at all"));
    return folder.value_or(QString());
}

LockFileSingleInstance::LockFileSingleInstance(const QString& fullTitle)
{
    const QString folder = markerFolder();
    if (!folder.isEmpty())
        base_ = folder + QLatin1Char('/') + fileNameFor(fullTitle, displayName());
}

LockFileSingleInstance::~LockFileSingleInstance()
{
    delete notifier_;
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(QFile::encodeName(serverPath()).constData());
    }
}

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
    const auto startWithout = [this](const char* why) {
        qCInfo(lcInstance).noquote() << "starting without a running-instance marker:" << why
                                     << lockFilePath();
        return true;
    };
    if (base_.isEmpty())
        return startWithout("there is no folder for it");
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // The lock guards the whole life of the program, so it never goes stale
    // by age; QLockFile still removes a lock whose process is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return startWithout("it cannot be made");
        if (!takeOverDeadLock())
            return false;
        qCInfo(lcInstance).noquote() << "took over a marker whose holder no longer answers:"
                                     << lockFilePath();
        if (!lock->tryLock(0))
            return lock->error() == QLockFile::LockFailedError ? false : startWithout("it cannot be made");
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
    const int fd = connectToHolder();
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

// A connection to the holder's socket, or -1. A listening holder accepts at
// once; only a full backlog makes the connect wait, and then for a second at
// most.
int LockFileSingleInstance::connectToHolder() const
{
    const std::optional<sockaddr_un> address = socketAddress(serverPath());
    if (!address)
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval limit{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool LockFileSingleInstance::AskHolderToShow()
{
    const int fd = connectToHolder();
    if (fd < 0)
        return false;
    // Five bytes fit in any socket buffer: the send does not wait for the
    // holder to read them. A holder gone meanwhile must not end us (SIGPIPE).
    const bool sent = ::send(fd, kShowRequest, kShowRequestLength, MSG_NOSIGNAL)
                      == static_cast<ssize_t>(kShowRequestLength);
    ::close(fd);
    qCInfo(lcInstance) << "asked the running instance for its window:" << (sent ? "sent" : "not sent");
    return sent;
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

// A plain Unix socket rather than QLocalServer: linking Qt Network for this
// one socket cost every start about 1.5 MB of resident memory and a dozen
// more libraries to load (Kerberos, GSSAPI, libproxy).
void LockFileSingleInstance::listen()
{
    const std::optional<sockaddr_un> address = socketAddress(serverPath());
    if (!address)
        return;
    // A socket file left by a killed instance would block bind(); we hold
    // the lock, so any socket of this name is a leftover.
    ::unlink(address->sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    // Without the socket the lock still keeps other starts out; only the
    // recovery from a reused PID needs it.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0
        || ::listen(fd, 16) != 0) {
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &LockFileSingleInstance::acceptPeers);
}

// One connection to the holder's socket. It is read whenever bytes are there
// and never waited on; it ends at the first byte that differs from the
// request, at the end of the request, when the peer closes, or at its time
// limit. A start that only checks the holder is alive connects and closes.
class LockFileSingleInstance::Peer final : public QObject {
public:
    Peer(int fd, LockFileSingleInstance* holder)
        : QObject(&holder->peers_), holder_(holder), fd_(fd), notifier_(fd, QSocketNotifier::Read)
    {
        ++holder_->openPeers_;
        connect(&notifier_, &QSocketNotifier::activated, this, &Peer::read);
        QTimer::singleShot(kPeerTimeoutMs, this, &Peer::finish);
    }
    ~Peer() override { close(); }

private:
    void read()
    {
        char bytes[kShowRequestLength];
        const ssize_t count = ::recv(fd_, bytes, kShowRequestLength - received_, MSG_DONTWAIT);
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        const auto length = static_cast<std::size_t>(std::max<ssize_t>(count, 0));
        if (length == 0 || std::memcmp(bytes, kShowRequest + received_, length) != 0) {
            if (received_ + length > 0)
                qCInfo(lcInstance) << "a peer sent something other than a request: dropped";
            finish();
            return;
        }
        received_ += length;
        if (received_ == kShowRequestLength) {
            finish();
            qCInfo(lcInstance) << "a refused start asked for the window";
            Q_EMIT holder_->showRequested();
        }
    }
    void close()
    {
        if (fd_ < 0)
            return;
        notifier_.setEnabled(false);
        ::close(fd_);
        fd_ = -1;
        --holder_->openPeers_;
    }
    void finish()
    {
        close();
        deleteLater();
    }

    LockFileSingleInstance* holder_;
    int fd_;
    QSocketNotifier notifier_;
    std::size_t received_ = 0;
};

void LockFileSingleInstance::acceptPeers()
{
    // A bounded number per wake-up, so that a flood of connections cannot
    // keep the event loop here.
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        const int peer = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0)
            return;
        ucred credentials{};
        socklen_t size = sizeof credentials;
        const bool sameUser = ::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
                              && credentials.uid == ::getuid();
        if (!sameUser || openPeers_ >= kMaxOpenPeers) {
            qCInfo(lcInstance) << "connection refused:" << (sameUser ? "too many open" : "another user");
            ::close(peer);
            continue;
        }
        new Peer(peer, this);
    }
}

} // namespace orvantis
