// Comma text over arbitrary bytes: every input splits without fault, and the fields obey the
// splitting rules that the roster format rests on.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "text/LineList.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzzText(data, size);
    StringList fields;
    fields.add("left over from before");
    fields.setCommaText(text);

    // Each field but a trailing empty one consumes at least one input byte.
    std::size_t total = 0;
    for (int i = 0; i < fields.count(); ++i) {
        const std::string field = fields.get(i);
        total += field.size();
        if (field == "left over from before" && text.find("left") == std::string::npos) std::abort();
    }
    if (total > size) std::abort();
    if (static_cast<std::size_t>(fields.count()) > size + 1) std::abort();
    // Nothing but blanks and control characters (or nothing at all) gives no field.
    bool blank = true;
    for (char c : text) {
        if (c == '\0') break;
        if (static_cast<unsigned char>(c) > 32) blank = false;
    }
    if (blank && fields.count() != 0) std::abort();
    return 0;
}
