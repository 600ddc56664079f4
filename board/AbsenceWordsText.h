#pragma once
// The compiled-in absence word list: board/AbsenceWords.txt, embedded at build time.
#include <string_view>

namespace quorvane {

extern const std::string_view AbsenceWordsText;

}  // namespace quorvane
