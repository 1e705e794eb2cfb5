// The command line: input is lines, a newline is Enter. Commands are looked
// up without regard to case (module commands on the command stack, stand-ins
// for built-in and add-on commands, system variables, "(" expressions).
// Queued scripts are copied when queued, echoed when they run and drained in
// order after the running command returns.
//
// The transcript reads like a real command line: every line taken is shown
// after the prompt it answers ("Befehl: TILEMODE"), every prompt starts on a
// line of its own, and the idle prompt is shown only when a line is taken at
// it, so a transcript never ends in a dangling "Befehl: ".
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/cmdline/expression.h"
#include "host/host_only.h"

namespace host {

class Session;

// A stand-in command: it reads its prompts with CommandLine::Ask.
using StandInCommand = std::function<void(Session&)>;
// A function of the expression evaluator; throws ExprError for bad arguments.
using ExpressionFunction = std::function<ExprValue(Session&, const std::vector<ExprValue>&)>;

// What the interactive shell offers to the shell commands (_qsave, _saveas,
// _open). save: path empty means the drawing's own file; returns false (and
// has said why) when nothing was written. open: replaces the drawing.
struct ShellHooks {
  std::function<bool(const std::string& path)> save;
  std::function<bool(const std::string& path)> open;
  // True when the drawing has changes not saved.
  std::function<bool()> unsaved;
};

class CommandLine {
 public:
  explicit CommandLine(Session* session);

  // ---- output (code page 1252): the transcript of everything shown ----
  // Shows text as is (the module's acutPrintf); it also goes to the session's
  // user channel.
  void Print(const std::string& text);
  // Shows text on a line of its own: a new line is started first unless the
  // output already stands at the start of a line.
  void Message(const std::string& text);
  const std::string& transcript() const { return transcript_; }
  // Whether the transcript is kept (it is by default). A caller whose user
  // channel records what is shown turns it off: the same text twice is
  // some 8 MB more in a conversion of a million entities.
  void set_keeps_transcript(bool keeps) {
    keeps_transcript_ = keeps;
    if (!keeps) std::string().swap(transcript_);
  }

  // ---- refusals and failures ----
  // Shows why an answer to a prompt is refused (the prompt is asked again).
  void Refuse(const std::string& text);
  // Shows why the running command cannot do its work and ends it undone.
  void Fail(const std::string& text);
  // A command run from a queued script that did not take effect: it was
  // unknown, it was cancelled (its script ran out of answers), it refused
  // one of the script's answers (the script is out of step from there on)
  // or it failed. The reason is what the host said: the first refusal or
  // the failure's message, else "*Abbruch*".
  struct ScriptFailure {
    std::string command;  // as the script typed it
    std::string reason;
  };
  const std::vector<ScriptFailure>& script_failures() const { return script_failures_; }

  // ---- input ----
  // Feeds lines of input (a script's text: "\n" is Enter; a last line without
  // "\n" counts as entered). Lines are run at the idle prompt "Befehl: " or
  // answer the prompts of the running command.
  void Feed(const std::string& text);
  // Runs input until none is left and the script queue is empty (with an
  // interactive source: until it ends or quit is requested).
  void RunPending();
  // Runs one command line as typed at the idle prompt, then drains the queue.
  void Execute(const std::string& line);

  // Asks a prompt: prints it, takes the next input line (echoed after the
  // prompt) from the running script or the fed input, then from the
  // interactive source. nullopt when input has run out: "*Abbruch*" is shown
  // once and every further Ask of the same command gives nullopt too.
  std::optional<std::string> Ask(const std::string& prompt);

  // ---- the script queue (sendStringToExecute) ----
  void Queue(const std::string& script, bool echo);
  size_t queued() const { return queue_.size(); }

  // ---- deferred work ----
  // Work a command leaves undone for the next command to take over (a paste
  // leaves its move to a scale that follows, so that the drawing is gone
  // through once). It runs before the next command or expression starts,
  // unless that is a stand-in registered as taking it over, and when the
  // input is done: nothing else sees the drawing without it. Work already
  // waiting runs first.
  void Defer(std::function<void()> work);
  // Runs the waiting work, if any, now.
  void RunDeferred();

