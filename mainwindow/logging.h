// What the main window decides on its own: how it started, what became of a
// reading it was asked to save or print. Quiet unless turned on (see
// platform/logging.h).
#pragma once

#include <QLoggingCategory>

namespace orvantis {

Q_DECLARE_LOGGING_CATEGORY(lcStartup) // "orvantis.startup"
Q_DECLARE_LOGGING_CATEGORY(lcWindow)  // "orvantis.window": calendars, tray trips
Q_DECLARE_LOGGING_CATEGORY(lcReading) // "orvantis.reading": saving and printing

} // namespace orvantis
