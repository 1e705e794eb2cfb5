#include "host/platform/command_stack.h"

#include "host/cmdline/command_line.h"
#include "host/platform/rx_runtime.h"
#include "host/ui/text_encoding.h"

namespace host {
namespace {

// A command name is typed at the command line: no blanks, no control characters.
bool ValidName(const char* name) {
  if (name == nullptr || *name == '\0') return false;
  for (const char* p = name; *p; ++p) {
    auto u = static_cast<unsigned char>(*p);
    if (u <= 0x20 || u == 0x7F) return false;
  }
  return true;
}

}  // namespace

CommandStack::CommandStack(CommandLine& command_line) : command_line_(command_line) {}

AcRxClass* CommandStack::isA() const { return AcEdCommandStackClass(); }

Acad::ErrorStatus CommandStack::addCommand(const char* group_name, const char* global_name,
                                           const char* local_name, Adesk::Int32 flags,
                                           AcRxFunctionPtr function, AcEdUIContext*, int, HINSTANCE,
                                           AcEdCommand**) {
  if (local_name == nullptr) local_name = global_name;
  if (!ValidName(group_name) || !ValidName(global_name) || !ValidName(local_name) ||
      function == nullptr)
    return Acad::eInvalidInput;
  for (const Command& c : commands_)
    if (EqualsNoCase1252(c.group, group_name) && EqualsNoCase1252(c.global_name, global_name))
      return Acad::eDuplicateKey;
  commands_.push_back({group_name, global_name, local_name, flags, function, loading_app_});
  command_line_.AddModuleCommand(group_name, global_name, local_name, function);
  return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeGroup(const char* group_name) {
  if (group_name == nullptr) return Acad::eInvalidInput;
  group_removals_.emplace_back(group_name);
  size_t before = commands_.size();
  std::erase_if(commands_, [&](const Command& c) { return EqualsNoCase1252(c.group, group_name); });
  if (commands_.size() == before) return Acad::eKeyNotFound;
  command_line_.RemoveGroup(group_name);
  return Acad::eOk;
}

const CommandStack::Command* CommandStack::Lookup(const std::string& name) const {
  for (const Command& c : commands_)
    if (EqualsNoCase1252(c.global_name, name) || EqualsNoCase1252(c.local_name, name)) return &c;
  return nullptr;
}

std::vector<std::string> CommandStack::Groups() const {
  std::vector<std::string> groups;
  for (const Command& c : commands_) {
    bool known = false;
    for (const std::string& g : groups) known = known || EqualsNoCase1252(g, c.group);
    if (!known) groups.push_back(c.group);
  }
  return groups;
}

size_t CommandStack::RemoveCommandsOf(void* app_id) {
  if (app_id == nullptr) return 0;
  size_t removed = 0;
  for (const std::string& group : Groups()) {
    // The command line removes whole groups: others' commands in the same
    // group are registered again.
    std::vector<Command> others;
    size_t mine = 0;
    for (const Command& c : commands_) {
      if (!EqualsNoCase1252(c.group, group)) continue;
      if (c.app_id == app_id)
        ++mine;
      else
        others.push_back(c);
    }
    if (mine == 0) continue;
    removed += mine;
    removeGroup(group.c_str());
    for (const Command& c : others) {
      commands_.push_back(c);
      command_line_.AddModuleCommand(c.group, c.global_name, c.local_name, c.function);
    }
  }
  return removed;
}

}  // namespace host
