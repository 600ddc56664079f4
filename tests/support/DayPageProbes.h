#pragma once
// Probes of a day view that the tests use to check pages: how many numbered markers it holds,
// and one block cut out by its number, found by plain searches independent of the parser's index.
#include <string>
#include <string_view>

#include "board/DayPageParser.h"
#include "text/Text.h"

namespace quorvane {

// The largest n such that marker followed by each of 1..n occurs in the page.
inline int countNumbered(std::string_view page, std::string_view marker)
{
    int n = 0;
    while (textPos(std::string(marker) + intToText(n + 1), page) > 0) ++n;
    return n;
}

// The block of the first blockMarker + number in the page (RangeError when absent or unclosed).
inline std::string collectBlock(std::string_view page, std::string_view blockMarker, int number)
{
    return collectBlockAt(page, textPos(std::string(blockMarker) + intToText(number), page));
}

}  // namespace quorvane