  // ---- commands ----
  enum class Deferred {
    kRunFirst,  // the waiting work runs before the command
    kTakeOver,  // the command takes it over, or calls RunDeferred itself
  };
  // A stand-in known under one name in every language.
  void RegisterStandIn(const std::string& name, StandInCommand command);
  // A stand-in with its English name (the one "_" asks for) and the German
  // name of a German host; either may be typed without "_".
  void RegisterStandIn(const std::string& english_name, const std::string& local_name,
                       StandInCommand command, Deferred deferred = Deferred::kRunFirst);
  // Marks a registered stand-in (by any of its names) as one that leaves the
  // drawing as it is: it is not counted as a change.
  void KeepsDrawing(const std::string& name);
  // Marks a registered stand-in (by any of its names) as one that neither
  // reads nor draws block definitions (it changes the records of the
  // entities it selects): dimensions waiting for their regeneration go on
  // waiting across it.
  void ReadsNoBlocks(const std::string& name);
  // A function of the expression evaluator, found without regard to case.
  void RegisterFunction(const std::string& name, ExpressionFunction function);
  // Module commands: group, global name, local name, handler.
  void AddModuleCommand(const std::string& group, const std::string& global_name,
                        const std::string& local_name, void (*handler)());
  void RemoveGroup(const std::string& group);
  bool HasCommand(const std::string& name) const;
  std::vector<std::string> ModuleCommandNames() const;  // in registration order

  // A source of further input for an interactive session (the console):
  // called when queued input runs out; returns nullopt at end of input. The
  // command line has already shown the prompt (through Print) when it calls
  // the source; the prompt is passed for information only. Lines from this
  // source are echoed into the transcript but not to the user channel, whose
  // terminal shows what the user typed.
  void SetInteractiveInput(std::function<std::optional<std::string>(const std::string& prompt)>);

  void SetShellHooks(ShellHooks hooks) { shell_hooks_ = std::move(hooks); }
  const ShellHooks& shell_hooks() const { return shell_hooks_; }

  bool in_command() const { return in_command_; }
  // How many commands and expressions have started, those that keep the
  // drawing, help and unknown names not counted: the shell's measure of
  // changes to the drawing.
  size_t commands_started() const { return commands_started_; }
  bool quit_requested() const { return quit_requested_; }
  void RequestQuit() { quit_requested_ = true; }

 private:
  struct ModuleCommand {
    std::string group, global_name, local_name;
    void (*handler)();
  };
  struct StandIn {
    StandInCommand command;
    bool english = true;  // found after "_"
    Deferred deferred = Deferred::kRunFirst;
    bool changes_drawing = true;  // counted by commands_started()
    bool reads_blocks = true;     // waiting regenerations run before it
  };
  // Lines to read: the fed input at the bottom, the running script on top.
  struct InputFrame {
    std::deque<std::string> lines;
    bool echo = true;
    bool script = false;
  };
  enum class Sink { kBoth, kTranscriptOnly };

  void Emit(const std::string& text, Sink sink);
  void StartLine();
  // The next line at the idle prompt of the top frame, shown after the prompt.
  std::optional<std::string> TakeIdleLine();
  void RunLine(const std::string& line);
  void RunExpression(const std::string& first_line);
  void EvaluateExpressions(const std::string& first_line);
  void RunCommand(const std::string& typed);
  // Runs a command or expression, noting whether it took effect.
  template <typename Run>
  void Watched(const std::string& typed, Run run);
  // HILFE (HELP, ?): the commands of the session with a line each.
  void ShowHelp();
  void DrainQueue();
  // Brings the blocks of the dimensions changed so far up to date.
  void RegenerateWaitingDimensions();
  const StandIn* FindStandIn(const std::string& name, bool english) const;
  const ModuleCommand* FindModuleCommand(const std::string& name, bool english) const;

  Session* session_;
  std::string transcript_;
  bool keeps_transcript_ = true;
  bool transcript_at_line_start_ = true;
  bool channel_at_line_start_ = true;
  bool input_line_open_ = false;                         // an input line was just taken
  std::vector<InputFrame> frames_;                       // never empty
  std::deque<std::pair<std::string, bool>> queue_;       // queued scripts, echo flag
  std::map<std::string, StandIn> stand_ins_;             // upper-case name
  std::map<std::string, ExpressionFunction> functions_;  // upper-case name
  std::vector<ModuleCommand> module_commands_;
  std::function<std::optional<std::string>(const std::string&)> interactive_;
  ShellHooks shell_hooks_;
  std::function<void()> deferred_;
  bool quit_requested_ = false;
  size_t commands_started_ = 0;
  bool in_command_ = false;
  bool cancelled_ = false;  // input ran out in the running command
  bool running_ = false;    // RunPending is active
  bool draining_ = false;   // the queue is being drained
  // What the running command was refused or failed with ("" for none).
  std::string refusal_, failure_;
  std::vector<ScriptFailure> script_failures_;
};

}  // namespace host
