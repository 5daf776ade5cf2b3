// What the shared look decides on its own: a picture drawn by the fallback,
// the face standing in for a missing one, where a window was placed. Quiet
// unless turned on (see platform/logging.h).
#pragma once

#include <QLoggingCategory>

namespace orvantis::look {

Q_DECLARE_LOGGING_CATEGORY(lcPictures)  // "orvantis.pictures"
Q_DECLARE_LOGGING_CATEGORY(lcFonts)     // "orvantis.fonts"
Q_DECLARE_LOGGING_CATEGORY(lcPlacement) // "orvantis.placement"

} // namespace orvantis::look
