// The command line: input is lines, a newline is Enter. Commands are looked
// up without regard to case (module commands on the command stack, stand-ins
// for built-in and add-on commands, system variables, "(" expressions).
// Queued scripts are copied when queued, echoed when they run and drained in
// order after the running command returns.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host_only.h"

namespace host {

class Session;

// A stand-in command: it reads its prompts with CommandLine::Ask.
using StandInCommand = std::function<void(Session&)>;

class CommandLine {
 public:
  explicit CommandLine(Session* session);

  // ---- output (code page 1252): the transcript of everything shown ----
  void Print(const std::string& text);
  const std::string& transcript() const { return transcript_; }

  // ---- input ----
  // Feeds lines of input (a script's text: "\n" is Enter). Lines are run at
  // the idle prompt "Befehl: " or answer the prompts of the running command.
  void Feed(const std::string& text);
  // Runs input until none is left and the script queue is empty.
  void RunPending();
  // Runs one command line as typed at the idle prompt, then drains the queue.
  void Execute(const std::string& line);

  // Asks a prompt: prints it, takes the next input line (echoed after the
  // prompt). nullopt when input has run out (the command is cancelled).
  std::optional<std::string> Ask(const std::string& prompt);

  // ---- the script queue (sendStringToExecute) ----
  void Queue(const std::string& script, bool echo);
  size_t queued() const { return queue_.size(); }

  // ---- commands ----
  void RegisterStandIn(const std::string& name, StandInCommand command);
  // Module commands: group, global name, local name, handler.
  void AddModuleCommand(const std::string& group, const std::string& global_name,
                        const std::string& local_name, void (*handler)());
  void RemoveGroup(const std::string& group);
  bool HasCommand(const std::string& name) const;
  std::vector<std::string> ModuleCommandNames() const;  // in registration order

  // A source of further input for an interactive session (the console):
  // called when queued input runs out; returns nullopt at end of input.
  void SetInteractiveInput(std::function<std::optional<std::string>(const std::string& prompt)>);

  bool quit_requested() const { return quit_requested_; }
  void RequestQuit() { quit_requested_ = true; }

 private:
  struct ModuleCommand {
    std::string group, global_name, local_name;
    void (*handler)();
  };
  Session* session_;
  std::string transcript_;
  std::deque<std::string> input_;   // pending input lines
  std::deque<std::pair<std::string, bool>> queue_;  // queued scripts, echo flag
  std::map<std::string, StandInCommand> stand_ins_;  // upper-case name
  std::vector<ModuleCommand> module_commands_;
  std::function<std::optional<std::string>(const std::string&)> interactive_;
  bool quit_requested_ = false;
  bool in_command_ = false;
};

}  // namespace host
