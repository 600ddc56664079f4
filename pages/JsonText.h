#pragma once
// JSON string literals.
#include <string>
#include <string_view>

#include "text/Utf8.h"

// Appends the text as a quoted JSON string: UTF-8 cleaned, quotes, backslashes and control
// characters escaped.
void appendJsonString(std::string& out, std::string_view text);
