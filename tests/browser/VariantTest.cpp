// Browser values to 8-bit text.
#include <gtest/gtest.h>

#include <memory>

#include "browser/Variant.h"
#include "browser/VariantErrors.h"
#include "text/DateTime.h"

namespace {

TEST(VariantToText, TextBytesNothingAndNumbers)
{
    EXPECT_EQ(VariantToText(TVariant{std::string("<BODY>x</BODY>")}), "<BODY>x</BODY>");
    EXPECT_EQ(VariantToText(TVariant{std::vector<unsigned char>{'a', 'b', 'c'}}), "abc");
    EXPECT_EQ(VariantToText(TVariant{std::vector<unsigned char>{0x00, 0xFF}}), std::string("\0\xFF", 2));
    EXPECT_EQ(VariantToText(TVariant{}), "");
    EXPECT_EQ(VariantToText(TVariant{std::vector<unsigned char>{}}), "");
    EXPECT_EQ(VariantToText(TVariant{42.0}), "42");
    EXPECT_EQ(VariantToText(TVariant{-0.1}), "-0.1");
}

TEST(VariantToText, NumberUsesRegionalDecimalSeparator)
{
    const auto saved = *LocaleFormats();
    TFormatSettings formats = saved;
    formats.DecimalSep = ',';
    SetLocaleFormats(formats);
    EXPECT_EQ(VariantToText(TVariant{2.5}), "2,5");
    SetLocaleFormats(saved);
}

TEST(VariantToText, ReferenceGivesTheReferredValue)
{
    auto inner = std::make_shared<const TVariant>(TVariant{std::string("abc")});
    EXPECT_EQ(VariantToText(TVariant{inner}), "abc");
    auto bytes = std::make_shared<const TVariant>(TVariant{std::vector<unsigned char>{'x', 'y'}});
    EXPECT_EQ(VariantToText(TVariant{bytes}), "xy");
    auto empty = std::make_shared<const TVariant>(TVariant{});
    EXPECT_EQ(VariantToText(TVariant{empty}), "");
}

TEST(VariantToText, DanglingReferenceHasNoTextForm)
{
    try {
        VariantToText(TVariant{TVariantRef{}});
        FAIL() << "no error";
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Invalid variant type conversion");
    }
}

}  // namespace
