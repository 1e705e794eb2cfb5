// The command stack the module registers its commands on. It keeps the
// groups and names and hands each command to the session's command line,
// which runs it.
#pragma once

#include <string>
#include <vector>

#include "host/host_only.h"
#include "sdk/arx.h"

namespace host {

class CommandLine;

class CommandStack : public AcEdCommandStack {
 public:
  explicit CommandStack(CommandLine& command_line);

  AcRxClass* isA() const override;
  // eInvalidInput for a missing group, global name or function, or a name
  // with blanks or control characters; eDuplicateKey when the group already
  // holds the global name (compared without regard to case): the command
  // is then not registered. A missing local name is the global one.
  Acad::ErrorStatus addCommand(const char* group_name, const char* global_name,
                               const char* local_name, Adesk::Int32 flags, AcRxFunctionPtr function,
                               AcEdUIContext* ui_context = nullptr, int fcode = -1,
                               HINSTANCE resource_handle = nullptr,
                               AcEdCommand** command = nullptr) override;
  // eKeyNotFound when no command belongs to the group.
  Acad::ErrorStatus removeGroup(const char* group_name) override;

  struct Command {
    std::string group, global_name, local_name;
    Adesk::Int32 flags = 0;
    AcRxFunctionPtr function = nullptr;
    void* app_id = nullptr;  // the module that was initialising when it was added
  };
  // A command by global or local name, without regard to case (the first
  // registered wins); nullptr when none.
  const Command* Lookup(const std::string& name) const;
  const std::vector<Command>& commands() const { return commands_; }
  std::vector<std::string> Groups() const;  // in order of first registration
  // Every group removeGroup was asked for, in order, as passed.
  const std::vector<std::string>& group_removals() const { return group_removals_; }

  // Commands added while a module's entry point runs are marked with it,
  // so that whatever it leaves behind can be removed when it goes.
  void set_loading_app(void* app_id) { loading_app_ = app_id; }
  // Removes every command of the module's; returns how many there were.
  size_t RemoveCommandsOf(void* app_id);

 private:
  CommandLine& command_line_;
  std::vector<Command> commands_;
  std::vector<std::string> group_removals_;
  void* loading_app_ = nullptr;
};

}  // namespace host
