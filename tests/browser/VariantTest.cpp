// Browser values to 8-bit text.
#include <gtest/gtest.h>

#include "browser/Variant.h"
#include "browser/VariantErrors.h"

TEST(VariantToText, EveryKindOfValue)
{
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(VariantToText(TVariant{std::string("<BODY>Jos\xC3\xA9</BODY>")}), "<BODY>Jos\xC3\xA9</BODY>");
    EXPECT_EQ(VariantToText(TVariant{Bytes{'a', 'b', 'c'}}), "abc");
    EXPECT_EQ(VariantToText(TVariant{Bytes{0x00, 0xFF}}), std::string("\0\xFF", 2));
    EXPECT_EQ(VariantToText(TVariant{}), "");
    EXPECT_EQ(VariantToText(TVariant{42.0}), "42");
    EXPECT_EQ(VariantToText(TVariant{std::make_shared<const TVariant>(TVariant{Bytes{'x'}})}), "x");
    EXPECT_EQ(VariantToText(TVariant{std::make_shared<const TVariant>(TVariant{})}), "");
    EXPECT_THROW(VariantToText(TVariant{TVariantRef{}}), EVariantTypeCastError);
}
