// The single-instance marker between real processes (instance_probe).
#include "platform/lockfile_single_instance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

const QString kTitle = QStringLiteral("Orvantis - Lumevarre");

QProcessEnvironment desktop(const QString& runtimeDir, const QString& display = ":7", const QString& wayland = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    env.insert("DISPLAY", display);
    env.remove("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        env.insert("WAYLAND_DISPLAY", wayland);
    return env;
}

// One started instance_probe; closing its input ends it.
class Probe {
public:
    Probe(const QProcessEnvironment& env, const QString& title = kTitle)
    {
        process_.setProcessEnvironment(env);
        process_.start(INSTANCE_PROBE, {title});
    }
    ~Probe()
    {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished();
    }
    QString line()
    {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(30000))
                return QStringLiteral("<no answer>");
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    void go() { process_.write("go\n"); }
    QString claim() { return line() == "ready" ? (go(), line()) : QStringLiteral("<not ready>"); }
    void killHard() // SIGKILL: no clean-up of any kind
    {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

std::unique_ptr<QTemporaryDir> runtimeDir() // mode 0700, as the runtime folder must be
{
    return std::make_unique<QTemporaryDir>(QDir::tempPath() + "/orvantis-run-XXXXXX");
}

} // namespace

class InstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartOnTheSameDesktopIsRefused_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<bool>("ownRuntimeDir");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("same desktop") << ":7" << "" << false << kTitle << "refused";
        QTest::newRow("same display, other screen") << ":7.1" << "" << false << kTitle << "refused";
        QTest::newRow("other display") << ":8" << "" << false << kTitle << "claimed";
        QTest::newRow("Wayland desktop") << ":7" << "wayland-1" << false << kTitle << "claimed";
        QTest::newRow("other runtime folder") << ":7" << "" << true << kTitle << "claimed";
        QTest::newRow("other title") << ":7" << "" << false << "Orvantis" << "claimed";
    }
    void secondStartOnTheSameDesktopIsRefused()
    {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(bool, ownRuntimeDir);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        const auto dir = runtimeDir();
        const auto otherDir = runtimeDir();
        Probe first(desktop(dir->path()));
        QCOMPARE(first.claim(), "claimed");
        Probe second(desktop((ownRuntimeDir ? otherDir : dir)->path(), display, wayland), title);
        QCOMPARE(second.claim(), expected);
    }

    void killedInstanceLeavesNoLastingLock()
    {
        const auto dir = runtimeDir();
        Probe first(desktop(dir->path()));
        QCOMPARE(first.claim(), "claimed");
        first.killHard();
        QCOMPARE(QDir(dir->path()).entryList({"*.lock"}).size(), 1); // left behind
        Probe next(desktop(dir->path()));
        QCOMPARE(next.claim(), "claimed");
        Probe third(desktop(dir->path()));
        QCOMPARE(third.claim(), "refused");
    }

    void exactlyOneOfTwentyClaims()
    {
        const auto dir = runtimeDir();
        std::vector<std::unique_ptr<Probe>> probes;
        for (int i = 0; i < 20; ++i)
            probes.push_back(std::make_unique<Probe>(desktop(dir->path())));
        for (auto& probe : probes)
            QCOMPARE(probe->line(), "ready");
        for (auto& probe : probes) // as close together as we can make it
            probe->go();
        QStringList answers;
        for (auto& probe : probes)
            answers << probe->line();
        QCOMPARE(answers.count("claimed"), 1);
        QCOMPARE(answers.count("refused"), 19);
    }

    // A lock whose recorded PID now belongs to another live process of the same
    // program looks alive to QLockFile; the silent socket gives it away, unless
    // the lock is so new that its owner may still be starting.
    void lockOfAReusedPid_data()
    {
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("old lock, nobody answering") << 60 << "claimed";
        QTest::newRow("new lock, owner still starting") << 0 << "refused";
    }
    void lockOfAReusedPid()
    {
        QFETCH(int, ageSeconds);
        QFETCH(QString, expected);
        const auto dir = runtimeDir();
        Probe other(desktop(dir->path()), "Another title");
        QCOMPARE(other.claim(), "claimed");
        const QStringList locks = QDir(dir->path()).entryList({"*.lock"});
        QCOMPARE(locks.size(), 1);

        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir->path()));
        qputenv("DISPLAY", ":7");
        qunsetenv("WAYLAND_DISPLAY");
        const QString ours = orvantis::LockFileSingleInstance(kTitle).lockFilePath();
        qputenv("XDG_RUNTIME_DIR", saved);
        QVERIFY(QFile::copy(dir->filePath(locks[0]), ours)); // same PID and program name
        QFile lock(ours);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
        lock.close();

        Probe next(desktop(dir->path()));
        QCOMPARE(next.claim(), expected);
    }
};

QTEST_GUILESS_MAIN(InstanceTest)
#include "instance_test.moc"
