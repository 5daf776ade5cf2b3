// The platform services a window needs, handed in from main() (the real ones)
// or from a test (doubles). The windows never create their own; the main
// window needs every one of them, the dialogs only what they name.
#pragma once

namespace orvantis {

class SettingsStore;
class SingleInstance;
class NotifyArea;
class HelpViewer;
class UrlOpener;
class MessageBoxes;
class Clock;

struct Services {
    SettingsStore* settings = nullptr;
    SingleInstance* instance = nullptr;
    NotifyArea* tray = nullptr;
    HelpViewer* help = nullptr;
    UrlOpener* urls = nullptr;
    MessageBoxes* messages = nullptr;
    Clock* clock = nullptr;
};

} // namespace orvantis
