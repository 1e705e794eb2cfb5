// The host's side of the runtime classes: the class descriptors of the host
// classes, the class dictionary, the dynamic linker and the system registry
// the module reaches through acrxSysRegistry().
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/host_only.h"
#include "sdk/arx.h"

namespace host {

class CommandStack;

// Descriptors of classes the SDK declares without a desc() of their own.
AcRxClass* AcRxObjectClass();
AcRxClass* AcEdCommandStackClass();

// A dictionary of runtime objects by name (names compared exactly, as the
// host's own registry does). The dictionary does not own its entries.
class RxDictionary : public AcRxDictionary {
 public:
  AcRxClass* isA() const override;
  AcRxObject* at(const char* key) const override;
  void Put(const std::string& key, AcRxObject* object) { entries_[key] = object; }
  size_t size() const { return entries_.size(); }

 private:
  std::map<std::string, AcRxObject*> entries_;
};

// Records what the modules declared about themselves.
class DynamicLinker : public AcRxDynamicLinker {
 public:
  AcRxClass* isA() const override;
  bool unlockApplication(void* app_id) const override;
  bool registerAppMDIAware(void* app_id) const override;

  bool IsUnlocked(void* app_id) const;
  bool IsMdiAware(void* app_id) const;
  void Forget(void* app_id);

 private:
  struct Flags {
    bool unlocked = false, mdi_aware = false;
  };
  mutable std::map<void*, Flags> flags_;
};

// The system registry of one session: "DynamicLinker",
// "ACAD_REGISTERED_COMMANDS" and "ClassDictionary".
class SystemRegistry {
 public:
  explicit SystemRegistry(CommandStack* commands);
  AcRxDictionary* root() { return &root_; }
  DynamicLinker& linker() { return linker_; }

 private:
  RxDictionary root_;
  RxDictionary classes_;
  DynamicLinker linker_;
};

}  // namespace host
