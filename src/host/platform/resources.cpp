#include "host/platform/resources.h"

#include <algorithm>

namespace host {
namespace {

std::vector<CDynLinkLibrary*>& Libraries() {
  static std::vector<CDynLinkLibrary*> libraries;  // oldest first
  return libraries;
}

bool& AcUiFlag() {
  static bool initialised = false;
  return initialised;
}

}  // namespace

HINSTANCE HostResourceModule() {
  static const ResourceModule host{"dravolin", nullptr, 0, nullptr, 0};
  return &host;
}

void AddResourceLibrary(CDynLinkLibrary* library) { Libraries().push_back(library); }

void RemoveResourceLibrary(CDynLinkLibrary* library) { std::erase(Libraries(), library); }

std::vector<CDynLinkLibrary*> ResourceLibraries() { return Libraries(); }

const DialogTemplate* FindDialogIn(HINSTANCE resources, int id) {
  if (resources == nullptr || resources->dialogs == nullptr) return nullptr;
  for (size_t i = 0; i < resources->dialog_count; ++i)
    if (resources->dialogs[i].id == id) return &resources->dialogs[i];
  return nullptr;
}

const DialogTemplate* FindDialogTemplate(int id, HINSTANCE current) {
  if (const DialogTemplate* found = FindDialogIn(current, id)) return found;
  const std::vector<CDynLinkLibrary*>& libraries = Libraries();
  for (auto it = libraries.rbegin(); it != libraries.rend(); ++it)
    if (const DialogTemplate* found = FindDialogIn((*it)->resource_, id)) return found;
  return nullptr;
}

bool AcUiInitialised() { return AcUiFlag(); }

}  // namespace host

// ---- extension-module plumbing -------------------------------------------------

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module) {
  if (state.bInitialized) return TRUE;
  if (module == nullptr) return FALSE;
  state.hModule = module;
  state.hResource = module;
  state.bInitialized = TRUE;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state) {
  if (!state.bInitialized) return;
  // As the class library does: the module's libraries still in the chain
  // are deleted (they were made with new when the module attached).
  std::vector<CDynLinkLibrary*> own;
  for (CDynLinkLibrary* library : host::ResourceLibraries())
    if (library->module_ == state.hModule) own.push_back(library);
  for (CDynLinkLibrary* library : own) delete library;
  state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state)
    : resource_(state.hResource), module_(state.hModule) {
  host::AddResourceLibrary(this);
}

CDynLinkLibrary::~CDynLinkLibrary() { host::RemoveResourceLibrary(this); }

void InitAcUiDLL() { host::AcUiFlag() = true; }
