// Browser values to 8-bit text.
#include <gtest/gtest.h>

#include "browser/Variant.h"
#include "browser/VariantErrors.h"

TEST(variantToText, EveryKindOfValue)
{
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(variantToText(Variant{std::string("<BODY>Jos\xC3\xA9</BODY>")}), "<BODY>Jos\xC3\xA9</BODY>");
    EXPECT_EQ(variantToText(Variant{Bytes{'a', 'b', 'c'}}), "abc");
    EXPECT_EQ(variantToText(Variant{Bytes{0x00, 0xFF}}), std::string("\0\xFF", 2));
    EXPECT_EQ(variantToText(Variant{}), "");
    EXPECT_EQ(variantToText(Variant{42.0}), "42");
    EXPECT_EQ(variantToText(Variant{std::make_shared<const Variant>(Variant{Bytes{'x'}})}), "x");
    EXPECT_EQ(variantToText(Variant{std::make_shared<const Variant>(Variant{})}), "");
    EXPECT_THROW(variantToText(Variant{VariantRef{}}), VariantCastError);
}
