// The settings file: the bytes a change leaves, reads of hand-made and damaged
// files, files that must be left alone, and where the file lives.
#include "platform/ini_document.h"
#include "platform/ini_settings_store.h"
#include "platform/logging.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using orvantis::IniSettingsStore;
using orvantis::ini::parseIni;
using namespace Qt::StringLiterals;

namespace {

const QString kApp = QStringLiteral("Orvantis");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& data, mode_t mode = 0644)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// Root reads and writes whatever permissions say: meanwhile this thread's
// file access is checked as user "nobody" (unless `on` is false).
struct AsOrdinaryUser {
    const bool root;
    explicit AsOrdinaryUser(bool on = true) : root(on && ::geteuid() == 0)
    {
        if (root) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~AsOrdinaryUser()
    {
        if (root) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
};

// One value written into a file: StartUpOption=1 in [StartUp] unless the row
// says otherwise.
struct Change {
    QByteArray before, after;
    QString section = u"StartUp"_s, key = u"StartUpOption"_s, value = u"1"_s;
};

enum Kind { NoFile, Directory, Pipe, Unreadable, Huge, ReadOnlyFolder, FullDisk, SomebodyElses };

// A write that cannot reach the file: where it was to go, and why not.
struct Failure {
    Kind kind;
    QString reason;
    QString section = u"StartUp"_s, key = u"StartUpOption"_s;
};

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Failure)

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void writes_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("junk kept in order, no final line break")
            << Change{"\0\xff\n; note\nStartUpOption=0\n[Other]\nStartUpOption=9\n\0"_ba,
                      "\0\xff\n; note\nStartUpOption=0\n[Other]\nStartUpOption=9\n\0\n\n[StartUp]\nStartUpOption=1\n"_ba};
        QTest::newRow("after a header never closed")
            << Change{"[StartUp]\n[StartUp\nStartUpOption=0\n"_ba,
                      "[StartUp]\nStartUpOption=1\n[StartUp\nStartUpOption=0\n"_ba};
        QTest::newRow("CR LF kept")
            << Change{"[a]\r\nx=1\r\n"_ba, "[a]\r\nx=1\r\n\r\n[StartUp]\r\nStartUpOption=1\r\n"_ba};
        QTest::newRow("spacing and BOM kept") << Change{"\xEF\xBB\xBF[StartUp]\n  StartUpOption = 0\n"_ba,
                                                       "\xEF\xBB\xBF[StartUp]\n  StartUpOption = 1\n"_ba};
        QTest::newRow("other letter case, in place")
            << Change{"[startup]\nSTARTUPDATE=01/01/99\n"_ba, "[startup]\nSTARTUPDATE=07/04/76\n"_ba, "Startup",
                      "StartUpDate", "07/04/76"};
        QTest::newRow("new key at the end of its section")
            << Change{"[StartUp]\nStartUpOption=1\n\n[Next]\nb=2\n"_ba,
                      "[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n\n[Next]\nb=2\n"_ba, "StartUp",
                      "StartUpDate", "07/04/76"};
        QTest::newRow("section twice: first key wins")
            << Change{"[StartUp]\nA=1\n[STARTUP]\nB=2\n"_ba, "[StartUp]\nA=1\n[STARTUP]\nB=3\n"_ba, "StartUp", "b", "3"};
        QTest::newRow("line breaks, NUL, backslash, end blanks escaped")
            << Change{{}, "[S]\nk=\\sa\\r\\nb\\0c\\\\\\s\n"_ba, "S", "k", u" a\r\nb\0c\\ "_s};
        QTest::newRow("non-ASCII") << Change{"[Straße]\nSCHLÜSSEL=alt\n"_ba, "[Straße]\nSCHLÜSSEL=Grüße\n"_ba,
                                             "STRAßE", "schlüssel", "Grüße"};
        // A leading U+FEFF inside a name or value is a character like any
        // other, not a byte-order mark to drop.
        QTest::newRow("U+FEFF starting names and value")
            << Change{"[s]\nk=old\n"_ba, "[s]\nk=old\n\n[\xEF\xBB\xBFs]\n\xEF\xBB\xBFk=\xEF\xBB\xBFv\n"_ba,
                      u"\uFEFFs"_s, u"\uFEFFk"_s, u"\uFEFFv"_s};
    }
    void writes()
    {
        QFETCH(Change, change);
        // (An unchanged file serialising to its own bytes is fuzz_ini's.)
        orvantis::ini::IniDocument doc = parseIni(change.before);
        QVERIFY(doc.setValue(change.section, change.key, change.value));
        QCOMPARE(doc.serialise(), change.after);
        QCOMPARE(parseIni(change.after).value(change.section.toLower(), change.key.toUpper()).value_or("<none>"),
                 change.value);
    }

    // Blanks around names and values go (the value's before its escapes are
    // read, so the last backslash here ends the value); of the backslashes
    // only the escapes are read as such.
    void reads()
    {
        const QByteArray file = "[ StartUp ] ;x\r\n StartUpDate =  a\\nb\\sc\\\\d\\x C:\\dir\\ \r\n";
        QCOMPARE(parseIni(file).value(u"StartUp", u"StartUpDate").value_or("<none>"), "a\nb c\\d\\x C:\\dir\\");
    }

    // A value whose write failed is written with the next write that works,
    // into a folder made for it; edits made to the file meanwhile are kept,
    // ten megabytes of them included (still a settings file), and so is its
    // owner when root writes it (running with the user's HOME, say).
    void writesKeepWhatTheFileHolds()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("blocker"), "a file where the folder should be");
        const QString path = dir.filePath("blocker/orvantis.ini");
        IniSettingsStore store(path);
        QVERIFY(store.WriteSetting(kApp, "StartUp", "StartUpOption", "1"));
        QVERIFY(QFile::remove(dir.filePath("blocker")));
        QVERIFY(!store.WriteSetting(kApp, "StartUp", "StartUpDate", "07/04/76"));
        QCOMPARE(readFile(path), QByteArray("[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n"));
        const QByteArray mine = "[Mine]\n" + QByteArray("key=some filler text\n").repeated(500'000);
        writeFile(path, mine + "[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n");
        const uint owner = ::geteuid() == 0 ? 65534 : ::geteuid();
        QCOMPARE(::chown(QFile::encodeName(path).constData(), owner, owner), 0);
        QVERIFY(!store.WriteSetting(kApp, "startup", "startupoption", "0"));
        QVERIFY(readFile(path) == mine + "[StartUp]\nStartUpOption=0\nStartUpDate=07/04/76\n");
        QCOMPARE(QFileInfo(path).ownerId(), owner);
    }

    // Every byte and name in the folder stays; the value lives on in memory,
    // and the write says which file failed and why.
    void failedWriteChangesNothing_data()
    {
        QTest::addColumn<Failure>("failure");
        const QString notFile = u"It is not an ordinary file."_s;
        const QString badName = u"The name cannot be written to a file."_s;
        QTest::newRow("directory") << Failure{Directory, notFile};
        QTest::newRow("pipe") << Failure{Pipe, notFile};
        QTest::newRow("unreadable") << Failure{Unreadable, "Permission denied"};
        QTest::newRow("over 64 MiB") << Failure{Huge, "It is too large to be a settings file."};
        QTest::newRow("read-only folder") << Failure{ReadOnlyFolder, "Permission denied"};
        QTest::newRow("full disk, never an empty file") << Failure{FullDisk, "No space left on device"};
        QTest::newRow("root's file, by nobody") << Failure{SomebodyElses, "It belongs to another user."};
        QTest::newRow("= in key") << Failure{NoFile, badName, "StartUp", "a=b"};
        QTest::newRow("] in section") << Failure{NoFile, badName, "Start]Up", "k"};
        QTest::newRow("line break in key") << Failure{NoFile, badName, "StartUp", "a\nb"};
    }
    void failedWriteChangesNothing()
    {
        QFETCH(Failure, failure);
        const Kind kind = failure.kind;
        if (kind >= FullDisk && ::geteuid() != 0)
            QSKIP("needs root: to mount a small file system, or for a file of another user");
        QTemporaryDir dir;
        const QString folder = dir.filePath("config");
        const QString path = folder + "/orvantis.ini";
        QVERIFY(QDir().mkpath(kind == Directory ? path : folder));
        const QByteArray mountPoint = QFile::encodeName(folder);
        QVERIFY(kind != FullDisk || ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0);
        const auto unmount = qScopeGuard([&] { if (kind == FullDisk) ::umount2(mountPoint.constData(), MNT_DETACH); });
        if (kind == Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        else if (kind != NoFile)
            writeFile(kind == Directory ? path + "/keep.txt" : path, "[StartUp]\nStartUpOption=0\n",
                      kind == Unreadable ? 0 : 0666);
        QVERIFY(kind != Huge || QFile::resize(path, 64 * 1024 * 1024 + 1));
        for (QFile filler(folder + "/filler"); kind == FullDisk && filler.open(QIODevice::Append);)
            while (filler.write(QByteArray(4096, '\0')) > 0 && filler.flush()) {
            }
        const auto chmod = [](const QString& file, mode_t mode) {
            return ::chmod(QFile::encodeName(file).constData(), mode) == 0;
        };
        QVERIFY(chmod(dir.path(), 0755) && chmod(folder, kind == ReadOnlyFolder ? 0555 : 0777));
        // The folder's names, and the file's size and (small) bytes.
        const auto state = [&] {
            const QFileInfo info(path);
            return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
                << QString::number(info.size())
                << QString::fromLatin1(info.isFile() && info.size() < 4096 ? readFile(path) : "");
        };
        const QStringList before = state();
        std::optional<orvantis::SettingsWriteError> error;
        {
            const AsOrdinaryUser nobody(kind != FullDisk);
            IniSettingsStore store(path);
            error = store.WriteSetting(kApp, failure.section, failure.key, "yes");
            QCOMPARE(store.ReadSetting(kApp, failure.section, failure.key), "yes");
        }
        chmod(folder, 0755);
        QCOMPARE(state(), before);
        QCOMPARE(error ? error->file + ": " + error->reason : "no error", path + ": " + failure.reason);
    }

    // Temporary copies left by a write that a kill cut short: ours and old
    // ones only. A recent one may be another instance's, writing right now.
    void leftoverCopiesRemovedAtStart()
    {
        QTemporaryDir dir;
        const bool root = ::geteuid() == 0;
        const QStringList old{"orvantis.ini.OlDcOp", "orvantis.ini.ab12cd", "orvantis.ini.backups", "orvantis.inj.MnOpQr",
                              "orvantis.ini.NoBody"};
        for (const QString& name : old + QStringList{"orvantis.ini.AbCdEf"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[StartUp]\n") == 10 && file.flush());
            QVERIFY(!old.contains(name) || file.setFileTime(QDateTime::currentDateTime().addSecs(-7200),
                                                            QFileDevice::FileModificationTime));
        }
        QVERIFY(!root || ::chown(QFile::encodeName(dir.filePath("orvantis.ini.NoBody")).constData(), 65534, 65534) == 0);
        const IniSettingsStore store(dir.filePath("orvantis.ini"));
        QStringList kept{"orvantis.ini.AbCdEf", "orvantis.ini.ab12cd", "orvantis.ini.backups", "orvantis.inj.MnOpQr"};
        if (root) // not ours
            kept.insert(1, "orvantis.ini.NoBody");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    }

    // Each category of what the program decides on its own is quiet by
    // default and speaks, at the info level, when turned on alone or with
    // all of ours.
    void loggingQuietUntilTurnedOn_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QList<bool>>("speak"); // orvantis.settings, orvantis.instance
        QTest::newRow("default") << "" << QList<bool>{false, false};
        QTest::newRow("all of ours") << "orvantis.*=true" << QList<bool>{true, true};
        QTest::newRow("one of them") << "orvantis.settings=true" << QList<bool>{true, false};
    }
    void loggingQuietUntilTurnedOn()
    {
        QFETCH(QString, rules);
        QFETCH(QList<bool>, speak);
        QLoggingCategory::setFilterRules(rules);
        const QList<bool> now{orvantis::lcSettings().isInfoEnabled(), orvantis::lcInstance().isInfoEnabled()};
        QLoggingCategory::setFilterRules({});
        QCOMPARE(now, speak);
    }

    // A relative base folder would make the settings depend on the working folder.
    void defaultFilePath_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << QByteArray("/srv/conf") << "/srv/conf/orvantis/orvantis.ini";
        QTest::newRow("relative") << QByteArray("conf") << "/home/ann/.config/orvantis/orvantis.ini";
        QTest::newRow("empty") << QByteArray("") << "/home/ann/.config/orvantis/orvantis.ini";
    }
    void defaultFilePath()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QString, expected);
        qputenv("HOME", "/home/ann");
        qputenv("XDG_CONFIG_HOME", configHome);
        QCOMPARE(IniSettingsStore::defaultFilePath(), expected);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
