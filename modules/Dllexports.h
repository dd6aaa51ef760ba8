#pragma once
// The context records handed to the feature modules, and the strings in them.
//
// A module reads each record through one pointer argument; the launcher fills it, owns it and
// every string it points at, and keeps them alive only until the module's export returns. The
// layouts are fixed by the modules already built against them: natural C alignment, so the same
// fields sit at 32-bit offsets on 32-bit Windows and at pointer-sized places on 64-bit.
//
// A string field points at the first UTF-16 character of a NUL-terminated text, preceded by the
// framework's string header (see ModuleStringHeader); an empty text is a null pointer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The header in front of a string's first character. 64-bit builds lead with a 32-bit zero so
// that the characters stay 8-byte aligned.
struct ModuleStringHeader {
#if UINTPTR_MAX > 0xFFFFFFFFu
  int32_t Padding;  // 0
#endif
  uint16_t CodePage;     // 1200: UTF-16 LE
  uint16_t ElementSize;  // 2
  int32_t RefCount;      // 1: the launcher's own, never shared
  int32_t Length;        // code units, without the terminator
};

// The head shared by all three records; repeated in each so that every record stays one plain
// struct with its fields in declaration order.
struct DLLSTRUCT_MessageConfirm {
  uint16_t LanguageId;  // 0: the user's default language
  const char16_t* SectionPath;
  void* WindowHandle;  // the launcher's main window, which answers the registered messages
  const char16_t* FormsFolder;
  const char16_t* MessageText;
  int32_t Reserved;  // 0
};

struct DLLSTRUCT_MultiPairForm {
  uint16_t LanguageId;
  const char16_t* SectionPath;
  void* WindowHandle;
  const char16_t* FormsFolder;
  int32_t Param0;        // 0
  int32_t Param1;        // 0
  int32_t Param2;        // 1
  const char16_t* Text;  // empty
};

struct DLLSTRUCT_RSSIDisplay {
  uint16_t LanguageId;
  const char16_t* SectionPath;
  void* WindowHandle;
  const char16_t* FormsFolder;
  uint8_t ReceiverOk;  // 1: the display is opened only after a passed receiver check
};

#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(sizeof(ModuleStringHeader) == 16);
static_assert(offsetof(ModuleStringHeader, CodePage) == 4 &&
              offsetof(ModuleStringHeader, ElementSize) == 6 &&
              offsetof(ModuleStringHeader, RefCount) == 8 &&
              offsetof(ModuleStringHeader, Length) == 12);
static_assert(offsetof(DLLSTRUCT_MessageConfirm, SectionPath) == 8 &&
              offsetof(DLLSTRUCT_MessageConfirm, WindowHandle) == 16 &&
              offsetof(DLLSTRUCT_MessageConfirm, FormsFolder) == 24 &&
              offsetof(DLLSTRUCT_MessageConfirm, MessageText) == 32 &&
              offsetof(DLLSTRUCT_MessageConfirm, Reserved) == 40 &&
              sizeof(DLLSTRUCT_MessageConfirm) == 48);
static_assert(offsetof(DLLSTRUCT_MultiPairForm, FormsFolder) == 24 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param0) == 32 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param1) == 36 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param2) == 40 &&
              offsetof(DLLSTRUCT_MultiPairForm, Text) == 48 &&
              sizeof(DLLSTRUCT_MultiPairForm) == 56);
static_assert(offsetof(DLLSTRUCT_RSSIDisplay, FormsFolder) == 24 &&
              offsetof(DLLSTRUCT_RSSIDisplay, ReceiverOk) == 32 &&
              sizeof(DLLSTRUCT_RSSIDisplay) == 40);
#else
static_assert(sizeof(ModuleStringHeader) == 12);
static_assert(offsetof(ModuleStringHeader, CodePage) == 0 &&
              offsetof(ModuleStringHeader, ElementSize) == 2 &&
              offsetof(ModuleStringHeader, RefCount) == 4 &&
              offsetof(ModuleStringHeader, Length) == 8);
static_assert(offsetof(DLLSTRUCT_MessageConfirm, SectionPath) == 4 &&
              offsetof(DLLSTRUCT_MessageConfirm, WindowHandle) == 8 &&
              offsetof(DLLSTRUCT_MessageConfirm, FormsFolder) == 12 &&
              offsetof(DLLSTRUCT_MessageConfirm, MessageText) == 16 &&
              offsetof(DLLSTRUCT_MessageConfirm, Reserved) == 20 &&
              sizeof(DLLSTRUCT_MessageConfirm) == 24);
static_assert(offsetof(DLLSTRUCT_MultiPairForm, FormsFolder) == 12 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param0) == 16 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param1) == 20 &&
              offsetof(DLLSTRUCT_MultiPairForm, Param2) == 24 &&
              offsetof(DLLSTRUCT_MultiPairForm, Text) == 28 &&
              sizeof(DLLSTRUCT_MultiPairForm) == 32);
static_assert(offsetof(DLLSTRUCT_RSSIDisplay, FormsFolder) == 12 &&
              offsetof(DLLSTRUCT_RSSIDisplay, ReceiverOk) == 16 &&
              sizeof(DLLSTRUCT_RSSIDisplay) == 20);
#endif

// One string in the framework's layout, owned: header, characters, terminator in one block.
// Move-only; the character pointer stays valid across moves.
class ModuleString {
 public:
  ModuleString() = default;
  explicit ModuleString(std::u16string_view text);
  // The pointer a record carries: the first character, or null for the empty text.
  const char16_t* get() const { return chars_; }

 private:
  std::unique_ptr<std::byte[]> block_;
  const char16_t* chars_ = nullptr;
};

// The strings of one module call. They are released together when the owner goes, after the
// module has returned.
class ModuleStrings {
 public:
  const char16_t* Make(std::u16string_view text) { return strings_.emplace_back(text).get(); }

 private:
  std::vector<ModuleString> strings_;
};

// What every record's head carries, as the main form holds it.
struct ModuleContext {
  uint16_t LanguageId = 0;
  std::u16string SectionPath;
  void* MainWindow = nullptr;
  std::u16string FormsFolder;
};

// The records as the launcher fills them; their strings are made in `strings`, which must
// outlive the module call.
DLLSTRUCT_MessageConfirm MakeMessageConfirmRecord(ModuleStrings& strings,
                                                  const ModuleContext& context,
                                                  std::u16string_view messageText);
DLLSTRUCT_MultiPairForm MakeMultiPairFormRecord(ModuleStrings& strings,
                                                const ModuleContext& context);
DLLSTRUCT_RSSIDisplay MakeRSSIDisplayRecord(ModuleStrings& strings, const ModuleContext& context,
                                            bool receiverOk);

// Shows one message through the message-confirm module (formsFolder + its library path) and
// returns when the module has finished. Nothing happens when the module is missing.
// The record is taken by value: a module may write into the record it is handed, and nothing it
// leaves there is used afterwards.
void ShowMessageConfirm(DLLSTRUCT_MessageConfirm record, const std::u16string& formsFolder);
