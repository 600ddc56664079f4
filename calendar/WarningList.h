#pragma once
// The warnings of one calendar, each once, and no more than MaxWarningsKept of them: a calendar
// with thousands of broken events gives a few lines and a count, not thousands of lines.
#include <string>
#include <unordered_set>
#include <vector>

class WarningList {
public:
    void add(std::string warning);
    void addAll(const std::vector<std::string>& warnings);
    // The warnings kept, then one line counting those left out, if any.
    std::vector<std::string> lines() const;

private:
    std::vector<std::string> kept_;
    std::unordered_set<std::string> seen_;
    std::size_t leftOut_ = 0;
};
