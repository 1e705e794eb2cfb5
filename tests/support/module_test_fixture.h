// The fixture of the module's tests: a drawing from DXF text, a host session
// with a batch user channel, the module loaded into it (linked statically,
// initialised through its entry point), and helpers to run commands and to
// look at the drawing afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <strings.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dxf/document.h"
#include "host/api/entity_change_hooks.h"
#include "host/cmdline/command_line.h"
#include "host/database/drawing.h"
#include "host/module_loader.h"
#include "host/session.h"
#include "host/ui/answers_channel.h"
#include "hostenv/send_command.h"
#include "module/entry_point.h"
#include "support/dxf_lines.h"
#include "support/test_drawing.h"

namespace dravolin_test {

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dravolin-module-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    temp_dir_ = pattern;
    std::filesystem::create_directories(temp_dir_ + "/templates");
  }

  void TearDown() override {
    SetScriptObserver(nullptr);
    host::RefuseEntMod({});
    host::RefuseEntDel({});
    Close();
    std::error_code ignored;
    std::filesystem::remove_all(temp_dir_, ignored);
  }

  // Opens the drawing, loads the module and forgets what loading showed.
  void Open(const TestDrawing& drawing, host::Answers answers = {}) {
    OpenText(drawing.Text(), std::move(answers));
  }
  void OpenText(const std::string& dxf_text, host::Answers answers = {}) {
    Close();
    std::unique_ptr<host::Drawing> loaded = host::testing::LoadDrawingText(dxf_text, "input");
    ASSERT_NE(loaded, nullptr);
    channel_ = std::make_unique<host::AnswersChannel>(std::move(answers));
    host::SessionOptions options;
    options.registry_file = temp_dir_ + "/registry.txt";
    options.templates_dir = templates_dir_.empty() ? temp_dir_ + "/templates" : templates_dir_;
    options.drive_map = drive_map_;
    session_ = std::make_unique<host::Session>(std::move(loaded), channel_.get(), options);
    current_ = std::make_unique<host::ScopedCurrentSession>(session_.get());
    std::string load_error;
    module_ = host::LinkedModule::Load(acrxGetApiVersion, acrxEntryPoint, *session_, &load_error);
    ASSERT_NE(module_, nullptr) << load_error;
    MarkSeen();
    scripts_.clear();
    SetScriptObserver([this](const char* text) { scripts_.emplace_back(text); });
  }

  void Close() {
    module_.reset();
    current_.reset();
    session_.reset();
    channel_.reset();
  }

  // Runs one command line as typed at the idle prompt (the queued scripts
  // included) and returns what it added to the transcript.
  std::string Run(const std::string& line) {
    MarkSeen();
    session_->command_line().Execute(line);
    return Shown();
  }

  // Calls a function of the module directly, as inside a command.
  template <typename F>
  void Direct(F function) {
    MarkSeen();
    function();
  }

  // The transcript since the last Run (or MarkSeen), and the message-box
  // texts shown since then.
  std::string Shown() const { return channel_->transcript().substr(seen_transcript_); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (size_t i = seen_messages_; i < channel_->messages().size(); ++i)
      texts.push_back(channel_->messages()[i].text);
    return texts;
  }
  void MarkSeen() {
    seen_transcript_ = channel_->transcript().size();
    seen_messages_ = channel_->messages().size();
  }

  host::Drawing& drawing() { return session_->drawing(); }
  host::Session& session() { return *session_; }
  host::AnswersChannel& channel() { return *channel_; }
  host::LinkedModule& module() { return *module_; }
  const std::vector<std::string>& scripts() const { return scripts_; }

  // ---- looking at the drawing ----
  host::EntityId Find(const std::string& handle) const {
    std::vector<dxf::TagView> tags;
    for (host::EntityId id = 0; id < session_->drawing().entity_count(); ++id) {
      session_->drawing().EntityTags(id, &tags);
      for (const dxf::TagView& tag : tags)
        if (tag.code == 5 && tag.value == handle) return id;
    }
    return host::kNoEntity;
  }
  // The values of every tag with that code, in record order.
  std::vector<std::string> Values(const std::string& handle, int code) const {
    std::vector<std::string> values;
    host::EntityId id = Find(handle);
    if (id == host::kNoEntity) return values;
    std::vector<dxf::TagView> tags;
    session_->drawing().EntityTags(id, &tags);
    for (const dxf::TagView& tag : tags)
      if (tag.code == code) values.emplace_back(Trim(tag.value));
    return values;
  }
  // The first value with that code, or "-" when there is none.
  std::string Value(const std::string& handle, int code) const {
    std::vector<std::string> values = Values(handle, code);
    return values.empty() ? "-" : values.front();
  }
  // Whether a linetype (6), colour (62) or line weight (370) is ByLayer: the
  // record says so or leaves the value out (ByLayer is the default).
  bool IsByLayer(const std::string& handle, int code) const {
    std::string value = Value(handle, code);
    if (value == "-") return true;
    if (code == 6) return strcasecmp(value.c_str(), "BYLAYER") == 0;
    if (code == 62) return value == "256";
    if (code == 370) return value == "-1";
    return false;
  }
  double Real(const std::string& text) const { return std::strtod(text.c_str(), nullptr); }
  bool Erased(const std::string& handle) const {
    host::EntityId id = Find(handle);
    return id != host::kNoEntity && session_->drawing().entity(id).erased;
  }
  // A table record's first value with that code, "-" when there is none and
  // "(none)" when there is no such record.
  std::string TableValue(const std::string& table, const std::string& name, int code) const {
    host::TableRecordId id = session_->drawing().FindTableRecord(table, name);
    if (id == host::kNoRecord || session_->drawing().table_record(id).erased) return "(none)";
    std::vector<dxf::TagView> tags;
    session_->drawing().TableRecordTags(id, &tags);
    for (const dxf::TagView& tag : tags)
      if (tag.code == code) return Trim(tag.value);
    return "-";
  }

  // A drive of the Windows paths the module uses, mapped to a test folder.
  void MapDrive(const std::string& drive, const std::string& folder) {
    drive_map_.push_back({drive, folder});
  }
  const std::string& temp_dir() const { return temp_dir_; }
  // The host's templates folder for the next Open (default: an empty folder
  // of the test's own).
  void UseTemplatesDir(const std::string& folder) { templates_dir_ = folder; }

 private:
  static std::string Trim(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    size_t last = text.find_last_not_of(" \r");
    return std::string(text.substr(first, last - first + 1));
  }

  std::string temp_dir_;
  std::string templates_dir_;
  std::vector<std::pair<std::string, std::string>> drive_map_;
  std::unique_ptr<host::AnswersChannel> channel_;
  std::unique_ptr<host::Session> session_;
  std::unique_ptr<host::ScopedCurrentSession> current_;
  std::unique_ptr<host::LinkedModule> module_;
  std::vector<std::string> scripts_;
  size_t seen_transcript_ = 0;
  size_t seen_messages_ = 0;
};

}  // namespace dravolin_test
