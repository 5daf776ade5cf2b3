#include "diagnostics.h"

#include <cstdio>

namespace orvantis::cli {

void reportError(std::string_view message)
{
    std::string line;
    line.reserve(kProgramName.size() + message.size() + 3);
    line.append(kProgramName).append(": ").append(message).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::string quoted(std::string_view text)
{
    constexpr std::size_t kMaxShown = 60;
    std::size_t shown = text.size();
    if (shown > kMaxShown) {
        shown = kMaxShown;
        // Do not cut a multi-byte character in two.
        while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
            --shown;
    }
    std::string out = "'";
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (shown < text.size())
        out += "...";
    out += '\'';
    return out;
}

std::string invalidDate(std::string_view text)
{
    return quoted(text)
           + " is not a valid date: expected YYYY-MM-DD or MM/DD/YYYY between 1753-01-01 and "
             "9999-12-31";
}

std::string invalidTarget(std::string_view text)
{
    return quoted(text)
           + " is not a valid target day: expected MM/DD, or YYYY-MM-DD or MM/DD/YYYY between "
             "1753-01-01 and 9999-12-31";
}

std::string invalidMonth(std::string_view text)
{
    return quoted(text) + " is not a valid month: expected 1-12 or an English month name";
}

} // namespace orvantis::cli
