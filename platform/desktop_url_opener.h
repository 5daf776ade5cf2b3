// Opens a URL, or a document by its path, with the desktop's default program.
#pragma once

#include "platform/desktop_services.h"

namespace orvantis {

class DesktopUrlOpener final : public UrlOpener {
public:
    // Result::errorNumber when the request could not be made:
    static constexpr int kInvalidAddress = 1; // not a URL, nor the path of an existing file
    static constexpr int kNoProgram = 2;      // the desktop has nothing to hand it to

    // Hands the text to the desktop (QDesktopServices, which starts the
    // desktop's opener with the URL as one argument, never through a shell).
    // Text without a scheme that names an existing file opens that file.
    // Whether the program that opens it then succeeds is not known here.
    Result Open(const QString& url) override;
};

} // namespace orvantis
