// Memory left to the end of the process. The kernel takes a process's
// memory back at once; freeing a converted drawing of a million entities
// block by block takes a third of a second on one processor.
#pragma once

#include <memory>

#include "host/sanitizer_build.h"

namespace cli {

// Only for a process that ends soon after: the object is never destroyed.
// Sanitizer builds free as always, so that their leak check still tells
// every other leak.
template <class T>
void LeaveToProcessExit(std::unique_ptr<T> object) {
  if constexpr (host::kAddressSanitizerBuild) {
    object.reset();
  } else {
    static_cast<void>(object.release());
  }
}

}  // namespace cli
