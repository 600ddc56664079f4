#pragma once
// Decoding of request targets, parameters and Basic credentials. None of these fail: text that
// does not decode is kept as it came.
#include <string>
#include <string_view>

// Standard base64; characters outside the alphabet are skipped, decoding stops at "=".
std::string decodeBase64(std::string_view text);
// ASCII-only case changes and comparison (header names, method words).
std::string asciiUpper(std::string_view text);
bool sameTextAscii(std::string_view a, std::string_view b);
// Trims spaces and TABs at both ends.
std::string_view trimBlanks(std::string_view text);
