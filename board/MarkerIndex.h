#pragma once
// Every place where one marker word (such as "meetingNum") occurs in a page, found in a single
// pass, so that the numbered probes of a parse need not search the whole page again each time.
// Answers exactly what the plain substring searches would.
#include <string_view>
#include <vector>

namespace quorvane {

class MarkerIndex {
public:
    MarkerIndex(std::string_view page, std::string_view word);

    // Whether word followed by digits occurs anywhere in the page.
    bool contains(std::string_view digits) const;
    // 1-based position of the first "=" + word + digits in the page, or 0.
    int firstAfterEquals(std::string_view digits) const;
    // The largest n such that word followed by each of 1..n occurs.
    int countNumbered() const;

private:
    bool digitsAt(std::size_t at, std::string_view digits) const;

    std::string_view page_;
    std::size_t wordLength_;
    std::vector<std::size_t> starts_;  // 0-based, increasing, overlapping occurrences included
};

}  // namespace quorvane
