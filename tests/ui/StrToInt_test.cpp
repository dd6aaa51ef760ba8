#include "ui/StrToInt.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/Utf.h"
#include "ui/Exception.h"

namespace {

std::string U8(std::u16string_view s) {
  return base::Utf16ToUtf8(s);
}

TEST(StrToInt, ReadsEveryFormTheFrameworkAccepts) {
  const struct {
    std::u16string_view text;
    int32_t value;
  } cases[] = {{u"0", 0},
               {u"7", 7},
               {u"+7", 7},
               {u"-7", -7},
               {u"-0", 0},
               {u"007", 7},
               {u"2147483647", INT32_MAX},
               {u"-2147483648", INT32_MIN},
               {u"00000000002147483647", INT32_MAX},
               {u"$10", 16},
               {u"$ff", 255},
               {u"$FF", 255},
               {u"x1A", 26},
               {u"X1a", 26},
               {u"0x1f", 31},
               {u"0X1F", 31},
               {u"-$10", -16},
               {u"+0x10", 16},
               {u"-x1", -1},
               {u"$7FFFFFFF", INT32_MAX},
               // Hexadecimal takes all 32 bits and wraps into the signed range.
               {u"$80000000", INT32_MIN},
               {u"$FFFFFFFF", -1},
               {u"-$FFFFFFFF", 1},
               {u"$000000010", 16}};  // leading zeros are not digits of the value
  for (const auto& c : cases) {
    EXPECT_EQ(ui::TryStrToInt(c.text), c.value) << U8(c.text);
    EXPECT_EQ(ui::StrToInt(c.text), c.value) << U8(c.text);
  }
}

TEST(StrToInt, RejectsWhatIsNotAnInteger) {
  const std::u16string_view cases[] = {
      u"",
      u"+",
      u"-",
      u"$",
      u"x",
      u"X",
      u"0x",
      u"0X",
      u"-$",
      u"2147483648",
      u"-2147483649",
      u"99999999999999999999",
      u"$100000000",
      u"0x1FFFFFFFF",
      u"1 2",
      u" 1",
      u"1 ",
      u"\t1",
      u"- 1",
      u"$ 1",
      u"12a",
      u"1.0",
      u"1e3",
      u"$g",
      u"0x-1",
      u"--1",
      u"+-1",
      u"0b1",
      u"#FF",
      u"\uFF11",  // full-width digit one
      u"\u0663",  // Arabic-Indic digit three
      std::u16string_view(u"1\0"
                          "2",
                          3),
  };
  for (std::u16string_view text : cases) {
    EXPECT_EQ(ui::TryStrToInt(text), std::nullopt) << U8(text);
    EXPECT_THROW(ui::StrToInt(text), ui::EConvertError) << U8(text);
  }
}

TEST(StrToInt, ErrorNamesTheTextInTheFrameworksWords) {
  try {
    ui::StrToInt(u"l0");
    FAIL() << "no error";
  } catch (const ui::EConvertError& e) {
    EXPECT_EQ(U8(e.Message()), "'l0' is not a valid integer value");
    EXPECT_STREQ(e.what(), "'l0' is not a valid integer value");
  }
  try {
    ui::StrToInt(u"");
    FAIL() << "no error";
  } catch (const ui::EConvertError& e) {
    EXPECT_EQ(U8(e.Message()), "'' is not a valid integer value");
  }
}

}  // namespace
