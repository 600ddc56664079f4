#include "calendar/WarningList.h"

#include "calendar/CalendarConstants.h"

void WarningList::add(std::string warning)
{
    if (seen_.count(warning) != 0) return;
    if (kept_.size() >= MaxWarningsKept) {
        // Counted, not remembered: the set stays as small as the list (a repeat counts again).
        ++leftOut_;
        return;
    }
    seen_.insert(warning);
    kept_.push_back(std::move(warning));
}

void WarningList::addAll(const std::vector<std::string>& warnings)
{
    for (const std::string& warning : warnings) add(warning);
}

std::vector<std::string> WarningList::lines() const
{
    std::vector<std::string> out = kept_;
    if (leftOut_ > 0) out.push_back(std::to_string(leftOut_) + std::string(MoreWarningsText));
    return out;
}
