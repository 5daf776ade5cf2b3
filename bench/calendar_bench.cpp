// The first drop-down of the birth-date calendar: from Text3_Click (what a
// click on the birth-date box calls) until the calendar has been painted and
// handed to the window system, in a fresh process each run, so that whatever
// the window builds or loads for its first calendar is paid in every run, as
// a user pays it once.
//
//   orvantis_bench_calendar [--runs N] [--runtime-base DIR]
//
// Each run starts this program again with --once, with a fresh private
// XDG_RUNTIME_DIR on the tmpfs DIR (default /dev/shm) and a fresh empty
// XDG_CONFIG_HOME, as the start-up probe starts its programs. It loads the main window
// with in-memory settings, shows it, waits until it is exposed and has
// settled, and then times Text3_Click() followed by repaint() of the calendar
// it showed (a synchronous paint into the window's back buffer and the flush
// to the window). The runs follow one untimed run that fills the page cache;
// each is printed, then the median. Uses the platform Qt picks (an X display
// when DISPLAY is set).
#include "mainwindow/frmNumer.h"
#include "mainwindow/drop_down_calendar.h"
#include "quiet_services.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void fail(const char* message)
{
    std::fprintf(stderr, "calendar_bench: %s\n", message);
    std::exit(1);
}

// One fresh process: the time of the first drop-down, in ms.
double dropDownOnce(int argc, char* argv[])
{
    QApplication app(argc, argv);
    orvantis::bench::QuietServices services;
    orvantis::frmNumer window(services.services());
    if (!window.Form_Load())
        fail("the window did not load");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail("the window was never exposed");
    QTest::qWait(200); // the first paint and whatever follows it

    QElapsedTimer timer;
    timer.start();
    window.Text3_Click();
    auto* calendar = window.findChild<QCalendarWidget*>(QStringLiteral("MonthView1"));
    if (!calendar || !calendar->isVisible())
        fail("Text3_Click showed no calendar");
    calendar->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double runFresh(const QString& self, const QString& runtimeBase)
{
    QTemporaryDir runtime(runtimeBase + QStringLiteral("/calendar-bench-XXXXXX")); // mode 0700
    QTemporaryDir config;
    if (!runtime.isValid() || !config.isValid())
        fail("cannot make the private folders");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, {QStringLiteral("--once")});
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0)
        fail("a run failed");
    bool ok = false;
    const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
    if (!ok)
        fail("a run printed no time");
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--once") == 0) {
        std::printf("%.3f\n", dropDownOnce(argc, argv));
        return 0;
    }
    int runs = 20;
    QString runtimeBase = QStringLiteral("/dev/shm");
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0)
            runs = std::atoi(argv[i + 1]);
        else if (i + 1 < argc && std::strcmp(argv[i], "--runtime-base") == 0)
            runtimeBase = QString::fromLocal8Bit(argv[i + 1]);
        else
            runs = 0;
    }
    if (runs <= 0) {
        std::fprintf(stderr, "usage: orvantis_bench_calendar [--runs N] [--runtime-base DIR]\n");
        return 2;
    }

    QCoreApplication app(argc, argv);
    if (QStorageInfo(runtimeBase).fileSystemType() != "tmpfs")
        fail("the runtime base is not a tmpfs; pass one with --runtime-base");
    const QString self = QCoreApplication::applicationFilePath();
    runFresh(self, runtimeBase); // untimed: page cache, font caches
    std::vector<double> ms;
    for (int i = 1; i <= runs; ++i) {
        ms.push_back(runFresh(self, runtimeBase));
        std::printf("run %2d  %7.2f ms\n", i, ms.back());
        std::fflush(stdout);
    }
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("median first_dropdown_ms=%.2f (%d fresh processes, %.2f to %.2f ms)\n", median, runs,
                ms.front(), ms.back());
    return 0;
}
