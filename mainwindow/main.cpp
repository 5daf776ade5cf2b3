// Orvantis: start-up. Builds the real platform services, loads the main
// window and runs the event loop until "Exit" or the window is closed.
#include "application_info.h"
#include "appearance.h"
#include "frmNumer.h"
#include "lazy_settings_store.h"

#include "platform/desktop_url_opener.h"
#include "platform/help_browser.h"
#include "platform/ini_settings_store.h"
#include "platform/lockfile_single_instance.h"
#include "platform/message_boxes.h"
#include "platform/qt_notify_area.h"
#include "platform/services.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(orvantis::appinfo::kApplicationName));
    QApplication::setOrganizationName(QString::fromLatin1(orvantis::appinfo::kOrganisationName));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTIS_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(orvantis::appinfo::kDesktopFileName));
    orvantis::appearance::RegisterFontSubstitutes();
    QApplication::setWindowIcon(orvantis::appearance::AppIcon());
    // Only the main window's own end (its close box, or one of the exit
    // commands) ends the program. Otherwise closing the help window while the
    // main window sits hidden in the notification area would end it too.
    QApplication::setQuitOnLastWindowClosed(false);

    orvantis::LockFileSingleInstance instance(QString::fromLatin1(orvantis::frmNumer::kFullTitle));
    // Opened on first use only: a refused second start never touches it.
    orvantis::LazySettingsStore settings([] {
        return std::make_unique<orvantis::IniSettingsStore>(
            orvantis::IniSettingsStore::defaultFilePath());
    });
    orvantis::QtNotifyArea tray;
    orvantis::HelpBrowser help;
    orvantis::DesktopUrlOpener urls;
    orvantis::WidgetMessageBoxes messages;

    orvantis::Services services;
    services.settings = &settings;
    services.instance = &instance;
    services.tray = &tray;
    services.help = &help;
    services.urls = &urls;
    services.messages = &messages;

    orvantis::frmNumer window(services);
    if (!window.Form_Load())
        return 0; // another instance runs; the user has been told
    window.show();
    return QApplication::exec();
}
