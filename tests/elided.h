// Expected texts in the tests may leave out what does not matter to them:
// "..." stands for any run of characters (the empty one included), so long
// report paragraphs can be written as their first and last words.
#pragma once

#include <string_view>

inline bool matchesElided(std::string_view text, std::string_view pattern)
{
    const auto cut = pattern.find("...");
    if (cut == std::string_view::npos)
        return text == pattern;
    if (!text.starts_with(pattern.substr(0, cut)))
        return false;
    for (auto at = cut; at <= text.size(); ++at)
        if (matchesElided(text.substr(at), pattern.substr(cut + 3)))
            return true;
    return false;
}
