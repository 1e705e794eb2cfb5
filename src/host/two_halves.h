// Work over a long list done in two halves at once, on the two processors
// the program counts on. The halves are fixed, not left to the number of
// processors, so that results joined in order are the same on every
// machine.
#pragma once

#include <cstddef>
#include <system_error>
#include <thread>

namespace host {

// Below this many items a second thread costs more than it saves.
constexpr size_t kTwoHalvesFrom = 4096;

// Calls work(0, middle) on a helper thread and work(middle, count) on this
// one, and returns when both are done. When no thread can be had, this
// thread does both, first half first. The work must only read what the
// other half reads, and write only what is its own.
template <class Work>
void RunInTwoHalves(size_t count, Work work) {
  size_t middle = count / 2;
  std::thread helper;
  try {
    helper = std::thread([&work, middle] { work(size_t{0}, middle); });
  } catch (const std::system_error&) {
    work(size_t{0}, middle);
  }
  work(middle, count);
  if (helper.joinable()) helper.join();
}

}  // namespace host
