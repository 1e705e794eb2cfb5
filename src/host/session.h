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
  // The per-user registry file; empty: $DRAVOLIN_REGISTRY, else
  // $XDG_CONFIG_HOME/dravolin/registry.txt, else ~/.config/dravolin/registry.txt.
  std::string registry_file;
  // The bundled templates folder (a host path); empty: "templates" beside the
  // executable when there is one, else the source tree's templates folder.
  std::string templates_dir;
  std::vector<std::pair<std::string, std::string>> drive_map;  // "C:" -> folder
};

class Session {
 public:
  // The channel must outlive the session. The session is not made current;
  // use SetCurrentSession or ScopedCurrentSession.
  Session(std::unique_ptr<Drawing> drawing, UserChannel* user, SessionOptions options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Drawing& drawing() { return *drawing_; }
  CommandLine& command_line() { return *command_line_; }
  UserChannel& user() { return *user_; }
  Platform& platform() { return *platform_; }
  const SessionOptions& options() const { return options_; }

  // Replaces the open drawing (the shell's _open).
  void SetDrawing(std::unique_ptr<Drawing> drawing);
  // Gives up the drawing, as the session ends; nothing may ask for it after.
  std::unique_ptr<Drawing> TakeDrawing();

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

// Makes a session current for a scope and restores the previous one.
class ScopedCurrentSession {
 public:
  explicit ScopedCurrentSession(Session* session) : previous_(CurrentSession()) {
    SetCurrentSession(session);
  }
  ~ScopedCurrentSession() { SetCurrentSession(previous_); }
  ScopedCurrentSession(const ScopedCurrentSession&) = delete;
  ScopedCurrentSession& operator=(const ScopedCurrentSession&) = delete;

 private:
  Session* previous_;
};

// Thrown by acrx_abort: the host prints the message and ends without writing.
struct HostAbort {
  std::string message;
};

}  // namespace host
