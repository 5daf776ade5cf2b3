// What the platform services decide on their own, for whoever reports a
// problem: the marker folder taken, the tray kind found, a settings value
// left alone, a help file refused. Every category is quiet unless turned on,
// e.g. QT_LOGGING_RULES="orvantis.*=true" (docs/reliability.md); decisions
// are logged at the info level.
#pragma once

#include <QLoggingCategory>

namespace orvantis {

Q_DECLARE_LOGGING_CATEGORY(lcInstance) // "orvantis.instance": the running-instance marker
Q_DECLARE_LOGGING_CATEGORY(lcTray)     // "orvantis.tray": the notification area
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // "orvantis.settings": the settings file
Q_DECLARE_LOGGING_CATEGORY(lcHelp)     // "orvantis.help": the help viewer
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)  // "orvantis.desktop": URLs, the task list

} // namespace orvantis
