// The platform stand-ins of one session: the registry, the drive map, the
// program starter, the resource stack and the runtime objects the module
// reaches through the SDK (system registry, command stack, document and
// profile managers).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"
#include "host/platform/command_stack.h"
#include "host/platform/doc_manager.h"
#include "host/platform/drive_map.h"
#include "host/platform/process_launcher.h"
#include "host/platform/registry_store.h"
#include "host/platform/rx_runtime.h"
#include "sdk/dialog_resource.h"
#include "sdk/win32.h"

namespace host {

class Session;
struct SessionOptions;

class Platform {
 public:
  Platform(Session& session, const SessionOptions& options);
  ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // ---- registry ----
  // Loaded (or created) on first use. A problem with the file is said once
  // on the command line; the registry then works in memory.
  RegistryStore& registry();
  // The current profile: the default value of the Profiles key when it
  // names an existing profile, else "<<Unnamed Profile>>".
  std::string CurrentProfileName();
  // "HKEY_CURRENT_USER\...\Profiles\NAME" for an existing profile (name
  // compared without regard to case), else nullopt.
  std::optional<std::string> ProfileKey(const std::string& profile_name);
  // Handles of open keys (HKEY_CURRENT_USER is always open, path "").
  HKEY OpenKeyHandle(const std::string& path);
  std::optional<std::string> KeyPath(HKEY key) const;
  bool CloseKeyHandle(HKEY key);
  size_t open_keys() const { return keys_.size(); }
  const std::string& templates_dir() const { return templates_dir_; }
  // Says a problem with the registry file on the command line, once.
  void ReportRegistryProblem(const std::string& what);

  // ---- files and programs ----
  const DriveMap& drive_map() const { return drive_map_; }
  // A path the program wrote (1252, Windows or host form) as a host path.
  std::optional<std::string> HostPath(const std::string& path) const {
    return drive_map_.ToHostPath(path);
  }
  // The command-interpreter stand-in: 0 when the program was started, -1
  // when the command was refused or the start failed (said on the command line).
  int RunCommandInterpreter(const std::string& command_line);
  // Every command line handed to the command interpreter, as given.
  const std::vector<std::string>& command_lines() const { return command_lines_; }
  ProcessLauncher& processes() { return processes_; }

  // ---- dialog resources ----
  void PushResourceHandle(HINSTANCE resources);
  void PopResourceHandle();                 // an empty stack stays empty
  HINSTANCE CurrentResourceHandle() const;  // top of the stack, else the program's
  const DialogTemplate* FindDialogTemplate(int id) const;

  // ---- runtime objects ----
  AcRxDictionary* system_registry() { return system_registry_.root(); }
  CommandStack& command_stack() { return command_stack_; }
  DynamicLinker& dynamic_linker() { return system_registry_.linker(); }
  DocManager& doc_manager() { return doc_manager_; }
  ProfileManager& profile_manager() { return profile_manager_; }

 private:
  Session& session_;
  std::string templates_dir_;
  std::vector<std::string> command_lines_;
  std::string registry_file_;
  std::unique_ptr<RegistryStore> registry_;
  DriveMap drive_map_;
  ProcessLauncher processes_;
  std::vector<HINSTANCE> resource_stack_;
  std::map<uintptr_t, std::string> keys_;  // open key handles -> key path
  uintptr_t next_key_ = 0x100;
  bool registry_problem_reported_ = false;
  CommandStack command_stack_;
  SystemRegistry system_registry_;
  DocManager doc_manager_;
  ProfileManager profile_manager_;
};

// The bundled templates folder when no option names one: "templates" beside
// the executable, else "../share/dravolin/templates" from it, else the
// source tree's.
std::string DefaultTemplatesDir();

}  // namespace host
