#include "mainwindow/logging.h"

namespace orvantis {

Q_LOGGING_CATEGORY(lcStartup, "orvantis.startup", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindow, "orvantis.window", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReading, "orvantis.reading", QtWarningMsg)

} // namespace orvantis
