#include "host/cmdline/command_line.h"

#include <algorithm>
#include <utility>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_name.h"
#include "host/dimension_regen.h"
#include "host/session.h"
#include "host/ui/user_channel.h"

namespace host {

namespace {

constexpr char kIdlePrompt[] = "Befehl: ";
// A real command line shows this prompt while parentheses are still open.
constexpr char kContinuationPrompt[] = "(_> ";

// Splits input into lines; only "\n" is Enter. A "\r" before it (a script
// saved with Windows line ends) is not part of the line.
std::deque<std::string> SplitLines(const std::string& text) {
  std::deque<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// Sets a flag for a scope and restores its old value when the scope ends,
// also when a command ends the host (HostAbort).
class FlagScope {
 public:
  FlagScope(bool* flag, bool value) : flag_(flag), old_(*flag) { *flag = value; }
  ~FlagScope() { *flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool* flag_;
  bool old_;
};

// The commands HILFE lists, each with the names it is known under (the first
// is looked up to see whether the session has it) and one line on what it
// does.
struct HelpEntry {
  const char* lookup;
  const char* names;
  const char* text;
};
constexpr HelpEntry kHelp[] = {
    {"DRAVOLIN1", "DRAVOLIN1", "die Zeichnung für Mech6 umsetzen"},
    {"DRAVOLINGEN", "DRAVOLINGEN", "die Zeichnung für Genius 14 umsetzen"},
    {"ITERATEBLOCKS", "ITERATEBLOCKS", "Objekte in Blöcken auf VonLayer setzen"},
    {"AMBLOCKTOGENBLOCK", "AMBLOCKTOGENBLOCK", "Blöcke auf die Genius-Layer legen"},
    {"AMENTTOGENENT", "AMENTTOGENENT", "Objekte von den AM_-Layern auf die Genius-Layer legen"},
    {"CREATEGENLAYER", "CREATEGENLAYER", "die zwölf Genius-Layer anlegen"},
    {"SOLIDSKONVERT", "SOLIDSKONVERT", "Solids mit drei Ecken berichtigen"},
    {"SOLIDSINBLOCKSKONVERT", "SOLIDSINBLOCKSKONVERT", "dasselbe in Blöcken"},
    {"ERASELAYER", "ERASELAYER", "die Objekte der Layer 1 und Skizzierlinie löschen"},
    {"_QSAVE", "_QSAVE, KSICH", "die Zeichnung in die Ausgabedatei (-o) schreiben"},
    {"_SAVEAS", "_SAVEAS, SICHALS", "die Zeichnung unter einem Namen schreiben"},
    {"_OPEN", "_OPEN, ÖFFNEN", "eine andere Zeichnung öffnen"},
    {"_QUIT", "_QUIT, BEENDEN", "die Sitzung beenden"},
    {"", "HILFE, ?, F1", "diese Liste"},
};

// The names of a HelpEntry, upper case, without "_".
std::vector<std::string> HelpNames(const std::string& names) {
  std::vector<std::string> words;
  for (size_t start = 0; start <= names.size();) {
    size_t comma = names.find(',', start);
    if (comma == std::string::npos) comma = names.size();
    std::string word = dxf::UpperCase1252(dxf::TrimBlanks(names.substr(start, comma - start)));
    if (!word.empty() && word[0] == '_') word.erase(0, 1);
    words.push_back(word);
    start = comma + 1;
  }
  return words;
}

}  // namespace

CommandLine::CommandLine(Session* session) : session_(session) { frames_.emplace_back(); }

// ---- output -----------------------------------------------------------------

void CommandLine::Emit(const std::string& text, Sink sink) {
  if (text.empty()) return;
  if (input_line_open_) {
    // The Enter that ended the input also ended its line: output that does
    // not begin a line of its own still starts on the next one.
    input_line_open_ = false;
    if (text.front() != '\n') StartLine();
  }
  if (keeps_transcript_) transcript_ += text;
  transcript_at_line_start_ = text.back() == '\n';
  if (sink == Sink::kTranscriptOnly) return;
  channel_at_line_start_ = text.back() == '\n';
  Session* session = session_ ? session_ : CurrentSession();
  if (session) session->user().Print(text);
}

void CommandLine::Print(const std::string& text) { Emit(text, Sink::kBoth); }

void CommandLine::StartLine() {
  if (!transcript_at_line_start_) {
    if (keeps_transcript_) transcript_ += '\n';
    transcript_at_line_start_ = true;
  }
  if (!channel_at_line_start_) {
    channel_at_line_start_ = true;
    Session* session = session_ ? session_ : CurrentSession();
    if (session) session->user().Print("\n");
  }
}

void CommandLine::Message(const std::string& text) {
  StartLine();
  Print(text);
}

void CommandLine::Refuse(const std::string& text) {
  if (refusal_.empty()) refusal_ = text;
  Message(text);
}

void CommandLine::Fail(const std::string& text) {
  if (failure_.empty()) failure_ = text;
  Message(text);
}

template <typename Run>
void CommandLine::Watched(const std::string& typed, Run run) {
  bool scripted = frames_.back().script;
  FlagScope in_command(&in_command_, true);
  FlagScope cancelled(&cancelled_, false);
  refusal_.clear();
  failure_.clear();
  run();
  if (!scripted || (!cancelled_ && refusal_.empty() && failure_.empty())) return;
  std::string reason = !failure_.empty() ? failure_ : !refusal_.empty() ? refusal_ : "*Abbruch*";
  script_failures_.push_back({std::string(dxf::TrimBlanks(typed)), std::move(reason)});
}

// ---- input ------------------------------------------------------------------

void CommandLine::Feed(const std::string& text) {
  for (std::string& line : SplitLines(text)) frames_.front().lines.push_back(std::move(line));
}

void CommandLine::SetInteractiveInput(
    std::function<std::optional<std::string>(const std::string& prompt)> source) {
  interactive_ = std::move(source);
}

std::optional<std::string> CommandLine::TakeIdleLine() {
  InputFrame& frame = frames_.back();
  if (!frame.lines.empty()) {
    std::string line = std::move(frame.lines.front());
    frame.lines.pop_front();
    StartLine();
    Print(kIdlePrompt);
    if (frame.echo) Print(line);
    input_line_open_ = true;
    return line;
  }
  // A script ends with its text; only the fed input goes on interactively.
  if (frame.script || !interactive_ || quit_requested_) return std::nullopt;
  StartLine();
  Print(kIdlePrompt);
  std::optional<std::string> line = interactive_(kIdlePrompt);
  if (line) {
    Emit(*line, Sink::kTranscriptOnly);
    channel_at_line_start_ = true;  // the terminal shows the user's Enter
    input_line_open_ = true;
  }
  return line;
}

std::optional<std::string> CommandLine::Ask(const std::string& prompt) {
  if (cancelled_) return std::nullopt;
  InputFrame& frame = frames_.back();
  StartLine();
  Print(prompt);
  if (!frame.lines.empty()) {
    std::string line = std::move(frame.lines.front());
    frame.lines.pop_front();
    if (frame.echo) Print(line);
    input_line_open_ = true;
    return line;
  }
  if (interactive_ && !quit_requested_) {
    std::optional<std::string> line = interactive_(prompt);
    if (line) {
      Emit(*line, Sink::kTranscriptOnly);
      channel_at_line_start_ = true;
      input_line_open_ = true;
      return line;
    }
  }
  cancelled_ = true;
  Message("*Abbruch*");
  return std::nullopt;
}

void CommandLine::RunPending() {
  // Called again from inside a command or a script it would run input out of
  // order; the outer loop picks the input up.
  if (running_ || draining_ || in_command_) return;
  FlagScope running(&running_, true);
  DrainQueue();
  while (!quit_requested_) {
    std::optional<std::string> line = TakeIdleLine();
    if (!line) break;
    RunLine(*line);
    DrainQueue();
  }
  RunDeferred();
  RegenerateWaitingDimensions();
}

void CommandLine::Execute(const std::string& line) {
  StartLine();
  Print(kIdlePrompt);
  Print(line);
  RunLine(line);
  DrainQueue();
  RunDeferred();
  RegenerateWaitingDimensions();
}

void CommandLine::RunLine(const std::string& line) {
  std::string_view text = dxf::TrimBlanks(line);
  // Enter at the idle prompt does nothing here (a real host would repeat the
  // last command), so trailing Enters in scripts are harmless.
  if (text.empty()) return;
  if (text.front() == '(') {
    RunExpression(line);
  } else {
    RunCommand(line);
  }
}

void CommandLine::RunExpression(const std::string& first_line) {
  RunDeferred();
  RegenerateWaitingDimensions();
  ++commands_started_;
  Watched(first_line, [&] { EvaluateExpressions(first_line); });
}

void CommandLine::EvaluateExpressions(const std::string& first_line) {
  std::string text = first_line;
  std::vector<ExprValue> expressions;
  std::string error;
  while (true) {
    expressions.clear();
    ReadStatus status = ReadExpressions(text, &expressions, &error);
    if (status == ReadStatus::kComplete) break;
    if (status == ReadStatus::kError) {
      Fail("; Fehler: " + error);
      return;
    }
    std::optional<std::string> more = Ask(kContinuationPrompt);
    if (!more) return;
    text += '\n';
    text += *more;
  }
  auto call = [this](const std::string& name, const std::vector<ExprValue>& args) {
    auto it = functions_.find(name);
    if (it == functions_.end() || !session_) throw ExprError{"Keine Funktionsdefinition: " + name};
    return it->second(*session_, args);
  };
  for (const ExprValue& expression : expressions) {
    try {
      Message(Evaluate(expression, call).ToDisplay());
    } catch (const ExprError& e) {
      Fail("; Fehler: " + e.message);
      return;
    }
  }
}

void CommandLine::RunCommand(const std::string& typed) {
  CommandName name = ParseCommandName(typed);
  if (name.name == "HILFE" || name.name == "HELP" || name.name == "?") {
    ShowHelp();
    return;
  }
  if (!name.name.empty()) {
    // The command-line form is the only form the stand-ins have, so "STIL"
    // finds "-STIL" as well as "-STIL" finds a command without a dialog.
    const StandIn* stand_in = nullptr;
    if (name.command_form) {
      stand_in = FindStandIn("-" + name.name, name.english);
      if (!stand_in) stand_in = FindStandIn(name.name, name.english);
    } else {
      stand_in = FindStandIn(name.name, name.english);
      if (!stand_in) stand_in = FindStandIn("-" + name.name, name.english);
    }
    if (stand_in && session_) {
      if (stand_in->deferred == Deferred::kRunFirst) RunDeferred();
      if (stand_in->reads_blocks) RegenerateWaitingDimensions();
      // Copied: the command may register or remove commands while it runs.
      StandInCommand command = stand_in->command;
      if (stand_in->changes_drawing) ++commands_started_;
      Watched(typed, [&] { command(*session_); });
      return;
    }
    if (const ModuleCommand* module_command = FindModuleCommand(name.name, name.english)) {
      RunDeferred();
      RegenerateWaitingDimensions();
      void (*handler)() = module_command->handler;
      ++commands_started_;
      Watched(typed, [&] { handler(); });
      return;
    }
  }
  Watched(typed, [&] {
    Fail("Unbekannter Befehl \"" + dxf::UpperCase1252(dxf::TrimBlanks(typed)) +
         "\".  Drücken Sie F1 für Hilfe.");
  });
}

// ---- the script queue ---------------------------------------------------------

void CommandLine::Queue(const std::string& script, bool echo) {
  // The caller may release its text right after this call: keep a copy.
  queue_.emplace_back(script, echo);
}

void CommandLine::DrainQueue() {
  if (draining_ || in_command_) return;
  FlagScope draining(&draining_, true);
  while (!queue_.empty() && !quit_requested_) {
    auto [script, echo] = std::move(queue_.front());
    queue_.pop_front();
    InputFrame frame;
    frame.lines = SplitLines(script);
    frame.echo = echo;
    frame.script = true;
    frames_.push_back(std::move(frame));
    // The script runs to its end before the next one starts; what its
    // commands queue goes behind everything queued before.
    struct PopFrame {
      std::vector<InputFrame>* frames;
      ~PopFrame() { frames->pop_back(); }
    } pop{&frames_};
    while (!quit_requested_) {
      std::optional<std::string> line = TakeIdleLine();
      if (!line) break;
      RunLine(*line);
    }
  }
}

// ---- commands -------------------------------------------------------------------

void CommandLine::RegisterStandIn(const std::string& name, StandInCommand command) {
  stand_ins_[dxf::UpperCase1252(name)] = StandIn{std::move(command), true};
}

void CommandLine::RegisterStandIn(const std::string& english_name, const std::string& local_name,
                                  StandInCommand command, Deferred deferred) {
  stand_ins_[dxf::UpperCase1252(local_name)] = StandIn{command, false, deferred};
  // Registered second, so that a local name equal to the English one stays
  // reachable with "_".
  stand_ins_[dxf::UpperCase1252(english_name)] = StandIn{std::move(command), true, deferred};
}

void CommandLine::Defer(std::function<void()> work) {
  RunDeferred();
  deferred_ = std::move(work);
}

void CommandLine::RunDeferred() {
  // Taken out first: the work may defer work of its own.
  std::function<void()> work = std::move(deferred_);
  deferred_ = nullptr;
  if (work) work();
}

void CommandLine::RegisterFunction(const std::string& name, ExpressionFunction function) {
  functions_[dxf::UpperCase1252(name)] = std::move(function);
}

void CommandLine::AddModuleCommand(const std::string& group, const std::string& global_name,
                                   const std::string& local_name, void (*handler)()) {
  module_commands_.push_back(ModuleCommand{group, global_name, local_name, handler});
}

void CommandLine::KeepsDrawing(const std::string& name) {
  auto it = stand_ins_.find(dxf::UpperCase1252(name));
  if (it != stand_ins_.end()) it->second.changes_drawing = false;
}

void CommandLine::ReadsNoBlocks(const std::string& name) {
  auto it = stand_ins_.find(dxf::UpperCase1252(name));
  if (it != stand_ins_.end()) it->second.reads_blocks = false;
}

void CommandLine::RegenerateWaitingDimensions() {
  if (session_ != nullptr) RegenerateWaiting(session_->drawing());
}

void CommandLine::ShowHelp() {
  std::string text = "Befehle (mit \"_\" der englische Name, ohne ihn auch der deutsche):";
  std::vector<std::string> listed;
  for (const HelpEntry& entry : kHelp) {
    if (*entry.lookup && !HasCommand(entry.lookup)) continue;
    std::string names = entry.names;
    if (names.size() < 24) names.resize(24, ' ');
    text += "\n  " + names + " " + entry.text;
    for (std::string& name : HelpNames(entry.names)) listed.push_back(std::move(name));
  }
  // The rest: the stand-ins the conversion's scripts use, and module
  // commands not described above.
  std::string others;
  auto add = [&](const std::string& name) {
    if (std::find(listed.begin(), listed.end(), dxf::UpperCase1252(name)) != listed.end()) return;
    others += (others.empty() ? "" : ", ") + name;
  };
  for (const auto& entry : stand_ins_) add(entry.first);
  for (const ModuleCommand& command : module_commands_) add(command.global_name);
  if (!others.empty()) text += "\nBefehle, die die Skripte der Umsetzung nutzen: " + others;
  Message(text);
}

void CommandLine::RemoveGroup(const std::string& group) {
  std::erase_if(module_commands_,
                [&](const ModuleCommand& c) { return dxf::EqualNoCase(c.group, group); });
}

const CommandLine::StandIn* CommandLine::FindStandIn(const std::string& name, bool english) const {
  auto it = stand_ins_.find(name);
  if (it == stand_ins_.end() || (english && !it->second.english)) return nullptr;
  return &it->second;
}

const CommandLine::ModuleCommand* CommandLine::FindModuleCommand(const std::string& name,
                                                                 bool english) const {
  for (const ModuleCommand& c : module_commands_) {
    if (dxf::EqualNoCase(c.global_name, name) ||
        (!english && dxf::EqualNoCase(c.local_name, name))) {
      return &c;
    }
  }
  return nullptr;
}

bool CommandLine::HasCommand(const std::string& typed) const {
  CommandName name = ParseCommandName(typed);
  if (name.name.empty()) return false;
  return FindStandIn(name.name, name.english) || FindStandIn("-" + name.name, name.english) ||
         FindModuleCommand(name.name, name.english);
}

std::vector<std::string> CommandLine::ModuleCommandNames() const {
  std::vector<std::string> names;
  for (const ModuleCommand& c : module_commands_) names.push_back(c.global_name);
  return names;
}

}  // namespace host
