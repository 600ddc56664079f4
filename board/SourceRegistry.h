#pragma once
// The calendar sources of the board, and which one reads a person: the first whose reads()
// accepts the item id, in the order they were added. Add a source here and the refresh uses it.
#include <memory>
#include <string>
#include <vector>

#include "board/CalendarSource.h"

namespace quorvane {

class SourceRegistry {
public:
    // Sources are asked in the order added; the last added should read what no other does.
    void add(std::unique_ptr<CalendarSource> source) { sources_.push_back(std::move(source)); }
    // The source reading itemId; nullptr when none does.
    CalendarSource* sourceFor(const std::string& itemId) const
    {
        for (const auto& source : sources_)
            if (source->reads(itemId)) return source.get();
        return nullptr;
    }
    const std::vector<std::unique_ptr<CalendarSource>>& all() const { return sources_; }
    void stop()
    {
        for (const auto& source : sources_) source->stop();
    }

private:
    std::vector<std::unique_ptr<CalendarSource>> sources_;
};

}  // namespace quorvane
