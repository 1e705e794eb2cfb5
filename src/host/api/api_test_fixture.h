// Test support for the SDK functions: small drawings written one tag per
// line ("8 Kontur"), loaded into a session whose user channel records what
// it is shown and answers entity picks from a queue.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/document.h"
#include "host/api/api_state.h"
#include "host/cmdline/command_line.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "host/session.h"
#include "host/ui/user_channel.h"
#include "sdk/adslib.h"

namespace host::api {

// "code value" lines (value may be empty) as DXF text with LF line endings.
inline std::string DxfText(std::string_view lines) {
  std::string out;
  size_t pos = 0;
  while (pos < lines.size()) {
    size_t end = lines.find('\n', pos);
    if (end == std::string_view::npos) end = lines.size();
    std::string_view line = lines.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    size_t blank = line.find(' ');
    std::string_view code = line.substr(0, blank);
    std::string_view value = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    out.append(code).append("\n").append(value).append("\n");
  }
  return out;
}

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

  std::string printed;
  std::deque<std::optional<std::string>> picks;
  std::string pick_prompt;
  std::vector<PickCandidate> candidates;
};

class ApiTest : public ::testing::Test {
 protected:
  void TearDown() override { Close(); }

  // Loads the drawing and makes it the current session's.
  void Open(const std::string& dxf_text, const std::string& name = "input.dxf") {
    Close();
    dxf::RawFile raw;
    dxf::Error err;
    ASSERT_TRUE(dxf::ParseBuffer(dxf_text, name, &raw, &err)) << err.ToString();
    std::unique_ptr<Drawing> drawing = Drawing::Load(std::move(raw), &err);
    ASSERT_NE(drawing, nullptr) << err.ToString();
    SessionOptions options;
    options.registry_file = ::testing::TempDir() + "/dravolin_api_test_registry.txt";
    session_ = std::make_unique<Session>(std::move(drawing), &channel_, options);
    SetCurrentSession(session_.get());
  }

  void Close() {
    if (session_ != nullptr) SetCurrentSession(nullptr);
    ForgetApiState();
    session_.reset();
  }

  Drawing& drawing() { return session_->drawing(); }
  std::string transcript() { return session_->command_line().transcript(); }
  ApiState& state() { return *CurrentState(); }

  // The name of the entity with that handle.
  void NameOf(std::string_view handle, ads_name out) {
    EntityId id = drawing().FindEntityByHandle(handle);
    ASSERT_NE(id, kNoEntity) << handle;
    state().EntityName(id, out);
  }
  // The record text of the entity with that handle.
  std::string RecordOf(std::string_view handle) {
    EntityId id = drawing().FindEntityByHandle(handle);
    if (id == kNoEntity) return "<none>";
    return std::string(drawing().entity(id).text.text());
  }
  std::string LayerRecord(std::string_view name) {
    TableRecordId id = drawing().FindTableRecord("LAYER", name);
    if (id == kNoRecord) return "<none>";
    return std::string(drawing().table_record(id).text.text());
  }

  RecordingChannel channel_;
  std::unique_ptr<Session> session_;
};

// The n-th item of a chain with that type, or null.
inline resbuf* FindItem(resbuf* chain, int type, int nth = 0) {
  for (resbuf* item = chain; item != nullptr; item = item->rbnext) {
    if (item->restype == type && nth-- == 0) return item;
  }
  return nullptr;
}

// The types of a chain in order.
inline std::vector<int> TypesOf(const resbuf* chain) {
  std::vector<int> types;
  for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
    types.push_back(item->restype);
  }
  return types;
}

// Owns a chain in a test.
struct ChainPtr {
  explicit ChainPtr(resbuf* c) : chain(c) {}
  ~ChainPtr() { acutRelRb(chain); }
  ChainPtr(const ChainPtr&) = delete;
  ChainPtr& operator=(const ChainPtr&) = delete;
  resbuf* get() const { return chain; }
  resbuf* chain;
};

// Replaces a string item's text as the module does (realloc to grow).
inline void SetString(resbuf* item, const char* text) {
  item->resval.rstring =
      static_cast<char*>(std::realloc(item->resval.rstring, std::strlen(text) + 1));
  std::strcpy(item->resval.rstring, text);
}

}  // namespace host::api
