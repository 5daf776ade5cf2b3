// A second program for the single-instance tests: claims the marker for the
// title in argv[1] when it reads a line from stdin, prints "claimed" or
// "refused", and when it claimed, keeps the marker until stdin is closed or
// it is killed. Printing "ready" first lets a test start many probes and then
// release them all at once.
#include "platform/lockfile_single_instance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    orvantis::LockFileSingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const auto say = [](const char* line) {
        std::fputs(line, stdout);
        std::fflush(stdout);
    };
    say("ready\n");
    char c = 0;
    while (c != '\n') // unbuffered, so that the end of input is left for the notifier
        if (::read(0, &c, 1) != 1)
            return 2;
    if (!instance.TryClaim()) {
        say("refused\n");
        return 1;
    }
    say("claimed\n");
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [] {
        char buffer[64];
        if (::read(0, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
