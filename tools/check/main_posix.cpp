// tandrel-check natively: arguments arrive in UTF-8.
#include <cstdio>

#include "base/Utf.h"
#include "tools/check/DataCheck.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(base::Utf8ToUtf16(argv[i]));
  const check::Run run = check::RunChecker(args);
  std::fputs(run.out.c_str(), stdout);
  std::fputs(run.err.c_str(), stderr);
  return run.status;
}
