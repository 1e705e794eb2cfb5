#include "module/command_table.h"

#include <cstring>

#include "afxwin.h"
#include "commands/dravolin1_commands.h"
#include "genius/am_to_gen.h"
#include "genius/create_gen_layer.h"
#include "module/command_stack.h"
#include "module/module_resources.h"
#include "passes/erase_layer.h"
#include "passes/iterate_blocks.h"
#include "passes/konvert_solid.h"

const ModuleCommandRow kModuleCommands[9] = {
    {"QUARNDRAVOLIN1", "DRAVOLIN1", quarndravolin1dravolin1},
    {"QUARNDRAVOLIN", "ITERATEBLOCKS", quarndravoliniterateblocks},
    {"QUARNQUARNDRAVOLIN1", "AMBLOCKTOGENBLOCK", quarnquarndravolin1amblocktogenblock},
    {"QUARNQUARN", "AMENTTOGENENT", quarnquarnamenttogenent},
    {"QUARNQUARN", "CREATEGENLAYER", quarnquarncreategenlayer},
    {"QUARNDRAVOLIN1", "DRAVOLINGEN", quarndravolin1dravolingen},
    {"QUARNQUARNDRAVOLIN1", "SOLIDSINBLOCKSKONVERT", quarnquarndravolin1solidsinblockskonvert},
    {"QUARNQUARNDRAVOLIN1", "SOLIDSKONVERT", quarnquarndravolin1solidskonvert},
    {"QUARNQUARNDRAVOLIN1", "ERASELAYER", quarnquarndravolin1eraselayer},
};

const char* const kModuleCommandGroups[4] = {"QUARNDRAVOLIN1", "QUARNDRAVOLIN",
                                             "QUARNQUARNDRAVOLIN1", "QUARNQUARN"};

namespace {

// Transparent, and the command may use the pick set.
constexpr Adesk::Int32 kCommandFlags = ACRX_CMD_TRANSPARENT | ACRX_CMD_USEPICKSET;

}  // namespace

bool LoadModuleString(HINSTANCE module, int id, char (&buffer)[64]) {
  if (module == nullptr || std::strcmp(module->file_name, kModuleFileName) != 0) return false;
  for (size_t i = 0; i < module->string_count; ++i) {
    if (module->strings[i].id != id) continue;
    std::strncpy(buffer, module->strings[i].text, sizeof(buffer) - 1);
    buffer[sizeof(buffer) - 1] = '\0';
    return true;
  }
  return false;
}

void AddModuleCommand(const char* group, const char* global_name, const char* local_name,
                      Adesk::Int32 flags, AcRxFunctionPtr handler, int resource_id) {
  char local_buffer[64] = "";
  // A missing string resource keeps the local name as passed, rather than
  // registering the command under an empty name.
  if (resource_id != -1 && LoadModuleString(ModuleInstance(), resource_id, local_buffer))
    local_name = local_buffer;
  AcEdCommandStack* stack = HostCommandStack();
  if (stack == nullptr) return;
  stack->addCommand(group, global_name, local_name, flags, handler, nullptr, -1, nullptr, nullptr);
}

void RegisterCommands() {
  for (const ModuleCommandRow& row : kModuleCommands)
    AddModuleCommand(row.group, row.name, row.name, kCommandFlags, row.handler, -1);
  AfxMessageBox(
      "\nEs stehen folgende Befehle zur Verfügung:   \n"
      "Befehl: Dravolin1 ( zum Erzeugen von Mech6 Zeichnungen ).\n"
      "Befehl: DravolinGen ( zum Erzeugen von Genius 14 Zeichnungen ).",
      MB_OK, 0);
}

void UnregisterCommands() {
  AcEdCommandStack* stack = HostCommandStack();
  if (stack == nullptr) return;
  for (const char* group : kModuleCommandGroups) stack->removeGroup(group);
}
