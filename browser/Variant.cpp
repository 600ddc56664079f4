#include "browser/Variant.h"

#include <cstdio>
#include <string>

#include "browser/BrowserConstants.h"
#include "browser/VariantErrors.h"
#include "text/DateTime.h"

namespace {

// Decimal text of a number: up to 15 significant digits, the regional decimal separator.
std::string numberToText(double number)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", VariantNumberDigits, number);
    std::string text(buffer);
    const char sep = localeFormats()->decimalSep;
    for (char& c : text) {
        if (c == '.') c = sep;
    }
    return text;
}

}  // namespace

std::string variantToText(const Variant& value)
{
    // A by-reference value stands for the value it refers to.
    const Variant* v = &value;
    while (const auto* ref = std::get_if<VariantRef>(&v->value)) {
        if (!*ref) throw VariantCastError(std::string(InvalidVariantCastMessage));
        v = ref->get();
    }
    if (const auto* bytes = std::get_if<std::vector<unsigned char>>(&v->value)) {
        return std::string(bytes->begin(), bytes->end());
    }
    if (const auto* text = std::get_if<std::string>(&v->value)) return *text;
    if (const auto* number = std::get_if<double>(&v->value)) return numberToText(*number);
    return std::string();  // empty
}
