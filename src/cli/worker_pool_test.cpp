#include "cli/worker_pool.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace cli {
namespace {

TEST(WorkerPoolTest, EveryPieceRunsInAChildAndLargeResultsArriveWhole) {
  WorkerPool pool(3);
  std::vector<size_t> started;
  std::map<size_t, WorkerOutcome> outcomes;
  size_t most_running = 0, running = 0;
  pid_t parent = getpid();
  std::string err;
  ASSERT_TRUE(pool.Run(
      7,
      [parent](size_t index) {
        // More than a pipe holds, so the parent must read while children run.
        std::string result(200000 + index, static_cast<char>('a' + index));
        return getpid() == parent ? std::string("in the parent") : result;
      },
      [&](size_t index) {
        started.push_back(index);
        most_running = std::max(most_running, ++running);
      },
      [&](size_t index, WorkerOutcome outcome) {
        --running;
        outcomes[index] = std::move(outcome);
      },
      &err))
      << err;
  EXPECT_EQ(started, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(most_running, 3u);
  ASSERT_EQ(outcomes.size(), 7u);
  for (const auto& [index, outcome] : outcomes) {
    EXPECT_TRUE(outcome.finished) << outcome.failure;
    EXPECT_EQ(outcome.result, std::string(200000 + index, static_cast<char>('a' + index)));
  }
}

TEST(WorkerPoolTest, AChildThatDiesOrThrowsFailsOnlyItsOwnPiece) {
  WorkerPool pool(2);
  std::map<size_t, WorkerOutcome> outcomes;
  std::string err;
  ASSERT_TRUE(pool.Run(
      4,
      [](size_t index) -> std::string {
        // SIGKILL: a sanitizer turns a SIGSEGV into a report and exit 1.
        if (index == 1) raise(SIGKILL);
        if (index == 2) throw std::runtime_error("broken");
        return "ok " + std::to_string(index);
      },
      [](size_t) {}, [&](size_t index, WorkerOutcome outcome) { outcomes[index] = outcome; },
      &err));
  EXPECT_TRUE(outcomes[0].finished);
  EXPECT_EQ(outcomes[0].result, "ok 0");
  EXPECT_FALSE(outcomes[1].finished);
  EXPECT_NE(outcomes[1].failure.find("signal 9"), std::string::npos) << outcomes[1].failure;
  EXPECT_FALSE(outcomes[2].finished);
  EXPECT_NE(outcomes[2].failure.find("internal error"), std::string::npos);
  EXPECT_EQ(outcomes[3].result, "ok 3");
}

}  // namespace
}  // namespace cli
