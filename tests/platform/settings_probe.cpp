// Runs one settings write in a process of its own, so that a test running as
// root can run it as an ordinary user (root reads and writes files whatever
// their permissions say). Arguments: file section key value. Prints the value
// before and after the write and whether the store still writes to its file.
#include "platform/ini_settings_store.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    orvantis::IniSettingsStore store(args[1]);
    const QString before = store.ReadSetting(QStringLiteral("Orvantis"), args[2], args[3]);
    store.WriteSetting(QStringLiteral("Orvantis"), args[2], args[3], args[4]);
    const QString after = store.ReadSetting(QStringLiteral("Orvantis"), args[2], args[3]);
    std::printf("%s|%s|%d\n", before.toUtf8().constData(), after.toUtf8().constData(),
                store.writesToFile() ? 1 : 0);
    return 0;
}
