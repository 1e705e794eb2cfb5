#include "cli/host_run.h"

#include <sys/stat.h>

#include "cli/drawing_io.h"
#include "cli/output_path.h"
#include "host/cmdline/command_line.h"
#include "host/module_loader.h"
#include "host/ui/text_encoding.h"

namespace cli {

std::string BundledTemplatesDir() {
  std::string beside = host::ExecutableDir();
  struct stat info;
  if (!beside.empty()) {
    beside += "/templates";
    if (stat(beside.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return beside;
  }
  return std::string(DRAVOLIN_SOURCE_DIR) + "/templates";
}

HostRun::~HostRun() {
  UnloadModule();
  current_.reset();
  session_.reset();
}

std::unique_ptr<HostRun> HostRun::Start(std::unique_ptr<host::Drawing> drawing,
                                        host::UserChannel* channel, std::string* err) {
  std::unique_ptr<HostRun> run(new HostRun());
  host::SessionOptions options;
  options.templates_dir = BundledTemplatesDir();
  run->session_ = std::make_unique<host::Session>(std::move(drawing), channel, options);
  // The channel records all that is shown; the command line need not too.
  run->session_->command_line().set_keeps_transcript(false);
  run->current_.emplace(run->session_.get());
  std::string module_path = host::DefaultModulePath();
  std::string load_error;
  run->module_ = host::LoadedModule::Load(module_path, *run->session_, &load_error);
  if (!run->module_) {
    *err = "cannot load the conversion module '" + module_path + "': " + load_error;
    return nullptr;
  }
  return run;
}

template <typename Step>
bool HostRun::Guarded(Step step) {
  try {
    step();
    return true;
  } catch (const host::HostAbort& abort) {
    abort_message_ = abort.message;
    return false;
  }
}

bool HostRun::RunInput(const std::string& text) {
  return Guarded([&] {
    session_->command_line().Feed(text);
    session_->command_line().RunPending();
  });
}

bool HostRun::RunCommand(const std::string& line) {
  return Guarded([&] { session_->command_line().Execute(line); });
}

void HostRun::UnloadModule() { module_.reset(); }

void HostRun::EnableFileCommands(const std::string& input, const std::string& default_output) {
  opened_ = {input};
  default_output_ = default_output;
  host::CommandLine& command_line = session_->command_line();
  // The hooks say why they fail on the command line, in its code page.
  auto refuse = [&command_line](const std::string& why) {
    command_line.Message(host::ExternalTextToCp1252(why));
    return false;
  };
  host::ShellHooks hooks;
  saved_at_ = command_line.commands_started();
  hooks.save = [this, refuse, &command_line](const std::string& path) {
    std::string target = path.empty() ? default_output_ : path;
    if (target.empty()) return refuse("No output file was given; the input is never overwritten.");
    std::string err;
    if (!CheckOutputIsNoInput(target, opened_, &err) || !SaveDrawing(drawing(), target, &err))
      return refuse(err);
    saved_at_ = command_line.commands_started();
    command_line.Message("Zeichnung gespeichert: \"" + host::ExternalTextToCp1252(target) + "\"");
    return true;
  };
  hooks.open = [this, refuse, &command_line](const std::string& path) {
    std::string err;
    std::unique_ptr<host::Drawing> opened = LoadDrawing(path, &err);
    if (!opened) return refuse(err);
    session_->SetDrawing(std::move(opened));
    opened_.push_back(path);
    saved_at_ = command_line.commands_started();
    command_line.Message("Zeichnung geöffnet: \"" + host::ExternalTextToCp1252(path) + "\"");
    return true;
  };
  // Has a command that may change the drawing run since it was opened or
  // saved?
  hooks.unsaved = [this, &command_line] { return command_line.commands_started() > saved_at_; };
  command_line.SetShellHooks(std::move(hooks));
}

bool HostRun::RunInteractive() {
  return Guarded([&] {
    host::CommandLine& command_line = session_->command_line();
    command_line.RunPending();
  });
}

}  // namespace cli
