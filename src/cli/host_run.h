// One run of the substitute host: a session over a drawing with a user
// channel, the conversion module loaded into it, input run through its
// command line. Used by the run, convert and shell commands.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/database/drawing.h"
#include "host/session.h"
#include "host/ui/user_channel.h"

namespace host {
class AppModule;
}

namespace cli {

// The folder of the bundled templates: "templates" beside the executable
// when there is one, else the source tree's.
std::string BundledTemplatesDir();

class HostRun {
 public:
  // Opens the session, makes it current and loads the module (which shows
  // its start-up message through the channel). nullptr with err set when
  // the module cannot be loaded. The channel must outlive the run.
  static std::unique_ptr<HostRun> Start(std::unique_ptr<host::Drawing> drawing,
                                        host::UserChannel* channel, std::string* err);
  ~HostRun();

  host::Session& session() { return *session_; }
  host::Drawing& drawing() { return session_->drawing(); }

  // Feeds input lines to the command line and runs them and every script
  // they queue. False when the host aborted; abort_message() says why.
  bool RunInput(const std::string& text);
  // Runs one command as if typed at the idle prompt, and what it queues.
  bool RunCommand(const std::string& line);
  const std::string& abort_message() const { return abort_message_; }

  // Lets the shell commands write and read drawings: _qsave writes to
  // default_output (refused when it is empty), _saveas to the path typed,
  // _open replaces the drawing. Nothing is ever written onto input or onto
  // a drawing opened later in the run.
  void EnableFileCommands(const std::string& input, const std::string& default_output);

  // Sends the module the unload message (once).
  void UnloadModule();

  // Runs the command line on its interactive input until that ends or the
  // user quits. False when the host aborted.
  bool RunInteractive();

 private:
  HostRun() = default;
  template <typename Step>
  bool Guarded(Step step);

  std::unique_ptr<host::Session> session_;
  std::optional<host::ScopedCurrentSession> current_;
  std::unique_ptr<host::AppModule> module_;
  std::string abort_message_;
  std::vector<std::string> opened_;  // files read in this run
  std::string default_output_;
  size_t saved_at_ = 0;  // the command line's commands_started() at the last save or open
};

}  // namespace cli
