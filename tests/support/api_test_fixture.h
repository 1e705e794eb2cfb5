// Test support for the SDK functions: small drawings written one tag per
// line ("8 Kontur"), loaded into a session whose user channel records what
// it is shown and answers entity picks from a queue.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/api/api_state.h"
#include "host/cmdline/command_line.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "host/session.h"
#include "sdk/adslib.h"
#include "support/dxf_lines.h"
#include "support/recording_channel.h"

namespace host::api {

class ApiTest : public ::testing::Test {
 protected:
  void TearDown() override { Close(); }

  // Loads the drawing and makes it the current session's.
  void Open(const std::string& dxf_text, const std::string& name = "input.dxf") {
    Close();
    std::unique_ptr<Drawing> drawing = testing::LoadDrawingText(dxf_text, name);
    ASSERT_NE(drawing, nullptr);
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
