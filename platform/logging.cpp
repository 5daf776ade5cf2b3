#include "platform/logging.h"

namespace orvantis {

// Warnings and worse would show; the decisions themselves are info.
Q_LOGGING_CATEGORY(lcInstance, "orvantis.instance", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTray, "orvantis.tray", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "orvantis.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHelp, "orvantis.help", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDesktop, "orvantis.desktop", QtWarningMsg)

} // namespace orvantis
