#pragma once
// The context records handed to the feature modules, and the strings in them.
//
// A module reads each record through one pointer argument; the launcher fills it, owns it and
// every string it points at, and keeps them alive only until the module's export returns. The
// layouts are fixed by the modules already built against them: natural C alignment, so the same
// fields sit at 32-bit offsets on 32-bit Windows and at pointer-sized places on 64-bit.
//
// A string field points at the first UTF-16 character of a NUL-terminated text, preceded by the
// framework's string header (TandrelStringHeader); an empty text is a null pointer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/tandrel_sdk.h"

namespace modules {

// The records and the string header are the SDK's: one definition for the launcher and the
// modules, with its layout checks.
using ModuleStringHeader = TandrelStringHeader;
using MessageConfirmRecord = TandrelMessageConfirmRecord;
using MultiPairFormRecord = TandrelMultiPairFormRecord;
using RSSIDisplayRecord = TandrelRSSIDisplayRecord;

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
MessageConfirmRecord MakeMessageConfirmRecord(ModuleStrings& strings, const ModuleContext& context,
                                              std::u16string_view messageText);
MultiPairFormRecord MakeMultiPairFormRecord(ModuleStrings& strings, const ModuleContext& context);
RSSIDisplayRecord MakeRSSIDisplayRecord(ModuleStrings& strings, const ModuleContext& context,
                                        bool receiverOk);

// Shows one message through the message-confirm module (formsFolder + its library path) and
// returns when the module has finished. Nothing happens when the module is missing.
// The record is taken by value: a module may write into the record it is handed, and nothing it
// leaves there is used afterwards.
void ShowMessageConfirm(MessageConfirmRecord record, const std::u16string& formsFolder);

}  // namespace modules
