// The two functions the module exports to the host.
#pragma once

#include "arx.h"

// Called by the host when it loads (kInitAppMsg) and unloads (kUnloadAppMsg)
// the module. Always answers kRetOK.
ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* app_id);

// The interface release the module was built for: 0x000F0000 (release 15).
ACRX_EXPORT int acrxGetApiVersion();

constexpr int kModuleApiVersion = 0x000F0000;
