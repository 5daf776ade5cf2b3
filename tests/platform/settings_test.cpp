// The settings file: exact bytes after a write, reads of hand-made and damaged
// files, and files that must be left alone.
#include "platform/ini_document.h"
#include "platform/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using orvantis::IniSettingsStore;

namespace {

const QString kApp = QStringLiteral("Orvantis");

template <size_t N>
QByteArray bytes(const char (&text)[N]) // keeps embedded NULs
{
    return QByteArray(text, qsizetype(N - 1));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

enum Unusable { Directory, Pipe, Unreadable, ReadOnlyFolder };

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void writes_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file, nor its folder
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray option1 = "[StartUp]\nStartUpOption=1\n";
        QTest::newRow("no file") << QByteArray() << "StartUp" << "StartUpOption" << "1" << option1;
        QTest::newRow("empty file") << QByteArray("") << "StartUp" << "StartUpOption" << "1" << option1;
        QTest::newRow("other letter case, in place")
            << QByteArray("[startup]\nSTARTUPDATE=01/01/99\n") << "Startup" << "StartUpDate"
            << "07/04/76" << QByteArray("[startup]\nSTARTUPDATE=07/04/76\n");
        QTest::newRow("unknown lines kept in order")
            << QByteArray("; note\njunk\n[Other]\nStartUpOption=9\n") << "StartUp" << "StartUpOption"
            << "1" << QByteArray("; note\njunk\n[Other]\nStartUpOption=9\n\n") + option1;
        QTest::newRow("new key at the end of its section")
            << QByteArray("[StartUp]\nStartUpOption=1\n\n[Next]\nb=2\n") << "StartUp" << "StartUpDate"
            << "07/04/76" << QByteArray("[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n\n[Next]\nb=2\n");
        QTest::newRow("header never closed")
            << QByteArray("[StartUp\nStartUpOption=0\n") << "StartUp" << "StartUpOption" << "1"
            << QByteArray("[StartUp\nStartUpOption=0\n\n") + option1;
        QTest::newRow("key before any section")
            << QByteArray("StartUpOption=0\n") << "StartUp" << "StartUpOption" << "1"
            << QByteArray("StartUpOption=0\n\n") + option1;
        QTest::newRow("lines without =")
            << QByteArray("[StartUp]\nno equals sign\nStartUpOption=0\n") << "StartUp" << "StartUpOption"
            << "1" << QByteArray("[StartUp]\nno equals sign\nStartUpOption=1\n");
        QTest::newRow("binary junk and NUL") << bytes("\0\xff\xfe\x01\n[StartUp]\nStartUpOption=0\n\0")
                                             << "StartUp" << "StartUpOption" << "1"
                                             << bytes("\0\xff\xfe\x01\n[StartUp]\nStartUpOption=1\n\0");
        QTest::newRow("CR LF kept") << QByteArray("[a]\r\nx=1\r\n") << "StartUp" << "StartUpOption" << "1"
                                    << QByteArray("[a]\r\nx=1\r\n\r\n[StartUp]\r\nStartUpOption=1\r\n");
        QTest::newRow("no final line break") << QByteArray("[StartUp]\nA=1") << "StartUp" << "StartUpOption"
                                             << "1" << QByteArray("[StartUp]\nA=1\nStartUpOption=1\n");
        QTest::newRow("spacing and BOM kept")
            << QByteArray("\xEF\xBB\xBF[StartUp]\n  StartUpOption = 0\n") << "StartUp" << "StartUpOption"
            << "1" << QByteArray("\xEF\xBB\xBF[StartUp]\n  StartUpOption = 1\n");
        QTest::newRow("section twice: first key wins")
            << QByteArray("[StartUp]\nA=1\n[STARTUP]\nB=2\n") << "StartUp" << "b" << "3"
            << QByteArray("[StartUp]\nA=1\n[STARTUP]\nB=3\n");
        QTest::newRow("line breaks, NUL, backslash, end blanks escaped")
            << QByteArray() << "S" << "k" << QString(" a\r\nb") + QChar(0) + "c\\ "
            << QByteArray("[S]\nk=\\sa\\r\\nb\\0c\\\\\\s\n");
        QTest::newRow("non-ASCII") << QByteArray("[Straße]\nSCHLÜSSEL=alt\n") << "STRAßE" << "schlüssel"
                                   << "Grüße" << QByteArray("[Straße]\nSCHLÜSSEL=Grüße\n");
        // A leading U+FEFF inside a name or value is a character like any
        // other, not a byte-order mark to drop.
        QTest::newRow("U+FEFF starting names and value")
            << QByteArray("[s]\nk=old\n") << QString(QChar(0xFEFF)) + "s" << QString(QChar(0xFEFF)) + "k"
            << QString(QChar(0xFEFF)) + "v"
            << QByteArray("[s]\nk=old\n\n[\xEF\xBB\xBFs]\n\xEF\xBB\xBFk=\xEF\xBB\xBFv\n");
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.path() + "/config/orvantis/orvantis.ini";
        if (!before.isNull()) {
            writeFile(path, before);
            QCOMPARE(orvantis::ini::parseIni(before).serialise(), before);
        }
        IniSettingsStore store(path);
        store.WriteSetting(kApp, section, key, value);
        QCOMPARE(readFile(path), after);
        QCOMPARE(IniSettingsStore(path).ReadSetting(kApp, section.toLower(), key.toUpper()), value);
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray date = "[Startup]\nStartUpDate=07/04/76\n";
        QTest::newRow("names in other case") << date << "StartUp" << "StartUpdate" << "07/04/76";
        QTest::newRow("missing key") << date << "StartUp" << "StartUpOption" << "";
        QTest::newRow("blanks trimmed") << QByteArray("[ StartUp ] ;x\r\n StartUpDate =  07/04/76 \r\n")
                                        << "StartUp" << "StartUpDate" << "07/04/76";
        QTest::newRow("after a broken header")
            << QByteArray("[StartUp]\n[Broken\nStartUpDate=1\n") << "StartUp" << "StartUpDate" << "";
        QTest::newRow("escapes; other backslashes kept")
            << QByteArray("[S]\nk=a\\nb\\sc\\\\d\\x C:\\dir\\\n") << "S" << "k" << "a\nb c\\d\\x C:\\dir\\";
        QTest::newRow("raw NUL in value") << bytes("[S]\nk=a\0b\n") << "S" << "k" << QString("a") + QChar(0) + "b";
        QTest::newRow("binary junk") << bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[=]") << "StartUp" << "StartUpOption" << "";
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        writeFile(dir.filePath("s.ini"), file);
        QCOMPARE(IniSettingsStore(dir.filePath("s.ini")).ReadSetting(kApp, section, key), expected);
    }

