#pragma once
// UTF-8 clean-up and JSON string literals.
#include <string>
#include <string_view>

// The text with every ill-formed UTF-8 sequence (stray, overlong, surrogate, beyond U+10FFFF or
// cut short) replaced by one U+FFFD per maximal ill-formed part.
std::string sanitizeUtf8(std::string_view text);

// Appends the text as a quoted JSON string: UTF-8 cleaned, quotes, backslashes and control
// characters escaped.
void appendJsonString(std::string& out, std::string_view text);
