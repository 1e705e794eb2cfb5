#include "host/platform/rx_runtime.h"

#include "host/platform/command_stack.h"
#include "host/platform/platform.h"
#include "host/session.h"

// ---- runtime classes -------------------------------------------------------

AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::isA() const { return host::AcRxObjectClass(); }

bool AcRxObject::isKindOf(const AcRxClass* cls) const {
  const AcRxClass* own = isA();
  return own != nullptr && own->isDerivedFrom(cls);
}

AcRxClass::AcRxClass(const char* name, AcRxClass* parent) : name_(name), parent_(parent) {}

AcRxClass* AcRxClass::isA() const { return AcRxClass::desc(); }

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
  if (other == nullptr) return false;
  for (const AcRxClass* c = this; c != nullptr; c = c->myParent())
    if (c == other) return true;
  return false;
}

AcRxClass* AcRxClass::desc() {
  static AcRxClass cls("AcRxClass", host::AcRxObjectClass());
  return &cls;
}

AcRxClass* AcRxClass::cast(const AcRxObject* obj) {
  return obj && obj->isKindOf(desc()) ? static_cast<AcRxClass*>(const_cast<AcRxObject*>(obj))
                                      : nullptr;
}

AcRxClass* AcRxDictionary::desc() {
  static AcRxClass cls("AcRxDictionary", host::AcRxObjectClass());
  return &cls;
}

AcRxDictionary* AcRxDictionary::cast(const AcRxObject* obj) {
  return obj && obj->isKindOf(desc()) ? static_cast<AcRxDictionary*>(const_cast<AcRxObject*>(obj))
                                      : nullptr;
}

AcRxClass* AcRxDynamicLinker::desc() {
  static AcRxClass cls("AcRxDynamicLinker", host::AcRxObjectClass());
  return &cls;
}

AcRxDynamicLinker* AcRxDynamicLinker::cast(const AcRxObject* obj) {
  return obj && obj->isKindOf(desc())
             ? static_cast<AcRxDynamicLinker*>(const_cast<AcRxObject*>(obj))
             : nullptr;
}

namespace host {

AcRxClass* AcRxObjectClass() {
  static AcRxClass cls("AcRxObject", nullptr);
  return &cls;
}

AcRxClass* AcEdCommandStackClass() {
  static AcRxClass cls("AcEdCommandStack", AcRxObjectClass());
  return &cls;
}

// ---- dictionaries ----------------------------------------------------------

AcRxClass* RxDictionary::isA() const { return AcRxDictionary::desc(); }

AcRxObject* RxDictionary::at(const char* key) const {
  if (key == nullptr) return nullptr;
  auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : it->second;
}

// ---- dynamic linker --------------------------------------------------------

AcRxClass* DynamicLinker::isA() const { return AcRxDynamicLinker::desc(); }

bool DynamicLinker::unlockApplication(void* app_id) const {
  if (app_id == nullptr) return false;
  flags_[app_id].unlocked = true;
  return true;
}

bool DynamicLinker::registerAppMDIAware(void* app_id) const {
  if (app_id == nullptr) return false;
  flags_[app_id].mdi_aware = true;
  return true;
}

bool DynamicLinker::IsUnlocked(void* app_id) const {
  auto it = flags_.find(app_id);
  return it != flags_.end() && it->second.unlocked;
}

bool DynamicLinker::IsMdiAware(void* app_id) const {
  auto it = flags_.find(app_id);
  return it != flags_.end() && it->second.mdi_aware;
}

void DynamicLinker::Forget(void* app_id) { flags_.erase(app_id); }

// ---- the system registry ---------------------------------------------------

SystemRegistry::SystemRegistry(CommandStack* commands) {
  root_.Put("DynamicLinker", &linker_);
  root_.Put("ACAD_REGISTERED_COMMANDS", commands);
  root_.Put("ClassDictionary", &classes_);
  classes_.Put("AcRxObject", AcRxObjectClass());
  classes_.Put("AcRxClass", AcRxClass::desc());
  classes_.Put("AcRxDictionary", AcRxDictionary::desc());
  classes_.Put("AcRxDynamicLinker", AcRxDynamicLinker::desc());
  classes_.Put("AcEdCommandStack", AcEdCommandStackClass());
}

}  // namespace host

extern "C" AcRxDictionary* acrxSysRegistry() {
  // Outside a session there is nothing to find: an empty registry.
  static host::RxDictionary empty;
  host::Session* session = host::CurrentSession();
  return session ? session->platform().system_registry() : &empty;
}
