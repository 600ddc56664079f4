#pragma once
// A whole file read into memory, with the system's reason when it cannot be.
#include <cstddef>
#include <limits>
#include <string>

namespace quorvane {

struct FileText {
    std::string text;
    int error = 0;          // errno of the open or a read that failed; 0 when read
    bool tooLarge = false;  // more than the limit's bytes: the reading stopped there
};

// Reads path to its end, or until more than maxBytes have come.
FileText readFileText(const std::string& path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

}  // namespace quorvane
