// Orvantis: start-up. Builds the real platform services, loads the main
// window and runs the event loop until "Exit" or the window is closed.
//
// What the program does only to show its window sooner, and what each step
// buys (figures in bench/performance_notes.md):
//   - fontconfig reads its configuration and font caches, about a third of
//     the work to the first frame, on a thread of its own (below) while Qt
//     connects to the display, which needs no fonts: wall time saved on any
//     machine with a second core;
//   - the pictures of the first frame are drawn at build time and loaded as
//     raw pixels (look/CMakeLists.txt): no SVG parsing or rendering at start;
//   - the two calendars are made when first dropped down
//     (drop_down_calendar.h): most runs never open one;
//   - the stand-in faces are named directly and narrowed by a measurement in
//     a face the window loads anyway (look/look.cpp): no searches of the
//     system's fonts, no faces loaded only to be measured;
//   - Qt's print support is loaded with the first print (orvantis-print,
//     report_view.cpp): neither its time nor its memory at every start.
// The desktop suite (tests/desktop) runs this program as it is built here.
#include "look/look.h"
#include "look/pictures.h"
#include "mainwindow/frmNumer.h"
#include "mainwindow/lazy_settings_store.h"
#include "platform/desktop_services.h"
#include "platform/desktop_url_opener.h"
#include "platform/help_browser.h"
#include "platform/ini_settings_store.h"
#include "platform/lockfile_single_instance.h"
#include "platform/message_boxes.h"
#include "platform/qt_notify_area.h"

#include <QApplication>

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace {

// True when nothing names a place to draw the window: neither session
// variable is set and no platform is chosen (QT_QPA_PLATFORM, -platform,
// e.g. offscreen). Qt's own answer to that is an abort that advises
// reinstalling, which would not help.
bool noGraphicalSession(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace orvantis;

    if (noGraphicalSession(argc, argv)) {
        std::fputs("orvantis: no graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set\n", stderr);
        return 1;
    }
    // FcInit loads the configuration as the process's current one, which Qt
    // then finds loaded; should it fail, Qt's own FcInit reports it as usual.
    // Joined before the first font is asked for: were both to read at once,
    // both would do the whole work.
    std::jthread fontConfig([] { FcInit(); });
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(look::kApplicationName));
    QApplication::setOrganizationName(QString::fromLatin1(look::kOrganisationName));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTIS_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(look::kDesktopFileName));
    // Every window of ours shows the program icon.
    QApplication::setWindowIcon(look::appIcon());
    // Only the main window's own end (its close box, or one of the exit
    // commands) ends the program. Otherwise closing the help window while the
    // main window sits hidden in the notification area would end it too.
    QApplication::setQuitOnLastWindowClosed(false);

    LockFileSingleInstance instance(look::fullTitle());
    // Opened on first use only: a refused second start never touches it.
    LazySettingsStore settings(
        [] { return std::make_unique<IniSettingsStore>(IniSettingsStore::defaultFilePath()); });
    QtNotifyArea tray;
    HelpBrowser help;
    DesktopUrlOpener urls;
    WidgetMessageBoxes messages;
    SystemClock clock;
    const Services services{&settings, &instance, &tray, &help, &urls, &messages, &clock};

    fontConfig.join();
    frmNumer window(services);
    // At once, without any closing handler: the event loop stops and main()
    // returns.
    QObject::connect(&window, &frmNumer::applicationEndRequested, &app, [] { QCoreApplication::exit(0); });
    if (!window.Form_Load())
        return 0; // another instance runs; the user has been told
    window.show();
    return QApplication::exec();
}
