#include "module/extension_module.h"

#include "module/module_resources.h"

namespace {

ExtensionModuleRecord g_record;

// What a Windows module does in its DLL entry: on process attach it joins the
// class library as an extension module, records its resource instances and
// starts the host's UI library; on process detach it leaves again. A static
// object gives the same moments: constructed when the module file is loaded,
// destroyed when it is unloaded.
struct ProcessAttachment {
  ProcessAttachment() {
    HINSTANCE instance = ModuleInstance();
    if (!AfxInitExtensionModule(g_record.module, instance)) return;
    // Puts the module's resources on the class library's chain; the library
    // object belongs to the class library, which deletes it when the module
    // leaves (AfxTermExtensionModule).
    new CDynLinkLibrary(g_record.module);
    g_record.default_resource = AfxGetResourceHandle();
    g_record.module_resource = instance;
    g_record.attached = true;
    InitAcUiDLL();
  }
  ~ProcessAttachment() {
    if (!g_record.attached) return;
    AfxTermExtensionModule(g_record.module);
    g_record.attached = false;
  }
};

ProcessAttachment g_attachment;

}  // namespace

const ExtensionModuleRecord& ExtensionModule() { return g_record; }

HINSTANCE ModuleResourceInstance() {
  return g_record.module_resource != nullptr ? g_record.module_resource : ModuleInstance();
}
