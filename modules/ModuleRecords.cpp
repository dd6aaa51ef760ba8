#include "modules/ModuleRecords.h"

#include <cstring>

#include "modules/ModuleCall.h"
#include "modules/ModuleLibrary.h"

namespace modules {

ModuleString::ModuleString(std::u16string_view text) {
  if (text.empty()) return;
  const ModuleStringHeader header {
#if UINTPTR_MAX > 0xFFFFFFFFu
    0,
#endif
        1200, 2, 1, static_cast<int32_t>(text.size())
  };
  const size_t bytes = sizeof header + (text.size() + 1) * sizeof(char16_t);
  block_ = std::make_unique<std::byte[]>(bytes);  // zeroed, so the terminator is in place
  std::memcpy(block_.get(), &header, sizeof header);
  auto* chars = reinterpret_cast<char16_t*>(block_.get() + sizeof header);
  std::memcpy(chars, text.data(), text.size() * sizeof(char16_t));
  chars_ = chars;
}

namespace {

template <typename Record>
void FillHead(Record& record, ModuleStrings& strings, const ModuleContext& context) {
  record.languageId = context.LanguageId;
  record.sectionPath = strings.Make(context.SectionPath);
  record.window = context.MainWindow;
  record.formsFolder = strings.Make(context.FormsFolder);
}

}  // namespace

MessageConfirmRecord MakeMessageConfirmRecord(ModuleStrings& strings, const ModuleContext& context,
                                              std::u16string_view messageText) {
  MessageConfirmRecord record{};
  FillHead(record, strings, context);
  record.messageText = strings.Make(messageText);
  record.reserved = 0;
  return record;
}

MultiPairFormRecord MakeMultiPairFormRecord(ModuleStrings& strings, const ModuleContext& context) {
  MultiPairFormRecord record{};
  FillHead(record, strings, context);
  record.param0 = 0;
  record.param1 = 0;
  record.param2 = 1;
  record.text = strings.Make(u"");
  return record;
}

RSSIDisplayRecord MakeRSSIDisplayRecord(ModuleStrings& strings, const ModuleContext& context,
                                        bool receiverOk) {
  RSSIDisplayRecord record{};
  FillHead(record, strings, context);
  record.receiverOk = receiverOk ? 1 : 0;
  return record;
}

void ShowMessageConfirm(MessageConfirmRecord record, const std::u16string& formsFolder) {
  ModuleCall<MessageConfirmRecord> module(formsFolder + MessageConfirmLibraryPath());
  module.Invoke(&record);
}

}  // namespace modules
