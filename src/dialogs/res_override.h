// A resource scope: while it is open, the host looks up dialog resources in
// this module. Opened around each of the module's modal dialogs.
#pragma once

class CResOverride {
 public:
  // Pushes the module's resource instance on the host's resource stack.
  CResOverride();
  // Pops it again.
  ~CResOverride();
  CResOverride(const CResOverride&) = delete;
  CResOverride& operator=(const CResOverride&) = delete;
};
