// The single-instance marker: one per desktop, in a folder of the user's own,
// and claims between real processes (this program started again with
// "--claim <title>").
#include "platform/lockfile_single_instance.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <optional>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using orvantis::LockFileSingleInstance;

namespace {

const QString kTitle = QStringLiteral("Orvantis - Lumevarre");

// The second program: says "ready", claims on a line of input, says "claimed"
// or "refused", and keeps a claim until its input closes or it is killed.
// It runs no event loop: connections to its socket wait in the backlog, and a
// connection is all a later start asks of a live holder.
int claimOnRequest(const QString& title)
{
    LockFileSingleInstance instance(title);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    char line[16];
    std::puts("ready");
    if (!std::fgets(line, sizeof line, stdin))
        return 2;
    const bool claimed = instance.TryClaim();
    std::puts(claimed ? "claimed" : "refused");
    while (claimed && std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

struct Probe : QProcess {
    explicit Probe(const QString& title = kTitle) { start(QCoreApplication::applicationFilePath(), {"--claim", title}); }
    ~Probe() override { closeWriteChannel(); waitForFinished(); }
    QString line()
    {
        while (!canReadLine() && waitForReadyRead(30000)) {
        }
        return QString::fromUtf8(readLine()).trimmed();
    }
    QString claim() { return line() == "ready" && write("go\n") == 3 ? line() : "<not ready>"; }
};

} // namespace

class InstanceTest : public QObject {
    Q_OBJECT
    const QByteArray tmp_ = qgetenv("TMPDIR");
    std::optional<QTemporaryDir> runtime_;

private slots:
    // The probes inherit this desktop.
    void init()
    {
        qputenv("TMPDIR", tmp_);
        runtime_.emplace(); // mode 0700, as a runtime folder must be
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
        qputenv("DISPLAY", ":7");
        qunsetenv("WAYLAND_DISPLAY");
    }

    void markerPerDesktop_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<bool>("shared"); // with kTitle on ":7"
        QTest::newRow("same display, other screen") << ":7.1" << "" << true;
        QTest::newRow("other display") << ":8" << "" << false;
        QTest::newRow("Wayland desktop") << ":7" << "wayland-1" << false;
    }
    void markerPerDesktop()
    {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(bool, shared);
        const QString first = LockFileSingleInstance(kTitle).lockFilePath();
        QCOMPARE(QFileInfo(first).path(), runtime_->path());
        qputenv("DISPLAY", display.toLocal8Bit());
        qputenv("WAYLAND_DISPLAY", wayland.toLocal8Bit());
        QCOMPARE(LockFileSingleInstance(kTitle).lockFilePath() == first, shared);
    }

    // Without XDG_RUNTIME_DIR the marker goes into the first of these folders
    // that is ours and private ("open": ours, mode 0755; "other": nobody's,
    // mode 0700). Without one, every claim succeeds.
    void markerFolderWithoutRuntimeDir_data()
    {
        QTest::addColumn<QString>("runtime"); // Qt's $TMPDIR/runtime-<user>
        QTest::addColumn<QString>("ours");    // $TMPDIR/orvantis-<uid>
        QTest::addColumn<QString>("cache");   // $XDG_CACHE_HOME/orvantis/run-<host>
        QTest::addColumn<QString>("expected");
        QTest::newRow("Qt's not private") << "open" << "" << "" << "/tmp/orvantis-UID";
        QTest::newRow("temporary ones not private") << "open" << "open" << "" << "/cache/orvantis/run-HOST";
        QTest::newRow("temporary ones someone else's") << "other" << "other" << "" << "/cache/orvantis/run-HOST";
        QTest::newRow("cache not private too") << "open" << "open" << "open" << "";
    }
    void markerFolderWithoutRuntimeDir()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, ours);
        QFETCH(QString, cache);
        QFETCH(QString, expected);
        if (runtime == "other" && ::geteuid() != 0)
            QSKIP("only root can make folders that belong to somebody else");
        const QTemporaryDir base;
        const QString uid = QString::number(::getuid());
        const QString host = QSysInfo::machineHostName();
        const auto take = [](const QString& how, const QString& dir) {
            const QByteArray name = QFile::encodeName(dir);
            QVERIFY(how.isEmpty()
                    || (QDir().mkpath(dir) && ::chmod(name.constData(), how == "open" ? 0755 : 0700) == 0));
            QVERIFY(how != "other" || ::chown(name.constData(), 65534, 65534) == 0);
        };
        take(runtime, base.path() + "/tmp/runtime-" + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name));
        take(ours, base.path() + "/tmp/orvantis-" + uid);
        take(cache, base.path() + "/cache/orvantis/run-" + host);
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(base.path() + "/tmp"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(base.path() + "/cache"));
        QCOMPARE(LockFileSingleInstance::markerFolder(),
                 expected.isEmpty() ? "" : base.path() + QString(expected).replace("UID", uid).replace("HOST", host));
        QVERIFY(LockFileSingleInstance(kTitle).TryClaim());
    }

    void exactlyOneOfTenClaims()
    {
        Probe probes[10];
        for (Probe& probe : probes)
            QCOMPARE(probe.line(), "ready");
        for (Probe& probe : probes) // as close together as we can make it
            probe.write("go\n");
        QStringList answers;
        for (Probe& probe : probes)
            answers << probe.line();
        answers.sort();
        QCOMPARE(answers, QStringList{"claimed"} + QStringList(9, "refused"));
    }

    // A killed holder's lock stays behind. So does a lock whose recorded PID
    // now belongs to another live process of the same program, which looks
    // alive to QLockFile: the silent socket gives it away, unless the lock is
    // so new that its owner may still be starting.
    void leftoverLock_data()
    {
        QTest::addColumn<int>("ageSeconds"); // of the copied lock; -1: the holder is killed
        QTest::addColumn<QString>("expected");
        QTest::newRow("killed holder") << -1 << "claimed";
        QTest::newRow("old lock, PID reused, nobody answering") << 60 << "claimed";
        QTest::newRow("new lock, owner still starting") << 0 << "refused";
    }
    void leftoverLock()
    {
        QFETCH(int, ageSeconds);
        QFETCH(QString, expected);
        // Another title has a marker of its own, copied over ours below.
        const QString title = ageSeconds < 0 ? kTitle : QStringLiteral("Another title");
        Probe holder(title);
        QCOMPARE(holder.claim(), "claimed");
        if (ageSeconds < 0) {
            holder.kill(); // SIGKILL: no clean-up of any kind
            holder.waitForFinished();
        } else {
            const QString ours = LockFileSingleInstance(kTitle).lockFilePath();
            QVERIFY(QFile::copy(LockFileSingleInstance(title).lockFilePath(), ours)); // same PID and program
            QFile lock(ours);
            QVERIFY(lock.open(QIODevice::ReadWrite)
                    && lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                        QFileDevice::FileModificationTime));
        }
        Probe next;
        QCOMPARE(next.claim(), expected);
        if (expected == "claimed") // and holds it
            QCOMPARE(Probe().claim(), "refused");
    }

    // A refused start asks the holder for its window with "show\n" on the
    // holder's socket. The holder reads without waiting and closes every
    // connection soon, acting only on that exact request: no peer can make it
    // hang, act, or run out of connections.
    void requestsToTheHolder_data()
    {
        QTest::addColumn<int>("waiting"); // silent connections opened before
        QTest::addColumn<QByteArrayList>("sent"); // by one peer, piece by piece
        QTest::addColumn<int>("shows");
        QTest::newRow("the request in pieces") << 0 << QByteArrayList{"sh", "ow\n"} << 1;
        QTest::newRow("something else") << 0 << QByteArrayList{"shoe\n"} << 0;
        QTest::newRow("a flood") << 0 << QByteArrayList{QByteArray(1 << 20, 's')} << 0;
        QTest::newRow("silence") << 0 << QByteArrayList{} << 0;
        QTest::newRow("the request while four wait") << 4 << QByteArrayList{"show\n"} << 0;
    }
    void requestsToTheHolder()
    {
        QFETCH(int, waiting);
        QFETCH(QByteArrayList, sent);
        QFETCH(int, shows);
        LockFileSingleInstance holder(kTitle);
        QVERIFY(holder.TryClaim());
        QSignalSpy asked(&holder, &LockFileSingleInstance::showRequested);
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(holder.serverPath()).constData(), sizeof address.sun_path);
        QList<int> peers; // the silent ones, then the one that sends; accepted in this order
        for (int i = 0; i <= waiting; ++i) {
            peers << ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            QVERIFY(::connect(peers.last(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        }
        for (const QByteArray& piece : sent) {
            ::send(peers.last(), piece.constData(), size_t(piece.size()), MSG_NOSIGNAL);
            QTest::qWait(50);
        }
        // The holder sends nothing: a read ends at the connection's end.
        const auto closed = [&] { char byte; return ::recv(peers.last(), &byte, 1, 0) >= 0 || errno != EAGAIN; };
        for (int i = 0; i < 300 && !closed(); ++i)
            QTest::qWait(10);
        QVERIFY2(closed(), "the holder kept the connection");
        QCOMPARE(asked.size(), shows);
        for (int fd : peers)
            ::close(fd);
        QTest::qWait(50);
        // A refused start is heard, before and after anything a row sent: its
        // check that the holder lives asks for nothing, its request once.
        LockFileSingleInstance refused(kTitle);
        QVERIFY(!refused.TryClaim());
        QVERIFY(refused.AskHolderToShow());
        QTest::qWait(100);
        QCOMPARE(asked.size(), shows + 1);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--claim") == 0)
        return claimOnRequest(QString::fromLocal8Bit(argv[2]));
    InstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "instance_test.moc"
