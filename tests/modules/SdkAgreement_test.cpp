// The launcher's own record types and the public SDK describe the same bytes.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <cwchar>

#include "modules/Dllexports.h"
#include "sdk/tandrel_sdk.h"
#include "device/輸出入_接口與訊息.h"
#include "text/Class語言檔管理.h"

namespace {

#define SAME_FIELD(Ours, Field, Theirs, TheirField)                      \
  static_assert(offsetof(Ours, Field) == offsetof(Theirs, TheirField) && \
                sizeof(Ours::Field) == sizeof(Theirs::TheirField))

SAME_FIELD(DLLSTRUCT_MessageConfirm, LanguageId, TandrelMessageConfirmRecord, languageId);
SAME_FIELD(DLLSTRUCT_MessageConfirm, SectionPath, TandrelMessageConfirmRecord, sectionPath);
SAME_FIELD(DLLSTRUCT_MessageConfirm, WindowHandle, TandrelMessageConfirmRecord, window);
SAME_FIELD(DLLSTRUCT_MessageConfirm, FormsFolder, TandrelMessageConfirmRecord, formsFolder);
SAME_FIELD(DLLSTRUCT_MessageConfirm, MessageText, TandrelMessageConfirmRecord, messageText);
SAME_FIELD(DLLSTRUCT_MessageConfirm, Reserved, TandrelMessageConfirmRecord, reserved);
static_assert(sizeof(DLLSTRUCT_MessageConfirm) == sizeof(TandrelMessageConfirmRecord));

SAME_FIELD(DLLSTRUCT_MultiPairForm, LanguageId, TandrelMultiPairFormRecord, languageId);
SAME_FIELD(DLLSTRUCT_MultiPairForm, SectionPath, TandrelMultiPairFormRecord, sectionPath);
SAME_FIELD(DLLSTRUCT_MultiPairForm, WindowHandle, TandrelMultiPairFormRecord, window);
SAME_FIELD(DLLSTRUCT_MultiPairForm, FormsFolder, TandrelMultiPairFormRecord, formsFolder);
SAME_FIELD(DLLSTRUCT_MultiPairForm, Param0, TandrelMultiPairFormRecord, param0);
SAME_FIELD(DLLSTRUCT_MultiPairForm, Param1, TandrelMultiPairFormRecord, param1);
SAME_FIELD(DLLSTRUCT_MultiPairForm, Param2, TandrelMultiPairFormRecord, param2);
SAME_FIELD(DLLSTRUCT_MultiPairForm, Text, TandrelMultiPairFormRecord, text);
static_assert(sizeof(DLLSTRUCT_MultiPairForm) == sizeof(TandrelMultiPairFormRecord));

SAME_FIELD(DLLSTRUCT_RSSIDisplay, LanguageId, TandrelRSSIDisplayRecord, languageId);
SAME_FIELD(DLLSTRUCT_RSSIDisplay, SectionPath, TandrelRSSIDisplayRecord, sectionPath);
SAME_FIELD(DLLSTRUCT_RSSIDisplay, WindowHandle, TandrelRSSIDisplayRecord, window);
SAME_FIELD(DLLSTRUCT_RSSIDisplay, FormsFolder, TandrelRSSIDisplayRecord, formsFolder);
SAME_FIELD(DLLSTRUCT_RSSIDisplay, ReceiverOk, TandrelRSSIDisplayRecord, receiverOk);
static_assert(sizeof(DLLSTRUCT_RSSIDisplay) == sizeof(TandrelRSSIDisplayRecord));

SAME_FIELD(ModuleStringHeader, CodePage, TandrelStringHeader, codePage);
SAME_FIELD(ModuleStringHeader, ElementSize, TandrelStringHeader, elementSize);
SAME_FIELD(ModuleStringHeader, RefCount, TandrelStringHeader, refCount);
SAME_FIELD(ModuleStringHeader, Length, TandrelStringHeader, length);
static_assert(sizeof(ModuleStringHeader) == sizeof(TandrelStringHeader));

TEST(Sdk, ReadsTheLaunchersStrings) {
  const ModuleString s(u"Forms\\\\Texts");
  const tandrel_char* field = s.get();
  EXPECT_EQ(TANDREL_STRING_LENGTH(field), 12);
  EXPECT_EQ(TANDREL_STRING_HEADER(field)->codePage, 1200);
  EXPECT_EQ(TANDREL_STRING_HEADER(field)->refCount, 1);
  EXPECT_EQ(std::u16string(tandrel_string_text(field)), u"Forms\\\\Texts");
  const tandrel_char* empty = ModuleString(u"").get();
  EXPECT_EQ(TANDREL_STRING_LENGTH(empty), 0);
  EXPECT_EQ(tandrel_string_text(empty)[0], 0);
}

TEST(Sdk, ReadsTheLaunchersRecords) {
  ModuleStrings strings;
  const ModuleContext context{0x0C0A, u"a", reinterpret_cast<void*>(uintptr_t{77}), u"F\\"};
  const auto ours = MakeMultiPairFormRecord(strings, context);
  TandrelMultiPairFormRecord theirs;
  std::memcpy(&theirs, &ours, sizeof theirs);
  EXPECT_EQ(theirs.languageId, 0x0C0A);
  EXPECT_EQ(std::u16string(theirs.sectionPath), u"a");
  EXPECT_EQ(theirs.window, context.MainWindow);
  EXPECT_EQ(std::u16string(theirs.formsFolder), u"F\\");
  EXPECT_EQ(theirs.param2, 1);
  EXPECT_EQ(theirs.text, nullptr);
}

TEST(Sdk, LanguageNamesMatchTheLaunchersTable) {
  // Every identifier: a module must open the same language file as the launcher.
  for (uint32_t id = 0; id <= 0xFFFF; ++id) {
    const std::u16string ours = class語言檔管理::LanguageName(static_cast<uint16_t>(id));
    const char* theirs = tandrel_language_name(static_cast<uint16_t>(id));
    ASSERT_EQ(ours, std::u16string(theirs, theirs + std::strlen(theirs))) << std::hex << id;
  }
}

std::u16string Wide(const wchar_t* s) {
  return std::u16string(s, s + std::wcslen(s));
}

TEST(Sdk, MessageNamesAreTheLaunchers) {
  EXPECT_EQ(Wide(TANDREL_MSG_PAIR_START), device::kAmPairStart);
  EXPECT_EQ(Wide(TANDREL_MSG_PAIR_STOP), device::kAmPairStop);
  EXPECT_EQ(Wide(TANDREL_MSG_PAIR_GET_ID), device::kAmPairGetId);
  EXPECT_EQ(Wide(TANDREL_MSG_PAIR_RETURN_ID), device::kAmPairReturnId);
  EXPECT_EQ(Wide(TANDREL_MSG_REQUEST_RFINFO), device::kAmChannelSettingExRequestRfInfo);
  EXPECT_EQ(Wide(TANDREL_MSG_RFINFO), device::kAmChannelSettingExRfInfo);
  EXPECT_EQ(Wide(TANDREL_MSG_DEVICE_REMOVE), device::kAmDeviceRemove);
}

}  // namespace
