#include "module/entry_point.h"

#include "module/command_stack.h"
#include "module/command_table.h"
#include "module/module_state.h"

namespace {

void InitApplication(void* app_id) {
  ResetModuleState();
  if (AcRxDynamicLinker* linker = HostDynamicLinker()) {
    // Unlocked, the module may be unloaded while the host runs.
    linker->unlockApplication(app_id);
    linker->registerAppMDIAware(app_id);
  }
  RegisterCommands();
}

}  // namespace

ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* app_id) {
  switch (msg) {
    case AcRx::kInitAppMsg:
      InitApplication(app_id);
      break;
    case AcRx::kUnloadAppMsg:
      UnregisterCommands();
      break;
    default:
      break;
  }
  return AcRx::kRetOK;
}

ACRX_EXPORT int acrxGetApiVersion() { return kModuleApiVersion; }
