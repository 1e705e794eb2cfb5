// The batch user channel: answers come from an Answers value, and everything
// shown is recorded in a transcript (code page 1252): the command line's
// output, one line per message box ("[Meldung] text"), dialog, file dialog
// and pick. Message boxes are answered OK.
#pragma once

#include <deque>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "host/host_only.h"
#include "host/ui/answers.h"
#include "host/ui/user_channel.h"

namespace host {

class AnswersChannel : public UserChannel {
 public:
  explicit AnswersChannel(Answers answers);

  void Print(const std::string& text) override;
  int MessageBox(const std::string& text, const std::string& caption) override;
  DialogAction RunDialog(const DialogView& dialog) override;
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> PickEntity(const std::string& prompt,
                                        const std::vector<PickCandidate>& candidates) override;
  bool ShowsPickCandidates() const override { return false; }

  // Everything shown so far, in code page 1252.
  const std::string& transcript() const { return transcript_; }
  // When set, every addition to the transcript is also written there at
  // once, converted to UTF-8 (for progress output of long runs).
  void set_live_output(std::ostream* out) { live_ = out; }

  // What was shown, for tests that check more than the transcript line.
  struct ShownMessage {
    std::string text, caption;
  };
  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<DialogView>& dialogs() const { return dialogs_; }
  const std::vector<FileDialogRequest>& file_dialogs() const { return file_dialogs_; }

 private:
  void Record(const std::string& text);
  void RecordLine(const std::string& line);  // starts on a fresh line, ends with "\n"

  std::deque<std::string> references_;
  std::map<int, std::deque<DialogAnswer>> dialog_answers_;
  std::deque<std::optional<std::string>> templates_;
  std::string transcript_;
  std::ostream* live_ = nullptr;
  std::vector<ShownMessage> messages_;
  std::vector<DialogView> dialogs_;
  std::vector<FileDialogRequest> file_dialogs_;
};

}  // namespace host
