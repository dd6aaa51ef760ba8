// tandrel-check natively: arguments arrive in UTF-8.
#include <cstdio>

#include "base/Utf.h"
#include "tools/check/DataCheck.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(base::Utf8ToUtf16(argv[i]));
  const check::Run run = check::RunChecker(args);
  // With their lengths: the text is escaped, but a write never stops at a NUL.
  std::fwrite(run.out.data(), 1, run.out.size(), stdout);
  std::fwrite(run.err.data(), 1, run.err.size(), stderr);
  return run.status;
}
