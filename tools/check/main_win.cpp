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
  std::fputs(run.out.c_str(), stdout);
  std::fputs(run.err.c_str(), stderr);
  return run.status;
}
