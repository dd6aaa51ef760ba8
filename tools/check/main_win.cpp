// tandrel-check on Windows: a console program; arguments arrive in UTF-16, output goes out in
// UTF-8 with the console told so.
#include <windows.h>

#include <cstdio>

#include "tools/check/DataCheck.h"

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  const check::Run run = check::RunChecker(args);
  // With their lengths: the text is escaped, but a write never stops at a NUL.
  std::fwrite(run.out.data(), 1, run.out.size(), stdout);
  std::fwrite(run.err.data(), 1, run.err.size(), stderr);
  return run.status;
}
