#pragma once
// Text primitives: 8-bit text (std::string of bytes; UTF-8 is the code page), 1-based positions,
// clamped cuts, 0 for "not found". Every operation takes its texts by value semantics and
// returns new text.
#include <cstdint>
#include <string>
#include <string_view>

// Flag bits of textReplace.
enum ReplaceFlag : unsigned {
    ReplaceNone = 0,
    ReplaceAll = 1,  // bit 0: every occurrence, not only the first
    IgnoreCase = 2,  // bit 1: match without regard to letter case
};

// Position (1-based) of the first occurrence of needle in text; 0 when absent or either is empty.
int textPos(std::string_view needle, std::string_view text);
// count chars from start (1-based); start < 1 begins at 1 without reducing count; count < 0 or
// start past the end gives empty text.
std::string textMid(std::string_view text, int start, int count);
std::string textLeft(std::string_view text, int count);
// Left-to-right, non-overlapping replacement; inserted text is never searched again; with
// IgnoreCase the unreplaced pieces keep their own letter case.
std::string textReplace(std::string_view text, std::string_view oldPattern, std::string_view newText,
                        unsigned flags);
// Upper-casing: a-z and the code page's lower-case accented letters (UTF-8 Latin-1 supplement);
// the length never changes.
std::string textUpper(std::string_view text);
// Lower-casing of A-Z only.
std::string textLower(std::string_view text);
// The character at 1-based position; raises RangeError "Range check error" outside the text.
char textCharAt(std::string_view text, int position);
std::string intToText(std::int32_t value);
// Whether a and b are the same text when A-Z and a-z are taken as equal (header names, tokens).
bool sameTextAscii(std::string_view a, std::string_view b);
