// A feature module for the native tests, built three times (FAKE_KIND 1, 2, 3) and once more
// with its export under a wrong name. Each call appends what it received to the file named by
// TANDREL_FAKE_MODULE_REPORT: the record's bytes and, for each string field, the header in front
// of the characters and the characters with their terminator, all in hex.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "sdk/tandrel_sdk.h"

namespace {

void Hex(std::FILE* f, const void* p, size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i) std::fprintf(f, "%02x", b[i]);
}

void Report(const void* record, size_t size, std::initializer_list<size_t> stringOffsets) {
  const char* path = std::getenv("TANDREL_FAKE_MODULE_REPORT");
  if (!path) return;
  std::FILE* f = std::fopen(path, "a");
  if (!f) return;
  std::fprintf(f, "record ");
  Hex(f, record, size);
  std::fprintf(f, "\n");
  for (size_t offset : stringOffsets) {
    const tandrel_char* s;
    std::memcpy(&s, static_cast<const char*>(record) + offset, sizeof s);
    std::fprintf(f, "string %zu ", offset);
    if (!s) {
      std::fprintf(f, "null\n");
      continue;
    }
    Hex(f, TANDREL_STRING_HEADER(s), sizeof(TandrelStringHeader));
    std::fprintf(f, " ");
    Hex(f, s, (TANDREL_STRING_LENGTH(s) + 1) * sizeof(tandrel_char));
    std::fprintf(f, "\n");
  }
  std::fclose(f);
}

}  // namespace

#if FAKE_KIND == 1
TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL
FAKE_EXPORT(const TandrelMessageConfirmRecord* record) {
  Report(record, sizeof *record,
         {offsetof(TandrelMessageConfirmRecord, sectionPath),
          offsetof(TandrelMessageConfirmRecord, formsFolder),
          offsetof(TandrelMessageConfirmRecord, messageText)});
}
#elif FAKE_KIND == 2
TANDREL_MODULE_EXPORT int32_t TANDREL_MODULE_CALL
FAKE_EXPORT(const TandrelMultiPairFormRecord* record) {
  Report(record, sizeof *record,
         {offsetof(TandrelMultiPairFormRecord, sectionPath),
          offsetof(TandrelMultiPairFormRecord, formsFolder),
          offsetof(TandrelMultiPairFormRecord, text)});
  return 4242;
}
#else
TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL FAKE_EXPORT(const TandrelRSSIDisplayRecord* record) {
  Report(record, sizeof *record,
         {offsetof(TandrelRSSIDisplayRecord, sectionPath),
          offsetof(TandrelRSSIDisplayRecord, formsFolder)});
}
#endif
