#pragma once
// UTF-8 well-formedness: ill-formed are stray and cut-short sequences, overlong forms, surrogates
// and anything beyond U+10FFFF.
#include <string>
#include <string_view>

bool isValidUtf8(std::string_view text);
// The text with every ill-formed part replaced by one U+FFFD per maximal ill-formed part.
std::string sanitizeUtf8(std::string_view text);
