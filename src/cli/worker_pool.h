// Runs numbered pieces of work in child processes, at most a given number at
// a time. The conversion module is a plug-in with process-wide state, so one
// process converts one drawing; a child that crashes takes only its own
// drawing with it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace cli {

struct WorkerOutcome {
  bool finished = false;  // the work returned and its result arrived whole
  std::string result;     // what the work returned (when finished)
  std::string failure;    // why not: "ended by signal 11 (Segmentation fault)", ...
};

class WorkerPool {
 public:
  // Runs in the child; its return value travels to the parent. The child
  // ends without running the parent's exit handlers.
  using Work = std::function<std::string(size_t index)>;
  // Called in the parent as a piece starts and as it ends, in the order
  // things happen.
  using Started = std::function<void(size_t index)>;
  using Done = std::function<void(size_t index, WorkerOutcome outcome)>;

  explicit WorkerPool(size_t parallel) : parallel_(parallel ? parallel : 1) {}

  // Runs pieces 0..count-1 in that order of starting. The children end
  // with the parent (SIGTERM); SIGTERM, SIGINT or SIGHUP to the parent
  // while it runs stops every child, waits for them and ends the parent by
  // that signal. Returns false (err
  // set) only when no child can be started at all; a piece whose child
  // cannot be started is reported as a failure through done.
  bool Run(size_t count, const Work& work, const Started& started, const Done& done,
           std::string* err);

 private:
  size_t parallel_;
};

}  // namespace cli
