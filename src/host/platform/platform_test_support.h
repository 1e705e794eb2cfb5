// A session over an empty drawing for the platform's tests, with the batch
// channel and its own temporary folder for the registry and files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "dxf/document.h"
#include "host/cmdline/command_line.h"
#include "host/database/drawing.h"
#include "host/platform/platform.h"
#include "host/session.h"
#include "host/ui/answers_channel.h"

namespace host::testing {

inline std::string MakeTempDir() {
  char pattern[] = "/tmp/dravolin-platform-test-XXXXXX";
  return mkdtemp(pattern) ? pattern : "";
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    Close();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Opens the session (made current) with these answers; options may be
  // adjusted before through options().
  void Open(Answers answers = {}) {
    Close();
    dxf::RawFile raw;
    dxf::Error err;
    ASSERT_TRUE(dxf::ParseBuffer("  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n", "input",
                                 &raw, &err))
        << err.ToString();
    std::unique_ptr<Drawing> drawing = Drawing::Load(std::move(raw), &err);
    ASSERT_NE(drawing, nullptr) << err.ToString();
    channel_ = std::make_unique<AnswersChannel>(std::move(answers));
    if (options_.registry_file.empty()) options_.registry_file = dir_ + "/registry.txt";
    if (options_.templates_dir.empty()) options_.templates_dir = dir_ + "/templates";
    session_ = std::make_unique<Session>(std::move(drawing), channel_.get(), options_);
    current_ = std::make_unique<ScopedCurrentSession>(session_.get());
  }

  void Close() {
    current_.reset();
    session_.reset();
    channel_.reset();
  }

  SessionOptions& options() { return options_; }
  Session& session() { return *session_; }
  Platform& platform() { return session_->platform(); }
  AnswersChannel& channel() { return *channel_; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  SessionOptions options_;
  std::unique_ptr<AnswersChannel> channel_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<ScopedCurrentSession> current_;
};

}  // namespace host::testing
