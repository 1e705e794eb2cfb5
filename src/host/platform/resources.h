// Finding dialog resources the way the class library does: first in the
// current resource handle (the top of the document manager's stack, pushed
// by a module around its dialogs, else the program's own), then in every
// extension library that registered itself (CDynLinkLibrary), newest first.
#pragma once

#include <vector>

#include "host/host_only.h"
#include "sdk/afxwin.h"
#include "sdk/dialog_resource.h"

namespace host {

// The program's own resources: it has no dialogs.
HINSTANCE HostResourceModule();

// The extension-library chain (process-wide, as on Windows).
void AddResourceLibrary(CDynLinkLibrary* library);
void RemoveResourceLibrary(CDynLinkLibrary* library);
std::vector<CDynLinkLibrary*> ResourceLibraries();

// The dialog template with that id in one module, or nullptr.
const DialogTemplate* FindDialogIn(HINSTANCE resources, int id);
// Searches current (when not null) and then the library chain.
const DialogTemplate* FindDialogTemplate(int id, HINSTANCE current);

// Whether InitAcUiDLL was called.
bool AcUiInitialised();

}  // namespace host
