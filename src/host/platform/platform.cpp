#include "host/platform/platform.h"

#include <sys/stat.h>

#include "host/cmdline/command_line.h"
#include "host/module_loader.h"
#include "host/platform/host_files.h"
#include "host/platform/resources.h"
#include "host/session.h"
#include "host/ui/text_encoding.h"
#include "sdk/afxwin.h"

namespace host {
namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Control characters are shown as "?" when a refused text is quoted back.
std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return out;
}

}  // namespace

std::string DefaultTemplatesDir() {
  std::string exe = ExecutableDir();
  if (!exe.empty()) {
    if (IsFolder(exe + "/templates")) return exe + "/templates";
    if (IsFolder(exe + "/../share/dravolin/templates")) return exe + "/../share/dravolin/templates";
  }
  return std::string(DRAVOLIN_SOURCE_DIR) + "/templates";
}

Platform::Platform(Session& session, const SessionOptions& options)
    : session_(session),
      templates_dir_(options.templates_dir.empty() ? DefaultTemplatesDir() : options.templates_dir),
      registry_file_(RegistryFilePath(options.registry_file)),
      drive_map_(options.drive_map),
      command_stack_(session.command_line()),
      system_registry_(&command_stack_),
      doc_manager_(session),
      profile_manager_(session) {}

Platform::~Platform() = default;

// ---- registry ----------------------------------------------------------------

RegistryStore& Platform::registry() {
  if (!registry_) {
    registry_ = std::make_unique<RegistryStore>(registry_file_, templates_dir_);
    std::string err;
    if (!registry_->Load(&err)) ReportRegistryProblem(err);
    // A template folder that is gone leaves the file dialog empty: said
    // at once, with the file to edit.
    std::string general = std::string(kProfilesKey) + "\\" + CurrentProfileName() + "\\GENERAL";
    std::optional<std::string> folder = registry_->Value(general, "TemplatePath");
    std::optional<std::string> host_folder;
    if (folder && !folder->empty()) host_folder = HostPath(*folder);
    if (host_folder) host_folder = ResolveNoCase(*host_folder);
    if (folder && !folder->empty() && (!host_folder || !IsFolder(*host_folder)))
      session_.command_line().Print("\nDer Vorlagenordner \"" + *folder + "\" (TemplatePath in " +
                                    Utf8ToCp1252(registry_file_) + ") fehlt.");
  }
  return *registry_;
}

void Platform::ReportRegistryProblem(const std::string& what) {
  if (registry_problem_reported_) return;
  registry_problem_reported_ = true;
  session_.command_line().Print("\nRegistrierung: " + what +
                                " (Änderungen werden nicht gespeichert)");
}

std::string Platform::CurrentProfileName() {
  RegistryStore& reg = registry();
  std::optional<std::string> name = reg.Value(kProfilesKey, "");
  if (name && !name->empty() && name->find('\\') == std::string::npos &&
      reg.HasKey(std::string(kProfilesKey) + "\\" + *name))
    return *name;
  return kDefaultProfileName;
}

std::optional<std::string> Platform::ProfileKey(const std::string& profile_name) {
  if (profile_name.find('\\') != std::string::npos) return std::nullopt;
  std::string path = std::string(kProfilesKey) + "\\" + profile_name;
  if (!RegistryStore::ValidKeyPath(path)) return std::nullopt;
  std::optional<std::string> stored = registry().StoredKeyPath(path);
  if (!stored) return std::nullopt;
  return std::string(kRootKeyName) + "\\" + *stored;
}

HKEY Platform::OpenKeyHandle(const std::string& path) {
  uintptr_t id = next_key_++;
  keys_[id] = path;
  return reinterpret_cast<HKEY>(id);
}

std::optional<std::string> Platform::KeyPath(HKEY key) const {
  if (key == HKEY_CURRENT_USER) return std::string();
  auto it = keys_.find(reinterpret_cast<uintptr_t>(key));
  if (it == keys_.end()) return std::nullopt;
  return it->second;
}

bool Platform::CloseKeyHandle(HKEY key) {
  return keys_.erase(reinterpret_cast<uintptr_t>(key)) == 1;
}

// ---- programs ------------------------------------------------------------------

int Platform::RunCommandInterpreter(const std::string& command_line) {
  CommandLine& out = session_.command_line();
  command_lines_.push_back(command_line);
  std::optional<std::string> program = ParseStartCommand(command_line);
  if (!program) {
    out.Print("\nBefehl abgelehnt: \"" + Printable(command_line) +
              "\" (nur \"start PROGRAMM\" ist erlaubt)");
    return -1;
  }
  std::optional<std::string> path = HostPath(*program);
  if (path) path = ResolveNoCase(*path);
  if (!path) {
    out.Print("\nProgramm nicht gefunden: " + *program);
    return -1;
  }
  std::string err;
  if (!processes_.Start(*path, &err)) {
    out.Print("\nProgramm nicht gestartet: " + *program + ": " + Utf8ToCp1252(err));
    return -1;
  }
  return 0;
}

// ---- dialog resources ---------------------------------------------------------

void Platform::PushResourceHandle(HINSTANCE resources) { resource_stack_.push_back(resources); }

void Platform::PopResourceHandle() {
  if (!resource_stack_.empty()) resource_stack_.pop_back();
}

HINSTANCE Platform::CurrentResourceHandle() const {
  return resource_stack_.empty() ? HostResourceModule() : resource_stack_.back();
}

const DialogTemplate* Platform::FindDialogTemplate(int id) const {
  return host::FindDialogTemplate(id, CurrentResourceHandle());
}

}  // namespace host

extern "C" int WinCommandInterpreter(LPCSTR command_line) {
  host::Session* session = host::CurrentSession();
  if (session == nullptr) return -1;
  return session->platform().RunCommandInterpreter(command_line ? command_line : "");
}

HINSTANCE AfxGetResourceHandle() {
  host::Session* session = host::CurrentSession();
  return session ? session->platform().CurrentResourceHandle() : host::HostResourceModule();
}
