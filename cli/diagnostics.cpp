#include "diagnostics.h"

#include <algorithm>
#include <cstdio>

namespace orvantis::cli {

namespace {

bool lost = false;

// The length of the UTF-8 character at the start of `text`, or 0 when it
// does not start with one (a stray continuation byte, an overlong or cut
// sequence, a surrogate, beyond U+10FFFF).
std::size_t utf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

} // namespace

void reportError(std::string_view message)
{
    std::string line;
    line.reserve(kProgramName.size() + message.size() + 3);
    line.append(kProgramName).append(": ").append(message).push_back('\n');
    if (std::fwrite(line.data(), 1, line.size(), stderr) != line.size() || std::fflush(stderr) != 0)
        lost = true;
}

bool errorsLost() { return lost; }

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
    const auto escape = [&out](unsigned char c) {
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
    };
    for (std::size_t i = 0; i < shown;) {
        const std::string_view rest = text.substr(i, shown - i);
        const std::size_t length = utf8Length(rest);
        const auto c = static_cast<unsigned char>(rest[0]);
        // A terminal acts on C0, DEL and C1 (U+0080 to U+009F, as C2 80 to
        // C2 9F) and may take a byte that is not UTF-8 for one.
        const bool control =
            c < 0x20 || c == 0x7F || (length == 2 && c == 0xC2 && static_cast<unsigned char>(rest[1]) < 0xA0);
        const std::size_t step = std::max<std::size_t>(length, 1);
        if (length == 0 || control)
            std::for_each(rest.begin(), rest.begin() + long(step), [&](char b) { escape(static_cast<unsigned char>(b)); });
        else
            out.append(rest.substr(0, length));
        i += step;
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
