#include "module/command_stack.h"

namespace {

// Found on first use and kept for later uses; a class descriptor does not
// change while the host runs.
AcRxClass* g_command_stack_class = nullptr;

AcRxClass* CommandStackClass() {
  if (g_command_stack_class == nullptr) {
    AcRxDictionary* registry = acrxSysRegistry();
    if (registry == nullptr) return nullptr;
    AcRxDictionary* classes = AcRxDictionary::cast(registry->at("ClassDictionary"));
    if (classes == nullptr) return nullptr;
    g_command_stack_class = AcRxClass::cast(classes->at("AcEdCommandStack"));
  }
  return g_command_stack_class;
}

}  // namespace

AcEdCommandStack* HostCommandStack() {
  AcRxDictionary* registry = acrxSysRegistry();
  AcRxClass* cls = CommandStackClass();
  if (registry == nullptr || cls == nullptr) return nullptr;
  AcRxObject* object = registry->at("ACAD_REGISTERED_COMMANDS");
  // The class test: only an object of the command-stack class is used.
  if (object == nullptr || !object->isKindOf(cls)) return nullptr;
  return static_cast<AcEdCommandStack*>(object);
}

AcRxDynamicLinker* HostDynamicLinker() {
  AcRxDictionary* registry = acrxSysRegistry();
  if (registry == nullptr) return nullptr;
  return AcRxDynamicLinker::cast(registry->at("DynamicLinker"));
}

void ForgetHostClasses() { g_command_stack_class = nullptr; }
