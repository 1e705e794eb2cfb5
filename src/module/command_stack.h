// Access to the host's command stack. Its class is not exported by the host,
// so the module identifies it by looking its class descriptor up by name in
// the host's class dictionary.
#pragma once

#include "arx.h"

// The host's command stack (system-registry entry "ACAD_REGISTERED_COMMANDS"),
// or null when the registry holds no object of the command-stack class.
AcEdCommandStack* HostCommandStack();

// The host's dynamic linker (system-registry entry "DynamicLinker"), or null.
AcRxDynamicLinker* HostDynamicLinker();

// Drops the class descriptors found so far; the next use looks them up again.
void ForgetHostClasses();
