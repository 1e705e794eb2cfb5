// One run of the host: the open drawing, its command line, the user channel,
// the platform stand-ins and the loaded module. The SDK functions reach the
// running session through CurrentSession().
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

class Drawing;
class CommandLine;
class UserChannel;
class Platform;
class ModuleLoader;

struct SessionOptions {
  std::string registry_file;   // the per-user registry file; empty: the default path
  std::string templates_dir;   // bundled templates folder
  std::vector<std::pair<std::string, std::string>> drive_map;  // "C:" -> folder
};

class Session {
 public:
  Session(std::unique_ptr<Drawing> drawing, UserChannel* user, SessionOptions options);
  ~Session();

  Drawing& drawing() { return *drawing_; }
  CommandLine& command_line() { return *command_line_; }
  UserChannel& user() { return *user_; }
  Platform& platform() { return *platform_; }
  const SessionOptions& options() const { return options_; }

  // Replaces the open drawing (the shell's _open).
  void SetDrawing(std::unique_ptr<Drawing> drawing);

 private:
  std::unique_ptr<Drawing> drawing_;
  UserChannel* user_;
  SessionOptions options_;
  std::unique_ptr<CommandLine> command_line_;
  std::unique_ptr<Platform> platform_;
};

// The session the SDK functions work on; null outside a session.
Session* CurrentSession();
void SetCurrentSession(Session* session);

// Thrown by acrx_abort: the host prints the message and ends without writing.
struct HostAbort {
  std::string message;
};

}  // namespace host
