#pragma once
// Read-only INI files, read the way the platform's private-profile reader reads them with the
// 2048-character buffer the launcher uses. The file is parsed once; lookups never touch it again.
//
// The rules, as the platform applies them:
// - Encoding: UTF-16 LE after its byte-order mark; otherwise the system code page. A UTF-8 or
//   UTF-16 BE byte-order mark is understood as well (the platform would read those as code-page
//   text; nobody writes such a file on purpose).
// - Lines end at CR or LF. Each line loses its leading and trailing blanks and control characters
//   (codes 1 to 32); blank lines and lines starting with ';' are skipped.
// - A line starting with '[' opens a section named by the text up to the first ']', or up to the
//   end of the line when there is none, trimmed. Text after the ']' is ignored.
// - Other lines are key lines: the key is the text before the first '=', the value the text after
//   it, both trimmed. A line without '=' is a key without a value: looking it up gives the default.
// - A value enclosed in one matching pair of '"' or '\'' loses that pair; then it is cut to 2047
//   characters. A NUL character ends a name or value, as it ends the platform's C strings.
// - Names match without regard to letter case. Of sections of the same name only the first is
//   searched; of keys of the same name in it only the first counts. Lines before the first
//   section belong to no section that can be read.
// - Looked-up names lose leading and trailing spaces (spaces only); the default loses trailing
//   spaces and is cut to 2047 characters too.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Utf.h"

namespace ui {

// Turns text without a byte-order mark into UTF-16.
using CodePageDecoder = std::function<std::u16string(std::string_view bytes)>;

// The system code page on Windows; Windows-1252 elsewhere, so the portable build reads what a
// Western European Windows reads.
CodePageDecoder SystemCodePageDecoder();
using base::DecodeWindows1252;

// A file's bytes as text, by its byte-order mark (see above); `decode` serves text without one.
std::u16string DecodeIniText(std::span<const uint8_t> bytes, const CodePageDecoder& decode);

// Names match with base::FoldCase.

// What a reading skipped or misread, for tools that explain a file to its author
// (tandrel-check). Filled only when asked for, so the launcher's reading pays nothing for it.
// Lines count from 1; CR, LF and CR LF each end one.
struct IniDiagnostics {
  enum class Encoding {
    CodePage,             // no byte-order mark, ASCII only: read the same everywhere
    CodePageBeyondAscii,  // no byte-order mark: right only under the code page it was written in
    Utf16Le,
    Utf16LeOddLength,  // the last byte is no character and is lost
    Utf16Be,           // the launcher reads it; the platform's reader takes it for code-page text
    Utf8,              // with its byte-order mark; the same
  };
  struct Entry {
    std::u16string section;  // for a key: the section it is in
    std::u16string key;      // empty for a section
    int line = 0;
    int firstLine = 0;      // for a repeated name: the line of the one that counts
    bool hasValue = false;  // a key line with '='
  };
  Encoding encoding = Encoding::CodePage;
  // What can be read, in the file's order: the first section of each name and the first key of
  // each name in it (keys without '=' too, which read as missing).
  std::vector<Entry> sections, keys;
  // What is never read: sections and keys named again, key lines before the first section.
  std::vector<Entry> repeatedSections, repeatedKeys;
  std::vector<int> linesBeforeFirstSection;
};

class TIniFile {
 public:
  static constexpr size_t kBufferChars = 2048;
  static constexpr size_t kMaxValueChars = kBufferChars - 1;

  // No file: every read gives the default.
  TIniFile() = default;
  // Reads the file once; a missing or unreadable file reads as empty, as the platform's does.
  // `diagnostics`, when given, learns what the reading skipped or misread.
  explicit TIniFile(const std::u16string& path,
                    const CodePageDecoder& decode = SystemCodePageDecoder(),
                    IniDiagnostics* diagnostics = nullptr);
  static TIniFile FromBytes(std::span<const uint8_t> bytes,
                            const CodePageDecoder& decode = SystemCodePageDecoder(),
                            IniDiagnostics* diagnostics = nullptr);

  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) const;
  // The first section of that name holds at least one key line (an empty section lists no keys,
  // so the platform cannot tell it from a missing one).
  bool SectionExists(std::u16string_view section) const;
  // The sections SectionExists finds and the keys of one that ReadString finds (those with a
  // value), as the file spells them, each name once and in no particular order.
  std::vector<std::u16string> SectionNames() const;
  std::vector<std::u16string> KeyNames(std::u16string_view section) const;
  // A file was read (it may still have been empty).
  bool Loaded() const { return loaded_; }

 private:
  // Memory stays proportional to the file: of the decoded text only the names and values that
  // can be read are kept, one after another in text_, and everything else refers to them by
  // 32-bit offset. A section's keys are consecutive in keys_; a key's value follows its name.
  struct Key {
    uint32_t offset;  // of the name in text_
    uint32_t nameLength;
    uint32_t valueLength;  // kNoValue for a line without '='
  };
  struct Section {
    uint32_t offset, nameLength;
    uint32_t firstKey, keyCount;
  };
  static constexpr uint32_t kNoValue = UINT32_MAX;
  // Decoded text longer than this is read up to here: the offsets are 32-bit.
  static constexpr size_t kMaxTextChars = UINT32_MAX - 1;

  void Parse(std::u16string text, IniDiagnostics* diagnostics);
  std::u16string_view Name(const Key& k) const { return {text_.data() + k.offset, k.nameLength}; }
  std::u16string_view Name(const Section& s) const {
    return {text_.data() + s.offset, s.nameLength};
  }
  // Index of the first section of that name, of the key of that name in a section, or -1.
  int64_t FindSection(std::u16string_view name) const;
  int64_t FindKey(uint32_t section, std::u16string_view name) const;
  void RehashSections(size_t slots);
  void RehashKeys(size_t slots);

  std::u16string text_;
  std::vector<Section> sections_;
  std::vector<Key> keys_;
  // Open-addressing hash tables over sections_ and over (section, key name): a slot holds an
  // index + 1, 0 marks a free slot. Names hash and compare with letter case folded.
  std::vector<uint32_t> sectionSlots_, keySlots_;
  bool loaded_ = false;
};

}  // namespace ui
