#include "look/logging.h"

namespace orvantis::look {

Q_LOGGING_CATEGORY(lcPictures, "orvantis.pictures", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFonts, "orvantis.fonts", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlacement, "orvantis.placement", QtWarningMsg)

} // namespace orvantis::look
