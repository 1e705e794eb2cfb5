// The interactive user channel: a person at a terminal (or input piped in;
// then message boxes do not wait for Enter). Output is converted
// from code page 1252 to UTF-8; input lines are taken as UTF-8 when they are
// valid UTF-8 and as 1252 otherwise. Message boxes, dialogs, the file dialog
// and picks are shown as text and answered by typing.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "host/host_only.h"
#include "host/ui/user_channel.h"

namespace host {

class ConsoleChannel : public UserChannel {
 public:
  // terminal_input: the input is typed by a person (its lines are already
  // visible on the screen, so the command line's echo of them is left out).
  ConsoleChannel(std::istream& in, std::ostream& out, bool terminal_input);

  void Print(const std::string& text) override;
  int MessageBox(const std::string& text, const std::string& caption) override;
  DialogAction RunDialog(const DialogView& dialog) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> PickEntity(const std::string& prompt,
                                        const std::vector<PickCandidate>& candidates) override;

  // One input line in code page 1252, without its line end; nullopt at the
  // end of input. The command line's interactive input source.
  std::optional<std::string> ReadLine();

 private:
  void Write(const std::string& text_1252);
  // Reads an answer after showing prompt; nullopt at the end of input.
  std::optional<std::string> Ask(const std::string& prompt);

  std::istream& in_;
  std::ostream& out_;
  bool terminal_input_;
  std::optional<std::string> pending_echo_;  // the line just typed
};

// True for the ways a user says Escape on a line: "esc" (any case) or the
// escape character itself.
bool IsEscapeAnswer(const std::string& line);

}  // namespace host
