#pragma once
// tandrel-check: reads a data tree (texts, layout file, skin pictures) as the launcher would and
// reports what the launcher would misread, ignore or refuse, one finding per file and line.
// Portable: the tool is built for Windows and natively (CI runs it on the shipped tree).
#include <filesystem>
#include <string>
#include <vector>

namespace check {

// A note tells what the checker could not check here; it leaves the exit status alone.
enum class Severity { Note, Warning, Error };

struct Finding {
  std::filesystem::path file;  // relative to the folder named on the command line
  int line = 0;                // 1-based; 0 for the file as a whole
  Severity severity = Severity::Warning;
  std::string message;  // UTF-8
};

// The forms folder ("...\Data\Tandrel_Program\Forms") below or at `folder`: an install folder,
// its Data folder, Data\Tandrel_Program, or the forms folder itself. Empty when none is there.
std::filesystem::path FindFormsFolder(const std::filesystem::path& folder);

// Every finding for the forms folder, in a stable order: by file, then line; paths relative to
// `root`.
std::vector<Finding> CheckFormsFolder(const std::filesystem::path& forms,
                                      const std::filesystem::path& root);

// "file:line: warning: message" lines (no line for the file as a whole), or a JSON array. Both
// escape control characters, NUL included: a hostile name can neither end the output, move the
// cursor nor forge a line.
std::string FormatText(const std::vector<Finding>& findings);
std::string FormatJson(const std::vector<Finding>& findings);

// 0 clean, 1 with warnings only, 2 with errors.
int ExitStatus(const std::vector<Finding>& findings);

// The whole tool: arguments without the program name; what to print on standard output and
// standard error; the exit status (3 for a usage error).
struct Run {
  std::string out, err;
  int status = 0;
};
Run RunChecker(const std::vector<std::u16string>& args);

}  // namespace check
