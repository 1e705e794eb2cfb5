// The module's resources: what the resource section of the module file holds,
// as data. The module's instance handle points here; the host finds the
// module's dialogs through it while a resource scope (CResOverride) is open.
#pragma once

#include "dialog_resource.h"
#include "win32.h"

constexpr const char* kModuleFileName = "QUARNDravolin1.arx";

// The module's own instance, which serves as its resource instance.
HINSTANCE ModuleInstance();
