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
        const QByteArray opt1 = "[StartUp]\nStartUpOption=1\n";
        auto row = [](const char* name, const QByteArray& before, const QByteArray& after) {
            QTest::newRow(name) << before << "StartUp" << "StartUpOption" << "1" << after;
        };
        row("no file", QByteArray(), opt1);
        row("empty file", "", opt1);
        row("unknown lines kept in order", "; note\njunk\n[Other]\nStartUpOption=9\n",
            "; note\njunk\n[Other]\nStartUpOption=9\n\n" + opt1);
        row("header never closed", "[StartUp\nStartUpOption=0\n", "[StartUp\nStartUpOption=0\n\n" + opt1);
        row("key before any section", "StartUpOption=0\n", "StartUpOption=0\n\n" + opt1);
        row("lines without =", "[StartUp]\nno equals sign\nStartUpOption=0\n",
            "[StartUp]\nno equals sign\nStartUpOption=1\n");
        row("binary junk and NUL", bytes("\0\xff\xfe\x01\n[StartUp]\nStartUpOption=0\n\0"),
            bytes("\0\xff\xfe\x01\n[StartUp]\nStartUpOption=1\n\0"));
        row("CR LF kept", "[a]\r\nx=1\r\n", "[a]\r\nx=1\r\n\r\n[StartUp]\r\nStartUpOption=1\r\n");
        row("no final line break", "[StartUp]\nA=1", "[StartUp]\nA=1\nStartUpOption=1\n");
        row("spacing and BOM kept", "\xEF\xBB\xBF[StartUp]\n  StartUpOption = 0\n",
            "\xEF\xBB\xBF[StartUp]\n  StartUpOption = 1\n");
        QTest::newRow("other letter case, in place") << QByteArray("[startup]\nSTARTUPDATE=01/01/99\n")
            << "Startup" << "StartUpDate" << "07/04/76" << QByteArray("[startup]\nSTARTUPDATE=07/04/76\n");
        QTest::newRow("new key at the end of its section")
            << QByteArray("[StartUp]\nStartUpOption=1\n\n[Next]\nb=2\n") << "StartUp" << "StartUpDate"
            << "07/04/76" << QByteArray("[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n\n[Next]\nb=2\n");
        QTest::newRow("section twice: first key wins") << QByteArray("[StartUp]\nA=1\n[STARTUP]\nB=2\n")
            << "StartUp" << "b" << "3" << QByteArray("[StartUp]\nA=1\n[STARTUP]\nB=3\n");
        QTest::newRow("line breaks, NUL, backslash, end blanks escaped") << QByteArray() << "S" << "k"
            << QString(" a\r\nb") + QChar(0) + "c\\ " << QByteArray("[S]\nk=\\sa\\r\\nb\\0c\\\\\\s\n");
        QTest::newRow("non-ASCII") << QByteArray("[Straße]\nSCHLÜSSEL=alt\n") << "STRAßE" << "schlüssel"
                                   << "Grüße" << QByteArray("[Straße]\nSCHLÜSSEL=Grüße\n");
        // A leading U+FEFF inside a name or value is a character like any
        // other, not a byte-order mark to drop.
        const QString bom(QChar(0xFEFF));
        QTest::newRow("U+FEFF starting names and value")
            << QByteArray("[s]\nk=old\n") << bom + "s" << bom + "k" << bom + "v"
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
        IniSettingsStore(path).WriteSetting(kApp, section, key, value);
        QCOMPARE(readFile(path), after);
        QCOMPARE(IniSettingsStore(path).ReadSetting(kApp, section.toLower(), key.toUpper()), value);
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // of StartUp / StartUpDate
        QTest::newRow("missing key") << QByteArray("[StartUp]\nStartUpOption=1\n") << "";
        QTest::newRow("blanks trimmed") << QByteArray("[ StartUp ] ;x\r\n StartUpDate =  07/04/76 \r\n")
                                        << "07/04/76";
        QTest::newRow("after a broken header") << QByteArray("[StartUp]\n[Broken\nStartUpDate=1\n") << "";
        QTest::newRow("escapes; other backslashes kept")
            << QByteArray("[StartUp]\nStartUpDate=a\\nb\\sc\\\\d\\x C:\\dir\\\n") << "a\nb c\\d\\x C:\\dir\\";
        QTest::newRow("raw NUL in value") << bytes("[StartUp]\nStartUpDate=a\0b\n") << QString("a") + QChar(0) + "b";
        QTest::newRow("binary junk") << bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[=]") << "";
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        writeFile(dir.filePath("s.ini"), file);
        QCOMPARE(IniSettingsStore(dir.filePath("s.ini")).ReadSetting(kApp, "StartUp", "StartUpDate"), expected);
    }

    // The toggle of the main window, with a fresh store reading after each write.
    void everyWriteIsOnDiskAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/new/orvantis.ini";
        IniSettingsStore store(path);
        QCOMPARE(store.ReadSetting(kApp, "Startup", "StartUpOption"), QString());
        QVERIFY(!QFile::exists(path));
        const QStringList steps = {"StartUpOption", "1", "StartUpDate", "07/04/76",
                                   "StartUpOption", "0", "StartUpDate", ""};
        for (qsizetype i = 0; i < steps.size(); i += 2) {
            store.WriteSetting(kApp, "StartUp", steps[i], steps[i + 1]);
            QCOMPARE(IniSettingsStore(path).ReadSetting(kApp, "Startup", steps[i].toLower()), steps[i + 1]);
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
        const auto chmod = [](const QString& file, mode_t mode) {
            return ::chmod(QFile::encodeName(file).constData(), mode);
        };
        QVERIFY(QDir().mkpath(folder));
        if (kind == Directory)
            writeFile(path + "/keep.txt", old);
        else if (kind == Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        else
            writeFile(path, old);
        if (kind == Unreadable) // with a folder where replacing it would be possible
            QVERIFY(chmod(path, 0) == 0 && chmod(folder, 0777) == 0);
        if (kind == ReadOnlyFolder)
            QCOMPARE(chmod(folder, 0555), 0);

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

        chmod(folder, 0755);
        if (kind == Directory)
            QCOMPARE(readFile(path + "/keep.txt"), old);
        else if (kind == Pipe)
            QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile() && !QFileInfo(path).isDir());
        else
            QVERIFY(chmod(path, 0400) == 0 && readFile(path) == old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList{"orvantis.ini"}); // no temporary file left behind
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
