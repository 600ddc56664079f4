#pragma once
// Text made safe to put into a page: markup characters as character references.
#include <string>
#include <string_view>

namespace quorvane {

// & < > " (and ' unless told otherwise) as character references.
std::string htmlEscape(std::string_view text, bool apostrophe = true);

}  // namespace quorvane
