#include "cli/line_editor.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// readline.h uses FILE without including <stdio.h> itself.
#include <readline/history.h>
#include <readline/readline.h>

namespace cli {

namespace {

constexpr int kHistoryLines = 1000;

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// readline's character source: a read that an interrupt breaks off. The
// line is given up and ended, so readline returns at once; inside a history
// search the search is left first (with Ctrl-G), else the Enter would only
// end the search.
int ReadCharacter(FILE* stream) {
  static bool enter_next = false;
  if (enter_next) {
    enter_next = false;
    rl_replace_line("", 0);
    return '\n';
  }
  for (;;) {
    unsigned char c;
    ssize_t n = read(fileno(stream), &c, 1);
    if (n == 1) return c;
    if (n < 0 && errno == EINTR) {
      if (!interrupted) continue;
      if (RL_ISSTATE(RL_STATE_ISEARCH | RL_STATE_NSEARCH | RL_STATE_SEARCH)) {
        enter_next = true;
        return 7;  // Ctrl-G: abort the search
      }
      rl_replace_line("", 0);
      return '\n';
    }
    return EOF;
  }
}

// F1, the host's help key: the line becomes "?" (the help command) and is
// entered.
int HelpKey(int, int) {
  rl_replace_line("?", 0);
  rl_point = rl_end;
  return rl_newline(1, '\n');
}

bool MakeFolders(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string folder = path.substr(0, at);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// The terminal speaks UTF-8 (the program writes it), so readline is told
// to count characters, not bytes, in prompts such as "Objekte wählen: ".
void UseUtf8Characters() {
  const char* chosen = std::setlocale(LC_CTYPE, "");
  if (!chosen || (!std::strstr(chosen, "UTF-8") && !std::strstr(chosen, "utf8")))
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace

bool LineEditor::Usable() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

std::string DefaultHistoryFile() {
  if (const char* file = std::getenv("DRAVOLIN_HISTORY")) return file;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/dravolin/history";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/state/dravolin/history";
  return "";
}

LineEditor::LineEditor(std::string history_file) : history_file_(std::move(history_file)) {
  UseUtf8Characters();
  rl_readline_name = "dravolin";
  // The program handles Ctrl-C itself (see ReadCharacter).
  rl_catch_signals = 0;
  rl_getc_function = ReadCharacter;
  // F1 as xterm, the VT220 and the Linux console send it.
  for (const char* keys : {"\\eOP", "\\e[11~", "\\e[[A"}) rl_bind_keyseq(keys, HelpKey);
  using_history();
  if (!history_file_.empty()) read_history(history_file_.c_str());
}

LineEditor::~LineEditor() {
  if (history_file_.empty()) return;
  size_t slash = history_file_.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(history_file_.substr(0, slash));
  if (write_history(history_file_.c_str()) == 0)
    history_truncate_file(history_file_.c_str(), kHistoryLines);
}

std::optional<std::string> LineEditor::Read(const std::string& prompt) {
  struct sigaction on_interrupt {
  }, before{};
  on_interrupt.sa_handler = OnInterrupt;
  sigemptyset(&on_interrupt.sa_mask);
  on_interrupt.sa_flags = 0;  // no SA_RESTART: the read is to be broken off
  interrupted = 0;
  sigaction(SIGINT, &on_interrupt, &before);
  char* line = readline(prompt.c_str());
  // Outside the editor Ctrl-C ends the program as usual.
  sigaction(SIGINT, &before, nullptr);
  if (interrupted) {
    std::free(line);
    last_.clear();
    return std::string("\x1b");
  }
  if (!line) return std::nullopt;
  last_ = line;
  std::free(line);
  return last_;
}

void LineEditor::RememberLast() {
  if (last_.find_first_not_of(' ') == std::string::npos) return;
  HIST_ENTRY* previous =
      history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
  if (previous && last_ == previous->line) return;
  add_history(last_.c_str());
}

}  // namespace cli
