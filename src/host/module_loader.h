// Loading the conversion module: as a plug-in file (dlopen) or linked into
// the program (tests). Loading checks the interface release and sends the
// entry point the initialise message; destroying the module object sends the
// unload message and, for a plug-in, closes the file.
#pragma once

#include <memory>
#include <string>

#include "host/host_only.h"
#include "sdk/arx.h"

namespace host {

class Session;

// The interface release a module must be built for (release 15).
constexpr int kModuleApiVersion = 0x000F0000;

using ModuleVersionFunction = int (*)();
using ModuleEntryFunction = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);

// A module that has been sent the initialise message. The session must
// outlive it; the session is made current around every call into the module.
class AppModule {
 public:
  virtual ~AppModule();
  AppModule(const AppModule&) = delete;
  AppModule& operator=(const AppModule&) = delete;

  const std::string& name() const { return name_; }
  // The application id the module is told in its entry-point calls.
  void* app_id() { return this; }
  // Sends a message other than initialise/unload; returns the module's answer.
  AcRx::AppRetCode Send(AcRx::AppMsgCode message);

 protected:
  AppModule(std::string name, Session& session, ModuleEntryFunction entry);
  // Checks the version and sends the initialise message. On failure err says
  // why and the module is left as if never initialised.
  bool Initialise(ModuleVersionFunction version, std::string* err);
  // Sends the unload message (once) and removes any command the module left
  // registered, so that nothing points into it afterwards.
  void Unload();

 private:
  std::string name_;
  Session& session_;
  ModuleEntryFunction entry_;
  bool initialised_ = false;
};

// The module as a plug-in file.
class LoadedModule : public AppModule {
 public:
  // dlopen (RTLD_NOW | RTLD_LOCAL), the two entry functions, the version
  // check, the initialise message. nullptr with err set on any failure.
  static std::unique_ptr<LoadedModule> Load(const std::string& path, Session& session,
                                            std::string* err);
  ~LoadedModule() override;

 private:
  LoadedModule(std::string path, Session& session, void* handle, ModuleEntryFunction entry);
  void* handle_;
};

// The module linked into the program, given by its two entry functions.
class LinkedModule : public AppModule {
 public:
  static std::unique_ptr<LinkedModule> Load(ModuleVersionFunction version,
                                            ModuleEntryFunction entry, Session& session,
                                            std::string* err);
  ~LinkedModule() override;

 private:
  LinkedModule(Session& session, ModuleEntryFunction entry);
};

// The plug-in to load by default: $DRAVOLIN_MODULE when set, else
// QUARNDravolin1.arx beside the running executable.
std::string DefaultModulePath();

// The folder of the running executable ("" when it cannot be found).
std::string ExecutableDir();

}  // namespace host
