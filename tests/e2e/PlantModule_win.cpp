// A feature module for the library-search runs, built on the public SDK. It imports
// tandrel_plant_helper.dll, which lies beside it, and, once running, asks the system for
// tandrel_plant_late.dll by name only, as a careless module might. It writes to "plant.log"
// beside itself which helper answered and whether the late one was found.
#include <windows.h>

#include <cstdio>
#include <string>

#include "sdk/tandrel_sdk.h"
#include "tests/e2e/BesideModule_win.h"

extern "C" __declspec(dllimport) const char* tandrel_helper_origin();

namespace {

void Run() {
  FILE* log = _wfopen(BesideThisModule(L"plant.log").c_str(), L"ab");
  if (!log) return;
  std::fprintf(log, "helper: %s\n", tandrel_helper_origin());
  HMODULE late = LoadLibraryW(L"tandrel_plant_late.dll");
  std::fprintf(log, "late: %s\n", late ? "loaded" : "not found");
  if (late) FreeLibrary(late);
  std::fclose(log);
}

}  // namespace

TANDREL_MODULE_EXPORT int32_t TANDREL_MODULE_CALL
return_MultiPairForm(const TandrelMultiPairFormRecord*) {
  Run();
  return 1;
}

TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL return_RSSIDisplay(const TandrelRSSIDisplayRecord*) {
  Run();
}
