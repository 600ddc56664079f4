#pragma once
// Decoding of request targets, parameters and Basic credentials. None of these fail: text that
// does not decode is kept as it came.
#include <string>
#include <string_view>

#include "text/Text.h"

// Standard base64; characters outside the alphabet are skipped, decoding stops at "=".
std::string decodeBase64(std::string_view text);
// ASCII-only upper case (method words); the comparison is text/Text.h's sameTextAscii.
std::string asciiUpper(std::string_view text);
// Trims spaces and TABs at both ends.
std::string_view trimBlanks(std::string_view text);
