// Reads the system's font configuration on a thread of its own while the
// program connects to the display.
//
// Reading fontconfig's configuration (a few dozen XML files) and its font
// caches is the largest single piece of work a Qt program does on its way to
// the first frame here, about a third of it. It needs nothing from Qt, and
// connecting to the display and loading the platform plug-in need no fonts,
// so the two run side by side on any machine with a second core. Qt then
// finds the configuration already loaded when it first asks for a font.
#pragma once

#include <thread>

namespace orvantis {

class FontConfigPreload {
public:
    // Starts reading.
    FontConfigPreload();
    // Returns once the configuration is loaded. Call it before anything asks
    // for a font: if Qt read the configuration while the thread still did,
    // both would do the whole work (fontconfig keeps one of the two, so
    // nothing goes wrong, only the time is lost).
    void wait();

private:
    std::jthread thread_; // joined on destruction too, should start-up end early
};

} // namespace orvantis
