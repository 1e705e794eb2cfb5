// A session on a small drawing for the stand-in command tests: the drawing
// is given one tag a line, commands are fed as a script would type them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "host/cmdline/command_line.h"
#include "host/commands/tag_edit.h"
#include "host/database/drawing.h"
#include "host/session.h"
#include "support/dxf_lines.h"
#include "support/recording_channel.h"

namespace host::testing {

class StandInTest : public ::testing::Test {
 protected:
  // Opens the drawing given as "code value" lines in a fresh session.
  void Open(std::string_view pairs) { OpenText(DxfFromPairs(pairs)); }
  void OpenText(const std::string& dxf_text) {
    session_.reset();
    std::unique_ptr<Drawing> drawing = LoadDrawingText(dxf_text);
    ASSERT_TRUE(drawing);
    SessionOptions options;
    options.registry_file = ::testing::TempDir() + "dravolin_stand_in_registry.txt";
    options.templates_dir = templates_dir_;
    options.drive_map = {{"C:", ::testing::TempDir()}};
    session_ = std::make_unique<Session>(std::move(drawing), &channel_, options);
    current_ = std::make_unique<ScopedCurrentSession>(session_.get());
  }

  // Runs input as a script types it; returns what it added to the transcript.
  std::string Run(const std::string& input) {
    size_t before = cl().transcript().size();
    cl().Feed(input);
    cl().RunPending();
    return cl().transcript().substr(before);
  }

  Session& session() { return *session_; }
  Drawing& drawing() { return session_->drawing(); }
  CommandLine& cl() { return session_->command_line(); }

  EntityId Entity(std::string_view handle) {
    EntityId id = drawing().FindEntityByHandle(handle);
    EXPECT_NE(id, kNoEntity) << "no entity " << handle;
    return id;
  }
  dxf::Tags Tags(std::string_view handle) {
    return commands::CopyEntityTags(drawing(), Entity(handle));
  }
  bool Has(std::string_view handle, int code) {
    return commands::FindTag(Tags(handle), code) != commands::kNoTag;
  }
  std::string Value(std::string_view handle, int code) {
    return commands::TagValue(Tags(handle), code);
  }
  double Real(std::string_view handle, int code) {
    return commands::TagReal(Tags(handle), code, -12345.0);
  }
  std::string Header(std::string_view name) {
    return drawing().HeaderValue(name).value_or("(none)");
  }
  dxf::Tags TableRecord(std::string_view table, std::string_view name) {
    TableRecordId id = drawing().FindTableRecord(table, name);
    EXPECT_NE(id, kNoRecord) << table << " " << name;
    return id == kNoRecord ? dxf::Tags() : commands::CopyTableRecordTags(drawing(), id);
  }

  // Reads the written drawing with ezdxf and returns its audit's error count
  // and messages ("skipped" when Debian's python3-ezdxf is not installed).
  // Starting Python and ezdxf takes seconds: call it once per test program.
  std::string EzdxfAudit() {
    if (!std::filesystem::exists("/usr/bin/python3")) return "skipped";
    std::string dxf_path = ::testing::TempDir() + "stand_in_audit.dxf";
    std::string out_path = ::testing::TempDir() + "stand_in_audit.txt";
    std::ofstream(dxf_path, std::ios::binary) << drawing().WriteToString();
    std::string command =
        "/usr/bin/python3 -c \"import sys\n"
        "try:\n import ezdxf\n"
        "except ImportError:\n print('skipped'); sys.exit()\n"
        "doc=ezdxf.readfile(sys.argv[1])\n"
        "a=doc.audit()\n"
        "print(len(a.errors))\n"
        "[print(e.message) for e in a.errors]\" " +
        dxf_path + " > " + out_path + " 2>&1";
    if (std::system(command.c_str()) != 0) return "python failed";
    std::ifstream in(out_path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The bundled templates unless a test puts its own in place before Open.
  std::string templates_dir_ = std::string(DRAVOLIN_SOURCE_DIR) + "/templates";
  RecordingChannel channel_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<ScopedCurrentSession> current_;
};

}  // namespace host::testing
