#include "board/MarkerIndex.h"

#include <string.h>  // memmem

#include "text/Text.h"

namespace quorvane {

MarkerIndex::MarkerIndex(std::string_view page, std::string_view word) : page_(page), wordLength_(word.size())
{
    if (word.empty()) return;
    // memmem scans long pages several times faster than a first-character search.
    const char* const begin = page.data();
    const char* const end = begin + page.size();
    for (const char* at = begin; at < end;) {
        const void* hit = memmem(at, static_cast<std::size_t>(end - at), word.data(), word.size());
        if (!hit) break;
        const char* found = static_cast<const char*>(hit);
        starts_.push_back(static_cast<std::size_t>(found - begin));
        at = found + 1;  // overlapping occurrences count too
    }
}

bool MarkerIndex::digitsAt(std::size_t at, std::string_view digits) const
{
    const std::size_t from = at + wordLength_;
    return page_.size() - from >= digits.size() && page_.compare(from, digits.size(), digits) == 0;
}

bool MarkerIndex::contains(std::string_view digits) const
{
    for (std::size_t at : starts_) {
        if (digitsAt(at, digits)) return true;
    }
    return false;
}

int MarkerIndex::firstAfterEquals(std::string_view digits) const
{
    for (std::size_t at : starts_) {
        if (at > 0 && page_[at - 1] == '=' && digitsAt(at, digits)) return static_cast<int>(at);  // the "=", 1-based
    }
    return 0;
}

int MarkerIndex::countNumbered() const
{
    int n = 0;
    while (contains(intToText(n + 1))) ++n;
    return n;
}

}  // namespace quorvane
