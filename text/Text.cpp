#include "text/Text.h"

#include "text/Errors.h"
#include "text/TextConstants.h"

#include <algorithm>

namespace {

// The cut behind textMid/textLeft, on 64-bit arithmetic so that extreme counts cannot overflow.
std::string copyClamped(std::string_view text, long long start, long long count)
{
    const auto length = static_cast<long long>(text.size());
    if (count < 0 || start > length) {
        return {};
    }
    if (start < 1) {
        start = 1;  // count is deliberately not reduced by the positions before 1
    }
    const long long available = length - start + 1;
    return std::string(text.substr(static_cast<std::size_t>(start - 1),
                                   static_cast<std::size_t>(std::min(count, available))));
}

bool isLatin1Lower(unsigned char second)
{
    return second >= Latin1LowerFirst && second <= Latin1LowerLast && second != Latin1Division;
}

// The part of a text that the replacement search reads: everything before its first NUL.
std::string_view upToNul(std::string_view text)
{
    return text.substr(0, std::min(text.find(Nul), text.size()));
}

}  // namespace

int textPos(std::string_view needle, std::string_view text)
{
    if (needle.empty() || text.empty() || needle.size() > text.size()) {
        return 0;
    }
    const std::size_t at = text.find(needle);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string textLeft(std::string_view text, int count)
{
    return copyClamped(text, 1, count);
}

std::string textMid(std::string_view text, int start, int count)
{
    return copyClamped(text, start, count);
}

std::string textReplace(std::string_view text, std::string_view oldPattern, std::string_view newText,
                        unsigned flags)
{
    // Ignoring case, the search runs on an upper-cased copy; every byte of the result comes from
    // the original text, so unreplaced pieces keep their own letter case. Upper-casing keeps the
    // length, so both advance in step. Minding case, the text itself is searched (no copy).
    const bool ignoreCase = (flags & IgnoreCase) != 0;
    std::string searchCopy;
    std::string patternCopy;
    std::string_view pattern = oldPattern;
    std::string_view search = text;
    if (ignoreCase) {
        searchCopy = textUpper(text);
        patternCopy = textUpper(oldPattern);
        search = searchCopy;
        pattern = patternCopy;
    }
    // Only the text before a NUL is searched. A pattern holding a NUL therefore never occurs in
    // it; treating it as its prefix instead would cut bytes that were never matched.
    const bool searchable = !pattern.empty() && pattern.find(Nul) == std::string_view::npos;

    std::string_view rest = text;
    std::string result;
    result.reserve(text.size());
    while (!search.empty()) {
        const std::size_t at = searchable ? upToNul(search).find(pattern) : std::string_view::npos;
        if (at == std::string_view::npos) {
            break;
        }
        result.append(rest.substr(0, at));
        result.append(newText);
        rest.remove_prefix(at + pattern.size());
        search.remove_prefix(at + pattern.size());
        if ((flags & ReplaceAll) == 0) {
            break;
        }
    }
    result.append(rest);
    return result;
}

std::string textUpper(std::string_view text)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - CaseDistance);
        } else if (c == Latin1Lead && i + 1 < out.size() &&
                   isLatin1Lower(static_cast<unsigned char>(out[i + 1]))) {
            out[i + 1] = static_cast<char>(static_cast<unsigned char>(out[i + 1]) - CaseDistance);
            ++i;
        }
    }
    return out;
}

std::string textLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + CaseDistance);
        }
    }
    return out;
}

char textCharAt(std::string_view text, int position)
{
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) {
        throw RangeError(std::string(RangeErrorMessage));
    }
    return text[static_cast<std::size_t>(position) - 1];
}

std::string intToText(std::int32_t value)
{
    return std::to_string(value);
}

bool sameTextAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}
