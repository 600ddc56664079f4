#include "text/Utf8.h"

#include "text/TextConstants.h"

namespace {

// Length of the well-formed sequence starting at text[at], or 0 with `bad` set to the length of
// the ill-formed part to replace.
std::size_t sequenceLength(std::string_view text, std::size_t at, std::size_t& bad) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    bad = 1;
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte; later ones are 80..BF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;    // no overlong forms
        if (lead == 0xED) high = 0x9F;   // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;    // no overlong forms
        if (lead == 0xF4) high = 0x8F;   // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size()) {
            bad = i;
            return 0;
        }
        const unsigned char next = byte(at + i);
        const bool ok = i == 1 ? (next >= low && next <= high) : (next >= 0x80 && next <= 0xBF);
        if (!ok) {
            bad = i;
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string sanitizeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t bad = 0;
        if (const std::size_t length = sequenceLength(text, at, bad)) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            out.append(ReplacementCharacter);
            at += bad;
        }
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t at = 0, bad = 0; at < text.size();) {
        const std::size_t length = sequenceLength(text, at, bad);
        if (length == 0) return false;
        at += length;
    }
    return true;
}
