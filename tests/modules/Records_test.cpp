// The records and strings as the launcher hands them to a module, read back as raw bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "modules/ModuleRecords.h"

namespace {

template <typename T>
T At(const void* base, size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const char*>(base) + offset, sizeof v);
  return v;
}

// The header fields, read at the byte positions the modules read them.
struct Header {
  int32_t lead;
  uint16_t codePage, elementSize;
  int32_t refCount, length;
};
Header HeaderOf(const char16_t* s) {
  const char* h = reinterpret_cast<const char*>(s) - (sizeof(void*) == 8 ? 16 : 12);
  if (sizeof(void*) == 8)
    return {At<int32_t>(h, 0), At<uint16_t>(h, 4), At<uint16_t>(h, 6), At<int32_t>(h, 8),
            At<int32_t>(h, 12)};
  return {0, At<uint16_t>(h, 0), At<uint16_t>(h, 2), At<int32_t>(h, 4), At<int32_t>(h, 8)};
}

TEST(ModuleString, HeaderInFrontOfTerminatedCharacters) {
  const modules::ModuleString s(u"AB\\\\\\\\c");
  ASSERT_NE(s.get(), nullptr);
  const Header h = HeaderOf(s.get());
  EXPECT_EQ(h.lead, 0);
  EXPECT_EQ(h.codePage, 1200);
  EXPECT_EQ(h.elementSize, 2);
  EXPECT_EQ(h.refCount, 1);
  EXPECT_EQ(h.length, 7);
  EXPECT_EQ(std::u16string(s.get()), u"AB\\\\\\\\c");
  EXPECT_EQ(s.get()[7], u'\0');
}

TEST(ModuleString, EmptyIsNull) {
  EXPECT_EQ(modules::ModuleString(u"").get(), nullptr);
  EXPECT_EQ(modules::ModuleString().get(), nullptr);
}

TEST(ModuleString, LengthCountsCodeUnitsAndKeepsEmbeddedText) {
  // A character outside the basic plane takes two code units; the not-found marker is text.
  const modules::ModuleString s(u"\U0001F600@@");
  EXPECT_EQ(HeaderOf(s.get()).length, 4);
  EXPECT_EQ(std::u16string(s.get()), u"\U0001F600@@");
}

TEST(ModuleString, CharactersAreAlignedForThePlatform) {
  const modules::ModuleString s(u"x");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(s.get()) % alignof(void*), 0u);
}

TEST(ModuleStrings, PointersSurviveGrowth) {
  modules::ModuleStrings strings;
  std::vector<const char16_t*> made;
  for (int i = 0; i < 100; ++i) made.push_back(strings.Make(std::u16string(i + 1, u'a')));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(std::u16string(made[i]), std::u16string(i + 1, u'a'));
}

class Records : public ::testing::Test {
 protected:
  modules::ModuleStrings strings;
  modules::ModuleContext context{0, u"", reinterpret_cast<void*>(uintptr_t{0x10203}),
                                 u"C:\\Tandrel\\\\Data\\Tandrel_Program\\Forms\\"};
};

// Byte positions of the records on this build (design notes: 32-bit and 64-bit columns).
constexpr size_t P = sizeof(void*);
constexpr size_t kSection = P, kWindow = 2 * P, kForms = 3 * P, kTail = 4 * P;

TEST_F(Records, MessageConfirmCarriesHeadAndText) {
  const auto record = modules::MakeMessageConfirmRecord(strings, context, u"@@");
  EXPECT_EQ(sizeof record, P == 8 ? 48u : 24u);
  EXPECT_EQ(At<uint16_t>(&record, 0), 0);
  EXPECT_EQ(At<const char16_t*>(&record, kSection), nullptr);
  EXPECT_EQ(At<void*>(&record, kWindow), context.MainWindow);
  EXPECT_EQ(std::u16string(At<const char16_t*>(&record, kForms)), context.FormsFolder);
  EXPECT_EQ(std::u16string(At<const char16_t*>(&record, kTail)), u"@@");
  EXPECT_EQ(At<int32_t>(&record, kTail + P), 0);
}

TEST_F(Records, EmptyMessageTextIsNull) {
  const auto record = modules::MakeMessageConfirmRecord(strings, context, u"");
  EXPECT_EQ(At<const char16_t*>(&record, kTail), nullptr);
}

TEST_F(Records, MultiPairFormCarriesZeroZeroOneAndEmptyText) {
  context.LanguageId = 0x0407;
  context.SectionPath = u"a.b";
  const auto record = modules::MakeMultiPairFormRecord(strings, context);
  EXPECT_EQ(sizeof record, P == 8 ? 56u : 32u);
  EXPECT_EQ(At<uint16_t>(&record, 0), 0x0407);
  EXPECT_EQ(std::u16string(At<const char16_t*>(&record, kSection)), u"a.b");
  EXPECT_EQ(At<int32_t>(&record, kTail), 0);
  EXPECT_EQ(At<int32_t>(&record, kTail + 4), 0);
  EXPECT_EQ(At<int32_t>(&record, kTail + 8), 1);
  EXPECT_EQ(At<const char16_t*>(&record, P == 8 ? 48 : 28), nullptr);
}

TEST_F(Records, RssiDisplayCarriesReceiverCheckResult) {
  const auto record = modules::MakeRSSIDisplayRecord(strings, context, true);
  EXPECT_EQ(sizeof record, P == 8 ? 40u : 20u);
  EXPECT_EQ(At<uint8_t>(&record, kTail), 1);
  const auto failed = modules::MakeRSSIDisplayRecord(strings, context, false);
  EXPECT_EQ(At<uint8_t>(&failed, kTail), 0);
}

}  // namespace
