// The module's nine commands in their four command groups.
#pragma once

#include "arx.h"
#include "win32.h"

// One row of the command table.
struct ModuleCommandRow {
  const char* group;
  const char* name;  // global and local name alike
  AcRxFunctionPtr handler;
};

// The rows in registration order.
extern const ModuleCommandRow kModuleCommands[9];

// The four groups, in the order in which they are removed.
extern const char* const kModuleCommandGroups[4];

// The string resource of that id in the module, provided the module is the
// one named "QUARNDravolin1.arx", cut to a buffer of 64 characters; false
// when there is none.
bool LoadModuleString(HINSTANCE module, int id, char (&buffer)[64]);

// Registers one command on the host's command stack. With resource_id -1 the
// local name is used as passed; otherwise the string resource of that id (at
// most 63 characters) replaces it. The host's answer is not examined.
void AddModuleCommand(const char* group, const char* global_name, const char* local_name,
                      Adesk::Int32 flags, AcRxFunctionPtr handler, int resource_id);

// Registers the nine commands, then names the two conversion commands in a
// message box.
void RegisterCommands();

// Removes the four command groups.
void UnregisterCommands();
