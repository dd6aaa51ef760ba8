#include "modules/ModuleRecords.h"

#include <cstring>

#include "modules/Classdll介面_訊息確認.h"
#include "modules/ModuleLibrary.h"

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

DLLSTRUCT_MessageConfirm MakeMessageConfirmRecord(ModuleStrings& strings,
                                                  const ModuleContext& context,
                                                  std::u16string_view messageText) {
  DLLSTRUCT_MessageConfirm record{};
  FillHead(record, strings, context);
  record.messageText = strings.Make(messageText);
  record.reserved = 0;
  return record;
}

DLLSTRUCT_MultiPairForm MakeMultiPairFormRecord(ModuleStrings& strings,
                                                const ModuleContext& context) {
  DLLSTRUCT_MultiPairForm record{};
  FillHead(record, strings, context);
  record.param0 = 0;
  record.param1 = 0;
  record.param2 = 1;
  record.text = strings.Make(u"");
  return record;
}

DLLSTRUCT_RSSIDisplay MakeRSSIDisplayRecord(ModuleStrings& strings, const ModuleContext& context,
                                            bool receiverOk) {
  DLLSTRUCT_RSSIDisplay record{};
  FillHead(record, strings, context);
  record.receiverOk = receiverOk ? 1 : 0;
  return record;
}

void ShowMessageConfirm(DLLSTRUCT_MessageConfirm record, const std::u16string& formsFolder) {
  classDLL介面_訊息確認 module(formsFolder + MessageConfirmLibraryPath());
  module.Invoke(&record);
}
