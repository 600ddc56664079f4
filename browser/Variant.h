#pragma once
// The values the browser control hands back (text, bytes, a number, nothing, or a reference to
// another value), and their conversion to 8-bit text.
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct Variant;
using VariantRef = std::shared_ptr<const Variant>;

struct Variant {
    // monostate: empty; std::string: text (UTF-8); bytes: a byte array; double: a number;
    // VariantRef: a by-reference value.
    std::variant<std::monostate, std::string, std::vector<unsigned char>, double, VariantRef> value;
};

std::string variantToText(const Variant& value);
