// Expected texts in the tests may leave out what does not matter to them:
// "..." stands for any run of characters, so long report paragraphs can be
// written as their first and last words.
#pragma once

#include <string_view>

// True when `text` is `pattern` with each "..." standing for any run of
// characters (the empty one included).
inline bool matchesElided(std::string_view text, std::string_view pattern)
{
    auto cut = pattern.find("...");
    if (cut == std::string_view::npos)
        return text == pattern;
    if (!text.starts_with(pattern.substr(0, cut)))
        return false;
    std::size_t at = cut;
    pattern.remove_prefix(cut + 3);
    while ((cut = pattern.find("...")) != std::string_view::npos) {
        const auto found = text.find(pattern.substr(0, cut), at);
        if (found == std::string_view::npos)
            return false;
        at = found + cut;
        pattern.remove_prefix(cut + 3);
    }
    return text.size() >= at + pattern.size() && text.ends_with(pattern);
}
