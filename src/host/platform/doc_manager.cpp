#include "host/platform/doc_manager.h"

#include <cstring>

#include "host/cmdline/command_line.h"
#include "host/platform/platform.h"
#include "host/session.h"

namespace host {

DocManager::DocManager(Session& session) : session_(session), document_(session) {}

AcApDocument* DocManager::curDocument() const { return &document_; }

Acad::ErrorStatus DocManager::sendStringToExecute(AcApDocument* document, const char* text, bool,
                                                  bool, bool echo) {
  if (text == nullptr || document != &document_) return Acad::eInvalidInput;
  // Copied now: callers free their text right after the call.
  session_.command_line().Queue(std::string(text), echo);
  return Acad::eOk;
}

void DocManager::pushResourceHandle(HINSTANCE resource) {
  session_.platform().PushResourceHandle(resource);
}

void DocManager::popResourceHandle() { session_.platform().PopResourceHandle(); }

void ProfileManager::ProfileRegistryKey(char*& key, const char* profile_name) {
  if (profile_name == nullptr) return;
  std::optional<std::string> path = session_.platform().ProfileKey(profile_name);
  if (!path) return;
  key = new char[path->size() + 1];
  std::memcpy(key, path->c_str(), path->size() + 1);
}

}  // namespace host

extern "C" AcApDocManager* acDocManagerPtr() {
  host::Session* session = host::CurrentSession();
  return session ? &session->platform().doc_manager() : nullptr;
}

extern "C" AcApProfileManager* acProfileManagerPtr() {
  host::Session* session = host::CurrentSession();
  return session ? &session->platform().profile_manager() : nullptr;
}

extern "C" HWND adsw_acadMainWnd() {
  // The host's only window: a fixed handle, never a real object.
  static char main_window;
  return reinterpret_cast<HWND>(&main_window);
}
