#pragma once
// The process's open-file limit: each connection holds a descriptor, and with the usual soft
// limit of 1024 a burst of idle connections stalls accepting for everyone.
#include <cstdint>

namespace quorvane {

// Raises the soft open-file limit to the hard limit; returns the soft limit in force afterwards.
std::uint64_t raiseOpenFileLimit();

}  // namespace quorvane
