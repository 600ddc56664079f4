#pragma once
// Fills the "%s" / "%d" placeholders of a message in one left-to-right pass, so that an argument
// that itself holds "%s" is never taken for a placeholder.
#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvane {

std::string formatPlaceholders(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace quorvane
