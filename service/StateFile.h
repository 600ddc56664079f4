#pragma once
// Whole-file writes that survive a crash or power cut at any point (the old content or the new,
// never a mix), and reads that say in one line why there is nothing to read.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Writes content to a temporary file in the same directory, flushes it to disk, renames it over
// path and flushes the directory. Throws StateError naming the path and the system's reason; the
// temporary file is removed then.
void writeFileAtomically(const std::string& path, std::string_view content);
// The same, giving up as soon as abandon is seen set (between pieces of the content, before the
// flush, before the rename): the temporary file is removed, path stays as it was, and the answer
// is false.
bool writeFileAtomically(const std::string& path, std::string_view content, const std::atomic<bool>& abandon);

struct FileRead {
    enum class Problem { None, Missing, Unreadable };
    Problem problem = Problem::None;
    std::string content;  // when problem is None
    std::string reason;   // otherwise: "missing", or "unreadable: " and the system's reason
};
FileRead readWholeFile(const std::string& path);

}  // namespace quorvane
