#include "mainwindow/font_config_preload.h"

#include <fontconfig/fontconfig.h>

namespace orvantis {

// FcInit loads the configuration as the process's current one, which is the
// one Qt's font database uses; a failure is reported again, in the usual
// way, when Qt calls FcInit itself.
FontConfigPreload::FontConfigPreload() : thread_([] { FcInit(); }) {}

void FontConfigPreload::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace orvantis
