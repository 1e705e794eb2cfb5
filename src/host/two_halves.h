// Work over a long list done in two halves at once, on the two processors
// the program counts on. The halves are fixed, not left to the number of
// processors, so that results joined in order are the same on every
// machine.
#pragma once

#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

namespace host {

// Below this many items a second thread costs more than it saves.
constexpr size_t kTwoHalvesFrom = 4096;

// Set on a thread that works beside another busy one: work asked to run
// on two threads then runs on this thread alone, so that the two threads
// keep to the two processors.
inline thread_local bool t_one_thread_only = false;

class OneThreadOnly {
 public:
  OneThreadOnly() : was_(t_one_thread_only) { t_one_thread_only = true; }
  ~OneThreadOnly() { t_one_thread_only = was_; }
  OneThreadOnly(const OneThreadOnly&) = delete;
  OneThreadOnly& operator=(const OneThreadOnly&) = delete;

 private:
  bool was_;
};

// Runs first on a helper thread and second on this one, and returns when
// both are done. When no thread can be had, or under OneThreadOnly, this
// thread runs both, first first. Neither may write what the other reads.
// An exception in either (running out of memory, say) reaches the caller
// once both are done, the helper's first: a helper thread must not end the
// program.
template <class First, class Second>
void RunBoth(First first, Second second) {
  if (t_one_thread_only) {
    first();
    second();
    return;
  }
  std::exception_ptr helper_fault;
  std::thread helper;
  try {
    helper = std::thread([&first, &helper_fault] {
      try {
        first();
      } catch (...) {
        helper_fault = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    first();
  }
  std::exception_ptr own_fault;
  try {
    second();
  } catch (...) {
    own_fault = std::current_exception();
  }
  if (helper.joinable()) helper.join();
  if (helper_fault) std::rethrow_exception(helper_fault);
  if (own_fault) std::rethrow_exception(own_fault);
}

// Calls work(0, middle) on a helper thread and work(middle, count) on this
// one, and returns when both are done. The work must only read what the
// other half reads, and write only what is its own.
template <class Work>
void RunInTwoHalves(size_t count, Work work) {
  size_t middle = count / 2;
  RunBoth([&work, middle] { work(size_t{0}, middle); },
          [&work, middle, count] { work(middle, count); });
}

// As RunInTwoHalves from kTwoHalvesFrom items on; a shorter list is worked
// through here in one go, as work(0, count).
template <class Work>
void RunInTwoHalvesIfLong(size_t count, Work work) {
  if (count < kTwoHalvesFrom) {
    work(size_t{0}, count);
  } else {
    RunInTwoHalves(count, work);
  }
}

}  // namespace host
