#pragma once
// The values the browser control hands back (text, bytes, a number, nothing, or a reference to
// another value), and their conversion to 8-bit text.
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct TVariant;
using TVariantRef = std::shared_ptr<const TVariant>;

struct TVariant {
    // monostate: empty; std::string: text (UTF-8); bytes: a byte array; double: a number;
    // TVariantRef: a by-reference value.
    std::variant<std::monostate, std::string, std::vector<unsigned char>, double, TVariantRef> Value;
};

std::string VariantToText(const TVariant& value);
