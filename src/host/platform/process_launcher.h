// Starting external programs for the command-interpreter stand-in. Only
// "start PROGRAM" is understood; the program is started directly (no shell,
// no search path) with no arguments, and is not waited for.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

class DriveMap;

// "start PATH" or "start \"PATH\"" (blanks around allowed); nullopt for
// anything else: another command, extra arguments, control characters,
// unbalanced quotes. The path is returned as written.
std::optional<std::string> ParseStartCommand(const std::string& command_line);

class ProcessLauncher {
 public:
  ProcessLauncher() = default;
  // Reaps the children that have ended; those still running are left to run.
  ~ProcessLauncher();
  ProcessLauncher(const ProcessLauncher&) = delete;
  ProcessLauncher& operator=(const ProcessLauncher&) = delete;

  // Starts the program at host_path with argv = {host_path}; its standard
  // input and output are /dev/null. Returns false with err when the file is
  // not an executable regular file or the start fails.
  bool Start(const std::string& host_path, std::string* err);

  // Reaps children that have ended; with wait, waits for all of them.
  void Reap(bool wait);
  size_t running() const { return children_.size(); }

 private:
  std::vector<pid_t> children_;
};

}  // namespace host
