#include "text/Placeholders.h"

namespace quorvane {

std::string formatPlaceholders(std::string_view format, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(format.size() + 64);
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool placeholder = format[i] == '%' && i + 1 < format.size() &&
                                 (format[i + 1] == 's' || format[i + 1] == 'd');
        if (placeholder && next != args.end()) {
            out.append(*next++);
            ++i;
        } else {
            out.push_back(format[i]);
        }
    }
    return out;
}

}  // namespace quorvane
