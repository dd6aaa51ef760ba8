// The language table against the identifier mapping of the SDK, which modules use too.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "text/LanguageFiles.h"
#include "text/LanguageNames.h"

namespace {

TEST(LanguageNames, EveryIdentifierNamesALanguageOfTheTableAndEachEntryItsOwn) {
  std::set<std::u16string> table;
  for (const text::LanguageEntry& l : text::kLanguageNames) {
    EXPECT_TRUE(table.emplace(l.name).second) << "twice in the table";
    EXPECT_EQ(text::LanguageFiles::LanguageName(l.languageId), std::u16string(l.name));
  }
  EXPECT_TRUE(table.count(std::u16string(text::kFallbackLanguage)));
  // Every 16-bit identifier, so a name the mapping gives but the table lacks cannot hide.
  std::map<std::u16string, int> reached;
  for (uint32_t id = 0; id <= 0xFFFF; ++id) {
    const std::u16string name = text::LanguageFiles::LanguageName(static_cast<uint16_t>(id));
    EXPECT_TRUE(table.count(name)) << "identifier " << id;
    ++reached[name];
  }
  EXPECT_EQ(reached.size(), table.size());
}

}  // namespace
