// The module as an extension module of the host's class library: attached
// when the module file is loaded into the process, detached when it leaves.
#pragma once

#include "afxwin.h"

struct ExtensionModuleRecord {
  AFX_EXTENSION_MODULE module = {FALSE, nullptr, nullptr};
  bool attached = false;
  HINSTANCE default_resource = nullptr;  // the resource instance current at attach
  HINSTANCE module_resource = nullptr;   // the module's own instance
};

const ExtensionModuleRecord& ExtensionModule();

// The module's resource instance as recorded at attach (the module's own
// instance if the attach has not run).
HINSTANCE ModuleResourceInstance();
