#include "ui/win/CommonControls.h"

#include "base/Platform.h"
#include "base/UniqueHandle.h"

namespace ui::win {
namespace {

void ReleaseContext(HANDLE context) {
  ReleaseActCtx(context);
}
using unique_actctx = base::unique_handle<HANDLE, void (*)(HANDLE), &ReleaseContext>;

unique_actctx MakeContext() {
  const std::u16string exe = base::ModuleFileName(nullptr);
  if (exe.empty()) return {};
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  request.lpSource = reinterpret_cast<LPCWSTR>(exe.c_str());
  request.hModule = GetModuleHandleW(nullptr);
  // ISOLATIONAWARE_NOSTATICIMPORT_MANIFEST_RESOURCE_ID, the number shell/TandrelProgram.rc gives.
  request.lpResourceName = MAKEINTRESOURCEW(3);
  const HANDLE context = CreateActCtxW(&request);
  return unique_actctx(context == INVALID_HANDLE_VALUE ? nullptr : context);
}

// Made once and kept for the process: the controls' windows outlive the scopes that made them.
HANDLE Context() {
  static const unique_actctx context = MakeContext();
  return context.get();
}

}  // namespace

CommonControlsScope::CommonControlsScope() {
  if (HANDLE context = Context()) active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

CommonControlsScope::~CommonControlsScope() {
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace ui::win
