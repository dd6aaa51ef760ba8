#include "base/Utf.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf, RoundTripsAcrossPlanes) {
  const std::u16string s = u"Tandrel \u00e4\u4e2d\u6587 \U0001F600";
  EXPECT_EQ(base::Utf8ToUtf16(base::Utf16ToUtf8(s)), s);
  EXPECT_EQ(base::Utf16ToUtf8(u"\u4e2d"), "\xe4\xb8\xad");
}

TEST(Utf, IllFormedInputBecomesReplacementCharacters) {
  // Truncated sequence, overlong slash, encoded surrogate, lone continuation byte.
  EXPECT_EQ(base::Utf8ToUtf16("a\xe4\xb8"), u"a\ufffd\ufffd");
  EXPECT_EQ(base::Utf8ToUtf16("\xc0\xaf"), u"\ufffd\ufffd");
  EXPECT_EQ(base::Utf8ToUtf16("\xed\xa0\x80"), u"\ufffd\ufffd\ufffd");
  EXPECT_EQ(base::Utf8ToUtf16("\x80z"), u"\ufffdz");
  EXPECT_EQ(base::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(Utf, CaseInsensitiveCompareFoldsLettersOnly) {
  EXPECT_TRUE(base::EqualsNoCase(u"English", u"ENGLISH"));
  EXPECT_TRUE(base::EqualsNoCase(u"\u00E4\u03B1\u0436", u"\u00C4\u0391\u0416"));
  EXPECT_FALSE(base::EqualsNoCase(u"\u00F7", u"\u00D7"));  // division and multiplication signs
  EXPECT_FALSE(base::EqualsNoCase(u"English", u"Englis"));
  EXPECT_FALSE(base::EqualsNoCase(u"a[", u"A{"));  // '[' and '{' differ by 0x20 but are not letters
}

}  // namespace
