// Orvantis: start-up. Builds the real platform services, loads the main
// window and runs the event loop until "Exit" or the window is closed.
#include "look/look.h"
#include "look/pictures.h"
#include "mainwindow/font_config_preload.h"
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

#include <cstdio>
#include <cstring>
#include <memory>

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
    FontConfigPreload fontConfig;
    QApplication app(argc, argv);
    look::installStyle();
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

    fontConfig.wait(); // the first font is asked for just below
    // Every control of the window gets one of the stand-in faces. Built under
    // the desktop's font, each line edit and button would first load that
    // face's font engine only to drop it again (about 5 % of the start-up
    // work). So the window is built under its own body face, and the
    // desktop's font comes back for the menus, dialogs and tooltips.
    const QFont desktopFont = QApplication::font();
    QApplication::setFont(look::westminster(look::kMainWindowPointSize));
    frmNumer window(services);
    QApplication::setFont(desktopFont);
    // At once, without any closing handler: the event loop stops and main()
    // returns.
    QObject::connect(&window, &frmNumer::applicationEndRequested, &app, [] { QCoreApplication::exit(0); });
    if (!window.Form_Load())
        return 0; // another instance runs; the user has been told
    window.show();
    return QApplication::exec();
}
