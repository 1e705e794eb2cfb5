// A user channel for host tests: it records what it is shown, answers every
// dialog with cancel and entity picks from a queue (none when it is empty).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/ui/user_channel.h"

namespace host::testing {

class RecordingChannel : public UserChannel {
 public:
  void Print(const std::string& text) override { printed += text; }
  int MessageBox(const std::string& text, const std::string& caption) override {
    printed += "[" + caption + "] " + text + "\n";
    return 1;
  }
  DialogAction RunDialog(const DialogView&) override { return DialogAction{}; }
  std::optional<std::string> FileDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> PickEntity(const std::string& prompt,
                                        const std::vector<PickCandidate>& offered) override {
    pick_prompt = prompt;
    candidates = offered;
    if (picks.empty()) return std::nullopt;
    std::optional<std::string> answer = picks.front();
    picks.pop_front();
    return answer;
  }
  bool ShowsPickCandidates() const override { return shows_candidates; }

  std::string printed;
  bool shows_candidates = true;
  std::deque<std::optional<std::string>> picks;
  std::string pick_prompt;
  std::vector<PickCandidate> candidates;
};

}  // namespace host::testing

namespace host::api {
using RecordingChannel = testing::RecordingChannel;
}  // namespace host::api
