#include "host/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host/platform/platform.h"
#include "host/session.h"

namespace host {

AppModule::AppModule(std::string name, Session& session, ModuleEntryFunction entry)
    : name_(std::move(name)), session_(session), entry_(entry) {}

AppModule::~AppModule() { Unload(); }

bool AppModule::Initialise(ModuleVersionFunction version, std::string* err) {
  ScopedCurrentSession scope(&session_);
  int release = version();
  if (release != kModuleApiVersion) {
    char text[160];
    std::snprintf(text, sizeof text, ": built for interface release 0x%08X, the host needs 0x%08X",
                  static_cast<unsigned>(release), static_cast<unsigned>(kModuleApiVersion));
    *err = name_ + text;
    return false;
  }
  CommandStack& commands = session_.platform().command_stack();
  // Commands added during initialisation are the module's; if it fails,
  // they go, so that nothing points into a module that is not loaded.
  auto forget = [&] {
    commands.set_loading_app(nullptr);
    commands.RemoveCommandsOf(app_id());
    session_.platform().dynamic_linker().Forget(app_id());
  };
  commands.set_loading_app(app_id());
  AcRx::AppRetCode answer;
  try {
    answer = entry_(AcRx::kInitAppMsg, app_id());
  } catch (...) {
    forget();
    throw;
  }
  commands.set_loading_app(nullptr);
  if (answer != AcRx::kRetOK) {
    forget();
    *err = name_ + ": the module refused to initialise (answer " + std::to_string(answer) + ")";
    return false;
  }
  initialised_ = true;
  return true;
}

void AppModule::Unload() {
  if (!initialised_) return;
  initialised_ = false;
  ScopedCurrentSession scope(&session_);
  try {
    entry_(AcRx::kUnloadAppMsg, app_id());
  } catch (const HostAbort& abort) {
    std::fprintf(stderr, "%s\n", abort.message.c_str());
  } catch (...) {
    std::fprintf(stderr, "%s: the unload message failed\n", name_.c_str());
  }
  // Whatever the module left registered must not outlive it.
  session_.platform().command_stack().RemoveCommandsOf(app_id());
  session_.platform().dynamic_linker().Forget(app_id());
}

AcRx::AppRetCode AppModule::Send(AcRx::AppMsgCode message) {
  if (!initialised_ || message == AcRx::kInitAppMsg || message == AcRx::kUnloadAppMsg)
    return AcRx::kRetError;
  ScopedCurrentSession scope(&session_);
  return entry_(message, app_id());
}

LoadedModule::LoadedModule(std::string path, Session& session, void* handle,
                           ModuleEntryFunction entry)
    : AppModule(std::move(path), session, entry), handle_(handle) {}

LoadedModule::~LoadedModule() {
  Unload();  // before the code goes away
  dlclose(handle_);
}

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::string& path, Session& session,
                                                 std::string* err) {
  // A bare file name would make dlopen search the library path.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    *err = why ? why : path + ": cannot be loaded";
    return nullptr;
  }
  dlerror();
  auto version = reinterpret_cast<ModuleVersionFunction>(dlsym(handle, "acrxGetApiVersion"));
  auto entry = reinterpret_cast<ModuleEntryFunction>(dlsym(handle, "acrxEntryPoint"));
  if (version == nullptr || entry == nullptr) {
    dlclose(handle);
    *err = path + ": not a module (acrxGetApiVersion and acrxEntryPoint are not exported)";
    return nullptr;
  }
  std::unique_ptr<LoadedModule> module(new LoadedModule(path, session, handle, entry));
  if (!module->Initialise(version, err)) return nullptr;
  return module;
}

LinkedModule::LinkedModule(Session& session, ModuleEntryFunction entry)
    : AppModule("linked module", session, entry) {}

LinkedModule::~LinkedModule() { Unload(); }

std::unique_ptr<LinkedModule> LinkedModule::Load(ModuleVersionFunction version,
                                                 ModuleEntryFunction entry, Session& session,
                                                 std::string* err) {
  if (version == nullptr || entry == nullptr) {
    *err = "linked module: entry functions missing";
    return nullptr;
  }
  std::unique_ptr<LinkedModule> module(new LinkedModule(session, entry));
  if (!module->Initialise(version, err)) return nullptr;
  return module;
}

std::string ExecutableDir() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string exe(buffer, static_cast<size_t>(n));
  size_t cut = exe.find_last_of('/');
  return cut == std::string::npos ? "" : exe.substr(0, cut == 0 ? 1 : cut);
}

std::string DefaultModulePath() {
  if (const char* env = std::getenv("DRAVOLIN_MODULE"); env && *env) return env;
  std::string dir = ExecutableDir();
  return (dir.empty() ? std::string(".") : dir) + "/QUARNDravolin1.arx";
}

}  // namespace host
