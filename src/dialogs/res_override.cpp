#include "dialogs/res_override.h"

#include "arx.h"
#include "module/extension_module.h"

CResOverride::CResOverride() {
  if (AcApDocManager* manager = acDocManagerPtr())
    manager->pushResourceHandle(ModuleResourceInstance());
}

CResOverride::~CResOverride() {
  if (AcApDocManager* manager = acDocManagerPtr()) manager->popResourceHandle();
}
