// The value syntax of the layout file: field splitting, colours and rectangles.
#include <gtest/gtest.h>

#include "base/Utf.h"
#include "skin/LayoutFile.h"
#include "ui/Exception.h"

namespace {

using skin::LayoutFile;

std::string U8(std::u16string_view s) {
  return base::Utf16ToUtf8(s);
}

// The message of the conversion error f raises, or "no error".
template <typename F>
std::string ConversionError(F f) {
  try {
    f();
  } catch (const ui::EConvertError& e) {
    return U8(e.Message());
  }
  return "no error";
}

TEST(ExtractField, CutsAtEverySeparatorAndTrimsEachPiece) {
  const struct {
    std::u16string_view text;
    char16_t separator;
    size_t index;
    std::u16string_view field;
  } cases[] = {
      {u"a,b", u',', 0, u"a"},       {u"a,b", u',', 1, u"b"},
      {u"a,b", u',', 2, u""},        {u"a,,b", u',', 1, u""},
      {u"a,,b", u',', 2, u"b"},      {u"a,b,", u',', 1, u"b"},
      {u"a,b,", u',', 2, u""},       {u"a,b,", u',', 3, u""},
      {u"", u',', 0, u""},           {u"", u',', 5, u""},
      {u",", u',', 0, u""},          {u" \t x y \r\n,", u',', 0, u"x y"},  // inner blanks stay
      {u"\x01!\x1f", u',', 0, u"!"},                               // codes up to 32 go, 33 stays
      {u"a.b.c", u'.', 2, u"c"},     {u"a.b,c", u'.', 1, u"b,c"},  // only the given separator cuts
  };
  for (const auto& c : cases) {
    EXPECT_EQ(U8(LayoutFile::ExtractField(c.text, c.separator, c.index)), U8(c.field))
        << U8(c.text) << " #" << c.index;
  }
}

TEST(ParseColour, RgbTakesTheLowEightBitsOfEachField) {
  EXPECT_EQ(LayoutFile::ParseColour(u"rgb,255,0,0"), 255u);
  EXPECT_EQ(LayoutFile::ParseColour(u"RGB , 0 , 0 , 255"), 16711680u);
  EXPECT_EQ(LayoutFile::ParseColour(u"rgb,256,-1,0"), 65280u);
  EXPECT_EQ(LayoutFile::ParseColour(u"rgb,1,2,3,4"), 0x030201u);
  EXPECT_EQ(LayoutFile::ParseColour(u"rgb,1,2,3,not a number"), 0x030201u);  // never converted
  EXPECT_EQ(LayoutFile::ParseColour(u"\t Rgb,$FF,0x10,X7f \r"), 0x7F10FFu);
  EXPECT_EQ(LayoutFile::ParseColour(u"rgb,$FFFFFFFF,-256,2147483647"), 0xFF00FFu);
}

TEST(ParseColour, AnyOtherKeywordIsBlack) {
  for (std::u16string_view text :
       {u"clRed", u"255", u"#FF0000", u"", u"rgba,1,2,3", u"rg b,1,2,3", u",1,2,3"}) {
    EXPECT_EQ(LayoutFile::ParseColour(text), 0u) << U8(text);
  }
}

TEST(ParseColour, AMalformedFieldRaisesTheConversionErrorForTheFirstOne) {
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseColour(u"rgb,1,2"); }),
            "'' is not a valid integer value");
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseColour(u"rgb"); }),
            "'' is not a valid integer value");
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseColour(u"rgb,1,2 0,x"); }),
            "'2 0' is not a valid integer value");
  // The value is lower-cased before it is cut, so the error shows the lower-case field.
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseColour(u"RGB,Red,Green,0"); }),
            "'red' is not a valid integer value");
}

TEST(ParseRect, RectpIsCornersAndRectwhIsInclusiveSize) {
  EXPECT_EQ(LayoutFile::ParseRect(u"rectp,10,20,110,70"), (ui::TRect{10, 20, 110, 70}));
  EXPECT_EQ(LayoutFile::ParseRect(u"rectwh,10,20,100,50"), (ui::TRect{10, 20, 109, 69}));
  EXPECT_EQ(LayoutFile::ParseRect(u"  RectWH , -5, 0x10 ,1,1 "), (ui::TRect{-5, 16, -5, 16}));
  EXPECT_EQ(LayoutFile::ParseRect(u"rectp,1,2,3,4,"), (ui::TRect{1, 2, 3, 4}));
  EXPECT_EQ(LayoutFile::ParseRect(u"rectp,1,2,3,4,junk"), (ui::TRect{1, 2, 3, 4}));
  // The sums wrap at 32 bits, as the framework's integers do.
  EXPECT_EQ(LayoutFile::ParseRect(u"rectwh,2147483647,-2147483648,2,0"),
            (ui::TRect{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX}));
}

TEST(ParseRect, AnyOtherKeywordIsTheEmptyRectangle) {
  for (std::u16string_view text :
       {u"12,34,56,78", u"rect,1,2,3,4", u"rectwhx,1,2,3,4", u"", u"rectp 1,2,3,4"}) {
    EXPECT_EQ(LayoutFile::ParseRect(text), ui::TRect{}) << U8(text);
  }
}

TEST(ParseRect, FieldsAreConvertedInOrderAndAMissingOneFails) {
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseRect(u"rectp,1,2,3"); }),
            "'' is not a valid integer value");
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseRect(u"rectwh,1,2,,4"); }),
            "'' is not a valid integer value");
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseRect(u"rectp,a,b,3,4"); }),
            "'a' is not a valid integer value");
  EXPECT_EQ(ConversionError([] { LayoutFile::ParseRect(u"rectwh,1,2,3,4.5"); }),
            "'4.5' is not a valid integer value");
}

}  // namespace
