#include "text/HtmlEscape.h"

namespace quorvane {

std::string htmlEscape(std::string_view text, bool apostrophe)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'':
            if (apostrophe) {
                out += "&#39;";
                break;
            }
            [[fallthrough]];
        default: out += c;
        }
    }
    return out;
}

}  // namespace quorvane
