#pragma once
// Keyword tests of the status rules: whether a text holds a word, or any of a list.
#include <cstddef>
#include <string_view>

#include "text/Text.h"

namespace quorvane {

inline bool contains(std::string_view text, std::string_view needle) { return textPos(needle, text) > 0; }

template <std::size_t N>
bool containsAny(std::string_view text, const std::string_view (&needles)[N])
{
    for (std::string_view needle : needles)
        if (contains(text, needle)) return true;
    return false;
}

}  // namespace quorvane
