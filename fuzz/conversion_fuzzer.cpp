// A whole conversion on any drawing that loads: the Mech6 conversion, the
// Genius conversion and the Mech6 conversion once more, each in a fresh
// session with the module linked in and loaded anew, with the answers the
// program gives in batch (reference "auto", line weights and layers OK, the
// bundled template). The host may refuse or abort, but must not crash or
// hang; what it writes must read back; and the second Mech6 conversion must
// give the same drawing and transcript as the first, which shows that
// nothing of one run stays behind in the module for the next.
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "fuzz_support.h"
#include "host/cmdline/command_line.h"
#include "host/module_loader.h"
#include "host/session.h"
#include "host/ui/answers_channel.h"
#include "module/entry_point.h"

namespace {

struct Outcome {
  bool aborted = false;
  std::string drawing;  // as written; empty after an abort
  std::string transcript;
};

// A registry file of this process's own, removed at exit, so that runs
// neither read nor change the user's profile.
const std::string& ScratchDir() {
  // Never destroyed: the exit handler below still needs it.
  static const std::string* dir = [] {
    auto* path = new std::string(std::filesystem::temp_directory_path().string() +
                                 "/dravolin-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(*path);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchDir(), ignored);
    });
    return path;
  }();
  return *dir;
}

Outcome Convert(const uint8_t* data, size_t size, const char* command, const char* template_file) {
  Outcome outcome;
  std::unique_ptr<host::Drawing> drawing = fuzz::LoadBytes(data, size, "fuzz.dxf");
  if (!drawing) return outcome;
  std::string templates = std::string(DRAVOLIN_SOURCE_DIR) + "/templates";
  host::Answers answers;
  answers.references = {"auto"};
  answers.templates = {templates + "/" + template_file};
  host::AnswersChannel channel(answers);
  host::SessionOptions options;
  options.registry_file = ScratchDir() + "/registry.txt";
  options.templates_dir = templates;
  host::Session session(std::move(drawing), &channel, options);
  host::ScopedCurrentSession current(&session);
  std::string err;
  std::unique_ptr<host::LinkedModule> module =
      host::LinkedModule::Load(acrxGetApiVersion, acrxEntryPoint, session, &err);
  if (!module) fuzz::Violated("the module does not load", err);
  try {
    session.command_line().Execute(command);
    outcome.drawing = session.drawing().WriteToString();
  } catch (const host::HostAbort&) {
    outcome.aborted = true;
  }
  module.reset();
  outcome.transcript = channel.transcript();
  return outcome;
}

void ExpectReadsBack(const Outcome& outcome, const char* command) {
  if (outcome.drawing.empty()) return;
  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ParseBuffer(outcome.drawing, "converted.dxf", &file, &err) ||
      !host::Drawing::Load(std::move(file), &err))
    fuzz::Violated(command, "the converted drawing does not read back: " + err.ToString());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Outcome mech6 = Convert(data, size, "DRAVOLIN1", "Mech6.dwt");
  ExpectReadsBack(mech6, "DRAVOLIN1");
  Outcome genius = Convert(data, size, "DRAVOLINGEN", "Genius14.dwt");
  ExpectReadsBack(genius, "DRAVOLINGEN");
  Outcome again = Convert(data, size, "DRAVOLIN1", "Mech6.dwt");
  if (again.aborted != mech6.aborted || again.drawing != mech6.drawing)
    fuzz::Violated("a second Mech6 conversion gave another drawing",
                   fuzz::FirstDifference(mech6.drawing, again.drawing));
  if (again.transcript != mech6.transcript)
    fuzz::Violated("a second Mech6 conversion showed another transcript",
                   fuzz::FirstDifference(mech6.transcript, again.transcript));
  return 0;
}
