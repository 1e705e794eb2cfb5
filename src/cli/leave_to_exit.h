// Memory left to the end of the process. The kernel takes a process's
// memory back at once; freeing a converted drawing of a million entities
// block by block takes a third of a second on one processor.
#pragma once

#include <memory>

namespace cli {

// Sanitizer builds free as always, so that their leak check still tells
// every other leak.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kFreeBeforeExit = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kFreeBeforeExit = true;
#else
inline constexpr bool kFreeBeforeExit = false;
#endif
#else
inline constexpr bool kFreeBeforeExit = false;
#endif

// Only for a process that ends soon after: the object is never destroyed.
template <class T>
void LeaveToProcessExit(std::unique_ptr<T> object) {
  if constexpr (kFreeBeforeExit) {
    object.reset();
  } else {
    static_cast<void>(object.release());
  }
}

}  // namespace cli
