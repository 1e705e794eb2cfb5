// Work split over two threads: a fault in either half, such as running out
// of memory, reaches the caller instead of ending the program.
#include "host/two_halves.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <thread>

namespace host {
namespace {

TEST(TwoHalvesTest, AFaultInEitherHalfReachesTheCallerAfterBothEnd) {
  for (size_t failing : {size_t{0}, size_t{1}}) {
    SCOPED_TRACE(failing);
    std::atomic<int> finished{0};
    EXPECT_THROW(RunInTwoHalves(kTwoHalvesFrom,
                                [&](size_t begin, size_t) {
                                  if ((begin == 0 ? 0 : 1) == failing) throw std::bad_alloc();
                                  ++finished;
                                }),
                 std::bad_alloc);
    EXPECT_EQ(finished, 1);
  }
}

TEST(TwoHalvesTest, OneThreadOnlyKeepsBothHalvesOnTheCallingThread) {
  auto helpers_used = [] {
    std::atomic<int> elsewhere{0};
    RunInTwoHalves(kTwoHalvesFrom, [&, caller = std::this_thread::get_id()](size_t, size_t) {
      if (std::this_thread::get_id() != caller) ++elsewhere;
    });
    return elsewhere.load();
  };
  {
    OneThreadOnly one_thread;
    EXPECT_EQ(helpers_used(), 0);
  }
  EXPECT_EQ(helpers_used(), 1);
}

}  // namespace
}  // namespace host
