#pragma once
// Small text steps of reading a request.
#include <string>
#include <string_view>

// ASCII-only upper case (method words); the comparison is text/Text.h's sameTextAscii.
std::string asciiUpper(std::string_view text);
// Trims spaces and TABs at both ends.
std::string_view trimBlanks(std::string_view text);