    // The toggle of the main window, with a fresh store reading after each write.
    void everyWriteIsOnDiskAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/new/orvantis.ini";
        IniSettingsStore store(path);
        QCOMPARE(store.ReadSetting(kApp, "Startup", "StartUpOption"), QString());
        QVERIFY(!QFile::exists(path));
        const QStringList steps = {"StartUp", "StartUpOption", "1", "StartUp", "StartUpDate", "07/04/76",
                                   "StartUp", "StartUpOption", "0", "StartUp", "StartUpDate", ""};
        for (qsizetype i = 0; i < steps.size(); i += 3) {
            store.WriteSetting(kApp, steps[i], steps[i + 1], steps[i + 2]);
            QCOMPARE(IniSettingsStore(path).ReadSetting(kApp, "Startup", steps[i + 1].toLower()), steps[i + 2]);
        }
        QCOMPARE(readFile(path), QByteArray("[StartUp]\nStartUpOption=0\nStartUpDate=\n"));
    }

    void editsMadeMeanwhileAreKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("orvantis.ini");
        writeFile(path, "[StartUp]\nStartUpOption=1\n");
        IniSettingsStore store(path);
        writeFile(path, "[StartUp]\nStartUpOption=1\n[Mine]\nkept=yes\n");
        store.WriteSetting(kApp, "Startup", "StartUpDate", "07/04/76");
        QCOMPARE(readFile(path), QByteArray("[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n[Mine]\nkept=yes\n"));
    }

    // A value whose write failed is kept for this run and written with the next write that works.
    void failedWriteIsKeptAndRetried()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("blocker"), "a file where the folder should be");
        const QString path = dir.filePath("blocker/orvantis.ini");
        IniSettingsStore store(path);
        store.WriteSetting(kApp, "StartUp", "StartUpOption", "1");
        QCOMPARE(store.ReadSetting(kApp, "StartUp", "StartUpOption"), "1");
        QVERIFY(QFile::remove(dir.filePath("blocker")));
        store.WriteSetting(kApp, "StartUp", "StartUpDate", "07/04/76");
        QCOMPARE(readFile(path), QByteArray("[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n"));
    }

    void tenMegabyteFile()
    {
        QByteArray big = "; filler\n[Filler]\n";
        for (int i = 0; big.size() < 10 * 1024 * 1024; ++i)
            big += "key" + QByteArray::number(i) + "=some filler text for the value\n";
        big += "[StartUp]\nStartUpOption=0\n";
        QTemporaryDir dir;
        const QString path = dir.filePath("big.ini");
        writeFile(path, big);
        IniSettingsStore store(path);
        QCOMPARE(store.ReadSetting(kApp, "startup", "startupoption"), "0");
        store.WriteSetting(kApp, "StartUp", "StartUpOption", "1");
        big[big.size() - 2] = '1';
        QVERIFY(readFile(path) == big);
    }

    void namesNoLineCanCarryStayInMemory_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("= in key") << "StartUp" << "a=b";
        QTest::newRow("] in section") << "Start]Up" << "k";
        QTest::newRow("line break") << "StartUp" << "a\nb";
    }
    void namesNoLineCanCarryStayInMemory()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTemporaryDir dir;
        IniSettingsStore store(dir.filePath("s.ini"));
        store.WriteSetting(kApp, section, key, "v");
        QCOMPARE(store.ReadSetting(kApp, section, key), "v");
        QVERIFY(!QFile::exists(dir.filePath("s.ini")));
    }

    // Root reads and writes whatever the permissions say, so these run in a
    // separate process as "nobody" when the tests run as root.
    void unusableFileIsLeftAlone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("probeOutput"); // before|after|writes to file
        QTest::newRow("directory") << int(Directory) << "|1|0";
        QTest::newRow("pipe") << int(Pipe) << "|1|0";
        QTest::newRow("unreadable") << int(Unreadable) << "|1|0";
        QTest::newRow("read-only folder") << int(ReadOnlyFolder) << "0|1|1";
    }
    void unusableFileIsLeftAlone()
    {
        QFETCH(int, kind);
        QFETCH(QString, probeOutput);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
        const QString folder = dir.filePath("config");
        const QString path = folder + "/orvantis.ini";
        const QByteArray old = "[StartUp]\nStartUpOption=0\n";
        QVERIFY(QDir().mkpath(folder));
        switch (kind) {
        case Directory: writeFile(path + "/keep.txt", old); break;
        case Pipe: QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0); break;
        case Unreadable:
            writeFile(path, old);
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0), 0);
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0); // replacing it would be possible
            break;
        case ReadOnlyFolder:
            writeFile(path, old);
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
            break;
        }

        QProcess probe;
        if (::geteuid() == 0)
            probe.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(3);
            });
        probe.start(SETTINGS_PROBE, {path, "StartUp", "StartUpOption", "1"});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), probeOutput);

        ::chmod(QFile::encodeName(folder).constData(), 0755);
        const QFileInfo info(path);
        if (kind == Directory)
            QCOMPARE(readFile(path + "/keep.txt"), old);
        else if (kind == Pipe)
            QVERIFY(info.exists() && !info.isFile() && !info.isDir());
        else
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner) && readFile(path) == old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList{"orvantis.ini"}); // no temporary file left behind
    }

    void defaultFilePathFollowsXdgConfigHome()
    {
        QTemporaryDir dir;
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        const QString path = IniSettingsStore::defaultFilePath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, dir.path() + "/orvantis/orvantis.ini");
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
