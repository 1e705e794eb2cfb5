// The interactive user channel: a person at a terminal (or input piped in;
// then message boxes do not wait for Enter). Output is converted
// from code page 1252 to UTF-8; input lines are taken as UTF-8 when they are
// valid UTF-8 and as 1252 otherwise. Message boxes, dialogs, the file dialog
// and picks are shown as text and answered by typing.
#pragma once

#include <functional>
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
  ~ConsoleChannel() override;

  // A line editor that reads the lines instead of the input stream: it is
  // given the prompt (UTF-8: the output since the last line end, held back
  // for it so that the editor can redraw the prompt with the line) and
  // returns the line typed (UTF-8), nullopt at the end of input. Lines read
  // through it count as typed at a terminal.
  using LineSource = std::function<std::optional<std::string>(const std::string& prompt)>;
  void SetLineSource(LineSource source);
  // Writes out a prompt held back for the line editor.
  void Flush();

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
  LineSource line_source_;
  std::string held_prompt_;  // UTF-8 output after the last line end, for line_source_
};

// True for the ways a user says Escape on a line: "esc" (any case) or the
// escape character itself.
bool IsEscapeAnswer(const std::string& line);

}  // namespace host
