// The help viewer: the help file (HTML) in a window of its own, beside the
// main window rather than in front of it.
#pragma once

#include "platform/desktop_services.h"

#include <QString>

#include <memory>

namespace orvantis {

class HelpWindow;

// The help file beside the program: the folder that holds the executable
// (not the working folder), followed by "/Orvantis.hlp".
QString helpFilePath();

class HelpBrowser final : public HelpViewer {
public:
    HelpBrowser();
    ~HelpBrowser() override;

    // Opens the window at the start of the file, or brings the open window to
    // the front and goes back to the start. A file that cannot be shown (not
    // an ordinary file, over 1 MiB, or nested too deeply for Qt to lay out in
    // time) shows "The help file could not be opened: <path>" and the reason
    // instead. The file is trusted no further than its folder: pictures,
    // style sheets and linked pages are read only when they are ordinary
    // files of at most 1 MiB in that folder; http, https and mailto links go
    // to the desktop, and no other link is followed.
    void ShowContents(const QString& helpFilePath) override;

private:
    std::unique_ptr<HelpWindow> window_;
};

} // namespace orvantis
