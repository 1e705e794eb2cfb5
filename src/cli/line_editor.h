// Line editing and history for the interactive shell at a terminal, through
// GNU readline: the arrow keys move in the line and through earlier
// commands, Ctrl-R searches them, Tab completes file names (for _saveas
// and _open). Ctrl-C gives up the line: it comes back as the escape
// character, which cancels a dialog, a pick or the running command.
#pragma once

#include <optional>
#include <string>

namespace cli {

class LineEditor {
 public:
  // True when standard input and output are both a terminal.
  static bool Usable();

  // history_file: where the commands are kept between sessions ("": not
  // kept).
  explicit LineEditor(std::string history_file);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows prompt (UTF-8) and reads a line; nullopt at the end of input
  // (Ctrl-D on an empty line); "\x1b" after Ctrl-C.
  std::optional<std::string> Read(const std::string& prompt);
  // Puts the line read last into the history (the shell keeps commands,
  // not the answers to their prompts).
  void RememberLast();

 private:
  std::string history_file_;
  std::string last_;
};

// The history file: $DRAVOLIN_HISTORY, else $XDG_STATE_HOME/dravolin/history,
// else ~/.local/state/dravolin/history.
std::string DefaultHistoryFile();

}  // namespace cli
